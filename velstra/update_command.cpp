#include <memory>

#include "build_site.h"
#include "commands.h"
#include "history_reader.h"
#include "history_store.h"
#include "import.h"
#include "velstra_cli.h"

int update_site(const VelstraRun& run, const std::vector<std::string>& folders, const std::string& db,
                const std::string& dir) {
    // A subfolder is there every night: saying so each time would make a
    // scheduled job's mail of every night.
    const GivenFiles given = files_given(folders, false, *run.err);
    const int code = given.unreadable > 0 ? 1 : 0;
    ImportCounts counts;
    std::unique_ptr<HistoryStore> store;
    if (given.unreadable < folders.size()) {
        store = std::make_unique<HistoryStore>(db, HistoryAccess::CreateIfMissing, run.busy_ms);
        ImportOptions options;
        options.progress = run.terminal;
        options.history_path = db;
        counts = import_files(*store, given.files, run.analyse, options, *run.err);
    } else {
        // No folder to read, but an alias or a forget may have changed the
        // history since the site was built.
        store = std::make_unique<HistoryStore>(db, HistoryAccess::ReadOnly, run.busy_ms);
    }

    const long long generation = HistoryReader(*store).generation();
    if (site_built_from(dir) == generation) return code;
    StringOutput built;
    if (const int failed = build_site(*store, dir, built, *run.err); failed != 0) return failed;
    std::string line = built.text;
    if (!line.empty() && line.back() == '\n') line.pop_back();
    run.out->print("%s; %s\n", summary_line(counts).c_str(), line.c_str());
    return code;
}
