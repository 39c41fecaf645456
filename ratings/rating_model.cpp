#include "rating_model.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>

double win_chance(double mu_a, double var_a, double mu_b, double var_b) {
    const double spread = std::sqrt(2.0 * rating_beta * rating_beta + var_a + var_b);
    return 0.5 * std::erfc(-(mu_a - mu_b) / (spread * std::sqrt(2.0)));
}

void rate_game(std::span<const int> places, std::span<RatedSeat> seats, RatingScratch& s) {
    const std::size_t k = places.size();
    if (k < 2) return;
    s.team_mu.assign(k, 0.0);
    s.team_var.assign(k, 0.0);
    // Counted in tied for a moment: every entrant has a seat, as a team's
    // change is divided among its seats by their variances.
    s.tied.assign(k, 0);
    for (const RatedSeat& seat : seats) {
        assert(seat.entrant >= 0 && static_cast<std::size_t>(seat.entrant) < k);
        s.team_mu[seat.entrant] += seat.rating.mu;
        s.team_var[seat.entrant] += seat.rating.sigma * seat.rating.sigma;
        ++s.tied[seat.entrant];
    }
    assert(std::none_of(s.tied.begin(), s.tied.end(), [](int seated) { return seated == 0; }));
    double c2 = 0.0;
    for (std::size_t q = 0; q < k; ++q) c2 += s.team_var[q] + rating_beta * rating_beta;
    const double c = std::sqrt(c2);

    // Strengths relative to the strongest entrant: the probabilities only
    // depend on their ratios, and exp() of large means would overflow.
    const double top = *std::max_element(s.team_mu.begin(), s.team_mu.end());
    s.strength.resize(k);
    for (std::size_t q = 0; q < k; ++q) s.strength[q] = std::exp((s.team_mu[q] - top) / c);

    // For each entrant q: the summed strength of those not ranked ahead of it,
    // and how many share its place.
    s.worse_sum.assign(k, 0.0);
    s.tied.assign(k, 0);
    for (std::size_t q = 0; q < k; ++q)
        for (std::size_t r = 0; r < k; ++r) {
            if (places[r] >= places[q]) s.worse_sum[q] += s.strength[r];
            if (places[r] == places[q]) ++s.tied[q];
        }

    s.omega.assign(k, 0.0);
    s.delta.assign(k, 0.0);
    for (std::size_t i = 0; i < k; ++i) {
        const double var = s.team_var[i];
        const double gamma = std::sqrt(var) / c;
        double omega = 0.0, delta = 0.0;
        for (std::size_t q = 0; q < k; ++q) {
            if (places[q] > places[i]) continue;
            const double p = s.strength[i] / s.worse_sum[q];
            omega += ((q == i ? 1.0 : 0.0) - p) / s.tied[q];
            delta += p * (1.0 - p) / s.tied[q];
        }
        s.omega[i] = var / c * omega;
        s.delta[i] = gamma * var / c2 * delta;
    }

    // Each player takes the share of his team's change that his variance is
    // of the team's.
    for (RatedSeat& seat : seats) {
        const double var = seat.rating.sigma * seat.rating.sigma;
        const double share = var / s.team_var[seat.entrant];
        seat.rating.mu += share * s.omega[seat.entrant];
        seat.rating.sigma = std::sqrt(var * std::max(1.0 - share * s.delta[seat.entrant], rating_kappa));
    }
}
