#include "commands.h"
#include "history_reader.h"

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
