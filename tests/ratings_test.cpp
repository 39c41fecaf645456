// The players' ratings: one game's update on cases worked by hand and on the
// properties any result must keep, then the replay of a history with its
// rules of who is rated, the evenings missed, the ranking and the types.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "even_teams.h"
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

RatingParticipant placed(int player, int place, bool bot = false) {
    RatingParticipant participant;
    participant.player = player;
    participant.place = place;
    participant.bot = bot;
    return participant;
}

RatingParticipant on_teams(int player, std::array<double, rating_max_teams> seconds, bool bot = false) {
    RatingParticipant participant;
    participant.player = player;
    participant.team_seconds = seconds;
    participant.bot = bot;
    return participant;
}

RatingGame free_for_all(std::int64_t start, int evening, std::vector<RatingParticipant> players, int type = 0) {
    RatingGame game;
    game.id = start;
    game.start = start;
    game.evening = evening;
    game.day = evening;
    game.type = type;
    game.players = std::move(players);
    return game;
}

RatingGame team_game(std::int64_t start, double length, std::array<double, rating_max_teams> results,
                     std::vector<RatingParticipant> players) {
    RatingGame game = free_for_all(start, 0, std::move(players));
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

// A bot is an opponent with a rating of its own. Human 0 beats new bot 2
// (the duel above: 27.635 and 22.365, sigma 8.0655 each); then bot 2 beats
// new human 1. There c^2 = 8.0655^2 + (25/3)^2 + 2 beta^2 = 169.22, the bot's
// share of the strength is p = 1 / (1 + exp((25 - 22.3648) / 13.0085)) =
// 0.44953, so it gains 8.0655^2 / 13.0085 (1 - p) = 2.7528 and the human
// loses (25/3)^2 / 13.0085 (1 - p) = 3.3834 (rounding aside).
TEST(RatingReplay, BotsAreRatedOpponents) {
    const std::vector<RatingGame> games{free_for_all(1, 0, {placed(0, 1), placed(2, 2, true)}),
                                        free_for_all(2, 0, {placed(1, 2), placed(2, 1, true)})};
    RatingReplayer replayer;
    EXPECT_EQ(replayer.add(games[0]).verdict, RatingVerdict::Rated);
    EXPECT_EQ(replayer.add(games[1]).verdict, RatingVerdict::Rated);
    const RatingReplay replay = replayer.finish();
    expect_players(replay,
                   {{27.6352313835, 8.0655063163}, {22.0613471766, 8.0577169588}, {25.1175647165, 7.8240353971}});
    EXPECT_TRUE(replay.players[2].bot);
    EXPECT_EQ(replay.players[2].wins, 1);

    // Ranked never, listed with the bots; a human with fewer games rests.
    RankingRule rule;
    rule.min_games = 1;
    const RankingLists lists = rank_players(replay, rule);
    EXPECT_EQ(lists.ranked, (std::vector<int>{0, 1}));
    EXPECT_EQ(lists.bots, std::vector<int>{2});
    rule.min_games = 2;
    EXPECT_EQ(rank_players(replay, rule).resting, (std::vector<int>{0, 1}));
}

// A free-for-all rates who was in it for half of it, humans and bots, by
// their places; it needs a human among them and two of them. A person listed
// twice (two of his names) plays once, his times added, at his better place.
TEST(RatingReplay, FreeForAllRatesWhoWasInForHalfTheGame) {
    auto stay = [](RatingParticipant p, double seconds) {
        p.seconds = seconds;
        return p;
    };
    auto game_of = [](std::vector<RatingParticipant> players) {
        RatingGame game = free_for_all(1, 0, std::move(players));
        game.length_seconds = 600;
        return game;
    };
    const RatingGame first = game_of(
        {stay(placed(0, 3), 600), stay(placed(1, 1), 299), stay(placed(2, 2, true), 300), stay(placed(-1, 4), 600)});
    RatingReplayer replayer;
    const GameRating& rating = replayer.add(first);
    EXPECT_EQ(rating.verdict, RatingVerdict::Rated);
    EXPECT_EQ(rating.parts, (std::vector<RatingPart>{RatingPart::Entrant, RatingPart::ShortStay, RatingPart::Entrant,
                                                     RatingPart::Unplaced}));
    const RatingReplay once = replay_ratings(std::vector<RatingGame>{first});
    expect_players(once, expected_after({3, 2}, {0, -1, 1}, std::vector<Rating>(3)));
    EXPECT_EQ(once.players[1].rated_games, 0);
    EXPECT_EQ(once.players[1].evenings, 1);

    EXPECT_EQ(replayer.add(game_of({stay(placed(3, 1, true), 600), stay(placed(4, 2, true), 600)})).verdict,
              RatingVerdict::BotsOnly);
    EXPECT_EQ(replayer.add(game_of({stay(placed(0, 1), 600), stay(placed(3, 2, true), 100)})).verdict,
              RatingVerdict::OneEntrant);
    EXPECT_EQ(replayer.add(game_of({stay(placed(0, 1), 200), stay(placed(3, 2, true), 600)})).verdict,
              RatingVerdict::NoHumanEntrant);
    EXPECT_EQ(replayer.add(game_of({stay(placed(-1, 1), 600)})).verdict, RatingVerdict::NoPlayer);
    EXPECT_EQ(replayer.rated_games(), 1);

    // Two names of one person: 200 + 200 seconds of 600 rate him, at place 1.
    RatingReplay twice = replay_ratings(
        std::vector<RatingGame>{game_of({stay(placed(0, 3), 200), stay(placed(1, 2), 600), stay(placed(0, 1), 200)})});
    expect_players(twice, expected_after({1, 2}, {0, 1}, std::vector<Rating>(2)));
}

// In a team game each player counts in full for the team he spent the most
// time on (the first of equal times), if that is at least half of the game;
// a team's strength is all its entrants, bots included. Teams are placed by
// their results and equal results tie.
TEST(RatingReplay, TeamGamesRateWhoPlayedHalfTheGameOnOneTeam) {
    const std::vector<RatingGame> won{
        team_game(1, 600, {3, 5, 0, 0},
                  {on_teams(0, {600, 0, 0, 0}), on_teams(1, {0, 600, 0, 0}), on_teams(2, {200, 400, 0, 0}),
                   on_teams(3, {290, 290, 0, 0}), on_teams(4, {300, 0, 0, 0}), on_teams(5, {300, 300, 0, 0})})};
    RatingReplayer replayer;
    EXPECT_EQ(replayer.add(won[0]).parts[3], RatingPart::ShortOnTeam);
    RatingReplay replay = replayer.finish();
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

    // Three humans and a bot against a human and three bots, all new: the
    // teams are equal, 4 x 25 against 4 x 25, so each had an even chance,
    // not the 94 % that counting the humans alone would give. The second
    // team wins; c^2 = 8 (25/3)^2 + 2 beta^2 = 8.5 (25/3)^2, and every player
    // of a team takes a quarter of its change: mu moves by
    // (25/3) / (2 sqrt(8.5)) = 1.42915, sigma keeps sqrt(1 - 2 / 8.5^1.5 / 4).
    const RatingGame mixed =
        team_game(1, 600, {1, 2, 0, 0},
                  {on_teams(0, {600, 0, 0, 0}), on_teams(1, {600, 0, 0, 0}), on_teams(2, {600, 0, 0, 0}),
                   on_teams(3, {600, 0, 0, 0}, true), on_teams(4, {0, 600, 0, 0}), on_teams(5, {0, 600, 0, 0}, true),
                   on_teams(6, {0, 600, 0, 0}, true), on_teams(7, {0, 600, 0, 0}, true)});
    RatingReplayer mixed_replayer;
    const GameRating& rating = mixed_replayer.add(mixed);
    EXPECT_NEAR(rating.chances[0], 0.5, tolerance);
    EXPECT_NEAR(rating.chances[1], 0.5, tolerance);
    EXPECT_LT(rating.chances[2], 0);
    replay = mixed_replayer.finish();
    for (int p = 0; p < 8; ++p) {
        EXPECT_NEAR(replay.players[p].rating.mu, p < 4 ? 23.5708451238 : 26.4291548762, tolerance) << p;
        EXPECT_NEAR(replay.players[p].rating.sigma, 8.2488370218, tolerance) << p;
    }

    // Humans on one team, the other of bots: two entrants, rated; a team
    // whose players all left early is no entrant, and one team is no game.
    const RatingGame against_bots =
        team_game(1, 600, {1, 9, 0, 0}, {on_teams(0, {600, 0, 0, 0}), on_teams(1, {0, 600, 0, 0}, true)});
    EXPECT_EQ(RatingReplayer().add(against_bots).verdict, RatingVerdict::Rated);
    const RatingGame one_team =
        team_game(1, 600, {1, 9, 0, 0}, {on_teams(0, {600, 0, 0, 0}), on_teams(1, {0, 100, 0, 0}, true)});
    EXPECT_EQ(RatingReplayer().add(one_team).verdict, RatingVerdict::OneTeam);
    const RatingGame bots_decide =
        team_game(1, 600, {1, 9, 0, 0},
                  {on_teams(0, {100, 0, 0, 0}), on_teams(1, {0, 600, 0, 0}, true), on_teams(2, {600, 0, 0, 0}, true)});
    EXPECT_EQ(RatingReplayer().add(bots_decide).verdict, RatingVerdict::NoHumanEntrant);
}

// A team's chance is that of the model's difference of performances:
// Phi((mu_a - mu_b) / sqrt(2 beta^2 + var_a + var_b)). Teams of 30 +- 4 and
// 20 +- 5 against 28 +- 3 and 24 +- 6: (50 - 52) / sqrt(34.722 + 41 + 45) =
// -0.18204, Phi of which is 0.42778; with three teams, each team's chance is
// the mean of its chances against the others.
TEST(RatingModel, TeamChances) {
    const double beta2 = rating_beta * rating_beta;
    EXPECT_NEAR(win_chance(50, 41, 52, 45), 0.4277806741, tolerance);
    EXPECT_NEAR(win_chance(52, 45, 50, 41), 1 - 0.4277806741, tolerance);
    EXPECT_NEAR(win_chance(25, 0, 25, 0), 0.5, tolerance);
    EXPECT_NEAR(win_chance(25 + std::sqrt(2 * beta2), 0, 25, 0), 0.8413447461, tolerance);

    RatingGame three = team_game(
        1, 600, {3, 2, 1, 0}, {on_teams(0, {600, 0, 0, 0}), on_teams(1, {0, 600, 0, 0}), on_teams(2, {0, 0, 600, 0})});
    RatingReplayer replayer;
    replayer.add(free_for_all(0, 0, {placed(0, 1), placed(1, 2)}));
    const std::vector<RatedPlayer> before = replayer.players();
    const GameRating& rating = replayer.add(three);
    auto chance = [&](int a, int b) {
        const Rating& x = a < 2 ? before[static_cast<std::size_t>(a)].rating : Rating{};
        const Rating& y = b < 2 ? before[static_cast<std::size_t>(b)].rating : Rating{};
        return win_chance(x.mu, x.sigma * x.sigma, y.mu, y.sigma * y.sigma);
    };
    EXPECT_NEAR(rating.chances[0], (chance(0, 1) + chance(0, 2)) / 2, tolerance);
    EXPECT_NEAR(rating.chances[2], (chance(2, 0) + chance(2, 1)) / 2, tolerance);
    EXPECT_NEAR(rating.chances[0] + rating.chances[1] + rating.chances[2], 1.5, tolerance);
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
// count, nor evenings he played without being rated. An evening starts
// from the rating with the evenings missed before it.
TEST(RatingReplay, MissedEveningsReturnUncertainty) {
    const std::vector<RatingGame> games{
        free_for_all(1, 1, {placed(0, 1)}),                // alone: present, not rated
        free_for_all(2, 2, {placed(0, 1), placed(1, 2)}),  // the first rated game of 0 and 1
        free_for_all(3, 3, {placed(0, 1)}),                // present again, not rated
        free_for_all(5, 5, {placed(2, 1), placed(0, 2)}),  // evening 4 missed
    };
    RatingReplayOptions options;
    options.last_evening = 9;
    RatingReplayer replayer(options);
    for (const RatingGame& game : games) replayer.add(game);
    const Rating evening_start = replayer.players()[0].evening_start;
    const RatingReplay replay = replayer.finish();

    const auto missed = [](Rating rating, int evenings) {
        rating.sigma = std::sqrt(rating.sigma * rating.sigma + evenings * rating_absence_tau * rating_absence_tau);
        return rating;
    };
    std::vector<Rating> expected = expected_after({1, 2}, {0, 1}, std::vector<Rating>(3));
    expected[0] = missed(expected[0], 1);
    EXPECT_NEAR(evening_start.mu, expected[0].mu, tolerance);
    EXPECT_NEAR(evening_start.sigma, expected[0].sigma, tolerance);
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
// games of steady play, and admits players with enough rated games whose last
// one is at most 90 days before the last evening; every other rated human
// rests, in the same order. A win is a first place not shared.
TEST(RatingReplay, RanksTheActiveByTheConservativeEstimate) {
    std::vector<RatingGame> games{free_for_all(0, 0, {placed(0, 1), placed(3, 2)})};
    for (int g = 1; g <= 30; ++g) games.push_back(free_for_all(g, 0, {placed(2, 1), placed(1, 1)}));
    games.push_back(free_for_all(31, 0, {placed(4, 1)}));
    const RatingReplay replay = replay_ratings(games);
    ASSERT_GT(replay.players[0].rating.mu, replay.players[1].rating.mu);
    RankingRule rule;
    rule.min_games = 1;
    EXPECT_EQ(rank_players(replay, rule).ranked, (std::vector<int>{1, 2, 0, 3}));
    rule.min_games = 0;
    EXPECT_EQ(rank_players(replay, rule).ranked, (std::vector<int>{1, 2, 0, 3}));
    EXPECT_EQ(rank_players(replay).ranked, (std::vector<int>{1, 2}));
    EXPECT_EQ(rank_players(replay).resting, (std::vector<int>{0, 3}));
    rule.min_games = 31;
    EXPECT_EQ(rank_players(replay, rule).ranked, std::vector<int>{});
    EXPECT_EQ(rank_players(replay, rule).resting, (std::vector<int>{1, 2, 0, 3}));
    EXPECT_EQ(replay.players[0].wins, 1);
    EXPECT_EQ(replay.players[1].wins, 0);
    EXPECT_EQ(replay.players[1].rated_games, 30);
    EXPECT_EQ(replay.players[1].evenings, 1);
    EXPECT_EQ(replay.rated_games, 31);

    // The edge of activity: a last rated game 90 days before the last
    // evening keeps a player ranked, 91 days rests him.
    std::vector<RatingGame> spread;
    for (int g = 0; g < 5; ++g) {
        spread.push_back(free_for_all(10 + g, 0, {placed(0, 1), placed(1, 2)}));
        spread.back().day = 1000;
        spread.push_back(free_for_all(20 + g, 1, {placed(0, 1), placed(2, 2)}));
        spread.back().day = 1001;
    }
    const RatingReplay later = replay_ratings(spread);
    rule = RankingRule{};
    rule.last_day = 1091;
    const RankingLists lists = rank_players(later, rule);
    EXPECT_EQ(lists.ranked, (std::vector<int>{0, 2}));
    EXPECT_EQ(lists.resting, std::vector<int>{1});
    rule.last_day = 1092;
    EXPECT_EQ(rank_players(later, rule).ranked, std::vector<int>{});
}

// A game type gets a ranking of its own from 20 rated games; its replay
// holds only its games, while the evenings missed are the history's.
TEST(RatingReplay, RankingsPerGameType) {
    std::vector<RatingGame> games;
    for (int g = 0; g < 20; ++g) games.push_back(free_for_all(100 + g, g, {placed(0, 1), placed(1, 2)}, 1));
    for (int g = 0; g < 19; ++g) games.push_back(free_for_all(20 + g, 0, {placed(1, 1), placed(2, 2)}, 2));
    for (int g = 0; g < 5; ++g) games.push_back(free_for_all(50 + g, 0, {placed(2, 1)}, 2));
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

// Four players of 30 +- 4, 28 +- 3, 20 +- 5 and 24 +- 6: with the first on
// Red, the three splits give Red 58 +- sqrt(25) against 44 +- sqrt(61),
// 50 +- sqrt(41) against 52 +- sqrt(45), and 54 +- sqrt(52) against
// 48 +- sqrt(34): chances of 0.89870, 0.42778 and 0.70750. The second is
// closest to even.
TEST(EvenTeams, HandWorkedTwoAgainstTwo) {
    const std::vector<Rating> players{{30, 4}, {28, 3}, {20, 5}, {24, 6}};
    const TeamSplit split = even_teams(players);
    EXPECT_EQ(split.red, (std::vector<int>{0, 2}));
    EXPECT_EQ(split.blue, (std::vector<int>{1, 3}));
    EXPECT_NEAR(split.red_chance, 0.4277806741, tolerance);
    const std::vector<Rating> red{{30, 4}, {28, 3}};
    const std::vector<Rating> blue{{20, 5}, {24, 6}};
    EXPECT_NEAR(team_chance(red, blue), 0.8987020768, tolerance);

    // Equals everywhere: the first split tried, the first two against the rest.
    const TeamSplit equals = even_teams(std::vector<Rating>(5));
    EXPECT_EQ(equals.red, (std::vector<int>{0, 1}));
    EXPECT_EQ(equals.blue, (std::vector<int>{2, 3, 4}));
    EXPECT_NEAR(equals.red_chance,
                win_chance(50, 2 * rating_initial_sigma * rating_initial_sigma, 75,
                           3 * rating_initial_sigma * rating_initial_sigma),
                tolerance);
}

// On random ratings the split picked is as close to even as the best of all
// assignments of the players to two teams whose sizes differ by one at most,
// found here by walking every assignment in another order.
TEST(EvenTeams, PicksTheBestOfAllSplits) {
    std::mt19937 random(26);
    for (int round = 0; round < 200; ++round) {
        const int n = 2 + static_cast<int>(random() % 9);
        std::vector<Rating> players(static_cast<std::size_t>(n));
        for (Rating& r : players) r = {5.0 + (random() % 4000) / 100.0, 0.5 + (random() % 800) / 100.0};
        double best = 1;
        for (int red_size : {n / 2, (n + 1) / 2}) {
            std::vector<bool> on_red(static_cast<std::size_t>(n), false);
            std::fill(on_red.begin(), on_red.begin() + red_size, true);
            do {
                std::vector<Rating> red, blue;
                for (int k = 0; k < n; ++k) (on_red[k] ? red : blue).push_back(players[k]);
                best = std::min(best, std::abs(team_chance(red, blue) - 0.5));
            } while (std::prev_permutation(on_red.begin(), on_red.end()));
        }
        const TeamSplit split = even_teams(players);
        EXPECT_NEAR(std::abs(split.red_chance - 0.5), best, 1e-12) << "round " << round;
        EXPECT_LE(std::abs(static_cast<int>(split.red.size()) - static_cast<int>(split.blue.size())), 1);
        EXPECT_EQ(split.red.front(), 0);
        std::vector<Rating> red, blue;
        for (int k : split.red) red.push_back(players[k]);
        for (int k : split.blue) blue.push_back(players[k]);
        EXPECT_NEAR(team_chance(red, blue), split.red_chance, 1e-12);
        EXPECT_EQ(static_cast<int>(red.size() + blue.size()), n);
    }
}
