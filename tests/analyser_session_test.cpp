// Sessions through the analyser program that are built here rather than
// kept as golden files: the error log and standard error of a session with
// more players than it can hold.
#include <gtest/gtest.h>

#include <regex>

#include "analysis_test_support.h"
#include "game_log.h"

namespace {

std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

class AnalyserSession : public ScratchFolder {
protected:
    // The error log up to its last line, which must be the session time.
    std::string error_log_without_time() const {
        std::string log = error_log();
        std::size_t last = log.rfind("Session analysed in ");
        EXPECT_NE(last, std::string::npos);
        if (last == std::string::npos) return log;
        EXPECT_TRUE(std::regex_match(log.substr(last), std::regex("Session analysed in [0-9.]+ seconds\r\n")))
            << log.substr(last);
        return log.substr(0, last);
    }
};

// Sixteen new names in each of the first three games: the third game finds
// the 32 session records taken by its first player and is not added, nor is
// the fourth with the same names; the log says so for each, standard error
// once at the end, counting each name left out once.
TEST_F(AnalyserSession, MoreThanThirtyTwoPlayersAreReported) {
    for (int game = 0; game < 4; ++game) {
        std::string setup;
        for (int id = 0; id < MAXPLAYER; ++id)
            setup += connect_lines(id, "G" + std::to_string(game < 3 ? game : 2) + "P" + std::to_string(id));
        write_game_log(dir(), game, game_text({.setup = setup, .play = kill_line("20.00", 0, "Enforcer", 1)}));
    }
    RunResult run = run_analyser_program({"-ni"}, dir());
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_NE(run.out.find("game 04:"), std::string::npos);
    EXPECT_EQ(run.err,
              "analyser: the session holds at most 32 players, so 16 other players were left out of its page and "
              "totals; analyse fewer games at a time to see them all\n");
    const std::string banner = crlf("\n\n" + std::string(85, '*') + "\n*" + std::string(38, ' ') + "ANALYSE" +
                                    std::string(38, ' ') + "*\n" + std::string(85, '*') + "\n\n");
    EXPECT_EQ(error_log_without_time(),
              "\tinfo: \"No Image\" Switch found, no IMG TAG will be created in analyse HTML\r\n" + banner +
                  "*** loading game: 0\r\n"
                  "*** loading game: 1\r\n"
                  "*** loading game: 2\r\n"
                  "\t\twarning:maximum of session players exceeded\r\n"
                  "*** loading game: 3\r\n"
                  "\t\twarning:maximum of session players exceeded\r\n"
                  "*** loading game: 4\r\n"
                  "\tgames4.log file not found in the current directory\r\n");
}

}  // namespace
