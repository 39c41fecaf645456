// The end reason, the winners of Assault, Domination and Capture the Flag,
// flags and control points, Domination scores and pings.
#include <gtest/gtest.h>

#include "pass_test.h"
#include "session.h"

namespace {

const std::string kTwoTeams = connect_lines(0, "Red0", false, "0") + connect_lines(1, "Blue1", false, "1") +
                              connect_lines(2, "Red2", false, "0") + connect_lines(3, "Blue3", false, "1");

std::string lines_of(std::string_view event, std::initializer_list<std::pair<const char*, const char*>> fields) {
    std::string lines;
    for (const auto& [first, second] : fields) lines += log_line("50.00", {event, first, second});
    return lines;
}

class GameEvents : public PassTest {
protected:
    const Text& winning_team() const { return ctx->game_info.winning_team; }
};

TEST_F(GameEvents, AMapChangeOrAMissingEndReasonRejectsTheGame) {
    std::string ping = log_line("10.00", {"player", "Ping", "0", "50"});
    EXPECT_EQ(interpret(DEATHMATCH, kTwoTeams, ping, "mapchange"), 0);
    EXPECT_EQ(player(0).ping, -1);  // nothing after the end reason is read
    std::string bare_end = header_lines(DEATHMATCH) + log_line("1.00", {"game_start"}) + ping + "599.00\tgame_end\n";
    EXPECT_EQ(interpret_game(*ctx, bare_end), 0);
    EXPECT_EQ(error_log(), "\tGame not analysed (mapchange)\r\n");  // only once
    EXPECT_EQ(interpret(DEATHMATCH, kTwoTeams, ping, "Mapchange"), 1);
    EXPECT_EQ(player(0).ping, 50);
}

TEST_F(GameEvents, AssaultIsWonByTheAttackersOnlyWhenTheySucceeded) {
    interpret("Assault", "", "", "Assault succeeded!");
    EXPECT_EQ(winning_team(), "attacker");
    interpret("Assault", "", "", "Assault succeede");
    EXPECT_EQ(winning_team(), "defender");
}

TEST_F(GameEvents, DominationWinnerIsTheTeamOfTheBestScoreSeen) {
    // B's 6 beats the 5 before it but not A's 20.
    interpret("Domination", kTwoTeams, lines_of("dom_score_update", {{"A", "20"}, {"B", "5"}, {"B", "6"}}));
    EXPECT_EQ(winning_team(), "A");
    interpret("Domination", kTwoTeams, lines_of("dom_score_update", {{"A", "20"}, {"B", "21"}, {"A", "21"}}));
    EXPECT_EQ(winning_team(), "B");
    interpret("Domination", kTwoTeams, lines_of("dom_score_update", {{"A", "0"}, {"B", "-4"}}));
    EXPECT_EQ(winning_team(), "");
}

TEST_F(GameEvents, DominationCountsControlPointsAndTakesThePlayersLastScore) {
    std::string play =
        lines_of("controlpoint_capture", {{"Point A", "2"}, {"Point B", "2"}, {"Point A", "1"}, {"Point A", "16"}}) +
        lines_of("dom_playerscore_update", {{"2", "7"}, {"2", "4"}, {"1", "9"}});
    interpret("Domination", kTwoTeams, play);
    EXPECT_EQ(player(2).flags_captured, 2);
    EXPECT_EQ(player(1).flags_captured, 1);
    EXPECT_EQ(player(2).score, 4);
    EXPECT_EQ(player(1).score, 9);
    interpret("Capture the Flag", kTwoTeams, play);  // another game type's lines
    EXPECT_EQ(player(2).flags_captured, 0);
    EXPECT_EQ(player(2).score, 0);
}

TEST_F(GameEvents, CaptureTheFlagIsWonByTheTeamWithMoreCaptures) {
    interpret("Capture the Flag", kTwoTeams,
              lines_of("flag_captured", {{"1", "0"}, {"0", "1"}, {"3", "0"}, {"2", "1"}, {"1", "0"}}) +
                  lines_of("flag_returned", {{"3", "1"}, {"3", "1"}}));
    EXPECT_EQ(winning_team(), "1");
    EXPECT_EQ(player(1).flags_captured, 2);
    EXPECT_EQ(player(3).flags_returned, 2);
    interpret("Capture the Flag", kTwoTeams, lines_of("flag_captured", {{"1", "0"}, {"0", "1"}}));
    EXPECT_EQ(winning_team(), "0");
    interpret("Capture the Flag", kTwoTeams, "");
    EXPECT_EQ(winning_team(), "0");
    // A team that reads as another number counts for its player only.
    std::string green = connect_lines(0, "Red0", false, "0") + connect_lines(5, "Green", false, "2");
    interpret("Capture the Flag", green, lines_of("flag_captured", {{"5", "0"}, {"5", "0"}, {"0", "1"}}));
    EXPECT_EQ(player(5).flags_captured, 2);
    EXPECT_EQ(winning_team(), "0");
}

TEST_F(GameEvents, ThePlayersLastPingCountsInEveryGameType) {
    interpret("Last Man Standing", kTwoTeams, lines_of("player\tPing", {{"0", "80"}, {"0", "64"}, {"16", "9"}}));
    EXPECT_EQ(player(0).ping, 64);
    EXPECT_EQ(player(1).ping, -1);
}

TEST_F(GameEvents, AnIdThatNeverConnectedChangesNothing) {
    // Id 7 only has a team line: its capture, score and ping count nowhere,
    // not even for the team its team line names.
    std::string roster = kTwoTeams + log_line("0.00", {"player", "Teamchange", "7", "1"});
    interpret("Capture the Flag", roster,
              lines_of("flag_captured", {{"7", "0"}, {"7", "0"}, {"0", "1"}}) +
                  lines_of("flag_returned", {{"7", "1"}}) + lines_of("player\tPing", {{"7", "80"}}));
    EXPECT_EQ(player(7).team, "1");
    EXPECT_EQ(player(7).flags_captured, 0);
    EXPECT_EQ(player(7).flags_returned, 0);
    EXPECT_EQ(player(7).ping, -1);
    EXPECT_EQ(winning_team(), "0");
    interpret("Domination", roster,
              lines_of("controlpoint_capture", {{"Point A", "7"}}) + lines_of("dom_playerscore_update", {{"7", "30"}}));
    EXPECT_EQ(player(7).flags_captured, 0);
    EXPECT_EQ(player(7).score, 0);
}

TEST_F(GameEvents, AGameNeverInheritsAnEarlierWinner) {
    ASSERT_EQ(load_text(*ctx, game_text({.type = "Capture the Flag",
                                         .setup = kTwoTeams,
                                         .play = lines_of("flag_captured", {{"1", "0"}})})),
              1);
    ASSERT_EQ(analyse_loaded_game(*ctx), 1);
    EXPECT_EQ(player(1).winner, 1);
    // A Domination game without score lines: its winner is unknown, and so
    // nobody wins, neither the last game's team nor the players without one.
    ASSERT_EQ(load_text(*ctx, game_text({.type = "Domination", .setup = kTwoTeams})), 1);
    ASSERT_EQ(analyse_loaded_game(*ctx), 1);
    EXPECT_EQ(winning_team(), "");
    for (int id = 0; id < MAXPLAYER; ++id) EXPECT_EQ(player(id).winner, 0) << id;
}

}  // namespace
