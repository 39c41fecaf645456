#include "game_header.h"

#include "name_tables.h"

int read_game_header(AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    enum class Store { Nothing, MapName, GameType, FragLimit };
    struct Key {
        const char* pattern;
        Store store;
    };
    static constexpr Key keys[] = {
        {"info\tGame_Version\t", Store::Nothing}, {"map\tName\t", Store::MapName},
        {"map\tTitle\t", Store::Nothing},         {"game\tGameName\t", Store::GameType},
        {"game\tFragLimit\t", Store::FragLimit},
    };

    // Each key is searched from where the previous value ended, so they are
    // only found in this order.
    std::size_t cursor = text.game_start;
    for (const Key& key : keys) {
        std::string_view pattern(key.pattern);
        std::size_t found = text.find(pattern, cursor);
        if (found == GameText::npos) return 0;
        std::string_view value;
        std::size_t line_end = 0;
        if (!text.field(found + pattern.size(), '\n', value, line_end)) return 0;
        switch (key.store) {
            // A map name beyond the field's 199 characters is cut there.
            case Store::MapName: ctx.game_info.map_name = value; break;
            case Store::GameType: ctx.game_info.game_type = gametype_from_name(value, ctx.log); break;
            case Store::FragLimit: ctx.game_info.frag_limit = parse_int(value); break;
            case Store::Nothing: break;
        }
        cursor = line_end;
    }
    return 1;
}
