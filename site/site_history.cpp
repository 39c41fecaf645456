#include "site_history.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "history_store.h"
#include "latin1_text.h"
#include "page_file_names.h"

namespace {

// The join from a game's player to the player his name is merged into.
constexpr const char* PLAYER_JOIN = " JOIN player_name pn ON pn.name_id = gp.name_id ";

constexpr std::size_t FAVOURITE_WEAPONS = 5;

void add_game(Totals& to, long long crowned, long long kills, long long deaths, long long suicides, long long score,
              long long seconds) {
    ++to.games;
    to.wins += crowned;
    to.kills += kills;
    to.deaths += deaths;
    to.suicides += suicides;
    to.score += score;
    to.seconds += seconds;
}

SitePlayer* player_of(SiteData& data, long long id) {
    const auto found = data.index.find(id);
    return found == data.index.end() ? nullptr : &data.players[static_cast<std::size_t>(found->second)];
}

// The player of the highest sum; equal sums go to the first player in the
// history's order of names.
template <typename Sums>
std::pair<long long, long long> best_of(const Sums& sums) {
    std::pair<long long, long long> best{-1, 0};  // player id, sum
    for (const auto& [id, sum] : sums)
        if (best.first < 0 || sum > best.second || (sum == best.second && id < best.first)) best = {id, sum};
    return best;
}

// The players' totals, the evenings and the maps in one pass over the games
// in the order of their start, each game's players read by its id: no query
// groups or sorts the rows of the whole history, and what is held grows with
// the players, evenings and maps, never with the games. An evening's games
// follow each other in that order, so only the open evening's sums are kept.
void read_games(HistoryStore& store, SiteData& data) {
    std::unordered_map<long long, long long> player_of_name;
    Statement names(store.db(), "SELECT name_id, player_id FROM player_name");
    while (names.step()) player_of_name[names.integer(0)] = names.integer(1);

    struct PlayerSums {
        bool human = false;
        Totals totals;
        std::map<std::string, Totals> by_type;
        std::vector<std::string> evenings;
    };
    struct MapSums {
        long long games = 0;
        std::unordered_map<long long, long long> wins;  // by player id
    };
    std::map<long long, PlayerSums> players;  // by player id
    std::map<std::string, MapSums> maps;
    std::unordered_map<long long, long long> evening_scores;  // the open evening's, by player id
    std::vector<long long> evening_best;                      // each evening's best player id
    auto close_evening = [&] {
        if (data.evenings.empty()) return;
        const auto [id, score] = best_of(evening_scores);
        data.evenings.back().players = static_cast<long long>(evening_scores.size());
        data.evenings.back().best_score = id < 0 ? 0 : score;
        evening_best.push_back(id);
        evening_scores.clear();
    };

    // Two statements rather than one order, so that both follow the index
    // of the starts.
    constexpr const char* GAME_COLUMNS = "SELECT id, map, type_name, length, evening FROM game ";
    Statement dated(store.db(),
                    (std::string(GAME_COLUMNS) + "WHERE start_local IS NOT NULL ORDER BY start_local, id").c_str());
    Statement undated(store.db(), (std::string(GAME_COLUMNS) + "WHERE start_local IS NULL ORDER BY id").c_str());
    Statement game_players(store.db(),
                           "SELECT name_id, human, crowned, kills, deaths, suicides, score FROM game_player "
                           "WHERE game_id = ?1");
    for (Statement* games : {&dated, &undated}) {
        std::string evening;
        std::string type;
        while (games->step()) {
            MapSums& map = maps[games->text(1)];
            ++map.games;
            type = games->text(2);
            const long long seconds = games->integer(3);
            const bool dated_evening = !games->is_null(4);
            if (dated_evening) {
                evening = games->text(4);
                if (data.evenings.empty() || data.evenings.back().date != evening) {
                    close_evening();
                    data.evenings.push_back(SiteEvening{evening, 0, 0, -1, 0});
                }
                ++data.evenings.back().games;
            } else {
                ++data.undated_games;
            }
            game_players.bind(1, games->integer(0));
            while (game_players.step()) {
                const auto named = player_of_name.find(game_players.integer(0));
                if (named == player_of_name.end()) continue;
                const long long id = named->second;
                PlayerSums& player = players[id];
                if (!game_players.is_null(1) && game_players.integer(1) == 1) player.human = true;
                const long long crowned = game_players.integer(2);
                const long long score = game_players.integer(6);
                for (Totals* to : {&player.totals, &player.by_type[type]})
                    add_game(*to, crowned, game_players.integer(3), game_players.integer(4), game_players.integer(5),
                             score, seconds);
                map.wins[id] += crowned;
                if (dated_evening) {
                    if (player.evenings.empty() || player.evenings.back() != evening)
                        player.evenings.push_back(evening);
                    evening_scores[id] += score;
                }
            }
            game_players.reset();
        }
    }
    close_evening();

    Statement name_of(store.db(), "SELECT name FROM name WHERE id = ?1");
    PageFileNames files;
    for (auto& [id, sums] : players) {
        SitePlayer player;
        player.id = id;
        name_of.bind(1, id);
        if (name_of.step()) player.name = name_of.text(0);
        name_of.reset();
        player.bot = !sums.human;
        player.totals = sums.totals;
        player.by_type = std::move(sums.by_type);
        player.evenings = std::move(sums.evenings);
        player.file = files.take(player.name);
        data.index[id] = static_cast<int>(data.players.size());
        data.players.push_back(std::move(player));
    }
    for (std::size_t e = 0; e < data.evenings.size(); ++e)
        if (const SitePlayer* best = player_of(data, evening_best[e]))
            data.evenings[e].best = static_cast<int>(best - data.players.data());

    for (const auto& [name, sums] : maps) {
        SiteMap map{name, sums.games, -1, 0};
        const auto [id, wins] = best_of(sums.wins);
        if (wins > 0)
            if (const SitePlayer* best = player_of(data, id)) {
                map.best = static_cast<int>(best - data.players.data());
                map.best_wins = wins;
            }
        data.maps.push_back(std::move(map));
    }
    std::stable_sort(data.maps.begin(), data.maps.end(),
                     [](const SiteMap& a, const SiteMap& b) { return a.games > b.games; });
}

void read_merged_names(HistoryStore& store, SiteData& data) {
    Statement merged(store.db(),
                     "SELECT alias.player_id, name.name FROM alias JOIN name ON name.id = alias.name_id ORDER BY 1, 2");
    while (merged.step())
        if (SitePlayer* p = player_of(data, merged.integer(0))) p->merged.push_back(merged.text(1));
}

// Favourite weapons and duels in one pass over the kills, in the order the
// history keeps them, beside the players of each game: grouping the rows
// in SQL would sort millions of them.
void read_kills(HistoryStore& store, SiteData& data) {
    std::unordered_map<long long, int> player_of_name;
    Statement names(store.db(), "SELECT name_id, player_id FROM player_name");
    while (names.step()) {
        const auto found = data.index.find(names.integer(1));
        if (found != data.index.end()) player_of_name[names.integer(0)] = found->second;
    }
    Statement slots(store.db(), "SELECT game_id, slot, name_id FROM game_player ORDER BY game_id, slot");
    Statement kills(store.db(), "SELECT game_id, killer, victim, weapon FROM kill ORDER BY game_id, position");

    const std::size_t players = data.players.size();
    std::vector<std::string> weapon_names;
    std::unordered_map<std::string, std::size_t> weapon_of;
    std::vector<std::vector<long long>> weapon_kills(players);
    std::unordered_map<unsigned long long, long long> pair_kills;

    std::vector<int> slot_player;  // the site's player of each slot of the game read
    long long game = -1;
    bool slot_row = slots.step();
    std::string weapon;
    while (kills.step()) {
        if (kills.integer(0) != game) {
            game = kills.integer(0);
            slot_player.clear();
            while (slot_row && slots.integer(0) < game) slot_row = slots.step();
            while (slot_row && slots.integer(0) == game) {
                const auto slot = static_cast<std::size_t>(slots.integer(1));
                if (slot_player.size() <= slot) slot_player.resize(slot + 1, -1);
                const auto found = player_of_name.find(slots.integer(2));
                slot_player[slot] = found == player_of_name.end() ? -1 : found->second;
                slot_row = slots.step();
            }
        }
        auto player_at = [&](int column) {
            if (kills.is_null(column)) return -1;
            const long long slot = kills.integer(column);
            return slot >= 0 && static_cast<std::size_t>(slot) < slot_player.size()
                       ? slot_player[static_cast<std::size_t>(slot)]
                       : -1;
        };
        // Kills of others (team kills too), not of oneself.
        if (!kills.is_null(2) && kills.integer(1) == kills.integer(2)) continue;
        const int killer = player_at(1);
        const int victim = player_at(2);
        if (killer < 0) continue;
        weapon = kills.text(3);
        auto [at, added] = weapon_of.try_emplace(weapon, weapon_names.size());
        if (added) weapon_names.push_back(weapon);
        std::vector<long long>& counts = weapon_kills[static_cast<std::size_t>(killer)];
        if (counts.size() <= at->second) counts.resize(at->second + 1, 0);
        ++counts[at->second];
        if (victim >= 0 && victim != killer)
            ++pair_kills[static_cast<unsigned long long>(killer) * players + static_cast<unsigned long long>(victim)];
    }

    // Most kills first; equal ones by the weapon's name.
    std::vector<std::size_t> by_name(weapon_names.size());
    for (std::size_t w = 0; w < by_name.size(); ++w) by_name[w] = w;
    std::sort(by_name.begin(), by_name.end(),
              [&](std::size_t a, std::size_t b) { return weapon_names[a] < weapon_names[b]; });
    for (std::size_t p = 0; p < players; ++p) {
        SitePlayer& player = data.players[p];
        for (std::size_t w : by_name)
            if (w < weapon_kills[p].size() && weapon_kills[p][w] > 0)
                player.weapons.push_back(Count{weapon_names[w], weapon_kills[p][w]});
        std::stable_sort(player.weapons.begin(), player.weapons.end(),
                         [](const Count& a, const Count& b) { return a.count > b.count; });
        if (player.weapons.size() > FAVOURITE_WEAPONS) player.weapons.resize(FAVOURITE_WEAPONS);
    }

    // Each side of a pair keeps both counts.
    std::vector<std::unordered_map<int, Duel>> duels(players);
    for (const auto& [pair, count] : pair_kills) {
        const auto killer = static_cast<int>(pair / players);
        const auto victim = static_cast<int>(pair % players);
        Duel& mine = duels[static_cast<std::size_t>(killer)].try_emplace(victim, Duel{victim, 0, 0}).first->second;
        mine.kills += count;
        Duel& theirs = duels[static_cast<std::size_t>(victim)].try_emplace(killer, Duel{killer, 0, 0}).first->second;
        theirs.deaths += count;
    }
    for (std::size_t p = 0; p < players; ++p) {
        std::vector<Duel>& list = data.players[p].duels;
        for (const auto& [other, duel] : duels[p]) list.push_back(duel);
        std::sort(list.begin(), list.end(), [](const Duel& a, const Duel& b) {
            if (a.kills + a.deaths != b.kills + b.deaths) return a.kills + a.deaths > b.kills + b.deaths;
            return a.other < b.other;
        });
    }
}

// The number of a game on its evening's page: its place among the
// evening's games by start.
int number_on_evening(HistoryStore& store, long long game, const std::string& evening) {
    Statement count(store.db(),
                    "SELECT count(*) FROM game o, game g WHERE g.id = ?1 AND o.evening = ?2 AND "
                    "(o.start_local < g.start_local OR (o.start_local = g.start_local AND o.id <= g.id))");
    count.bind(1, game).bind(2, evening);
    return count.step() ? static_cast<int>(count.integer(0)) : 0;
}

// The first row of a query of value, player, game, evening, map.
GameFeat feat(HistoryStore& store, SiteData& data, const std::string& sql) {
    GameFeat found;
    Statement best(store.db(), sql.c_str());
    if (!best.step() || best.integer(0) <= 0) return found;
    found.found = true;
    found.value = best.integer(0);
    if (!best.is_null(1)) {
        const auto player = data.index.find(best.integer(1));
        if (player != data.index.end()) found.player = player->second;
    }
    if (!best.is_null(3)) {
        found.evening = best.text(3);
        found.number = number_on_evening(store, best.integer(2), found.evening);
    }
    found.map = best.text(4);
    return found;
}

// The best value is found first, without the names: joining every row of
// the players to their names costs more than the rest of the query.
std::string player_feat(const char* value, const char* where) {
    const std::string games = std::string(" FROM game_player gp JOIN game g ON g.id = gp.game_id WHERE ") + where;
    return std::string("SELECT ") + value + ", pn.player_id, g.id, g.evening, g.map FROM game_player gp" + PLAYER_JOIN +
           "JOIN game g ON g.id = gp.game_id WHERE " + where + " AND " + value + " = (SELECT max(" + value + ")" +
           games + ") ORDER BY g.start_local, g.id LIMIT 1";
}

void read_records(HistoryStore& store, SiteData& data) {
    SiteRecords& r = data.records;
    r.most_frags = feat(store, data, player_feat("gp.net_kills", "1"));
    r.best_killrate = feat(store, data, player_feat("gp.killrate", "g.length >= 300"));
    r.best_ts = feat(store, data, player_feat("gp.multikill", "1"));
    r.most_captures = feat(store, data, player_feat("gp.flags_captured", "g.game_type = 8"));
    r.longest = feat(store, data,
                     "SELECT g.length, NULL, g.id, g.evening, g.map FROM game g "
                     "ORDER BY 1 DESC, g.start_local, g.id LIMIT 1");

    Statement games(store.db(), "SELECT count(*), coalesce(sum(length), 0) FROM game");
    if (games.step()) {
        data.totals.games = games.integer(0);
        data.totals.seconds = games.integer(1);
    }
    Statement kills(store.db(),
                    "SELECT coalesce(sum(kills), 0), coalesce(sum(deaths), 0), coalesce(sum(suicides), 0) "
                    "FROM game_player");
    if (kills.step()) {
        data.totals.kills = kills.integer(0);
        data.totals.deaths = kills.integer(1);
        data.totals.suicides = kills.integer(2);
    }
}

LocalTime start_of(const std::string& text, bool from_file) {
    int n[6] = {};  // year, month, day, hour, minute, second
    if (!read_numbers(text, n)) return {};
    // A start taken from the file's time: the analyser shows the date alone.
    return from_file ? local_time(n[0], n[1], n[2]) : local_time(n[0], n[1], n[2], n[3], n[4]);
}

Text latin1(const std::string& utf8) { return Text(latin1_of_utf8(utf8)); }

}  // namespace

SiteData read_site_data(HistoryStore& store) {
    SiteData data;
    read_games(store, data);
    read_merged_names(store, data);
    read_kills(store, data);
    read_records(store, data);
    return data;
}

EveningGames::EveningGames(HistoryStore& store, const SiteData& data)
    : data_(data),
      games_(store.db(),
             "SELECT id, map, game_type, type_name, start_local, start_from_file, length, end_reason, "
             "teams_counted, winner_team, evening FROM game WHERE start_local IS NOT NULL AND evening IS NOT NULL "
             "ORDER BY start_local, id"),
      teams_(store.db(), "SELECT team, score FROM game_team WHERE game_id = ?1"),
      steps_(store.db(), "SELECT time, team, change FROM team_step WHERE game_id = ?1 ORDER BY position"),
      players_(store.db(),
               ("SELECT name.name, gp.human, gp.skill, gp.team, gp.place, gp.crowned, gp.score, gp.net_kills, "
                "gp.kills, gp.deaths, gp.suicides, gp.teamkill_rate, gp.killrate, gp.multikill, gp.lurch, "
                "gp.quads, gp.headshots, gp.fav_weapon, gp.fav_weapon_kills, gp.fav_victim, "
                "gp.fav_victim_kills, gp.flags_captured, gp.flags_returned, gp.ping, pn.player_id "
                "FROM game_player gp JOIN name ON name.id = gp.name_id" +
                std::string(PLAYER_JOIN) + "WHERE gp.game_id = ?1 ORDER BY gp.slot")
                   .c_str()),
      kills_(store.db(), "SELECT time, killer, victim FROM kill WHERE game_id = ?1 ORDER BY position") {
    row_ = games_.step();
}

void EveningGames::each_game(const std::string& evening, const EveningGame& take) {
    Statement& games = games_;
    Statement& teams = teams_;
    Statement& steps = steps_;
    Statement& players = players_;
    Statement& kills = kills_;
    const SiteData& data = data_;
    while (row_ && games.text(10) < evening) row_ = games.step();
    GameRecord game;
    std::vector<int> site_players;
    int number = 0;
    for (; row_ && games.text(10) == evening; row_ = games.step()) {
        const long long id = games.integer(0);
        game = GameRecord{};
        game.number = ++number;
        game.map = latin1(games.text(1));
        game.type = static_cast<GameType>(games.integer(2));
        game.type_name = latin1(games.text(3));
        game.start = start_of(games.text(4), games.integer(5) != 0);
        game.length = static_cast<int>(games.integer(6));
        game.end_reason = latin1(games.text(7));
        game.teams.counted = games.integer(8) != 0;
        if (!games.is_null(9)) game.teams.winner = latin1(games.text(9));

        teams.bind(1, id);
        while (teams.step()) {
            const long long t = teams.integer(0);
            if (t < 0 || t >= MAX_TEAMS) continue;
            game.teams.score[static_cast<std::size_t>(t)] = static_cast<int>(teams.integer(1));
            game.teams.playing[static_cast<std::size_t>(t)] = true;
        }
        teams.reset();
        steps.bind(1, id);
        while (steps.step())
            game.teams.steps.push_back(TeamStep{static_cast<int>(steps.integer(0)), static_cast<int>(steps.integer(1)),
                                                static_cast<int>(steps.integer(2))});
        steps.reset();

        site_players.clear();
        players.bind(1, id);
        while (players.step()) {
            GamePlayer p;
            p.name = latin1(players.text(0));
            p.is_human = players.is_null(1)        ? Species::Unknown
                         : players.integer(1) != 0 ? Species::Human
                                                   : Species::Bot;
            p.skill = players.is_null(2) ? -1 : static_cast<int>(players.integer(2));
            p.team = latin1(players.text(3));
            auto number_at = [&](int column) { return static_cast<int>(players.integer(column)); };
            p.place = number_at(4);
            p.crowned = players.integer(5) != 0;
            p.score = number_at(6);
            p.net_kills = number_at(7);
            p.kills = number_at(8);
            p.deaths = number_at(9);
            p.suicides = number_at(10);
            p.teamkill_rate = number_at(11);
            p.killrate = number_at(12);
            p.multikill = number_at(13);
            p.lurch = number_at(14);
            p.quads = number_at(15);
            p.headshots = number_at(16);
            p.fav_weapon = latin1(players.text(17));
            p.fav_weapon_kills = number_at(18);
            p.fav_victim = latin1(players.text(19));
            p.fav_victim_kills = number_at(20);
            p.flags_captured = number_at(21);
            p.flags_returned = number_at(22);
            p.ping = players.is_null(23) ? -1 : number_at(23);
            game.players.push_back(p);
            const auto found = data.index.find(players.integer(24));
            site_players.push_back(found == data.index.end() ? -1 : found->second);
        }
        players.reset();

        const int shown = static_cast<int>(game.players.size());
        kills.bind(1, id);
        while (kills.step()) {
            const int killer = static_cast<int>(kills.integer(1));
            const int victim = kills.is_null(2) ? -1 : static_cast<int>(kills.integer(2));
            if (killer < 0 || killer >= shown) continue;
            game.kills.push_back(TimedKill{static_cast<int>(kills.integer(0)), killer, victim});
        }
        kills.reset();
        take(game, site_players);
    }
}
