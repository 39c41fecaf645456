#include "commands.h"
#include "history_store.h"
#include "import.h"
#include "velstra_cli.h"

GivenFiles files_given(const std::vector<std::string>& paths, bool say_subfolders, Output& err) {
    GivenFiles given;
    for (const std::string& path : paths) {
        PathFiles found = files_of_path(path);
        if (!found.unreadable.empty()) {
            err.print("velstra: %s: %s\n", path.c_str(), found.unreadable.c_str());
            ++given.unreadable;
            continue;
        }
        if (say_subfolders)
            for (const std::string& folder : found.subfolders)
                err.print("velstra: %s: a folder within a folder, not read (name it to import its logs)\n",
                          folder.c_str());
        for (std::string& file : found.files) given.files.push_back(std::move(file));
    }
    return given;
}

int import_logs(const VelstraRun& run, const std::vector<std::string>& paths, bool verbose, const std::string& db) {
    const GivenFiles given = files_given(paths, true, *run.err);
    // Nothing to read makes no history.
    if (given.unreadable == paths.size()) return 1;
    HistoryStore store(db, HistoryAccess::CreateIfMissing, run.busy_ms);
    ImportOptions options;
    options.verbose = verbose;
    options.progress = run.terminal;
    options.history_path = db;
    const ImportCounts counts = import_files(store, given.files, run.analyse, options, *run.err);
    run.out->print("%s\n", summary_line(counts).c_str());
    return 0;
}
