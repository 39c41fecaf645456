// The charts of a game: each player's frags, and each team's score, over
// the game's time.
#pragma once

#include "game_record.h"
#include "html_text.h"
#include "page_writer.h"

// The frame of every chart of the pages, in the picture's units: its size
// and the margins that hold the axes' labels.
struct ChartFrame {
    static constexpr int width = 640;
    static constexpr int height = 260;
    static constexpr int left = 56;
    static constexpr int right = 14;
    static constexpr int top = 12;
    static constexpr int bottom = 34;
};

// Writes one inline SVG of a game: a line per player, best first. A frag is
// +1 for a kill of another player, team kills included, and -1 for a
// suicide line or a kill of oneself. A line steps once per stretch of at
// least 5 seconds of game time in which its frags change, at the stretch's
// end. The chart has axes (minutes, frags), a title and a text alternative;
// the legend follows it as a list. id names the game ("07").
void write_frag_chart(HtmlWriter& out, const GameRecord& game, const HtmlText& id);

// In the team games that count team scores: an inline SVG of the same kind
// with a line per team, its score as the game counts it (captures, points,
// frags), drawn in the team's colour; nothing in other games.
void write_team_chart(HtmlWriter& out, const GameRecord& game, const HtmlText& id);
