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

#include "bounded_text.h"
#include "counted_table.h"
#include "error_log.h"
#include "failure_report.h"
#include "file_system.h"
#include "game_record.h"
#include "game_text.h"
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
    LocalTime start;  // from the header's Absolute_Time
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

struct KillRecord {
    int killer;
    int victim;
    int weapon;
    int time;
    int teamkill;
    int weapon_name;  // for weapon 0: the entry of the game's add-on weapon names, or -1
};

struct ItemRecord {
    int item;
    int slot;
    int time;
};

// The kill and pick-up lines of the current game, in log order.
inline constexpr KillRecord INITIAL_KILL{-1, -1, -1, -1, 0, -1};
// A pick-up line cut short keeps these for what it lacks (slot 0 included);
// the entries beyond the count are never walked.
inline constexpr ItemRecord INITIAL_ITEM{0, 0, 0};
using KillTable = CountedTable<KillRecord, MAX_KILLS>;
using ItemTable = CountedTable<ItemRecord, MAX_ITEMS>;

// The names of the add-on weapons (those no weapon code names) that killed
// in the current game, as the log gives them.
inline constexpr std::size_t MAX_GAME_WEAPON_NAMES = 32;
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

// The suicide lines of the current game: who and when, for the chart.
struct SuicideRecord {
    int id;
    int time;
};
using SuicideTable = CountedTable<SuicideRecord, MAX_KILLS>;

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
    SuicideTable suicide_table{SuicideRecord{-1, -1}};
    TeamResults team_results;
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
