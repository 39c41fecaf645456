// The velstra program and a history that another account writes: a web
// server's account that may only read the history (and not write its
// folder) lists it and writes its site, every command that would write it
// says that it may not, and a missing -wal or -shm file, or a history it may
// not read, is said to be so, never taken for damage.
//
// Root may read and write anything, so as root the program runs as the
// account nobody (through setpriv); as any other account it runs as that
// account, the permissions taken from it by chmod.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "analysis_test_support.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* SETPRIV = "/usr/bin/setpriv";
constexpr const char* DB = "history/velstra-history.db";

class VelstraPermissions : public ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        const char* other_build = std::getenv("VELSTRA_HISTORY");
        if (other_build != nullptr && *other_build != '\0')
            GTEST_SKIP() << "the permissions of files are POSIX's; VELSTRA_HISTORY names another build";
        if (geteuid() == 0 && !fs::exists(SETPRIV))
            GTEST_SKIP() << SETPRIV << " is missing, so root cannot run velstra as an account of few rights";
        fs::permissions(dir(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
        fs::create_directory("history");
        fs::copy(EXAMPLES_DIR, "logs");
        const RunResult imported = writer({"import", "--db", DB, "logs"});
        ASSERT_EQ(imported.exit_code, 0) << imported.err;
    }

    // velstra as the account that made the history.
    RunResult writer(const std::vector<std::string>& args) { return run_velstra_program(args, dir()); }

    // velstra as an account that may read what others may read, and write
    // nothing of the history's.
    RunResult reader(const std::vector<std::string>& args) {
        std::vector<std::string> words{"TZ=UTC"};
        if (geteuid() == 0) words.insert(words.end(), {SETPRIV, "--reuid=65534", "--regid=65534", "--clear-groups"});
        words.push_back(VELSTRA_EXE);
        words.insert(words.end(), args.begin(), args.end());
        return run_program("env", words, dir());
    }

    // A folder anyone may write: where the reader's site goes.
    static void open_folder(const fs::path& folder) {
        fs::create_directories(folder);
        fs::permissions(folder, fs::perms::all);
    }

    static void set_mode(const fs::path& path, fs::perms mode) { fs::permissions(path, mode); }
};

const fs::perms READ_ONLY_FOLDER = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
const fs::perms WRITABLE_FOLDER = READ_ONLY_FOLDER | fs::perms::owner_write;

TEST_F(VelstraPermissions, AnAccountThatMayOnlyReadTheHistoryListsItAndWritesItsSite) {
    const RunResult games = writer({"games", "--db", DB});
    const RunResult players = writer({"players", "--db", DB});
    ASSERT_EQ(games.exit_code, 0) << games.err;
    ASSERT_EQ(writer({"site", "--db", DB, "-o", "site-of-writer"}).exit_code, 0);
    // The writer leaves the write-ahead log and its index beside the history.
    ASSERT_TRUE(fs::exists(std::string(DB) + "-wal"));
    ASSERT_TRUE(fs::exists(std::string(DB) + "-shm"));
    // The reader's account may read the files and write none of them.
    const fs::perms readable = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    for (const char* suffix : {"", "-wal", "-shm"}) set_mode(std::string(DB) + suffix, readable);
    set_mode("history", READ_ONLY_FOLDER);
    const std::string history = read_file(DB);

    EXPECT_EQ(reader({"games", "--db", DB}).out, games.out);
    EXPECT_EQ(reader({"players", "--db", DB}).out, players.out);
    open_folder("site-of-reader");
    const RunResult site = reader({"site", "--db", DB, "-o", "site-of-reader"});
    EXPECT_EQ(site.exit_code, 0) << site.err;
    EXPECT_TRUE(files_under("site-of-reader") == files_under("site-of-writer"));

    // Every command that writes says it may not, and leaves the file.
    const std::string read_only =
        "velstra: " + std::string(DB) +
        ": is read-only for this account (the file, its folder or its -wal and -shm files); it is left as it is\n";
    for (const std::vector<std::string>& args : {std::vector<std::string>{"import", "--db", DB, "logs"},
                                                 {"forget", "--db", DB, "1"},
                                                 {"alias", "--db", DB, "Brickwell_afk", "--as", "Brickwell"},
                                                 {"alias", "--db", DB, "--remove", "Dabbler"}}) {
        const RunResult refused = reader(args);
        EXPECT_EQ(refused.exit_code, 2) << args[0];
        EXPECT_EQ(refused.err, read_only) << args[0];
        EXPECT_EQ(refused.out, "") << args[0];
    }
    EXPECT_EQ(read_file(DB), history);

    // Without its -wal and -shm files the reader cannot read it in a folder
    // it may not write, and says what makes them.
    set_mode("history", WRITABLE_FOLDER);
    fs::remove(std::string(DB) + "-wal");
    fs::remove(std::string(DB) + "-shm");
    set_mode("history", READ_ONLY_FOLDER);
    const RunResult missing = reader({"games", "--db", DB});
    EXPECT_EQ(missing.exit_code, 2);
    EXPECT_EQ(missing.err, "velstra: " + std::string(DB) +
                               ": cannot be read here: its -wal and -shm files are missing and this account may not "
                               "write its folder to make them; run velstra import once as the account that imports "
                               "into it, which leaves them in place\n");
    set_mode("history", WRITABLE_FOLDER);
    ASSERT_EQ(writer({"import", "--db", DB, "logs"}).exit_code, 0);
    set_mode("history", READ_ONLY_FOLDER);
    EXPECT_EQ(reader({"games", "--db", DB}).out, games.out);

    // A history this account may not read at all is no damaged one.
    set_mode(DB, fs::perms::none);
    const RunResult unreadable = reader({"players", "--db", DB});
    EXPECT_EQ(unreadable.exit_code, 2);
    EXPECT_EQ(unreadable.err, "velstra: " + std::string(DB) +
                                  ": cannot be read by this account (permission denied on the file, its folder or its "
                                  "-wal and -shm files)\n");
    set_mode(DB, readable);
    set_mode("history", WRITABLE_FOLDER);
    EXPECT_EQ(read_file(DB), history);
}

// The -wal and -shm files a writing command leaves take the history's mode
// (and, where the writer may give them away, its owner), whoever made them
// and however they were before: an account that may read the history may
// read them.
TEST_F(VelstraPermissions, TheWriteAheadFilesTakeTheHistorysPermissions) {
    const fs::perms shared = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    set_mode(DB, shared);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(DB, 65534, 65534), 0);
    }
    for (const char* suffix : {"-wal", "-shm"})
        set_mode(std::string(DB) + suffix, fs::perms::owner_read | fs::perms::owner_write);

    const RunResult merged = writer({"alias", "--db", DB, "Brickwell_afk", "--as", "Brickwell"});
    ASSERT_EQ(merged.exit_code, 0) << merged.err;
    for (const char* suffix : {"-wal", "-shm"}) {
        const std::string file = std::string(DB) + suffix;
        EXPECT_EQ(fs::status(file).permissions(), shared) << suffix;
        struct stat status {};
        ASSERT_EQ(::stat(file.c_str(), &status), 0);
        if (root) {
            EXPECT_EQ(status.st_uid, 65534u) << suffix;
        }
    }
}

}  // namespace
