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
#include "game_times.h"

// A kill or a suicide. killer and victim are entries of the record's players
// (best place first); victim equals killer for a suicide, and is -1 for a
// victim who has a record but is not among the players shown. weapon is the
// name as logged ("Suicided", "Fell" and the like for suicides), so weapons
// of add-ons keep their names. The lines are exactly those the record counts
// (its kills, its frags and the games page's chart): kill lines from the
// start of play (at most 1000) by a player shown of a victim who connected,
// and suicide lines (at most 1000) of a player shown; a kill of an id that
// never connected is left out. A suicide names the damage its line gives, or
// the weapon held where it gives none. time is the line's whole second.
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
    // Parallel to record.players: the whole seconds each player was in the
    // game, by the clock of the team spells. His connect line (at the game's
    // start when it comes before the start of play) starts his time, his
    // disconnect or the game's end ends it: a player there all along is in
    // the game for record.length. A player back with a new id under the same
    // name adds to his first; the sum is at most record.length. In every game
    // type.
    std::vector<int> seconds_in_game;
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
