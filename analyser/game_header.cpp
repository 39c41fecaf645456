#include "game_header.h"

#include "line_walker.h"
#include "name_tables.h"

namespace {

// "2011.03.27.21.47.25.833.-4.0": the server's local date and time, then
// seconds, milliseconds and the offset from UTC, which no page shows. A
// value that is not a real date and time gives none.
LocalTime absolute_time(std::string_view value) {
    int parts[5] = {};
    for (int& part : parts) {
        std::size_t digits = 0;
        while (digits < value.size() && digits < 4 && value[digits] >= '0' && value[digits] <= '9') ++digits;
        if (digits == 0 || digits == value.size() || value[digits] != '.') return {};
        part = parse_int(value.substr(0, digits));
        value.remove_prefix(digits + 1);
    }
    return local_time(parts[0], parts[1], parts[2], parts[3], parts[4]);
}

// The game's start from the header's Absolute_Time line; without a usable
// one, the date of the log's file.
void read_start_time(AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    constexpr std::string_view key = "\tAbsolute_Time\t";
    const std::size_t found = text.find(key, text.game_start);
    if (found != GameText::npos && found < text.game_end) {
        std::string_view value = text.view().substr(found + key.size());
        ctx.game_info.start = absolute_time(value.substr(0, value.find('\n')));
    }
    if (!ctx.game_info.start.known()) ctx.game_info.start = date_of_text(ctx.session_info.log_date.view());
}

}  // namespace

int read_game_header(AnalysisContext& ctx) {
    read_start_time(ctx);
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
