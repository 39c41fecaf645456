// The games page, "velstra<date>-games.html": every reported game again with
// its scoreboard and a chart of its frags, the table of the games, who
// killed whom over the session and with which weapons. A page of HTML5 in
// UTF-8 that needs nothing but itself: no script, no image, no address.
#pragma once

#include "records.h"

// After a reported game, its statistics computed and the game added to the
// session: its row of the table of games and its section, kept in files of
// the current folder until the end, so that memory stays the same whatever
// the number of games.
void add_game_to_games_page(AnalysisContext& ctx);

// At the end of the session: the page, named after the date text. Returns 1
// when written; otherwise logs "\tcan't create Games-HTML-File" or "\tcan't
// write Games-HTML-File", says so on standard error and returns 0. The
// waiting files are removed either way.
int write_games_page(AnalysisContext& ctx, const char* date);

// The names of the files that wait for the end, and of the page.
inline constexpr const char* GAMES_PAGE_ROWS = "velstra-games-rows.part";
inline constexpr const char* GAMES_PAGE_SECTIONS = "velstra-games-sections.part";
BoundedText<64> games_page_name(const char* date);
