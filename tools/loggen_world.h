// The world of the log generator: its random numbers, the game's types, maps,
// weapons and items, and the people who play (the roster of a session).
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace loggen {

std::uint64_t splitmix64(std::uint64_t x);

// The engine's sequence is fixed by the standard, the distributions of
// <random> are not: these helpers keep a seed's bytes the same on every
// standard library.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : engine_(splitmix64(seed)) {}
    int below(int n) { return n <= 1 ? 0 : static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }
    int range(int lo, int hi) { return lo + below(hi - lo + 1); }
    double real() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    double uniform(double lo, double hi) { return lo + (hi - lo) * real(); }
    bool chance(double p) { return real() < p; }
    double exponential(double rate) { return -std::log(1.0 - real()) / rate; }
    template <typename T>
    const T& pick(const std::vector<T>& v) {
        return v[static_cast<std::size_t>(below(static_cast<int>(v.size())))];
    }
    template <typename T>
    void shuffle(std::vector<T>& v) {
        for (std::size_t i = v.size(); i > 1; --i) std::swap(v[i - 1], v[static_cast<std::size_t>(below(int(i)))]);
    }

private:
    std::mt19937_64 engine_;
};

struct Weighted {
    const char* name;
    double weight;
};

const char* pick_weighted(Rng& rng, const std::vector<Weighted>& table);
// Index of a weighted choice, or -1 when every weight is zero.
int pick_index(Rng& rng, const std::vector<double>& weights);

// ---------------------------------------------------------------- text

inline std::string field(const std::string& s) { return s; }
inline std::string field(const char* s) { return s; }
inline std::string field(int v) { return std::to_string(v); }

// The fields of one log line, separated by tabs.
template <typename... Args>
std::string tabbed(const Args&... args) {
    std::string out;
    bool first = true;
    ((out += first ? "" : "\t", out += field(args), first = false), ...);
    return out;
}

std::string fixed(double v, int decimals);
std::string lower(std::string s);

// ---------------------------------------------------------------- the game

enum class GameType { Assault, DeathMatch, Domination, CaptureTheFlag, LastManStanding, TeamGame };

struct GameTypeInfo {
    GameType type;
    const char* key;        // name on the command line
    const char* game_name;  // value of the header line "game GameName"
    const char* game_class;
    bool team_game;
};

const std::vector<GameTypeInfo>& game_types();  // in the order of the enum
const GameTypeInfo& info_of(GameType t);

struct MapInfo {
    const char* name;
    const char* title;
    const char* ideal_players;
    std::vector<std::string> spots;  // control points (Domination) or objectives (Assault)
};

const std::vector<MapInfo>& maps_for(GameType t);

extern const std::vector<std::string> kAuthors;
extern const std::vector<std::string> kEnterTexts;
extern const std::vector<std::string> kRenameSuffixes;
extern const std::vector<Weighted> kPickups;
extern const std::vector<Weighted> kStandingPickups;  // Last Man Standing
extern const std::vector<Weighted> kArsenal;          // Last Man Standing
extern const std::vector<Weighted> kRespawnWeapons;

// The names of add-on weapons and items (invented), and how often a server
// that runs such an add-on logs them: the share of kills made with an add-on
// weapon and of pick-ups that are add-on items, as the stat logs of a real
// server with a weapons mod show (48% and 44%).
extern const std::vector<Weighted> kModWeapons;
extern const std::vector<Weighted> kModItems;
inline constexpr double kModKillShare = 0.48;
inline constexpr double kModPickupShare = 0.44;

bool is_weapon(const std::string& item);
const char* ammo_for(const std::string& weapon);  // nullptr for a weapon without ammo
const char* damage_type(Rng& rng, const std::string& weapon);

// ---------------------------------------------------------------- people

struct Person {
    std::string name;
    bool bot = false;
    double skill = 1.0;   // the log's Skill value (bots 0 to 3.5)
    bool novice = false;  // bots of the four lower difficulty levels
    double skill_adjust = 0;
    int mesh = 0;      // which of the game's four player models
    std::string face;  // Package.Face
    int ping = 0;      // typical ping over the network; 0 for the local player and bots
    double aim = 1.0;  // how often this person wins a fight
};

// Everybody who may play in a session: the local player of User.ini, other
// humans on the network, and the bots of User.ini's bot list.
struct Roster {
    Person local;
    std::vector<Person> guests;
    std::vector<Person> bots;
    int difficulty = 3;
    std::string server;
    int zone = 0;  // hours from UTC of the server's clock
    int version = 436;
};

// varied: the human players' names get a number of the seed's, so that
// sessions of other seeds are played by other people (histories of many
// sessions then hold many names).
Roster make_roster(std::uint64_t seed, bool varied = false);

// The game's User.ini for the roster, 8-bit with CR LF.
std::string user_ini(const Roster& r);

}  // namespace loggen
