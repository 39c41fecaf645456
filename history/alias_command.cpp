#include <map>
#include <optional>
#include <set>

#include "commands.h"
#include "history_store.h"

namespace {

std::optional<long long> name_id(HistoryStore& store, const std::string& name) {
    Statement find(store.db(), "SELECT id FROM name WHERE name = ?1");
    find.bind(1, name);
    if (find.step()) return find.integer(0);
    return std::nullopt;
}

long long player_of(HistoryStore& store, long long name) {
    Statement find(store.db(), "SELECT player_id FROM alias WHERE name_id = ?1");
    find.bind(1, name);
    return find.step() ? find.integer(0) : name;
}

std::string name_of(HistoryStore& store, long long id) {
    Statement find(store.db(), "SELECT name FROM name WHERE id = ?1");
    find.bind(1, id);
    return find.step() ? find.text(0) : std::string();
}

// The names whose player is id (not id itself).
std::vector<long long> names_merged_into(HistoryStore& store, long long id) {
    Statement find(store.db(), "SELECT name_id FROM alias WHERE player_id = ?1");
    find.bind(1, id);
    std::vector<long long> names;
    while (find.step()) names.push_back(find.integer(0));
    return names;
}

}  // namespace

int merge_names(HistoryStore& store, const std::vector<std::string>& names, const std::string& as_player, Output& out,
                Output& err) {
    const auto target_name = name_id(store, as_player);
    if (!target_name) {
        err.print("velstra: no player named \"%s\" in the history\n", as_player.c_str());
        return 1;
    }
    long long target = 0;
    store.begin();
    try {
        target = player_of(store, *target_name);
        // Every name that will belong to the player: his own, those merged
        // into him, each name given and the names merged into it.
        std::set<long long> group{target};
        for (const long long n : names_merged_into(store, target)) group.insert(n);
        std::vector<long long> moving;
        for (const std::string& name : names) {
            const auto id = name_id(store, name);
            if (!id) {
                store.rollback();
                err.print("velstra: no player named \"%s\" in the history\n", name.c_str());
                return 1;
            }
            moving.push_back(*id);
            group.insert(*id);
            for (const long long n : names_merged_into(store, *id)) group.insert(n);
        }

        // One player cannot have played twice in one game: two of the names
        // in one game are two players.
        Statement games(store.db(), "SELECT game_id FROM game_player WHERE name_id = ?1");
        std::map<long long, long long> name_in_game;
        for (const long long name : group) {
            games.bind(1, name);
            while (games.step()) {
                const auto [at, fresh] = name_in_game.emplace(games.integer(0), name);
                if (fresh || at->second == name) continue;
                Statement game(store.db(),
                               "SELECT map, coalesce(substr(start_local, 1, 16), 'unknown start') FROM game "
                               "WHERE id = ?1");
                game.bind(1, at->first);
                game.step();
                err.print(
                    "velstra: \"%s\" and \"%s\" both played in game %lld (%s, %s), so they are two "
                    "players; nothing was merged\n",
                    name_of(store, at->second).c_str(), name_of(store, name).c_str(), at->first, game.text(0).c_str(),
                    game.text(1).c_str());
                games.reset();
                store.rollback();
                return 2;
            }
            games.reset();
        }

        Statement follow(store.db(), "UPDATE alias SET player_id = ?2 WHERE player_id = ?1");
        Statement map(store.db(), "INSERT OR REPLACE INTO alias (name_id, player_id) VALUES (?1, ?2)");
        for (const long long id : moving) {
            if (id == target) continue;
            follow.bind(1, id).bind(2, target).run();
            map.bind(1, id).bind(2, target).run();
        }
        store.commit();
    } catch (...) {
        store.rollback();
        throw;
    }
    const std::string player = name_of(store, target);
    for (const std::string& name : names) out.print("merged \"%s\" into \"%s\"\n", name.c_str(), player.c_str());
    return 0;
}

int unmerge_name(HistoryStore& store, const std::string& name, Output& out, Output& err) {
    const auto id = name_id(store, name);
    if (!id) {
        err.print("velstra: no player named \"%s\" in the history\n", name.c_str());
        return 1;
    }
    if (player_of(store, *id) == *id) {
        err.print("velstra: \"%s\" is not merged into another player\n", name.c_str());
        return 1;
    }
    store.begin();
    try {
        Statement remove(store.db(), "DELETE FROM alias WHERE name_id = ?1");
        remove.bind(1, *id).run();
        store.commit();
    } catch (...) {
        store.rollback();
        throw;
    }
    out.print("\"%s\" is a player of its own again\n", name.c_str());
    return 0;
}
