#include <algorithm>
#include <map>
#include <set>

#include "commands.h"
#include "history_store.h"

namespace {

// A name, the name it was merged onto, the name that one was merged onto,
// and so on: the last is the name's player.
std::vector<long long> chain_of(HistoryStore& store, long long name) {
    std::vector<long long> chain{name};
    // A merge that would close a circle is refused; the check keeps a
    // history changed by hand from looping here.
    while (const auto onto = store.merged_onto(chain.back())) {
        if (std::find(chain.begin(), chain.end(), *onto) != chain.end()) break;
        chain.push_back(*onto);
    }
    return chain;
}

// A name and every name whose chain passes through it.
std::vector<long long> names_under(HistoryStore& store, long long name) {
    std::vector<long long> names{name};
    std::set<long long> seen{name};
    for (std::size_t k = 0; k < names.size(); ++k)
        for (const long long under : store.merged_into(names[k]))
            if (seen.insert(under).second) names.push_back(under);
    return names;
}

bool holds(const std::vector<long long>& ids, long long id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

}  // namespace

int merge_names(HistoryStore& store, const std::vector<std::string>& names, const std::string& as_player, Output& out,
                Output& err) {
    const auto target = store.find_name(as_player);
    if (!target) {
        err.print("velstra: no player named \"%s\" in the history\n", as_player.c_str());
        return 1;
    }
    long long player = 0;
    store.begin();
    try {
        const std::vector<long long> target_chain = chain_of(store, *target);
        player = target_chain.back();
        std::vector<long long> given;
        for (const std::string& name : names) {
            const auto id = store.find_name(name);
            if (!id) {
                store.rollback();
                err.print("velstra: no player named \"%s\" in the history\n", name.c_str());
                return 1;
            }
            given.push_back(*id);
        }

        // Each merge is kept as it is given, so that --remove undoes exactly
        // it: a name merged onto the player's own chain would close a
        // circle, and a name merged onto another player is freed first.
        std::vector<long long> moving;
        for (std::size_t k = 0; k < given.size(); ++k) {
            if (holds(target_chain, given[k])) {
                store.rollback();
                if (given[k] == *target)
                    err.print("velstra: \"%s\" cannot be merged into itself; nothing was merged\n", names[k].c_str());
                else
                    err.print(
                        "velstra: \"%s\" cannot be merged into \"%s\", which is merged into it; nothing was "
                        "merged\n",
                        names[k].c_str(), as_player.c_str());
                return 1;
            }
            const std::vector<long long> chain = chain_of(store, given[k]);
            // Already the player's, or the player's once another of the
            // names given is: nothing to keep for it.
            if (chain.back() == player) continue;
            if (std::any_of(chain.begin() + 1, chain.end(), [&](long long n) { return holds(given, n); })) continue;
            if (chain.size() > 1) {
                store.rollback();
                err.print(
                    "velstra: \"%s\" is merged into \"%s\" already; undo that first (alias --remove); nothing was "
                    "merged\n",
                    names[k].c_str(), store.name_text(chain[1]).c_str());
                return 1;
            }
            if (!holds(moving, given[k])) moving.push_back(given[k]);
        }

        // One player cannot have played twice in one game: two of the names
        // in one game are two players.
        std::vector<long long> group = names_under(store, player);
        for (const long long name : moving)
            for (const long long under : names_under(store, name)) group.push_back(under);
        std::map<long long, long long> name_in_game;
        for (const long long name : group) {
            for (const long long game : store.games_of_name(name)) {
                const auto [at, fresh] = name_in_game.emplace(game, name);
                if (fresh || at->second == name) continue;
                const auto shown = store.game_shown(game);
                err.print(
                    "velstra: \"%s\" and \"%s\" both played in game %lld (%s, %s), so they are two "
                    "players; nothing was merged\n",
                    store.name_text(at->second).c_str(), store.name_text(name).c_str(), game,
                    shown ? shown->map.c_str() : "", shown && shown->start ? shown->start->c_str() : "unknown start");
                store.rollback();
                return 2;
            }
        }

        for (const long long name : moving) store.merge(name, *target);
        store.commit();
    } catch (...) {
        store.rollback();
        throw;
    }
    const std::string shown = store.name_text(player);
    for (const std::string& name : names) out.print("merged \"%s\" into \"%s\"\n", name.c_str(), shown.c_str());
    return 0;
}

int unmerge_name(HistoryStore& store, const std::string& name, Output& out, Output& err) {
    const auto id = store.find_name(name);
    if (!id) {
        err.print("velstra: no player named \"%s\" in the history\n", name.c_str());
        return 1;
    }
    store.begin();
    try {
        // Only this name's own merge goes: the names merged onto it stay
        // with it, as they were before it was merged.
        if (!store.merged_onto(*id)) {
            store.rollback();
            err.print("velstra: \"%s\" is not merged into another player\n", name.c_str());
            return 1;
        }
        store.unmerge(*id);
        store.commit();
    } catch (...) {
        store.rollback();
        throw;
    }
    out.print("\"%s\" is a player of its own again\n", name.c_str());
    return 0;
}
