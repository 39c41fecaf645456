// Folders whose names are not what they seem: links, FIFOs and folders where
// the programs read or write a file, and files that cannot be read. Players
// unpack packs of logs from others, so neither program may write through a
// link, block on a FIFO or take half a file for a whole one.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "analysis_test_support.h"
#include "game_log.h"

namespace fs = std::filesystem;

namespace {

const std::string kGame = game_text({.setup = connect_lines(0, "Ann") + connect_lines(1, "Bob", true, "", "3.000000"),
                                     .play = kill_line("100.00", 0, "Rocket Launcher", 1)});

const std::string kPageLine =
    "analyser: can't write the page velstra14072001.html; make the folder writable, free some disk space and remove "
    "any folder or link of that name (details in error.log)\n";
// Without error.log the line does not send the user there.
const std::string kPageLineWithoutErrorLog =
    "analyser: can't write the page velstra14072001.html; make the folder writable, free some disk space and remove "
    "any folder or link of that name\n";
const std::string kErrorLogLine =
    "analyser: can't write error.log here, so its diagnostics are lost; make the folder writable, free some disk "
    "space and remove any folder or link named error.log\n";

// Links and FIFOs are POSIX matters: these tests drive the native programs.
class UnsafeFolder : public ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        if (std::getenv("VELSTRA_ANALYSER") != nullptr) GTEST_SKIP() << "POSIX files only";
        outside_ = dir() / "outside";
        fs::create_directory(outside_);
        fs::create_directory(dir() / "logs");
        folder_ = dir() / "logs";
    }
    // A document outside the folder of logs, which no run may touch.
    fs::path document(const std::string& name) {
        const fs::path path = outside_ / name;
        write_file(path, "my own words\n");
        return path;
    }
    // Runs a program with a time limit: a FIFO that blocks it fails the test.
    RunResult run(const char* program, const std::vector<std::string>& args = {}) {
        std::vector<std::string> all = {"20", program};
        all.insert(all.end(), args.begin(), args.end());
        return run_program("timeout", all, folder_);
    }
    const fs::path& folder() const { return folder_; }

private:
    fs::path outside_;
    fs::path folder_;
};

TEST_F(UnsafeFolder, AnalyserNeverWritesThroughALink) {
    write_game_log(folder(), 0, kGame);
    const fs::path log_target = document("notes.txt");
    const fs::path page_target = document("letter.txt");
    fs::create_symlink(log_target, folder() / "error.log");
    fs::create_symlink(page_target, folder() / PAGE_NAME);

    RunResult r = run(ANALYSER_EXE, {"-ni"});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_NE(r.out.find("game 01:"), std::string::npos);
    EXPECT_EQ(r.err, kErrorLogLine + kPageLineWithoutErrorLog);
    EXPECT_EQ(read_file(log_target), "my own words\n");
    EXPECT_EQ(read_file(page_target), "my own words\n");
    EXPECT_TRUE(fs::is_symlink(folder() / "error.log"));
    EXPECT_TRUE(fs::is_symlink(folder() / PAGE_NAME));

    // With error.log writable, the failed page is logged as one that cannot be created.
    fs::remove(folder() / "error.log");
    r = run(ANALYSER_EXE, {"-ni"});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, kPageLine);
    EXPECT_NE(read_file(folder() / "error.log").find("\tcan't create Analyse-HTML-File\r\nSession analysed in "),
              std::string::npos);
}

TEST_F(UnsafeFolder, TheGamesPageIsNeverWrittenThroughALink) {
    write_game_log(folder(), 0, kGame);
    const fs::path target = document("letter.txt");
    fs::create_symlink(target, folder() / "velstra14072001-games.html");
    RunResult r = run(ANALYSER_EXE, {"-ni"});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err,
              "analyser: can't write the games page velstra14072001-games.html; make the folder writable, free some "
              "disk space and remove any folder or link of that name (details in error.log)\n");
    EXPECT_EQ(read_file(target), "my own words\n");
    EXPECT_NE(read_file(folder() / "error.log").find("\tcan't create Games-HTML-File\r\nSession analysed in "),
              std::string::npos);
}

TEST_F(UnsafeFolder, AFifoInThePagesPlaceNeitherBlocksNorIsWritten) {
    write_game_log(folder(), 0, kGame);
    ASSERT_EQ(mkfifo((folder() / PAGE_NAME).c_str(), 0644), 0);
    RunResult r = run(ANALYSER_EXE, {"-ni"});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err, kPageLine);
    struct stat status {};
    ASSERT_EQ(lstat((folder() / PAGE_NAME).c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

// Neither the page nor error.log can be written, as in a read-only folder
// (which root, who runs CI, could write all the same).
TEST_F(UnsafeFolder, NothingWritableEndsWithExitTwoAndSaysBoth) {
    write_game_log(folder(), 0, kGame);
    fs::create_directory(folder() / "error.log");
    fs::create_directory(folder() / PAGE_NAME);
    RunResult r = run(ANALYSER_EXE, {"-ni"});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_NE(r.out.find("game 01:"), std::string::npos);
    EXPECT_EQ(r.err, kErrorLogLine + kPageLineWithoutErrorLog);
}

// A log that is no regular file is not found; one that cannot be read to
// its end is not taken for a shorter game.
TEST_F(UnsafeFolder, LogsThatAreNoFilesOrCannotBeReadEndTheSession) {
    write_game_log(folder(), 0, kGame);
    write_game_log(folder(), 2, kGame);
    const std::string tail = "*** loading game: 1\r\n\tgames1.log file not found in the current directory\r\n";

    fs::create_directory(folder() / "games1.log");
    EXPECT_EQ(run(ANALYSER_EXE, {"-ni"}).exit_code, 0);
    std::string log = read_file(folder() / "error.log");
    EXPECT_NE(log.find(tail + "Session analysed in "), std::string::npos) << log;

    fs::remove(folder() / "games1.log");
    fs::remove(folder() / "error.log");
    ASSERT_EQ(mkfifo((folder() / "games1.log").c_str(), 0644), 0);
    EXPECT_EQ(run(ANALYSER_EXE, {"-ni"}).exit_code, 0);
    log = read_file(folder() / "error.log");
    EXPECT_NE(log.find(tail + "Session analysed in "), std::string::npos) << log;

    // Reading the start of a process's own memory fails with an I/O error.
    fs::remove(folder() / "games1.log");
    fs::remove(folder() / "error.log");
    fs::create_symlink("/proc/self/mem", folder() / "games1.log");
    RunResult r = run(ANALYSER_EXE, {"-ni"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out.find("game 02:"), std::string::npos);
    log = read_file(folder() / "error.log");
    EXPECT_NE(log.find("*** loading game: 1\r\n\tcan't read games1.log\r\nSession analysed in "), std::string::npos)
        << log;
    EXPECT_EQ(r.err,
              "analyser: games1.log cannot be read, so the session ends there; games2.log (1 log) was not read\n");
}

TEST_F(UnsafeFolder, ConverterNeverWritesThroughALinkNorReadsAFifo) {
    write_file(folder() / "a.log", "a");
    write_file(folder() / "b.log", "b");
    const fs::path copy_target = document("copy.txt");
    const fs::path log_target = document("notes.txt");
    fs::create_symlink(copy_target, folder() / "games.txt");
    fs::create_symlink(log_target, folder() / "error.log");

    RunResult r = run(LOGCONVERT_EXE);
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_EQ(read_file(copy_target), "my own words\n");
    EXPECT_EQ(read_file(log_target), "my own words\n");
    EXPECT_EQ(read_file(folder() / "games1.txt"), "b");
    EXPECT_EQ(r.err,
              "logconvert: can't write error.log here, so its diagnostics are lost; make the folder writable, free "
              "some disk space and remove any folder or link named error.log\n"
              "logconvert: can't write the copy games.txt; make the folder writable, free some disk space and remove "
              "any folder or link of that name\n");

    // A FIFO among the logs is listed, found unreadable, and ends the run.
    fs::remove(folder() / "error.log");
    ASSERT_EQ(mkfifo((folder() / "c.log").c_str(), 0644), 0);
    r = run(LOGCONVERT_EXE);
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(read_file(folder() / "error.log").find("\tc.log file not found in the current directory\r\n"),
              std::string::npos);
    // The first run's renames left games.log, so c.log keeps its name.
    EXPECT_EQ(r.err,
              "logconvert: nothing was renamed because games.log exists; logs left with other names than "
              "games<N>.log, which analyser does not read: 1; move those to a folder of their own and run logconvert "
              "there\n"
              "logconvert: can't read the log c.log, so it and the logs after it were not converted; check that it is "
              "a readable file (details in error.log)\n");
}

}  // namespace
