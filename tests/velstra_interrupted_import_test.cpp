// The velstra program as a child process that is killed at random moments
// of an import, runs beside a second import, or runs out of room: the
// history must hold whole games only, never lose one, and a later import
// must complete the work so that the history equals one made in one go.
//
// VELSTRA_KILL_SEED replays a run of the killing test (its seed is printed
// on a failure); VELSTRA_KILLS sets how many kills it makes (default 24).
#include <fcntl.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

#include "analysis_test_support.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// A velstra run started in folder, its standard output and error in files
// of that folder. A file_limit above zero caps the size of every file it
// writes (the disk it sees is full there), SIGXFSZ ignored so that the
// write fails instead of killing it.
class Child {
public:
    Child(const std::vector<std::string>& args, const fs::path& folder, const std::string& name, rlim_t file_limit = 0)
        : out_(folder / (name + ".out")), err_(folder / (name + ".err")) {
        // Everything the child needs is made before the fork: after it, only
        // calls that are safe there.
        std::vector<std::string> words{VELSTRA_EXE};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        const std::string dir = folder.string();
        const std::string out = out_.string();
        const std::string err = err_.string();
        pid_ = fork();
        if (pid_ == 0) {
            const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out_fd < 0 || err_fd < 0 || chdir(dir.c_str()) != 0) _exit(126);
            dup2(out_fd, STDOUT_FILENO);
            dup2(err_fd, STDERR_FILENO);
            if (file_limit > 0) {
                const rlimit limit{file_limit, file_limit};
                signal(SIGXFSZ, SIG_IGN);
                if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
            }
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~Child() {
        if (!waited_ && pid_ > 0) {
            ::kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return pid_ > 0; }
    void kill() { ::kill(pid_, SIGKILL); }
    // Its exit code, or minus the signal that ended it.
    int wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        waited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? -WTERMSIG(status) : -1000;
    }
    std::string out() const { return read_file(out_); }
    std::string err() const { return read_file(err_); }

private:
    fs::path out_;
    fs::path err_;
    pid_t pid_ = -1;
    bool waited_ = false;
};

struct Finished {
    int code;
    std::string out;
    std::string err;
};

Finished run_velstra(const std::vector<std::string>& args, const fs::path& folder, const std::string& name,
                     rlim_t file_limit = 0) {
    Child child(args, folder, name, file_limit);
    const int code = child.wait();
    return {code, child.out(), child.err()};
}

void make_session(const fs::path& folder, int games, int seed) {
    RunResult made = run_program(LOGGEN_EXE,
                                 {"--session", folder.string(), "--games", std::to_string(games), "--seed",
                                  std::to_string(seed), "--no-user-ini"},
                                 fs::current_path());
    ASSERT_EQ(made.exit_code, 0) << made.err;
}

// Everything a history holds, its row ids replaced by what they stand for
// (a game by its key, a name by its text), so that two histories made by
// different runs of the same logs compare equal.
struct Contents {
    std::string integrity;
    std::map<std::string, std::string> games;  // key: every row kept of that game
    std::map<std::string, std::string> files;  // path: its note
    std::string rest;                          // names, merges, the design's note, rows of no game
};

class Reader {
public:
    explicit Reader(const fs::path& file) {
        // Read and write, as the next import opens it, but with no checkpoint
        // on closing: the next velstra must cope with the file as the kill
        // left it.
        if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << file << ": " << sqlite3_errmsg(db_);
            return;
        }
        sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    }
    ~Reader() { sqlite3_close(db_); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // Each row as its columns joined by '|'.
    std::vector<std::string> rows(const std::string& sql) {
        std::vector<std::string> found;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
            return found;
        }
        int code = SQLITE_OK;
        while ((code = sqlite3_step(stmt)) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                if (c > 0) row += '|';
                const unsigned char* text = sqlite3_column_text(stmt, c);
                row += text != nullptr ? reinterpret_cast<const char*>(text) : "NULL";
            }
            found.push_back(std::move(row));
        }
        if (code != SQLITE_DONE) ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
        sqlite3_finalize(stmt);
        return found;
    }

private:
    sqlite3* db_ = nullptr;
};

Contents contents(const fs::path& file) {
    Contents all;
    if (!fs::exists(file)) {  // killed before it made the file
        all.integrity = "ok";
        return all;
    }
    Reader reader(file);
    for (const std::string& line : reader.rows("PRAGMA integrity_check")) all.integrity += line;
    std::map<std::string, std::vector<std::string>> game_rows;
    std::vector<std::string> rest;
    for (const std::string& table : reader.rows("SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name")) {
        std::string columns;
        bool of_a_game = false;
        for (const std::string& column : reader.rows("SELECT name FROM pragma_table_info('" + table + "')")) {
            if (column == "game_id") {
                of_a_game = true;
                continue;
            }
            if (column == "id") continue;
            columns += columns.empty() ? "" : " || '|' || ";
            if (column == "name_id" || column == "player_id")
                columns += "(SELECT name FROM name WHERE id = t." + column + ")";
            else
                columns += "coalesce(t." + column + ", 'NULL')";
        }
        const std::string from = " FROM \"" + table + "\" AS t";
        if (table == "game") {
            for (const std::string& row : reader.rows("SELECT t.key, " + columns + from))
                game_rows[row.substr(0, row.find('|'))].push_back(table + ": " + row);
        } else if (of_a_game) {
            for (const std::string& row :
                 reader.rows("SELECT g.key, " + columns + from + " JOIN game AS g ON g.id = t.game_id"))
                game_rows[row.substr(0, row.find('|'))].push_back(table + ": " + row);
            for (const std::string& count :
                 reader.rows("SELECT count(*)" + from + " WHERE t.game_id NOT IN (SELECT id FROM game)"))
                if (count != "0") rest.push_back(table + ": " + count + " rows of no game");
        } else if (table == "imported_file") {
            for (const std::string& row : reader.rows("SELECT " + columns + from))
                all.files[row.substr(0, row.find('|'))] = row;
        } else {
            // The count of the history's changes tells in how many batches
            // its games came, not what it holds.
            const std::string which = table == "history_meta" ? " WHERE t.key != 'generation'" : "";
            for (const std::string& row : reader.rows("SELECT " + columns + from + which))
                rest.push_back(table + ": " + row);
        }
    }
    for (auto& [key, rows] : game_rows) {
        std::sort(rows.begin(), rows.end());
        for (const std::string& row : rows) all.games[key] += row + "\n";
    }
    std::sort(rest.begin(), rest.end());
    for (const std::string& row : rest) all.rest += row + "\n";
    return all;
}

// The first line where two dumps differ, each side's, rather than a
// screenful of rows.
std::string first_difference(const std::string& got, const std::string& want) {
    std::size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
    const std::size_t newline = at == 0 ? std::string::npos : got.rfind('\n', at - 1);
    const std::size_t start = newline == std::string::npos ? 0 : newline + 1;
    auto line = [start](const std::string& text) {
        return start >= text.size() ? std::string("(nothing)") : text.substr(start, text.find('\n', start) - start);
    };
    return "\n  has:       " + line(got) + "\n  should be: " + line(want);
}

// What a history holds part of must be as it is in the whole one: every game
// it holds whole, every note of a file the whole one's.
void expect_part_of(const Contents& part, const Contents& whole, const std::string& when) {
    EXPECT_EQ(part.integrity, "ok") << when;
    for (const auto& [key, rows] : part.games) {
        const auto found = whole.games.find(key);
        if (found == whole.games.end())
            ADD_FAILURE() << when << ": a game it should not hold: " << key;
        else if (rows != found->second)
            ADD_FAILURE() << when << ": game " << key << first_difference(rows, found->second);
    }
    for (const auto& [path, note] : part.files) {
        const auto found = whole.files.find(path);
        if (found == whole.files.end())
            ADD_FAILURE() << when << ": a note it should not hold: " << path;
        else
            EXPECT_EQ(note, found->second) << when;
    }
    EXPECT_EQ(part.rest.find("of no game"), std::string::npos) << when << "\n" << part.rest;
}

// The history holds all of the whole one, and nothing else.
void expect_same(const Contents& got, const Contents& want, const std::string& when) {
    expect_part_of(got, want, when);
    EXPECT_EQ(got.games.size(), want.games.size()) << when << ": games";
    EXPECT_EQ(got.files.size(), want.files.size()) << when << ": notes of files";
    if (got.rest != want.rest) ADD_FAILURE() << when << first_difference(got.rest, want.rest);
}

void remove_history(const std::string& db) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) fs::remove(db + suffix);
}

int from_environment(const char* name, int otherwise) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::atoi(value) : otherwise;
}

// The sanitizers' build runs every program several times slower: the same
// tests on half as many games.
#if defined(__SANITIZE_ADDRESS__)
constexpr int SLOWER = 2;
#else
constexpr int SLOWER = 1;
#endif

const std::string BUSY = "the history is busy: another velstra is using it; try again when it is done\n";

class VelstraInterrupted : public ScratchFolder {};

TEST_F(VelstraInterrupted, KilledImportsKeepWholeGamesAndTheNextImportCompletesThem) {
    // Enough games for several batches, so that kills fall before, between
    // and inside commits.
    ASSERT_NO_FATAL_FAILURE(make_session("logs", 260 / SLOWER, 2020));

    const auto started = Clock::now();
    const Finished once = run_velstra({"import", "--db", "whole.db", "logs"}, dir(), "whole");
    const auto whole_ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
    ASSERT_EQ(once.code, 0) << once.err;
    const Contents whole = contents(dir() / "whole.db");
    ASSERT_EQ(whole.integrity, "ok");
    ASSERT_GT(whole.games.size(), 200u / SLOWER);

    const unsigned seed = static_cast<unsigned>(from_environment("VELSTRA_KILL_SEED", 20));
    const int wanted = from_environment("VELSTRA_KILLS", 24);
    SCOPED_TRACE("VELSTRA_KILL_SEED=" + std::to_string(seed) + ", an import in one go took " +
                 std::to_string(whole_ms) + " ms");
    std::mt19937 random(seed);
    // Moments over the whole import, and a little past its end.
    std::uniform_int_distribution<long long> moment(0, whole_ms + whole_ms / 10 + 1);

    const std::string db = "history.db";
    std::size_t held = 0;
    int kills = 0;
    int completed = 0;
    for (int round = 0; kills < wanted && round < 10 * wanted; ++round) {
        const long long delay = moment(random);
        const std::string when = "round " + std::to_string(round) + ", killed after " + std::to_string(delay) + " ms";
        Child child({"import", "--db", db, "logs"}, dir(), "killed");
        ASSERT_TRUE(child.started());
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        child.kill();
        const int code = child.wait();
        const Contents now = contents(dir() / db);
        if (code == 0) {
            // It finished first: the work is done, and a new history starts
            // the next round of kills.
            expect_same(now, whole, when);
            ++completed;
            remove_history(db);
            held = 0;
            continue;
        }
        ASSERT_EQ(code, -SIGKILL) << when << "\n" << child.err();
        ++kills;
        expect_part_of(now, whole, when);
        EXPECT_GE(now.games.size(), held) << when;
        held = now.games.size();
        if (HasFailure()) return;
    }
    EXPECT_GE(kills, wanted);

    const Finished last = run_velstra({"import", "--db", db, "logs"}, dir(), "last");
    EXPECT_EQ(last.code, 0) << last.err;
    expect_same(contents(dir() / db), whole, "the last import");
    RecordProperty("kills", kills);
    RecordProperty("completed", completed);
}

TEST_F(VelstraInterrupted, AFullDiskKeepsTheGamesBeforeAndALaterImportCompletes) {
    ASSERT_NO_FATAL_FAILURE(make_session("first", 20, 31));
    ASSERT_NO_FATAL_FAILURE(make_session("second", 60, 32));
    ASSERT_EQ(run_velstra({"import", "--db", "whole.db", "first", "second"}, dir(), "whole").code, 0);
    const Contents whole = contents(dir() / "whole.db");

    const std::string db = "history.db";
    ASSERT_EQ(run_velstra({"import", "--db", db, "first"}, dir(), "first").code, 0);
    const Contents before = contents(dir() / db);
    ASSERT_FALSE(before.games.empty());
    ASSERT_LT(before.games.size(), whole.games.size());

    // Room for the file as it is and a little more: the second folder's
    // first batch does not fit.
    const rlim_t room = static_cast<rlim_t>(fs::file_size(db)) + 100000;
    const Finished full = run_velstra({"import", "--db", db, "second"}, dir(), "full", room);
    EXPECT_EQ(full.code, 2);
    EXPECT_EQ(full.err,
              "velstra: history.db: the file has reached the largest size allowed here; the history keeps what it "
              "held before\n");
    EXPECT_EQ(full.out, "");
    expect_same(contents(dir() / db), before, "the import that found no room");

    const Finished later = run_velstra({"import", "--db", db, "second"}, dir(), "later");
    EXPECT_EQ(later.code, 0) << later.err;
    expect_same(contents(dir() / db), whole, "the import after it");
}

// Two imports at once, of different folders and of folders that share
// logs (the same files, and copies under other names): each ends done, or
// busy with its one line and is run again; then every game is there once.
TEST_F(VelstraInterrupted, TwoImportsAtOnceLoseNothingAndAddNothingTwice) {
    const int games = 120 / SLOWER;
    ASSERT_NO_FATAL_FAILURE(make_session("a", games, 41));
    ASSERT_NO_FATAL_FAILURE(make_session("b", games, 42));
    fs::create_directory("mixed");
    for (int n = 0; n < games; n += 2)  // half of a's logs under other names
        fs::copy_file(fs::path("a") / ("games" + (n == 0 ? "" : std::to_string(n)) + ".log"),
                      fs::path("mixed") / ("copy" + std::to_string(n) + ".log"));
    ASSERT_NO_FATAL_FAILURE(make_session("c", 40, 43));
    for (const auto& entry : fs::directory_iterator("c"))
        fs::copy_file(entry.path(), fs::path("mixed") / entry.path().filename());

    // Two runs that make the same new history at once: the one that comes
    // second finds it made, whichever step of the making it meets.
    for (int round = 0; round < 40 / SLOWER; ++round) {
        remove_history("new.db");
        Child one({"import", "--db", "new.db", "a/games.log"}, dir(), "one");
        Child two({"import", "--db", "new.db", "b/games.log"}, dir(), "two");
        const std::string when = "new history, round " + std::to_string(round);
        EXPECT_EQ(one.wait(), 0) << when << one.err();
        EXPECT_EQ(two.wait(), 0) << when << two.err();
        EXPECT_EQ(contents(dir() / "new.db").games.size(), 2u) << when;
        if (HasFailure()) return;
    }

    const struct {
        std::vector<std::string> first;
        std::vector<std::string> second;
        int stagger_ms;
    } pairs[] = {
        {{"a"}, {"b"}, 0},
        {{"a"}, {"mixed"}, 0},
        {{"a", "b"}, {"b", "a"}, 30},
        {{"a", "mixed"}, {"mixed", "b"}, 150},
    };
    for (const auto& pair : pairs) {
        std::vector<std::string> both = pair.first;
        both.insert(both.end(), pair.second.begin(), pair.second.end());
        std::vector<std::string> whole_args{"import", "--db", "whole.db"};
        whole_args.insert(whole_args.end(), both.begin(), both.end());
        remove_history("whole.db");
        ASSERT_EQ(run_velstra(whole_args, dir(), "whole").code, 0);
        const Contents whole = contents(dir() / "whole.db");

        const std::string db = "history.db";
        remove_history(db);
        std::vector<std::string> first{"import", "--db", db};
        first.insert(first.end(), pair.first.begin(), pair.first.end());
        std::vector<std::string> second{"import", "--db", db};
        second.insert(second.end(), pair.second.begin(), pair.second.end());
        const std::string when = "imports of " + both.front() + "... stagger " + std::to_string(pair.stagger_ms);

        Child one(first, dir(), "one");
        std::this_thread::sleep_for(std::chrono::milliseconds(pair.stagger_ms));
        Child two(second, dir(), "two");
        const int codes[] = {one.wait(), two.wait()};
        const std::string errs[] = {one.err(), two.err()};
        const std::vector<std::string>* args[] = {&first, &second};
        for (int k = 0; k < 2; ++k) {
            if (codes[k] == 0) {
                EXPECT_EQ(errs[k], "") << when;
                continue;
            }
            EXPECT_EQ(codes[k], 2) << when;
            EXPECT_EQ(errs[k], "velstra: " + db + ": " + BUSY) << when;
            // Its games may lack the names of files it did not get to.
            EXPECT_EQ(contents(dir() / db).integrity, "ok") << when;
            const Finished again = run_velstra(*args[k], dir(), "again");
            EXPECT_EQ(again.code, 0) << when << again.err;
        }
        expect_same(contents(dir() / db), whole, when);
    }
}

}  // namespace
