#include "even_teams.h"

#include <bit>
#include <cassert>
#include <cmath>
#include <cstdint>

namespace {

struct Sums {
    double mu = 0;
    double var = 0;
    void add(const Rating& r) {
        mu += r.mu;
        var += r.sigma * r.sigma;
    }
};

}  // namespace

double team_chance(std::span<const Rating> team, std::span<const Rating> other) {
    Sums a;
    Sums b;
    for (const Rating& r : team) a.add(r);
    for (const Rating& r : other) b.add(r);
    return win_chance(a.mu, a.var, b.mu, b.var);
}

TeamSplit even_teams(std::span<const Rating> players) {
    const int n = static_cast<int>(players.size());
    assert(n >= 2 && n <= even_teams_max_players);
    TeamSplit best;
    double best_distance = 2;
    std::uint32_t best_mask = 0;
    for (std::uint32_t others = 0; others < (std::uint32_t{1} << (n - 1)); ++others) {
        const std::uint32_t red = 1 | (others << 1);
        const int red_size = std::popcount(red);
        if (std::abs(2 * red_size - n) > 1) continue;
        Sums r;
        Sums b;
        for (int k = 0; k < n; ++k) ((red >> k) & 1 ? r : b).add(players[static_cast<std::size_t>(k)]);
        const double chance = win_chance(r.mu, r.var, b.mu, b.var);
        const double distance = std::abs(chance - 0.5);
        if (distance < best_distance) {
            best_distance = distance;
            best_mask = red;
            best.red_chance = chance;
        }
    }
    for (int k = 0; k < n; ++k) ((best_mask >> k) & 1 ? best.red : best.blue).push_back(k);
    return best;
}
