// One game of the log generator: played event by event and written as the
// game's stat log.
#pragma once

#include <cstdint>
#include <string>

#include "loggen_world.h"

namespace loggen {

struct Encoding {
    bool wide = true;  // 16-bit, low byte first
    bool bom = true;
    bool crlf = true;

    long start_bytes() const { return wide && bom ? 2 : 0; }
    long line_bytes(std::size_t chars) const { return long(chars + (crlf ? 2 : 1)) * (wide ? 2 : 1); }
    // text holds one line per '\n'; every character is ASCII.
    std::string encode(const std::string& text) const;
};

using Seconds = std::int64_t;  // seconds since 1970, in the server's local time

Seconds make_time(int year, int month, int day, int hour, int minute);

enum class Ending {
    Random,
    Limit,  // the game type's own: frag limit, team score, Assault succeeded, last man standing
    TimeLimit,
    MapChange,
};

struct GameSettings {
    GameType type = GameType::DeathMatch;
    int humans = -1;  // at the start, the local player included; -1: chosen at random
    int bots = -1;
    long size = 0;  // wanted size of the file in bytes; 0 for a game of natural length
    Ending ending = Ending::Random;
    Encoding encoding;
    Seconds start = 0;  // the game's Absolute_Time
    std::uint64_t seed = 1;
    bool mods = false;  // the server runs add-ons with weapons and items of their own
    // The server runs a stats add-on that writes first_blood and spree lines
    // (sprees and multi-kills, when they end; those that last to the end
    // after the game_end line).
    bool addon = false;
};

struct GameLog {
    std::string text;     // one line per '\n', not encoded yet
    double end_time = 0;  // time stamp of the game_end line
};

GameLog play_game(const GameSettings& settings, const Roster& roster);

}  // namespace loggen
