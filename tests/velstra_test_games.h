// Games built by hand for the history's tests, and an analysis that hands
// them out by the bytes of a file, so the importer is tested without logs.
#pragma once

#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "analyse_log.h"
#include "import.h"

struct TestPlayer {
    std::string name;
    Species species = Species::Human;
    int score = 0;
};

// A deathmatch on the map with the players, best first; the first is the
// winner. The key is made of the seed, so two games with the same seed are
// the same game.
inline LoggedGame test_game(const std::string& seed, const std::string& map, const std::vector<TestPlayer>& players,
                            StartTime start = {2011, 3, 27, 21, 47, 25, true, 60}) {
    LoggedGame game;
    std::string key(64, '0');
    for (std::size_t k = 0; k < seed.size() && k < 32; ++k)
        std::snprintf(&key[2 * k], 3, "%02x", static_cast<unsigned char>(seed[k]));
    key.resize(64, '0');
    game.key = key;
    game.record.map = map;
    game.record.type = GameType::DeathMatch;
    game.record.type_name = "Tournament DeathMatch";
    game.record.length = 754;
    game.record.end_reason = "fraglimit";
    game.title = "Deck16";
    game.server_name = "Test Server";
    game.start = start;
    int place = 1;
    for (const TestPlayer& p : players) {
        GamePlayer gp;
        gp.name = p.name;
        gp.team = "0";
        gp.place = place;
        gp.crowned = place == 1;
        gp.is_human = p.species;
        gp.skill = p.species == Species::Bot ? 3 : -1;
        gp.score = p.score;
        gp.kills = p.score;
        game.record.players.push_back(gp);
        game.player_teams.push_back({TeamSpell{Text("0"), 754}});
        ++place;
    }
    if (players.size() >= 2) game.kills.push_back({10, 0, 1, Text("Enforcer"), false});
    return game;
}

// Files whose bytes are "game:SEED" are the games registered under SEED;
// "unfinished" is a log the server never finished; anything else is no
// stat log.
struct TestAnalysis {
    std::map<std::string, LoggedGame> games;
    int reads = 0;

    AnalyseLog function() {
        return [this](std::string_view bytes, LoggedGame& game) {
            ++reads;
            if (bytes == "unfinished") return LogVerdict::Unfinished;
            if (!bytes.starts_with("game:")) return LogVerdict::NotAStatLog;
            const auto found = games.find(std::string(bytes.substr(5)));
            if (found == games.end()) return LogVerdict::NotReported;
            game = found->second;
            return LogVerdict::Game;
        };
    }
};

// The result of one SQL query on a history file, rows as "a|b|c" lines.
inline std::string query(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string rows;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return "cannot open";
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        rows = std::string("error: ") + sqlite3_errmsg(db);
    } else {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                if (c > 0) rows += '|';
                const unsigned char* text = sqlite3_column_text(stmt, c);
                rows += text != nullptr ? reinterpret_cast<const char*>(text) : "NULL";
            }
            rows += '\n';
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}
