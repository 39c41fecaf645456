// Logs and User.ini files that anyone can write: whatever the bytes, the
// programs end cleanly, never write past a field and lose no file (their
// speed on such games is measured by tools/benchmark.sh).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "analysis_test_support.h"
#include "game_statistics.h"
#include "load_game.h"
#include "pass_test.h"
#include "session.h"
#include "skins.h"

namespace fs = std::filesystem;

namespace {

class HostileInput : public PassTest {};

// The analyser program in a scratch folder.
class HostileRun : public ScratchFolder {
protected:
    RunResult analyse(const std::vector<std::string>& args = {}) { return run_analyser_program(args, dir()); }

    // Every file of the folder with its size, to show that nothing was lost.
    std::map<std::string, std::uintmax_t> files() const {
        std::map<std::string, std::uintmax_t> found;
        for (const auto& entry : fs::directory_iterator(dir()))
            found[entry.path().filename().string()] = entry.is_regular_file() ? entry.file_size() : 0;
        return found;
    }
};

const std::string kGame = game_text(
    {.type = TEAM_GAME,
     .setup = connect_lines(0, "Alpha", false, "0") + connect_lines(1, "Bravo", true, "1") +
              connect_lines(2, "Charlie", true, "0"),
     .play = kill_line("10.00", 0, "Enforcer", 1) + kill_line("10.00", 0, "Enforcer", 2, "teamkill") +
             log_line("11.00", {"headshot", "0", "1"}) + item_line("12.00", "Damage Amplifier", 1) +
             log_line("13.00", {"suicide", "2", "Flak Cannon", "x"}) +
             log_line("14.00", {"player", "Rename", "Delta", "2"}) + log_line("15.00", {"player", "Ping", "1", "70"}),
     .end_reason = "teamscorelimit"});

TEST_F(HostileInput, AGameCutAtEveryLengthEndsCleanly) {
    // Every prefix lacks some tab, line end or later line: each must give a
    // clean result or a clean refusal.
    for (std::size_t length = 0; length <= kGame.size(); ++length) {
        ctx = make_context();
        ctx->images_enabled = static_cast<int>(length % 2);
        if (load_text(*ctx, kGame.substr(0, length)) == 1) analyse_loaded_game(*ctx);
    }
    EXPECT_EQ(ctx->session_players[0].name, "Alpha");  // the whole game counted
}

TEST_F(HostileInput, LongTextsAreCutAtTheirFields) {
    const std::string name(300, 'N'), team(400, 'T'), map(350, 'M'), weapon(300, 'W');
    std::string text = game_text({.map = map,
                                  .type = TEAM_GAME,
                                  .setup = connect_lines(0, name, false, team) + connect_lines(1, "Short", false, team),
                                  .play = kill_line("5.00", 0, weapon, 1),
                                  .end_reason = "x"});
    ASSERT_EQ(load_text(*ctx, text), 1);
    StringOutput out;
    ctx->out = &out;
    analyse_loaded_game(*ctx);
    EXPECT_EQ(ctx->game_info.map_name.view(), map.substr(0, 199));
    EXPECT_EQ(ctx->game_players[0].name.view(), name.substr(0, 199));
    EXPECT_EQ(ctx->game_players[0].skin.view(), name.substr(0, 199));
    EXPECT_EQ(ctx->game_players[0].team.view(), team.substr(0, 199));
    EXPECT_EQ(ctx->game_players[1].fav_victim_name.view(), " ");
    EXPECT_EQ(ctx->game_players[0].fav_victim_name.view(), "Short");
    // The unknown weapon is logged as read, cut at 255 characters.
    EXPECT_EQ(error_log(), "\t\tunsupported weapon found\r\n" + weapon.substr(0, 255) + "\r\n");
}

TEST_F(HostileRun, FormatDirectivesInNamesArePrintedAsText) {
    std::string text =
        game_text({.map = "%s%n%x",
                   .setup = connect_lines(0, "%s%n%d") + connect_lines(1, "100%"),
                   .play = kill_line("5.00", 0, "Enforcer", 1) + log_line("6.00", {"player", "Rename", "%n%n", "1"}),
                   .end_reason = "x"});
    write_file(dir() / "games.log", to_utf16_log(text));
    RunResult r = analyse();
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_NE(r.out.find("map: %s%n%x  gametype"), std::string::npos);
    EXPECT_NE(r.out.find(" 1. %s%n%d: handycap: 100 model: %s%n%d "), std::string::npos);
    EXPECT_NE(error_log().find("\t\tinfo: Player 100% to %n%n renamed\r\n"), std::string::npos);
}

TEST_F(HostileInput, IdsOutOfRangeOrNeverConnectedCountNothing) {
    std::string play = kill_line("5.00", 16, "Enforcer", 0) + kill_line("5.00", -1, "Enforcer", 0) +
                       kill_line("5.00", 0, "Enforcer", 99999999) + kill_line("6.00", 7, "Enforcer", 0) +
                       kill_line("6.00", 0, "Enforcer", 7) + log_line("7.00", {"suicide", "7", "x"}) +
                       log_line("7.00", {"headshot", "-3", "0"}) + item_line("8.00", "Damage Amplifier", 7) +
                       item_line("8.00", "Damage Amplifier", 16) + log_line("9.00", {"player", "Ping", "-1", "5"});
    ASSERT_EQ(interpret(DEATHMATCH, connect_lines(0, "Alpha"), play), 1);
    compute_game_statistics(*ctx);
    EXPECT_EQ(player(0).deaths, 3);  // by 16, -1 and the never-connected 7
    EXPECT_EQ(player(0).kills, 0);
    for (int id = 1; id < MAXPLAYER; ++id) {
        EXPECT_EQ(player(id).deaths, 0) << id;
        EXPECT_EQ(player(id).suicides, 0) << id;
        EXPECT_EQ(player(id).quads, 0) << id;
    }
}

TEST_F(HostileInput, GamesWithoutTheirMarkersAreRefusedOrReadAsFarAsTheyGo) {
    std::string no_start = header_lines(DEATHMATCH) + connect_lines(0, "Alpha") + kill_line("5.00", 0, "Enforcer", 0) +
                           log_line("599.00", {"game_end", "x"});
    EXPECT_EQ(interpret_game(*ctx, no_start), 1);
    EXPECT_EQ(player(0).deaths, 0);
    EXPECT_EQ(error_log(), "\tno gamestart found\r\n");
    EXPECT_EQ(interpret_game(*ctx, header_lines(DEATHMATCH) + connect_lines(0, "Alpha")), -1);
    EXPECT_EQ(interpret_game(*ctx, header_lines(DEATHMATCH) + "599.00\tgame_end\tx"), -1);
}

TEST_F(HostileRun, GarbageFilesEndTheSessionCleanly) {
    std::mt19937 random(7);
    std::string garbage(200000, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    const std::string unidentified =
        "*** loading game: 0\r\n\tcan't identify logfile (no unreal tournament logfile?)\r\n";
    // Random bytes, and zeros, hold no game: the session has nothing to show.
    write_file(dir() / "games.log", garbage);
    RunResult r = analyse({"-ni"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(error_log().find(unidentified), std::string::npos);

    fs::remove(dir() / "error.log");
    write_file(dir() / "games.log", std::string(100000, '\0'));
    r = analyse();
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(error_log().find(unidentified), std::string::npos);

    // A 16-bit log with an odd number of bytes: the last half character is
    // just one more byte.
    write_file(dir() / "games.log", to_utf16_log(kGame) + "x");
    r = analyse({"-ni"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_NE(r.out.find("game 01:"), std::string::npos);
}

TEST_F(HostileInput, HostileUserIniLeavesTheSkinTableWhole) {
    std::string ini = "[Botpack.ChallengeBotInfo]\n" + std::string(5000, 'B') + "\nBotNames[0x10]=Hex\n" +
                      "BotFaces[0x10]=P.HexFace\nBotNames[010]=Octal\nBotFaces[010]=P.OctalFace\n" +
                      "BotNames[-1]=Minus\nBotNames[99999999999]=Huge\nBotNames[x]=NotANumber\n" +
                      "BotNames[49]=" + std::string(3000, 'L') + "\nBotFaces[49]=P." + std::string(3000, 'F') +
                      "\nBotFaces[3]=NoDot\nBotNames[50]=Past\n[DefaultPlayer]\nName=" + std::string(4000, 'P') +
                      "\nFace=.\n";
    ctx->folder.add("User.ini", ini);
    ASSERT_EQ(read_user_ini(*ctx), 1);
    EXPECT_EQ(ctx->skin_table[16].name, "Hex");
    EXPECT_EQ(ctx->skin_table[16].face, "HexFace");
    EXPECT_EQ(ctx->skin_table[8].name, "Octal");
    EXPECT_EQ(ctx->skin_table[8].face, "OctalFace");
    // A token is read as 255 characters at most, a field keeps 199.
    EXPECT_EQ(ctx->skin_table[49].name.view(), std::string(199, 'L'));
    EXPECT_EQ(ctx->skin_table[49].face.view(), std::string(199, 'F'));
    EXPECT_EQ(ctx->skin_table[3].face, "");
    EXPECT_EQ(ctx->skin_table[0].name.view(), std::string(199, 'P'));
    for (int i = 0; i < MAX_SKINS; ++i) {
        if (i == 0 || i == 8 || i == 16 || i == 49) continue;
        EXPECT_TRUE(ctx->skin_table[static_cast<std::size_t>(i)].name.empty()) << i;
    }
    std::string long_name(300, 'q');
    EXPECT_EQ(find_skin(*ctx, long_name), long_name);
    std::string line = "\t\twarning: Skin information of player " + long_name;
    EXPECT_EQ(error_log(), line.substr(0, 199) + "\r\n");
}

TEST_F(HostileRun, UnwritableErrorLogAndPageLoseNothing) {
    // A folder in the place of a file makes it impossible to open, even for root.
    fs::create_directory(dir() / "error.log");
    write_file(dir() / "games.log", to_utf16_log(kGame));
    fs::last_write_time(dir() / "games.log", fs::file_time_type::clock::now());
    RunResult r = analyse({"-ni"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_NE(r.out.find("game 01:"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(dir() / "error.log"));
    // Said once, however many lines were lost.
    EXPECT_EQ(r.err,
              "analyser: can't write error.log here, so its diagnostics are lost; make the folder writable, free "
              "some disk space and remove any folder or link named error.log\n");

    fs::remove(dir() / "error.log");
    // A folder in the place of the page, which is named after the log's date.
    analyse({"-ni"});
    std::string page;
    for (const auto& entry : fs::directory_iterator(dir()))
        if (entry.path().extension() == ".html" && entry.path().stem().string().find("-games") == std::string::npos)
            page = entry.path().filename().string();
    ASSERT_FALSE(page.empty());
    fs::remove(dir() / page);
    fs::create_directory(dir() / page);
    auto before = files();
    r = analyse({"-ni"});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_NE(r.out.find("game 01:"), std::string::npos);
    EXPECT_NE(error_log().find("\tcan't create Analyse-HTML-File\r\n"), std::string::npos);
    EXPECT_EQ(r.err, "analyser: can't write the page " + page +
                         "; make the folder writable, free some disk space and remove any folder or link of that "
                         "name (details in error.log)\n");
    auto after = files();
    for (const auto& [name, size] : before) EXPECT_TRUE(after.count(name)) << name << " was lost";
}

}  // namespace
