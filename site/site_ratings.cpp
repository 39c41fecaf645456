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

// The history's games as the replay takes them, one at a time in the order
// of their start, so that no more than one game is held. The humans' teams
// come from the spells the history keeps of them; a human without any counts
// for his team of the scoreboard over the whole game.
class RatingGameCursor {
public:
    RatingGameCursor(HistoryStore& store, const SiteData& data)
        : data_(data),
          dated_(store.db(),
                 (std::string(GAME_COLUMNS) + "WHERE start_local IS NOT NULL ORDER BY start_local, id").c_str()),
          undated_(store.db(), (std::string(GAME_COLUMNS) + "WHERE start_local IS NULL ORDER BY id").c_str()),
          teams_(store.db(), "SELECT team, score FROM game_team WHERE game_id = ?1"),
          humans_(store.db(),
                  "SELECT gp.slot, pn.player_id, gp.place, gp.team FROM game_player gp "
                  "JOIN player_name pn ON pn.name_id = gp.name_id WHERE gp.game_id = ?1 AND gp.human = 1 "
                  "ORDER BY gp.slot"),
          spells_(store.db(), "SELECT team, seconds FROM player_team WHERE game_id = ?1 AND slot = ?2") {
        for (std::size_t e = 0; e < data.evenings.size(); ++e) evening_of_[data.evenings[e].date] = static_cast<int>(e);
    }

    // Fills game with the next one; false after the last. The type's name
    // goes to type_names the first time the type is seen.
    bool next(RatingGame& game, std::map<int, std::string>& type_names) {
        if (games_ == &dated_ && !dated_.step()) games_ = &undated_;
        if (games_ == &undated_ && !undated_.step()) return false;
        const Statement& games = *games_;
        game = RatingGame{};
        game.id = games.integer(0);
        game.start = order_++;
        if (!games.is_null(1)) {
            const auto found = evening_of_.find(games.text(1));
            if (found != evening_of_.end()) evening_ = found->second;
        }
        game.evening = std::max(evening_, 0);
        game.type = static_cast<int>(games.integer(2));
        if (!type_names.contains(game.type)) type_names.emplace(game.type, games.text(3));
        game.team_game = is_team_game(static_cast<GameType>(game.type));
        game.length_seconds = static_cast<double>(games.integer(4));
        if (game.team_game) team_results(game);
        read_humans(game);
        return true;
    }

private:
    // The games without a start come after the others. Two statements
    // rather than one order, so that both follow the index of the starts and
    // none sorts the whole history in memory.
    static constexpr const char* GAME_COLUMNS =
        "SELECT id, evening, game_type, type_name, length, teams_counted, winner_team FROM game ";
    const SiteData& data_;
    Statement dated_, undated_;
    Statement* games_ = &dated_;
    Statement teams_, humans_, spells_;
    std::map<std::string, int> evening_of_;
    int evening_ = -1;
    long long order_ = 0;

    void team_results(RatingGame& game) {
        const Statement& games = *games_;
        if (games.integer(5) != 0) {
            teams_.bind(1, game.id);
            while (teams_.step()) {
                const long long t = teams_.integer(0);
                if (t >= 0 && t < rating_max_teams)
                    game.team_results[static_cast<std::size_t>(t)] = static_cast<double>(teams_.integer(1));
            }
            teams_.reset();
        } else if (!games.is_null(6)) {
            // Assault counts no score: the winning side is ahead, the others
            // tie behind it.
            const int winner = team_index(games.text(6));
            if (winner >= 0) game.team_results[static_cast<std::size_t>(winner)] = 1;
        }
    }

    void read_humans(RatingGame& game) {
        humans_.bind(1, game.id);
        while (humans_.step()) {
            RatingHuman human;
            const auto found = data_.index.find(humans_.integer(1));
            human.player = found == data_.index.end() ? -1 : found->second;
            human.place = static_cast<int>(humans_.integer(2));
            if (game.team_game) {
                spells_.bind(1, game.id).bind(2, humans_.integer(0));
                bool any = false;
                while (spells_.step()) {
                    const int t = team_index(spells_.text(0));
                    if (t < 0) continue;
                    human.team_seconds[static_cast<std::size_t>(t)] += static_cast<double>(spells_.integer(1));
                    any = true;
                }
                spells_.reset();
                const int t = team_index(humans_.text(3));
                if (!any && t >= 0) human.team_seconds[static_cast<std::size_t>(t)] = game.length_seconds;
            }
            game.humans.push_back(human);
        }
        humans_.reset();
    }
};

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
    const std::size_t players = data.players.size();
    RatingReplayOptions options;
    if (!data.evenings.empty()) options.last_evening = static_cast<int>(data.evenings.size()) - 1;

    // One pass over the games feeds the overall replay, which keeps each
    // player's rating after each of his evenings for the charts, and one
    // replay per game type seen; a type's ranking needs enough rated games,
    // known only at the end.
    RatingReplayOptions overall_options = options;
    overall_options.points_per_evening = true;
    RatingReplayer overall(overall_options);
    options.keep_points = false;
    std::map<int, RatingReplayer> by_type;
    std::map<int, std::string> type_names;
    RatingGameCursor cursor(store, data);
    RatingGame game;
    while (cursor.next(game, type_names)) {
        overall.add(game);
        auto at = by_type.find(game.type);
        if (at == by_type.end()) {
            options.only_type = game.type;
            at = by_type.emplace(game.type, RatingReplayer(options)).first;
        }
        at->second.add(game);
    }

    const RatingReplay replay = overall.finish();
    ratings.rankings.push_back(ranking_of(replay, players, "", ratings.min_games));
    ratings.steps.resize(players);
    for (std::size_t p = 0; p < players && p < replay.players.size(); ++p)
        for (const RatingPoint& point : replay.players[p].points)
            ratings.steps[p].push_back(RatingStep{point.evening, RatingValue{point.rating.mu, point.rating.sigma}});
    for (auto& [type, replayer] : by_type)
        if (replayer.rated_games() >= rating_min_games_per_type)
            ratings.rankings.push_back(ranking_of(replayer.finish(), players, type_names[type], ratings.min_games));
    return ratings;
}

RatingConstants rating_constants() {
    return RatingConstants{
        rating_initial_mu,         rating_initial_sigma,    rating_beta,           rating_kappa,
        rating_absence_tau,        rating_max_sigma,        rating_ranking_sigmas, rating_default_min_games,
        rating_min_games_per_type, rating_min_share_on_team};
}
