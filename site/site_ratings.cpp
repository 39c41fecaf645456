#include "site_ratings.h"

#include <algorithm>
#include <map>

#include "game_record.h"
#include "history_store.h"
#include "rating_constants.h"
#include "rating_history.h"

namespace {

// A team's index among the rating's teams: the numbered teams, and the two
// sides of Assault as the first two.
int team_index(const std::string& team) {
    if (const int t = team_number(team); t >= 0) return t;
    if (team == "attacker") return 0;
    if (team == "defender") return 1;
    return -1;
}

// Every game as the replay takes it. The humans' teams come from the spells
// the history keeps of them; a human without any counts for his team of the
// scoreboard over the whole game.
std::vector<RatingGame> rating_games(HistoryStore& store, const SiteData& data,
                                     std::map<int, std::string>& type_names) {
    std::map<std::string, int> evening_of;
    for (std::size_t e = 0; e < data.evenings.size(); ++e) evening_of[data.evenings[e].date] = static_cast<int>(e);

    Statement games(store.db(),
                    "SELECT id, evening, game_type, type_name, length, teams_counted, winner_team FROM game "
                    "ORDER BY start_local IS NULL, start_local, id");
    Statement teams(store.db(), "SELECT team, score FROM game_team WHERE game_id = ?1");
    Statement humans(store.db(),
                     "SELECT gp.slot, pn.player_id, gp.place, gp.team FROM game_player gp "
                     "JOIN player_name pn ON pn.name_id = gp.name_id WHERE gp.game_id = ?1 AND gp.human = 1 "
                     "ORDER BY gp.slot");
    Statement spells(store.db(), "SELECT team, seconds FROM player_team WHERE game_id = ?1 AND slot = ?2");

    std::vector<RatingGame> list;
    int evening = -1;
    long long order = 0;
    while (games.step()) {
        RatingGame game;
        game.id = games.integer(0);
        game.start = order++;
        if (!games.is_null(1)) {
            const auto found = evening_of.find(games.text(1));
            if (found != evening_of.end()) evening = found->second;
        }
        game.evening = std::max(evening, 0);
        game.type = static_cast<int>(games.integer(2));
        type_names.emplace(game.type, games.text(3));
        game.team_game = is_team_game(static_cast<GameType>(game.type));
        game.length_seconds = static_cast<double>(games.integer(4));
        if (game.team_game) {
            if (games.integer(5) != 0) {
                teams.bind(1, game.id);
                while (teams.step()) {
                    const long long t = teams.integer(0);
                    if (t >= 0 && t < rating_max_teams)
                        game.team_results[static_cast<std::size_t>(t)] = static_cast<double>(teams.integer(1));
                }
                teams.reset();
            } else if (!games.is_null(6)) {
                // Assault counts no score: the winning side is ahead, the
                // others tie behind it.
                const int winner = team_index(games.text(6));
                if (winner >= 0) game.team_results[static_cast<std::size_t>(winner)] = 1;
            }
        }
        humans.bind(1, game.id);
        while (humans.step()) {
            RatingHuman human;
            const auto found = data.index.find(humans.integer(1));
            human.player = found == data.index.end() ? -1 : found->second;
            human.place = static_cast<int>(humans.integer(2));
            if (game.team_game) {
                spells.bind(1, game.id).bind(2, humans.integer(0));
                bool any = false;
                while (spells.step()) {
                    const int t = team_index(spells.text(0));
                    if (t < 0) continue;
                    human.team_seconds[static_cast<std::size_t>(t)] += static_cast<double>(spells.integer(1));
                    any = true;
                }
                spells.reset();
                const int t = team_index(humans.text(3));
                if (!any && t >= 0) human.team_seconds[static_cast<std::size_t>(t)] = game.length_seconds;
            }
            game.humans.push_back(human);
        }
        humans.reset();
        list.push_back(std::move(game));
    }
    return list;
}

Ranking ranking_of(const RatingReplay& replay, std::size_t players, std::string type_name, int min_games) {
    Ranking ranking;
    ranking.type_name = std::move(type_name);
    ranking.rated_games = replay.rated_games;
    ranking.order = rank_players(replay, min_games);
    ranking.values.resize(players);
    ranking.rated_games_of.resize(players);
    for (std::size_t p = 0; p < players && p < replay.players.size(); ++p) {
        ranking.values[p] = RatingValue{replay.players[p].rating.mu, replay.players[p].rating.sigma};
        ranking.rated_games_of[p] = replay.players[p].rated_games;
    }
    return ranking;
}

}  // namespace

double RatingValue::conservative() const { return mu - rating_ranking_sigmas * sigma; }

SiteRatings rate_history(HistoryStore& store, const SiteData& data) {
    SiteRatings ratings;
    ratings.min_games = rating_default_min_games;
    std::map<int, std::string> type_names;
    const std::vector<RatingGame> games = rating_games(store, data, type_names);
    const std::size_t players = data.players.size();
    RatingReplayOptions options;
    if (!data.evenings.empty()) options.last_evening = static_cast<int>(data.evenings.size()) - 1;

    const RatingReplay overall = replay_ratings(games, options);
    ratings.rankings.push_back(ranking_of(overall, players, "", ratings.min_games));
    ratings.steps.resize(players);
    for (std::size_t p = 0; p < players && p < overall.players.size(); ++p)
        for (const RatingPoint& point : overall.players[p].points)
            ratings.steps[p].push_back(RatingStep{point.evening, RatingValue{point.rating.mu, point.rating.sigma}});

    options.keep_points = false;
    for (int type : types_to_rank(games)) {
        options.only_type = type;
        ratings.rankings.push_back(
            ranking_of(replay_ratings(games, options), players, type_names[type], ratings.min_games));
    }
    return ratings;
}

RatingConstants rating_constants() {
    return RatingConstants{
        rating_initial_mu,         rating_initial_sigma,    rating_beta,           rating_kappa,
        rating_absence_tau,        rating_max_sigma,        rating_ranking_sigmas, rating_default_min_games,
        rating_min_games_per_type, rating_min_share_on_team};
}
