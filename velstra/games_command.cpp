#include "commands.h"
#include "history_reader.h"

int list_games(HistoryStore& store, const GameFilter& filter, Output& out, Output& err) {
    HistoryReader reader(store);
    // A name the history does not know is a typing error, not a player
    // without games.
    if (filter.player && !reader.has_name(*filter.player)) {
        err.print("velstra: no player named \"%s\" in the history\n", filter.player->c_str());
        return 1;
    }
    reader.each_game_listing(filter, [&out](const GameListing& game) {
        std::string winner = "-";
        if (is_team_game(game.type)) {
            if (!game.winner_team.empty()) winner = team_label_text(game.winner_team);
        } else if (!game.winner_name.empty()) {
            winner = game.winner_name;
        }
        out.print("%lld  %s  %s  %s  %s  %s\n", game.id, game.start.c_str(), game.map.c_str(), game.type_name.c_str(),
                  length_text(game.length).c_str(), winner.c_str());
    });
    return 0;
}
