// Loading one game log into the text buffer.
#pragma once

#include <string_view>

#include "records.h"

// Loads game n ("games.log" for n < 1, else "games%i.log"): reads the file,
// finds the game's start and end, measures it and adds it to the session.
// Returns 1 when the game was loaded, 0 otherwise (the reason is logged).
int load_game(AnalysisContext& ctx, int n);

// The part of load_game after the file is read: raw log bytes (16-bit or
// 8-bit) become the text, then the game is located and counted as game n.
int load_game_bytes(AnalysisContext& ctx, int n, std::string_view raw);

// Locates the game in the text already in ctx.text and counts it as game n.
int locate_game(AnalysisContext& ctx, int n);
