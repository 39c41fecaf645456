// The analyser's run: switches, banner, the game loop and the session's end.
#pragma once

#include "records.h"

// Runs the analyser with the program's arguments on the current directory;
// returns the exit code.
int run_analyser(AnalysisContext& ctx, int argc, const char* const* argv);

// The passes of one loaded game, from the per-game reset to the
// accumulation. Returns 1 when the game counted.
int analyse_loaded_game(AnalysisContext& ctx);

// Prints the credits block.
void print_credits(Output& out);
