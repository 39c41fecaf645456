// The analyser's run: switches, banner, the game loop and the session's end.
#pragma once

#include "records.h"

// Runs the analyser with the program's arguments on the current directory;
// returns the exit code, with every line of the run written to error.log.
int run_analyser(AnalysisContext& ctx, int argc, const char* const* argv);

// The passes of one loaded game, from the per-game reset to the
// accumulation. Returns 1 when the game counted, and then makes the game's
// record when one is asked for: nothing after it reads the game's text.
int analyse_loaded_game(AnalysisContext& ctx, GameRecord* record = nullptr);

// Prints the credits block.
void print_credits(Output& out);
