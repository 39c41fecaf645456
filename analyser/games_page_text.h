// Texts of the games page made from the records.
#pragma once

#include "bounded_text.h"
#include "game_record.h"
#include "html_text.h"

// The colour of team 0 to 3, as the game names its teams.
inline HtmlText team_colour(int team) {
    static constexpr Markup colours[] = {"Red", "Blue", "Green", "Gold"};
    return colours[team];
}

// A team as players know it: the game's colours for the numbered teams, the
// two sides of Assault, else the name the log gives.
inline HtmlText team_label(const Text& team) {
    if (const int t = team_number(team.view()); t >= 0) return team_colour(t);
    if (team == "attacker") return "Attackers";
    if (team == "defender") return "Defenders";
    return HtmlText::utf8(team.view());
}

// A length of seconds as "m:ss", or "h:mm:ss" from an hour on.
inline HtmlText game_length(int seconds) {
    BoundedText<32> text;
    if (seconds >= 3600)
        text.format("%i:%02i:%02i", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        text.format("%i:%02i", seconds / 60, seconds % 60);
    return HtmlText::utf8(text.view());
}

// The name of a month 1 to 12; null for any other number.
inline const char* month_name(int month) {
    static constexpr const char* names[] = {"January", "February", "March",     "April",   "May",      "June",
                                            "July",    "August",   "September", "October", "November", "December"};
    if (month < 1 || month > 12) return nullptr;
    return names[month - 1];
}

// "27 March 2011" of a known time; with_year false leaves out the year.
inline HtmlText day_text(const LocalTime& time, bool with_year = true) {
    BoundedText<64> text;
    if (with_year)
        text.format("%i %s %i", time.day, month_name(time.month), time.year);
    else
        text.format("%i %s", time.day, month_name(time.month));
    return HtmlText::utf8(text.view());
}

// "27 March 2011, 21:47", or the date alone when the time is not known.
inline HtmlText start_text(const LocalTime& time) {
    HtmlText text = day_text(time);
    if (time.hour < 0) return text;
    BoundedText<16> clock;
    clock.format(", %02i:%02i", time.hour, time.minute);
    text += HtmlText::utf8(clock.view());
    return text;
}
