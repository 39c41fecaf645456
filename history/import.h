// Importing logs into the history: the files of the PATHs, each analysed
// alone, every game added once, in transactions of whole games.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "output.h"
#include "read_ahead.h"

class HistoryStore;

struct ImportCounts {
    int added = 0;
    int known = 0;       // already in the history
    int read_again = 0;  // of those, games whose moments were filled in
    int unfinished = 0;
    int not_a_stat_log = 0;
    int too_long = 0;
    int not_reported = 0;
    int unreadable = 0;
    int out_of_memory = 0;
    int skipped() const { return unfinished + not_a_stat_log + too_long + not_reported + unreadable + out_of_memory; }
};

struct ImportOptions {
    bool verbose = false;      // a line per file on the lines output
    bool progress = false;     // standard error is a terminal: show how far it got
    std::string history_path;  // never read as a log, nor its journal
    // The next file is read and analysed on a thread of its own while this
    // one is written; off, everything happens on the calling thread (the
    // fuzz target, where a thread per import costs more than the import).
    bool read_ahead = true;
    // A batch is committed after this many files or this many milliseconds,
    // whichever comes first, so that a second import waits briefly and a
    // kill loses at most one batch.
    int batch_files = 100;  // about 3 MB of pages, well inside the cache
    long long batch_ms = 1000;
};

// The files a PATH stands for: the file itself, or every regular file of
// the folder, sorted by name. The folder's subfolders are not read: a
// server's Logs folder holds its logs, and a folder beside them (old logs
// kept apart, a backup) is named when it is meant.
struct PathFiles {
    std::string unreadable;               // why the path cannot be read; empty when it can
    std::vector<std::string> files;       // sorted by name
    std::vector<std::string> subfolders;  // not read, sorted by name
};
PathFiles files_of_path(const std::string& path);

// Imports the files, reporting per file (verbose) and progress on lines.
// analyse runs on a second thread, one file at a time, while the history is
// written from the calling thread only.
// Throws HistoryFailure when the history cannot be written: the games of the
// batches committed before stay.
ImportCounts import_files(HistoryStore& store, const std::vector<std::string>& files, const AnalyseLog& analyse,
                          const ImportOptions& options, Output& lines);

// "12 games added, 3 already in the history, 2 skipped (1 unfinished, 1 not
// a stat log)", and ", 2 read again" where games known before got their
// moments.
std::string summary_line(const ImportCounts& counts);
