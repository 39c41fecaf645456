// A game on the games page: its row in the table of games and its section
// with the scoreboard and the charts.
#pragma once

#include <cstddef>

#include "game_record.h"
#include "html_text.h"
#include "page_writer.h"

// The game's number as the console shows it: "07", "123".
HtmlText game_number(const GameRecord& game);

// The games table up to its body, whose rows write_game_row writes.
void write_games_table_head(HtmlWriter& out);
void write_game_row(HtmlWriter& out, const GameRecord& game);
// What a page of many games adds to a game's section: its players' names
// and its map as links to their pages, more facts, and notes under them.
class SectionLinks {
public:
    virtual ~SectionLinks() = default;
    // The name of the game's player k, in place of his name alone.
    virtual void player_name(HtmlWriter& out, std::size_t k) const = 0;
    // After the facts of the game, in their paragraph.
    virtual void more_facts(HtmlWriter& out) const = 0;
    // Under the facts, before the scoreboard.
    virtual void notes(HtmlWriter& out) const = 0;
};

void write_game_section(HtmlWriter& out, const GameRecord& game, const SectionLinks* links = nullptr);
