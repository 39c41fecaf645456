// A game of the log generator is played as a stream of events in time:
// random events (pick-ups, kills, flag and control-point events...) drawn
// with rates per second, and timers (pings every 30 seconds, the end of a
// power-up, a flag that is returned, players who come and go). Every event
// writes its lines at once; the header, whose limits are known only at the
// end, is written last and put in front.

#include "loggen_game.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>

namespace loggen {

std::string Encoding::encode(const std::string& text) const {
    std::string out;
    out.reserve(text.size() * (wide ? 2 : 1) + 64);
    if (wide && bom) out += "\xFF\xFE";
    auto put = [&](char c) {
        out += c;
        if (wide) out += '\0';
    };
    for (char c : text) {
        if (c == '\n' && crlf) put('\r');
        put(c);
    }
    return out;
}

Seconds make_time(int y, int mo, int d, int h, int mi) {
    using namespace std::chrono;
    sys_days day{year{y} / month{unsigned(mo)} / std::chrono::day{unsigned(d)}};
    return Seconds(duration_cast<seconds>(day.time_since_epoch()).count()) + Seconds(h) * 3600 + Seconds(mi) * 60;
}

namespace {

std::string absolute_time(Seconds when, int millis, int zone) {
    using namespace std::chrono;
    sys_seconds tp{seconds{when}};
    auto day = floor<days>(tp);
    year_month_day ymd{day};
    hh_mm_ss hms{tp - day};
    char buf[80];
    std::snprintf(buf, sizeof buf, "%04d.%02u.%02u.%02d.%02d.%02d.%03d.%+d.0", int(ymd.year()), unsigned(ymd.month()),
                  unsigned(ymd.day()), int(hms.hours().count()), int(hms.minutes().count()), int(hms.seconds().count()),
                  millis, zone);
    return buf;
}

// One player id of a game.
struct Slot {
    int id = 0;
    const Person* who = nullptr;
    std::string name;
    int team = 255;
    int team_index = 0;
    bool present = true;
    bool out = false;  // Last Man Standing: no lives left
    double joined = 0;
    int score = 0, kills = 0, deaths = 0, suicides = 0, teamkills = 0;
    std::string weapon = "Enforcer";
    std::string powerup;  // Damage Amplifier or Invisibility while it runs
    int powerup_serial = 0;
    double points = 0;  // Domination score
    std::map<std::string, int> frags_by_weapon;
    // The stats add-on's count: kills of the open spree and chain, and the
    // time of the chain's last kill in hundredths as logged.
    int spree = 0, chain = 0;
    long long last_kill = 0;
    bool bot() const { return who->bot; }
};

class Game {
public:
    Game(const GameSettings& settings, const Roster& roster, int lives);
    Game(const Game&) = delete;  // the timers hold "this"
    Game& operator=(const Game&) = delete;
    std::string text() const;
    long bytes() const { return bytes_ + tail_bytes(); }
    double end_time() const { return end_; }

private:
    struct Timer {
        double when;
        long order;
        std::function<void()> action;
    };
    enum class Flag { Home, Carried, Dropped };

    // Set-up.
    void choose_players();
    Slot& add_slot(const Person& who, int team, double when);
    int smaller_team() const;
    void schedule_changes(double length);

    // Output.
    void emit(double t, const std::string& fields);
    std::vector<std::string> header() const;
    std::vector<std::string> tail() const;
    long tail_bytes() const;
    void player_block(double t, Slot& s, bool at_start, bool as_newcomer, std::vector<std::string>& out);

    // Play.
    void play();
    void at(double when, std::function<void()> action) { timers_.push_back({when, next_order_++, std::move(action)}); }
    std::vector<double> event_weights() const;
    double event_rate() const;
    void random_event();
    bool stop_reached() const;
    void begin_ending();
    void end_by_time_limit();
    void finish(const std::string& reason);
    std::vector<int> active() const;
    std::vector<int> present_humans() const;
    void pings();
    void pickup();
    void grab(Slot& s, const std::string& item);
    void kill();
    void addon_kill(Slot& killer, Slot& victim, bool teamkill);
    void end_spree(Slot& s);
    void end_chain(Slot& s);
    void suicide();
    void die(Slot& victim);
    void powerup_off(Slot& s);
    void typing();
    void translocator();
    void flag_event();
    void drop_flag(int id);
    void flag_return_timeout(int flag, int serial);
    void capture_attempt(int carrier);
    void domination_tick();
    void domination_scores(bool players);
    void advance_points();
    void point_capture();
    void objective();
    int join(const Person& who, bool reconnect);
    void leave(int id);
    int leader_score(int except) const;
    bool limit_reached(int score, int rival, int limit) const;

    GameSettings settings_;
    const Roster& roster_;
    const GameTypeInfo& info_;
    Rng rng_;
    const MapInfo* map_ = nullptr;
    std::string author_, enter_text_;
    Ending ending_;
    int lives_;
    bool eliminating_;  // Last Man Standing ending by lives

    std::vector<Slot> slots_;  // indexed by player id
    std::vector<std::string> start_block_, events_;
    long bytes_ = 0;
    long play_bytes_ = 0;  // bytes_ when play began
    double start_ = 0, end_ = 0, t_ = 0, planned_end_ = 0;
    bool finishing_ = false, over_ = false;
    bool first_blood_ = false;
    std::vector<Timer> timers_;
    long next_order_ = 0;
    int millis_ = 0;

    // Header values, known only when the game is over.
    int frag_limit_ = 0, time_limit_ = 0, goal_team_score_ = 0;
    std::string friendly_fire_ = "0.000000";
    double teamkill_chance_ = 0;
    bool translocator_ = false, weapons_stay_ = false;

    int team_score_[2] = {0, 0};
    Flag flag_[2] = {Flag::Home, Flag::Home};
    int carrier_[2] = {-1, -1};
    int flag_serial_[2] = {0, 0};
    std::vector<int> point_owner_, point_holder_;
    double points_[2] = {0, 0};
    double points_time_ = 0;
    int domination_ticks_ = 0;
    int attackers_ = 1;
    std::size_t objectives_done_ = 0;
    double objective_rate_ = 0;
    bool preset_limit_ = false;  // the limit is in the header from the start
};

Game::Game(const GameSettings& settings, const Roster& roster, int lives)
    : settings_(settings), roster_(roster), info_(info_of(settings.type)), rng_(settings.seed), lives_(lives) {
    map_ = &rng_.pick(maps_for(settings_.type));
    author_ = rng_.pick(kAuthors);
    enter_text_ = rng_.pick(kEnterTexts);
    millis_ = rng_.below(1000);
    ending_ = settings_.ending;
    if (ending_ == Ending::Random) ending_ = rng_.chance(0.7) ? Ending::Limit : Ending::TimeLimit;
    eliminating_ = settings_.type == GameType::LastManStanding && ending_ == Ending::Limit;
    translocator_ = settings_.type == GameType::CaptureTheFlag || settings_.type == GameType::Domination ||
                    (settings_.type == GameType::Assault && rng_.chance(0.5)) || rng_.chance(0.15);
    weapons_stay_ = rng_.chance(0.3);
    if (info_.team_game && rng_.chance(0.5)) {
        friendly_fire_ = rng_.chance(0.5) ? "0.500000" : "1.000000";
        teamkill_chance_ = 0.05;
    }
    attackers_ = rng_.below(2);
    start_ = 1.0 + rng_.uniform(0.05, 1.3);

    choose_players();
    for (const std::string& line : header()) bytes_ += settings_.encoding.line_bytes(line.size());
    bytes_ += settings_.encoding.start_bytes();
    for (const std::string& line : start_block_) bytes_ += settings_.encoding.line_bytes(line.size());
    play();
}

int Game::smaller_team() const {
    int count[2] = {0, 0};
    for (const Slot& s : slots_)
        if (s.present && s.team < 2) ++count[s.team];
    return count[0] <= count[1] ? 0 : 1;
}

Slot& Game::add_slot(const Person& who, int team, double when) {
    Slot s;
    s.id = int(slots_.size());
    s.who = &who;
    s.name = who.name;
    s.team = team;
    s.joined = when;
    if (settings_.type == GameType::LastManStanding) s.weapon = pick_weighted(rng_, kArsenal);
    if (team < 2)
        for (const Slot& other : slots_)
            if (other.team == team) ++s.team_index;
    slots_.push_back(s);
    return slots_.back();
}

void Game::choose_players() {
    int humans = settings_.humans >= 0 ? settings_.humans : 1 + rng_.below(3);
    int bots = settings_.bots >= 0 ? settings_.bots : rng_.range(2, 4);
    if (settings_.humans < 0 && settings_.bots < 0 && info_.team_game && humans + bots < 4) bots = 4 - humans;
    humans = std::min(humans, int(1 + roster_.guests.size()));
    bots = std::min(bots, int(roster_.bots.size()));

    std::vector<const Person*> people;
    if (humans > 0) people.push_back(&roster_.local);
    for (int i = 0; i + 1 < humans; ++i) people.push_back(&roster_.guests[std::size_t(i)]);
    std::vector<const Person*> bot_pool;
    for (const Person& b : roster_.bots) bot_pool.push_back(&b);
    rng_.shuffle(bot_pool);
    for (int i = 0; i < bots; ++i) people.push_back(bot_pool[std::size_t(i)]);

    // The game hands out the teams in the order the players enter.
    int team = rng_.below(2);
    for (const Person* p : people) {
        Slot& s = add_slot(*p, info_.team_game ? team : 255, 0.0);
        team = 1 - team;
        player_block(0.0, s, true, false, start_block_);
    }
    double length = 0;
    if (settings_.size > 0) {
        // Roughly 30 bytes per line and 0.3 lines per second for each player.
        double lines_per_second = 0.3 * std::max<std::size_t>(slots_.size(), 1) + 0.1;
        length = double(settings_.size) / (settings_.encoding.line_bytes(30) * lines_per_second);
    } else {
        switch (settings_.type) {
            case GameType::DeathMatch: length = rng_.uniform(180, 360); break;
            case GameType::TeamGame: length = rng_.uniform(240, 420); break;
            case GameType::Assault: length = rng_.uniform(240, 360); break;
            default: length = rng_.uniform(300, 480); break;
        }
        if (ending_ == Ending::MapChange) length = rng_.uniform(60, 200);
    }
    planned_end_ = start_ + length;
    objective_rate_ = double(map_->spots.size()) / std::max(length, 60.0);
    if (settings_.type == GameType::Domination) {
        point_owner_.assign(map_->spots.size(), -1);
        point_holder_.assign(map_->spots.size(), -1);
    }
    if (settings_.type != GameType::LastManStanding) schedule_changes(length);

    // A game of natural length plays up to a limit the server set beforehand.
    if (settings_.size <= 0 && ending_ == Ending::Limit) {
        int players = int(slots_.size());
        switch (settings_.type) {
            case GameType::DeathMatch: frag_limit_ = (players <= 3 ? 10 : 15) + 5 * rng_.below(2); break;
            case GameType::TeamGame: goal_team_score_ = 20 + 5 * rng_.below(3); break;
            case GameType::CaptureTheFlag: goal_team_score_ = rng_.chance(0.7) ? 3 : 5; break;
            case GameType::Domination: goal_team_score_ = rng_.chance(0.7) ? 100 : 150; break;
            default: break;
        }
        preset_limit_ = frag_limit_ > 0 || goal_team_score_ > 0;
    }
}

// Players who come, go, come back, rename or switch teams during the game.
void Game::schedule_changes(double length) {
    std::vector<const Person*> waiting;  // humans not in the game yet
    for (const Person& g : roster_.guests) {
        bool playing = false;
        for (const Slot& s : slots_) playing = playing || s.who == &g;
        if (!playing) waiting.push_back(&g);
    }
    // The local player hosts the game: he neither leaves nor renames.
    std::vector<int> humans, bots;
    for (const Slot& s : slots_)
        if (s.who != &roster_.local) (s.bot() ? bots : humans).push_back(s.id);
    rng_.shuffle(humans);
    rng_.shuffle(bots);
    double from = start_ + 0.1 * length;

    if (!waiting.empty() && rng_.chance(0.5)) {
        const Person* who = waiting.front();
        bool make_room = bots.size() > 2 && rng_.chance(0.6);
        at(from + rng_.uniform(0.05, 0.5) * length, [this, who, make_room] {
            int id = join(*who, false);
            if (id < 0 || !make_room) return;
            // The server makes room for him: a bot of his team leaves.
            for (auto it = slots_.rbegin(); it != slots_.rend(); ++it)
                if (it->present && it->bot() && it->team == slots_[std::size_t(id)].team) {
                    int bot = it->id;
                    at(t_ + 0.01, [this, bot] { leave(bot); });
                    break;
                }
        });
    }
    if (!humans.empty() && slots_.size() > 2 && rng_.chance(0.45)) {
        int id = humans.back();
        humans.pop_back();
        double gone = from + rng_.uniform(0.1, 0.4) * length;
        double back = gone + rng_.uniform(15, 90);
        const Person* who = slots_[std::size_t(id)].who;
        at(gone, [this, id] { leave(id); });
        at(back, [this, who] { join(*who, true); });
    }
    if (!humans.empty() && rng_.chance(0.3)) {
        int id = humans.back();
        humans.pop_back();
        std::string name = slots_[std::size_t(id)].name + rng_.pick(kRenameSuffixes);
        at(from + rng_.uniform(0.1, 0.8) * length, [this, id, name] {
            if (!slots_[std::size_t(id)].present) return;
            slots_[std::size_t(id)].name = name;
            emit(t_, tabbed("player", "Rename", name, id));
        });
    }
    if (info_.team_game && !humans.empty() && rng_.chance(0.3)) {
        int id = humans.back();
        humans.pop_back();
        at(from + rng_.uniform(0.1, 0.6) * length, [this, id] {
            Slot& s = slots_[std::size_t(id)];
            if (!s.present || s.id == carrier_[0] || s.id == carrier_[1]) return;
            s.team = 1 - s.team;
            emit(t_, tabbed("player", "Teamchange", id, s.team));
        });
    }
    std::vector<int> leavers = bots;
    for (int id : humans) leavers.push_back(id);
    if (!leavers.empty() && slots_.size() > 3 && rng_.chance(0.3)) {
        int id = rng_.pick(leavers);
        at(from + rng_.uniform(0.3, 0.8) * length, [this, id] { leave(id); });
    }
}

// The lines the game writes for a player who enters: at the start of the game
// for everybody, later for a bot that is added, a human who comes back under
// his name, or a newcomer who connects as "Player" and renames at once.
void Game::player_block(double t, Slot& s, bool at_start, bool as_newcomer, std::vector<std::string>& out) {
    auto line = [&](const std::string& fields) { out.push_back(fixed(t, 2) + "\t" + fields); };
    const char* team_names[] = {"Red", "Blue"};
    if (!as_newcomer) line(tabbed("player", "Rename", s.name, s.id));
    if (info_.team_game || !s.bot()) line(tabbed("player", "Teamchange", s.id, s.team));
    line(tabbed("player", "Connect", as_newcomer ? "Player" : s.name.c_str(), s.id, "False"));
    line(tabbed("player", "TeamName", s.id, s.team < 2 ? team_names[s.team] : ""));
    line(tabbed("player", "Team", s.id, s.team));
    line(tabbed("player", "TeamID", s.id, s.team < 2 ? s.team_index : 0));
    if (at_start) line(tabbed("player", "Ping", s.id, 0));
    line(tabbed("player", "IsABot", s.id, s.bot() ? "True" : "False"));
    line(tabbed("player", "Skill", s.id, fixed(s.who->bot ? s.who->skill : 1.0, 6)));
    line(tabbed("player", "Novice", s.id, s.who->bot && s.who->novice ? "True" : "False"));
    if (as_newcomer) line(tabbed("player", "Rename", s.name, s.id));
}

void Game::emit(double t, const std::string& fields) {
    events_.push_back(fixed(t, 2) + "\t" + fields);
    bytes_ += settings_.encoding.line_bytes(events_.back().size());
}

std::vector<std::string> Game::header() const {
    std::vector<std::string> h;
    auto line = [&](const std::string& fields) { h.push_back("0.00\t" + fields); };
    auto info = [&](const char* key, const std::string& value) { line(tabbed("info", key, value)); };
    info("Log_Standard", "ngLog");
    info("Log_Version", "1.2");
    info("Log_Info_URL", "http://www.netgamesusa.com/ngLog/");
    info("Game_Name", "Unreal");
    info("Game_Version", std::to_string(roster_.version));
    info("Game_Creator", "Epic MegaGames, Inc.");
    info("Game_Creator_URL", "http://www.epicgames.com/");
    info("Game_Decoder_Ring_URL", "http://unreal.epicgames.com/Unreal_Log_Decoder_Ring.html");
    info("Absolute_Time", absolute_time(settings_.start, millis_, roster_.zone));
    info("Server_ServerName", roster_.server);
    info("Server_AdminName", "");
    info("Server_AdminEmail", "");
    info("Server_Region", "0");
    for (const char* motd : {"Server_MOTDLine1", "Server_MOTDLine2", "Server_MOTDLine3", "Server_MOTDLine4"})
        info(motd, "");
    info("Server_IP", "");
    info("Server_Port", "7777");

    line(tabbed("map", "Name", std::string(map_->name) + ".unr"));
    line(tabbed("map", "Title", map_->title));
    line(tabbed("map", "Author", author_));
    line(tabbed("map", "IdealPlayerCount", map_->ideal_players));
    line(tabbed("map", "LevelEnterText", enter_text_));

    bool online = false;
    for (const Slot& s : slots_) online = online || (!s.bot() && s.who != &roster_.local);
    auto game = [&](const char* key, const std::string& value) { line(tabbed("game", key, value)); };
    auto flag = [](bool b) { return std::string(b ? "True" : "False"); };
    game("GameMutator", "Class Botpack.DMMutator");
    game("GameName", info_.game_name);
    game("GameClass", info_.game_class);
    game("GameVersion", std::to_string(roster_.version));
    game("MinNetVersion", roster_.version > 436 ? "432" : "400");
    game("NoMonsters", "True");
    game("MuteSpectators", "False");
    game("HumansOnly", "False");
    game("WeaponsStay", flag(weapons_stay_));
    game("ClassicDeathmessages", "False");
    game("LowGore", "False");
    game("VeryLowGore", "False");
    game("TeamGame", flag(info_.team_game));
    game("GameSpeed", "100");
    game("MaxSpectators", "2");
    game("MaxPlayers", "16");
    game("FragLimit", std::to_string(frag_limit_));
    game("TimeLimit", std::to_string(time_limit_));
    game("MultiPlayerBots", flag(online));
    game("HardCore", "True");
    game("MegaSpeed", "False");
    game("AirControl", "0.350000");
    game("JumpMatch", "False");
    game("UseTranslocator", flag(translocator_));
    game("TournamentMode", "False");
    game("NetMode", online ? "ListenServer" : "PracticeMatch");
    if (info_.team_game) {
        game("GoalTeamScore", std::to_string(goal_team_score_));
        game("FriendlyFireScale", friendly_fire_);
    }
    if (settings_.type == GameType::Assault) {
        line(tabbed("assault_timelimit", time_limit_));
        line(tabbed("assault_gamecode", std::to_string(int(settings_.seed % 90000) + 10000)));
        line(tabbed("assault_defender", 1 - attackers_));
        line(tabbed("assault_attacker", attackers_));
    }
    return h;
}

// What the game writes after the end line: each player's figures, the weapons
// he used and the teams' scores.
std::vector<std::string> Game::tail() const {
    std::vector<std::string> out;
    std::string t = fixed(end_, 2) + "\t";
    out.push_back(t);
    Rng rng(settings_.seed ^ 0x7461696cull);
    for (const Slot& s : slots_) {
        if (!s.present) continue;
        int shots = 0, hits = 0;
        std::vector<std::string> weapons;
        for (const auto& [weapon, frags] : s.frags_by_weapon) {
            int w_shots = frags * rng.range(4, 12) + rng.range(0, 20);
            int w_hits = std::min(w_shots, frags * rng.range(2, 5));
            shots += w_shots;
            hits += w_hits;
            double accuracy = w_shots ? 100.0 * w_hits / w_shots : 0;
            weapons.push_back(t + tabbed("weap_shotcount", weapon, s.id, w_shots));
            weapons.push_back(t + tabbed("weap_hitcount", weapon, s.id, w_hits));
            weapons.push_back(t + tabbed("weap_damagegiven", weapon, s.id, w_hits * rng.range(25, 60)));
            weapons.push_back(t + tabbed("weap_accuracy", weapon, s.id, fixed(accuracy, 6)));
        }
        double on_server = end_ - s.joined;
        int score = settings_.type == GameType::Domination ? int(s.points) : s.score;
        out.push_back(t + tabbed("stat_player", "accuracy", s.id, fixed(shots ? 100.0 * hits / shots : 0, 6)));
        out.push_back(t + tabbed("stat_player", "score", s.id, score));
        out.push_back(t + tabbed("stat_player", "frags", s.id, s.score));
        out.push_back(t + tabbed("stat_player", "kills", s.id, s.kills));
        out.push_back(t + tabbed("stat_player", "deaths", s.id, s.deaths));
        out.push_back(t + tabbed("stat_player", "suicides", s.id, s.suicides));
        out.push_back(t + tabbed("stat_player", "teamkills", s.id, s.teamkills));
        double efficiency = s.kills + s.deaths ? 100.0 * s.kills / (s.kills + s.deaths) : 0;
        out.push_back(t + tabbed("stat_player", "efficiency", s.id, fixed(efficiency, 6)));
        out.push_back(t + tabbed("stat_player", "time_on_server", s.id, fixed(on_server, 6)));
        out.push_back(t + tabbed("stat_player", "ttl", s.id, fixed(std::floor(on_server / (s.deaths + 1)), 6)));
        out.insert(out.end(), weapons.begin(), weapons.end());
    }
    if (info_.team_game)
        for (int team = 0; team < 2; ++team) {
            int score = team_score_[team];
            if (settings_.type == GameType::Domination) score = int(points_[team]);
            if (settings_.type == GameType::Assault)
                score = (team == attackers_) == (objectives_done_ == map_->spots.size());
            out.push_back(t + tabbed("teamscore", team, score));
        }
    return out;
}

long Game::tail_bytes() const {
    long n = 0;
    for (const std::string& line : tail()) n += settings_.encoding.line_bytes(line.size());
    return n;
}

std::string Game::text() const {
    std::string out;
    auto add = [&](const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            out += line;
            out += '\n';
        }
    };
    add(header());
    add(start_block_);
    add(events_);
    add(tail());
    return out;
}

// ---------------------------------------------------------------- play

std::vector<int> Game::active() const {
    std::vector<int> ids;
    for (const Slot& s : slots_)
        if (s.present && !s.out) ids.push_back(s.id);
    return ids;
}

std::vector<int> Game::present_humans() const {
    std::vector<int> ids;
    for (const Slot& s : slots_)
        if (s.present && !s.bot()) ids.push_back(s.id);
    return ids;
}

void Game::play() {
    play_bytes_ = bytes_;
    t_ = start_;
    emit(t_, "game_start");
    at(30.0 + rng_.uniform(-0.01, 0.02), [this] { pings(); });
    if (settings_.type == GameType::Domination) {
        points_time_ = start_;
        at(start_ + 14.5, [this] { domination_tick(); });  // off the minute, where a time limit ends
    }
    if (preset_limit_) at(start_ + 1800, [this] { end_by_time_limit(); });  // the limit is out of reach
    while (!over_) {
        double rate = event_rate();
        double next = rate > 0 ? t_ + rng_.exponential(rate) : t_ + 5.0;
        auto due = std::min_element(timers_.begin(), timers_.end(), [](const Timer& a, const Timer& b) {
            return a.when < b.when || (a.when == b.when && a.order < b.order);
        });
        if (due != timers_.end() && due->when <= next) {
            // Events that come at random forget how long they waited, so the
            // draw for the next one is simply made again after the timer.
            Timer timer = std::move(*due);
            timers_.erase(due);
            t_ = std::max(t_, timer.when);
            timer.action();
        } else {
            t_ = next;
            if (rate > 0) random_event();
        }
        if (!over_ && !finishing_ && stop_reached()) begin_ending();
    }
}

// How often each kind of random event comes, per second, in the order of the
// switch in random_event.
std::vector<double> Game::event_weights() const {
    double n = double(active().size());
    double humans = double(present_humans().size());
    bool standing = settings_.type == GameType::LastManStanding;
    bool objectives_left = objectives_done_ + 1 < map_->spots.size();  // the last one ends the game
    return {
        n * (standing ? 0.04 : 0.14),
        n >= 2 ? n * 0.032 : 0,
        n * 0.0025,
        humans * 0.004,
        translocator_ ? n * 0.012 : 0,
        settings_.type == GameType::CaptureTheFlag ? (finishing_ ? 0.2 : 0.08) : 0,
        settings_.type == GameType::Domination ? n * 0.012 : 0,
        settings_.type == GameType::Assault && objectives_left ? objective_rate_ : 0,
    };
}

double Game::event_rate() const {
    double rate = 0;
    for (double w : event_weights()) rate += w;
    return rate;
}

void Game::random_event() {
    switch (pick_index(rng_, event_weights())) {
        case 0: pickup(); break;
        case 1: kill(); break;
        case 2: suicide(); break;
        case 3: typing(); break;
        case 4: translocator(); break;
        case 5: flag_event(); break;
        case 6: point_capture(); break;
        case 7: objective(); break;
        default: break;
    }
}

bool Game::stop_reached() const {
    if (eliminating_ || preset_limit_) return false;  // ends when one player is left, or at the limit
    if (settings_.size <= 0) return t_ >= planned_end_;
    double elapsed = std::max(t_ - start_, 1.0);
    double rate = double(bytes_ - play_bytes_) / elapsed;
    // Seconds the game is likely to go on once it is to end.
    double to_come = 0;
    if (ending_ == Ending::TimeLimit) to_come = 30;
    if (ending_ == Ending::Limit) {
        to_come = 10;
        if (settings_.type == GameType::CaptureTheFlag) to_come = 40;
        if (settings_.type == GameType::Assault) to_come = 16.0 * double(map_->spots.size() - objectives_done_);
    }
    double expected = double(bytes_) + rate * to_come;
    // The closing lines are counted exactly only near the end: making them costs.
    double closing_at_most = double(slots_.size() * 80) * double(settings_.encoding.line_bytes(40));
    if (expected + closing_at_most < double(settings_.size)) return false;
    return expected + double(tail_bytes()) >= double(settings_.size);
}

void Game::begin_ending() {
    finishing_ = true;
    if (ending_ == Ending::MapChange) {
        finish("mapchange");
        return;
    }
    if (ending_ == Ending::TimeLimit) {
        end_by_time_limit();
        return;
    }
    if (settings_.type == GameType::Assault) {
        // The attackers storm the remaining objectives; the last one ends the game.
        double when = t_;
        for (std::size_t i = objectives_done_; i < map_->spots.size(); ++i) {
            when += rng_.uniform(8, 24);
            at(when, [this] { objective(); });
        }
    }
    // A game whose limit stays out of reach ends by its time limit.
    at(t_ + 900, [this] { end_by_time_limit(); });
}

// The game goes on to the end of the minute, where its time limit ends it.
void Game::end_by_time_limit() {
    if (over_ || ending_ == Ending::MapChange) return;
    finishing_ = true;
    ending_ = Ending::TimeLimit;
    time_limit_ = std::max(1, int(std::ceil((t_ - start_) / 60.0)));
    at(start_ + time_limit_ * 60.0, [this] { finish("timelimit"); });
}

int nice_limit_above(int value) {
    static const int limits[] = {10, 15, 20, 25, 30, 40, 50, 75, 100, 150, 200, 250, 300, 500, 750, 1000};
    for (int limit : limits)
        if (limit > value) return limit;
    return (value / 100 + 2) * 100;
}

int Game::leader_score(int except) const {
    int best = -1000000;
    for (const Slot& s : slots_)
        if (s.id != except && s.present) best = std::max(best, s.score);
    return best;
}

// Whether a score that has just grown ends the game: it reaches the preset
// limit, or, once the game is to end, it leads alone.
bool Game::limit_reached(int score, int rival, int limit) const {
    if (ending_ != Ending::Limit) return false;
    if (preset_limit_) return score >= limit;
    return finishing_ && score > rival;
}

void Game::finish(const std::string& reason) {
    if (over_) return;
    if (settings_.type == GameType::Domination) {
        advance_points();
        domination_scores(true);
    }
    for (Slot& s : slots_)
        if (s.present && !s.powerup.empty()) powerup_off(s);
    emit(t_, tabbed("game_end", reason));
    end_ = t_;
    over_ = true;
    if (settings_.addon)
        for (Slot& s : slots_)
            if (s.present) {
                end_spree(s);
                end_chain(s);
            }

    // The limits that the header announces.
    int max_score = leader_score(-1);
    int max_team = std::max(team_score_[0], team_score_[1]);
    bool limit = ending_ == Ending::Limit;
    double minutes = std::ceil((end_ - start_) / 60.0);
    if (ending_ != Ending::TimeLimit) time_limit_ = rng_.chance(0.5) ? 0 : int(minutes) + rng_.range(3, 10);
    switch (settings_.type) {
        case GameType::DeathMatch:
            if (!limit && !preset_limit_) frag_limit_ = rng_.chance(0.3) ? 0 : nice_limit_above(max_score);
            break;
        case GameType::TeamGame:
            frag_limit_ = nice_limit_above(max_score);
            if (!limit && !preset_limit_) goal_team_score_ = nice_limit_above(max_team);
            break;
        case GameType::CaptureTheFlag:
            if (!limit && !preset_limit_) goal_team_score_ = max_team + rng_.range(1, 3);
            break;
        case GameType::Domination:
            if (!limit && !preset_limit_) goal_team_score_ = nice_limit_above(int(std::max(points_[0], points_[1])));
            break;
        case GameType::Assault:
            if (ending_ != Ending::TimeLimit) time_limit_ = int(minutes) + rng_.range(1, 5);
            break;
        case GameType::LastManStanding: {
            int most_deaths = 0;
            for (const Slot& s : slots_) most_deaths = std::max(most_deaths, s.deaths);
            frag_limit_ = eliminating_ ? lives_ : most_deaths + rng_.range(2, 6);
            break;
        }
    }
}

void Game::pings() {
    for (const Slot& s : slots_) {
        if (!s.present) continue;
        int ping = s.who->ping > 0 ? std::max(5, s.who->ping + rng_.range(-15, 25)) : 0;
        emit(t_, tabbed("player", "Ping", s.id, ping));
    }
    at(30.0 * (std::floor(t_ / 30.0 + 0.5) + 1) + rng_.uniform(-0.01, 0.02), [this] { pings(); });
}

void Game::pickup() {
    std::vector<int> ids = active();
    if (ids.empty()) return;
    bool standing = settings_.type == GameType::LastManStanding;
    grab(slots_[std::size_t(rng_.pick(ids))], pick_weighted(rng_, standing ? kStandingPickups : kPickups));
}

void Game::grab(Slot& s, const std::string& item) {
    // An add-on only renames what is logged; the game goes on as before.
    if (settings_.mods && rng_.chance(kModPickupShare))
        emit(t_, tabbed("item_get", pick_weighted(rng_, kModItems), s.id));
    else
        emit(t_, tabbed("item_get", item, s.id));
    if (is_weapon(item)) {
        s.weapon = item;
        if (const char* ammo = ammo_for(item); ammo != nullptr && rng_.chance(0.5)) {
            int id = s.id;
            std::string ammo_name = ammo;
            at(t_ + rng_.uniform(0.3, 1.5), [this, id, ammo_name] {
                if (slots_[std::size_t(id)].present) emit(t_, tabbed("item_get", ammo_name, id));
            });
        }
    }
    if ((item == "Damage Amplifier" || item == "Invisibility") && s.powerup.empty()) {
        s.powerup = item;
        int serial = ++s.powerup_serial;
        emit(t_, tabbed("item_activate", item, s.id));
        int id = s.id;
        at(t_ + (item == "Damage Amplifier" ? 30.0 : 45.0), [this, id, serial] {
            Slot& owner = slots_[std::size_t(id)];
            if (owner.present && owner.powerup_serial == serial && !owner.powerup.empty()) powerup_off(owner);
        });
    }
}

void Game::powerup_off(Slot& s) {
    emit(t_, tabbed("item_deactivate", s.powerup, s.id));
    s.powerup.clear();
}

void Game::die(Slot& victim) {
    ++victim.deaths;
    if (!victim.powerup.empty()) powerup_off(victim);
    if (eliminating_ && victim.deaths >= lives_) victim.out = true;
    if (settings_.type == GameType::LastManStanding) {
        victim.weapon = pick_weighted(rng_, kArsenal);
        return;
    }
    victim.weapon = "Enforcer";
    // After the respawn the first thing a player looks for is a real weapon.
    int id = victim.id;
    at(t_ + rng_.uniform(1.5, 6), [this, id] {
        Slot& s = slots_[std::size_t(id)];
        if (s.present && s.weapon == "Enforcer") grab(s, pick_weighted(rng_, kRespawnWeapons));
    });
}

void Game::kill() {
    std::vector<int> ids = active();
    if (ids.size() < 2) return;
    // A player who has found a real weapon wins more fights.
    std::vector<double> aim;
    for (int id : ids) {
        const Slot& s = slots_[std::size_t(id)];
        aim.push_back(s.who->aim * (s.weapon == "Enforcer" && settings_.type != GameType::LastManStanding ? 0.3 : 1.0));
    }
    int killer_id = ids[std::size_t(pick_index(rng_, aim))];
    if (finishing_ && ending_ == Ending::Limit && !preset_limit_ && !info_.team_game && rng_.chance(0.5)) {
        // Near the end the leader is the one who scores.
        for (int id : ids)
            if (slots_[std::size_t(id)].score > slots_[std::size_t(killer_id)].score) killer_id = id;
    }
    Slot& killer = slots_[std::size_t(killer_id)];
    bool teamkill = info_.team_game && rng_.chance(teamkill_chance_);
    std::vector<int> victims;
    std::vector<double> weights;
    for (int id : ids) {
        const Slot& v = slots_[std::size_t(id)];
        if (id == killer_id) continue;
        if (info_.team_game && (v.team == killer.team) != teamkill) continue;
        victims.push_back(id);
        // Flag carriers draw the fire; when a team is about to win, its own
        // carrier gets through and the other team's one is hunted down.
        double weight = 1.0;
        if (id == carrier_[0] || id == carrier_[1]) {
            weight = 1.5;
            bool leading = v.team < 2 && team_score_[v.team] > team_score_[1 - v.team];
            if (finishing_) weight = leading ? 0.3 : 3.0;
        }
        weights.push_back(weight / v.who->aim);
    }
    if (victims.empty()) return;
    Slot& victim = slots_[std::size_t(victims[std::size_t(pick_index(rng_, weights))])];

    std::string weapon = killer.weapon;
    if (settings_.type == GameType::LastManStanding)
        weapon = killer.weapon = pick_weighted(rng_, kArsenal);
    else if (rng_.chance(0.05))
        weapon = rng_.chance(0.7) ? "Enforcer" : "Impact Hammer";
    else if (rng_.chance(0.005))
        weapon = "None";  // the killer's rocket outlived him
    std::string damage = damage_type(rng_, weapon);
    bool headshot = weapon == "Sniper Rifle" && rng_.chance(0.35);
    if (headshot) damage = "Decapitated";

    drop_flag(victim.id);
    if (headshot) emit(t_, tabbed("headshot", killer.id, victim.id));
    const std::string logged = settings_.mods && rng_.chance(kModKillShare) ? pick_weighted(rng_, kModWeapons) : weapon;
    emit(t_, tabbed(teamkill ? "teamkill" : "kill", killer.id, logged, victim.id, victim.weapon, damage));
    if (settings_.addon) addon_kill(killer, victim, teamkill);

    if (teamkill) {
        ++killer.teamkills;
        --killer.score;
        if (settings_.type == GameType::TeamGame && killer.team < 2) --team_score_[killer.team];
    } else {
        ++killer.kills;
        ++killer.score;
        ++killer.frags_by_weapon[weapon];
        if (settings_.type == GameType::TeamGame && killer.team < 2) ++team_score_[killer.team];
    }
    die(victim);

    if (eliminating_ && active().size() <= 1) {
        finish("lastmanstanding");
        return;
    }
    if (teamkill) return;
    if (settings_.type == GameType::DeathMatch && limit_reached(killer.score, leader_score(killer.id), frag_limit_)) {
        frag_limit_ = killer.score;
        finish("fraglimit");
    } else if (settings_.type == GameType::TeamGame && killer.team < 2 &&
               limit_reached(team_score_[killer.team], team_score_[1 - killer.team], goal_team_score_)) {
        goal_team_score_ = team_score_[killer.team];
        finish("teamscorelimit");
    }
}

// The add-on's view of a kill: the victim's spree ends (whoever killed him),
// and a kill of an enemy counts for the killer's spree and chain, a chain
// going on while each kill comes less than 3 seconds after the one before.
void Game::addon_kill(Slot& killer, Slot& victim, bool teamkill) {
    end_spree(victim);
    if (teamkill) return;
    if (!first_blood_) {
        first_blood_ = true;
        emit(t_, tabbed("first_blood", killer.id));
    }
    std::string stamp = fixed(t_, 2);
    stamp.erase(stamp.find('.'), 1);
    const long long now = std::stoll(stamp);
    if (killer.chain > 0 && now - killer.last_kill < 300) {
        ++killer.chain;
    } else {
        end_chain(killer);
        killer.chain = 1;
    }
    killer.last_kill = now;
    ++killer.spree;
}

void Game::end_spree(Slot& s) {
    static const char* const codes[] = {"spree_kill", "spree_rampage", "spree_dom", "spree_uns", "spree_god"};
    if (s.spree >= 5) emit(t_, tabbed("spree", codes[std::min(s.spree, 25) / 5 - 1], s.id));
    s.spree = 0;
}

void Game::end_chain(Slot& s) {
    static const char* const codes[] = {"spree_dbl", "spree_mult", "spree_ult", "spree_mon"};
    if (s.chain >= 2) emit(t_, tabbed("spree", codes[std::min(s.chain, 5) - 2], s.id));
    s.chain = 0;
}

void Game::suicide() {
    std::vector<int> ids = active();
    if (ids.empty()) return;
    Slot& s = slots_[std::size_t(rng_.pick(ids))];
    std::string damage = "Fell", cause = "None";
    if (s.weapon == "Rocket Launcher" || s.weapon == "Flak Cannon" || s.weapon == "GES Bio Rifle" ||
        s.weapon == "Redeemer") {
        damage = damage_type(rng_, s.weapon);
        cause = "Self";
    } else if (rng_.chance(0.25)) {
        damage = rng_.chance(0.5) ? "Drowned" : "Burned";
    }
    drop_flag(s.id);
    emit(t_, tabbed("suicide", s.id, s.weapon, damage, cause));
    ++s.suicides;
    --s.score;
    if (settings_.type == GameType::TeamGame && s.team < 2) --team_score_[s.team];
    die(s);
    if (eliminating_ && active().size() <= 1) finish("lastmanstanding");
}

void Game::typing() {
    std::vector<int> ids = present_humans();
    if (ids.empty()) return;
    int id = rng_.pick(ids);
    emit(t_, tabbed("typing", "True", id));
    at(t_ + rng_.uniform(1.0, 8.0), [this, id] {
        if (slots_[std::size_t(id)].present) emit(t_, tabbed("typing", "False", id));
    });
}

void Game::translocator() {
    std::vector<int> ids = active();
    if (ids.empty()) return;
    int id = rng_.pick(ids);
    emit(t_, tabbed("throw_translocator", id));
    double roll = rng_.real();
    if (roll < 0.05) return;  // thrown but never used
    at(t_ + rng_.uniform(0.3, 1.5), [this, id, roll] {
        if (!slots_[std::size_t(id)].present || slots_[std::size_t(id)].out) return;
        emit(t_, tabbed(roll < 0.1 ? "translocate_fail" : "translocate", id));
    });
}

// Capture the Flag: the flag of team f is taken by a player of team 1-f.
void Game::flag_event() {
    std::vector<int> ids = active();
    int flag = rng_.below(2);
    if (finishing_ && team_score_[0] != team_score_[1] && rng_.chance(0.75))
        flag = team_score_[0] > team_score_[1] ? 1 : 0;  // the leading team presses for the last capture
    std::vector<int> raiders, defenders;
    for (int id : ids) (slots_[std::size_t(id)].team == flag ? defenders : raiders).push_back(id);
    if (flag_[flag] == Flag::Home && !raiders.empty()) {
        int id = rng_.pick(raiders);
        if (id == carrier_[1 - flag]) return;
        emit(t_, tabbed("flag_taken", id, flag));
        flag_[flag] = Flag::Carried;
        carrier_[flag] = id;
        at(t_ + rng_.uniform(8, finishing_ ? 15 : 30), [this, id] { capture_attempt(id); });
    } else if (flag_[flag] == Flag::Dropped) {
        if (!defenders.empty() && rng_.chance(0.6)) {
            emit(t_, tabbed("flag_returned", rng_.pick(defenders), flag));
            flag_[flag] = Flag::Home;
            ++flag_serial_[flag];
        } else if (!raiders.empty()) {
            int id = rng_.pick(raiders);
            if (id == carrier_[1 - flag]) return;
            emit(t_, tabbed("flag_pickedup", id, flag));
            flag_[flag] = Flag::Carried;
            carrier_[flag] = id;
            ++flag_serial_[flag];
            at(t_ + rng_.uniform(6, finishing_ ? 12 : 25), [this, id] { capture_attempt(id); });
        }
    }
}

// A carrier who dies or leaves drops the flag; unless somebody picks it up
// or returns it, it goes home by itself after 25 seconds.
void Game::drop_flag(int id) {
    for (int flag = 0; flag < 2; ++flag) {
        if (carrier_[flag] != id) continue;
        emit(t_, tabbed("flag_dropped", id, flag));
        flag_[flag] = Flag::Dropped;
        carrier_[flag] = -1;
        int serial = ++flag_serial_[flag];
        at(t_ + 25.0, [this, flag, serial] { flag_return_timeout(flag, serial); });
    }
}

void Game::flag_return_timeout(int flag, int serial) {
    if (flag_[flag] != Flag::Dropped || flag_serial_[flag] != serial) return;
    emit(t_, tabbed("flag_returned_timeout", flag));
    flag_[flag] = Flag::Home;
}

void Game::capture_attempt(int carrier) {
    int flag = carrier_[0] == carrier ? 0 : carrier_[1] == carrier ? 1 : -1;
    if (flag < 0 || over_) return;
    if (flag_[1 - flag] != Flag::Home) {  // his own flag must be at home
        at(t_ + rng_.uniform(5, 15), [this, carrier] { capture_attempt(carrier); });
        return;
    }
    Slot& s = slots_[std::size_t(carrier)];
    emit(t_, tabbed("flag_captured", carrier, flag));
    flag_[flag] = Flag::Home;
    carrier_[flag] = -1;
    s.score += 7;
    int team = 1 - flag;
    ++team_score_[team];
    if (limit_reached(team_score_[team], team_score_[flag], goal_team_score_)) {
        goal_team_score_ = team_score_[team];
        finish("teamscorelimit");
    }
}

// Domination: every point that a team holds gives it a point each 5 seconds,
// and the same to the player who took it.
void Game::advance_points() {
    double dt = t_ - points_time_;
    points_time_ = t_;
    for (std::size_t i = 0; i < point_owner_.size(); ++i) {
        if (point_owner_[i] < 0) continue;
        points_[point_owner_[i]] += dt * 0.2;
        if (point_holder_[i] >= 0) slots_[std::size_t(point_holder_[i])].points += dt * 0.2;
    }
}

void Game::point_capture() {
    std::vector<int> ids = active();
    if (ids.empty() || point_owner_.empty()) return;
    Slot& s = slots_[std::size_t(rng_.pick(ids))];
    int point = rng_.below(int(point_owner_.size()));
    if (point_owner_[std::size_t(point)] == s.team) return;
    advance_points();
    emit(t_, tabbed("controlpoint_capture", map_->spots[std::size_t(point)], s.id));
    point_owner_[std::size_t(point)] = s.team;
    point_holder_[std::size_t(point)] = s.id;
}

void Game::domination_tick() {
    advance_points();
    int lead = points_[0] >= points_[1] ? 0 : 1;
    if (limit_reached(int(points_[lead]), int(points_[1 - lead]), goal_team_score_)) {
        if (preset_limit_) points_[lead] = goal_team_score_;  // the game stops counting at the limit
        goal_team_score_ = int(points_[lead]);
        finish("teamscorelimit");
        return;
    }
    domination_scores(++domination_ticks_ % 2 == 0);
    at(t_ + 15, [this] { domination_tick(); });
}

void Game::domination_scores(bool players) {
    for (int team = 0; team < 2; ++team) emit(t_, tabbed("dom_score_update", team, int(points_[team])));
    if (players)
        for (const Slot& s : slots_)
            if (s.present) emit(t_, tabbed("dom_playerscore_update", s.id, int(s.points)));
}

void Game::objective() {
    if (objectives_done_ >= map_->spots.size()) return;
    std::vector<int> attackers;
    for (int id : active())
        if (slots_[std::size_t(id)].team == attackers_) attackers.push_back(id);
    if (attackers.empty()) return;
    int id = rng_.pick(attackers);
    emit(t_, tabbed("assault_obj", id, map_->spots[objectives_done_]));
    slots_[std::size_t(id)].score += 10;
    if (++objectives_done_ == map_->spots.size()) finish("Assault succeeded!");
}

// The id of the player who joined, or -1.
int Game::join(const Person& who, bool reconnect) {
    if (slots_.size() >= 16) return -1;  // the log's ids end at 15
    bool playing = false;
    for (const Slot& s : slots_) playing = playing || (s.present && s.who == &who);
    if (playing) return -1;
    Slot& s = add_slot(who, info_.team_game ? smaller_team() : 255, t_);
    std::vector<std::string> lines;
    player_block(t_, s, false, !reconnect && !who.bot, lines);
    for (const std::string& line : lines) {
        events_.push_back(line);
        bytes_ += settings_.encoding.line_bytes(line.size());
    }
    return s.id;
}

void Game::leave(int id) {
    Slot& s = slots_[std::size_t(id)];
    if (!s.present) return;
    // Somebody has to stay to play, in team games on either side.
    int side = 0;
    for (int other : active()) side += slots_[std::size_t(other)].team == s.team;
    if (!s.out && (active().size() <= 2 || (info_.team_game && side <= 1))) return;
    drop_flag(id);
    if (!s.powerup.empty()) powerup_off(s);
    for (int& holder : point_holder_)
        if (holder == id) holder = -1;
    emit(t_, tabbed("player", "Disconnect", id));
    s.present = false;
    if (settings_.addon) {
        end_spree(s);
        end_chain(s);
    }
}

// A Last Man Standing game ends when one player is left, so its length is
// steered by the number of lives instead of by the clock.
std::unique_ptr<Game> build_game(const GameSettings& settings, const Roster& roster) {
    if (settings.type != GameType::LastManStanding) return std::make_unique<Game>(settings, roster, 0);
    Ending ending = settings.ending;
    if (ending == Ending::Random) {
        Rng rng(settings.seed ^ 0x6c6d73ull);
        ending = rng.chance(0.8) ? Ending::Limit : Ending::TimeLimit;
    }
    GameSettings fixed_ending = settings;
    fixed_ending.ending = ending;
    if (ending != Ending::Limit) return std::make_unique<Game>(fixed_ending, roster, 0);
    Rng rng(settings.seed ^ 0x6c697665ull);
    int lives = settings.size > 0 ? std::max(1, int(settings.size / 6000)) : rng.range(4, 12);
    auto best = std::make_unique<Game>(fixed_ending, roster, lives);
    if (settings.size <= 0) return best;
    long last = best->bytes();
    for (int attempt = 0; attempt < 4; ++attempt) {
        double ratio = double(settings.size) / double(std::max(last, 1L));
        int next_lives = std::max(1, int(std::lround(lives * ratio)));
        if ((ratio > 0.95 && ratio < 1.05) || next_lives == lives) break;
        lives = next_lives;
        auto next = std::make_unique<Game>(fixed_ending, roster, lives);
        last = next->bytes();
        if (std::abs(last - settings.size) < std::abs(best->bytes() - settings.size)) best = std::move(next);
    }
    return best;
}

}  // namespace

GameLog play_game(const GameSettings& settings, const Roster& roster) {
    std::unique_ptr<Game> game = build_game(settings, roster);
    return GameLog{game->text(), game->end_time()};
}

}  // namespace loggen
