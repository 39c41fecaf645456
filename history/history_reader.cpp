#include "history_reader.h"

#include <charconv>
#include <iterator>
#include <optional>
#include <unordered_map>

#include "game_columns.h"
#include "history_store.h"
#include "latin1_text.h"
#include "sqlite_handle.h"

namespace {

Text latin1(const std::string& utf8) { return Text(latin1_of_utf8(utf8)); }

// The start as the history keeps it ("2011-03-27 21:47:25"); a start taken
// from the file's time has its date alone, as the analyser shows it.
LocalTime start_of(const std::string& text, bool from_file) {
    int n[6] = {};  // year, month, day, hour, minute, second
    const char* at = text.data();
    const char* const end = at + text.size();
    for (int k = 0; k < 6; ++k) {
        if (k > 0) {
            if (at == end) return {};
            ++at;
        }
        const auto [next, error] = std::from_chars(at, end, n[k]);
        if (error != std::errc{}) return {};
        at = next;
    }
    return from_file ? local_time(n[0], n[1], n[2]) : local_time(n[0], n[1], n[2], n[3], n[4]);
}

// A history of design 1 keeps no seconds: each player counts as in the
// whole game until an import fills them in.
std::string player_columns(int design) {
    std::string sql = "SELECT slot, name_id, human, skill, team, crowned, fav_weapon, fav_victim, ping, ";
    sql += design >= 2 ? "seconds" : "NULL";
    for (const PlayerFigureColumn& column : PLAYER_FIGURES) sql += std::string(", ") + column.name;
    return sql + " FROM game_player WHERE game_id = ?1 ORDER BY slot";
}

constexpr int FIRST_FIGURE = 10;  // the column of the first of PLAYER_FIGURES

// Every game has a start: the import gives a log without one its file's
// time. In the order of the starts' index, so that no query sorts the
// whole history in memory.
constexpr const char* GAME_COLUMNS =
    "SELECT id, key, map, game_type, type_name, server_name, start_local, start_from_file, evening, length, "
    "end_reason, teams_counted, winner_team FROM game ";

// The moments and accuracy of a game's players as the history keeps them.
void read_moments(Statement& moments, Statement& accuracy, long long game_id, GameRecord& game) {
    const long long players = static_cast<long long>(game.players.size());
    moments.bind(1, game_id);
    while (moments.step()) {
        const long long slot = moments.integer(0);
        if (slot < 0 || slot >= players) continue;
        PlayerMoments& m = game.players[static_cast<std::size_t>(slot)].moments;
        int* const figures[] = {
            &m.first_blood,     &m.sprees[0],     &m.sprees[1],      &m.sprees[2],      &m.sprees[3],    &m.sprees[4],
            &m.best_spree,      &m.multis[0],     &m.multis[1],      &m.multis[2],      &m.multis[3],    &m.flags_taken,
            &m.flags_picked_up, &m.flags_dropped, &m.flags_returned, &m.flags_captured, &m.carrier_kills};
        for (std::size_t k = 0; k < std::size(figures); ++k)
            *figures[k] = static_cast<int>(moments.integer(1 + static_cast<int>(k)));
    }
    moments.reset();
    accuracy.bind(1, game_id);
    while (accuracy.step()) {
        const long long slot = accuracy.integer(0);
        if (slot < 0 || slot >= players) continue;
        game.accuracy.push_back(
            WeaponAccuracy{static_cast<int>(slot), latin1(accuracy.text(1)), static_cast<int>(accuracy.integer(2)),
                           static_cast<int>(accuracy.integer(3)), static_cast<int>(accuracy.integer(4))});
    }
    accuracy.reset();
}

}  // namespace

void HistoryReader::each_game_listing(const GameFilter& filter, const std::function<void(const GameListing&)>& take) {
    // The first crowned player by place is the winner of a game of single
    // players; a team game names its team. A part of the filter not given
    // is NULL and keeps every game. A player's games are found by his
    // names' index; his names are those whose merges lead to him.
    Statement games(store_.db(),
                    "SELECT g.id, coalesce(substr(g.start_local, 1, 16), '-'), g.map, g.type_name, g.length, "
                    "g.game_type, g.winner_team, "
                    "(SELECT n.name FROM game_player p JOIN name n ON n.id = p.name_id "
                    " WHERE p.game_id = g.id AND p.crowned = 1 ORDER BY p.slot LIMIT 1) "
                    "FROM game g WHERE "
                    "(?1 IS NULL OR g.id IN (SELECT gp.game_id FROM game_player gp WHERE gp.name_id IN "
                    " (SELECT name_id FROM player_name WHERE player_id = "
                    "  (SELECT player_id FROM player_name WHERE name = ?1)))) "
                    "AND (?2 IS NULL OR lower(g.map) = lower(?2) OR lower(g.map) = lower(?2) || '.unr') "
                    "AND (?3 IS NULL OR lower(g.type_name) = lower(?3)) "
                    "AND (?4 IS NULL OR lower(g.server_name) = lower(?4)) "
                    "AND (?5 IS NULL OR g.evening >= ?5) AND (?6 IS NULL OR g.evening <= ?6) "
                    "ORDER BY g.start_local IS NULL, g.start_local, g.id");
    std::optional<std::string> map = filter.map;
    if (map && map->size() > 4) {
        std::string suffix = map->substr(map->size() - 4);
        for (char& c : suffix) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (suffix == ".unr") map->resize(map->size() - 4);
    }
    const std::optional<std::string>* parts[] = {&filter.player, &map,          &filter.type,
                                                 &filter.server, &filter.since, &filter.until};
    for (int k = 0; k < 6; ++k) {
        if (*parts[k])
            games.bind(k + 1, **parts[k]);
        else
            games.bind_null(k + 1);
    }
    GameListing game;
    while (games.step()) {
        game.id = games.integer(0);
        game.start = games.text(1);
        game.map = games.text(2);
        game.type_name = games.text(3);
        game.length = games.integer(4);
        game.type = static_cast<GameType>(games.integer(5));
        game.winner_team = games.is_null(6) ? "" : games.text(6);
        game.winner_name = games.is_null(7) ? "" : games.text(7);
        take(game);
    }
}

bool HistoryReader::has_name(const std::string& name) {
    Statement find(store_.db(), "SELECT 1 FROM name WHERE name = ?1");
    find.bind(1, name);
    return find.step();
}

bool HistoryReader::played_together(long long player, long long other) {
    Statement met(store_.db(),
                  "SELECT 1 FROM game_player x JOIN game_player y ON y.game_id = x.game_id "
                  "WHERE x.name_id IN (SELECT name_id FROM player_name WHERE player_id = ?1) "
                  "AND y.name_id IN (SELECT name_id FROM player_name WHERE player_id = ?2) LIMIT 1");
    met.bind(1, player).bind(2, other);
    return met.step();
}

std::vector<PlayerListing> HistoryReader::player_listings() {
    // A player is a name not merged into another, together with the names
    // merged into it.
    Statement players(store_.db(),
                      "SELECT pn.player_id, player.name, count(DISTINCT gp.game_id), "
                      "coalesce(substr(min(g.start_local), 1, 16), '-'), "
                      "coalesce(substr(max(g.start_local), 1, 16), '-'), "
                      "sum(gp.human = 1), sum(gp.human = 0) "
                      "FROM game_player gp JOIN player_name pn ON pn.name_id = gp.name_id "
                      "JOIN name player ON player.id = pn.player_id JOIN game g ON g.id = gp.game_id "
                      "GROUP BY pn.player_id ORDER BY count(DISTINCT gp.game_id) DESC, player.name");
    // The names merged into each player, read at once: a player's chain of
    // merges is followed once for all of them.
    std::unordered_map<long long, std::vector<std::string>> merged;
    Statement names(store_.db(),
                    "SELECT player_id, name FROM player_name WHERE player_id != name_id ORDER BY player_id, name");
    while (names.step()) merged[names.integer(0)].push_back(names.text(1));
    std::vector<PlayerListing> listed;
    while (players.step()) {
        PlayerListing& p = listed.emplace_back();
        p.id = players.integer(0);
        p.name = players.text(1);
        if (const auto found = merged.find(players.integer(0)); found != merged.end()) p.merged = found->second;
        p.games = players.integer(2);
        p.first = players.text(3);
        p.last = players.text(4);
        p.as_human = players.integer(5);
        p.as_bot = players.integer(6);
    }
    return listed;
}

// FNV-1a over 64 bits: a fingerprint, not a secret.
std::uint64_t fingerprint_more(std::uint64_t state, std::string_view bytes) {
    for (const char c : bytes) state = (state ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    return state;
}
constexpr std::uint64_t FINGERPRINT_START = 0xcbf29ce484222325ull;

struct HistoryReader::Games::Statements {
    Statements(sqlite3* db, int design, const std::vector<HistoryName>& names, const std::string& from)
        : dated(db, (std::string(GAME_COLUMNS) + "WHERE start_local >= ?1 ORDER BY start_local, id").c_str()),
          teams(db, "SELECT team, score FROM game_team WHERE game_id = ?1"),
          steps(db, "SELECT time, team, change FROM team_step WHERE game_id = ?1 ORDER BY position"),
          players(db, player_columns(design).c_str()),
          spells(db, "SELECT slot, team, seconds FROM player_team WHERE game_id = ?1 ORDER BY slot, position"),
          kills(db, "SELECT time, killer, victim, weapon, teamkill FROM kill WHERE game_id = ?1 ORDER BY position") {
        // A history before design 3 keeps no moments: its games show none.
        if (design >= 3) {
            moments.emplace(db,
                            "SELECT slot, first_blood, killing_spree, rampage, dominating, unstoppable, godlike, "
                            "best_spree, double_kill, multi_kill, ultra_kill, monster_kill, flags_taken, "
                            "flags_picked_up, flags_dropped, flags_returned, flags_captured, carrier_kills "
                            "FROM player_moments WHERE game_id = ?1");
            accuracy.emplace(db,
                             "SELECT slot, weapon, shots, hits, damage FROM weapon_accuracy WHERE game_id = ?1 "
                             "ORDER BY slot, position");
        }
        for (const HistoryName& name : names) by_id.emplace(name.id, &name);
        // Every start is after the empty text.
        dated.bind(1, from);
    }
    Statement dated, teams, steps, players, spells, kills;
    std::optional<Statement> moments, accuracy;
    std::unordered_map<long long, const HistoryName*> by_id;
};

HistoryReader::HistoryReader(HistoryStore& store) : store_(store) {
    // The site walks the history's indexes and sorts no whole table: a
    // small page cache serves it, and whatever is sorted goes to disk.
    execute(store.db(), "PRAGMA cache_size = -2048");
    execute(store.db(), "PRAGMA temp_store = FILE");
    execute(store.db(), "BEGIN");
}

HistoryReader::~HistoryReader() { store_.rollback(); }

long long HistoryReader::generation() {
    Statement read(store_.db(), "SELECT CAST(value AS INTEGER) FROM history_meta WHERE key = 'generation'");
    return read.step() ? read.integer(0) : 0;
}

std::vector<HistoryName> HistoryReader::names() {
    std::vector<HistoryName> names;
    Statement read(store_.db(), "SELECT name_id, name, player_id FROM player_name ORDER BY name_id");
    while (read.step()) names.push_back(HistoryName{read.integer(0), read.text(1), read.integer(2)});
    return names;
}

std::uint64_t HistoryReader::merges_fingerprint(const std::vector<HistoryName>& names) {
    std::uint64_t state = FINGERPRINT_START;
    for (const HistoryName& name : names) {
        if (!name.merged()) continue;
        state = fingerprint_more(state, std::to_string(name.id) + ">" + std::to_string(name.player) + ";");
    }
    return state;
}

std::vector<HistoryEvening> HistoryReader::evenings() {
    std::vector<HistoryEvening> evenings;
    Statement read(store_.db(),
                   "SELECT id, key, evening, start_local FROM game WHERE start_local IS NOT NULL "
                   "ORDER BY start_local, id");
    while (read.step()) {
        const std::string date = read.is_null(2) ? std::string() : read.text(2);
        if (evenings.empty() || evenings.back().date != date)
            evenings.push_back(HistoryEvening{date, 0, FINGERPRINT_START, read.text(3)});
        HistoryEvening& evening = evenings.back();
        ++evening.games;
        evening.fingerprint =
            fingerprint_more(evening.fingerprint, std::to_string(read.integer(0)) + ":" + read.text(1) + ";");
    }
    return evenings;
}

HistoryReader::Games HistoryReader::games(unsigned parts, const std::vector<HistoryName>& names,
                                          const std::string& from) {
    return Games(store_, parts, names, from);
}

HistoryReader::Games::Games(HistoryStore& store, unsigned parts, const std::vector<HistoryName>& names,
                            const std::string& from)
    : s_(std::make_unique<Statements>(store.db(), store.design(), names, from)), parts_(parts) {}
HistoryReader::Games::Games(Games&&) noexcept = default;
HistoryReader::Games::~Games() = default;

bool HistoryReader::Games::next() {
    Statements& s = *s_;
    if (!s.dated.step()) return false;
    const Statement& row = s.dated;

    HistoryGame& g = game_;
    GameRecord& game = g.record;
    g.id = row.integer(0);
    g.key = row.text(1);
    game = GameRecord{};
    game.map = latin1(row.text(2));
    game.type = static_cast<GameType>(row.integer(3));
    game.type_name = latin1(row.text(4));
    g.server = row.text(5);
    if (!row.is_null(6)) game.start = start_of(row.text(6), row.integer(7) != 0);
    g.evening = row.is_null(8) ? std::string() : row.text(8);
    game.length = static_cast<int>(row.integer(9));
    game.end_reason = latin1(row.text(10));
    game.teams.counted = row.integer(11) != 0;
    if (!row.is_null(12)) game.teams.winner = latin1(row.text(12));

    s.teams.bind(1, g.id);
    while (s.teams.step()) {
        const long long t = s.teams.integer(0);
        if (t < 0 || t >= MAX_TEAMS) continue;
        game.teams.score[static_cast<std::size_t>(t)] = static_cast<int>(s.teams.integer(1));
        game.teams.playing[static_cast<std::size_t>(t)] = true;
    }
    s.teams.reset();
    if (parts_ & GAME_STEPS) {
        s.steps.bind(1, g.id);
        while (s.steps.step())
            game.teams.steps.push_back(TeamStep{static_cast<int>(s.steps.integer(0)),
                                                static_cast<int>(s.steps.integer(1)),
                                                static_cast<int>(s.steps.integer(2))});
        s.steps.reset();
    }

    g.slots.clear();
    if (parts_ & GAME_PLAYERS) {
        s.players.bind(1, g.id);
        while (s.players.step()) {
            const Statement& p = s.players;
            GamePlayer player;
            HistorySlot slot;
            slot.name_id = p.integer(1);
            const auto name = s.by_id.find(slot.name_id);
            slot.player_id = name == s.by_id.end() ? slot.name_id : name->second->player;
            if (name != s.by_id.end()) player.name = latin1(name->second->name);
            player.is_human = p.is_null(2) ? Species::Unknown : p.integer(2) != 0 ? Species::Human : Species::Bot;
            player.skill = p.is_null(3) ? -1 : static_cast<int>(p.integer(3));
            player.team = latin1(p.text(4));
            player.crowned = p.integer(5) != 0;
            player.fav_weapon = latin1(p.text(6));
            player.fav_victim = latin1(p.text(7));
            player.ping = p.is_null(8) ? -1 : static_cast<int>(p.integer(8));
            slot.seconds = p.is_null(9) ? -1 : static_cast<int>(p.integer(9));
            for (int k = 0; k < PLAYER_FIGURE_COUNT; ++k)
                player.*PLAYER_FIGURES[k].figure = static_cast<int>(p.integer(FIRST_FIGURE + k));
            game.players.push_back(player);
            g.slots.push_back(std::move(slot));
        }
        s.players.reset();
        if (s.moments) read_moments(*s.moments, *s.accuracy, g.id, game);
    }
    if ((parts_ & GAME_SPELLS) && !g.slots.empty()) {
        s.spells.bind(1, g.id);
        while (s.spells.step()) {
            const long long slot = s.spells.integer(0);
            if (slot < 0 || static_cast<std::size_t>(slot) >= g.slots.size()) continue;
            g.slots[static_cast<std::size_t>(slot)].spells.push_back(
                HistorySpell{s.spells.text(1), static_cast<int>(s.spells.integer(2))});
        }
        s.spells.reset();
    }

    g.kills.clear();
    if (parts_ & GAME_KILLS) {
        const int shown = static_cast<int>(game.players.size());
        s.kills.bind(1, g.id);
        while (s.kills.step()) {
            HistoryKill kill;
            kill.time = static_cast<int>(s.kills.integer(0));
            kill.killer = static_cast<int>(s.kills.integer(1));
            kill.victim = s.kills.is_null(2) ? -1 : static_cast<int>(s.kills.integer(2));
            kill.weapon = s.kills.text(3);
            kill.teamkill = s.kills.integer(4) != 0;
            if (kill.killer < 0 || kill.killer >= shown) continue;
            game.kills.push_back(TimedKill{kill.time, kill.killer, kill.victim});
            g.kills.push_back(std::move(kill));
        }
        s.kills.reset();
    }
    return true;
}
