// Kills, team kills, suicides and headshots: the kill table and the counters
// of the record each id is credited to.
#include <gtest/gtest.h>

#include "pass_test.h"

namespace {

const std::string kTwoPlayers = connect_lines(0, "Alpha") + connect_lines(1, "Beta");

class Kills : public PassTest {
protected:
    const KillRecord& kill(int index) const { return ctx->kill_table[static_cast<std::size_t>(index)]; }
    void play(const std::string& lines, const std::string& setup = kTwoPlayers, std::string_view type = DEATHMATCH) {
        ASSERT_EQ(interpret(type, setup, lines), 1);
    }
};

TEST_F(Kills, KillsTeamKillsAndSelfKillsFillTableAndCounters) {
    play(kill_line("12.50", 0, "Shock Rifle", 1) + kill_line("13.00", 1, "Double Enforcer", 0, "teamkill") +
             kill_line("14.00", 1, "Rocket Launcher", 1) + log_line("15.00", {"suicide", "1", "Fell"}),
         connect_lines(0, "Alpha", false, "0") + connect_lines(1, "Beta", false, "0"), TEAM_GAME);
    EXPECT_EQ(kill(0).killer, 0);
    EXPECT_EQ(kill(0).victim, 1);
    EXPECT_EQ(kill(0).weapon, 40);
    EXPECT_EQ(kill(0).time, 12);
    EXPECT_EQ(kill(0).teamkill, 0);
    EXPECT_EQ(kill(1).teamkill, 1);
    EXPECT_EQ(kill(3).killer, -1);
    EXPECT_EQ(player(0).kills_by_victim[1], 1);
    EXPECT_EQ(player(0).kills_by_weapon[40], 1);
    EXPECT_EQ(player(0).deaths, 1);
    EXPECT_EQ(player(1).teamkills, 1);
    EXPECT_EQ(player(1).kills_by_weapon[32], 1);
    EXPECT_EQ(player(1).kills_by_victim[0], 1);
    EXPECT_EQ(player(1).kills_by_victim[1], 1);  // himself
    EXPECT_EQ(player(1).deaths, 2);
    EXPECT_EQ(player(1).suicides, 2);  // the self kill and the suicide line
}

// Some servers write every kill of a game without teams as a team kill.
TEST_F(Kills, TeamKillLinesAreOrdinaryKillsInGamesWithoutTeams) {
    for (std::string_view type : {std::string_view(DEATHMATCH), std::string_view("Last Man Standing")}) {
        play(kill_line("13.00", 1, "Double Enforcer", 0, "teamkill"), kTwoPlayers, type);
        EXPECT_EQ(kill(0).teamkill, 0) << type;
        EXPECT_EQ(kill(0).weapon, 32) << type;
        EXPECT_EQ(kill(0).time, 13) << type;
        EXPECT_EQ(player(1).teamkills, 0) << type;
        EXPECT_EQ(player(1).kills_by_victim[0], 1) << type;
        EXPECT_EQ(player(0).deaths, 1) << type;
    }
}

TEST_F(Kills, SkillLinesAreNeverKills) {
    // A player who joins during play writes his skill line after the start.
    play(connect_lines(2, "Late", true, "", "3.000000", "50.00") + kill_line("60.00", 2, "Minigun", 0));
    EXPECT_EQ(kill(0).killer, 2);
    EXPECT_EQ(kill(0).weapon, 38);
    EXPECT_EQ(kill(1).killer, -1);
}

TEST_F(Kills, TeamKillTimeReachesFourCharactersLessFarBack) {
    // "kill" stands 15 characters after the line start in the team kill, 11
    // in the kill: only the kill's time stamp is in reach.
    play(kill_line("1234567.50", 0, "Enforcer", 1, "teamkill") + kill_line("1234567.50", 0, "Enforcer", 1));
    EXPECT_EQ(kill(0).time, -1);
    EXPECT_EQ(kill(1).time, 1234567);
}

TEST_F(Kills, IdsWithoutARecordCountNothingForThemselves) {
    play(kill_line("20.00", 16, "Enforcer", 0) + kill_line("21.00", 0, "Minigun", 20) +
         kill_line("22.00", 5, "Enforcer", 0) + kill_line("23.00", 0, "Minigun", 6) +
         kill_line("24.00", 7, "Minigun", 7, "teamkill") + log_line("25.00", {"suicide", "8", "x"}) +
         log_line("26.00", {"headshot", "9", "0"}) + log_line("27.00", {"headshot", "17", "0"}));
    EXPECT_EQ(kill(0).killer, 16);  // the lines are stored all the same
    EXPECT_EQ(kill(4).killer, 7);
    EXPECT_EQ(player(0).deaths, 2);
    EXPECT_EQ(player(0).kills_by_weapon[38], 2);
    EXPECT_EQ(player(0).kills_by_victim, (std::array<int, MAXPLAYER>{}));
    for (int id = 2; id < MAXPLAYER; ++id) {
        const PlayerRecord& p = player(id);
        EXPECT_EQ(p.deaths + p.suicides + p.teamkills + p.headshots, 0) << id;
        EXPECT_EQ(p.kills_by_weapon, (std::array<int, WEAPON_SLOTS>{})) << id;
        EXPECT_EQ(p.kills_by_victim, (std::array<int, MAXPLAYER>{})) << id;
    }
}

TEST_F(Kills, AReturningPlayersEventsCountForHisFirstRecord) {
    play(log_line("100.00", {"player", "Disconnect", "2"}) + connect_lines(6, "Bob", false, "", "1.0", "120.00") +
             kill_line("130.00", 6, "Flak Cannon", 0) + kill_line("140.00", 0, "Flak Cannon", 6) +
             log_line("150.00", {"headshot", "6", "0"}) + log_line("160.00", {"suicide", "6", "x"}),
         kTwoPlayers + connect_lines(2, "Bob"));
    EXPECT_EQ(player(2).kills_by_victim[0], 1);
    EXPECT_EQ(player(2).kills_by_weapon[35], 1);
    EXPECT_EQ(player(2).deaths, 1);
    EXPECT_EQ(player(2).headshots, 1);
    EXPECT_EQ(player(2).suicides, 1);
    EXPECT_EQ(player(0).kills_by_victim[2], 1);  // by the victim's first slot
    EXPECT_EQ(kill(0).killer, 6);                // the table keeps the logged ids
}

TEST_F(Kills, HeadshotsAndKillsCountFromTheStartOfPlaySuicidesFromTheFirstLine) {
    std::string early = log_line("0.50", {"suicide", "0", "x"}) + log_line("0.60", {"headshot", "0", "1"}) +
                        kill_line("0.70", 0, "Enforcer", 1);
    play(log_line("10.00", {"headshot", "1", "0"}) + kill_line("11.00", 1, "Enforcer", 0), kTwoPlayers + early);
    EXPECT_EQ(player(0).suicides, 1);
    EXPECT_EQ(player(0).headshots, 0);
    EXPECT_EQ(player(1).headshots, 1);
    EXPECT_EQ(kill(0).killer, 1);
    EXPECT_EQ(kill(1).killer, -1);

    std::string no_start = header_lines(DEATHMATCH) + kTwoPlayers + early + log_line("599.00", {"game_end", "x"});
    ASSERT_EQ(interpret_game(*ctx, no_start), 1);
    EXPECT_EQ(player(0).suicides, 1);
    EXPECT_EQ(player(0).headshots, 0);
    EXPECT_EQ(kill(0).killer, -1);
    EXPECT_EQ(error_log(), "\tno gamestart found\r\n");
}

TEST_F(Kills, AKillWithoutItsFieldsEndsTheHandler) {
    // The seven characters kept of the line after the end hold a kill
    // without its fields: the record is begun with its time, then the
    // missing tab ends the handler.
    ASSERT_EQ(interpret_game(*ctx, game_text({.setup = kTwoPlayers}) + "2\tkill\t0\tEnforcer\t1\n"), 1);
    EXPECT_EQ(kill(0).time, 2);
    EXPECT_EQ(kill(0).killer, -1);
}

TEST_F(Kills, TheTableHoldsAThousandKillsAndTheNextIsLoggedOnce) {
    for (int count : {1000, 1002}) {
        std::string lines;
        for (int i = 0; i < count; ++i) lines += kill_line(std::to_string(10 + i / 100), i % 2, "Enforcer", 1 - i % 2);
        play(lines);
        EXPECT_EQ(kill(999).killer, 1);
        EXPECT_EQ(player(0).deaths + player(1).deaths, 1000);
        EXPECT_EQ(error_log(), count == 1000 ? "" : "\t\twarning:maximum of kills exceeded\r\n");
    }
}

}  // namespace
