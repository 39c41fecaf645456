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
