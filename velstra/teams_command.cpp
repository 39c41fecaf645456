#include "teams_command.h"

#include <cmath>
#include <map>

#include "build_site.h"
#include "even_teams.h"
#include "history_reader.h"

namespace {

std::string lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string joined(const std::vector<std::string>& names, const std::vector<int>& members) {
    std::string text;
    for (int k : members) text += (text.empty() ? "" : ", ") + names[static_cast<std::size_t>(k)];
    return text;
}

}  // namespace

int propose_teams(HistoryStore& store, const std::vector<std::string>& names, const std::optional<std::string>& type,
                  Output& out, Output& err) {
    // The names and the ratings of one moment.
    HistoryReader reader(store);
    const std::vector<HistoryName> history_names = reader.names();
    SiteData data;
    SiteRater rater(data);
    fold_history(reader, history_names, GAME_PLAYERS | GAME_SPELLS, data, rater);
    const SiteRatings ratings = rater.finish();

    // Each name finds the player it is, or is merged into.
    std::map<std::string, int> player_of;
    std::map<std::string, bool> types;
    for (std::size_t p = 0; p < data.players.size(); ++p) {
        const SitePlayer& player = data.players[p];
        player_of[player.name] = static_cast<int>(p);
        for (const std::string& merged : player.merged) player_of[merged] = static_cast<int>(p);
        for (const auto& [name, totals] : player.by_type) types[lowered(name)] = true;
    }
    const Ranking* of_type = nullptr;
    if (type) {
        if (!types.contains(lowered(*type))) {
            err.print("velstra: no game of the type \"%s\" in the history\n", type->c_str());
            return 1;
        }
        for (const Ranking& ranking : ratings.rankings)
            if (!ranking.type_name.empty() && lowered(ranking.type_name) == lowered(*type)) of_type = &ranking;
    }

    const Ranking& overall = ratings.rankings.front();
    std::vector<Rating> players;
    std::map<int, std::size_t> given;  // the first name given of each player
    for (std::size_t k = 0; k < names.size(); ++k) {
        const auto found = player_of.find(names[k]);
        if (found == player_of.end()) {
            err.print("velstra: \"%s\" is not in the history; counted with a new player's rating\n", names[k].c_str());
            players.push_back(Rating{});
            continue;
        }
        const int p = found->second;
        if (const auto [at, added] = given.emplace(p, k); !added) {
            err.print("velstra: \"%s\" and \"%s\" are one player\n", names[at->second].c_str(), names[k].c_str());
            return 1;
        }
        const std::size_t at = static_cast<std::size_t>(p);
        const Ranking& ranking = of_type != nullptr && of_type->rated_games_of[at] > 0 ? *of_type : overall;
        players.push_back(Rating{ranking.values[at].mu, ranking.values[at].sigma});
    }

    const TeamSplit split = even_teams(players);
    const long red = std::lround(split.red_chance * 1000.0);
    out.print("Red: %s\nBlue: %s\nRed %ld.%ld %%, Blue %ld.%ld %%\n", joined(names, split.red).c_str(),
              joined(names, split.blue).c_str(), red / 10, red % 10, (1000 - red) / 10, (1000 - red) % 10);
    return 0;
}
