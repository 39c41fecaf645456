#pragma once

#include "records.h"

// Fills the game players and the id map from the connect, bot, skill, team,
// rename and disconnect lines, and resolves equal names. Returns 1.
int register_players(AnalysisContext& ctx);
