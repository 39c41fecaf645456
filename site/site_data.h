// What the site shows, summed from the history's games one at a time: the
// players with their names merged, their totals, the evenings, the maps,
// the servers and the records. Everything here grows with the number of
// players, evenings, maps and game types, never with the number of games:
// the games themselves are read one evening at a time.
#pragma once

#include <array>
#include <charconv>
#include <deque>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// The numbers of a date or time as the history keeps it ("2011-03-27
// 21:47:25"), each after one separator; false when one is missing.
inline bool read_numbers(std::string_view text, std::span<int> numbers) {
    const char* at = text.data();
    const char* const end = at + text.size();
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        if (k > 0) {
            if (at == end) return false;
            ++at;
        }
        const auto [next, error] = std::from_chars(at, end, numbers[k]);
        if (error != std::errc{}) return false;
        at = next;
    }
    return true;
}

// A history's texts are UTF-8.
struct Totals {
    long long games = 0;
    long long wins = 0;  // games he was crowned in: the winner, or of the winning team
    long long kills = 0;
    long long deaths = 0;
    long long suicides = 0;
    long long score = 0;
    long long seconds = 0;     // the lengths of his games
    long long evenings = 0;    // evenings with one of these games
    std::string last_evening;  // the last of them, "" for none
};

struct Count {
    std::string name;
    long long count = 0;
};

// Kills between two players over the whole history.
struct Duel {
    long long other = 0;  // the other's player id
    long long kills = 0;
    long long deaths = 0;  // the other's kills of him
};

// Where a game is shown: its evening's page and its number there.
struct GameRef {
    std::string evening;
    int number = 0;
    std::string map;
};

// A record of one game: what was done, by whom, and where to see the game.
struct GameFeat {
    bool found = false;
    long long value = 0;
    long long player = -1;  // a player id, -1 for a feat of the game itself
    GameRef game;
};

struct SiteRecords {
    GameFeat most_frags;
    GameFeat best_killrate;  // in games of at least 5 minutes
    GameFeat best_ts;
    GameFeat most_captures;
    GameFeat longest;
    GameFeat best_spree;
    GameFeat most_monster_kills;
    GameFeat most_carrier_kills;
    GameFeat best_accuracy;  // in tenths of a per cent, in a game of at least 50 shots
};

// A player's moments summed over his games (PlayerMoments).
struct MomentTotals {
    long long first_blood = 0;
    std::array<long long, 5> sprees{};  // Killing Spree to Godlike
    std::array<long long, 4> multis{};  // Double to Monster Kill
    long long flags_taken = 0;
    long long flags_picked_up = 0;
    long long flags_dropped = 0;
    long long flags_returned = 0;
    long long flags_captured = 0;
    long long carrier_kills = 0;
};

// Shots, hits and damage with one weapon over the games that log them.
struct ShotTotals {
    long long shots = 0;
    long long hits = 0;
    long long damage = 0;
};

// How many of a player's last evenings his page lists.
inline constexpr std::size_t RECENT_EVENINGS = 30;

struct SitePlayer {
    long long id = 0;  // the name the others are merged into
    std::string name;
    std::vector<std::string> merged;  // the names merged into him, sorted
    bool bot = false;                 // he played as a bot and never as a human
    std::string file;                 // his page's file stem
    Totals totals;
    std::map<std::string, Totals> by_type;     // by the game type's name
    std::map<std::string, long long> weapons;  // his kills of others by weapon as logged
    std::map<long long, Duel> duels;           // by the other's player id
    std::vector<std::string> recent_evenings;  // his last evenings, first first
    MomentTotals moments;
    GameFeat best_spree;                         // his longest spree and its game
    std::map<std::string, ShotTotals> accuracy;  // by weapon as logged
};

struct SiteEvening {
    std::string date;  // "YYYY-MM-DD"
    long long games = 0;
    long long players = 0;
    long long seconds = 0;
    long long best = -1;  // the human of the highest summed score, or -1
    long long best_score = 0;
};

// A game as a map's page lists it.
struct MapGame {
    GameRef game;
    std::string type;  // the game type's name
    int length = 0;
    // Team games that count scores: the teams' scores, of the teams playing
    // (bit t for team t).
    std::array<int, 4> scores{};
    unsigned playing = 0;
    std::string winner_team;  // as logged; empty for none
    long long winner = -1;    // the winner's player id in a free-for-all
};

// How many of a map's last games its page lists.
inline constexpr std::size_t MAP_GAMES = 200;

struct SiteMap {
    std::string name;
    std::string file;  // its page's file stem
    long long games = 0;
    std::map<long long, long long> wins;         // by player id: the games he was crowned in
    std::map<std::string, long long> team_wins;  // by the team as logged: the games it won
    SiteRecords records;
    std::string last_evening;
    std::deque<MapGame> recent;  // its last MAP_GAMES games, first first
};

struct SiteServer {
    std::string name;
    long long games = 0;
    std::string first_evening;
    std::string last_evening;
};

struct SiteData {
    std::vector<SitePlayer> players;  // by id
    std::map<long long, int> index;   // a player's index by his id
    std::vector<SiteEvening> evenings;
    SiteRecords records;
    std::vector<SiteMap> maps;        // by name
    std::vector<SiteServer> servers;  // by name
    Totals totals;                    // games, kills, deaths, suicides, seconds of the whole history

    // A player's index by his id, -1 for none.
    int index_of(long long id) const {
        const auto found = index.find(id);
        return found == index.end() ? -1 : found->second;
    }
};
