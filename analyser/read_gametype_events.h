#pragma once

#include "records.h"

// Reads the end reason, winners, flag and control-point captures, Domination
// scores and pings. Returns 1 when the game is to be analysed, 0 when it is
// not (no end line, or ended by a map change).
int read_gametype_events(AnalysisContext& ctx);
