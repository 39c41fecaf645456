// Fuzzes the import of raw log bytes into a history in memory: the real
// analysis, every statement that stores a game, and the listings of games
// and players. The same bytes under a second name must add nothing, and a
// stored game must keep every player and every kill of its record.
#include <sqlite3.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "analyse_log.h"
#include "commands.h"
#include "history_store.h"
#include "import.h"

namespace fs = std::filesystem;

namespace {

// The import reads files: the input goes into two of a folder of this
// process, removed at its end.
const fs::path& scratch_folder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "fuzz-import-XXXXXX").string();
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

void write(const fs::path& file, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    if (std::fclose(f) != 0) std::abort();
}

long long count(HistoryStore& store, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(store.db(), sql, -1, &stmt, nullptr) != SQLITE_OK) std::abort();
    if (sqlite3_step(stmt) != SQLITE_ROW) std::abort();
    const long long n = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static LogAnalyser analyser;
    static NullOutput discard;
    const fs::path log = scratch_folder() / "games.log";
    const fs::path copy = scratch_folder() / "copy.log";
    write(log, data, size);
    write(copy, data, size);

    LogVerdict verdict = LogVerdict::NotReported;
    LoggedGame game;
    const AnalyseLog analyse = [&](std::string_view bytes, LoggedGame& into) {
        verdict = analyser.analyse(bytes, into);
        if (verdict == LogVerdict::Game) game = into;
        return verdict;
    };

    HistoryStore store(":memory:", HistoryAccess::CreateIfMissing);
    const ImportOptions options;
    const ImportCounts first = import_files(store, {log.string()}, analyse, options, discard);
    if (first.added + first.known + first.skipped() != 1 || first.known != 0) std::abort();
    if ((first.added == 1) != (verdict == LogVerdict::Game)) std::abort();

    const long long games = count(store, "SELECT count(*) FROM game");
    if (games != first.added) std::abort();
    if (first.added == 1) {
        if (count(store, "SELECT count(*) FROM game_player") != static_cast<long long>(game.record.players.size()))
            std::abort();
        // Every kill by a player of the scoreboard is kept.
        long long kills = 0;
        for (const LoggedKill& kill : game.kills)
            if (kill.killer >= 0 && kill.killer < static_cast<long long>(game.record.players.size())) ++kills;
        if (count(store, "SELECT count(*) FROM kill") != kills) std::abort();
    }

    const ImportCounts second = import_files(store, {copy.string()}, analyse, options, discard);
    if (second.added != 0 || second.known != first.added) std::abort();
    if (count(store, "SELECT count(*) FROM game") != games) std::abort();
    if (first.added == 1 && count(store, "SELECT count(*) FROM game_file") != 2) std::abort();

    list_games(store, discard);
    list_players(store, discard);
    return 0;
}
