#pragma once

#include <string_view>

#include "records.h"

// Fills the game players and the id map from the connect, bot, skill, team,
// rename and disconnect lines, and resolves equal names. Returns 1.
int register_players(AnalysisContext& ctx);

// The team to store for a team value: in Assault "attacker" or "defender"
// as the assault lines name it, else the value itself.
Field assault_team(AnalysisContext& ctx, std::string_view value);
