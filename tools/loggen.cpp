// loggen: writes random Unreal Tournament (1999) stat logs, line for line in
// the form the game's stat log writer uses, for tests, benchmarks and the
// sample session. Run "loggen --help" for the options.

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "loggen_game.h"
#include "loggen_world.h"

namespace fs = std::filesystem;
using namespace loggen;

namespace {

const char* kHelp = R"(loggen: writes random Unreal Tournament stat logs, as the game writes them.

usage: loggen [options]
       loggen --session DIR --games N [options]

  -t, --type TYPE     game type: dm (Tournament DeathMatch), ttg (Tournament Team
                      Game), ctf (Capture the Flag), dom (Domination), as (Assault),
                      lms (Last Man Standing) or random (default); the full names
                      of the game are accepted too
  -s, --seed N        seed of the random numbers; the same seed and options give
                      the same bytes (default: a new seed, printed on stderr)
  -p, --players N     human players at the start of each game, the local player
                      of User.ini included (0 to 8; default 1 to 3)
  -b, --bots N        bots at the start of each game (default 2 to 4); players
                      and bots together at most 16
      --size BYTES    make each file about this big by playing longer (suffix k
                      or m for 1024 and 1048576); default: a game of natural length
      --end REASON    how the games end: limit (the game type's own limit: frag
                      limit, team score, Assault succeeded, last man standing),
                      timelimit, mapchange or random (default)
      --encoding E    16 (UTF-16 low byte first, the default, as the game writes)
                      or 8 (one byte per character)
      --lf            end lines with LF instead of CR LF
      --no-bom        no byte-order mark in 16-bit output
      --date WHEN     start of the first game, "YYYY-MM-DD" or "YYYY-MM-DD HH:MM"
                      (default: a date in 2000 taken from the seed)
  -o, --output FILE   file of the single game (default games.log; - for stdout)
      --session DIR   write a session into DIR: games.log, games1.log, ...
                      games{N-1}.log and a User.ini with the bots and the local
                      player; the game types are mixed (all six in every six
                      games) and, unless --end is given, one game after the
                      sixth ends by mapchange
  -n, --games N       number of games of the session (default 7)
      --evening-games N  start a new evening after every N games of the
                      session: the next game starts the following day at the
                      first game's hour (default: the games follow each other)
      --no-user-ini   do not write User.ini into the session folder
      --varied-names  the human players' names end in numbers taken from the
                      seed, so that sessions of other seeds have other players
      --mods          the server runs add-ons: 48% of kills are made with add-on
                      weapons and 44% of pick-ups are add-on items, as on a real
                      server with a weapons mod (names of the generator's own)
      --addon         the server runs a stats add-on: first_blood lines, and
                      spree lines for each killing spree and multi-kill when it
                      ends (those that last to the end after game_end)
  -h, --help          this text
)";

struct Options {
    std::string type = "random";
    std::uint64_t seed = 0;
    bool seeded = false;
    int humans = -1, bots = -1;
    long size = 0;
    Ending ending = Ending::Random;
    Encoding encoding;
    std::string date;
    std::string output = "games.log";
    std::string session;
    int games = 7;
    int evening_games = 0;
    bool user_ini = true;
    bool mods = false;
    bool addon = false;
    bool varied_names = false;
};

bool parse_long(const std::string& text, long& value, bool allow_suffix) {
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str() || errno != 0 || v < 0) return false;
    std::string unit = end;
    if (allow_suffix && (unit == "k" || unit == "K")) {
        v *= 1024;
    } else if (allow_suffix && (unit == "m" || unit == "M")) {
        v *= 1048576;
    } else if (!unit.empty()) {
        return false;
    }
    value = long(v);
    return true;
}

bool parse_type(const std::string& text, GameType& type, bool& random) {
    std::string t = lower(text);
    random = t == "random";
    if (random) return true;
    for (const GameTypeInfo& info : game_types())
        if (t == info.key || t == lower(info.game_name)) {
            type = info.type;
            return true;
        }
    static const std::map<std::string, GameType> aliases = {{"assault", GameType::Assault},
                                                            {"deathmatch", GameType::DeathMatch},
                                                            {"domination", GameType::Domination},
                                                            {"lastmanstanding", GameType::LastManStanding},
                                                            {"teamgame", GameType::TeamGame}};
    auto it = aliases.find(t);
    if (it == aliases.end()) return false;
    type = it->second;
    return true;
}

int usage_error(const std::string& message) {
    std::cerr << "loggen: " << message << "\n(loggen --help lists the options)\n";
    return 2;
}

bool write_bytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(out);
}

// The file gets the time the game ended, as if the game had just closed it;
// the analyser dates its page by the last log's time.
void set_file_time(const fs::path& path, Seconds local_end, int zone) {
    Seconds utc = local_end - Seconds(zone) * 3600;
    auto when = std::chrono::file_clock::from_sys(std::chrono::sys_seconds{std::chrono::seconds{utc}});
    std::error_code ignored;
    fs::last_write_time(path, when, ignored);
}

Seconds default_date(std::uint64_t seed) {
    std::uint64_t x = splitmix64(seed ^ 0x64617465ull);
    return make_time(2000, 1, 1, 18, 0) + Seconds(x % 360) * 86400 + Seconds((x >> 16) % 240) * 60;
}

// "YYYY-MM-DD" or "YYYY-MM-DD HH:MM" (also with a "T" between date and time).
bool parse_date(const std::string& text, Seconds& when) {
    long parts[5] = {0, 0, 0, 20, 0};
    const char* seps = " -- :";  // the character before each part
    const char* p = text.c_str();
    int n = 0;
    for (; n < 5 && *p != '\0'; ++n) {
        if (n > 0) {
            bool time_sep = n == 3 && (*p == ' ' || *p == 'T');
            if (*p != seps[n] && !time_sep) return false;
            ++p;
        }
        char* end = nullptr;
        parts[n] = std::strtol(p, &end, 10);
        if (end == p) return false;
        p = end;
    }
    if (*p != '\0' || (n != 3 && n != 5)) return false;
    int y = int(parts[0]), mo = int(parts[1]), d = int(parts[2]), h = int(parts[3]), mi = int(parts[4]);
    if (y < 1970 || y > 2100 || mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59)
        return false;
    when = make_time(y, mo, d, h, mi);
    return true;
}

// Fills the options from the command line. Returns -1 to go on, else the
// exit code.
int parse_options(const std::vector<std::string>& args, Options& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string a = args[i], value;
        bool has_inline = false;
        if (a.rfind("--", 0) == 0 && a.find('=') != std::string::npos) {
            value = a.substr(a.find('=') + 1);
            a = a.substr(0, a.find('='));
            has_inline = true;
        }
        auto next = [&](std::string& out) {
            if (has_inline) {
                out = value;
                return true;
            }
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        long n = 0;
        if (a == "-h" || a == "--help") {
            std::cout << kHelp;
            return 0;
        } else if (a == "-t" || a == "--type") {
            if (!next(o.type)) return usage_error(a + " needs a game type");
        } else if (a == "-s" || a == "--seed") {
            if (!next(v) || !parse_long(v, n, false)) return usage_error(a + " needs a number");
            o.seed = std::uint64_t(n);
            o.seeded = true;
        } else if (a == "-p" || a == "--players") {
            if (!next(v) || !parse_long(v, n, false) || n > 8) return usage_error(a + " needs a number from 0 to 8");
            o.humans = int(n);
        } else if (a == "-b" || a == "--bots") {
            if (!next(v) || !parse_long(v, n, false) || n > 16) return usage_error(a + " needs a number from 0 to 16");
            o.bots = int(n);
        } else if (a == "--size") {
            if (!next(v) || !parse_long(v, n, true)) return usage_error("--size needs a number of bytes");
            o.size = n;
        } else if (a == "--end") {
            if (!next(v)) return usage_error("--end needs a reason");
            if (v == "limit")
                o.ending = Ending::Limit;
            else if (v == "timelimit")
                o.ending = Ending::TimeLimit;
            else if (v == "mapchange")
                o.ending = Ending::MapChange;
            else if (v == "random")
                o.ending = Ending::Random;
            else
                return usage_error("--end takes limit, timelimit, mapchange or random");
        } else if (a == "--encoding") {
            if (!next(v)) return usage_error("--encoding needs 16 or 8");
            if (v == "16" || lower(v) == "utf16" || lower(v) == "utf-16le")
                o.encoding.wide = true;
            else if (v == "8" || lower(v) == "8bit")
                o.encoding.wide = false;
            else
                return usage_error("--encoding takes 16 or 8");
        } else if (a == "--lf") {
            o.encoding.crlf = false;
        } else if (a == "--no-bom") {
            o.encoding.bom = false;
        } else if (a == "--date") {
            if (!next(o.date)) return usage_error("--date needs a date");
        } else if (a == "-o" || a == "--output") {
            if (!next(o.output)) return usage_error(a + " needs a file name");
        } else if (a == "--session") {
            if (!next(o.session)) return usage_error("--session needs a folder");
        } else if (a == "-n" || a == "--games") {
            if (!next(v) || !parse_long(v, n, false) || n < 1 || n > 10000) return usage_error(a + " needs a number");
            o.games = int(n);
        } else if (a == "--evening-games") {
            if (!next(v) || !parse_long(v, n, false) || n < 1 || n > 10000) return usage_error(a + " needs a number");
            o.evening_games = int(n);
        } else if (a == "--no-user-ini") {
            o.user_ini = false;
        } else if (a == "--mods") {
            o.mods = true;
        } else if (a == "--addon") {
            o.addon = true;
        } else if (a == "--varied-names") {
            o.varied_names = true;
        } else {
            return usage_error("unknown option " + a);
        }
    }
    if (o.humans >= 0 && o.bots >= 0 && o.humans + o.bots > 16) return usage_error("more than 16 players and bots");
    if (o.humans == 0 && o.bots == 0) return usage_error("a game needs players or bots");
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (int code = parse_options(std::vector<std::string>(argv + 1, argv + argc), o); code >= 0) return code;
    GameType fixed_type = GameType::DeathMatch;
    bool random_type = true;
    if (!parse_type(o.type, fixed_type, random_type)) return usage_error("unknown game type " + o.type);
    if (!o.seeded) {
        o.seed =
            std::random_device{}() ^ (std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count()) << 1);
        o.seed %= 1000000000ull;
        std::cerr << "loggen: seed " << o.seed << "\n";
    }
    Seconds start = default_date(o.seed);
    if (!o.date.empty() && !parse_date(o.date, start))
        return usage_error("--date takes YYYY-MM-DD or YYYY-MM-DD HH:MM");
    const Seconds first_start = start;

    Roster roster = make_roster(o.seed, o.varied_names);
    Rng session_rng(o.seed ^ 0x73657373ull);
    int games = o.session.empty() ? 1 : o.games;
    std::vector<GameType> types;
    int mapchange_game = -1;
    // The first six games show each game type once; a later one ends by a map change.
    if (!o.session.empty() && games >= 7 && o.ending == Ending::Random)
        mapchange_game = session_rng.range(6, games - 1);

    if (!o.session.empty()) {
        std::error_code ec;
        fs::create_directories(o.session, ec);
        if (ec) {
            std::cerr << "loggen: cannot create " << o.session << ": " << ec.message() << "\n";
            return 1;
        }
    }
    for (int g = 0; g < games; ++g) {
        if (types.empty()) {
            for (const GameTypeInfo& info : game_types()) types.push_back(info.type);
            session_rng.shuffle(types);
        }
        GameSettings s;
        s.type = random_type ? types.back() : fixed_type;
        types.pop_back();
        s.humans = o.humans;
        s.bots = o.bots;
        s.size = o.size;
        s.ending = g == mapchange_game ? Ending::MapChange : o.ending;
        s.encoding = o.encoding;
        s.start = start;
        s.seed = splitmix64(o.seed + std::uint64_t(g) * 0x9E3779B97F4A7C15ull);
        s.mods = o.mods;
        s.addon = o.addon;
        GameLog game = play_game(s, roster);
        std::string bytes = o.encoding.encode(game.text);
        Seconds end = start + Seconds(std::ceil(game.end_time));

        if (o.session.empty() && o.output == "-") {
            std::cout.write(bytes.data(), std::streamsize(bytes.size()));
            return std::cout ? 0 : 1;
        }
        fs::path path = o.session.empty() ? fs::path(o.output)
                                          : fs::path(o.session) / (g == 0 ? std::string("games.log")
                                                                          : "games" + std::to_string(g) + ".log");
        if (!write_bytes(path, bytes)) {
            std::cerr << "loggen: cannot write " << path.string() << "\n";
            return 1;
        }
        set_file_time(path, end, roster.zone);
        start = end + 20 + session_rng.range(0, 70);
        if (o.evening_games > 0 && (g + 1) % o.evening_games == 0)
            start = first_start + Seconds((g + 1) / o.evening_games) * 86400;
    }
    if (!o.session.empty() && o.user_ini) {
        fs::path path = fs::path(o.session) / "User.ini";
        if (!write_bytes(path, user_ini(roster))) {
            std::cerr << "loggen: cannot write " << path.string() << "\n";
            return 1;
        }
    }
    return 0;
}
