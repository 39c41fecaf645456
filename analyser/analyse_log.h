// One stat log analysed on its own, as the analyser analyses a session's
// first game: the game's record, as its games page shows it, and what a
// history keeps beside it.
#pragma once

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "bounded_text.h"
#include "game_record.h"

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

// A kill or a suicide. killer and victim are entries of the record's players
// (best place first); victim equals killer for a suicide, and is -1 for a
// victim who is not among the players shown. weapon is the name as logged
// ("Suicided", "Fell" and the like for suicides), so weapons of add-ons keep
// their names. The lines are those the record's figures count: kills from
// the start of play (at most 1000) and suicides (at most 1000); a kill by a
// player not shown is left out. A suicide names the damage its line gives,
// or the weapon held where it gives none. time is the line's whole second.
struct LoggedKill {
    int time = 0;
    int killer = -1;
    int victim = -1;
    Text weapon;
    bool teamkill = false;
};

struct LoggedGame {
    // The figures of the games page for this log alone; record.start is
    // unknown where start is (the page would show the file's date).
    GameRecord record;
    // 64 lowercase hex digits: the SHA-256 of the game's text as the analyser
    // reads it (zero bytes and carriage returns dropped), so a log, its
    // 8-bit copy and a renamed copy give the same key. The text runs from the
    // header's first "info" to the line feed that ends the game_end line,
    // both included: a byte-order mark, the first line's time stamp and
    // whatever follows the game are not the game's.
    BoundedText<65> key;
    Text title;  // the map's title
    Text server_name;
    std::vector<Text> mutators;  // as logged, in log order
    StartTime start;
    // Parallel to record.players: the teams each player was on, and for how
    // long, in the order he joined them. A team line starts a spell (one
    // before the start of play at the game's start), and the player's next
    // team line, his disconnect or the game's end ends it, in whole seconds
    // of the log's clock: a player there all along is on his team for
    // record.length. A player back with a new id adds to his first. Empty in
    // games without teams.
    std::vector<std::vector<TeamSpell>> player_teams;
    std::vector<LoggedKill> kills;  // in log order
};

// What became of a log.
enum class LogVerdict {
    Game,         // a game the analyser reports: the LoggedGame is filled
    Unfinished,   // no complete game_end line (a .tmp the server never finished)
    NotAStatLog,  // no stat log of the game
    TooLong,      // more than the analyser's text buffer holds
    NotReported,  // a complete game that the analyser does not report
    NoMemory,
};

// Analyses logs one at a time, each as a session's first game: no header
// value, player or session figure is carried from one log to the next. One
// analyser is reused for many logs, so its buffers are allocated once.
class LogAnalyser {
public:
    LogAnalyser();
    ~LogAnalyser();
    LogAnalyser(const LogAnalyser&) = delete;
    LogAnalyser& operator=(const LogAnalyser&) = delete;

    // The file's bytes as read (16-bit or 8-bit text). game is filled only
    // for LogVerdict::Game.
    LogVerdict analyse(std::string_view bytes, LoggedGame& game);

private:
    struct State;
    std::unique_ptr<State> state_;
};
