#pragma once

#include "records.h"

// Adds the current game's players to the session players (matched by exact
// name, new names in first-met order) and notes the session's map and game type.
void accumulate_game(AnalysisContext& ctx);
