#include "site_state.h"

#include "state_bytes.h"

namespace {

constexpr const char* MAGIC = "velstra site state";

void put(StateWriter& out, long long value) { out.put(static_cast<std::int64_t>(value)); }

void put(StateWriter& out, const Totals& t) {
    for (const long long n : {t.games, t.wins, t.kills, t.deaths, t.suicides, t.score, t.seconds, t.evenings})
        put(out, n);
    out.put(t.last_evening);
}

void get(StateReader& in, Totals& t) {
    for (long long* n : {&t.games, &t.wins, &t.kills, &t.deaths, &t.suicides, &t.score, &t.seconds, &t.evenings})
        *n = in.number();
    t.last_evening = in.text();
}

void put(StateWriter& out, const GameFeat& f) {
    put(out, f.found ? 1 : 0);
    put(out, f.value);
    put(out, f.player);
    out.put(f.game.evening);
    put(out, f.game.number);
    out.put(f.game.map);
}

void get(StateReader& in, GameFeat& f) {
    f.found = in.number() != 0;
    f.value = in.number();
    f.player = in.number();
    f.game.evening = in.text();
    f.game.number = static_cast<int>(in.number());
    f.game.map = in.text();
}

void put(StateWriter& out, const SiteRecords& r) {
    for (const GameFeat* f : {&r.most_frags, &r.best_killrate, &r.best_ts, &r.most_captures, &r.longest, &r.best_spree,
                              &r.most_monster_kills, &r.most_carrier_kills, &r.best_accuracy})
        put(out, *f);
}

void get(StateReader& in, SiteRecords& r) {
    for (GameFeat* f : {&r.most_frags, &r.best_killrate, &r.best_ts, &r.most_captures, &r.longest, &r.best_spree,
                        &r.most_monster_kills, &r.most_carrier_kills, &r.best_accuracy})
        get(in, *f);
}

// The figures of MomentTotals in one order, for writing and reading.
template <typename Totals, typename Each>
void each_moment(Totals& t, Each each) {
    each(t.first_blood);
    for (auto& n : t.sprees) each(n);
    for (auto& n : t.multis) each(n);
    for (auto* n :
         {&t.flags_taken, &t.flags_picked_up, &t.flags_dropped, &t.flags_returned, &t.flags_captured, &t.carrier_kills})
        each(*n);
}

template <typename Value, typename Put>
void put_map(StateWriter& out, const std::map<std::string, Value>& map, Put put_value) {
    put(out, static_cast<long long>(map.size()));
    for (const auto& [key, value] : map) {
        out.put(key);
        put_value(value);
    }
}

template <typename Value, typename Get>
void get_map(StateReader& in, std::map<std::string, Value>& map, Get get_value) {
    const std::size_t count = in.count();
    for (std::size_t k = 0; k < count && in.ok(); ++k) {
        std::string key = in.text();
        get_value(map[key]);
    }
}

}  // namespace

void write_state(StateWriter& out, const SiteStateHead& head, const SiteData& data) {
    out.put(std::string(MAGIC));
    out.put(SITE_DESIGN);
    out.put(static_cast<std::int64_t>(head.merges));
    put(out, static_cast<long long>(head.evenings.size()));
    for (const HistoryEvening& e : head.evenings) {
        out.put(e.date);
        put(out, e.games);
        out.put(static_cast<std::int64_t>(e.fingerprint));
        out.put(e.first_start);
    }
    out.put(head.next);

    put(out, static_cast<long long>(data.players.size()));
    for (const SitePlayer& p : data.players) {
        put(out, p.id);
        out.put(p.name);
        put(out, static_cast<long long>(p.merged.size()));
        for (const std::string& name : p.merged) out.put(name);
        put(out, p.bot ? 1 : 0);
        out.put(p.file);
        put(out, p.totals);
        put_map(out, p.by_type, [&](const Totals& t) { put(out, t); });
        put_map(out, p.weapons, [&](long long n) { put(out, n); });
        put(out, static_cast<long long>(p.duels.size()));
        for (const auto& [other, duel] : p.duels) {
            put(out, other);
            put(out, duel.kills);
            put(out, duel.deaths);
        }
        put(out, static_cast<long long>(p.recent_evenings.size()));
        for (const std::string& evening : p.recent_evenings) out.put(evening);
        each_moment(p.moments, [&](long long n) { put(out, n); });
        put(out, p.best_spree);
        put_map(out, p.accuracy, [&](const ShotTotals& t) {
            put(out, t.shots);
            put(out, t.hits);
            put(out, t.damage);
        });
    }
    put(out, static_cast<long long>(data.evenings.size()));
    for (const SiteEvening& e : data.evenings) {
        out.put(e.date);
        for (const long long n : {e.games, e.players, e.seconds, e.best, e.best_score}) put(out, n);
    }
    put(out, data.records);
    put(out, static_cast<long long>(data.maps.size()));
    for (const SiteMap& m : data.maps) {
        out.put(m.name);
        out.put(m.file);
        put(out, m.games);
        put(out, static_cast<long long>(m.wins.size()));
        for (const auto& [player, wins] : m.wins) {
            put(out, player);
            put(out, wins);
        }
        put_map(out, m.team_wins, [&](long long n) { put(out, n); });
        put(out, m.records);
        out.put(m.last_evening);
        put(out, static_cast<long long>(m.recent.size()));
        for (const MapGame& g : m.recent) {
            out.put(g.game.evening);
            put(out, g.game.number);
            out.put(g.game.map);
            out.put(g.type);
            put(out, g.length);
            for (const int score : g.scores) put(out, score);
            put(out, g.playing);
            out.put(g.winner_team);
            put(out, g.winner);
        }
    }
    put(out, static_cast<long long>(data.servers.size()));
    for (const SiteServer& s : data.servers) {
        out.put(s.name);
        put(out, s.games);
        out.put(s.first_evening);
        out.put(s.last_evening);
    }
    put(out, data.totals);
}

bool read_state(StateReader& in, SiteStateHead& head, SiteData& data) {
    if (in.text() != MAGIC || in.number() != SITE_DESIGN || !in.ok()) return false;
    head.merges = static_cast<std::uint64_t>(in.number());
    head.evenings.resize(in.count());
    for (HistoryEvening& e : head.evenings) {
        e.date = in.text();
        e.games = in.number();
        e.fingerprint = static_cast<std::uint64_t>(in.number());
        e.first_start = in.text();
    }
    head.next = in.text();

    data = SiteData{};
    data.players.resize(in.count());
    for (std::size_t k = 0; k < data.players.size() && in.ok(); ++k) {
        SitePlayer& p = data.players[k];
        p.id = in.number();
        p.name = in.text();
        p.merged.resize(in.count());
        for (std::string& name : p.merged) name = in.text();
        p.bot = in.number() != 0;
        p.file = in.text();
        get(in, p.totals);
        get_map(in, p.by_type, [&](Totals& t) { get(in, t); });
        get_map(in, p.weapons, [&](long long& n) { n = in.number(); });
        const std::size_t duels = in.count();
        for (std::size_t d = 0; d < duels && in.ok(); ++d) {
            Duel duel;
            duel.other = in.number();
            duel.kills = in.number();
            duel.deaths = in.number();
            p.duels[duel.other] = duel;
        }
        p.recent_evenings.resize(in.count());
        for (std::string& evening : p.recent_evenings) evening = in.text();
        each_moment(p.moments, [&](long long& n) { n = in.number(); });
        get(in, p.best_spree);
        get_map(in, p.accuracy, [&](ShotTotals& t) {
            t.shots = in.number();
            t.hits = in.number();
            t.damage = in.number();
        });
        data.index[p.id] = static_cast<int>(k);
    }
    data.evenings.resize(in.count());
    for (SiteEvening& e : data.evenings) {
        e.date = in.text();
        for (long long* n : {&e.games, &e.players, &e.seconds, &e.best, &e.best_score}) *n = in.number();
    }
    get(in, data.records);
    data.maps.resize(in.count());
    for (SiteMap& m : data.maps) {
        m.name = in.text();
        m.file = in.text();
        m.games = in.number();
        const std::size_t wins = in.count();
        for (std::size_t w = 0; w < wins && in.ok(); ++w) {
            const long long player = in.number();
            m.wins[player] = in.number();
        }
        get_map(in, m.team_wins, [&](long long& n) { n = in.number(); });
        get(in, m.records);
        m.last_evening = in.text();
        m.recent.resize(in.count());
        for (MapGame& g : m.recent) {
            g.game.evening = in.text();
            g.game.number = static_cast<int>(in.number());
            g.game.map = in.text();
            g.type = in.text();
            g.length = static_cast<int>(in.number());
            for (int& score : g.scores) score = static_cast<int>(in.number());
            g.playing = static_cast<unsigned>(in.number());
            g.winner_team = in.text();
            g.winner = in.number();
        }
    }
    data.servers.resize(in.count());
    for (SiteServer& s : data.servers) {
        s.name = in.text();
        s.games = in.number();
        s.first_evening = in.text();
        s.last_evening = in.text();
    }
    get(in, data.totals);
    return in.ok();
}
