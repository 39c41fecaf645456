#pragma once

#include "records.h"

// Reads the start time (from Absolute_Time, anywhere in the game), the
// header's map title, server name and mutators (from the first "info" to the
// start of play, in any order), then map name, game type and frag limit from
// the game's header lines, which must stand in their fixed order. Returns 1
// when all five keys were found, 0 when it stopped early (silently).
int read_game_header(AnalysisContext& ctx);
