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
    Statement merged(store.db(),
                     "SELECT name.name FROM alias JOIN name ON name.id = alias.name_id "
                     "WHERE alias.player_id = ?1 ORDER BY name.name");
    while (players.step()) {
        const long long humans = players.integer(5);
        const long long bots = players.integer(6);
        const char* kind = humans > 0 ? (bots > 0 ? "human+bot" : "human") : (bots > 0 ? "bot" : "?");
        std::string names = players.text(1);
        merged.bind(1, players.integer(0));
        const char* separator = " (also ";
        bool any = false;
        while (merged.step()) {
            names += separator + merged.text(0);
            separator = ", ";
            any = true;
        }
        merged.reset();
        if (any) names += ")";
        const long long games = players.integer(2);
        out.print("%lld game%s  first %s  last %s  %s  %s\n", games, games == 1 ? " " : "s", players.text(3).c_str(),
                  players.text(4).c_str(), kind, names.c_str());
    }
    return 0;
}
