#include "commands.h"
#include "history_reader.h"

int list_games(HistoryStore& store, Output& out) {
    HistoryReader reader(store);
    reader.each_game_listing([&out](const GameListing& game) {
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
