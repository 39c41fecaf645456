#include "sqlite_handle.h"

#include <cerrno>

#include "latin1_text.h"
#include "platform.h"

void throw_sqlite(sqlite3* db, int code, std::string_view doing) {
    // The system's error of the failed write, before any other call changes
    // it: SQLite reports a write that finds no room as a bare I/O error when
    // nothing at all could be written.
    const int system_error = errno;
    const int primary = code & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        throw HistoryFailure{"the history is busy: another velstra is using it; try again when it is done", true};
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
        throw HistoryFailure{"the history is damaged (" + std::string(sqlite3_errstr(code)) + ")"};
    // A permission is never damage: the file, its folder or its -wal and
    // -shm files are there but not this account's to read or write.
    if (primary == SQLITE_READONLY) throw HistoryFailure{HISTORY_READ_ONLY};
    const int opened = db != nullptr ? sqlite3_system_errno(db) : 0;
    if ((primary == SQLITE_CANTOPEN || primary == SQLITE_PERM) && platform_permission_denied(opened))
        throw HistoryFailure{HISTORY_NOT_READABLE};
    const int system = primary == SQLITE_IOERR ? system_error : 0;
    if (primary == SQLITE_FULL || system == ENOSPC)
        throw HistoryFailure{"the disk is full; the history keeps what it held before"};
    if (system == EFBIG)
        throw HistoryFailure{
            "the file has reached the largest size allowed here; the history keeps what it held before"};
    std::string message(doing);
    message += ": ";
    message += db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    throw HistoryFailure{message};
}

void execute(sqlite3* db, const char* sql) {
    const int code = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) throw_sqlite(db, code, "cannot change the history");
}

Statement::Statement(sqlite3* db, const char* sql) : db_(db) {
    const int code = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (code != SQLITE_OK) throw_sqlite(db, code, "cannot read the history");
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = other.db_;
        stmt_ = other.stmt_;
        other.stmt_ = nullptr;
    }
    return *this;
}

Statement& Statement::bind(int index, long long value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

Statement& Statement::bind(int index, std::string_view text) {
    sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    return *this;
}

Statement& Statement::bind_latin1(int index, std::string_view latin1) {
    for (const char c : latin1) {
        if (static_cast<unsigned char>(c) >= 0x80) return bind(index, utf8_of_latin1(latin1));
    }
    sqlite3_bind_text64(stmt_, index, latin1.data(), latin1.size(), SQLITE_STATIC, SQLITE_UTF8);
    return *this;
}

Statement& Statement::bind_null(int index) {
    sqlite3_bind_null(stmt_, index);
    return *this;
}

bool Statement::step() {
    const int code = sqlite3_step(stmt_);
    if (code == SQLITE_ROW) return true;
    if (code == SQLITE_DONE) return false;
    sqlite3_reset(stmt_);
    throw_sqlite(db_, code, "cannot use the history");
}

void Statement::run() {
    while (step()) {
    }
    reset();
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

bool Statement::is_null(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

long long Statement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string Statement::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return data != nullptr ? std::string(data, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                           : std::string();
}
