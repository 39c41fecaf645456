#pragma once

#include "records.h"

// Prints the current game's text report to out; a game type without a name
// is logged to log.
void print_game_report(const AnalysisContext& ctx, ErrorLog& log, Output& out);
