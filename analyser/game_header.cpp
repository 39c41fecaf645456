#include "game_header.h"

#include <algorithm>

#include "line_walker.h"
#include "name_tables.h"

namespace {

// A run of digits (at most max_digits) followed by '.', taken off the front
// of value.
bool take_number(std::string_view& value, std::size_t max_digits, int& number) {
    std::size_t digits = 0;
    while (digits < value.size() && digits < max_digits && value[digits] >= '0' && value[digits] <= '9') ++digits;
    if (digits == 0 || digits == value.size() || value[digits] != '.') return false;
    number = parse_int(value.substr(0, digits));
    value.remove_prefix(digits + 1);
    return true;
}

// "+5.5", "-4.0", "0.0": hours from UTC, as minutes rounded to the nearest.
bool utc_offset_minutes(std::string_view value, int& minutes) {
    bool negative = false;
    if (!value.empty() && (value[0] == '+' || value[0] == '-')) {
        negative = value[0] == '-';
        value.remove_prefix(1);
    }
    // Hours as a fraction: whole hours, then up to six decimals over their scale.
    long long units = 0;
    long long scale = 1;
    std::size_t k = 0;
    for (; k < value.size() && k < 3 && value[k] >= '0' && value[k] <= '9'; ++k) units = units * 10 + (value[k] - '0');
    if (k == 0) return false;
    if (k < value.size() && value[k] == '.') {
        for (++k; k < value.size() && value[k] >= '0' && value[k] <= '9'; ++k) {
            if (scale == 1000000) continue;
            units = units * 10 + (value[k] - '0');
            scale *= 10;
        }
    }
    if (k != value.size() || units > 16 * scale) return false;
    minutes = static_cast<int>((units * 60 + scale / 2) / scale) * (negative ? -1 : 1);
    return true;
}

// "2011.03.27.21.47.25.833.-4.0": the server's local date and time, the
// milliseconds, then the offset from UTC in hours. A value that is not a
// real date and time gives none; the seconds and the offset are only added
// when they can be read.
StartTime start_time(std::string_view value) {
    int parts[5] = {};
    for (int& part : parts)
        if (!take_number(value, 4, part)) return {};
    const LocalTime local = local_time(parts[0], parts[1], parts[2], parts[3], parts[4]);
    if (!local.known()) return {};
    StartTime start;
    start.year = local.year;
    start.month = local.month;
    start.day = local.day;
    start.hour = local.hour;
    start.minute = local.minute;
    // The seconds may end the value; a clock's may reach 60 on a leap second.
    int second = 0;
    int millis = 0;
    std::string_view rest = value;
    if (!take_number(rest, 2, second)) {
        if (rest.empty() || rest.size() > 2 || rest.find_first_not_of("0123456789") != std::string_view::npos)
            return start;
        second = parse_int(rest);
        rest = {};
    }
    if (second > 60) return start;
    start.second = second;
    if (take_number(rest, 4, millis)) start.offset_known = utc_offset_minutes(rest, start.utc_offset_minutes);
    return start;
}

// The game's start from the header's Absolute_Time line (anywhere in the
// game); without a usable one, the date of the log's file.
void read_start_time(AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    GameInfo& info = ctx.game_info;
    constexpr std::string_view key = "\tAbsolute_Time\t";
    const std::size_t found = text.find(key, text.game_start);
    info.logged_start = StartTime{};
    if (found != GameText::npos && found < text.game_end) {
        std::string_view value = text.view().substr(found + key.size());
        info.logged_start = start_time(value.substr(0, value.find('\n')));
    }
    const StartTime& start = info.logged_start;
    info.start = start.known() ? LocalTime{start.year, start.month, start.day, start.hour, start.minute}
                               : date_of_text(ctx.session_info.log_date.view());
}

// The header of the game: its text from the first "info" to the start of
// play (or, in a game that never started, to its end). A game's text is
// mostly play, which is not searched.
class HeaderLines {
public:
    explicit HeaderLines(const GameText& text)
        : text_(text), end_(text.play_start < text.game_end ? text.play_start : text.game_end) {}

    // Calls each(value) with the value (to its line end) of every line of the
    // header whose fields hold pattern ("map\tTitle\t") after a tab.
    // each returns whether to go on.
    template <typename Each>
    void each_value(std::string_view pattern, Each each) const {
        for (std::size_t at = find(pattern, text_.game_start); at != GameText::npos; at = find(pattern, at + 1)) {
            if (at != text_.game_start && text_.at(at - 1) != '\t') continue;
            const std::size_t from = at + pattern.size();
            const std::size_t end = text_.find_char('\n', from);
            if (!each(text_.view().substr(from, end - from))) return;
        }
    }

    std::string_view first_value(std::string_view pattern) const {
        std::string_view found;
        each_value(pattern, [&](std::string_view value) {
            found = value;
            return false;
        });
        return found;
    }

private:
    // The first match that starts in the header.
    std::size_t find(std::string_view pattern, std::size_t from) const {
        const std::size_t end = std::min(end_ + pattern.size() - 1, text_.length);
        if (from >= end) return GameText::npos;
        const char* found = find_text(text_.buffer.get() + from, end - from, pattern.data(), pattern.size());
        return found == nullptr ? GameText::npos : static_cast<std::size_t>(found - text_.buffer.get());
    }

    const GameText& text_;
    std::size_t end_ = 0;
};

// The values the header names the game and its server by, which no report
// shows: the map's title, the server's name, the mutators.
void read_header_texts(AnalysisContext& ctx) {
    const HeaderLines lines(ctx.text);
    GameInfo& info = ctx.game_info;
    info.title = lines.first_value("map\tTitle\t");
    info.server_name = lines.first_value("info\tServer_ServerName\t");
    info.mutators.clear();
    lines.each_value("game\tGameMutator\t", [&](std::string_view value) {
        info.mutators.emplace_back(value);
        return true;
    });
}

}  // namespace

int read_game_header(AnalysisContext& ctx) {
    read_start_time(ctx);
    read_header_texts(ctx);
    const GameText& text = ctx.text;
    enum class Store { Nothing, MapName, GameType, FragLimit };
    struct Key {
        Event event;
        Store store;
    };
    static constexpr Key keys[] = {
        {Event::GameVersion, Store::Nothing}, {Event::MapName, Store::MapName},     {Event::MapTitle, Store::Nothing},
        {Event::GameName, Store::GameType},   {Event::FragLimit, Store::FragLimit},
    };

    // Each key is searched from where the previous value ended, so they are
    // only found in this order.
    std::size_t cursor = text.game_start;
    for (const Key& key : keys) {
        LineWalker line(text, key.event, cursor, LineWalker::Bound::TextEnd);
        std::string_view value;
        if (!line.next() || !line.field('\n', value)) return 0;
        switch (key.store) {
            // A map name beyond the field's 199 characters is cut there.
            case Store::MapName: ctx.game_info.map_name = value; break;
            case Store::GameType:
                ctx.game_info.game_type = gametype_from_name(ctx.names, value);
                if (ctx.game_info.game_type == GameType::Unknown) log_unknown_gametype(ctx.log);
                break;
            case Store::FragLimit: ctx.game_info.frag_limit = parse_int(value); break;
            case Store::Nothing: break;
        }
        cursor = line.cursor();
    }
    return 1;
}
