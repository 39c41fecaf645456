// The history file: opened only when it is one (or a new, empty file for an
// import), brought to this program's design, and the statements that write
// and read its games.
#pragma once

#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "sqlite_handle.h"

struct LoggedGame;

enum class HistoryAccess {
    ReadWrite,        // an existing history only
    CreateIfMissing,  // import: a missing or empty file becomes a history
};

class HistoryStore {
public:
    // Opens path, never through a symbolic link. Throws HistoryFailure,
    // leaving the file as it was, when it is not a history (a text file,
    // another program's database, a file SQLite finds damaged) or one of a
    // newer design; an older design is brought up to date in one
    // transaction. A history another run is writing is waited for up to
    // busy_ms, then reported busy.
    HistoryStore(const std::string& path, HistoryAccess access, int busy_ms = 5000);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    sqlite3* db() const { return db_; }

    // A write transaction that holds the file's lock from its start, so that
    // a second import waits here rather than failing midway.
    void begin();
    void commit();
    void rollback();

    // The game of a key, if the history holds it.
    std::optional<long long> game_of_key(std::string_view key);
    // Adds a game (with the file name it came from) and returns its id. The
    // start must be filled in; from_file says it is the file's time.
    long long add_game(const LoggedGame& game, bool start_from_file, std::string_view file_name);
    // Notes one more file name a game was found in.
    void add_file_name(long long game_id, std::string_view file_name);

    // The note of a file already read: its size and write time then, and
    // what became of it ("game" with the game's key, or why it was skipped).
    struct FileNote {
        long long size = 0;
        long long write_time = 0;
        std::string outcome;
        std::string game_key;
    };
    std::optional<FileNote> file_note(std::string_view path);
    void set_file_note(std::string_view path, const FileNote& note);

    // Removes a game and everything kept of it; false when there is none.
    // Its files' notes go too, so that importing them again brings it back.
    bool forget(long long game_id);

private:
    long long name_id(std::string_view utf8_name);

    sqlite3* db_ = nullptr;
    struct Statements;
    std::unique_ptr<Statements> statements_;
};
