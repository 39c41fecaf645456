// The tables of a history, and the version of their design kept in the file.
#pragma once

#include <sqlite3.h>

// "VlSt": marks the file as a history for tools that read the header
// (PRAGMA application_id), so another program's database is never taken
// for one.
inline constexpr int HISTORY_APPLICATION_ID = 0x566c5374;

// The design of the tables this program writes (PRAGMA user_version, also in
// the history_meta table). A history of a newer design is refused; one of an
// older design is upgraded by the commands that write, and read as it is by
// those that only read (each names the oldest design it reads: see
// HistoryStore::require_design).
inline constexpr int HISTORY_SCHEMA_VERSION = 3;

// Brings the tables from design version `from` (0: an empty file) to
// HISTORY_SCHEMA_VERSION. The caller holds a write transaction, so the
// whole change lands or none of it.
void upgrade_schema(sqlite3* db, int from);
