#include "session_bests.h"

#include "player_order.h"

namespace {

struct Figure {
    BestPosition position;
    int PlayerRecord::*field;
    bool smallest;
};

constexpr Figure figures[] = {
    {BEST_FAV_WEAPON_KILLS, &PlayerRecord::fav_weapon_kills, false},
    {BEST_FAV_VICTIM_KILLS, &PlayerRecord::fav_victim_kills, false},
    {BEST_SCORE, &PlayerRecord::score, false},
    {BEST_DEATHS, &PlayerRecord::deaths, true},
    {BEST_SUICIDES, &PlayerRecord::suicides, true},
    {BEST_KILLS, &PlayerRecord::kills, false},
    {BEST_LURCH, &PlayerRecord::lurch, true},
    {BEST_MULTIKILL, &PlayerRecord::multikill, false},
    {BEST_TEAMKILL_RATE, &PlayerRecord::teamkill_rate, true},
    {BEST_KILLRATE, &PlayerRecord::killrate, false},
    {BEST_HEADSHOTS, &PlayerRecord::headshots, false},
    {BEST_WINS, &PlayerRecord::winner, false},
    {BEST_FLAGS_CAPTURED, &PlayerRecord::flags_captured, false},
    {BEST_FLAGS_RETURNED, &PlayerRecord::flags_returned, false},
};

}  // namespace

void compute_session_bests(AnalysisContext& ctx) {
    // The smallest-value bests start from a human's own value (the last
    // human's), the largest-value ones from the table's 0.
    for (const PlayerRecord& p : ctx.session_players) {
        if (p.is_human != 1) continue;
        for (const Figure& f : figures)
            if (f.smallest) ctx.best_table[f.position].value = p.*f.field;
    }
    for (const PlayerRecord& p : ctx.session_players) {
        if (p.is_human != 1) continue;
        for (const Figure& f : figures) {
            int& best = ctx.best_table[f.position].value;
            int value = p.*f.field;
            if (f.smallest ? value < best : value > best) best = value;
        }
    }
}

void rank_session(AnalysisContext& ctx) {
    ctx.session_order = rank_players(ctx.session_players, [](const PlayerRecord& a, const PlayerRecord& b) {
        return a.winner < b.winner || (a.winner == b.winner && a.score < b.score);
    });
    for (std::size_t k = 0; k < ctx.session_order.size(); ++k)
        ctx.session_players[static_cast<std::size_t>(ctx.session_order[k])].rank = static_cast<int>(k) + 1;
}
