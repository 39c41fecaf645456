// The best value of each figure over the session's human players.
#include "session_bests.h"

#include <gtest/gtest.h>

#include "analysis_test_support.h"

namespace {

class SessionBests : public ::testing::Test {
protected:
    void SetUp() override { ctx = make_context(); }
    SessionPlayer& session(int index, std::string_view name, Species is_human) {
        SessionPlayer& p = ctx->session_players[static_cast<std::size_t>(index)];
        p.name = name;
        p.is_human = is_human;
        return p;
    }
    int best(BestPosition position) const { return ctx->best_table[position].value; }
    std::unique_ptr<TestRun> ctx;
};

TEST_F(SessionBests, EveryFigureTakesItsOwnDirectionOverHumansOnly) {
    struct Figure {
        int SessionPlayer::*field;
        BestPosition position;
        bool smallest;
    };
    const Figure figures[] = {
        {&SessionPlayer::fav_weapon_kills, BEST_FAV_WEAPON_KILLS, false},
        {&SessionPlayer::fav_victim_kills, BEST_FAV_VICTIM_KILLS, false},
        {&SessionPlayer::score, BEST_SCORE, false},
        {&SessionPlayer::deaths, BEST_DEATHS, true},
        {&SessionPlayer::suicides, BEST_SUICIDES, true},
        {&SessionPlayer::kills, BEST_KILLS, false},
        {&SessionPlayer::best_lurch, BEST_LURCH, true},
        {&SessionPlayer::best_multikill, BEST_MULTIKILL, false},
        {&SessionPlayer::teamkill_rate, BEST_TEAMKILL_RATE, true},
        {&SessionPlayer::best_killrate, BEST_KILLRATE, false},
        {&SessionPlayer::headshots, BEST_HEADSHOTS, false},
        {&SessionPlayer::wins, BEST_WINS, false},
        {&SessionPlayer::flags_captured, BEST_FLAGS_CAPTURED, false},
        {&SessionPlayer::flags_returned, BEST_FLAGS_RETURNED, false},
    };
    SessionPlayer& a = session(0, "A", Species::Human);
    SessionPlayer& bot = session(1, "Bot", Species::Bot);
    SessionPlayer& unstated = session(2, "Unstated", Species::Unknown);
    SessionPlayer& b = session(3, "B", Species::Human);
    for (const Figure& f : figures) {
        a.*f.field = 10 + f.position;
        b.*f.field = 20 + f.position;
        bot.*f.field = unstated.*f.field = f.smallest ? 1 : 99;
    }
    compute_session_bests(*ctx);
    for (const Figure& f : figures) EXPECT_EQ(best(f.position), (f.smallest ? 10 : 20) + f.position) << f.position;
}

TEST_F(SessionBests, LargestValuesStartAtZeroSmallestAtAHumansValue) {
    SessionPlayer& a = session(0, "A", Species::Human);
    a.score = -3;
    a.deaths = 7;
    a.teamkill_rate = 25;
    compute_session_bests(*ctx);
    EXPECT_EQ(best(BEST_SCORE), 0);
    EXPECT_EQ(best(BEST_DEATHS), 7);
    EXPECT_EQ(best(BEST_TEAMKILL_RATE), 25);

    auto bots_only = make_context();
    bots_only->session_players[0].name = "Bot";
    bots_only->session_players[0].is_human = Species::Bot;
    bots_only->session_players[0].deaths = 4;
    bots_only->session_players[0].kills = 8;
    compute_session_bests(*bots_only);
    for (const BestEntry& entry : bots_only->best_table) EXPECT_EQ(entry.value, 0);
}

}  // namespace
