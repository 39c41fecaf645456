// The player registry: connects paired with bot and skill lines by cursor,
// team lines, renames, disconnects, equal names and re-entries.
#include <gtest/gtest.h>

#include "pass_test.h"

namespace {

class Registry : public PassTest {};

TEST_F(Registry, ConnectBotAndSkillLinesFillTheRecordOfTheirId) {
    std::string setup = connect_lines(3, "Alpha", false, "", "2.5") + connect_lines(7, "Beta", true) +
                        log_line("0.00", {"player", "Connect", "Gamma", "8", "False"}) +
                        log_line("0.00", {"player", "IsABot", "8", "true"}) +  // only "True" marks a bot
                        log_line("0.00", {"player", "Skill", "8", "0.5"}) + connect_lines(9, "Delta", true, "", "3") +
                        connect_lines(10, "Late");
    interpret(DEATHMATCH, setup, "");
    EXPECT_EQ(player(3).name, "Alpha");
    EXPECT_EQ(player(3).slot, 3);
    EXPECT_EQ(player(3).connected, 1);
    EXPECT_EQ(player(3).skin, "Alpha");
    EXPECT_EQ(player(3).is_human, Species::Human);
    EXPECT_EQ(player(3).skill, 2);
    EXPECT_EQ(player(3).handicap, 100);
    EXPECT_EQ(player(7).is_human, Species::Bot);
    EXPECT_EQ(player(8).is_human, Species::Human);
    EXPECT_EQ(player(8).skill, 0);
    // A skill without a decimal point ends the pass before it is stored.
    EXPECT_EQ(player(9).is_human, Species::Bot);
    EXPECT_EQ(player(9).skill, -1);
    EXPECT_EQ(player(9).handicap, -1);
    EXPECT_TRUE(player(10).name.empty());
    EXPECT_EQ(ctx->player_by_id[3], 3);
    EXPECT_EQ(ctx->player_by_id[10], -1);
    EXPECT_EQ(error_log(), "");
}

TEST_F(Registry, BotAndSkillLinesGoToTheConnectOfTheSameIterationWhateverTheirId) {
    // Both connects stand before the first bot line: the first iteration
    // takes Beta's lines for Alpha and moves the cursor past Beta's connect.
    std::string setup =
        log_line("0.00", {"player", "Connect", "Alpha", "0", "False"}) +
        log_line("0.00", {"player", "Connect", "Beta", "1", "False"}) +
        log_line("0.00", {"player", "IsABot", "1", "True"}) + log_line("0.00", {"player", "Skill", "1", "4.000000"}) +
        log_line("0.00", {"player", "IsABot", "0", "False"}) + log_line("0.00", {"player", "Skill", "0", "1.000000"});
    interpret(DEATHMATCH, setup, "");
    EXPECT_EQ(player(0).is_human, Species::Bot);
    EXPECT_EQ(player(0).skill, 4);
    EXPECT_TRUE(player(1).name.empty());
}

TEST_F(Registry, TeamLinesEndConnectsWhenMissingAndTheLastOneDecides) {
    std::string setup = connect_lines(0, "Red", false, "0") + connect_lines(1, "Blue", false, "1") +
                        connect_lines(2, "Late");  // no team line of its own
    std::string play = log_line("50.00", {"player", "Teamchange", "0", "1"}) +
                       log_line("60.00", {"player", "Teamchange", "9", "0"});  // never connected
    interpret(TEAM_GAME, setup, "");
    EXPECT_EQ(player(1).name, "Blue");
    EXPECT_TRUE(player(2).name.empty());
    // Any later team line lets the pass go on, whatever its id.
    interpret(TEAM_GAME, setup, play);
    EXPECT_EQ(player(2).name, "Late");
    EXPECT_EQ(player(0).team, "1");
    EXPECT_EQ(player(9).team, "0");

    interpret(DEATHMATCH, setup, play);  // team lines mean nothing here
    EXPECT_EQ(player(2).name, "Late");
    EXPECT_EQ(player(0).team, "");
}

TEST_F(Registry, IdsOfSixteenAndAboveAreRejected) {
    std::string play =
        log_line("5.00", {"player", "Rename", "Ghost", "16"}) + log_line("6.00", {"player", "Disconnect", "99"});
    interpret(DEATHMATCH, connect_lines(0, "A") + connect_lines(16, "TooMany") + connect_lines(1, "B"), play);
    EXPECT_EQ(player(0).name, "A");
    EXPECT_TRUE(player(1).name.empty());  // no connect after the bad id is read
    interpret(TEAM_GAME, connect_lines(0, "A", false, "0") + connect_lines(-1, "B", false, "1"), "");
    EXPECT_EQ(player(0).team, "0");
    EXPECT_EQ(error_log(),
              "\t\tplayer ID > MAXPLAYER found can't add player to analyse\r\n"
              "\t\tplayer ID > MAXPLAYER found can't add player to analyse\r\n");
}

TEST_F(Registry, RenamesAreLoggedUnlessTheNameStays) {
    std::string play = log_line("10.00", {"player", "Rename", "Alpha", "0"}) +
                       log_line("20.00", {"player", "Rename", "Omega", "0"}) +
                       log_line("30.00", {"player", "Rename", "Nobody", "5"});  // never connected
    interpret(DEATHMATCH, connect_lines(0, "Alpha"), play);
    EXPECT_EQ(player(0).name, "Omega");
    EXPECT_EQ(player(0).skin, "Omega");
    EXPECT_TRUE(player(5).name.empty());  // no player: a spectator
    EXPECT_EQ(error_log(), "\t\tinfo: Player Alpha to Omega renamed\r\n\t\tinfo: Player  to Nobody renamed\r\n");
}

TEST_F(Registry, AReturningPlayerIsMappedToHisFirstRecord) {
    std::string play =
        log_line("100.00", {"player", "Disconnect", "2"}) + connect_lines(6, "Bob", false, "", "1.000000", "120.00");
    interpret(DEATHMATCH, connect_lines(2, "Bob") + connect_lines(3, "Carl"), play);
    EXPECT_EQ(ctx->player_by_id[6], 2);
    EXPECT_EQ(player(2).name, "Bob");
    EXPECT_TRUE(player(6).name.empty());
    EXPECT_EQ(error_log(), "\t\tinfo: Player Bob re-entered\r\n");
}

TEST_F(Registry, ConnectedPlayersOfOneNameAreToldApart) {
    interpret(DEATHMATCH, connect_lines(2, "Bob") + connect_lines(5, "Bob") + connect_lines(9, "Bob"), "");
    // Pair (2,5) extends record 2; (2,9) then compares "Bob_2"; (5,9) extends 5.
    EXPECT_EQ(player(2).name, "Bob_2");
    EXPECT_EQ(player(5).name, "Bob_5");
    EXPECT_EQ(player(9).name, "Bob");
    EXPECT_EQ(error_log(), "\t\twarning: two player with same name\r\n\t\twarning: two player with same name\r\n");
}

TEST_F(Registry, AssaultTeamsAreNamedByTheAssaultLines) {
    std::string setup = log_line("0.00", {"assault_attacker", "1"}) + log_line("0.00", {"assault_defender", "0"}) +
                        connect_lines(0, "Att", false, "1") + connect_lines(1, "Def", false, "0") +
                        connect_lines(2, "Odd", false, "7");
    interpret("Assault", setup, "");
    EXPECT_EQ(player(0).team, "attacker");
    EXPECT_EQ(player(1).team, "defender");
    EXPECT_EQ(player(2).team, "7");
    // Passes 1 and 2 each look the odd value up.
    EXPECT_EQ(error_log(), "\t\tcan not identify team membership\r\n\t\tcan not identify team membership\r\n");
}

TEST_F(Registry, TextsBeyondTheirFieldsAreCut) {
    const std::string long_name(250, 'n');
    std::string play = log_line("10.00", {"player", "Rename", std::string(250, 'o'), "0"});
    interpret(TEAM_GAME, connect_lines(0, long_name, false, std::string(300, 't')), play);
    EXPECT_EQ(player(0).name, std::string(199, 'o'));
    EXPECT_EQ(player(0).team, std::string(199, 't'));
    EXPECT_EQ(error_log(), ("\t\tinfo: Player " + long_name).substr(0, 199) + "\r\n");

    interpret(DEATHMATCH, connect_lines(0, long_name) + connect_lines(1, long_name), "");
    EXPECT_EQ(player(0).name, std::string(199, 'n'));  // "_0" finds no room
}

}  // namespace
