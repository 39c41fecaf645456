#include "skins.h"

#include <cstdio>

#include "game_text.h"

namespace {

// The file is read as white-space separated tokens, never as lines,
// through a small buffer.
class TokenReader {
public:
    explicit TokenReader(InputFile& file) : file_(file) {}

    // Reads the next token and skips the white space after it. Tokens longer
    // than 255 characters keep their first 255; the rest of the run is dropped
    // rather than read as a token of its own.
    Field next() {
        char token[Field::max_length + 1];
        std::size_t n = 0;
        int c = get();
        while (c != EOF && is_space(c)) c = get();
        while (c != EOF && !is_space(c)) {
            if (n < Field::max_length) token[n++] = static_cast<char>(c);
            c = get();
        }
        while (c != EOF && is_space(c)) c = get();
        if (c == EOF)
            at_end_ = true;
        else
            --next_;  // the character read ahead is read again
        return Field(std::string_view(token, n));
    }

    bool at_end() const { return at_end_; }
    void restart() {
        file_.rewind();
        next_ = filled_ = 0;
        at_end_ = false;
    }

private:
    static bool is_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    int get() {
        if (next_ == filled_) {
            filled_ = file_.read(buffer_, sizeof buffer_);
            next_ = 0;
            if (filled_ == 0) return EOF;
        }
        return static_cast<unsigned char>(buffer_[next_++]);
    }

    InputFile& file_;
    char buffer_[4096];
    std::size_t next_ = 0;
    std::size_t filled_ = 0;
    bool at_end_ = false;
};

bool starts_with(const Field& token, std::string_view prefix) {
    return token.view().substr(0, prefix.size()) == prefix;
}

// An index in the manner of "%i": decimal, hexadecimal after "0x", octal
// after a leading "0". Returns false for no number or one beyond any record.
bool parse_index(std::string_view text, int& index) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (i < text.size() && text[i] == '0') {
        base = 8;
    }
    long long value = 0;
    std::size_t digits = 0;
    for (; i < text.size(); ++i, ++digits) {
        char c = text[i];
        int d = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : 99;
        if (d >= base) break;
        value = value * base + d;
        if (value > MAX_SKINS) value = MAX_SKINS;  // far out of range stays out of range
    }
    if (digits == 0) return false;
    index = static_cast<int>(negative ? -value : value);
    return true;
}

// "Key[index]=value": the index and the value of a bot entry.
bool bot_entry(const Field& token, std::size_t key_length, int& index, std::string_view& value) {
    std::string_view rest = token.view().substr(key_length);
    std::size_t equals = rest.find("]=");
    if (equals == std::string_view::npos) return false;  // not an entry: skipped
    if (!parse_index(rest.substr(0, equals), index)) return false;
    if (index < 0 || index >= MAX_SKINS) return false;
    value = rest.substr(equals + 2);
    return true;
}

// The face is the part of "Package.Face" after its first dot. A value
// without a dot names no face and is skipped.
bool face_of(std::string_view value, std::string_view& face) {
    std::size_t dot = value.find('.');
    if (dot == std::string_view::npos) return false;
    face = value.substr(dot + 1);
    return true;
}

int first_free_record(const AnalysisContext& ctx) {
    for (int i = 0; i < MAX_SKINS; ++i)
        if (ctx.skin_table[static_cast<std::size_t>(i)].name.empty()) return i;
    return -1;
}

// Reads tokens up to the first that begins with header; false when the file
// ends first.
bool seek_section(TokenReader& tokens, std::string_view header) {
    while (true) {
        if (starts_with(tokens.next(), header)) return true;
        if (tokens.at_end()) return false;
    }
}

void read_tokens(AnalysisContext& ctx, TokenReader& tokens) {
    if (!seek_section(tokens, "[Botpack.ChallengeBotInfo]")) {
        ctx.log.append("\t\t\"[Botpack.ChallengeBotInfo]\" sektion not found in User.ini file");
    } else {
        while (!tokens.at_end()) {
            Field token = tokens.next();
            int index = 0;
            std::string_view value;
            if (starts_with(token, "BotFaces[")) {
                std::string_view face;
                if (bot_entry(token, 9, index, value) && face_of(value, face))
                    ctx.skin_table[static_cast<std::size_t>(index)].face = face;
            } else if (starts_with(token, "BotNames[")) {
                if (bot_entry(token, 9, index, value) && !value.empty())
                    ctx.skin_table[static_cast<std::size_t>(index)].name = value;
            }
            if (starts_with(token, "[")) break;
        }
    }

    tokens.restart();
    if (!seek_section(tokens, "[DefaultPlayer]")) {
        ctx.log.append("\t\t\"[DefaultPlayer]\" sektion not found in User.ini file");
        return;
    }
    int target = first_free_record(ctx);
    while (!tokens.at_end() && target >= 0) {
        if (target == MAX_SKINS - 1 && !ctx.skin_table[MAX_SKINS - 1].name.empty()) break;
        Field token = tokens.next();
        SkinRecord& record = ctx.skin_table[static_cast<std::size_t>(target)];
        if (starts_with(token, "Name=")) {
            record.name = token.view().substr(5);
        } else if (starts_with(token, "Face=")) {
            std::string_view face;
            if (face_of(token.view().substr(5), face)) record.face = face;
            target = first_free_record(ctx);
        }
        if (starts_with(token, "[")) break;
    }
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

int read_user_ini(AnalysisContext& ctx) {
    std::unique_ptr<InputFile> file = ctx.files->open_read("User.ini", true);
    if (!file) file = ctx.files->open_read("user.ini", true);
    if (!file) {
        ctx.log.append("\t\tCan't find User.ini file");
        return 0;
    }
    TokenReader tokens(*file);
    read_tokens(ctx, tokens);
    return 1;
}

std::string_view find_skin(AnalysisContext& ctx, std::string_view name) {
    for (const SkinRecord& record : ctx.skin_table)
        if (equal_ignoring_case(record.name.view(), name)) return record.face.view();
    // A very long name makes the warning longer than a log line's 199
    // characters: it is cut there.
    Text player(name);
    ctx.log.appendf("\t\twarning: Skin information of player %s not found, using playername for skin-image",
                    player.c_str());
    return name;
}
