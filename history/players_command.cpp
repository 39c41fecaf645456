#include <map>

#include "commands.h"
#include "history_store.h"

int list_players(HistoryStore& store, Output& out) {
    // A player is a name not merged into another, together with the names
    // merged into it.
    Statement players(store.db(),
                      "SELECT pn.player_id, player.name, count(DISTINCT gp.game_id), "
                      "coalesce(substr(min(g.start_local), 1, 16), '-'), "
                      "coalesce(substr(max(g.start_local), 1, 16), '-'), "
                      "sum(gp.human = 1), sum(gp.human = 0) "
                      "FROM game_player gp JOIN player_name pn ON pn.name_id = gp.name_id "
                      "JOIN name player ON player.id = pn.player_id JOIN game g ON g.id = gp.game_id "
                      "GROUP BY pn.player_id ORDER BY count(DISTINCT gp.game_id) DESC, player.name");
    // The names merged into each player, read at once: a player's chain of
    // merges is followed once for all of them.
    std::map<long long, std::vector<std::string>> merged;
    Statement names(store.db(),
                    "SELECT player_id, name FROM player_name WHERE player_id != name_id ORDER BY player_id, name");
    while (names.step()) merged[names.integer(0)].push_back(names.text(1));
    while (players.step()) {
        const long long humans = players.integer(5);
        const long long bots = players.integer(6);
        const char* kind = humans > 0 ? (bots > 0 ? "human+bot" : "human") : (bots > 0 ? "bot" : "?");
        std::string names_shown = players.text(1);
        if (const auto found = merged.find(players.integer(0)); found != merged.end()) {
            const char* separator = " (also ";
            for (const std::string& name : found->second) {
                names_shown += separator + name;
                separator = ", ";
            }
            names_shown += ")";
        }
        const long long games = players.integer(2);
        out.print("%lld game%s  first %s  last %s  %s  %s\n", games, games == 1 ? " " : "s", players.text(3).c_str(),
                  players.text(4).c_str(), kind, names_shown.c_str());
    }
    return 0;
}
