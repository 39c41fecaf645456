#include "game_header.h"

#include "line_walker.h"
#include "name_tables.h"

int read_game_header(AnalysisContext& ctx) {
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
