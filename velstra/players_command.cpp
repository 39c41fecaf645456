#include <map>

#include "commands.h"
#include "history_reader.h"
#include "similar_names.h"

int list_players(HistoryStore& store, Output& out) {
    HistoryReader reader(store);
    for (const PlayerListing& p : reader.player_listings()) {
        const char* kind = p.as_human > 0 ? (p.as_bot > 0 ? "human+bot" : "human") : (p.as_bot > 0 ? "bot" : "?");
        std::string names_shown = p.name;
        const char* separator = " (also ";
        for (const std::string& name : p.merged) {
            names_shown += separator + name;
            separator = ", ";
        }
        if (!p.merged.empty()) names_shown += ")";
        out.print("%lld game%s  first %s  last %s  %s  %s\n", p.games, p.games == 1 ? " " : "s", p.first.c_str(),
                  p.last.c_str(), kind, names_shown.c_str());
    }
    return 0;
}

int list_similar_players(HistoryStore& store, const std::string& db_option, Output& out) {
    HistoryReader reader(store);
    const std::vector<PlayerListing> players = reader.player_listings();
    // The players of each stem, most games first; a bot's name is the
    // bot's, whoever else plays under a name like it.
    std::vector<std::string> stems;
    std::map<std::string, std::vector<const PlayerListing*>> of_stem;
    for (const PlayerListing& p : players) {
        if (p.as_human == 0) continue;
        const std::string stem = name_stem(p.name);
        if (stem.empty()) continue;
        std::vector<const PlayerListing*>& group = of_stem[stem];
        if (group.empty()) stems.push_back(stem);
        group.push_back(&p);
    }
    for (const std::string& stem : stems) {
        const std::vector<const PlayerListing*>& group = of_stem[stem];
        // Two who played in one game are two people: a name that met the
        // player, or a name taken already, stays apart.
        std::vector<const PlayerListing*> merged;
        for (std::size_t k = 1; k < group.size(); ++k) {
            bool apart = reader.played_together(group[0]->id, group[k]->id);
            for (const PlayerListing* taken : merged) apart = apart || reader.played_together(taken->id, group[k]->id);
            if (!apart) merged.push_back(group[k]);
        }
        if (merged.empty()) continue;
        // A name that begins with a dash comes after "--", the player
        // before it.
        bool dashed = false;
        std::string names;
        for (const PlayerListing* p : merged) {
            names += " " + shell_word(p->name);
            dashed = dashed || p->name.starts_with("-");
        }
        const std::string player = shell_word(group[0]->name);
        if (dashed)
            out.print("velstra alias%s --as %s --%s\n", db_option.c_str(), player.c_str(), names.c_str());
        else
            out.print("velstra alias%s%s --as %s\n", db_option.c_str(), names.c_str(), player.c_str());
    }
    return 0;
}
