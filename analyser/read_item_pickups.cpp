#include "read_item_pickups.h"

#include "line_walker.h"
#include "name_tables.h"

void read_item_pickups(AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    LineWalker lines(text, Event::ItemGet, text.game_start, LineWalker::Bound::GameEnd);
    while (lines.next()) {
        if (ctx.item_table.full()) {
            ctx.log.append("\t\twarning:maximum of items exceeded");
            return;
        }
        ItemRecord& record = ctx.item_table.add();
        record.time = text.line_time(lines.match());

        std::string_view item;
        if (!lines.field('\t', item)) return;
        const Field item_name(item);
        record.item = item_from_name(ctx.names, item_name.view());
        if (record.item == -1) log_unknown_item(ctx.log, item_name.view());
        int id = 0;
        if (!lines.number('\n', id)) return;
        // A pick-up by an id without a record gets slot -1, which no figure
        // counts (the statistics skip slots outside 0..15).
        const PlayerRecord* player = ctx.player_for_id(id);
        record.slot = player != nullptr ? player->slot : -1;
        lines.continue_after_delimiter();
    }
}
