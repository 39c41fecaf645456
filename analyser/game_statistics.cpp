#include "game_statistics.h"

#include <cmath>
#include <cstdint>

#include "name_tables.h"
#include "player_order.h"

namespace {

bool in_slot_range(int slot) { return slot >= 0 && slot < MAXPLAYER; }

// The pick-ups that came 20 seconds or more after the same player's
// previous one (whose time must be above 0), for every slot in one walk.
void compute_lurch_factors(AnalysisContext& ctx) {
    int previous[MAXPLAYER] = {};
    for (const ItemRecord& item : ctx.item_table) {
        if (!in_slot_range(item.slot)) continue;
        int& last = previous[item.slot];
        if (last > 0 && static_cast<long long>(item.time) >= static_cast<long long>(last) + 20)
            ++ctx.game_players[static_cast<std::size_t>(item.slot)].lurch;
        last = item.time;
    }
}

void compute_player_figures(AnalysisContext& ctx, int slot) {
    PlayerRecord& p = ctx.game_players[static_cast<std::size_t>(slot)];
    long long kills = 0;
    for (int k : p.kills_by_victim) kills += k;
    p.kills = static_cast<int>(kills);
    p.net_kills = p.kills - p.suicides;

    first_largest(p.kills_by_weapon, p.fav_weapon, p.fav_weapon_kills);

    int victim = 0;
    first_largest(p.kills_by_victim, victim, p.fav_victim_kills);
    if (p.fav_victim_kills < 1)
        p.fav_victim_name = " ";
    else
        p.fav_victim_name = player_name_by_slot(ctx, victim);

    p.teamkill_rate = teamkill_percent(p.teamkills, p.kills);
    if (ctx.game_info.duration > 0)
        p.killrate = static_cast<int>(static_cast<long long>(p.kills) * 3600 / ctx.game_info.duration);
}

void compute_scores(AnalysisContext& ctx) {
    const GameType type = ctx.game_info.game_type;
    for (PlayerRecord& p : ctx.game_players) {
        if (type == GameType::Assault || type == GameType::DeathMatch || type == GameType::CaptureTheFlag ||
            type == GameType::TeamGame) {
            p.score = p.net_kills;
        } else if (type == GameType::LastManStanding && !p.name.empty()) {
            p.score = clamp_to_int(static_cast<long long>(ctx.game_info.frag_limit) - p.deaths - p.suicides);
        }
    }
}

using Order = std::array<int, MAXPLAYER>;

// Places by descending score, players before empty slots.
Order rank_game_players(AnalysisContext& ctx) {
    const Order order =
        rank_players(ctx.game_players, [](const PlayerRecord& a, const PlayerRecord& b) { return a.score < b.score; });
    for (std::size_t k = 0; k < order.size(); ++k)
        ctx.game_players[static_cast<std::size_t>(order[k])].rank = static_cast<int>(k) + 1;
    return order;
}

// The summed score of the players of one team.
long long team_total(const AnalysisContext& ctx, const Text& team) {
    long long total = 0;
    for (const PlayerRecord& p : ctx.game_players)
        if (!p.name.empty() && p.team == team) total += p.score;
    return total;
}

// Tournament Team Game: the team whose players' scores add up to the most
// wins, not the team of the best single player. On a tie the best-ranked
// player's team keeps the lead, then the earlier ranked team.
void choose_team_game_winner(AnalysisContext& ctx, const Order& order) {
    Text& winner = ctx.game_info.winning_team;
    winner.clear();
    long long best = 0;
    for (int slot : order) {
        const PlayerRecord& p = ctx.game_players[static_cast<std::size_t>(slot)];
        if (p.name.empty()) break;  // the players come first
        const long long total = team_total(ctx, p.team);
        if (slot == order[0] || total > best) {
            winner = p.team;
            best = total;
        }
    }
}

void mark_winners(AnalysisContext& ctx, const Order& order) {
    const GameType type = ctx.game_info.game_type;
    if (type == GameType::TeamGame) choose_team_game_winner(ctx, order);
    if (is_team_game(type)) {
        // An unknown winning team crowns nobody.
        if (ctx.game_info.winning_team.empty()) return;
        for (PlayerRecord& p : ctx.game_players)
            if (p.team == ctx.game_info.winning_team) p.winner = 1;
    } else {
        ctx.game_players[static_cast<std::size_t>(order[0])].winner = 1;
    }
}

// Best number of kills by one killer in adjacent kill lines of one second.
void compute_multikills(AnalysisContext& ctx) {
    int runs[MAXPLAYER] = {};
    // The first unused entry (time -1) closes the last stretch; the unused
    // entries after it change nothing.
    const KillTable& kills = ctx.kill_table;
    for (std::size_t e = 1; e <= kills.size() && e < KillTable::capacity; ++e) {
        const KillRecord& previous = kills[e - 1];
        const KillRecord& current = kills[e];
        if (current.time == previous.time) {
            if (current.killer == previous.killer && in_slot_range(current.killer)) ++runs[current.killer];
        } else {
            for (int s = 0; s < MAXPLAYER; ++s) {
                PlayerRecord& p = ctx.game_players[static_cast<std::size_t>(s)];
                if (runs[s] >= 1 && runs[s] + 1 > p.multikill) p.multikill = runs[s] + 1;
                runs[s] = 0;
            }
        }
    }
}

void count_quads(AnalysisContext& ctx) {
    for (const ItemRecord& item : ctx.item_table)
        if (item.item == ITEM_DAMAGE_AMPLIFIER && in_slot_range(item.slot))
            ++ctx.game_players[static_cast<std::size_t>(item.slot)].quads;
}

// The teams' scores of the games page. The Team Game counts its players'
// scores, kill by kill: a kill of another player is one up for the killer's
// team, a suicide line one down; a kill of oneself changes nothing. Each
// team game names the team with the most its winner; Capture the Flag has
// none on a tie, the others keep the winner they chose.
void count_team_results(AnalysisContext& ctx) {
    const GameType type = ctx.game_info.game_type;
    if (!is_team_game(type)) return;
    TeamResults& results = ctx.team_results;
    auto team_of = [](const PlayerRecord* p) { return p == nullptr ? -1 : team_number(p->team.view()); };
    for (const PlayerRecord& p : ctx.game_players)
        if (!p.name.empty() && team_of(&p) >= 0) results.playing[static_cast<std::size_t>(team_of(&p))] = true;
    if (type == GameType::TeamGame) {
        results.counted = true;
        for (const KillRecord& kill : ctx.kill_table) {
            const PlayerRecord* killer = ctx.player_for_id(kill.killer);
            const PlayerRecord* victim = ctx.player_for_id(kill.victim);
            if (victim != nullptr && killer != victim) results.add(kill.time, team_of(killer), 1);
        }
        for (const SuicideRecord& suicide : ctx.suicide_table)
            results.add(suicide.time, team_of(ctx.player_for_id(suicide.id)), -1);
        // The totals themselves decided the winner: they stand, whatever
        // the tables could not hold.
        results.score.fill(0);
        for (const PlayerRecord& p : ctx.game_players)
            if (!p.name.empty() && team_of(&p) >= 0)
                results.score[static_cast<std::size_t>(team_of(&p))] =
                    saturating_add(results.score[static_cast<std::size_t>(team_of(&p))], p.score);
    }
    results.winner = ctx.game_info.winning_team;
    if (type != GameType::CaptureTheFlag) return;
    int best = -1;
    bool tie = false;
    for (int t = 0; t < MAX_TEAMS; ++t) {
        const int score = results.score[static_cast<std::size_t>(t)];
        if (!results.playing[static_cast<std::size_t>(t)] || score < best) continue;
        tie = score == best;
        if (!tie) results.winner.format("%i", t);
        best = score;
    }
    if (tie) results.winner.clear();
}

}  // namespace

const char* player_name_by_slot(const AnalysisContext& ctx, int slot) {
    if (!in_slot_range(slot)) return " ";
    return ctx.game_players[static_cast<std::size_t>(slot)].name.c_str();
}

int teamkill_percent(int teamkills, int kills) {
    if (kills <= 0) return 0;
    return static_cast<int>(std::floor(static_cast<double>(teamkills) * 100.0 / kills + 0.5));
}

int compute_game_statistics(AnalysisContext& ctx) {
    for (int s = 0; s < MAXPLAYER; ++s) compute_player_figures(ctx, s);
    compute_lurch_factors(ctx);
    compute_scores(ctx);
    ctx.game_order = rank_game_players(ctx);
    mark_winners(ctx, ctx.game_order);
    count_team_results(ctx);
    compute_multikills(ctx);
    count_quads(ctx);
    return 1;
}
