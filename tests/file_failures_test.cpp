// Reads, writes and closes that fail, on a folder in memory: what both
// programs log, and how they end. The same on every system.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "analysis_test_support.h"
#include "game_log.h"
#include "log_converter.h"
#include "memory_file_system.h"
#include "session.h"

namespace {

// Noon of 14 July 2001, UTC.
constexpr std::time_t kLogTime = 995112000;

const std::string kGame =
    to_utf16_log(game_text({.setup = connect_lines(0, "Ann") + connect_lines(1, "Bob", true, "", "3.000000"),
                            .play = kill_line("100.00", 0, "Rocket Launcher", 1)}));

class AnalyserFiles : public ::testing::Test {
protected:
    AnalyserFiles() { folder.add("games.log", kGame, kLogTime); }
    int run() {
        const char* argv[] = {"analyser", "-ni"};
        return run_analyser(ctx, 2, argv);
    }
    // error.log without the session time, which differs from run to run.
    std::string log_tail(std::size_t lines) const {
        std::string log = folder.bytes("error.log");
        log = log.substr(0, log.rfind("Session analysed in "));
        std::size_t start = log.size();
        for (std::size_t n = 0; n <= lines && start != std::string::npos && start > 0; ++n)
            start = log.rfind('\n', start - 1);
        return start == std::string::npos ? log : log.substr(start + 1);
    }
    MemoryFileSystem folder;
    StringOutput console;
    StringOutput said;  // standard error
    AnalysisContext ctx{folder, console, said};
};

TEST_F(AnalyserFiles, AReadThatFailsIsNoShorterGame) {
    folder.add("games1.log", kGame, kLogTime).fail_read = true;
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(console.text.find("game 02:"), std::string::npos);
    EXPECT_EQ(log_tail(2), "*** loading game: 1\r\n\tcan't read games1.log\r\n");
    EXPECT_FALSE(folder.bytes(PAGE_NAME).empty());
}

TEST_F(AnalyserFiles, APageThatCannotBeWrittenOrClosedEndsWithExitTwo) {
    folder.add(PAGE_NAME, "").fail_write = true;
    EXPECT_EQ(run(), 2);
    EXPECT_NE(console.text.find("game 01:"), std::string::npos);
    EXPECT_EQ(log_tail(1), "\tcan't write Analyse-HTML-File\r\n");

    AnalysisContext again(folder, console, said);
    folder.files.erase("error.log");
    folder.add(PAGE_NAME, "").fail_close = true;
    const char* argv[] = {"analyser", "-ni"};
    EXPECT_EQ(run_analyser(again, 2, argv), 2);
    EXPECT_EQ(log_tail(1), "\tcan't write Analyse-HTML-File\r\n");
    EXPECT_EQ(folder.bytes(PAGE_NAME), "");  // the buffered page was lost
}

TEST_F(AnalyserFiles, AGamesPageThatCannotBeCreatedOrWrittenEndsWithExitTwo) {
    const char* games_page = "velstra14072001-games.html";
    folder.add(games_page, "").regular = false;  // a folder of that name
    EXPECT_EQ(run(), 2);
    EXPECT_EQ(log_tail(1), "\tcan't create Games-HTML-File\r\n");
    EXPECT_FALSE(folder.bytes(PAGE_NAME).empty());  // the session page is not held back

    // Scratch files that cannot be made, or not written: no page, nothing left.
    for (const bool made : {false, true}) {
        AnalysisContext again(folder, console, said);
        folder.files.erase(games_page);
        folder.files.erase("error.log");
        folder.fail_scratch = !made;
        folder.fail_scratch_write = made;
        const char* argv[] = {"analyser", "-ni"};
        EXPECT_EQ(run_analyser(again, 2, argv), 2) << made;
        EXPECT_EQ(log_tail(1), made ? "\tcan't write Games-HTML-File\r\n" : "\tcan't create Games-HTML-File\r\n");
        EXPECT_FALSE(folder.exists(games_page)) << made;
        EXPECT_EQ(folder.scratch_files_open, 0) << made;
    }
    folder.fail_scratch = folder.fail_scratch_write = false;

    AnalysisContext last(folder, console, said);
    folder.files.erase("error.log");
    folder.add(games_page, "").fail_close = true;
    const char* argv[] = {"analyser", "-ni"};
    EXPECT_EQ(run_analyser(last, 2, argv), 2);
    EXPECT_EQ(log_tail(1), "\tcan't write Games-HTML-File\r\n");
    EXPECT_EQ(folder.scratch_files_open, 0);
}

// What waits for the end of the run is kept where no name of the folder
// leads: the user's files stay as they were, and the run leaves only its
// pages and error.log behind.
TEST_F(AnalyserFiles, TheRunLeavesTheUsersFilesAndNoFileOfItsOwnButItsPages) {
    for (const char* mine : {"velstra-games-rows.part", "velstra-games-sections.part", "velstra.part"})
        folder.add(mine, "mine");
    EXPECT_EQ(run(), 0);
    std::string names;
    for (const auto& [name, file] : folder.files) names += name + (file.bytes == "mine" ? "(mine) " : " ");
    EXPECT_EQ(names,
              "error.log games.log velstra-games-rows.part(mine) velstra-games-sections.part(mine) velstra.part(mine) "
              "velstra14072001-games.html velstra14072001.html ");
    EXPECT_EQ(folder.scratch_files_open, 0);
}

TEST_F(AnalyserFiles, AnErrorLogThatCannotBeWrittenChangesNothingElse) {
    folder.add("error.log", "").fail_write = true;
    EXPECT_EQ(run(), 0);
    // Every message is lost, and standard error says so once.
    EXPECT_EQ(said.text.find("analyser: can't write error.log here"), 0u) << said.text;
    EXPECT_EQ(said.text.find('\n'), said.text.size() - 1) << said.text;
    EXPECT_NE(console.text.find("game 01:"), std::string::npos);
    EXPECT_EQ(folder.bytes("error.log"), "");
    EXPECT_NE(folder.bytes(PAGE_NAME).find("Anaylsed games: 1<BR>"), std::string::npos);
}

class ConverterFiles : public ::testing::Test {
protected:
    int run() {
        const char* argv[] = {"logconvert"};
        return run_logconvert(ctx, 1, argv);
    }
    std::string log_lines() const {
        const std::string log = folder.bytes("error.log");
        const std::string banner_end = std::string(85, '*') + "\r\n\r\n";
        return log.substr(log.rfind(banner_end) + banner_end.size());
    }
    MemoryFileSystem folder;
    StringOutput console;
    ConverterContext ctx{folder, console};
};

TEST_F(ConverterFiles, ALogThatCannotBeReadStopsTheRun) {
    folder.add("games.log", "a");
    folder.add("games1.log", "bb").fail_read = true;
    folder.add("games2.log", "c");
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(log_lines(),
              "\t\tinfo: converted games.log to games.txt\r\n"
              "\tgames1.log file not found in the current directory\r\n");
    EXPECT_FALSE(folder.exists("games1.txt"));
    EXPECT_FALSE(folder.exists("games2.txt"));
}

TEST_F(ConverterFiles, ACopyThatCannotBeWrittenOrClosedIsNotConverted) {
    folder.add("games.log", "a");
    folder.add("games1.log", "b");
    folder.add("games.txt", "").fail_write = true;
    folder.add("games1.txt", "").fail_close = true;
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(log_lines(),
              "\tcan not save games.txt file in the current directory\r\n"
              "\tcan not save games1.txt file in the current directory\r\n");
}

// Standard error that notes, with each line, what error.log held as it was
// said.
class ErrorsBesideTheLog final : public Output {
public:
    explicit ErrorsBesideTheLog(const MemoryFileSystem& folder) : folder_(&folder) {}
    bool write(const char* data, std::size_t size) override {
        said.emplace_back(std::string(data, size), folder_->bytes("error.log"));
        return true;
    }
    std::vector<std::pair<std::string, std::string>> said;  // line, error.log then

private:
    const MemoryFileSystem* folder_;
};

// A failure line sends the user to error.log: the details are there when the
// line is said, whichever way the run ends. A log that takes no bytes is said
// first, and the line then sends no one there.
TEST(FailureLines, FollowTheirDetailsIntoErrorLog) {
    const std::string unfinished = to_utf16_log(header_lines(DEATHMATCH) + log_line("1.00", {"game_start"}));
    struct Case {
        const char* name;
        std::function<void(MemoryFileSystem&)> folder;
        int exit_code;
        std::string line_start;  // of the failure line
        std::string details;     // the last line of error.log as it is said
    };
    const Case cases[] = {
        {"no games.log", [](MemoryFileSystem&) {}, 1, "analyser: no games.log in this folder;",
         "\tgames.log file not found in the current directory\r\n"},
        {"games.log unfinished", [&](MemoryFileSystem& f) { f.add("games.log", unfinished, kLogTime); }, 1,
         "analyser: games.log holds no complete game",
         "\tno complete game_end line in games.log (unfinished game)\r\n"},
        {"a session that ends early",
         [&](MemoryFileSystem& f) {
             f.add("games.log", kGame, kLogTime);
             f.add("games1.log", unfinished, kLogTime);
             f.add("games2.log", kGame, kLogTime);
         },
         0, "analyser: games1.log holds no complete game, so the session ends there;",
         "\tno complete game_end line in games1.log (unfinished game)\r\n"},
        {"a page that cannot be made",
         [](MemoryFileSystem& f) {
             f.add("games.log", kGame, kLogTime);
             f.add(PAGE_NAME, "").regular = false;
         },
         2, "analyser: can't write the page velstra14072001.html;", "\tcan't create Analyse-HTML-File\r\n"},
    };
    for (const Case& c : cases) {
        MemoryFileSystem folder;
        c.folder(folder);
        NullOutput console;
        ErrorsBesideTheLog errors(folder);
        AnalysisContext ctx(folder, console, errors);
        const char* argv[] = {"analyser", "-ni"};
        EXPECT_EQ(run_analyser(ctx, 2, argv), c.exit_code) << c.name;
        ASSERT_EQ(errors.said.size(), 1u) << c.name;
        const auto& [line, log_then] = errors.said[0];
        EXPECT_TRUE(line.starts_with(c.line_start)) << c.name << ": " << line;
        EXPECT_TRUE(log_then.ends_with(c.details)) << c.name << ": " << log_then;
        EXPECT_TRUE(folder.bytes("error.log").starts_with(log_then)) << c.name;
    }

    // A full disk: error.log opens, but its bytes are lost.
    MemoryFileSystem folder;
    folder.add("error.log", "").fail_write = true;
    NullOutput console;
    ErrorsBesideTheLog errors(folder);
    AnalysisContext ctx(folder, console, errors);
    const char* argv[] = {"analyser"};
    EXPECT_EQ(run_analyser(ctx, 1, argv), 1);
    ASSERT_EQ(errors.said.size(), 2u);
    EXPECT_TRUE(errors.said[0].first.starts_with("analyser: can't write error.log here,")) << errors.said[0].first;
    EXPECT_EQ(errors.said[1].first,
              "analyser: no games.log in this folder; run logconvert here first to give the logs the names analyser "
              "reads\n");
}

// Two runs in one process: each line names its own run's program, and each
// cause is said once in each run, whatever the other run said in between.
TEST(FailureLines, BelongToTheRunThatSaysThem) {
    MemoryFileSystem folder;
    folder.add("error.log", "").fail_write = true;
    NullOutput console;
    StringOutput analyser_said;
    StringOutput converter_said;
    AnalysisContext analysis(folder, console, analyser_said);
    ConverterContext conversion(folder, console, converter_said);
    const std::string lost =
        "can't write error.log here, so its diagnostics are lost; make the folder writable, free some disk space "
        "and remove any folder or link named error.log\n";

    analysis.log.append("before");
    analysis.log.write_pending();
    const char* argv[] = {"logconvert"};
    EXPECT_EQ(run_logconvert(conversion, 1, argv), 1);
    analysis.log.append("after");
    analysis.log.write_pending();
    EXPECT_EQ(analyser_said.text, "analyser: " + lost);
    EXPECT_EQ(converter_said.text, "logconvert: " + lost +
                                       "logconvert: no .log file in this folder; run logconvert in the folder that "
                                       "holds the game's logs\n");
}

}  // namespace
