// Fuzzes the import of raw log bytes into a history in memory: the real
// analysis, every statement that stores a game, and the listings of games
// and players. The same bytes under a second name must add nothing; after
// every run the history must be sound (SQLite's integrity check) and hold
// whole games only: each stored game with every player, team spell, kill,
// team step and mutator of its record, and no row of a game it lacks.
//
// One history serves every run, emptied after each: making its tables and
// statements anew would cost more than the run itself. The integrity check
// is prepared anew on every step (SQLite expires every pragma after it
// runs): the largest cost of a run after the analysis, so SQLite's many
// small blocks come from a pool (sqlite_pool.h) rather than the
// sanitizer's malloc.
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analyse_log.h"
#include "commands.h"
#include "history_reader.h"
#include "history_store.h"
#include "import.h"
#include "sqlite_handle.h"
#include "sqlite_pool.h"

namespace fs = std::filesystem;

// The checks read the history's tables as they are, through its connection.
struct HistoryStoreInspection {
    static sqlite3* db(const HistoryStore& store) { return store.db(); }
};

namespace {

// The import reads files: the input goes into one of a folder of this
// process, removed at its end; in memory (/dev/shm) where the system has
// such a folder, as the file is written on every run.
const fs::path& scratch_folder() {
    static const fs::path folder = [] {
        std::error_code error;
        const fs::path parent = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (parent / "fuzz-import-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        return fs::path(pattern);
    }();
    static const bool removed_at_exit = [] {
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(scratch_folder(), ignored);
        });
        return true;
    }();
    (void)removed_at_exit;
    return folder;
}

// The input's file, under a second name too (a hard link: the same bytes,
// written once). It stays open, and each run's bytes replace the last ones.
class InputFile {
public:
    InputFile() : path_(scratch_folder() / "games.log"), copy_(scratch_folder() / "copy.log") {
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd_ < 0 || ::link(path_.c_str(), copy_.c_str()) != 0) std::abort();
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    void write(const std::uint8_t* data, std::size_t size) {
        if (::ftruncate(fd_, 0) != 0) std::abort();
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = ::pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0) std::abort();
            done += static_cast<std::size_t>(n);
        }
    }
    const fs::path& path() const { return path_; }
    const fs::path& copy() const { return copy_; }

private:
    fs::path path_, copy_;
    int fd_ = -1;
};

// The checks of a run and the emptying after it, each statement prepared
// once.
class Checks {
public:
    explicit Checks(HistoryStore& store)
        : integrity_(HistoryStoreInspection::db(store), "PRAGMA integrity_check"),
          games_(HistoryStoreInspection::db(store), "SELECT count(*) FROM game"),
          files_(HistoryStoreInspection::db(store), "SELECT count(*) FROM game_file") {
        Statement tables(HistoryStoreInspection::db(store), "SELECT name FROM sqlite_schema WHERE type = 'table'");
        std::vector<std::string> names;
        while (tables.step()) names.push_back(tables.text(0));
        // One statement counts the rows of every game the history lacks.
        std::string strays = "SELECT 0";
        for (const std::string& table : names) {
            (table == "imported_file" ? empty_notes_ : empty_games_)
                .emplace_back(HistoryStoreInspection::db(store), ("DELETE FROM \"" + table + "\"").c_str());
            rows_[table] =
                Statement(HistoryStoreInspection::db(store), ("SELECT count(*) FROM \"" + table + "\"").c_str());
            Statement of_a_game(
                HistoryStoreInspection::db(store),
                ("SELECT count(*) FROM pragma_table_info('" + table + "') WHERE name = 'game_id'").c_str());
            if (of_a_game.step() && of_a_game.integer(0) == 1)
                strays += " + (SELECT count(*) FROM \"" + table + "\" WHERE game_id NOT IN (SELECT id FROM game))";
        }
        strays_ = Statement(HistoryStoreInspection::db(store), strays.c_str());
    }

    long long games() { return count(games_); }
    long long files() { return count(files_); }

    // Rows of the game kept by the import: every player, spell and
    // mutator, the team steps, and each kill by a player of the scoreboard.
    void expect_whole(const LoggedGame& game) {
        const long long players = static_cast<long long>(game.record.players.size());
        long long kills = 0;
        for (const LoggedKill& kill : game.kills)
            if (kill.killer >= 0 && kill.killer < players) ++kills;
        long long spells = 0;
        for (std::size_t slot = 0; slot < game.player_teams.size() && static_cast<long long>(slot) < players; ++slot)
            spells += static_cast<long long>(game.player_teams[slot].size());
        const struct {
            const char* table;
            long long rows;
        } expected[] = {
            {"game_player", players},
            {"kill", kills},
            {"player_team", spells},
            {"team_step", static_cast<long long>(game.record.teams.steps.size())},
            {"game_mutator", static_cast<long long>(game.mutators.size())},
        };
        for (const auto& of : expected)
            if (count(rows_.at(of.table)) != of.rows) std::abort();
    }

    // A sound file, and no row of a game it does not hold.
    void expect_sound() {
        if (!integrity_.step() || integrity_.text(0) != "ok" || integrity_.step()) std::abort();
        integrity_.reset();
        if (count(strays_) != 0) std::abort();
    }

    // Empty again for the next run: the notes of files, and what a game
    // stored (its name rows too) if one was.
    void empty(bool game_stored) {
        for (Statement& table : empty_notes_) table.run();
        if (game_stored)
            for (Statement& table : empty_games_) table.run();
    }

private:
    static long long count(Statement& statement) {
        if (!statement.step()) std::abort();
        const long long n = statement.integer(0);
        statement.reset();
        return n;
    }

    Statement integrity_, games_, files_, strays_;
    std::vector<Statement> empty_notes_, empty_games_;
    std::map<std::string, Statement> rows_;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // One thread uses SQLite here (the import reads no file ahead), so
    // neither SQLite nor its pool needs a lock, and SQLite need not count
    // its memory.
    if (sqlite3_config(SQLITE_CONFIG_SINGLETHREAD) != SQLITE_OK) std::abort();
    if (sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) != SQLITE_OK) std::abort();
    use_sqlite_pool();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static LogAnalyser analyser;
    static NullOutput discard;
    static HistoryStore store(":memory:", HistoryAccess::Memory);
    static Checks checks(store);
    static InputFile input;
    static int runs = 0;
    input.write(data, size);

    LogVerdict verdict = LogVerdict::NotReported;
    LoggedGame game;
    const AnalyseLog analyse = [&](std::string_view bytes, LoggedGame& into) {
        verdict = analyser.analyse(bytes, into);
        if (verdict == LogVerdict::Game) game = into;
        return verdict;
    };

    // No thread to read ahead: with one file an import, it would only cost.
    ImportOptions options;
    options.read_ahead = false;
    const ImportCounts first = import_files(store, {input.path().string()}, analyse, options, discard);
    if (first.added + first.known + first.skipped() != 1 || first.known != 0) std::abort();
    if ((first.added == 1) != (verdict == LogVerdict::Game)) std::abort();
    if (checks.games() != first.added) std::abort();
    if (first.added == 1) checks.expect_whole(game);

    // The copy is the same bytes, so its analysis is the same: the first
    // one's result is handed out again rather than computed twice (moved:
    // the checks of the game are done).
    const AnalyseLog analysed = [&](std::string_view bytes, LoggedGame& into) {
        if (bytes != std::string_view(reinterpret_cast<const char*>(data), size)) std::abort();
        if (verdict == LogVerdict::Game) into = std::move(game);
        return verdict;
    };
    const ImportCounts second = import_files(store, {input.copy().string()}, analysed, options, discard);
    if (second.added != 0 || second.known != first.added) std::abort();
    if (checks.games() != first.added) std::abort();
    if (first.added == 1 && checks.files() != 2) std::abort();

    // The listings read every text stored; now and then, as their
    // statements are made anew each time (every 8th run, they took a sixth
    // of the time).
    if (++runs % 64 == 0) {
        list_games(store, GameFilter{}, discard, discard);
        list_players(store, discard);
        list_similar_players(store, "", discard);
    }
    checks.expect_sound();
    checks.empty(first.added == 1);
    return 0;
}
