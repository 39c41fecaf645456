// The players' ratings: one game's update on cases worked by hand and on the
// properties any result must keep, then the replay of a history with its
// rules of who is rated, the evenings missed, the ranking and the types.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "rating_history.h"
#include "rating_model.h"

namespace {

constexpr double tolerance = 1e-9;

// Rates one game of entrants whose players all start new; team_of lists each
// player's entrant.
std::vector<RatedSeat> rate_new(const std::vector<int>& places, const std::vector<int>& team_of) {
    std::vector<RatedSeat> seats;
    for (int entrant : team_of) seats.push_back({entrant, {}});
    RatingScratch scratch;
    rate_game(places, seats, scratch);
    return seats;
}

void expect_rating(const Rating& rating, double mu, double sigma) {
    EXPECT_NEAR(rating.mu, mu, tolerance);
    EXPECT_NEAR(rating.sigma, sigma, tolerance);
}

}  // namespace

TEST(RatingModel, HandWorkedCases) {
    // One against one, the first entrant winning; listed the other way round
    // the same game gives the same numbers.
    std::vector<RatedSeat> duel = rate_new({1, 2}, {0, 1});
    expect_rating(duel[0].rating, 27.6352313835, 8.0655063163);
    expect_rating(duel[1].rating, 22.3647686165, 8.0655063163);
    duel = rate_new({2, 1}, {0, 1});
    expect_rating(duel[1].rating, 27.6352313835, 8.0655063163);
    expect_rating(duel[0].rating, 22.3647686165, 8.0655063163);

    // A free-for-all of three, the entrants listed out of their order.
    std::vector<RatedSeat> three = rate_new({3, 1, 2}, {0, 1, 2});
    expect_rating(three[1].rating, 27.868876553, 8.204837031);
    expect_rating(three[2].rating, 25.717219138, 8.057829748);
    expect_rating(three[0].rating, 21.413904309, 8.057829748);

    // A draw between equals moves no mean and still teaches something.
    std::vector<RatedSeat> draw = rate_new({1, 1}, {0, 1});
    expect_rating(draw[0].rating, 25.0, 8.0655063163);
    expect_rating(draw[1].rating, 25.0, 8.0655063163);

    // Two of three tie ahead of the third. With equal strengths each
    // probability is 1 over the entrants not ranked ahead: for a winner the
    // terms of both first places, (1 - 1/3)/2 and (0 - 1/3)/2, add up to 1/6,
    // the last gets -1/3; with c^2 = 3.75 s^2 the change of a mean is
    // s/sqrt(3.75) times that. Each has p(1 - p) summed to 2/9 over his terms,
    // so every sigma is s sqrt(1 - (2/9) / 3.75^1.5).
    std::vector<RatedSeat> shared = rate_new({1, 3, 1}, {0, 1, 2});
    expect_rating(shared[0].rating, 25.7172191382, 8.2048370308);
    expect_rating(shared[2].rating, 25.7172191382, 8.2048370308);
    expect_rating(shared[1].rating, 23.5655617236, 8.2048370308);

    // Two new players beat one. Team means 50 and 25, variances 2s^2 and s^2
    // with s = 25/3, beta^2 = s^2/4, so c^2 = 3s^2 + s^2/2 = 8750/36 and
    // 25/c = 6/sqrt(14). With e = exp(-6/sqrt(14)) the loser's share of the
    // strength is 1 - p = e / (1 + e). Each team's change of mean is
    // +-(team variance / c)(1 - p), and a winner takes half of his team's:
    // both sides move by (s^2/c)(1 - p) = 50/(3 sqrt(14)) e/(1+e) = 0.74603127.
    // Team variance over c^2 is 4/7 for the pair and 2/7 for the single, so
    // a winner keeps s sqrt(1 - (4/7)^1.5 p(1-p) / 2) and the single
    // s sqrt(1 - (2/7)^1.5 p(1-p)).
    std::vector<RatedSeat> pair = rate_new({1, 2}, {0, 1, 0});
    expect_rating(pair[0].rating, 25.7460312700, 8.2068963874);
    expect_rating(pair[2].rating, 25.7460312700, 8.2068963874);
    expect_rating(pair[1].rating, 24.2539687300, 8.2441297157);
}

// A result the model finds very unlikely may not take more than all but the
// floor share of a variance: one very uncertain player last of ten against
// nine nearly certain ones keeps sqrt(kappa) of his sigma.
TEST(RatingModel, VarianceKeepsItsFloor) {
    std::vector<RatedSeat> seats{{0, {25.0, 100.0}}};
    std::vector<int> places{10};
    for (int e = 1; e < 10; ++e) {
        seats.push_back({e, {25.0, 0.01}});
        places.push_back(e);
    }
    RatingScratch scratch;
    rate_game(places, seats, scratch);
    EXPECT_NEAR(seats[0].rating.sigma, 100.0 * std::sqrt(rating_kappa), tolerance);
    EXPECT_LT(seats[0].rating.mu, 25.0);
}

// Random games of up to eight entrants of up to four players, with ties: the
// properties every update keeps, whatever the ratings.
TEST(RatingModel, PropertiesOfRandomGames) {
    std::mt19937 random(21);
    RatingScratch scratch;
    for (int round = 0; round < 3000; ++round) {
        const int entrants = 2 + static_cast<int>(random() % 7);
        std::vector<int> places(entrants);
        for (int& place : places) place = 1 + static_cast<int>(random() % entrants);
        std::vector<RatedSeat> seats;
        for (int e = 0; e < entrants; ++e) {
            const int players = 1 + static_cast<int>(random() % 4);
            for (int p = 0; p < players; ++p)
                seats.push_back({e, {10.0 + (random() % 3000) / 100.0, 0.5 + (random() % 800) / 100.0}});
        }
        std::vector<RatedSeat> before = seats;
        rate_game(places, seats, scratch);

        const int best = *std::min_element(places.begin(), places.end());
        const int worst = *std::max_element(places.begin(), places.end());
        for (std::size_t s = 0; s < seats.size(); ++s) {
            const int place = places[seats[s].entrant];
            const bool alone = std::count(places.begin(), places.end(), place) == 1;
            if (alone && place == best) {
                EXPECT_GT(seats[s].rating.mu, before[s].rating.mu) << "round " << round;
            }
            if (alone && place == worst) {
                EXPECT_LT(seats[s].rating.mu, before[s].rating.mu) << "round " << round;
            }
            EXPECT_LT(seats[s].rating.sigma, before[s].rating.sigma) << "round " << round;
            EXPECT_GE(seats[s].rating.sigma, before[s].rating.sigma * std::sqrt(rating_kappa)) << "round " << round;
        }

        // The order in which the seats are listed changes nothing.
        std::vector<RatedSeat> shuffled = before;
        std::vector<std::size_t> order(before.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::shuffle(order.begin(), order.end(), random);
        for (std::size_t s = 0; s < order.size(); ++s) shuffled[s] = before[order[s]];
        rate_game(places, shuffled, scratch);
        for (std::size_t s = 0; s < order.size(); ++s) {
            ASSERT_NEAR(shuffled[s].rating.mu, seats[order[s]].rating.mu, 1e-12) << "round " << round;
            ASSERT_NEAR(shuffled[s].rating.sigma, seats[order[s]].rating.sigma, 1e-12) << "round " << round;
        }
    }
}

// With every entrant equally uncertain, what the winners gain the losers
// lose: the changes of the means add up to zero, ties included; and a draw of
// all between equal teams moves no mean.
TEST(RatingModel, EqualUncertaintiesShareOneSum) {
    std::mt19937 random(7);
    RatingScratch scratch;
    for (int round = 0; round < 1000; ++round) {
        const int entrants = 2 + static_cast<int>(random() % 7);
        const double sigma = 1.0 + (random() % 700) / 100.0;
        std::vector<int> places(entrants);
        std::vector<RatedSeat> seats;
        for (int e = 0; e < entrants; ++e) {
            places[e] = 1 + static_cast<int>(random() % 3);
            seats.push_back({e, {10.0 + (random() % 3000) / 100.0, sigma}});
        }
        double before = 0.0;
        for (const RatedSeat& seat : seats) before -= seat.rating.mu;
        rate_game(places, seats, scratch);
        double change = before;
        for (const RatedSeat& seat : seats) change += seat.rating.mu;
        EXPECT_NEAR(change, 0.0, 1e-9) << "round " << round;

        std::vector<RatedSeat> equals;
        const int size = 1 + static_cast<int>(random() % 3);
        for (int e = 0; e < entrants; ++e)
            for (int p = 0; p < size; ++p) equals.push_back({e, {20.0 + p, sigma + p}});
        rate_game(std::vector<int>(entrants, 1), equals, scratch);
        for (std::size_t s = 0; s < equals.size(); ++s)
            EXPECT_NEAR(equals[s].rating.mu, 20.0 + static_cast<int>(s) % size, 1e-9) << "round " << round;
    }
}

namespace {

RatingHuman placed(int player, int place) {
    RatingHuman human;
    human.player = player;
    human.place = place;
    return human;
}

RatingHuman on_teams(int player, std::array<double, rating_max_teams> seconds) {
    RatingHuman human;
    human.player = player;
    human.team_seconds = seconds;
    return human;
}

RatingGame free_for_all(std::int64_t start, int evening, std::vector<RatingHuman> humans, int type = 0) {
    RatingGame game;
    game.id = start;
    game.start = start;
    game.evening = evening;
    game.type = type;
    game.humans = std::move(humans);
    return game;
}

RatingGame team_game(std::int64_t start, double length, std::array<double, rating_max_teams> results,
                     std::vector<RatingHuman> humans) {
    RatingGame game = free_for_all(start, 0, std::move(humans));
    game.team_game = true;
    game.length_seconds = length;
    game.team_results = results;
    return game;
}

// The players' ratings after one game rated directly by the model:
// team_of[player] is his entrant, or -1 when he is not rated.
std::vector<Rating> expected_after(const std::vector<int>& places, const std::vector<int>& team_of,
                                   std::vector<Rating> ratings) {
    std::vector<RatedSeat> seats;
    for (std::size_t p = 0; p < team_of.size(); ++p)
        if (team_of[p] >= 0) seats.push_back({team_of[p], ratings[p]});
    RatingScratch scratch;
    rate_game(places, seats, scratch);
    std::size_t s = 0;
    for (std::size_t p = 0; p < team_of.size(); ++p)
        if (team_of[p] >= 0) ratings[p] = seats[s++].rating;
    return ratings;
}

void expect_players(const RatingReplay& replay, const std::vector<Rating>& expected) {
    ASSERT_GE(replay.players.size(), expected.size());
    for (std::size_t p = 0; p < expected.size(); ++p) {
        EXPECT_NEAR(replay.players[p].rating.mu, expected[p].mu, tolerance) << "player " << p;
        EXPECT_NEAR(replay.players[p].rating.sigma, expected[p].sigma, tolerance) << "player " << p;
    }
}

}  // namespace

// In a team game each human counts in full for the team he spent the most
// time on (the first of equal times), if that is at least half of the game; teams are placed by their
// results and equal results tie.
TEST(RatingReplay, TeamGamesRateWhoPlayedHalfTheGameOnOneTeam) {
    const std::vector<RatingGame> won{
        team_game(1, 600, {3, 5, 0, 0},
                  {on_teams(0, {600, 0, 0, 0}), on_teams(1, {0, 600, 0, 0}), on_teams(2, {200, 400, 0, 0}),
                   on_teams(3, {290, 290, 0, 0}), on_teams(4, {300, 0, 0, 0}), on_teams(5, {300, 300, 0, 0})})};
    RatingReplay replay = replay_ratings(won);
    expect_players(replay, expected_after({2, 1}, {0, 1, 1, -1, 0, 0}, std::vector<Rating>(6)));
    EXPECT_EQ(replay.players[3].rated_games, 0);
    EXPECT_EQ(replay.players[3].evenings, 1);
    EXPECT_TRUE(replay.players[3].points.empty());
    EXPECT_EQ(replay.players[2].wins, 1);
    EXPECT_EQ(replay.players[4].wins, 0);

    // Equal results tie; the teams are the third and fourth, and a person
    // listed twice has his times added: 200 + 200 of 600 seconds rate him.
    const std::vector<RatingGame> drawn{team_game(1, 600, {0, 0, 7, 7},
                                                  {on_teams(0, {0, 0, 600, 0}), on_teams(1, {0, 0, 0, 200}),
                                                   on_teams(1, {0, 0, 0, 200}), on_teams(2, {0, 0, 0, 600})})};
    replay = replay_ratings(drawn);
    expect_players(replay, expected_after({1, 1}, {0, 1, 1}, std::vector<Rating>(3)));
    EXPECT_EQ(replay.players[0].wins, 0);
    EXPECT_EQ(replay.players[1].rated_games, 1);

    // Humans on one team only, the other of bots: one entrant, no change.
    const std::vector<RatingGame> against_bots{
        team_game(1, 600, {1, 9, 0, 0}, {on_teams(0, {600, 0, 0, 0}), on_teams(1, {0, 0, 0, 0})})};
    replay = replay_ratings(against_bots);
    expect_players(replay, std::vector<Rating>(2));
    EXPECT_EQ(replay.rated_games, 0);
    EXPECT_EQ(replay.players[0].rated_games, 0);
}

// Free-for-all games place the humans by their places among the humans,
// ties included; one human among bots changes nothing, and a person listed
// twice plays once, at his better place.
TEST(RatingReplay, FreeForAllPlacesAmongTheHumans) {
    RatingReplay replay = replay_ratings(
        std::vector<RatingGame>{free_for_all(1, 0, {placed(0, 4), placed(1, 2), placed(2, 4), placed(3, 9)})});
    expect_players(replay, expected_after({4, 2, 4, 9}, {0, 1, 2, 3}, std::vector<Rating>(4)));
    EXPECT_EQ(replay.players[1].wins, 1);
    EXPECT_EQ(replay.rated_games, 1);

    replay = replay_ratings(std::vector<RatingGame>{free_for_all(1, 0, {placed(0, 1)})});
    expect_players(replay, std::vector<Rating>(1));
    EXPECT_EQ(replay.players[0].evenings, 1);
    EXPECT_EQ(replay.rated_games, 0);

    replay = replay_ratings(std::vector<RatingGame>{free_for_all(1, 0, {placed(0, 3), placed(1, 2), placed(0, 1)})});
    expect_players(replay, expected_after({1, 2}, {0, 1}, std::vector<Rating>(2)));
    EXPECT_EQ(replay.players[0].rated_games, 1);
}

// Games are replayed in the order of their start times, whatever the order
// given; each player's points follow that order.
TEST(RatingReplay, FollowsTheStartTimes) {
    std::vector<RatingGame> games{free_for_all(300, 0, {placed(0, 1), placed(1, 2)}),
                                  free_for_all(100, 0, {placed(1, 1), placed(2, 2)}),
                                  free_for_all(200, 0, {placed(2, 1), placed(0, 2)})};
    const RatingReplay replay = replay_ratings(games);
    std::vector<Rating> expected(3);
    expected = expected_after({1, 2}, {-1, 0, 1}, expected);
    expected = expected_after({2, 1}, {0, -1, 1}, expected);
    expected = expected_after({1, 2}, {0, 1, -1}, expected);
    expect_players(replay, expected);

    std::vector<std::int64_t> games_of_0;
    for (const RatingPoint& point : replay.players[0].points) games_of_0.push_back(point.game);
    EXPECT_EQ(games_of_0, (std::vector<std::int64_t>{200, 300}));
    EXPECT_NEAR(replay.players[0].points.back().rating.mu, expected[0].mu, tolerance);
}

// Each evening a rated player misses adds tau^2 to his variance, up to the
// uncertainty of a new player: when he plays again and, at the end, up to
// the history's last evening. Evenings before his first rated game do not
// count, nor evenings he played without being rated.
TEST(RatingReplay, MissedEveningsReturnUncertainty) {
    const std::vector<RatingGame> games{
        free_for_all(1, 1, {placed(0, 1)}),                // alone: present, not rated
        free_for_all(2, 2, {placed(0, 1), placed(1, 2)}),  // the first rated game of 0 and 1
        free_for_all(3, 3, {placed(0, 1)}),                // present again, not rated
        free_for_all(5, 5, {placed(2, 1), placed(0, 2)}),  // evening 4 missed
    };
    RatingReplayOptions options;
    options.last_evening = 9;
    const RatingReplay replay = replay_ratings(games, options);

    const auto missed = [](Rating rating, int evenings) {
        rating.sigma = std::sqrt(rating.sigma * rating.sigma + evenings * rating_absence_tau * rating_absence_tau);
        return rating;
    };
    std::vector<Rating> expected = expected_after({1, 2}, {0, 1}, std::vector<Rating>(3));
    expected[0] = missed(expected[0], 1);
    expected = expected_after({2, 1}, {0, -1, 1}, expected);
    EXPECT_NEAR(replay.players[0].points.back().rating.sigma, expected[0].sigma, tolerance);
    expected[0] = missed(expected[0], 4);
    expected[1] = missed(expected[1], 7);
    expected[2] = missed(expected[2], 4);
    expect_players(replay, expected);
    EXPECT_EQ(replay.players[0].evenings, 4);
    EXPECT_EQ(replay.players[0].rated_games, 2);
    EXPECT_EQ(replay.players[0].points.size(), 2u);
    EXPECT_EQ(replay.last_evening, 9);

    // By default the history ends with its last game's evening; a long
    // absence brings a player back to a new player's uncertainty, no further.
    options.last_evening = 5000;
    EXPECT_NEAR(replay_ratings(games).players[1].rating.sigma,
                missed(expected_after({1, 2}, {0, 1}, {{}, {}})[1], 3).sigma, tolerance);
    EXPECT_EQ(replay_ratings(games, options).players[1].rating.sigma, rating_initial_sigma);
}

// The ranking orders by mu - 3 sigma, so that one lucky win does not top many
// games of steady play, and admits players with enough rated games, never
// one without any; a win is a first place not shared.
TEST(RatingReplay, RanksByTheConservativeEstimate) {
    std::vector<RatingGame> games{free_for_all(0, 0, {placed(0, 1), placed(3, 2)})};
    for (int g = 1; g <= 30; ++g) games.push_back(free_for_all(g, 0, {placed(2, 1), placed(1, 1)}));
    games.push_back(free_for_all(31, 0, {placed(4, 1)}));
    const RatingReplay replay = replay_ratings(games);
    ASSERT_GT(replay.players[0].rating.mu, replay.players[1].rating.mu);
    EXPECT_EQ(rank_players(replay, 1), (std::vector<int>{1, 2, 0, 3}));
    EXPECT_EQ(rank_players(replay, 0), (std::vector<int>{1, 2, 0, 3}));
    EXPECT_EQ(rank_players(replay), (std::vector<int>{1, 2}));
    EXPECT_EQ(rank_players(replay, 31), std::vector<int>{});
    EXPECT_EQ(replay.players[0].wins, 1);
    EXPECT_EQ(replay.players[1].wins, 0);
    EXPECT_EQ(replay.players[1].rated_games, 30);
    EXPECT_EQ(replay.players[1].evenings, 1);
    EXPECT_EQ(replay.rated_games, 31);
}

// A game type gets a ranking of its own from 20 rated games; its replay
// holds only its games, while the evenings missed are the history's.
TEST(RatingReplay, RankingsPerGameType) {
    std::vector<RatingGame> games;
    for (int g = 0; g < 20; ++g) games.push_back(free_for_all(100 + g, g, {placed(0, 1), placed(1, 2)}, 1));
    for (int g = 0; g < 19; ++g) games.push_back(free_for_all(200 + g, 0, {placed(1, 1), placed(2, 2)}, 2));
    for (int g = 0; g < 5; ++g) games.push_back(free_for_all(300 + g, 0, {placed(2, 1)}, 2));
    EXPECT_EQ(types_to_rank(games), std::vector<int>{1});
    EXPECT_EQ(types_to_rank(games, 19), (std::vector<int>{1, 2}));

    RatingReplayOptions options;
    options.only_type = 2;
    const RatingReplay replay = replay_ratings(games, options);
    EXPECT_EQ(replay.rated_games, 19);
    EXPECT_EQ(replay.players[0].rated_games, 0);
    EXPECT_EQ(replay.players[1].rated_games, 19);
    EXPECT_EQ(replay.last_evening, 19);
    std::vector<Rating> expected(3);
    for (int g = 0; g < 19; ++g) expected = expected_after({1, 2}, {-1, 0, 1}, expected);
    for (Rating& rating : expected)
        rating.sigma = std::min(std::sqrt(rating.sigma * rating.sigma + 19 * rating_absence_tau * rating_absence_tau),
                                rating_initial_sigma);
    expect_players(replay, {expected[0], expected[1], expected[2]});
}

// Fed one game at a time, the replay keeps a player's point per evening only
// when asked: his rating after his last rated game of that evening, so that a
// chart grows with the evenings, not the games.
TEST(RatingReplay, PointsPerEveningKeepTheLastGameOfEach) {
    RatingReplayOptions options;
    options.points_per_evening = true;
    RatingReplayer replayer(options);
    const std::vector<RatingGame> games{
        free_for_all(1, 0, {placed(0, 1), placed(1, 2)}), free_for_all(2, 0, {placed(1, 1), placed(0, 2)}),
        free_for_all(3, 0, {placed(0, 1)}),  // alone: no point
        free_for_all(4, 2, {placed(0, 1), placed(2, 2)}), free_for_all(5, 3, {placed(1, 1), placed(2, 2)})};
    for (const RatingGame& game : games) replayer.add(game);
    const RatingReplay replay = replayer.finish();

    std::vector<Rating> expected(3);
    expected = expected_after({1, 2}, {0, 1}, expected);
    expected = expected_after({2, 1}, {0, 1}, expected);
    const Rating first_evening = expected[0];
    ASSERT_EQ(replay.players[0].points.size(), 2u);
    EXPECT_EQ(replay.players[0].points[0].game, 2);
    EXPECT_EQ(replay.players[0].points[0].evening, 0);
    EXPECT_NEAR(replay.players[0].points[0].rating.mu, first_evening.mu, tolerance);
    EXPECT_EQ(replay.players[0].points[1].game, 4);
    EXPECT_EQ(replay.players[0].points[1].evening, 2);
    EXPECT_EQ(replay.players[0].rated_games, 3);
    EXPECT_EQ(replay.players[1].points.size(), 2u);
    EXPECT_EQ(replay_ratings(games).players[0].points.size(), 3u);
}
