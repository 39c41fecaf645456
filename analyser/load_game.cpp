#include "load_game.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string_view>

#include "int_range.h"
#include "text_scan.h"
#include "time_functions.h"

namespace {

bool prepare_buffer(AnalysisContext& ctx) {
    if (ctx.text.allocate()) return true;
    ctx.log.append("\tcan't allocate 512000 byte memory");
    return false;
}

void log_date_of(AnalysisContext& ctx, const char* file_name) {
    std::tm modified = file_date(*ctx.files, file_name);
    ctx.session_info.log_date.format("%02i%02i%04i", modified.tm_mday, modified.tm_mon + 1, modified.tm_year + 1900);
}

// A game without a complete game_end line: cut off by the buffer, or a game
// the server never finished (a crash, a file cut short).
int incomplete_game(AnalysisContext& ctx, const char* file_name, LoadFailure& failure) {
    if (ctx.text.cut) {
        ctx.log.append("\tnot enought memory for game (>512000 Signs)");
        failure = LoadFailure::TooLong;
    } else {
        ctx.log.appendf("\tno complete game_end line in %s (unfinished game)", file_name);
        failure = LoadFailure::Unfinished;
    }
    return 0;
}

// The next tab-separated field of a line, taken off its front.
std::string_view next_field(std::string_view& rest) {
    const std::size_t tab = rest.find('\t');
    const std::string_view field = rest.substr(0, tab);
    rest.remove_prefix(tab == std::string_view::npos ? rest.size() : tab + 1);
    return field;
}

// A stats add-on writes each player's shots, hits and damage per weapon
// after the game_end line, where the game's text is about to be cut: keep
// them first. A header line starts a second game in the file, whose lines
// are not this game's.
void read_accuracy_lines(AnalysisContext& ctx, std::size_t from) {
    ctx.accuracy_lines.clear();
    ctx.accuracy_weapons.clear();
    const GameText& text = ctx.text;
    const std::size_t next_game = text.find("\tinfo\t", from);
    const std::size_t end = next_game == GameText::npos ? text.length : next_game;
    for (std::size_t at = text.find("\tweap_", from); at < end; at = text.find("\tweap_", at + 1)) {
        const std::size_t line_feed = text.find_char('\n', at);
        std::string_view line = text.view().substr(at + 1, (line_feed == GameText::npos ? end : line_feed) - at - 1);
        const std::string_view event = next_field(line);
        AccuracyLine::Kind kind = AccuracyLine::Kind::Shots;
        if (event == "weap_hitcount")
            kind = AccuracyLine::Kind::Hits;
        else if (event == "weap_damagegiven")
            kind = AccuracyLine::Kind::Damage;
        else if (event != "weap_shotcount")
            continue;
        // A few weapons, named once per player and figure.
        const std::string_view weapon = next_field(line).substr(0, Text::max_length);
        std::vector<Text>& weapons = ctx.accuracy_weapons;
        std::size_t entry = 0;
        while (entry < weapons.size() && weapons[entry].view() != weapon) ++entry;
        if (entry == weapons.size()) weapons.emplace_back(weapon);
        const int id = parse_int(next_field(line));
        ctx.accuracy_lines.push_back(AccuracyLine{kind, id, parse_int(next_field(line)), entry});
    }
}

// Locates the game in the text just loaded and counts it as game n.
int locate_game(AnalysisContext& ctx, int n, const char* file_name, LoadFailure& failure) {
    GameText& text = ctx.text;
    std::size_t start = text.find("info", 0);
    if (start == GameText::npos) {
        ctx.log.append("\tcan't identify logfile (no unreal tournament logfile?)");
        failure = LoadFailure::NotAGameLog;
        return 0;
    }
    std::size_t end_word = text.find("game_end", start + 1);
    if (end_word == GameText::npos) return incomplete_game(ctx, file_name, failure);
    // Time stamps come from the file: keep their difference and the session
    // sum inside the int range whatever they say.
    ctx.game_info.duration = clamp_to_int(static_cast<long long>(text.line_time(end_word)) - text.line_time(start));

    std::size_t line_end = text.find_char('\n', end_word);
    if (line_end == GameText::npos) return incomplete_game(ctx, file_name, failure);

    text.game_start = start;
    text.game_end = line_end;
    read_accuracy_lines(ctx, line_end + 1);
    // Keep 7 characters of the following line and nothing after: a second
    // game in the same file is never seen.
    text.cut_at(line_end + 8);
    text.play_start = text.find("game_start", start);
    text.events.build(text.buffer.get(), start, text.length);

    ctx.game_info.game_bytes = static_cast<int>(line_end - start);
    ctx.session_info.session_seconds =
        clamp_to_int(static_cast<long long>(ctx.session_info.session_seconds) + ctx.game_info.duration);
    ctx.session_info.game_count = n < 1 ? 1 : ctx.session_info.game_count + 1;
    failure = LoadFailure::None;
    return 1;
}

}  // namespace

bool holds_info_line(const GameText& text) { return text.view().find("\tinfo\t") != std::string_view::npos; }

BoundedText<64> game_file_name(int n) {
    BoundedText<64> file_name("games.log");
    if (n >= 1) file_name.format("games%i.log", n);
    return file_name;
}

int load_game(AnalysisContext& ctx, int n, LoadFailure* why) {
    LoadFailure ignored = LoadFailure::None;
    LoadFailure& failure = why != nullptr ? *why : ignored;
    const BoundedText<64> file_name = game_file_name(n);

    ctx.log.appendf("*** loading game: %i", n);

    // A folder or a FIFO of that name is no log either, and must not block.
    std::unique_ptr<InputFile> file = ctx.files->open_read(file_name.c_str(), false);
    if (!file) {
        ctx.log.appendf("\t%s file not found in the current directory", file_name.c_str());
        failure = LoadFailure::NotFound;
        return 0;
    }
    // The date is taken before the text is read, so even an unusable file
    // dates the session page.
    log_date_of(ctx, file_name.c_str());

    if (!prepare_buffer(ctx)) {
        failure = LoadFailure::NoMemory;
        return 0;
    }

    // Read in large blocks straight into the free end of the buffer; the
    // filter then packs the kept bytes down in place. A block at a time, not
    // the whole file: a 16-bit file would touch twice the memory its text
    // keeps.
    constexpr std::size_t READ_BLOCK = std::size_t{1} << 17;
    GameText& text = ctx.text;
    text.clear_text();
    char* buffer = text.buffer.get();
    while (text.length < LOG_BUFFER_SIZE) {
        std::size_t start = text.length;
        std::size_t got = file->read(buffer + start, std::min(READ_BLOCK, LOG_BUFFER_SIZE - start));
        if (got == 0) break;
        text.length = start + drop_zero_and_cr(buffer + start, got);
    }
    // A read error is no end of file: half a game would pass for a whole one.
    const bool unreadable = file->failed();
    file.reset();
    if (unreadable) {
        text.clear_text();
        ctx.log.appendf("\tcan't read %s", file_name.c_str());
        failure = LoadFailure::Unreadable;
        return 0;
    }
    text.terminate();
    return locate_game(ctx, n, file_name.c_str(), failure);
}
