// The times a game's log gives beyond those its pages show: when the game
// started, to the second and with the server's offset from UTC, and how long
// each player spent on each team. The analysis keeps them; a history stores
// them.
#pragma once

#include "bounded_text.h"

// The start of a game from the header's Absolute_Time: the server's local
// date and time and its offset from UTC. From the file's time where the log
// gives none (then the importer fills it in: offset unknown).
struct StartTime {
    int year = 0;  // 0 when unknown
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool offset_known = false;
    int utc_offset_minutes = 0;  // local time minus UTC
    bool known() const { return year > 0; }
};

// The time one player spent on one team, as logged ("0" to "3",
// "attacker", "defender").
struct TeamSpell {
    Text team;
    int seconds = 0;
};
