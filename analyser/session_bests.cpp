#include "session_bests.h"

#include "player_order.h"

namespace {

struct Figure {
    BestPosition position;
    int SessionPlayer::*field;
    bool smallest;
};

constexpr Figure figures[] = {
    {BEST_FAV_WEAPON_KILLS, &SessionPlayer::fav_weapon_kills, false},
    {BEST_FAV_VICTIM_KILLS, &SessionPlayer::fav_victim_kills, false},
    {BEST_SCORE, &SessionPlayer::score, false},
    {BEST_DEATHS, &SessionPlayer::deaths, true},
    {BEST_SUICIDES, &SessionPlayer::suicides, true},
    {BEST_KILLS, &SessionPlayer::kills, false},
    {BEST_LURCH, &SessionPlayer::best_lurch, true},
    {BEST_MULTIKILL, &SessionPlayer::best_multikill, false},
    {BEST_TEAMKILL_RATE, &SessionPlayer::teamkill_rate, true},
    {BEST_KILLRATE, &SessionPlayer::best_killrate, false},
    {BEST_HEADSHOTS, &SessionPlayer::headshots, false},
    {BEST_WINS, &SessionPlayer::wins, false},
    {BEST_FLAGS_CAPTURED, &SessionPlayer::flags_captured, false},
    {BEST_FLAGS_RETURNED, &SessionPlayer::flags_returned, false},
};

}  // namespace

void compute_session_bests(AnalysisContext& ctx) {
    // The smallest-value bests start from a human's own value (the last
    // human's), the largest-value ones from the table's 0.
    for (const SessionPlayer& p : ctx.session_players) {
        if (p.is_human != Species::Human) continue;
        for (const Figure& f : figures)
            if (f.smallest) ctx.best_table[f.position].value = p.*f.field;
    }
    for (const SessionPlayer& p : ctx.session_players) {
        if (p.is_human != Species::Human) continue;
        for (const Figure& f : figures) {
            int& best = ctx.best_table[f.position].value;
            int value = p.*f.field;
            if (f.smallest ? value < best : value > best) best = value;
        }
    }
}

void rank_session(AnalysisContext& ctx) {
    ctx.session_order = rank_players(ctx.session_players, [](const SessionPlayer& a, const SessionPlayer& b) {
        return a.wins < b.wins || (a.wins == b.wins && a.score < b.score);
    });
    for (std::size_t k = 0; k < ctx.session_order.size(); ++k)
        ctx.session_players[static_cast<std::size_t>(ctx.session_order[k])].rank = static_cast<int>(k) + 1;
}
