// Texts of the games page made from the records.
#pragma once

#include "html_text.h"
#include "records.h"

// A team as players know it: the game's colours for the numbered teams, the
// two sides of Assault, else the name the log gives.
inline HtmlText team_label(const Text& team) {
    static constexpr Markup colours[] = {"Red", "Blue", "Green", "Gold"};
    if (team.size() == 1 && team.view()[0] >= '0' && team.view()[0] <= '3') return colours[team.view()[0] - '0'];
    if (team == "attacker") return "Attackers";
    if (team == "defender") return "Defenders";
    return HtmlText::utf8(team.view());
}

// A length of seconds as minutes and seconds, "m:ss", as the console shows it.
inline HtmlText minutes_and_seconds(int seconds) {
    BoundedText<32> text;
    text.format("%i:%02i", seconds / 60, seconds % 60);
    return HtmlText::utf8(text.view());
}
