// Two even teams for a pick-up game: of every split of the players into two
// teams whose sizes differ by at most one, the one whose chance is closest
// to an even one.
#pragma once

#include <span>
#include <vector>

#include "rating_model.h"

// Splits of more players take too long to try them all, and the game holds
// sixteen.
inline constexpr int even_teams_max_players = 16;

struct TeamSplit {
    std::vector<int> red;   // the players' indexes, in increasing order
    std::vector<int> blue;  // likewise
    double red_chance = 0;  // that Red beats Blue
};

// The chance that a team beats another, from its members' ratings.
double team_chance(std::span<const Rating> team, std::span<const Rating> other);

// Red always holds the first player. The splits are tried in the order of
// the set of Red's other players read as a binary number, the second player
// its lowest bit, from the smallest; of those whose chance is equally close
// to 50 %, the first tried wins. 2 to 16 players.
TeamSplit even_teams(std::span<const Rating> players);
