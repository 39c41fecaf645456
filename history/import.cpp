#include "import.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <utility>

#include "history_store.h"
#include "platform.h"
#include "read_ahead.h"

namespace fs = std::filesystem;

namespace {

// Larger files are no log the analyser can hold (its text is half a
// megabyte, twice that in 16-bit text); they are not read at all, so a stray
// film in the Logs folder costs no memory.
constexpr long long MAX_LOG_BYTES = 4LL * 1024 * 1024;

// What became of a file, as the note of known files keeps it.
constexpr std::string_view GAME = "game";
constexpr std::string_view UNFINISHED = "unfinished";
constexpr std::string_view NOT_A_STAT_LOG = "not a stat log";
constexpr std::string_view TOO_LONG = "too long";
constexpr std::string_view NOT_REPORTED = "not reported";

void count_skipped(ImportCounts& counts, std::string_view outcome) {
    if (outcome == UNFINISHED)
        ++counts.unfinished;
    else if (outcome == NOT_A_STAT_LOG)
        ++counts.not_a_stat_log;
    else if (outcome == TOO_LONG)
        ++counts.too_long;
    else
        ++counts.not_reported;
}

std::string_view outcome_of(LogVerdict verdict) {
    switch (verdict) {
        case LogVerdict::Unfinished: return UNFINISHED;
        case LogVerdict::NotAStatLog: return NOT_A_STAT_LOG;
        case LogVerdict::TooLong: return TOO_LONG;
        default: return NOT_REPORTED;
    }
}

// A log without an Absolute_Time starts at its file's time, in the clock of
// this machine; its offset from UTC is not the server's, so it stays unknown.
void start_from_file_time(StartTime& start, long long write_time) {
    const std::tm t = platform_local_time(static_cast<std::time_t>(write_time));
    start = StartTime{};
    start.year = t.tm_year + 1900;
    start.month = t.tm_mon + 1;
    start.day = t.tm_mday;
    start.hour = t.tm_hour;
    start.minute = t.tm_min;
    start.second = t.tm_sec;
}

std::string absolute_path(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

// The history and its journal files are never taken for logs, even when the
// history lives in the Logs folder being imported.
bool is_history_file(const std::string& absolute, const std::string& history) {
    if (history.empty()) return false;
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        if (absolute == history + suffix) return true;
    return false;
}

class Progress {
public:
    Progress(bool on, Output& lines, std::size_t total) : on_(on), lines_(lines), total_(total) {}
    void show(std::size_t done) {
        if (!on_) return;
        const long long now = platform_clock_ms();
        if (now - last_ < 250) return;
        last_ = now;
        lines_.print("\rimporting: %lld of %lld files", static_cast<long long>(done), static_cast<long long>(total_));
        shown_ = true;
    }
    ~Progress() {
        if (shown_) lines_.print("\r%40s\r", "");
    }

private:
    bool on_;
    Output& lines_;
    std::size_t total_;
    long long last_ = -1000000;
    bool shown_ = false;
};

}  // namespace

PathFiles files_of_path(const std::string& path) {
    PathFiles found;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) {
        found.unreadable =
            error && error != std::errc::no_such_file_or_directory ? error.message() : "no such file or folder";
        return found;
    }
    if (!fs::is_directory(status)) {
        // Opened once here, so that a file this account may not read is said
        // at once, as a folder it may not read is; a FIFO or a device is no
        // log, and is not waited for.
        errno = 0;
        if (std::FILE* file = platform_open_read(path.c_str(), false); file != nullptr) {
            std::fclose(file);
            found.files.push_back(path);
        } else {
            found.unreadable =
                errno != 0 ? std::error_code(errno, std::generic_category()).message() : "not a file nor a folder";
        }
        return found;
    }
    fs::directory_iterator it(path, error);
    for (const fs::directory_iterator end; !error && it != end; it.increment(error)) {
        std::error_code kind_error;
        if (it->is_regular_file(kind_error))
            found.files.push_back(it->path().string());
        else if (it->is_directory(kind_error))
            found.subfolders.push_back(it->path().string());
    }
    if (error) {
        found.unreadable = error.message();
        found.files.clear();
        found.subfolders.clear();
        return found;
    }
    std::sort(found.files.begin(), found.files.end());
    std::sort(found.subfolders.begin(), found.subfolders.end());
    return found;
}

namespace {

// What the note of known files says of a file, decided before it is read.
struct Plan {
    enum Kind { Ignore, Unreadable, Known, Skipped, TooLong, Read } kind = Ignore;
    std::string absolute;
    PlatformFileStamp stamp;
    long long known_id = 0;  // Known
    std::string outcome;     // Skipped
};

// The note of a file as it is now, until its outcome is known.
HistoryStore::FileNote note_of(const PlatformFileStamp& stamp) {
    HistoryStore::FileNote note;
    note.size = stamp.size;
    note.write_time = stamp.write_time;
    note.write_ns = stamp.write_ns;
    note.device = static_cast<long long>(stamp.device);
    note.inode = static_cast<long long>(stamp.file);
    note.outcome = std::string(GAME);
    return note;
}

// The same file, unchanged since its note: a note without the nanoseconds
// or the identity (made by an older velstra) cannot say so.
bool same_file(const HistoryStore::FileNote& note, const PlatformFileStamp& stamp) {
    const HistoryStore::FileNote now = note_of(stamp);
    return note.size == now.size && note.write_time == now.write_time && note.write_ns == now.write_ns &&
           note.device == now.device && note.inode == now.inode;
}

}  // namespace

ImportCounts import_files(HistoryStore& store, const std::vector<std::string>& files, const AnalyseLog& analyse,
                          const ImportOptions& options, Output& lines) {
    ImportCounts counts;
    const std::string history = options.history_path.empty() ? "" : absolute_path(options.history_path);
    Progress progress(options.progress && !options.verbose, lines, files.size());
    ReadAhead reader(analyse, options.read_ahead);

    bool open = false;
    int batch_files = 0;
    long long batch_start = 0;
    auto say = [&](const std::string& path, const char* what, long long id = 0) {
        if (!options.verbose) return;
        if (id > 0)
            lines.print("%s: %s %lld\n", path.c_str(), what, id);
        else
            lines.print("%s: %s\n", path.c_str(), what);
    };
    auto ensure_open = [&] {
        if (open) return;
        store.begin();
        open = true;
        batch_files = 0;
        batch_start = platform_clock_ms();
    };

    auto plan_of = [&](const std::string& path) {
        Plan plan;
        plan.absolute = absolute_path(path);
        if (is_history_file(plan.absolute, history)) return plan;
        ensure_open();
        if (!platform_file_stamp(path.c_str(), plan.stamp)) {
            plan.kind = Plan::Unreadable;
            return plan;
        }
        // A file read before and unchanged since is not read again, unless
        // its game has been forgotten since.
        if (const auto note = store.file_note(plan.absolute); note && same_file(*note, plan.stamp)) {
            if (note->outcome != GAME) {
                plan.kind = Plan::Skipped;
                plan.outcome = note->outcome;
                return plan;
            }
            // A game imported before the history kept its moments is read
            // again to fill them in.
            if (const auto id = store.game_of_key(note->game_key); id && !store.moments_unknown(*id)) {
                plan.kind = Plan::Known;
                plan.known_id = *id;
                return plan;
            }
        }
        plan.kind = plan.stamp.size <= MAX_LOG_BYTES ? Plan::Read : Plan::TooLong;
        return plan;
    };

    try {
        // The next file is read and analysed while this one is written: its
        // plan is made first, in the open batch, so the history is only ever
        // used by this thread.
        Plan next = files.empty() ? Plan{} : plan_of(files[0]);
        if (next.kind == Plan::Read) reader.start(files[0], next.stamp.size);
        for (std::size_t n = 0; n < files.size(); ++n) {
            progress.show(n);
            const std::string& path = files[n];
            const Plan plan = std::exchange(next, Plan{});
            ReadAhead::Result* result = plan.kind == Plan::Read ? &reader.wait() : nullptr;
            if (n + 1 < files.size()) {
                next = plan_of(files[n + 1]);
                if (next.kind == Plan::Read) reader.start(files[n + 1], next.stamp.size);
            }

            switch (plan.kind) {
                case Plan::Ignore: continue;
                case Plan::Unreadable:
                    ++counts.unreadable;
                    say(path, "skipped, unreadable");
                    continue;
                case Plan::Skipped:
                    count_skipped(counts, plan.outcome);
                    say(path, ("skipped, " + plan.outcome).c_str());
                    continue;
                case Plan::Known:
                    ++counts.known;
                    say(path, "already in the history as game", plan.known_id);
                    continue;
                case Plan::TooLong:
                case Plan::Read: break;
            }
            if (result != nullptr && !result->readable) {
                ++counts.unreadable;
                say(path, "skipped, unreadable");
                continue;
            }
            ensure_open();

            const LogVerdict verdict = result != nullptr ? result->verdict : LogVerdict::TooLong;
            const std::string file_name = fs::path(path).filename().string();
            HistoryStore::FileNote note = note_of(plan.stamp);
            if (verdict == LogVerdict::Game) {
                LoggedGame& game = result->game;
                note.game_key = std::string(game.key.view());
                if (const auto existing = store.game_of_key(game.key.view())) {
                    store.add_file_name(*existing, file_name);
                    store.fill_unknown_seconds(*existing, game);
                    if (store.fill_unknown_moments(*existing, game)) ++counts.read_again;
                    ++counts.known;
                    say(path, "already in the history as game", *existing);
                } else {
                    const bool from_file = !game.start.known();
                    if (from_file) start_from_file_time(game.start, plan.stamp.write_time);
                    const long long id = store.add_game(game, from_file, file_name);
                    ++counts.added;
                    say(path, "added as game", id);
                }
            } else if (verdict == LogVerdict::NoMemory) {
                // Not noted: with more memory the file may well be a game.
                ++counts.out_of_memory;
                say(path, "skipped, out of memory");
                continue;
            } else {
                note.outcome = std::string(outcome_of(verdict));
                count_skipped(counts, note.outcome);
                say(path, ("skipped, " + note.outcome).c_str());
            }
            store.set_file_note(plan.absolute, note);

            if (++batch_files >= options.batch_files || platform_clock_ms() - batch_start >= options.batch_ms) {
                store.commit();
                open = false;
            }
        }
        if (open) store.commit();
    } catch (...) {
        store.rollback();
        throw;
    }
    return counts;
}

std::string summary_line(const ImportCounts& counts) {
    char text[512];
    std::snprintf(text, sizeof text, "%d game%s added, %d already in the history, %d skipped", counts.added,
                  counts.added == 1 ? "" : "s", counts.known, counts.skipped());
    std::string line = text;
    const struct {
        int count;
        const char* what;
    } reasons[] = {
        {counts.unfinished, "unfinished"}, {counts.not_a_stat_log, "not a stat log"},
        {counts.too_long, "too long"},     {counts.not_reported, "not reported"},
        {counts.unreadable, "unreadable"}, {counts.out_of_memory, "out of memory"},
    };
    const char* separator = " (";
    for (const auto& reason : reasons) {
        if (reason.count == 0) continue;
        line += separator + std::to_string(reason.count) + " " + reason.what;
        separator = ", ";
    }
    if (counts.skipped() > 0) line += ")";
    if (counts.read_again > 0) line += ", " + std::to_string(counts.read_again) + " read again";
    return line;
}
