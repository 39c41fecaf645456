// The records of one analyser run: the session, the current game and its
// players, and the tables the event passes fill.
//
// All of them live in one AnalysisContext. The program has exactly one
// context for its run; every pass receives it, so tests can build any state
// directly.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "bounded_text.h"
#include "counted_table.h"
#include "error_log.h"
#include "failure_report.h"
#include "file_system.h"
#include "game_record.h"
#include "game_text.h"
#include "game_times.h"
#include "int_range.h"
#include "name_lookup.h"
#include "output.h"
#include "time_functions.h"

inline constexpr int MAX_KILLS = 1000;
inline constexpr int MAX_ITEMS = 5000;
inline constexpr int MAX_SKINS = 50;
inline constexpr int MAX_BESTS = 16;
inline constexpr int WEAPON_SLOTS = 50;

// The games that count flags (or control points) per player.
inline bool counts_flags(GameType type) { return type == GameType::CaptureTheFlag || type == GameType::Domination; }

// One player of the current game.
struct PlayerRecord {
    Text name;
    Text skin;
    int skill;
    Species is_human;
    int handicap;
    int slot;
    int fav_weapon;
    int fav_weapon_kills;
    Text fav_victim_name;
    int fav_victim_kills;
    int score;
    int ping;
    std::array<int, MAXPLAYER> kills_by_victim;
    int teamkills;
    std::array<int, WEAPON_SLOTS> kills_by_weapon;
    int deaths;
    int suicides;
    int kills;
    int net_kills;
    int lurch;
    int multikill;  // the most kills within one second
    int teamkill_rate;
    int killrate;
    int quads;
    int headshots;
    int winner;  // 1 when the player won the game
    int rank;
    Text team;
    int flags_captured;
    int flags_returned;
    int connected;
    // Whole seconds in the game (time_players), his later ids' included, at
    // most the game's length.
    int seconds_in_game;
    PlayerMoments moments;  // read_moments, his later ids' included
};

// One player over the session: name, skin, skill and species from the game
// in which the name was first met; the favourites over all his games; sums
// of the games' counters; and the best game's value where a name says so.
struct SessionPlayer {
    Text name;
    Text skin;
    int skill;
    Species is_human;
    int fav_weapon;
    int fav_weapon_kills;
    Text fav_victim_name;
    int fav_victim_kills;
    std::array<int, WEAPON_SLOTS> kills_by_weapon;
    int score;
    int kills;
    int deaths;
    int suicides;
    int teamkills;
    int teamkill_rate;  // of the summed kills and team kills
    int headshots;
    int flags_captured;
    int flags_returned;
    int wins;  // the games won
    int best_lurch;
    int best_multikill;
    int best_killrate;
    int rank;  // the session place
};

// How the games added so far agree on a map or a game type.
enum class Sameness { NoGameYet, Same, Mixed };

struct GameInfo {
    int duration;
    int game_bytes;
    Text map_name;
    GameType game_type;
    int frag_limit;
    Text winning_team;
    Text end_reason;  // the word of the game_end line
    LocalTime start;  // from the header's Absolute_Time, else the date of the log's file
    // The header's Absolute_Time to the second with its offset from UTC;
    // unknown without one (the file's date, which start then holds, is not
    // the log's).
    StartTime logged_start;
    // The first map title and server name of the header, and its mutators
    // in log order, as logged; empty where the header has none.
    Text title;
    Text server_name;
    std::vector<Text> mutators;
};

struct SessionInfo {
    Text log_date;
    int session_seconds;
    int game_count;
    Text session_map;
    Sameness same_map;
    GameType session_game_type;
    Sameness same_game_type;
    // The games whose report was printed, and their length in seconds: the
    // page counts these, not the games that were merely loaded.
    int reported_games;
    int reported_seconds;
};

// A kill line. The weapon as logged stays in the game's text, where the
// record notes it (as much of it as a Text keeps): a small record keeps the
// table of a thousand kills small.
struct KillRecord {
    int killer;
    int victim;
    int time;
    std::uint32_t at;            // where the line's event word stands in the game's text
    std::uint32_t weapon_at;     // where the weapon as logged starts
    std::int8_t weapon;          // the weapon's code, 0 for an add-on's
    std::int8_t weapon_name;     // for weapon 0: the entry of the game's add-on weapon names, or -1
    std::uint8_t weapon_length;  // of the weapon as logged
    bool teamkill;

    std::string_view weapon_text(const GameText& text) const { return text.view().substr(weapon_at, weapon_length); }
};
static_assert(WEAPON_SLOTS <= 128 && LOG_BUFFER_SIZE <= UINT32_MAX && Text::max_length <= UINT8_MAX,
              "a kill record holds a weapon's code, a place in the text and a Text's length");

struct ItemRecord {
    int item;
    int slot;
    int time;
};

// The kill and pick-up lines of the current game, in log order.
inline constexpr KillRecord INITIAL_KILL{-1, -1, -1, 0, 0, -1, -1, 0, false};
// A pick-up line cut short keeps these for what it lacks (slot 0 included);
// the entries beyond the count are never walked.
inline constexpr ItemRecord INITIAL_ITEM{0, 0, 0};
using KillTable = CountedTable<KillRecord, MAX_KILLS>;
using ItemTable = CountedTable<ItemRecord, MAX_ITEMS>;

// The names of the add-on weapons (those no weapon code names) that killed
// in the current game, as the log gives them.
inline constexpr std::size_t MAX_GAME_WEAPON_NAMES = 32;  // fewer than 128: a kill record keeps an entry
using GameWeaponNames = CountedTable<Text, MAX_GAME_WEAPON_NAMES>;

// The teams' score as the game counts it: captures in Capture the Flag,
// points in Domination, the players' summed scores in the Team Game. Each
// step is a change of one team's score at a second of the game, in the order
// the passes met them; the steps beyond the table's room count in the final
// scores only.
inline constexpr std::size_t MAX_TEAM_STEPS = 4096;
struct TeamResults {
    bool counted = false;  // the game type counts team scores
    std::array<int, MAX_TEAMS> score{};
    std::array<bool, MAX_TEAMS> playing{};  // a player or a score of the team was seen
    Text winner;                            // the team with the most, as its team value; empty on a tie
    CountedTable<TeamStep, MAX_TEAM_STEPS> steps{TeamStep{0, 0, 0}};

    void clear();
    // Adds a change of team t's score at a time; teams beyond the four count nothing.
    void add(int time, int t, int change);
};

// The suicide lines of the current game: who and when, for the chart, and
// what killed him as logged: the damage the line gives ("Fell", "Suicided",
// "RedeemerDeath"), or the weapon he held where it gives none, noted in the
// game's text as a kill line's weapon is.
struct SuicideRecord {
    int time;
    std::uint32_t at;  // where the line's event word stands in the game's text
    std::uint32_t weapon_at;
    std::int8_t id;  // the logged id, or -1 for one outside 0..15
    std::uint8_t weapon_length;

    std::string_view weapon_text(const GameText& text) const { return text.view().substr(weapon_at, weapon_length); }
};
using SuicideTable = CountedTable<SuicideRecord, MAX_KILLS>;

// A line that brings a player into the game, onto a team or out of the
// game, as register_players read it: where its pattern stands, the id it
// names (0 to 15) and, for a team line, the team to store (a view of the
// game's text, or "attacker" or "defender" in Assault).
struct PlayerLine {
    enum class Kind : std::uint8_t { Connect, Team, Disconnect };
    std::size_t at;
    int id;
    Kind kind;
    std::string_view team;
};

// A line of a stats add-on after the game_end line: a player's shots, hits
// or damage with a weapon over the game, as logged (load_game).
struct AccuracyLine {
    enum class Kind : std::uint8_t { Shots, Hits, Damage };
    Kind kind;
    int id;
    int value;
    std::size_t weapon;  // the entry of AnalysisContext::accuracy_weapons
};

// A record's sums of one weapon's lines. The weapon is named by its entry:
// a game's record copies the name once per row it keeps.
struct AccuracySum {
    int player;          // the index in game_players
    std::size_t weapon;  // the entry of AnalysisContext::accuracy_weapons
    int shots;
    int hits;
    int damage;
};

struct BestEntry {
    int value;
};

struct SkinRecord {
    Text name;
    Text face;
};

void init_player_record(PlayerRecord& record);
void init_session_player(SessionPlayer& record);
void init_game_info(GameInfo& record);
void init_session_info(SessionInfo& record);
void init_kill_record(KillRecord& record);
void init_skin_record(SkinRecord& record);

struct AnalysisContext {
    std::array<PlayerRecord, MAXPLAYER> game_players{};
    // The game slots by place (the statistics pass), players first.
    std::array<int, MAXPLAYER> game_order{};
    std::array<SessionPlayer, MAX_SESSION_PLAYERS> session_players{};
    // The session players by place (rank_session), then the free records.
    std::array<int, MAX_SESSION_PLAYERS> session_order{};
    // The session record of each game player added to the session, or -1.
    std::array<int, MAXPLAYER> session_index{};
    GameInfo game_info{};
    SessionInfo session_info{};
    KillTable kill_table{INITIAL_KILL};
    ItemTable item_table{INITIAL_ITEM};
    GameWeaponNames game_weapon_names{Text{}};
    SuicideTable suicide_table{SuicideRecord{-1, 0, 0, -1, 0}};
    // The connect, team and disconnect lines of the current game, in log
    // order; the lists keep their room from game to game.
    std::vector<PlayerLine> player_lines;
    // The teams each game slot's player was on (time_players): whole
    // seconds a team, the teams in the order his first spell on each ended.
    std::array<std::vector<TeamSpell>, MAXPLAYER> team_spells;
    TeamResults team_results;
    // The add-on's accuracy lines that follow the game_end line, which the
    // text of the game no longer holds; the list keeps its room.
    std::vector<AccuracyLine> accuracy_lines;
    std::vector<Text> accuracy_weapons;  // the weapons they name, each once
    // Their sums by record and weapon, from read_moments.
    std::vector<AccuracySum> accuracy;
    SessionKills session_kills;
    // The names that found no session record because all of them were
    // taken: the run ends by saying how many players were left out.
    std::set<std::string> players_left_out;
    std::array<BestEntry, MAX_BESTS> best_table{};
    std::array<SkinRecord, MAX_SKINS> skin_table{};
    int images_enabled = 1;

    // Log player id -> index into game_players of the record that collects
    // that id's events; -1 for an id that never connected. A re-entered
    // player's later id points to his first record.
    std::array<int, MAXPLAYER> player_by_id{};

    // The loaded game: the text and the positions game_start and game_end.
    GameText text;

    // The run's name lookups and the answers they remember.
    NameLookups names;

    // The folder the logs are read from and the files written to, the
    // failure lines and the diagnostics, and where the per-game reports go:
    // whatever the run is given (the current folder, standard error and the
    // console in the program).
    AnalysisContext(FileSystem& folder, Output& output, Output& errors = error_output())
        : files(&folder), failures("analyser", errors), log(folder, failures), out(&output) {}
    // The error log points at this run's failures: a run stays where it is.
    AnalysisContext(const AnalysisContext&) = delete;
    AnalysisContext& operator=(const AnalysisContext&) = delete;
    FileSystem* files;
    FailureReport failures;
    ErrorLog log;
    Output* out;
    // The clock that dates a page without a log date.
    std::time_t (*now)() = system_now;

    // The record that collects the events of a logged id, or nullptr for an
    // id outside 0..15 or one that never connected.
    PlayerRecord* player_for_id(int id);
    const PlayerRecord* player_for_id(int id) const;
};

// The session at its end as its page shows it: the figures the writer reads,
// and nothing it could change.
struct SessionSummary {
    const SessionInfo& info;
    const std::array<SessionPlayer, MAX_SESSION_PLAYERS>& players;
    const std::array<int, MAX_SESSION_PLAYERS>& order;  // by place (rank_session)
    const std::array<BestEntry, MAX_BESTS>& bests;
    bool images;  // the players' faces and the map's picture are shown
};
SessionSummary session_summary(const AnalysisContext& ctx);

// Session start: game and session info, the session players, the skins.
void init_session(AnalysisContext& ctx);

// Before every game: the game players, the id map, the kill and item tables,
// and the winning team (so no game inherits an earlier game's winner).
void reset_game(AnalysisContext& ctx);

// Sums of values read from logs stay inside the int range.
inline int saturating_add(int a, int b) { return clamp_to_int(static_cast<long long>(a) + b); }
