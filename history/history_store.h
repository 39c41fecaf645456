// The history file: opened only when it is one (or a new, empty file for an
// import), brought to this program's design by the commands that write it,
// and the statements that write and read its games and merges.
#pragma once

#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sqlite_handle.h"

struct LoggedGame;
struct GameRecord;

enum class HistoryAccess {
    ReadOnly,         // games, players, site: the file is never written
    ReadWrite,        // alias, forget: an existing history only
    CreateIfMissing,  // import: a missing or empty file becomes a history
    Memory,           // a new history in memory, gone when closed (the fuzz target)
};

class HistoryStore {
public:
    // Opens path, never through a symbolic link. Throws HistoryFailure,
    // leaving the file as it was, when it is not a history (a text file,
    // another program's database, a file SQLite finds damaged), one of a
    // newer design, or one this account may not read (or, to write it, not
    // write). A writing access brings an older design up to date in one
    // transaction; a reading one reads it as it is (design() says which).
    // A history another run is writing is waited for up to busy_ms, then
    // reported busy.
    HistoryStore(const std::string& path, HistoryAccess access, int busy_ms = 5000);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // The design version of the file (HISTORY_SCHEMA_VERSION once written).
    int design() const { return design_; }
    // For a command that reads what only design `least` and later keep:
    // throws HistoryFailure asking for one import when the file is older.
    void require_design(int least) const;

    // A write transaction that holds the file's lock from its start, so that
    // a second import waits here rather than failing midway. A transaction
    // that changed the games or the merges counts one more generation of
    // the history as it commits (see HistoryReader::generation).
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
    // A game imported before the history kept each player's seconds in it
    // gets them when its log is read again.
    void fill_unknown_seconds(long long game_id, const LoggedGame& game);
    // A game imported before the history kept the players' moments gets
    // them (and its accuracy) when its log is read again; true when they
    // were filled in here.
    bool fill_unknown_moments(long long game_id, const LoggedGame& game);
    // Whether a game's moments are still unknown: its log is worth reading
    // again.
    bool moments_unknown(long long game_id);

    // The note of a file already read: its size, write time and identity
    // then, and what became of it ("game" with the game's key, or why it was
    // skipped). A note made before the history kept the nanoseconds and the
    // identity has them unknown, and never matches a file.
    struct FileNote {
        long long size = 0;
        long long write_time = 0;                // seconds since 1970, UTC
        std::optional<long long> write_ns;       // nanoseconds within the second
        std::optional<long long> device, inode;  // the file's identity (volume, file index on Windows)
        std::string outcome;
        std::string game_key;
    };
    std::optional<FileNote> file_note(std::string_view path);
    void set_file_note(std::string_view path, const FileNote& note);

    // The map and start ("YYYY-MM-DD HH:MM", or nothing) of a game, if the
    // history holds it.
    struct GameShown {
        std::string map;
        std::optional<std::string> start;
    };
    std::optional<GameShown> game_shown(long long game_id);

    // Removes a game and everything kept of it; false when there is none.
    // Its files' notes go too, so that importing them again brings it back.
    bool forget(long long game_id);

    // Names and their merges, each merge kept as it was given: a name onto
    // the name it was merged onto, which may itself be merged onto another.
    std::optional<long long> find_name(std::string_view utf8_name);
    std::string name_text(long long name_id);
    // The name a name was merged onto, if it was.
    std::optional<long long> merged_onto(long long name_id);
    // The names merged directly onto a name.
    std::vector<long long> merged_into(long long name_id);
    // The games a name played in.
    std::vector<long long> games_of_name(long long name_id);
    void merge(long long name_id, long long onto_id);
    void unmerge(long long name_id);

    // The SQL of every statement the store runs to import, forget and
    // merge, so that a test can ask SQLite how it runs each.
    static std::vector<std::string> statement_texts();

private:
    // The raw connection stays inside this folder: the reader shares it,
    // and the fuzz target's checks read the tables themselves.
    friend class HistoryReader;
    friend struct HistoryStoreInspection;
    sqlite3* db() const { return db_; }

    long long name_id(std::string_view utf8_name);
    void add_moments(long long game_id, const GameRecord& record);
    std::vector<long long> ids(Statement& statement, long long key);

    sqlite3* db_ = nullptr;
    int design_ = 0;
    bool changed_ = false;  // the open transaction changed what a site shows
    bool writes_ = false;
    std::string path_;
    struct Statements;
    std::unique_ptr<Statements> statements_;
};
