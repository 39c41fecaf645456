// The current game on the games page: its row in the table of games and its
// section with the scoreboard and the chart.
#pragma once

#include "output.h"
#include "records.h"

// The players of the current game, best place first: the game slots that
// hold a player. Returns how many.
int players_by_place(const AnalysisContext& ctx, int (&order)[MAXPLAYER]);

// The game's number as the console shows it: "07", "123".
BoundedText<16> game_number(const AnalysisContext& ctx);

void write_game_row(Output& out, AnalysisContext& ctx);
void write_game_section(Output& out, AnalysisContext& ctx);
