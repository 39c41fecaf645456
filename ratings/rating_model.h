// One game's update of the players' ratings: a Bayesian approximation with
// the Plackett-Luce likelihood over ranked entrants (teams, or single players
// in a free-for-all), after Weng and Lin, JMLR 12 (2011).
#pragma once

#include <span>
#include <vector>

#include "rating_constants.h"

struct Rating {
    double mu = rating_initial_mu;
    double sigma = rating_initial_sigma;
};

// A rated player in one game: the entrant he counts for (an index into the
// entrants' places) and his rating, which the update replaces.
struct RatedSeat {
    int entrant = 0;
    Rating rating;
};

// Scratch room kept from game to game, so that a replay of many games does not
// allocate for each.
struct RatingScratch {
    std::vector<double> team_mu, team_var, strength, worse_sum, omega, delta;
    std::vector<int> tied;
};

// The chance that a team beats another, from the sums of its members' means
// and variances: Phi((mu_a - mu_b) / sqrt(2 beta^2 + var_a + var_b)).
double win_chance(double mu_a, double var_a, double mu_b, double var_b);

// Updates the seats' ratings after one game. places[e] is entrant e's place:
// smaller is better, equal places tie, only the order counts. Every entrant
// must have at least one seat. A game of fewer than two entrants changes
// nothing.
void rate_game(std::span<const int> places, std::span<RatedSeat> seats, RatingScratch& scratch);
