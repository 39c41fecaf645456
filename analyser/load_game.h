// Loading one game log into the text buffer.
#pragma once

#include "records.h"

// Why a game did not load; the error log has the details.
enum class LoadFailure {
    None,
    NotFound,     // no such file, or not a regular file
    Unreadable,   // the file could not be read to its end
    NoMemory,     // the text buffer could not be allocated
    NotAGameLog,  // no "info" in the text
    Unfinished,   // no complete game_end line
    TooLong,      // the game does not fit the text buffer
};

// Loads game n ("games.log" for n < 1, else "games%i.log"): reads the file,
// finds the game's start and end, measures it and adds it to the session.
// Returns 1 when the game was loaded, 0 otherwise (the reason is logged, and
// stored in why when it is given).
int load_game(AnalysisContext& ctx, int n, LoadFailure* why = nullptr);

// Whether the text loaded holds an info line at all. Any text with "info"
// in it passes for the start of a game, so a text without a complete game
// may still be no stat log (logconvert's error.log, whose notes start
// "info:").
bool holds_info_line(const GameText& text);

// The file name of game n.
BoundedText<64> game_file_name(int n);
