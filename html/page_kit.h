// The kit of the pages built from records: their head and style, cells of
// tables, and the texts of teams, lengths and dates, all as escaped text or
// markup for the HtmlWriter.
#pragma once

#include "bounded_text.h"
#include "game_record.h"
#include "html_text.h"
#include "page_writer.h"

// "<!DOCTYPE html>" to the opening of <main>: the head with the style, then
// the heading h1 and a line of facts under it (markup).
void page_head(HtmlWriter& out, const HtmlText& title, const HtmlText& heading, const HtmlText& facts);
// The end of <main>, the footer and the end of the page.
void page_foot(HtmlWriter& out);

// Cells: a number right-aligned; a text; a header cell of a column, a short
// header with its full name in an abbr.
void number_cell(HtmlWriter& out, int value);
void text_cell(HtmlWriter& out, const HtmlText& text);
void header_cell(HtmlWriter& out, Markup text, Markup full = nullptr, bool number = true);
// The figures' heads of an accuracy table, closing its head: shots, hits,
// accuracy and damage.
void accuracy_head_cells(HtmlWriter& out);

// The colour of team 0 to 3, as the game names its teams.
HtmlText team_colour(int team);
// A team as players know it: the game's colours for the numbered teams, the
// two sides of Assault, else the name the log gives.
HtmlText team_label(const Text& team);

// A length of seconds as "m:ss", or "h:mm:ss" from an hour on.
HtmlText game_length(int seconds);

// "27 March 2011" of a known time; with_year false leaves out the year.
HtmlText day_text(const LocalTime& time, bool with_year = true);
// "27 March 2011, 21:47", or the date alone when the time is not known.
HtmlText start_text(const LocalTime& time);
// The days of games from first to last: "27 March 2011", or the span
// "27 March – 5 August 2011"; the date text "DDMMYYYY" (as "14 July 2001"
// when it is a date) when no game has a date.
HtmlText days_text(const LocalTime& first, const LocalTime& last, const char* date);
// Before another time, by date.
bool earlier_day(const LocalTime& a, const LocalTime& b);
