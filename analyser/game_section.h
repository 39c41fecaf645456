// A game on the games page: its row in the table of games and its section
// with the scoreboard and the charts.
#pragma once

#include "bounded_text.h"
#include "game_record.h"
#include "output.h"

// The game's number as the console shows it: "07", "123".
BoundedText<16> game_number(const GameRecord& game);

void write_game_row(Output& out, const GameRecord& game);
void write_game_section(Output& out, const GameRecord& game);
