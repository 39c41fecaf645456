#include <cstdio>

#include "commands.h"
#include "game_record.h"
#include "history_store.h"

namespace {

std::string length_text(long long seconds) {
    char text[48];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

// The winning team as players know it, like the games page names it.
std::string team_text(const std::string& team) {
    static const char* const colours[] = {"Red", "Blue", "Green", "Gold"};
    if (const int t = team_number(team); t >= 0) return colours[t];
    if (team == "attacker") return "Attackers";
    if (team == "defender") return "Defenders";
    return team;
}

}  // namespace

int list_games(HistoryStore& store, Output& out) {
    // The first crowned player by place is the winner of a game of single
    // players; a team game names its team.
    Statement games(store.db(),
                    "SELECT g.id, coalesce(substr(g.start_local, 1, 16), '-'), g.map, g.type_name, g.length, "
                    "g.game_type, g.winner_team, "
                    "(SELECT n.name FROM game_player p JOIN name n ON n.id = p.name_id "
                    " WHERE p.game_id = g.id AND p.crowned = 1 ORDER BY p.slot LIMIT 1) "
                    "FROM game g ORDER BY g.start_local IS NULL, g.start_local, g.id");
    while (games.step()) {
        std::string winner = "-";
        const auto type = static_cast<GameType>(games.integer(5));
        if (is_team_game(type)) {
            if (!games.is_null(6)) winner = team_text(games.text(6));
        } else if (!games.is_null(7)) {
            winner = games.text(7);
        }
        out.print("%lld  %s  %s  %s  %s  %s\n", games.integer(0), games.text(1).c_str(), games.text(2).c_str(),
                  games.text(3).c_str(), length_text(games.integer(4)).c_str(), winner.c_str());
    }
    return 0;
}
