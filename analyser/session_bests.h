#pragma once

#include "records.h"

// Positions of best_table, one per figure of the session page.
enum BestPosition {
    BEST_FAV_WEAPON_KILLS = 0,
    BEST_FAV_VICTIM_KILLS = 1,
    BEST_SCORE = 2,
    BEST_DEATHS = 3,
    BEST_SUICIDES = 4,
    BEST_KILLS = 5,
    BEST_LURCH = 7,
    BEST_MULTIKILL = 8,
    BEST_TEAMKILL_RATE = 9,
    BEST_KILLRATE = 10,
    BEST_HEADSHOTS = 12,
    BEST_WINS = 13,
    BEST_FLAGS_CAPTURED = 14,
    BEST_FLAGS_RETURNED = 15,
};

// The best value of each figure over the session's human players: the
// largest, or the smallest for deaths, suicides, Lurch-factor and team kills.
void compute_session_bests(AnalysisContext& ctx);

// The places of the session, after the bests: more games won first, then
// the higher score, ties in the exchange sort's order (player_order.h).
// Sets each session player's rank and keeps the order in session_order:
// the players by place, then the free records.
void rank_session(AnalysisContext& ctx);
