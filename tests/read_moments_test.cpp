// The moments of a game by the rules of the announcer: first blood, sprees,
// multi-kills, flag play and the add-on's accuracy, as the game's record
// keeps them per player shown.
#include <gtest/gtest.h>

#include "analysis_test_support.h"
#include "game_log.h"
#include "session.h"

namespace {

// The game's record, as the games page gets it.
GameRecord analyse(const std::string& text) {
    std::unique_ptr<TestRun> run = make_context();
    run->images_enabled = 0;
    GameRecord record;
    EXPECT_EQ(load_text(*run, text), 1);
    EXPECT_EQ(analyse_loaded_game(*run, &record), 1);
    return record;
}

const PlayerMoments& of(const GameRecord& game, std::string_view name) {
    for (const GamePlayer& p : game.players)
        if (p.name == name) return p.moments;
    ADD_FAILURE() << "no player " << name;
    static const PlayerMoments none;
    return none;
}

// Kills by killer of victim, at the times given ("12.50").
std::string kills(int killer, int victim, std::initializer_list<std::string_view> times) {
    std::string lines;
    for (std::string_view time : times) lines += kill_line(time, killer, "Shock Rifle", victim);
    return lines;
}

const std::string kThree = connect_lines(0, "Ann") + connect_lines(1, "Bob") + connect_lines(2, "Cid");

TEST(Moments, ASuicideInsideASpreeNeitherCountsNorEndsIt) {
    const GameRecord game = analyse(
        game_text({.setup = kThree,
                   .play = kills(0, 1, {"10.00", "20.00", "30.00"}) + log_line("35.00", {"suicide", "0", "Fell"}) +
                           kill_line("36.00", 0, "Shock Rifle", 0) + kills(0, 2, {"40.00", "50.00"}) +
                           kill_line("60.00", 1, "Shock Rifle", 0) + kills(0, 1, {"70.00"})}));
    const PlayerMoments& ann = of(game, "Ann");
    EXPECT_EQ(ann.sprees[0], 1);  // five kills: a Killing Spree, ended by Bob
    EXPECT_EQ(ann.best_spree, 5);
    EXPECT_EQ(ann.first_blood, 1);
    EXPECT_EQ(of(game, "Bob").sprees, (std::array<int, SPREE_LEVELS>{}));
}

TEST(Moments, EachSpreeCountsOnceAtTheLevelItEndedAt) {
    std::string play;
    int second = 10;
    auto run = [&](int killer, int victim, int n) {
        for (int k = 0; k < n; ++k) play += kill_line(std::to_string(second++ * 5) + ".00", killer, "Minigun", victim);
    };
    run(0, 1, 9);   // 9: Killing Spree
    run(1, 0, 1);   // ends it
    run(0, 1, 10);  // 10: Rampage
    run(2, 0, 1);
    run(0, 2, 25);  // 25: Godlike, lasting to the end of the game
    run(1, 2, 24);  // 24: Unstoppable, to the end
    const GameRecord game = analyse(game_text({.setup = kThree, .play = play}));
    EXPECT_EQ(of(game, "Ann").sprees, (std::array<int, SPREE_LEVELS>{1, 1, 0, 0, 1}));
    EXPECT_EQ(of(game, "Ann").best_spree, 25);
    EXPECT_EQ(of(game, "Bob").sprees, (std::array<int, SPREE_LEVELS>{0, 0, 0, 1, 0}));
    EXPECT_EQ(of(game, "Bob").best_spree, 24);
}

TEST(Moments, AKillAtExactlyThreeSecondsStartsANewChain) {
    const GameRecord game =
        analyse(game_text({.setup = kThree,
                           .play = kills(0, 1, {"10.00", "12.99"}) + kills(0, 2, {"15.98"}) +  // a Multi Kill
                                   kills(0, 1, {"18.98"}) +             // 3.00 s later: a new chain of one
                                   kills(2, 1, {"30.00", "33.00"})}));  // two chains of one
    EXPECT_EQ(of(game, "Ann").multis, (std::array<int, MULTI_LEVELS>{0, 1, 0, 0}));
    EXPECT_EQ(of(game, "Cid").multis, (std::array<int, MULTI_LEVELS>{}));
}

TEST(Moments, DeathDoesNotEndAChainButTeamKillsDoNotCount) {
    const std::string teams =
        connect_lines(0, "Ann", false, "0") + connect_lines(1, "Bob", false, "1") + connect_lines(2, "Cid", false, "0");
    const GameRecord game = analyse(game_text(
        {.type = TEAM_GAME,
         .setup = teams,
         .play = kill_line("9.00", 0, "Minigun", 2, "teamkill") +  // neither first blood nor part of a chain
                 kills(0, 1, {"10.00"}) + kill_line("11.00", 1, "Minigun", 0) + kills(0, 1, {"12.00", "13.00"}) +
                 kill_line("14.00", 0, "Minigun", 2, "teamkill") + kills(0, 1, {"15.00", "16.00"})}));
    const PlayerMoments& ann = of(game, "Ann");
    EXPECT_EQ(ann.multis, (std::array<int, MULTI_LEVELS>{0, 0, 0, 1}));  // five: a Monster Kill
    EXPECT_EQ(ann.first_blood, 1);
    EXPECT_EQ(ann.best_spree, 4);  // Bob's kill ended the first spree
    EXPECT_EQ(of(game, "Bob").first_blood, 0);
}

TEST(Moments, FirstBloodIsNoSuicide) {
    const GameRecord game = analyse(game_text(
        {.setup = kThree, .play = kill_line("5.00", 1, "Minigun", 1) + kills(2, 0, {"6.00"}) + kills(1, 0, {"7.00"})}));
    EXPECT_EQ(of(game, "Bob").first_blood, 0);
    EXPECT_EQ(of(game, "Cid").first_blood, 1);
    EXPECT_EQ(of(game, "Cid").multis, (std::array<int, MULTI_LEVELS>{}));
}

// Ann leaves in the middle of a spree and a chain, and comes back under a
// new id: one row, both ended at her leaving, her figures summed.
TEST(Moments, LeavingEndsSpreeAndChainAndAReturnAddsToTheFirstRow) {
    const GameRecord game = analyse(game_text(
        {.setup = kThree,
         .play = kills(0, 1, {"10.00", "11.00", "20.00", "30.00", "40.00"}) +
                 log_line("41.00", {"player", "Disconnect", "0"}) + connect_lines(3, "Ann", false, "", "1.0", "50.00") +
                 kills(3, 1, {"51.00"}) + kills(3, 2, {"52.00", "60.00", "70.00", "80.00"})}));
    ASSERT_EQ(game.players.size(), 3u);
    const PlayerMoments& ann = of(game, "Ann");
    EXPECT_EQ(ann.sprees[0], 2);
    EXPECT_EQ(ann.multis[0], 2);
    EXPECT_EQ(ann.best_spree, 5);
}

TEST(Moments, FlagPlayAndCarrierKillsInCaptureTheFlag) {
    const std::string teams =
        connect_lines(0, "Ann", false, "0") + connect_lines(1, "Bob", false, "1") + connect_lines(2, "Cid", false, "0");
    const std::string play =
        log_line("10.00", {"flag_taken", "1", "0"}) + log_line("20.00", {"flag_dropped", "1", "0"}) +
        kill_line("20.00", 0, "Minigun", 1) +  // a carrier kill
        log_line("21.00", {"flag_returned", "2", "0"}) + log_line("30.00", {"flag_taken", "1", "0"}) +
        log_line("31.00", {"flag_dropped", "1", "0"}) + kill_line("32.00", 2, "Minigun", 1) +  // not at that moment
        log_line("33.00", {"flag_pickedup", "1", "0"}) + log_line("40.00", {"flag_captured", "1", "0"}) +
        log_line("50.00", {"flag_taken", "0", "1"}) + log_line("51.00", {"flag_dropped", "0", "1"}) +
        log_line("51.00", {"player", "Disconnect", "0"});  // leaves with the flag
    const GameRecord game = analyse(game_text({.type = "Capture the Flag", .setup = teams, .play = play}));
    const PlayerMoments& ann = of(game, "Ann");
    const PlayerMoments& bob = of(game, "Bob");
    EXPECT_EQ(ann.carrier_kills, 1);
    EXPECT_EQ(ann.flags_taken, 1);
    EXPECT_EQ(ann.flags_dropped, 1);
    EXPECT_EQ(of(game, "Cid").carrier_kills, 0);
    EXPECT_EQ(of(game, "Cid").flags_returned, 1);
    EXPECT_EQ(bob.flags_taken, 2);
    EXPECT_EQ(bob.flags_dropped, 2);
    EXPECT_EQ(bob.flags_picked_up, 1);
    EXPECT_EQ(bob.flags_captured, 1);
    EXPECT_EQ(bob.carrier_kills, 0);
}

// The add-on writes accuracy after the game_end line: read there, summed
// for a returning player, without the weapons he never fired.
TEST(Moments, AccuracyLinesAfterTheGameEnd) {
    const std::string after = log_line("599.00", {"weap_shotcount", "Minigun", "0", "40"}) +
                              log_line("599.00", {"weap_hitcount", "Minigun", "0", "10"}) +
                              log_line("599.00", {"weap_damagegiven", "Minigun", "0", "130"}) +
                              log_line("599.00", {"weap_shotcount", "Minigun", "3", "10"}) +
                              log_line("599.00", {"weap_shotcount", "Redeemer", "0", "0"}) +
                              log_line("599.00", {"weap_hitcount", "Redeemer", "0", "0"}) +
                              log_line("599.00", {"weap_damagegiven", "Redeemer", "0", "0"}) +
                              log_line("599.00", {"weap_shotcount", "Flak Cannon", "1", "7"});
    const GameRecord game =
        analyse(game_text({.setup = kThree + log_line("2.00", {"player", "Disconnect", "0"}) + connect_lines(3, "Ann"),
                           .play = kills(1, 2, {"10.00"})}) +
                after);
    ASSERT_EQ(game.accuracy.size(), 2u);
    const WeaponAccuracy& ann = game.accuracy[game.accuracy[0].weapon == "Minigun" ? 0 : 1];
    const WeaponAccuracy& bob = game.accuracy[game.accuracy[0].weapon == "Minigun" ? 1 : 0];
    EXPECT_EQ(game.players[static_cast<std::size_t>(ann.player)].name, "Ann");
    EXPECT_EQ(ann.shots, 50);
    EXPECT_EQ(ann.hits, 10);
    EXPECT_EQ(ann.damage, 130);
    EXPECT_EQ(game.players[static_cast<std::size_t>(bob.player)].name, "Bob");
    EXPECT_EQ(bob.weapon, "Flak Cannon");
    EXPECT_EQ(bob.shots, 7);
}

}  // namespace
