// A game and a session as the pages see them: plain values that the
// analysis builds once per game and once per session, and that a test can
// build by hand. A page reads these, never a log.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "bounded_text.h"

inline constexpr int MAXPLAYER = 16;
inline constexpr int MAX_SESSION_PLAYERS = 32;
inline constexpr int MAX_TEAMS = 4;

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

// A team as players know it: the game's colours for the numbered teams, the
// two sides of Assault, else the team text as the log gives it.
inline std::string_view team_label_text(std::string_view team) {
    static constexpr std::string_view colours[] = {"Red", "Blue", "Green", "Gold"};
    if (const int t = team_number(team); t >= 0) return colours[t];
    if (team == "attacker") return "Attackers";
    if (team == "defender") return "Defenders";
    return team;
}

// A length of seconds as "m:ss", or "h:mm:ss" from an hour on.
inline BoundedText<32> length_text(long long seconds) {
    BoundedText<32> text;
    if (seconds >= 3600)
        text.format("%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        text.format("%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

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
inline LocalTime local_time(int year, int month, int day, int hour = -1, int minute = 0) {
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > 31 || hour < -1 || hour > 23 || minute < 0 ||
        minute > 59)
        return {};
    return LocalTime{year, month, day, hour, minute};
}

// The date of a date text "DDMMYYYY", as the file dates of the logs are kept.
inline LocalTime date_of_text(std::string_view ddmmyyyy) {
    if (ddmmyyyy.size() != 8 || ddmmyyyy.find_first_not_of("0123456789") != std::string_view::npos) return {};
    auto number = [&](std::size_t at, std::size_t digits) {
        int value = 0;
        for (std::size_t k = at; k < at + digits; ++k) value = value * 10 + (ddmmyyyy[k] - '0');
        return value;
    };
    return local_time(number(4, 4), number(2, 2), number(0, 2));
}

// Whether a player is a human: unknown until his IsABot line is read.
enum class Species { Unknown, Bot, Human };

// A change of one team's score at a second of the game.
struct TeamStep {
    int time;
    int team;
    int change;
};

// The moments of a player in a game, from the kill and flag lines every
// log holds (read_moments): first blood, sprees by the level they ended at,
// multi-kills by the length of their chain, and his flag play in Capture
// the Flag (zero in other games).
inline constexpr std::size_t SPREE_LEVELS = 5;  // Killing Spree, Rampage, Dominating, Unstoppable, Godlike
inline constexpr std::size_t MULTI_LEVELS = 4;  // Double, Multi, Ultra, Monster Kill
struct PlayerMoments {
    int first_blood = 0;
    std::array<int, SPREE_LEVELS> sprees{};
    int best_spree = 0;  // the most kills of one spree, of any length
    std::array<int, MULTI_LEVELS> multis{};
    int flags_taken = 0;  // from the base
    int flags_picked_up = 0;
    int flags_dropped = 0;
    int flags_returned = 0;
    int flags_captured = 0;
    int carrier_kills = 0;  // kills of a carrier of his team's flag

    bool operator==(const PlayerMoments&) const = default;
};

// The spree level of a spree of that many kills (0 to 4), or -1 below 5.
inline int spree_level(int kills) { return kills < 5 ? -1 : kills >= 25 ? 4 : kills / 5 - 1; }
// The multi-kill level of a chain of that many kills (0 to 3), or -1 below 2.
inline int multi_level(int kills) { return kills < 2 ? -1 : kills >= 5 ? 3 : kills - 2; }

// One player's shots, hits and damage with one weapon, as a stats add-on
// logs them at the end of the game. player is an entry of the record's
// players.
struct WeaponAccuracy {
    int player = -1;
    Text weapon;
    int shots = 0;
    int hits = 0;
    int damage = 0;
};

// A player of a game with his figures, as the game's report has them.
struct GamePlayer {
    Text name;
    Text team;  // as logged: "0" to "3", "attacker", "defender"
    int place = 0;
    bool crowned = false;  // of the winning team, or the winner
    Species is_human = Species::Unknown;
    int skill = -1;
    int score = 0;
    int net_kills = 0;  // frags: kills less suicides
    int kills = 0;
    int deaths = 0;
    int suicides = 0;
    int teamkill_rate = 0;
    int killrate = 0;
    int multikill = 0;
    int lurch = 0;
    int quads = 0;
    int headshots = 0;
    Text fav_weapon;
    int fav_weapon_kills = 0;
    Text fav_victim;
    int fav_victim_kills = 0;
    int flags_captured = 0;  // control points in Domination
    int flags_returned = 0;
    int ping = -1;
    PlayerMoments moments;
};

// A kill or a suicide at a second of the game, by entries of the game's
// players: victim is the killer himself for a kill of oneself and for a
// suicide line, and -1 for a victim who is not among the players shown.
struct TimedKill {
    int time;
    int killer;
    int victim;
};

// The teams' scores as the game counts them: captures in Capture the Flag,
// points in Domination, the players' summed scores in the Team Game.
struct TeamScores {
    bool counted = false;
    std::array<int, MAX_TEAMS> score{};
    std::array<bool, MAX_TEAMS> playing{};  // a player or a score of the team was seen
    Text winner;                            // the winning team as its team value; empty for none
    std::vector<TeamStep> steps;            // in the order the log gave them
};

struct GameRecord {
    int number = 0;  // as the console counts the games
    Text map;
    GameType type = GameType::Unknown;
    Text type_name;
    LocalTime start;
    int length = 0;  // seconds
    Text end_reason;
    TeamScores teams;
    std::vector<GamePlayer> players;  // best place first
    std::vector<TimedKill> kills;     // in log order, suicide lines after the kills
    // By player (best place first), each player's weapons in the order the
    // log first names them; a weapon without a shot and a hit has no entry.
    // Empty where the log carries no accuracy.
    std::vector<WeaponAccuracy> accuracy;
};

// Who killed whom over the session, and with which weapon, by session
// player. The last victim column counts the victims that have no session
// record (beyond 32 players).
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

// The session at its end, as the pages see it.
struct SessionRecord {
    Text date;  // "DDMMYYYY" of the last log, or of today
    int games = 0;
    int seconds = 0;
    std::array<Text, MAX_SESSION_PLAYERS> names{};  // by session player
    std::vector<int> order;                         // the session players by place
    SessionKills kills;
};
