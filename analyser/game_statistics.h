#pragma once

#include "records.h"

// Derives every player's figures for the current game: kills, favourites,
// rates, Lurch- and TS-factor, Damage Amplifier pick-ups, score, rank and
// winner. Returns 1.
int compute_game_statistics(AnalysisContext& ctx);

// Index and count of the first largest entry (a later entry must be strictly
// greater to win, so the lowest index wins a tie): a favourite weapon or victim.
template <typename Counts>
void first_largest(const Counts& counts, int& index, int& count) {
    index = 0;
    count = -1;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (counts[i] > count) {
            count = counts[i];
            index = static_cast<int>(i);
        }
    }
}

// The name of the game player in slot, or " " for a slot outside 0..15.
const char* player_name_by_slot(const AnalysisContext& ctx, int slot);

// teamkills in percent of kills, rounded half up; 0 without kills.
int teamkill_percent(int teamkills, int kills);
