// The analyser's command line, banner, exit codes and the error log it keeps.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "analysis_test_support.h"
#include "game_log.h"

namespace {

const std::string kCredits =
    "Programm Version: 2.20\n"
    "Included:\n"
    "  Keshs tempra library version: 0.1.6\n"
    "  Keshs HTML library version: 0.4.22\n"
    "Compiler: MS/VC++ 6.0\n"
    "Autor: KESH\n"
    "e-mail: velstra@example.org\n"
    "homepage:http://velstra.example.org/\n"
    "\n";

const std::string kBanner = "\r\n\r\n" + std::string(85, '*') + "\r\n*" + std::string(38, ' ') + "ANALYSE" +
                            std::string(38, ' ') + "*\r\n" + std::string(85, '*') + "\r\n\r\n";

const std::string kNoGames = "*** loading game: 0\r\n\tgames.log file not found in the current directory\r\n";

// A short game on the given map, as an 8-bit log.
std::string deathmatch_game(const std::string& map) {
    return game_text({.map = map, .setup = connect_lines(0, "Alpha"), .play = kill_line("20.00", 0, "Enforcer", 0)});
}

class AnalyserCli : public ScratchFolder {
protected:
    RunResult analyse(const std::vector<std::string>& args = {}) { return run_analyser_program(args, dir()); }
};

TEST_F(AnalyserCli, CreditsSwitchesPrintTheBlockAndAnalyseNothing) {
    for (const char* sw : {"-v", "/v", "?", "/?"}) {
        RunResult r = analyse({sw});
        EXPECT_EQ(r.exit_code, 0) << sw;
        EXPECT_EQ(r.out, kCredits) << sw;
    }
    EXPECT_FALSE(std::filesystem::exists(dir() / "error.log"));
}

// The help switches only print: a game in the folder is not analysed.
TEST_F(AnalyserCli, HelpSwitchesPrintCreditsAndUsageAndTouchNothing) {
    write_file(dir() / "games.log", to_utf16_log(deathmatch_game("DM-One.unr")));
    for (const char* sw : {"-h", "--help", "/h"}) {
        RunResult r = analyse({sw});
        EXPECT_EQ(r.exit_code, 0) << sw;
        EXPECT_EQ(r.out.substr(0, kCredits.size()), kCredits) << sw;
        EXPECT_NE(r.out.find("\nusage: analyser "), std::string::npos) << sw;
        EXPECT_EQ(r.err, "") << sw;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir()), std::filesystem::directory_iterator()), 1);
}

TEST_F(AnalyserCli, OnlyTheExactFirstArgumentIsASwitch) {
    RunResult upper = analyse({"-V"});
    EXPECT_EQ(upper.exit_code, 1);
    EXPECT_EQ(upper.out, "");
    RunResult second = analyse({"x", "-ni"});
    EXPECT_EQ(second.exit_code, 1);
    RunResult credits_second = analyse({"x", "-v"});
    EXPECT_EQ(credits_second.out, "");
    RunResult version_second = analyse({"x", "--version"});
    EXPECT_EQ(version_second.out, "");
    EXPECT_EQ(analyse({"--Version"}).exit_code, 1);
    // No switch line: neither "-V" nor a second "-ni" counts.
    EXPECT_EQ(error_log(),
              kBanner + kNoGames + kBanner + kNoGames + kBanner + kNoGames + kBanner + kNoGames + kBanner + kNoGames);
}

TEST_F(AnalyserCli, EmptyFolderEndsWithExitOneAndASilentConsole) {
    RunResult r = analyse();
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(error_log(), kBanner + kNoGames);
}

TEST_F(AnalyserCli, NoImageSwitchLineStandsBeforeTheBanner) {
    for (const char* sw : {"-ni", "/ni"}) {
        std::filesystem::remove(dir() / "error.log");
        RunResult r = analyse({sw});
        EXPECT_EQ(r.exit_code, 1);
        EXPECT_EQ(error_log(), "\tinfo: \"No Image\" Switch found, no IMG TAG will be created in analyse HTML\r\n" +
                                   kBanner + kNoGames);
    }
}

TEST_F(AnalyserCli, AGapInTheNumberingEndsTheSession) {
    write_file(dir() / "games.log", to_utf16_log(deathmatch_game("DM-One.unr")));
    write_file(dir() / "games2.log", to_utf16_log(deathmatch_game("DM-Two.unr")));
    RunResult r = analyse({"-ni"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_NE(r.out.find("game 01:"), std::string::npos);
    EXPECT_EQ(r.out.find("game 02:"), std::string::npos);
    EXPECT_EQ(r.out.find("DM-Two"), std::string::npos);
    EXPECT_EQ(r.err, "analyser: games1.log is missing, so the session ends there; games2.log (1 log) was not read\n");

    std::string log = error_log();
    EXPECT_NE(log.find("*** loading game: 0\r\n"), std::string::npos);
    EXPECT_NE(log.find("*** loading game: 1\r\n\tgames1.log file not found in the current directory\r\n"),
              std::string::npos);
    EXPECT_EQ(log.find("loading game: 2"), std::string::npos);
    EXPECT_TRUE(std::regex_search(log, std::regex("Session analysed in [0-9.]+(E[-+][0-9]+)? seconds\r\n$")));
}

// Standard error names the file that ended the session and the numbered
// logs after it, up to the next gap; the games before it are reported.
TEST_F(AnalyserCli, AnUnusableLogSaysWhichLogsWereNotRead) {
    for (int n : {0, 2, 3, 5})
        write_file(dir() / (n == 0 ? "games.log" : "games" + std::to_string(n) + ".log"),
                   to_utf16_log(deathmatch_game("DM-One.unr")));
    const std::string head = "0.00\tinfo\tLog_Standard\tngLog\n";
    const std::pair<std::string, std::string> cases[] = {
        {"notes of the evening\n", "is not a stat log of the game"},
        {head + std::string(600000, 'x'), "holds a game too long to read (more than 511,999 characters)"},
    };
    for (const auto& [bytes, cause] : cases) {
        write_file(dir() / "games1.log", bytes);
        RunResult r = analyse({"-ni"});
        EXPECT_EQ(r.exit_code, 0) << cause;
        EXPECT_NE(r.out.find("game 01:"), std::string::npos) << cause;
        EXPECT_EQ(r.err, "analyser: games1.log " + cause +
                             ", so the session ends there; games2.log to games3.log (2 logs) were not read\n");
    }
}

TEST_F(AnalyserCli, SessionStartsWithTheVersionBanner) {
    write_file(dir() / "games.log", to_utf16_log(deathmatch_game("DM-One.unr")));
    RunResult r = analyse({"-ni"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out.substr(0, 23), "VELSTRA v2.20\n\ngame 01:");
}

TEST_F(AnalyserCli, ErrorLogGrowsAcrossRuns) {
    analyse();
    std::string first = error_log();
    analyse();
    EXPECT_EQ(error_log(), first + first);
}

TEST_F(AnalyserCli, EightBitAndSixteenBitLogsGiveTheSameReport) {
    write_file(dir() / "games.log", to_utf16_log(deathmatch_game("DM-One.unr")));
    RunResult wide = analyse({"-ni"});
    write_file(dir() / "games.log", deathmatch_game("DM-One.unr"));
    RunResult narrow = analyse({"-ni"});
    EXPECT_EQ(wide.out, narrow.out);
}

}  // namespace
