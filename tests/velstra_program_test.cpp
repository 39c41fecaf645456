// The velstra program itself on logs as the game writes them, analysed for
// real: a server's Logs folder imported again, renamed, converted by
// logconvert; names that look like markup or SQL; merges, undo and forget
// through the command line.
#include <gtest/gtest.h>

#include <filesystem>

#include "analysis_test_support.h"
#include "game_log.h"
#include "velstra_test_games.h"

namespace fs = std::filesystem;

namespace {

const fs::path kProject = fs::path(__FILE__).parent_path().parent_path();

class VelstraProgram : public ScratchFolder {
protected:
    RunResult velstra(const std::vector<std::string>& args) { return run_velstra_program(args, dir()); }

    // A log as the server writes it: 16-bit without a byte-order mark.
    static void write_server_log(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        write_file(file, to_utf16_log(text).substr(2));
    }

    const std::string db = "velstra-history.db";
};

// A deathmatch started at when (server time, UTC+1), the first player the
// winner; the third is a bot.
std::string deathmatch(const std::string& when, const std::string& map, const std::string& first,
                       const std::string& second, const std::string& third = "Loque") {
    Game game;
    game.map = map;
    game.setup = connect_lines(0, first) + connect_lines(1, second) + connect_lines(2, third, true, "", "3.000000");
    game.play = kill_line("10.00", 0, "Rocket Launcher", 1) + kill_line("20.00", 0, "Flak Cannon", 2) +
                kill_line("30.00", 1, "Enforcer", 0) + kill_line("40.00", 2, "Minigun", 2, "suicide");
    std::string text = game_text(game);
    return text.insert(text.find('\n') + 1, log_line("0.00", {"info", "Absolute_Time", when + ".000.+1.0"}));
}

TEST_F(VelstraProgram, AServersLogsAreKeptOnceUnderEveryNameAndEncoding) {
    const std::string first = deathmatch("2011.03.27.21.47.25", "DM-Deck16][.unr", "Ann", "Bob");
    const std::string second = deathmatch("2011.03.27.22.05.00", "DM-Morpheus.unr", "Bob", "Ann");
    write_server_log("Logs/Unreal.ngLog.2011.03.27.21.47.25.7777.log", first);
    write_server_log("Logs/Unreal.ngLog.2011.03.27.22.05.00.7777.log", second);
    // The game the server was playing when it stopped: no end line.
    write_server_log("Logs/Unreal.ngLog.2011.03.27.22.30.00.7777.tmp", first.substr(0, first.find("599.00")));
    write_server_log("renamed/games7.log", first);

    RunResult imported = velstra({"import", "-v", "Logs"});
    EXPECT_EQ(imported.exit_code, 0) << imported.err;
    EXPECT_EQ(imported.out, "2 games added, 0 already in the history, 1 skipped (1 unfinished)\n");
    EXPECT_EQ(imported.err,
              "Logs/Unreal.ngLog.2011.03.27.21.47.25.7777.log: added as game 1\n"
              "Logs/Unreal.ngLog.2011.03.27.22.05.00.7777.log: added as game 2\n"
              "Logs/Unreal.ngLog.2011.03.27.22.30.00.7777.tmp: skipped, unfinished\n");
    EXPECT_EQ(velstra({"import", "Logs", "renamed"}).out,
              "0 games added, 3 already in the history, 1 skipped (1 unfinished)\n");

    // logconvert's renamed logs and their 8-bit copies are the same games.
    fs::create_directory("converted");
    for (const auto& entry : fs::directory_iterator("Logs"))
        if (entry.path().extension() == ".log") fs::copy_file(entry.path(), "converted" / entry.path().filename());
    ASSERT_EQ(run_logconvert_program({}, dir() / "converted").exit_code, 0);
    ASSERT_TRUE(fs::exists("converted/games1.txt"));
    // Beside them, logconvert's error.log: text, but no log.
    EXPECT_EQ(velstra({"import", "converted"}).out,
              "0 games added, 4 already in the history, 1 skipped (1 not a stat log)\n");

    EXPECT_EQ(query(db, "SELECT game_id, file_name FROM game_file ORDER BY 1, 2"),
              "1|Unreal.ngLog.2011.03.27.21.47.25.7777.log\n1|games.log\n1|games.txt\n1|games7.log\n"
              "2|Unreal.ngLog.2011.03.27.22.05.00.7777.log\n2|games1.log\n2|games1.txt\n");
    RunResult games = velstra({"games"});
    EXPECT_EQ(games.out,
              "1  2011-03-27 21:47  DM-Deck16][.unr  Tournament DeathMatch  10:00  Ann\n"
              "2  2011-03-27 22:05  DM-Morpheus.unr  Tournament DeathMatch  10:00  Bob\n");

    // Forgotten, a game comes back from any of its files, with a new id.
    EXPECT_EQ(velstra({"forget", "1"}).out, "forgot game 1 (DM-Deck16][.unr, 2011-03-27 21:47)\n");
    EXPECT_EQ(velstra({"import", "converted/games.txt"}).out, "1 game added, 0 already in the history, 0 skipped\n");
    EXPECT_EQ(query(db, "SELECT id, map, start_local, utc_offset_minutes FROM game ORDER BY id"),
              "2|DM-Morpheus.unr|2011-03-27 22:05:00|60\n3|DM-Deck16][.unr|2011-03-27 21:47:25|60\n");
    EXPECT_EQ(query(db, "PRAGMA integrity_check"), "ok\n");
}

// Names as players choose them: markup, SQL, quotes, format directives,
// Latin-1 letters and a very long one. The history keeps the
// characters, the listing prints them, the page of the game shows the same
// ones, and a merge of two of them is refused and done and undone.
TEST_F(VelstraProgram, HostileNamesAreKeptListedAndMergedAsTheyAre) {
    const std::string markup = "<b>Ann</b>&amp;";
    const std::string sql = "Bob'); DROP TABLE name;--";
    const std::string quoted = "\"%s%n\" '";
    const std::string latin1 = "J\xF6rg \xA7\xFF";
    const std::string utf8 = "J\xC3\xB6rg \xC2\xA7\xC3\xBF";
    const std::string longest(199, 'W');  // the longest field the analyser keeps
    write_server_log("Logs/Unreal.ngLog.2011.03.27.21.47.25.7777.log",
                     deathmatch("2011.03.27.21.47.25", "DM-Deck16][.unr", markup, sql, quoted));
    write_server_log("Logs/Unreal.ngLog.2011.03.28.21.00.00.7777.log",
                     deathmatch("2011.03.28.21.00.00", "DM-Morpheus.unr", latin1, longest, quoted));

    ASSERT_EQ(velstra({"import", "Logs"}).out, "2 games added, 0 already in the history, 0 skipped\n");
    EXPECT_EQ(query(db, "SELECT name FROM name ORDER BY name"),
              quoted + "\n" + markup + "\n" + sql + "\n" + utf8 + "\n" + longest + "\n");
    const std::string players_before = "2 games  first 2011-03-27 21:47  last 2011-03-28 21:00  bot  " + quoted + "\n" +
                                       "1 game   first 2011-03-27 21:47  last 2011-03-27 21:47  human  " + markup +
                                       "\n" + "1 game   first 2011-03-27 21:47  last 2011-03-27 21:47  human  " + sql +
                                       "\n" + "1 game   first 2011-03-28 21:00  last 2011-03-28 21:00  human  " + utf8 +
                                       "\n" + "1 game   first 2011-03-28 21:00  last 2011-03-28 21:00  human  " +
                                       longest + "\n";
    EXPECT_EQ(velstra({"players"}).out, players_before);

    const RunResult check = run_program("sh",
                                        {(kProject / "tools/check-history.sh").string(), "--analyser", ANALYSER_EXE,
                                         "--velstra", VELSTRA_EXE, (dir() / "Logs").string()},
                                        dir());
    EXPECT_EQ(check.exit_code, 0) << check.out << check.err;
    EXPECT_EQ(check.out, "2 files: 2 games, 2 equal to their page, 0 differ, 0 skipped\n");

    RunResult refused = velstra({"alias", sql, utf8, "--as", markup});
    EXPECT_EQ(refused.exit_code, 2);
    EXPECT_EQ(refused.err, "velstra: \"" + markup + "\" and \"" + sql +
                               "\" both played in game 1 (DM-Deck16][.unr, 2011-03-27 21:47), so they are two "
                               "players; nothing was merged\n");
    EXPECT_EQ(velstra({"players"}).out, players_before);

    RunResult merged = velstra({"alias", utf8, "--as", sql});
    EXPECT_EQ(merged.exit_code, 0) << merged.err;
    EXPECT_EQ(merged.out, "merged \"" + utf8 + "\" into \"" + sql + "\"\n");
    EXPECT_EQ(velstra({"players"}).out,
              "2 games  first 2011-03-27 21:47  last 2011-03-28 21:00  bot  " + quoted + "\n" +
                  "2 games  first 2011-03-27 21:47  last 2011-03-28 21:00  human  " + sql + " (also " + utf8 + ")\n" +
                  "1 game   first 2011-03-27 21:47  last 2011-03-27 21:47  human  " + markup + "\n" +
                  "1 game   first 2011-03-28 21:00  last 2011-03-28 21:00  human  " + longest + "\n");
    ASSERT_EQ(velstra({"alias", "--remove", utf8}).exit_code, 0);
    EXPECT_EQ(velstra({"players"}).out, players_before);
}

// The check of a folder compares what it says it does: a history that
// differs from the page in one figure of one player is found.
TEST_F(VelstraProgram, TheCheckOfAFolderFindsAFigureThatDiffers) {
    write_server_log("Logs/Unreal.ngLog.2011.03.27.21.47.25.7777.log",
                     deathmatch("2011.03.27.21.47.25", "DM-Deck16][.unr", "Ann", "Bob"));
    // velstra, then a slip in the history it wrote.
    write_file("slipping-velstra",
               "#!/bin/sh\n'" + std::string(VELSTRA_EXE) +
                   "' \"$@\" || exit\n"
                   "sqlite3 \"$4\" \"UPDATE game_player SET deaths = deaths + 1 WHERE slot = 1\"\n");
    fs::permissions("slipping-velstra", fs::perms::owner_exec, fs::perm_options::add);
    const RunResult check = run_program("sh",
                                        {(kProject / "tools/check-history.sh").string(), "--analyser", ANALYSER_EXE,
                                         "--velstra", (dir() / "slipping-velstra").string(), "Logs"},
                                        dir());
    EXPECT_EQ(check.exit_code, 1) << check.err;
    EXPECT_EQ(check.out,
              "Unreal.ngLog.2011.03.27.21.47.25.7777.log (game 1):\n"
              "    page:    2\tBob\t1\t1\t1\t0\t6\t0\t0\t0\t0\tEnforcer (1)\tAnn (1)\tHuman\t\xE2\x80\x94\t-\n"
              "    history: 2\tBob\t1\t1\t2\t0\t6\t0\t0\t0\t0\tEnforcer (1)\tAnn (1)\tHuman\t\xE2\x80\x94\t-\n"
              "1 files: 1 games, 0 equal to their page, 1 differ, 0 skipped\n");
}

}  // namespace
