#pragma once

#include "records.h"

// Derives every player's figures for the current game: kills, favourites,
// rates, Lurch- and TS-factor, Damage Amplifier pick-ups, score, rank and
// winner. Returns 1.
int compute_game_statistics(AnalysisContext& ctx);

// The name of the game player in slot, or " " for a slot outside 0..15.
const char* player_name_by_slot(const AnalysisContext& ctx, int slot);

// teamkills in percent of kills, rounded half up; 0 without kills.
int teamkill_percent(int teamkills, int kills);
