// What the site shows, read from the history: the players with their names
// merged, their totals, the evenings and the records. Everything here grows
// with the number of players, evenings, maps and game types, never with the
// number of games: the games themselves are read one evening at a time.
#pragma once

#include <charconv>
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
    long long seconds = 0;  // the lengths of his games
};

struct Count {
    std::string name;
    long long count = 0;
};

// Kills between two players over the whole history.
struct Duel {
    int other = 0;  // a player's index
    long long kills = 0;
    long long deaths = 0;  // the other's kills of him
};

struct SitePlayer {
    long long id = 0;  // the name the others are merged into
    std::string name;
    std::vector<std::string> merged;  // the names merged into him, sorted
    bool bot = false;                 // he played as a bot and never as a human
    std::string file;                 // his page's file stem
    Totals totals;
    std::map<std::string, Totals> by_type;  // by the game type's name
    std::vector<Count> weapons;             // most kills first
    std::vector<Duel> duels;                // most kills and deaths together first
    std::vector<std::string> evenings;      // the dates, first first
};

struct SiteEvening {
    std::string date;  // "YYYY-MM-DD"
    long long games = 0;
    long long players = 0;
    int best = -1;  // the player of the highest summed score, or -1
    long long best_score = 0;
};

// One game's record: what was done, by whom, and where to see the game.
struct GameFeat {
    bool found = false;
    long long value = 0;
    int player = -1;  // -1 for a feat of the game itself
    std::string evening;
    int number = 0;  // the game's number on its evening's page
    std::string map;
};

struct SiteRecords {
    GameFeat most_frags;
    GameFeat best_killrate;  // in games of at least 5 minutes
    GameFeat best_ts;
    GameFeat most_captures;
    GameFeat longest;
};

struct SiteMap {
    std::string name;
    long long games = 0;
    int best = -1;  // the player crowned most often on it
    long long best_wins = 0;
};

struct SiteData {
    std::vector<SitePlayer> players;  // by the history's order of their names
    std::map<long long, int> index;   // a player's index by his name's id
    std::vector<SiteEvening> evenings;
    SiteRecords records;
    std::vector<SiteMap> maps;  // most games first
    Totals totals;              // games, kills, deaths, suicides, seconds of the whole history
    long long undated_games = 0;
};
