#include "read_item_pickups.h"

#include "name_tables.h"

void read_item_pickups(AnalysisContext& ctx) {
    constexpr std::string_view ITEM_GET = "item_get\t";
    const GameText& text = ctx.text;
    std::size_t cursor = text.game_start;
    while (cursor < text.game_end) {
        std::size_t found = text.find(ITEM_GET, cursor);
        if (found == GameText::npos) return;
        if (ctx.item_table.full()) {
            ctx.log.append("\t\twarning:maximum of items exceeded");
            return;
        }
        ItemRecord& record = ctx.item_table.add();
        record.time = text.line_time(found);

        std::string_view field;
        std::size_t end = 0;
        if (!text.field(found + ITEM_GET.size(), '\t', field, end)) return;
        record.item = item_from_name(Field(field).view(), ctx.log);
        if (!text.field(end + 1, '\n', field, end)) return;
        // A pick-up by an id without a record gets slot -1, which no figure
        // counts (the statistics skip slots outside 0..15).
        const PlayerRecord* player = ctx.player_for_id(parse_int(field));
        record.slot = player != nullptr ? player->slot : -1;
        cursor = end + 1;
    }
}
