// Sessions built here rather than kept as golden files, run on a folder in
// memory: the error log of a session with more players than it can hold.
#include <gtest/gtest.h>

#include <regex>

#include "analysis_test_support.h"
#include "game_log.h"
#include "load_game.h"
#include "session.h"

namespace {

std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

class AnalyserSession : public ::testing::Test {
protected:
    // The error log up to its last line, which must be the session time.
    std::string error_log_without_time() const {
        std::string log = run->error_log();
        std::size_t last = log.rfind("Session analysed in ");
        EXPECT_NE(last, std::string::npos);
        if (last == std::string::npos) return log;
        EXPECT_TRUE(std::regex_match(log.substr(last), std::regex("Session analysed in [0-9.]+ seconds\r\n")))
            << log.substr(last);
        return log.substr(0, last);
    }
    std::unique_ptr<TestRun> run = make_context();
};

// Sixteen new names in each game: the third game finds the 32 session
// records taken by its first player and is not added; the log says so.
TEST_F(AnalyserSession, MoreThanThirtyTwoPlayersAreReported) {
    for (int game = 0; game < 3; ++game) {
        std::string setup;
        for (int id = 0; id < MAXPLAYER; ++id)
            setup += connect_lines(id, "G" + std::to_string(game) + "P" + std::to_string(id));
        run->folder.add(game_file_name(game).c_str(),
                        to_utf16_log(game_text({.setup = setup, .play = kill_line("20.00", 0, "Enforcer", 1)})));
    }
    StringOutput console;
    run->out = &console;
    const char* argv[] = {"analyser", "-ni"};
    EXPECT_EQ(run_analyser(*run, 2, argv), 0);
    EXPECT_NE(console.text.find("game 03:"), std::string::npos);
    const std::string banner = crlf("\n\n" + std::string(85, '*') + "\n*" + std::string(38, ' ') + "ANALYSE" +
                                    std::string(38, ' ') + "*\n" + std::string(85, '*') + "\n\n");
    EXPECT_EQ(error_log_without_time(),
              "\tinfo: \"No Image\" Switch found, no IMG TAG will be created in analyse HTML\r\n" + banner +
                  "*** loading game: 0\r\n"
                  "*** loading game: 1\r\n"
                  "*** loading game: 2\r\n"
                  "\t\twarning:maximum of session players exceeded\r\n"
                  "*** loading game: 3\r\n"
                  "\tgames3.log file not found in the current directory\r\n");
}

}  // namespace
