// Adding games into the session: players matched by name, sums, maxima,
// favourites over the session, map and game type, and the 32-record limit.
#include "accumulate_game.h"

#include <gtest/gtest.h>

#include "analysis_test_support.h"

namespace {

class Accumulation : public ::testing::Test {
protected:
    void SetUp() override {
        ctx = make_context();
        next_game();
    }
    // A fresh game, as the per-game reset and the statistics leave it.
    void next_game(std::string_view map = "DM-Deck16.unr", GameType type = GameType::DeathMatch) {
        reset_game(*ctx);
        ctx->game_info.map_name = map;
        ctx->game_info.game_type = type;
        for (PlayerRecord& p : ctx->game_players) {
            p.fav_victim_kills = 0;
            p.fav_victim_name = " ";
        }
    }
    PlayerRecord& player(int slot, std::string_view name) {
        PlayerRecord& p = ctx->game_players[static_cast<std::size_t>(slot)];
        p.name = name;
        return p;
    }
    const SessionPlayer& session(int index) const { return ctx->session_players[static_cast<std::size_t>(index)]; }
    std::string error_log() const { return ctx->error_log(); }
    std::unique_ptr<TestRun> ctx;
};

TEST_F(Accumulation, MapAndGameTypeOfTheSession) {
    EXPECT_EQ(ctx->session_info.same_map, Sameness::NoGameYet);
    accumulate_game(*ctx);
    EXPECT_EQ(ctx->session_info.session_map, "DM-Deck16.unr");
    EXPECT_EQ(ctx->session_info.same_map, Sameness::Same);
    EXPECT_EQ(ctx->session_info.same_game_type, Sameness::Same);
    next_game("DM-Morpheus.unr");
    accumulate_game(*ctx);
    EXPECT_EQ(ctx->session_info.same_map, Sameness::Mixed);
    EXPECT_EQ(ctx->session_info.same_game_type, Sameness::Same);
    next_game("DM-Deck16.unr", GameType::CaptureTheFlag);
    accumulate_game(*ctx);
    EXPECT_EQ(ctx->session_info.same_map, Sameness::Mixed);
    EXPECT_EQ(ctx->session_info.same_game_type, Sameness::Mixed);
    EXPECT_EQ(ctx->session_info.session_game_type, GameType::DeathMatch);
}

TEST_F(Accumulation, PlayersAreMatchedByExactNameAndKeepTheirFirstGamesMarkers) {
    PlayerRecord& bot = player(4, "Dante");
    bot.is_human = Species::Bot;
    bot.skill = 3;
    player(9, "Kesh").is_human = Species::Human;
    accumulate_game(*ctx);
    next_game();
    player(0, "Dante").is_human = Species::Human;
    player(1, "dante");
    accumulate_game(*ctx);
    EXPECT_EQ(session(0).name, "Dante");
    EXPECT_EQ(session(0).is_human, Species::Bot);
    EXPECT_EQ(session(0).skill, 3);
    EXPECT_EQ(session(1).name, "Kesh");
    EXPECT_EQ(session(2).name, "dante");
}

TEST_F(Accumulation, CountersAreSummedAndFactorsTakeTheirMaximum) {
    const int killrates[] = {30, 50, 40}, lurches[] = {2, 0, 1}, kills[] = {2, 1, 3};
    for (int g = 0; g < 3; ++g) {
        next_game();
        PlayerRecord& p = player(2, "Kesh");
        p.score = 10 - 6 * g;
        p.deaths = p.suicides = p.headshots = p.flags_returned = 1;
        p.kills = kills[g];
        p.teamkills = 1;
        p.flags_captured = g;
        p.winner = g == 1 ? 1 : 0;
        p.killrate = killrates[g];
        p.lurch = lurches[g];
        p.multikill = g == 2 ? 3 : 0;
        accumulate_game(*ctx);
        if (g == 1) {
            EXPECT_EQ(session(0).teamkill_rate, 67);  // 2 of 3 from the sums, not a mean of 50 and 100
        }
    }
    const SessionPlayer& s = session(0);
    EXPECT_EQ(s.score, 12);
    EXPECT_EQ(s.deaths + s.suicides + s.headshots + s.flags_returned, 12);
    EXPECT_EQ(s.kills, 6);
    EXPECT_EQ(s.teamkills, 3);
    EXPECT_EQ(s.teamkill_rate, 50);
    EXPECT_EQ(s.flags_captured, 3);
    EXPECT_EQ(s.wins, 1);
    EXPECT_EQ(s.best_killrate, 50);
    EXPECT_EQ(s.best_lurch, 2);
    EXPECT_EQ(s.best_multikill, 3);
}

TEST_F(Accumulation, FavouritesOverTheSession) {
    // Weapons by summed counts: 34 leads, then 40 (7 to 5), then a tie at 7
    // goes to the lower code.
    const std::pair<int, int> weapon_games[][2] = {{{34, 5}, {40, 3}}, {{34, 0}, {40, 4}}, {{34, 2}, {40, 0}}};
    const int favourites[] = {34, 40, 34};
    // Victims: the best single game counts; a later equal count does not replace it.
    const std::pair<const char*, int> victims[] = {{"X", 4}, {"Y", 3}, {"Z", 4}};
    for (int g = 0; g < 3; ++g) {
        next_game();
        PlayerRecord& p = player(0, "Kesh");
        for (auto [code, count] : weapon_games[g]) p.kills_by_weapon[static_cast<std::size_t>(code)] = count;
        p.fav_victim_name = victims[g].first;
        p.fav_victim_kills = victims[g].second;
        accumulate_game(*ctx);
        EXPECT_EQ(session(0).fav_weapon, favourites[g]) << g;
    }
    EXPECT_EQ(session(0).fav_weapon_kills, 7);
    EXPECT_EQ(session(0).fav_victim_name, "X");
    EXPECT_EQ(session(0).fav_victim_kills, 4);

    player(1, "Idle");  // a player without kills copies his first game's " "
    accumulate_game(*ctx);
    EXPECT_EQ(session(1).fav_victim_name, " ");
    EXPECT_EQ(session(1).fav_victim_kills, 0);
}

TEST_F(Accumulation, ANewNameBeyondThirtyTwoStopsItsGameAndIsLogged) {
    for (int g = 0; g < 2; ++g) {
        next_game();
        for (int s = 0; s < MAXPLAYER; ++s) player(s, "P" + std::to_string(g * MAXPLAYER + s)).kills = 1;
        accumulate_game(*ctx);
    }
    EXPECT_EQ(session(31).name, "P31");
    EXPECT_EQ(error_log(), "");

    next_game();
    for (int s = 0; s < MAXPLAYER; ++s) player(s, "P" + std::to_string(s)).kills = 1;
    player(3, "Newcomer");
    accumulate_game(*ctx);
    EXPECT_EQ(session(2).kills, 2);  // the slots before the new name are added
    EXPECT_EQ(session(4).kills, 1);  // the slots after it are not
    EXPECT_EQ(error_log(), "\t\twarning:maximum of session players exceeded\r\n");

    next_game();  // the next game is added up to its first new name
    player(0, "P5").kills = 1;
    player(1, "Other");
    player(2, "P6").kills = 1;
    accumulate_game(*ctx);
    EXPECT_EQ(session(5).kills, 2);
    EXPECT_EQ(session(6).kills, 1);
    EXPECT_EQ(error_log(),
              "\t\twarning:maximum of session players exceeded\r\n"
              "\t\twarning:maximum of session players exceeded\r\n");
}

}  // namespace
