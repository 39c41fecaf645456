// The few SQLite calls the history makes, as owned handles: a connection
// and its prepared statements. Values are only ever bound, never written
// into SQL text, so no name from a log can change a statement.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

// A failure the user must hear about: one line, the run ends with exit 2.
struct HistoryFailure {
    std::string message;
    bool busy = false;  // another run holds the history: worth a later try
};

class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) { other.stmt_ = nullptr; }
    Statement& operator=(Statement&& other) noexcept;

    // Parameters count from 1, as SQLite counts them.
    Statement& bind(int index, long long value);
    Statement& bind(int index, std::string_view text);
    Statement& bind_null(int index);
    // Text of a log (Latin-1) as UTF-8. The text must stay in place until the
    // statement is run or reset: plain ASCII, nearly every text, is bound
    // where it is, without a copy.
    Statement& bind_latin1(int index, std::string_view latin1);

    // One step: true while a row is there to read, false when done. Throws
    // HistoryFailure on an error, "busy" after the connection's timeout.
    bool step();
    // Steps to the end and resets for the next use.
    void run();
    void reset();

    bool is_null(int column) const;
    long long integer(int column) const;
    std::string text(int column) const;

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};

// What a failure of permissions says: the history is there, but this
// account may not write it, or not read it.
inline constexpr const char* HISTORY_READ_ONLY =
    "is read-only for this account (the file, its folder or its -wal and -shm files); it is left as it is";
inline constexpr const char* HISTORY_NOT_READABLE =
    "cannot be read by this account (permission denied on the file, its folder or its -wal and -shm files)";

// The message of a failed call, with what the history was doing.
[[noreturn]] void throw_sqlite(sqlite3* db, int code, std::string_view doing);

// Runs SQL that takes no parameters (schema, transactions).
void execute(sqlite3* db, const char* sql);
