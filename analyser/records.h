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
#include "file_system.h"
#include "game_text.h"
#include "name_lookup.h"
#include "output.h"
#include "time_functions.h"

inline constexpr int MAXPLAYER = 16;
inline constexpr int MAX_SESSION_PLAYERS = 32;
inline constexpr int MAX_KILLS = 1000;
inline constexpr int MAX_ITEMS = 5000;
inline constexpr int MAX_SKINS = 50;
inline constexpr int MAX_BESTS = 16;
inline constexpr int WEAPON_SLOTS = 50;

// The game types by the codes the game's names map to.
enum class GameType : int {
    Unknown = -1,
    Assault = 5,
    DeathMatch = 6,  // Tournament DeathMatch
    Domination = 7,
    CaptureTheFlag = 8,
    LastManStanding = 9,
    TeamGame = 10,  // Tournament Team Game
};

// The games played by teams: only they read team lines and show teams.
inline bool is_team_game(GameType type) {
    return type == GameType::Assault || type == GameType::Domination || type == GameType::CaptureTheFlag ||
           type == GameType::TeamGame;
}

// The number of a numbered team, "0" to "3", or -1 for any other team text.
inline int team_number(std::string_view team) {
    return team.size() == 1 && team[0] >= '0' && team[0] <= '3' ? team[0] - '0' : -1;
}

// The games that count flags (or control points) per player.
inline bool counts_flags(GameType type) { return type == GameType::CaptureTheFlag || type == GameType::Domination; }

// Whether a player is a human: unknown until his IsABot line is read.
enum class Species { Unknown, Bot, Human };

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

// A date and time of the server's clock, as a log gives it; year 0 when
// the log gave none that could be read.
struct LocalTime {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;
    int hour = -1;  // -1 when only the date is known
    int minute = 0;
    bool known() const { return year > 0; }
};

// A date and time when it is one (month 1 to 12, day 1 to 31, hour -1 or
// 0 to 23, minute 0 to 59), else an unknown one.
LocalTime local_time(int year, int month, int day, int hour = -1, int minute = 0);
// The date of a date text "DDMMYYYY", as the file dates of the logs are kept.
LocalTime date_of_text(std::string_view ddmmyyyy);

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

// What the games page keeps of the whole session, by session record: who
// killed whom, and who killed with which weapon. The last victim column
// counts the victims that have no session record (beyond 32 players).
inline constexpr std::size_t MAX_WEAPON_NAMES = 64;
struct WeaponKills {
    Text name;
    std::array<int, MAX_SESSION_PLAYERS> by_player{};
};
struct SessionKills {
    std::array<std::array<int, MAX_SESSION_PLAYERS + 1>, MAX_SESSION_PLAYERS> by_victim{};
    std::array<WeaponKills, MAX_WEAPON_NAMES> weapons{};
    std::size_t weapon_count = 0;
};

// The teams' score as the game counts it: captures in Capture the Flag,
// points in Domination, the players' summed scores in the Team Game. Each
// step is a change of one team's score at a second of the game, in the order
// the passes met them; the steps beyond the table's room count in the final
// scores only.
inline constexpr int MAX_TEAMS = 4;
struct TeamStep {
    int time;
    int team;
    int change;
};
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

// The parts of the games page written while the session runs: the rows of
// the table of games and the section of each game. They wait in files of
// the current folder, so that memory does not grow with the games.
struct GamesPageParts {
    std::unique_ptr<OutputFile> rows;
    std::unique_ptr<OutputFile> sections;
    bool started = false;
    bool rows_opened = false;  // only files the page opened are removed
    bool sections_opened = false;
    bool not_created = false;  // a part could not be created
    bool not_written = false;  // a part could not be written
    LocalTime first_day;       // the earliest and latest game dates seen
    LocalTime last_day;
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

// Where the assault_attacker and assault_defender lines of the current game
// keep their team values, hashed, so that each team line finds its kind at
// once instead of reading every assault line again. Built on first use in a
// game; a game's text holds fewer than 30,000 such lines.
struct AssaultIndex {
    static constexpr std::size_t SLOTS = 65536;
    static constexpr std::uint32_t EMPTY = 0xFFFFFFFFu;
    bool built = false;
    std::array<std::uint32_t, SLOTS> line_at{};  // position of a line's pattern, or EMPTY
};

struct AnalysisContext {
    std::array<PlayerRecord, MAXPLAYER> game_players{};
    std::array<SessionPlayer, MAX_SESSION_PLAYERS> session_players{};
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
    GamesPageParts games_page;
    std::array<BestEntry, MAX_BESTS> best_table{};
    std::array<SkinRecord, MAX_SKINS> skin_table{};
    int images_enabled = 1;

    // Log player id -> index into game_players of the record that collects
    // that id's events; -1 for an id that never connected. A re-entered
    // player's later id points to his first record.
    std::array<int, MAXPLAYER> player_by_id{};

    // The loaded game: the text and the positions game_start and game_end.
    GameText text;
    AssaultIndex assault_index;

    // The run's name lookups and the answers they remember.
    NameLookups names;

    // The folder the logs are read from and the files written to, the
    // diagnostics, and where the per-game reports go: whatever the run is
    // given (the current folder and the console in the program).
    AnalysisContext(FileSystem& folder, Output& output) : files(&folder), log(folder), out(&output) {}
    FileSystem* files;
    ErrorLog log;
    Output* out;
    // The clock that dates a page without a log date.
    std::time_t (*now)() = system_now;

    // The record that collects the events of a logged id, or nullptr for an
    // id outside 0..15 or one that never connected.
    PlayerRecord* player_for_id(int id);
};

// Session start: game and session info, the session players, the skins.
void init_session(AnalysisContext& ctx);

// Before every game: the game players, the id map, the kill and item tables,
// and the winning team (so no game inherits an earlier game's winner).
void reset_game(AnalysisContext& ctx);

// Sums of values read from logs stay inside the int range.
inline int saturating_add(int a, int b) {
    long long sum = static_cast<long long>(a) + b;
    if (sum > 2147483647LL) return 2147483647;
    if (sum < -2147483647LL - 1) return -2147483647 - 1;
    return static_cast<int>(sum);
}
