// A game on the games page: its row in the table of games and its section
// with the scoreboard and the charts.
#pragma once

#include "game_record.h"
#include "html_text.h"
#include "page_writer.h"

// The game's number as the console shows it: "07", "123".
HtmlText game_number(const GameRecord& game);

// The games table up to its body, whose rows write_game_row writes.
void write_games_table_head(HtmlWriter& out);
void write_game_row(HtmlWriter& out, const GameRecord& game);
void write_game_section(HtmlWriter& out, const GameRecord& game);
