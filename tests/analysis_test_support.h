// Shared helpers of the tests: scratch folders, files, contexts, programs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "memory_file_system.h"
#include "records.h"

std::string read_file(const std::filesystem::path& path);
// Every file under a folder by its path from there ("players/bob.html"),
// but for the site's own files beside its pages (their times differ from
// run to run).
std::map<std::string, std::string> files_under(const std::filesystem::path& root);
void write_file(const std::filesystem::path& path, const std::string& bytes);

// The text as the game writes it: UTF-16 low byte first with the byte-order
// mark, LF line ends turned into CR LF.
std::string to_utf16_log(const std::string& text);

// Midday UTC of the given date, as a file's modification time.
void set_log_date(const std::filesystem::path& file, int day, int month, int year);

// Writes log n of a session ("games.log", "games1.log", ...) into folder as
// the game writes it, dated 14 July 2001: the analyser then names its page
// PAGE_NAME.
void write_game_log(const std::filesystem::path& folder, int n, const std::string& text);
inline const char* const PAGE_NAME = "velstra14072001.html";

// A test that runs inside a fresh scratch folder (the programs and the passes
// work on the current directory) and removes it afterwards.
class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string error_log() const { return read_file(dir_ / "error.log"); }
    const std::filesystem::path& dir() const { return dir_; }

private:
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};

// The folder of a run in a test, kept in memory, and the output it
// discards.
struct InMemoryFolder {
    MemoryFileSystem folder;
    NullOutput discard;
};

// A run at session start on a folder in memory, its output discarded unless
// the test points it elsewhere.
class TestRun : public InMemoryFolder, public AnalysisContext {
public:
    TestRun() : AnalysisContext(folder, discard) {}
    // Everything the run appended to error.log, its pending lines written
    // out first.
    std::string error_log() {
        log.write_pending();
        return folder.bytes("error.log");
    }
};
std::unique_ptr<TestRun> make_context();

// Puts text, as it stands, into the run's folder as the log of game n and
// loads it the way the program does; returns load_game's result.
int load_text(TestRun& ctx, const std::string& text, int n = 0);

struct RunResult {
    int exit_code = -1;
    std::string out;
    std::string err;
};

// Runs a program with arguments in folder and captures its standard output
// and standard error.
RunResult run_program(const std::string& program, const std::vector<std::string>& args,
                      const std::filesystem::path& folder);

// Run the programs under test: the ones built with the tests, unless the
// environment names others. VELSTRA_ANALYSER and VELSTRA_LOGCONVERT each hold
// a command prefix for the shell, such as "wine /build/windows/analyser.exe",
// so the same tests check another build of the same source.
RunResult run_analyser_program(const std::vector<std::string>& args, const std::filesystem::path& folder);
RunResult run_logconvert_program(const std::vector<std::string>& args, const std::filesystem::path& folder);
// velstra, or the command VELSTRA_HISTORY holds, in the time zone UTC: a
// game without a start in its log starts at its file's time, which it shows
// in the machine's local time.
RunResult run_velstra_program(const std::vector<std::string>& args, const std::filesystem::path& folder);

// The bytes of a session page written by the analyser program. A program
// built for Windows writes the page in text mode, so each of its line ends
// is CR LF; with VELSTRA_PAGE_CRLF=1 in the environment every line end must
// be exactly that (a test failure otherwise) and is returned as LF, so that
// the same expected bytes hold on both systems.
std::string read_page(const std::filesystem::path& path);

// Everything fn(output) writes.
template <typename Fn>
std::string capture_output(Fn fn) {
    StringOutput output;
    fn(output);
    return output.text;
}
