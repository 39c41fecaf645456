// The log converter, run as a program in scratch folders: what it prints,
// what it appends to "error.log", which files it renames and writes, and its
// exit codes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "analysis_test_support.h"
#include "log_converter.h"
#include "memory_file_system.h"

namespace fs = std::filesystem;

namespace {

const std::string kStars(85, '*');
const std::string kBanner = "\r\n\r\n" + kStars + "\r\n*" + std::string(35, ' ') + "LOG CONVERTER" +
                            std::string(35, ' ') + "*\r\n" + kStars + "\r\n\r\n";
const std::string kNotFound = "\tlog file not found in the current directory\r\n";

const std::string kCredits =
    "Programm Version: 1.10\n"
    "Compiler: MS/VC++ 6.0\n"
    "Included:\n"
    "Autor: KESH\n"
    "e-mail: velstra@example.org\n"
    "homepage:http://velstra.example.org/\n"
    "\n";

// 10:06:42 on 15 August 2000, local time, and its calendar text.
std::time_t example_time() {
    std::tm t{};
    t.tm_year = 100;
    t.tm_mon = 7;
    t.tm_mday = 15;
    t.tm_hour = 10;
    t.tm_min = 6;
    t.tm_sec = 42;
    t.tm_isdst = -1;
    return std::mktime(&t);
}
const std::string kExampleDate = "Tue Aug 15 10:06:42 2000\n";

void set_time(const fs::path& path, std::time_t when) {
    timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// A log file with the example's date, so that its listing line is known.
void write_log(const std::string& name, const std::string& bytes) {
    write_file(name, bytes);
    set_time(name, example_time());
}

std::string listing(const std::string& name, std::size_t size, const std::string& date = kExampleDate) {
    return "Name:" + name + "  Size:" + std::to_string(size) + "  Date:" + date + "  ";
}

std::string without_zeros(const std::string& bytes) {
    std::string out;
    for (char c : bytes)
        if (c != '\0') out += c;
    return out;
}

std::string lines(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& t : texts) out += t + "\r\n";
    return out;
}

// The listing line of "error.log" holding only the banner comes first; its
// date is the time of this run. Returns what follows it, or "?" when the
// output does not start with it.
std::string drop_error_log_listing(const std::string& out) {
    const std::string head = "Name:error.log  Size:" + std::to_string(kBanner.size()) + "  Date:";
    const std::size_t date_end = head.size() + 24;
    if (out.rfind(head, 0) != 0 || out.size() < date_end + 3 || out[date_end] != '\n' ||
        out.compare(date_end + 1, 2, "  ") != 0)
        return "?";
    return out.substr(date_end + 3);
}

class LogConvertRun : public ScratchFolder {
protected:
    RunResult convert(const std::vector<std::string>& args = {}) { return run_logconvert_program(args, dir()); }
};

// ---------------------------------------------------------------------------
// Command line

using LogConvertCommandLine = LogConvertRun;

TEST_F(LogConvertCommandLine, EachCreditsSwitchPrintsTheBlockAndTouchesNothing) {
    write_log("a.log", "a");
    for (const char* option : {"-v", "/v", "?", "/?"}) {
        RunResult run = convert({option});
        EXPECT_EQ(run.exit_code, 0) << option;
        EXPECT_EQ(run.out, kCredits) << option;
    }
    EXPECT_FALSE(fs::exists("error.log"));
    EXPECT_TRUE(fs::exists("a.log"));
    EXPECT_FALSE(fs::exists("games.txt"));
}

// "logconvert --help" in a folder of logs must not rename them all.
TEST_F(LogConvertCommandLine, HelpSwitchesPrintCreditsAndUsageAndTouchNothing) {
    write_log("a.log", "a");
    for (const char* option : {"-h", "--help", "/h"}) {
        RunResult run = convert({option});
        EXPECT_EQ(run.exit_code, 0) << option;
        EXPECT_EQ(run.out.substr(0, kCredits.size()), kCredits) << option;
        EXPECT_NE(run.out.find("\nusage: logconvert "), std::string::npos) << option;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::exists("a.log"));
}

TEST_F(LogConvertCommandLine, VersionSwitchPrintsOneLineAndTouchesNothing) {
    write_log("a.log", "a");
    RunResult run = convert({"--version"});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, "logconvert (velstra) 2.20\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::exists("a.log"));
}

TEST_F(LogConvertCommandLine, AnyOtherFirstArgumentStartsTheConversion) {
    // Compared exactly, and only the first argument counts.
    const std::vector<std::vector<std::string>> calls = {
        {"-V"}, {"v"}, {"-ni"}, {"/v2"}, {"--Version"}, {"-version"}, {""}, {"x", "-v"}, {"x", "--version"}};
    for (const auto& args : calls) {
        write_log("a.log", "a");
        RunResult run = convert(args);
        EXPECT_EQ(run.exit_code, 0) << args[0];
        EXPECT_EQ(run.out, listing("a.log", 1) + "\ta.log -> games.log\n") << args[0];
        EXPECT_EQ(read_file("games.txt"), "a") << args[0];
        fs::remove("games.log");
        fs::remove("games.txt");
    }
}

// ---------------------------------------------------------------------------
// The folders of the documented examples

using LogConvertExamples = LogConvertRun;

TEST_F(LogConvertExamples, LogsGetTheAnalysersNamesAndZeroFreeCopies) {
    const std::string a = to_utf16_log("0.00\tinfo\tfirst\n");
    const std::string b = to_utf16_log("0.00\tinfo\tsecond game\n");
    write_log("a.log", a);
    write_log("b.log", b);

    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 0);
    // The date ends in its own line feed, so the second listing line starts
    // with the two blanks of the first.
    EXPECT_EQ(run.out, listing("a.log", a.size()) + listing("b.log", b.size()) +
                           "\ta.log -> games.log\n"
                           "\tb.log -> games1.log\n");
    EXPECT_FALSE(fs::exists("a.log"));
    EXPECT_FALSE(fs::exists("b.log"));
    EXPECT_EQ(read_file("games.log"), a);
    EXPECT_EQ(read_file("games1.log"), b);
    EXPECT_EQ(read_file("games.txt"), without_zeros(a));
    EXPECT_EQ(read_file("games1.txt"), without_zeros(b));
    EXPECT_EQ(error_log(),
              kBanner + lines({"\t\tinfo: renamed   a.log to games.log", "\t\tinfo: converted a.log to games.txt",
                               "\t\tinfo: renamed   b.log to games1.log", "\t\tinfo: converted b.log to games1.txt"}));
}

TEST_F(LogConvertExamples, AnExistingGamesLogKeepsEveryName) {
    write_log("x.log", "xx");
    write_log("games.log", "gg");
    write_log("a.log", "aa");

    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, listing("a.log", 2) + listing("games.log", 2) + listing("x.log", 2));
    EXPECT_EQ(read_file("a.log"), "aa");
    EXPECT_EQ(read_file("games.log"), "gg");
    EXPECT_EQ(read_file("x.log"), "xx");
    EXPECT_FALSE(fs::exists("games1.log"));
    EXPECT_EQ(read_file("games.txt"), "aa");
    EXPECT_EQ(read_file("games1.txt"), "gg");
    EXPECT_EQ(read_file("games2.txt"), "xx");
    EXPECT_EQ(error_log(),
              kBanner + lines({"\t\tinfo: converted a.log to games.txt", "\t\tinfo: converted games.log to games1.txt",
                               "\t\tinfo: converted x.log to games2.txt"}));
}

// The normal second run is silent; logs that keep names the analyser does
// not read are counted on standard error.
TEST_F(LogConvertExamples, AnExistingGamesLogCountsTheLogsThatKeepOtherNames) {
    for (const char* name : {"games.log", "games1.log", "games12.log"}) write_log(name, "g");
    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err, "");

    for (const char* name : {"a.log", "games01.log", "games0.log", "Games2.log"}) write_log(name, "o");
    run = convert();
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err,
              "logconvert: nothing was renamed because games.log exists; logs left with other names than "
              "games<N>.log, which analyser does not read: 4; move those to a folder of their own and run logconvert "
              "there\n");
    EXPECT_EQ(read_file("a.log"), "o");
}

TEST_F(LogConvertExamples, ErrorLogIsListedOnlyWhenFoundFirstAndNeverConverted) {
    // The banner has made "error.log" before the search; "x.log" sorts after it.
    write_log("x.log", "x");
    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(drop_error_log_listing(run.out), listing("x.log", 1) + "\tx.log -> games.log\n");
    EXPECT_EQ(read_file("games.txt"), "x");
    EXPECT_FALSE(fs::exists("games1.txt"));
    EXPECT_EQ(error_log(),
              kBanner + lines({"\t\tinfo: renamed   x.log to games.log", "\t\tinfo: converted x.log to games.txt"}));

    // Found after "a.log" it is not even listed.
    fs::remove("games.log");
    fs::remove("games.txt");
    write_log("a.log", "a");
    write_log("x.log", "x");
    run = convert();
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, listing("a.log", 1) + listing("x.log", 1) +
                           "\ta.log -> games.log\n"
                           "\tx.log -> games1.log\n");
    EXPECT_FALSE(fs::exists("games2.txt"));
}

TEST_F(LogConvertExamples, OnlyTheErrorLogMeansNoLogFound) {
    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err,
              "logconvert: no .log file in this folder; run logconvert in the folder that holds the game's logs "
              "(details in error.log)\n");
    EXPECT_EQ(drop_error_log_listing(run.out), "");
    EXPECT_EQ(error_log(), kBanner + kNotFound);
    EXPECT_FALSE(fs::exists("games.txt"));

    // Another run appends to the same file.
    run = convert();
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(error_log(), kBanner + kNotFound + kBanner + kNotFound);

    // The server's unfinished games are no logs, but are counted.
    write_log("Unreal.ngLog.2011.07.24.19.20.04.7777.tmp", "t");
    write_log("b.TMP", "t");
    run = convert();
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err,
              "logconvert: no .log file in this folder, and 2 .tmp files here are games the server never finished; "
              "run logconvert in the folder that holds the game's logs (details in error.log)\n");
}

TEST_F(LogConvertExamples, SixteenBitCopyKeepsCarriageReturnsAndTheByteOrderMark) {
    write_log("a.log", to_utf16_log("0.00\tinfo\tLog_Standard\tngLog\n1.00\tgame_start\n"));
    ASSERT_EQ(convert().exit_code, 0);
    EXPECT_EQ(read_file("games.txt"),
              "\xFF\xFE"
              "0.00\tinfo\tLog_Standard\tngLog\r\n1.00\tgame_start\r\n");
}

TEST_F(LogConvertExamples, OnlyTheFirst511999BytesAreConverted) {
    std::string plain(700000, 'x');
    for (std::size_t k = 0; k < plain.size(); ++k) plain[k] = static_cast<char>('a' + k % 26);
    std::string wide;
    for (std::size_t k = 0; k < 350000; ++k) {
        wide += static_cast<char>('A' + k % 26);
        wide += '\0';
    }
    std::string exact(511999, 'e');
    write_log("a.log", plain);
    write_log("b.log", wide);
    write_log("c.log", exact);

    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out.find(listing("a.log", 700000)), 0u);
    EXPECT_EQ(read_file("games.txt"), plain.substr(0, 511999));
    // Bytes 0 to 511,998 hold 256,000 characters and their zeros but the last.
    EXPECT_EQ(read_file("games1.txt"), without_zeros(wide.substr(0, 511999)));
    EXPECT_EQ(read_file("games1.txt").size(), 256000u);
    EXPECT_EQ(read_file("games2.txt"), exact);
    // The log itself is renamed whole.
    EXPECT_EQ(fs::file_size("games.log"), 700000u);
    EXPECT_EQ(error_log().find("warning"), std::string::npos);
}

// ---------------------------------------------------------------------------
// The directory search

using LogConvertListing = LogConvertRun;

TEST_F(LogConvertListing, NamesComeInByteOrderWhateverTheCreationOrder) {
    // Upper case before lower case, '.' before '_', a non-ASCII byte last.
    for (const char* name : {"\xC3\xA9.log", "a_.log", "a.log", "B.log", "notes.txt", "z.logs"}) write_log(name, name);
    write_file("games.log", "g");
    set_time("games.log", example_time());

    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, listing("B.log", 5) + listing("a.log", 5) + listing("a_.log", 6) + listing("games.log", 1) +
                           listing("\xC3\xA9.log", 6));
    EXPECT_EQ(read_file("games.txt"), "B.log");
    EXPECT_EQ(read_file("games1.txt"), "a.log");
    EXPECT_EQ(read_file("games2.txt"), "a_.log");
    EXPECT_EQ(read_file("games3.txt"), "g");
    EXPECT_EQ(read_file("games4.txt"), "\xC3\xA9.log");
    EXPECT_FALSE(fs::exists("games5.txt"));
}

TEST_F(LogConvertListing, UpperCaseExtensionIsFoundAndErrorLogComparedExactly) {
    write_log("ERROR.LOG", "E");
    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 0);
    // "ERROR.LOG" sorts before "error.log", so the real error log is not listed.
    EXPECT_EQ(run.out, listing("ERROR.LOG", 1) + "\tERROR.LOG -> games.log\n");
    EXPECT_EQ(read_file("games.log"), "E");
    EXPECT_EQ(read_file("games.txt"), "E");
}

TEST_F(LogConvertListing, DateIsNullForATimeBefore1970) {
    write_file("a.log", "a");
    set_time("a.log", -86400 * 365);
    write_log("b.log", "b");
    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 0);
    // "(null)" has no line feed, so the next line follows on the same line.
    EXPECT_EQ(run.out, listing("a.log", 1, "(null)") + listing("b.log", 1) +
                           "\ta.log -> games.log\n"
                           "\tb.log -> games1.log\n");
}

TEST_F(LogConvertListing, DateIsTheLocalCalendarTextOfTheLastWrite) {
    write_file("a.log", "a");
    const std::time_t when = 1700000000;
    set_time("a.log", when);
    RunResult run = convert();
    EXPECT_EQ(run.out.find(listing("a.log", 1, std::ctime(&when))), 0u);
}

// The logs beyond the table are counted on standard error ("error.log",
// which sorts after them, is none), and the incomplete run fails.
TEST_F(LogConvertListing, At101NamesTheSearchStops) {
    char name[16];
    for (int k = 0; k <= 102; ++k) {
        std::snprintf(name, sizeof name, "a%03d.log", k);
        write_log(name, name);
    }
    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err,
              "logconvert: only the first 101 logs were taken; logs after them in name order, left as they are: 2; "
              "move those to a folder of their own and run logconvert there\n");
    EXPECT_NE(run.out.find(listing("a100.log", 8)), std::string::npos);
    EXPECT_EQ(run.out.find("a101.log"), std::string::npos);
    EXPECT_EQ(read_file("games100.log"), "a100.log");
    EXPECT_EQ(read_file("games100.txt"), "a100.log");
    EXPECT_FALSE(fs::exists("games101.txt"));
    EXPECT_EQ(read_file("a101.log"), "a101.log");
}

TEST_F(LogConvertListing, NameOf255CharactersIsKeptWhole) {
    const std::string name = std::string(251, 'n') + ".log";
    write_log(name, "long");
    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(drop_error_log_listing(run.out), listing(name, 4) + "\t" + name + " -> games.log\n");
    EXPECT_EQ(read_file("games.log"), "long");
    EXPECT_EQ(error_log(), kBanner + lines({"\t\tinfo: renamed   " + name + " to games.log",
                                            "\t\tinfo: converted " + name + " to games.txt"}));
}

// ---------------------------------------------------------------------------
// Failures and exit codes

using LogConvertFailures = LogConvertRun;

TEST_F(LogConvertFailures, AnEntryThatCannotBeReadStopsTheRunAndFailsIt) {
    write_log("a.log", "a");
    fs::create_directory("b.log");
    set_time("b.log", example_time());
    write_log("c.log", "c");

    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 1);
    // A folder has no size of its own.
    EXPECT_EQ(run.out, listing("a.log", 1) + listing("b.log", 0) + listing("c.log", 1) + "\ta.log -> games.log\n");
    EXPECT_EQ(read_file("games.txt"), "a");
    EXPECT_TRUE(fs::is_directory("b.log"));
    EXPECT_EQ(read_file("c.log"), "c");
    EXPECT_FALSE(fs::exists("games1.txt"));
    EXPECT_EQ(error_log(),
              kBanner + lines({"\t\tinfo: renamed   a.log to games.log", "\t\tinfo: converted a.log to games.txt",
                               "\tb.log file not found in the current directory"}));
}

TEST_F(LogConvertFailures, ADanglingLinkIsAFileNotFound) {
    fs::create_symlink("nowhere", "d.log");
    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out.find("Name:d.log  Size:0  Date:"), 0u);
    EXPECT_TRUE(fs::is_symlink("d.log"));
    EXPECT_FALSE(fs::exists("games.txt"));
    EXPECT_EQ(error_log(), kBanner + lines({"\td.log file not found in the current directory"}));
}

TEST_F(LogConvertFailures, ACopyThatCannotBeCreatedIsSkipped) {
    // A folder in the way of the copy: no user, root included, can open it for writing.
    fs::create_directory("games.txt");
    fs::create_directory("games2.txt");
    write_log("a.log", "a");
    write_log("b.log", "b");
    write_log("c.log", "c");

    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err,
              "logconvert: can't write the copy games.txt; make the folder writable, free some disk space and remove "
              "any folder or link of that name (details in error.log)\n");  // once, for the first of the two
    EXPECT_EQ(read_file("games1.txt"), "b");
    // The renames happen before the copies.
    EXPECT_EQ(read_file("games.log"), "a");
    EXPECT_EQ(read_file("games2.log"), "c");
    EXPECT_EQ(error_log(),
              kBanner + lines({"\t\tinfo: renamed   a.log to games.log",
                               "\tcan not save games.txt file in the current directory",
                               "\t\tinfo: renamed   b.log to games1.log", "\t\tinfo: converted b.log to games1.txt",
                               "\t\tinfo: renamed   c.log to games2.log",
                               "\tcan not save games2.txt file in the current directory"}));

    // A failure before the last file fails the run too; the run goes on
    // after it.
    fs::remove("games2.txt");
    fs::remove("error.log");
    EXPECT_EQ(convert().exit_code, 1);
    EXPECT_EQ(read_file("games2.txt"), "c");
    EXPECT_EQ(error_log(), kBanner + lines({"\tcan not save games.txt file in the current directory",
                                            "\t\tinfo: converted games1.log to games1.txt",
                                            "\t\tinfo: converted games2.log to games2.txt"}));
}

TEST_F(LogConvertFailures, ACopyIsNeverWrittenThroughALink) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    fs::create_symlink("/dev/full", "games.txt");
    write_log("games.log", std::string(100000, 'g'));
    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(error_log(), kBanner + lines({"\tcan not save games.txt file in the current directory"}));
}

// ---------------------------------------------------------------------------
// Renames never destroy a file

using LogConvertRenames = LogConvertRun;

TEST_F(LogConvertRenames, AnExistingTargetIsNeverOverwritten) {
    write_log("a.log", "first");
    write_log("b.log", "second");
    write_log("games1.log", "old");

    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 0);
    // No line pretends that b.log was renamed.
    EXPECT_EQ(run.out, listing("a.log", 5) + listing("b.log", 6) + listing("games1.log", 3) +
                           "\ta.log -> games.log\n"
                           "\tgames1.log -> games2.log\n");
    EXPECT_EQ(read_file("games.log"), "first");
    EXPECT_EQ(read_file("b.log"), "second");
    EXPECT_EQ(read_file("games2.log"), "old");
    EXPECT_FALSE(fs::exists("games1.log"));
    // b.log is converted from the bytes read before the rename was refused.
    EXPECT_EQ(read_file("games.txt"), "first");
    EXPECT_EQ(read_file("games1.txt"), "second");
    EXPECT_EQ(read_file("games2.txt"), "old");
    EXPECT_EQ(
        error_log(),
        kBanner +
            lines({"\t\tinfo: renamed   a.log to games.log", "\t\tinfo: converted a.log to games.txt",
                   "\t\twarning: can not rename b.log to games1.log", "\t\tinfo: converted b.log to games1.txt",
                   "\t\tinfo: renamed   games1.log to games2.log", "\t\tinfo: converted games1.log to games2.txt"}));
}

TEST_F(LogConvertRenames, ALogThatAlreadyHasItsNameCountsAsRenamed) {
    write_log("a.log", "a");
    write_log("games1.log", "one");
    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, listing("a.log", 1) + listing("games1.log", 3) +
                           "\ta.log -> games.log\n"
                           "\tgames1.log -> games1.log\n");
    EXPECT_EQ(read_file("games1.log"), "one");
    EXPECT_EQ(error_log(),
              kBanner + lines({"\t\tinfo: renamed   a.log to games.log", "\t\tinfo: converted a.log to games.txt",
                               "\t\tinfo: renamed   games1.log to games1.log",
                               "\t\tinfo: converted games1.log to games1.txt"}));
}

TEST_F(LogConvertRenames, ATargetThatCannotBeOpenedIsNotReplacedEither) {
    write_log("a.log", "a");
    write_log("b.log", "b");
    fs::create_symlink("nowhere", "games1.log");

    RunResult run = convert();
    EXPECT_EQ(run.exit_code, 1);  // the link cannot be loaded
    EXPECT_TRUE(fs::is_symlink("games1.log"));
    EXPECT_EQ(fs::read_symlink("games1.log"), "nowhere");
    EXPECT_EQ(read_file("b.log"), "b");
    EXPECT_EQ(read_file("games1.txt"), "b");
    EXPECT_EQ(
        error_log(),
        kBanner + lines({"\t\tinfo: renamed   a.log to games.log", "\t\tinfo: converted a.log to games.txt",
                         "\t\twarning: can not rename b.log to games1.log", "\t\tinfo: converted b.log to games1.txt",
                         "\tgames1.log file not found in the current directory"}));
}

// ---------------------------------------------------------------------------
// The operations, on a folder in memory: names longer than a table entry
// cannot be made on the usual Linux file systems.

// A folder whose search can miss names that are there.
class MemoryFolder : public MemoryFileSystem {
public:
    std::set<std::string> unlisted;
    int find_next(const char* suffix, const char* after, PlatformDirEntry& entry) override {
        int found = MemoryFileSystem::find_next(suffix, after, entry);
        while (found && unlisted.count(entry.name.c_str()) != 0)
            found = MemoryFileSystem::find_next(suffix, entry.name.c_str(), entry);
        return found;
    }
};

class LogConvertOperations : public ::testing::Test {
protected:
    void SetUp() override { ctx_ = std::make_unique<ConverterContext>(folder_, discard_); }
    // Lists a folder of these names, each a file as long as its name, in a
    // run of its own: the run before ends, its error.log written, before its
    // folder goes.
    int list(const std::vector<std::string>& names, std::string& out) {
        ctx_.reset();
        folder_.files.clear();
        ctx_ = std::make_unique<ConverterContext>(folder_, discard_);
        for (const std::string& name : names) folder_.add(name, name, example_time());
        int last = -2;
        out = capture_output([&](Output& stream) {
            ctx_->out = &stream;
            last = list_logs(*ctx_);
        });
        return last;
    }
    std::string error_log() {
        ctx_->log.write_pending();
        return folder_.bytes("error.log");
    }
    MemoryFolder folder_;
    NullOutput discard_;
    std::unique_ptr<ConverterContext> ctx_;
};

TEST_F(LogConvertOperations, NamesTooLongForTheTableAreSkippedWithAWarning) {
    const std::string fits = std::string(251, 'b') + ".log";      // 255 characters
    const std::string one_more = std::string(252, 'c') + ".log";  // 256
    const std::string far_too_long = std::string(400, 'a') + ".log";
    const std::vector<std::string> folder = {far_too_long, fits, one_more, "d.log"};
    std::string out;

    EXPECT_EQ(list(folder, out), 1);
    EXPECT_EQ(ctx_->log_names[0], fits);
    EXPECT_EQ(ctx_->log_names[1], std::string("d.log"));
    EXPECT_EQ(out, listing(fits, 255) + listing("d.log", 5));
    EXPECT_EQ(error_log(),
              lines({"\t\twarning: file name too long, skipped", "\t\twarning: file name too long, skipped"}));
    EXPECT_EQ(ctx_->rename_logs, 1);
}

TEST_F(LogConvertOperations, ListingSettlesRenameAndCountsFrom0) {
    std::string out;
    const std::vector<std::string> empty;
    EXPECT_EQ(list(empty, out), -1);
    EXPECT_EQ(out, "");

    const std::vector<std::string> only_error_log = {"error.log"};
    EXPECT_EQ(list(only_error_log, out), -1);
    EXPECT_EQ(out, listing("error.log", 9));

    // A skipped name still was the search's first entry.
    const std::vector<std::string> skipped_first = {std::string(300, 'a') + ".log", "error.log"};
    EXPECT_EQ(list(skipped_first, out), -1);
    EXPECT_EQ(out, "");

    // A name that is only the suffix is a log too, as in a real folder.
    const std::vector<std::string> bare_suffix = {".log"};
    EXPECT_EQ(list(bare_suffix, out), 0);
    EXPECT_EQ(out, listing(".log", 4));

    const std::vector<std::string> with_games = {"a.log", "games.log"};
    EXPECT_EQ(list(with_games, out), 1);
    EXPECT_EQ(ctx_->rename_logs, 0);

    // An openable "games.log" settles it even when the search misses it.
    folder_.unlisted = {"games.log"};
    EXPECT_EQ(list(with_games, out), 0);
    EXPECT_EQ(ctx_->rename_logs, 0);
}

TEST_F(LogConvertOperations, LoadAndConvertRejectIndexesOutsideTheTable) {
    EXPECT_EQ(load_log(*ctx_, -1), 0);
    EXPECT_EQ(load_log(*ctx_, MAX_LOG_NAMES), 0);
    EXPECT_EQ(convert_log(*ctx_, MAX_LOG_NAMES, 0), 0);
    EXPECT_TRUE(folder_.files.empty());
}

}  // namespace
