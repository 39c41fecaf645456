// The figures of one game: favourites, rates, Lurch- and TS-factor, quads,
// computed scores, the ranking and the winners.
#include "game_statistics.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "analysis_test_support.h"

namespace {

class Statistics : public ::testing::Test {
protected:
    void SetUp() override { ctx = game(GameType::DeathMatch); }
    static std::unique_ptr<TestRun> game(GameType type) {
        auto c = make_context();
        c->game_info.game_type = type;
        c->game_info.duration = 600;
        return c;
    }
    PlayerRecord& player(int slot) { return ctx->game_players[static_cast<std::size_t>(slot)]; }
    PlayerRecord& named(int slot, std::string_view name, std::string_view team = "", int kills = 0) {
        PlayerRecord& p = player(slot);
        p.name = name;
        p.team = team;
        p.slot = slot;
        p.kills_by_victim[15] = kills;
        return p;
    }
    // Kill records in log order: killer and time of each.
    void kills(std::initializer_list<std::pair<int, int>> killer_time) {
        for (auto [killer, time] : killer_time)
            ctx->kill_table.add() = KillRecord{killer, 15, time, 0, 0, 31, -1, 0, false};
    }
    void items(std::initializer_list<ItemRecord> records) {
        for (const ItemRecord& record : records) ctx->item_table.add() = record;
    }
    std::unique_ptr<TestRun> ctx;
};

TEST(TeamkillPercent, RoundsHalvesUpAndGuardsNoKills) {
    EXPECT_EQ(teamkill_percent(1, 3), 33);
    EXPECT_EQ(teamkill_percent(2, 3), 67);
    EXPECT_EQ(teamkill_percent(1, 8), 13);  // 12.5
    EXPECT_EQ(teamkill_percent(5, 5), 100);
    EXPECT_EQ(teamkill_percent(3, 0), 0);
}

TEST_F(Statistics, KillsFavouritesAndRates) {
    PlayerRecord& a = named(0, "A");
    named(1, "B");
    a.kills_by_victim[1] = 3;
    a.kills_by_victim[2] = 3;  // a tie: the lower slot
    a.kills_by_victim[0] = 1;
    a.kills_by_weapon[40] = 3;
    a.kills_by_weapon[34] = 3;  // a tie: the lower code
    a.teamkills = 2;
    a.suicides = 2;
    compute_game_statistics(*ctx);
    EXPECT_EQ(a.kills, 7);
    EXPECT_EQ(a.net_kills, 5);
    EXPECT_EQ(a.fav_weapon, 34);
    EXPECT_EQ(a.fav_weapon_kills, 3);
    EXPECT_EQ(a.fav_victim_name, "B");
    EXPECT_EQ(a.fav_victim_kills, 3);
    EXPECT_EQ(a.teamkill_rate, 29);
    EXPECT_EQ(a.killrate, 42);  // 7 kills in 600 s

    const PlayerRecord& b = player(1);
    EXPECT_EQ(b.fav_weapon, 0);
    EXPECT_EQ(b.fav_weapon_kills, 0);
    EXPECT_EQ(b.fav_victim_name, " ");
    EXPECT_EQ(b.fav_victim_kills, 0);
    EXPECT_EQ(b.killrate, 0);
}

TEST_F(Statistics, KillrateIsTruncatedAndGuardedByTheDuration) {
    for (int duration : {7, 0}) {
        ctx = game(GameType::DeathMatch);
        ctx->game_info.duration = duration;
        named(4, "Self").kills_by_victim[4] = 1;
        compute_game_statistics(*ctx);
        EXPECT_EQ(player(4).killrate, duration == 7 ? 514 : 0);  // 514.28...
        EXPECT_EQ(player(4).fav_victim_name, "Self");
    }
}

TEST_F(Statistics, LurchAndQuadsComeFromTheOwnPickups) {
    items({{11002, 0, 5},
           {11002, 1, 6},
           {10001, 0, 30},
           {11002, 1, 100},
           {10001, 0, 40},
           {11002, 0, 60},
           {10001, -1, 61},
           {10001, 2, 62}});
    compute_game_statistics(*ctx);
    EXPECT_EQ(player(0).lurch, 2);  // 30 after 5 and 60 after 40, not 40 after 30
    EXPECT_EQ(player(1).lurch, 1);
    EXPECT_EQ(player(0).quads, 2);
    EXPECT_EQ(player(2).quads, 1);

    ctx = game(GameType::DeathMatch);
    items({{11002, 3, 0}, {11002, 3, 100}});
    compute_game_statistics(*ctx);
    EXPECT_EQ(player(3).lurch, 0);  // nothing counts after a pick-up at 0
}

TEST_F(Statistics, TsFactorCountsAdjacentKillsOfOneKillerInOneSecond) {
    kills({{0, 10}, {0, 10}, {0, 10}, {1, 11}});
    compute_game_statistics(*ctx);
    EXPECT_EQ(player(0).multikill, 3);
    EXPECT_EQ(player(1).multikill, 0);

    // A, B, A in one second; later B twice, then B three times; killers
    // beyond the slots never count.
    ctx = game(GameType::DeathMatch);
    kills({{0, 10}, {1, 10}, {0, 10}, {1, 20}, {1, 20}, {0, 21}, {1, 30}, {1, 30}, {1, 30}, {16, 40}, {16, 40}});
    compute_game_statistics(*ctx);
    EXPECT_EQ(player(0).multikill, 0);
    EXPECT_EQ(player(1).multikill, 3);
}

TEST_F(Statistics, TsFactorOfAStretchReachingTheLastRecordIsNeverClosed) {
    kills({{0, 0}, {0, 0}});  // closed by the next second
    for (int i = 2; i < MAX_KILLS - 2; ++i) ctx->kill_table.add() = KillRecord{1, 15, i, 0, 0, 31, -1, 0, false};
    kills({{1, 5000}, {1, 5000}});
    compute_game_statistics(*ctx);
    EXPECT_EQ(player(0).multikill, 2);
    EXPECT_EQ(player(1).multikill, 0);
}

TEST_F(Statistics, RanksFollowTheExchangesAndTheTopSlotWinsOutsideTeamGames) {
    named(0, "A", "", 1);
    named(1, "B", "", 1);
    named(2, "C", "", 5);
    compute_game_statistics(*ctx);
    EXPECT_EQ(player(2).rank, 1);
    EXPECT_EQ(player(1).rank, 2);
    EXPECT_EQ(player(0).rank, 3);
    EXPECT_EQ(player(2).winner + player(1).winner + player(0).winner, 1);

    ctx = game(GameType::DeathMatch);  // equal scores: only the top slot wins
    named(3, "D", "", 2);
    named(4, "E", "", 2);
    compute_game_statistics(*ctx);
    EXPECT_EQ(player(3).winner, 1);
    EXPECT_EQ(player(4).winner, 0);

    ctx = game(GameType::LastManStanding);  // nobody scored: the player wins, not the empty slot 0 before him
    named(5, "Idle");
    ctx->game_info.frag_limit = 0;
    compute_game_statistics(*ctx);
    EXPECT_EQ(player(5).rank, 1);
    EXPECT_EQ(player(0).rank, 2);
    EXPECT_EQ(player(5).winner, 1);
}

TEST_F(Statistics, LastManStandingScoresLivesLeft) {
    ctx = game(GameType::LastManStanding);
    ctx->game_info.frag_limit = 10;
    PlayerRecord& a = named(0, "A");
    a.deaths = 3;
    a.suicides = 1;
    PlayerRecord& b = named(1, "B", "", 9);
    b.deaths = 11;
    b.suicides = 1;
    compute_game_statistics(*ctx);
    EXPECT_EQ(a.score, 6);
    EXPECT_EQ(b.score, -2);
    EXPECT_EQ(player(5).score, 0);
    EXPECT_EQ(b.rank, 2);  // before the empty slots, whatever his score
    EXPECT_EQ(player(2).rank, 3);
    EXPECT_EQ(player(15).rank, 16);
}

TEST_F(Statistics, TeamGamesCrownTheWinningTeam) {
    ctx = game(GameType::TeamGame);
    named(0, "A", "0", 2);
    named(1, "B", "1", 5);
    named(2, "C", "1");
    named(3, "D", "0");
    compute_game_statistics(*ctx);
    EXPECT_EQ(ctx->game_info.winning_team, "1");
    EXPECT_EQ(player(1).winner + player(2).winner, 2);
    EXPECT_EQ(player(0).winner + player(3).winner, 0);

    ctx = game(GameType::Domination);  // Domination keeps the logged scores
    ctx->game_info.winning_team = "Red";
    named(0, "A", "Blue").score = 40;
    named(1, "B", "Red", 30).score = 12;
    compute_game_statistics(*ctx);
    EXPECT_EQ(player(1).score, 12);
    EXPECT_EQ(player(0).winner, 0);
    EXPECT_EQ(player(1).winner, 1);
}

TEST_F(Statistics, AnUnknownWinningTeamCrownsNobody) {
    for (GameType type : {GameType::Assault, GameType::Domination, GameType::CaptureTheFlag, GameType::TeamGame}) {
        ctx = game(type);
        named(0, "NoTeam");
        compute_game_statistics(*ctx);
        for (const PlayerRecord& p : ctx->game_players) EXPECT_EQ(p.winner, 0) << static_cast<int>(type);
    }
}

}  // namespace
