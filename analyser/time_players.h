#pragma once

#include "records.h"

// The time each player spent in the game and on each team, from the lines
// register_players kept, by the game's clock in whole seconds (the clock of
// the game's length): a player there from the first to the last second is in
// the game, and on his team, for the game's length.
// - A line before the start of play counts at the game's start.
// - A connect line starts the id's time in the game, a team line a spell on
//   its team that ends the spell before it; the id's disconnect, or the
//   game's end, ends both.
// - An id that came back under the same name counts for his first, whose
//   record collects his events: the times of his ids add up (in the game at
//   most the game's length), and so do his spells on one team, the teams in
//   the order his first spell on each ended.
// Fills seconds_in_game of the game players and ctx.team_spells; games
// without teams have no team lines, so no spells.
void time_players(AnalysisContext& ctx);
