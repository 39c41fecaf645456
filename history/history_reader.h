// Reading a history back as typed values: its names and players, and its
// games in the order of their start as the records the pages render. Only
// this folder speaks SQL; a reader is one moment of the history, whatever an
// import adds while it reads.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game_record.h"

class HistoryStore;
class Statement;

// A name of the history and the player it belongs to: itself, or the name
// its merges lead to.
struct HistoryName {
    long long id = 0;
    std::string name;  // UTF-8
    long long player = 0;
    bool merged() const { return player != id; }
};

// A spell of a player on one team, as the log gave the team.
struct HistorySpell {
    std::string team;
    int seconds = 0;
};

// A player of a game beyond his figures: who he is, how long he was in the
// game (-1 where the history did not keep it) and his spells on teams.
struct HistorySlot {
    long long name_id = 0;
    long long player_id = 0;
    int seconds = -1;
    std::vector<HistorySpell> spells;
};

// A kill or suicide (victim equals killer) by entries of the game's players;
// victim -1 for one not among them.
struct HistoryKill {
    int time = 0;
    int killer = 0;
    int victim = -1;
    std::string weapon;  // UTF-8, as logged
    bool teamkill = false;
};

struct HistoryGame {
    long long id = 0;
    std::string key;
    std::string evening;  // "YYYY-MM-DD"
    std::string server;   // UTF-8
    // As the analyser's games page has it for this log alone (Latin-1 texts,
    // number 0): the players best place first, their figures; the team
    // steps and the kills for the charts where asked.
    GameRecord record;
    std::vector<HistorySlot> slots;  // parallel to record.players
    std::vector<HistoryKill> kills;  // where asked, in log order
};

// What of a game to read besides its own row.
enum GameParts : unsigned {
    GAME_ROW = 0,
    GAME_PLAYERS = 1,  // record.players and slots, without spells
    GAME_SPELLS = 2,   // the slots' spells
    GAME_KILLS = 4,    // record.kills and kills
    GAME_STEPS = 8,    // record.teams.steps
    GAME_ALL = 15,
};

// An evening of the history: its date, its games and a fingerprint of which
// games they are, so that a site can tell an evening it summed before.
struct HistoryEvening {
    std::string date;
    long long games = 0;
    std::uint64_t fingerprint = 0;  // of its games' ids and keys, in the order of their start
    std::string first_start;        // its first game's start, "YYYY-MM-DD HH:MM:SS"
};

// A game as the list of games shows it.
struct GameListing {
    long long id = 0;
    std::string start;  // "YYYY-MM-DD HH:MM", "-" when unknown
    std::string map;
    std::string type_name;
    long long length = 0;
    GameType type = GameType::Unknown;
    std::string winner_team;  // of a team game, empty when none
    std::string winner_name;  // of a game of single players, empty when none
};

// Which games a listing keeps: each part given keeps the games that match
// it, so that together they keep the games that match all of them.
struct GameFilter {
    std::optional<std::string> player;        // a name: the games of its player, under any of his names
    std::optional<std::string> map;           // a map, with or without ".unr", in any case
    std::optional<std::string> type;          // a game type's name, in any case
    std::optional<std::string> server;        // a server's name, in any case
    std::optional<std::string> since, until;  // evenings, "YYYY-MM-DD", both included
};

// A player as the list of players shows him: his name, the names merged
// into it, his games, first and last seen, and in how many as a human or a
// bot.
struct PlayerListing {
    long long id = 0;  // of the name that is the player
    std::string name;
    std::vector<std::string> merged;  // sorted
    long long games = 0;
    std::string first, last;  // "YYYY-MM-DD HH:MM", "-" when unknown
    long long as_human = 0, as_bot = 0;
};

class HistoryReader {
public:
    // Starts the moment read: one read transaction until the reader goes.
    explicit HistoryReader(HistoryStore& store);
    ~HistoryReader();
    HistoryReader(const HistoryReader&) = delete;
    HistoryReader& operator=(const HistoryReader&) = delete;

    // Every game the filter keeps, oldest first, one at a time.
    void each_game_listing(const GameFilter& filter, const std::function<void(const GameListing&)>& take);
    // Every player, most games first (equal by name).
    std::vector<PlayerListing> player_listings();
    // Whether the history knows the name (UTF-8), as a player's or merged.
    bool has_name(const std::string& name);
    // Whether two players (by PlayerListing::id) ever played in one game.
    bool played_together(long long player, long long other);

    // How many times the games or the merges of names have changed: each
    // transaction that adds, forgets or merges counts one. 0 for a history
    // never changed since it began counting (one written by an older
    // velstra), so that a site remembers what it was built from.
    long long generation();

    // Every name, by id.
    std::vector<HistoryName> names();
    // A fingerprint of the merges of names: who is merged into whom.
    static std::uint64_t merges_fingerprint(const std::vector<HistoryName>& names);
    // The evenings in their order, read from the games' starts alone.
    std::vector<HistoryEvening> evenings();

    // The games in the order of their start (equal starts by id), each read
    // by its id, so no query sorts the history.
    class Games {
    public:
        Games(Games&&) noexcept;
        ~Games();
        // The next game; false after the last.
        bool next();
        // The game read last; the caller may number it for its page.
        HistoryGame& game() { return game_; }

    private:
        friend class HistoryReader;
        struct Statements;
        Games(HistoryStore& store, unsigned parts, const std::vector<HistoryName>& names, const std::string& from);
        std::unique_ptr<Statements> s_;
        unsigned parts_;
        HistoryGame game_;
    };
    // names: as names() gave them, to find each player's player. From a
    // start on ("YYYY-MM-DD HH:MM:SS"), the games starting there or later;
    // empty: all of them.
    Games games(unsigned parts, const std::vector<HistoryName>& names, const std::string& from = "");

private:
    HistoryStore& store_;
};
