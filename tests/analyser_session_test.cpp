// Sessions through the analyser that are built here rather than kept as
// golden files: the error log and standard error of a session with more
// players than it can hold, and the error log a crash leaves behind.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <regex>

#include "analysis_test_support.h"
#include "file_system.h"
#include "game_log.h"
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

class AnalyserSession : public ScratchFolder {
protected:
    // The banner that starts every run in error.log.
    static std::string banner() {
        return crlf("\n\n" + std::string(85, '*') + "\n*" + std::string(38, ' ') + "ANALYSE" + std::string(38, ' ') +
                    "*\n" + std::string(85, '*') + "\n\n");
    }
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
    EXPECT_EQ(error_log_without_time(),
              "\tinfo: \"No Image\" Switch found, no IMG TAG will be created in analyse HTML\r\n" + banner() +
                  "*** loading game: 0\r\n"
                  "*** loading game: 1\r\n"
                  "*** loading game: 2\r\n"
                  "\t\twarning:maximum of session players exceeded\r\n"
                  "*** loading game: 3\r\n"
                  "\t\twarning:maximum of session players exceeded\r\n"
                  "*** loading game: 4\r\n"
                  "\tgames4.log file not found in the current directory\r\n");
}

// The current folder, except that reading one log stops the process as a
// crash does: no destructor and no exit handler runs.
class CrashingFolder final : public FileSystem {
public:
    explicit CrashingFolder(const char* crash_log) : crash_log_(crash_log) {}
    std::unique_ptr<InputFile> open_read(const char* name, bool text) override {
        if (std::strcmp(name, crash_log_) == 0) std::abort();
        return real().open_read(name, text);
    }
    std::unique_ptr<OutputFile> open_write(const char* name, WriteMode mode) override {
        return real().open_write(name, mode);
    }
    int write_time(const char* name, std::time_t& when) override { return real().write_time(name, when); }
    int find_next(const char* suffix, const char* after, PlatformDirEntry& entry) override {
        return real().find_next(suffix, after, entry);
    }
    int rename_no_replace(const char* from, const char* to) override { return real().rename_no_replace(from, to); }
    int remove_file(const char* name) override { return real().remove_file(name); }
    std::unique_ptr<ScratchFile> open_scratch() override { return real().open_scratch(); }

private:
    static FileSystem& real() { return real_file_system(); }
    const char* crash_log_;
};

// A run of the analyser in the current folder that crashes as it reads log.
void analyse_until_it_reads(const char* log) {
    CrashingFolder folder(log);
    NullOutput console;
    StringOutput said;
    AnalysisContext run(folder, console, said);
    const char* argv[] = {"analyser", "-ni"};
    run_analyser(run, 2, argv);
}

// Five games of add-on weapons, each logging more lines than error.log takes
// in one write. A whole run leaves every line there in order; a run that dies
// while it loads the fourth game leaves every line up to that game's, and
// nothing else.
TEST_F(AnalyserSession, ErrorLogHoldsEveryLineInOrderAndACrashLosesAtMostItsGamesLines) {
    std::string expected =
        "\tinfo: \"No Image\" Switch found, no IMG TAG will be created in analyse HTML\r\n" + banner();
    for (int game = 0; game < 5; ++game) {
        expected += "*** loading game: " + std::to_string(game) + "\r\n";
        std::string play;
        for (int kill = 0; kill < 450; ++kill) {
            const std::string gun = "Addon Gun " + std::to_string(game) + "-" + std::to_string(kill);
            play += kill_line(std::to_string(10 + kill) + ".00", kill % 2, gun, 1 - kill % 2);
            expected += "\t\tunsupported weapon found\r\n" + gun + "\r\n";
        }
        write_game_log(dir(), game,
                       game_text({.setup = connect_lines(0, "Ann") + connect_lines(1, "Bob"), .play = play}));
    }
    expected += "*** loading game: 5\r\n\tgames5.log file not found in the current directory\r\n";
    ASSERT_EQ(run_analyser_program({"-ni"}, dir()).exit_code, 0);
    EXPECT_EQ(error_log_without_time(), expected);
    std::filesystem::remove(dir() / "error.log");

    EXPECT_EXIT(analyse_until_it_reads("games3.log"), ::testing::KilledBySignal(SIGABRT), "");
    const std::string left = error_log();
    const std::size_t lost_from = expected.find("*** loading game: 3\r\n");
    EXPECT_EQ(left.substr(0, lost_from), expected.substr(0, lost_from));
    EXPECT_TRUE(expected.starts_with(left)) << left.size() << " bytes left";
}

}  // namespace
