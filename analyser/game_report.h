#pragma once

#include "records.h"

// Prints the current game's text report to ctx.out. Returns 1.
int print_game_report(AnalysisContext& ctx);
