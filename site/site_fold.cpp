#include "site_fold.h"

#include <algorithm>

#include "latin1_text.h"

namespace {

// A record of one game: the first game to reach the greatest value holds it.
void beat(GameFeat& feat, long long value, long long player, const GameRef& where) {
    if (value <= 0 || (feat.found && value <= feat.value)) return;
    feat = GameFeat{true, value, player, where};
}

// Games come in the order of their start, so an evening differs from the
// last one counted or was never counted.
void add_to(Totals& to, const std::string& evening, const GamePlayer& p, long long seconds) {
    ++to.games;
    if (to.last_evening != evening) {
        ++to.evenings;
        to.last_evening = evening;
    }
    to.wins += p.crowned ? 1 : 0;
    to.kills += p.kills;
    to.deaths += p.deaths;
    to.suicides += p.suicides;
    to.score += p.score;
    to.seconds += seconds;
}

// A player's shots and hits over the game's weapons, and his accuracy in
// tenths of a per cent where he fired at least 50 shots, else 0.
long long game_accuracy(const GameRecord& game, std::size_t k) {
    long long shots = 0;
    long long hits = 0;
    for (const WeaponAccuracy& row : game.accuracy)
        if (row.player == static_cast<int>(k)) {
            shots += row.shots;
            hits += row.hits;
        }
    return shots >= 50 ? (hits * 2000 / shots + 1) / 2 : 0;
}

void player_records(SiteRecords& records, const GameRecord& game, std::size_t k, long long player,
                    const GameRef& where) {
    const GamePlayer& p = game.players[k];
    beat(records.most_frags, p.net_kills, player, where);
    if (game.length >= 300) beat(records.best_killrate, p.killrate, player, where);
    beat(records.best_ts, p.multikill, player, where);
    if (game.type == GameType::CaptureTheFlag) beat(records.most_captures, p.flags_captured, player, where);
    beat(records.best_spree, p.moments.best_spree, player, where);
    beat(records.most_monster_kills, p.moments.multis[3], player, where);
    beat(records.most_carrier_kills, p.moments.carrier_kills, player, where);
    if (!game.accuracy.empty()) beat(records.best_accuracy, game_accuracy(game, k), player, where);
}

void add_moments(SitePlayer& to, const GameRecord& game, std::size_t k, const GameRef& where) {
    const PlayerMoments& m = game.players[k].moments;
    MomentTotals& t = to.moments;
    t.first_blood += m.first_blood;
    for (std::size_t l = 0; l < m.sprees.size(); ++l) t.sprees[l] += m.sprees[l];
    for (std::size_t l = 0; l < m.multis.size(); ++l) t.multis[l] += m.multis[l];
    t.flags_taken += m.flags_taken;
    t.flags_picked_up += m.flags_picked_up;
    t.flags_dropped += m.flags_dropped;
    t.flags_returned += m.flags_returned;
    t.flags_captured += m.flags_captured;
    t.carrier_kills += m.carrier_kills;
    beat(to.best_spree, m.best_spree, to.id, where);
    for (const WeaponAccuracy& row : game.accuracy) {
        if (row.player != static_cast<int>(k)) continue;
        ShotTotals& shots = to.accuracy[utf8_of_latin1(row.weapon.view())];
        shots.shots += row.shots;
        shots.hits += row.hits;
        shots.damage += row.damage;
    }
}

}  // namespace

SiteFold::SiteFold(SiteData& data, const std::vector<HistoryName>& names) : data_(data) {
    for (const HistoryName& name : names) names_[name.id] = &name;
    // A fold taken up again knows its players, maps and servers: their file
    // stems stay theirs.
    for (const SitePlayer& p : data.players) player_files_.take_as(p.file);
    for (std::size_t m = 0; m < data.maps.size(); ++m) {
        map_files_.take_as(data.maps[m].file);
        map_of_[data.maps[m].name] = m;
    }
    for (std::size_t s = 0; s < data.servers.size(); ++s) server_of_[data.servers[s].name] = s;
}

SitePlayer& SiteFold::player(long long id, bool human) {
    const auto found = data_.index.find(id);
    if (found != data_.index.end()) {
        SitePlayer& p = data_.players[static_cast<std::size_t>(found->second)];
        if (human) p.bot = false;
        return p;
    }
    SitePlayer p;
    p.id = id;
    p.bot = !human;
    const auto name = names_.find(id);
    if (name != names_.end()) p.name = name->second->name;
    for (const auto& [other, n] : names_)
        if (other != id && n->player == id) p.merged.push_back(n->name);
    std::sort(p.merged.begin(), p.merged.end());
    p.file = player_files_.take(p.name);
    data_.index[id] = static_cast<int>(data_.players.size());
    data_.players.push_back(std::move(p));
    return data_.players.back();
}

SiteMap& SiteFold::map(const std::string& name) {
    const auto [at, added] = map_of_.try_emplace(name, data_.maps.size());
    if (added) {
        SiteMap m;
        m.name = name;
        m.file = map_files_.take(name);
        data_.maps.push_back(std::move(m));
    }
    return data_.maps[at->second];
}

SiteServer& SiteFold::server(const std::string& name) {
    const auto [at, added] = server_of_.try_emplace(name, data_.servers.size());
    if (added) data_.servers.push_back(SiteServer{name, 0, {}, {}});
    return data_.servers[at->second];
}

void SiteFold::add(const HistoryGame& history, int number) {
    const GameRecord& game = history.record;
    const std::string& evening = history.evening;
    const std::string type = utf8_of_latin1(game.type_name.view());
    const GameRef where{evening, number, utf8_of_latin1(game.map.view())};

    ++data_.totals.games;
    data_.totals.seconds += game.length;
    if (data_.evenings.empty() || data_.evenings.back().date != evening)
        data_.evenings.push_back(SiteEvening{evening, 0, 0, 0, -1, 0});
    SiteEvening& e = data_.evenings.back();
    ++e.games;
    e.seconds += game.length;
    beat(data_.records.longest, game.length, -1, where);

    SiteMap& on_map = map(where.map);
    ++on_map.games;
    on_map.last_evening = evening;
    beat(on_map.records.longest, game.length, -1, where);
    if (is_team_game(game.type) && !game.teams.winner.empty())
        ++on_map.team_wins[utf8_of_latin1(game.teams.winner.view())];

    SiteServer& on_server = server(history.server);
    ++on_server.games;
    if (on_server.first_evening.empty()) on_server.first_evening = evening;
    on_server.last_evening = evening;

    slot_players_.clear();
    for (std::size_t k = 0; k < game.players.size() && k < history.slots.size(); ++k) {
        const GamePlayer& p = game.players[k];
        const long long id = history.slots[k].player_id;
        const bool human = p.is_human == Species::Human;
        SitePlayer& player = this->player(id, human);
        slot_players_.push_back(data_.index[id]);
        add_to(player.totals, evening, p, game.length);
        add_to(player.by_type[type], evening, p, game.length);
        if (player.recent_evenings.empty() || player.recent_evenings.back() != evening) {
            player.recent_evenings.push_back(evening);
            if (player.recent_evenings.size() > RECENT_EVENINGS)
                player.recent_evenings.erase(player.recent_evenings.begin());
        }
        evening_players_.insert(id);
        if (human) evening_scores_[id] += p.score;
        data_.totals.kills += p.kills;
        data_.totals.deaths += p.deaths;
        data_.totals.suicides += p.suicides;
        if (p.crowned) ++on_map.wins[id];
        player_records(data_.records, game, k, id, where);
        player_records(on_map.records, game, k, id, where);
        add_moments(player, game, k, where);
    }

    MapGame listed;
    listed.game = where;
    listed.type = type;
    listed.length = game.length;
    if (game.teams.counted)
        for (int t = 0; t < MAX_TEAMS; ++t)
            if (game.teams.playing[static_cast<std::size_t>(t)]) {
                listed.scores[static_cast<std::size_t>(t)] = game.teams.score[static_cast<std::size_t>(t)];
                listed.playing |= 1u << t;
            }
    listed.winner_team = utf8_of_latin1(game.teams.winner.view());
    if (!is_team_game(game.type))
        for (std::size_t k = 0; k < game.players.size() && k < history.slots.size(); ++k)
            if (game.players[k].crowned) {
                listed.winner = history.slots[k].player_id;
                break;
            }
    // Only the last MAP_GAMES are shown, and only they are kept: a list
    // trimmed now and then held twice as many of every map's games.
    on_map.recent.push_back(std::move(listed));
    while (on_map.recent.size() > MAP_GAMES) on_map.recent.pop_front();

    // Kills of others (team kills too), not of oneself: each weapon as
    // logged, and who killed whom.
    for (const HistoryKill& kill : history.kills) {
        if (kill.killer == kill.victim) continue;
        if (kill.killer < 0 || static_cast<std::size_t>(kill.killer) >= slot_players_.size()) continue;
        SitePlayer& killer =
            data_.players[static_cast<std::size_t>(slot_players_[static_cast<std::size_t>(kill.killer)])];
        ++killer.weapons[kill.weapon];
        if (kill.victim < 0 || static_cast<std::size_t>(kill.victim) >= slot_players_.size()) continue;
        SitePlayer& victim =
            data_.players[static_cast<std::size_t>(slot_players_[static_cast<std::size_t>(kill.victim)])];
        if (victim.id == killer.id) continue;
        Duel& mine = killer.duels.try_emplace(victim.id, Duel{victim.id, 0, 0}).first->second;
        ++mine.kills;
        Duel& theirs = victim.duels.try_emplace(killer.id, Duel{killer.id, 0, 0}).first->second;
        ++theirs.deaths;
    }
}

void SiteFold::close_evening() {
    if (data_.evenings.empty()) return;
    SiteEvening& e = data_.evenings.back();
    e.players = static_cast<long long>(evening_players_.size());
    // The most points; equal sums go to the smaller player id.
    for (const auto& [id, score] : evening_scores_)
        if (e.best < 0 || score > e.best_score) {
            e.best = id;
            e.best_score = score;
        }
    evening_scores_.clear();
    evening_players_.clear();
}
