// The chart of a game: each player's frags over the game's time.
#pragma once

#include "output.h"
#include "records.h"

// Writes one inline SVG of the current game: a line per player of order (the
// game slots to show, best first), and in team games a line per team with
// its players' sum. A frag is +1 for a kill of another player, team kills
// included, and -1 for a suicide line or a kill of oneself. A line steps
// once per stretch of at least 5 seconds of game time in which its frags
// change, at the stretch's end. The
// chart has axes (minutes, frags), a title and a text alternative; the legend
// follows it as a list. id names the game ("07").
void write_frag_chart(Output& out, AnalysisContext& ctx, const int* order, int players, const char* id);
