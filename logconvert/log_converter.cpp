#include "log_converter.h"

#include <charconv>
#include <cstdarg>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>
#include <string_view>
#include <system_error>

#include "author_info.h"
#include "failure_report.h"

namespace {

// Error log lines that carry up to two file names of 255 characters.
constexpr std::size_t LOG_LINE_WIDTH = 600;
using CalendarText = BoundedText<32>;

bool is_one_of(const char* arg, std::initializer_list<const char*> switches) {
    for (const char* s : switches)
        if (std::strcmp(arg, s) == 0) return true;
    return false;
}

void print_usage(Output& out) {
    out.put(
        "usage: logconvert [-v | /v | ? | /? | -h | --help | /h | --version]\n"
        "\n"
        "Run it in the folder that holds the game's logs. It lists every *.log file but\n"
        "error.log and, when there is no games.log yet, renames them to games.log,\n"
        "games1.log, ... (the names analyser reads); then it writes 8-bit copies\n"
        "games.txt, games1.txt, ... and appends its diagnostics to error.log.\n"
        "\n"
        "  -v, /v, ?, /?     the credits only\n"
        "  -h, --help, /h    this text\n"
        "  --version         the version, in one line\n"
        "\n"
        "Exit codes: 0 every log was read and copied; 1 no log was found, more than 101\n"
        "were found (the rest is left as it is), or a log could not be read or its copy\n"
        "not written.\n");
}

void report_unwritable_copy(ConverterContext& ctx, const char* output_name) {
    ctx.failures.report(
        Failure::CopyUnwritable,
        "can't write the copy %s; make the folder writable, free some disk space and remove any folder or "
        "link of that name (details in error.log)",
        output_name);
}

// The fixed 24-character local calendar text with its line feed, as the C
// library's ctime() gives it. Written out here because ctime() differs
// between systems for times it cannot show. An entry without a time that
// fits the fixed form (no known time, a time before 1970, one the system
// cannot convert, or a year of more than four digits) is dated "(null)", so
// its listing line is the same on every system.
CalendarText calendar_text(const PlatformDirEntry& entry) {
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    CalendarText text("(null)");
    std::tm local{};
    if (!entry.time_known || entry.write_time < 0) return text;
    if (!platform_local_time_checked(entry.write_time, local)) return text;
    const int year = local.tm_year + 1900;
    if (year > 9999 || local.tm_wday < 0 || local.tm_wday > 6 || local.tm_mon < 0 || local.tm_mon > 11) return text;
    text.format("%.3s %.3s%3d %.2d:%.2d:%.2d %d\n", days[local.tm_wday], months[local.tm_mon], local.tm_mday,
                local.tm_hour, local.tm_min, local.tm_sec, year);
    return text;
}

void print_listing_line(const ConverterContext& ctx, const PlatformDirEntry& entry) {
    // The size as a 64-bit number: a log beyond 2 GiB shows its true size.
    ctx.out->print("Name:%s  Size:%lld  Date:%s  ", entry.name.c_str(), entry.size, calendar_text(entry).c_str());
}

// Writes the bytes that are not zero, in runs, and says whether all of them
// reached the file.
bool write_without_zeros(Output& output, const char* bytes, int length) {
    int run_start = 0;
    for (int k = 0; k <= length; ++k) {
        if (k < length && bytes[k] != '\0') continue;
        const std::size_t run = static_cast<std::size_t>(k - run_start);
        if (run > 0 && !output.write(bytes + run_start, run)) return false;
        run_start = k + 1;
    }
    return true;
}

// Whether the analyser reads a log of this name: "games.log", or "games<i>.log"
// with i from 1 up, written without leading zeros.
bool is_analyser_name(std::string_view name) {
    if (name == "games.log") return true;
    if (!name.starts_with("games") || !name.ends_with(".log")) return false;
    const std::string_view digits = name.substr(5, name.size() - 9);
    if (digits.empty() || digits[0] < '1' || digits[0] > '9') return false;
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return error == std::errc{} && end == digits.data() + digits.size();
}

// With "games.log" present nothing is renamed: logs of other names would
// keep names the analyser never reads, without a word.
void report_logs_not_renamed(ConverterContext& ctx, int last) {
    int others = 0;
    for (int i = 0; i <= last; ++i)
        if (!is_analyser_name(ctx.log_names[static_cast<std::size_t>(i)].view())) ++others;
    if (others == 0) return;
    ctx.failures.report(
        Failure::LogsNotRenamed,
        "nothing was renamed because games.log exists; logs left with other names than games<N>.log, "
        "which analyser does not read: %i; move those to a folder of their own and run logconvert there",
        others);
}

// The number of files whose names end in suffix.
int count_files(const ConverterContext& ctx, const char* suffix) {
    int count = 0;
    PlatformDirEntry entry;
    for (const char* after = ""; ctx.files->find_next(suffix, after, entry); after = entry.name.c_str()) ++count;
    return count;
}

// No log to convert. Unfinished games are kept as ".tmp" files by the
// server, which the user may take for logs.
void report_no_logs(ConverterContext& ctx) {
    const int unfinished = count_files(ctx, ".tmp");
    if (unfinished == 0) {
        ctx.failures.report(Failure::NoLogs,
                            "no .log file in this folder; run logconvert in the folder that holds the game's logs "
                            "(details in error.log)");
        return;
    }
    const bool one = unfinished == 1;
    ctx.failures.report(Failure::NoLogs,
                        "no .log file in this folder, and %i .tmp file%s here %s the server never finished; run "
                        "logconvert in the folder that holds the game's logs (details in error.log)",
                        unfinished, one ? "" : "s", one ? "is a game" : "are games");
}

}  // namespace

void print_converter_credits(Output& out) {
    out.print("Programm Version: %s.%s\n", CONVERTER_VERSION_MAJOR, CONVERTER_VERSION_MINOR);
    out.print("Compiler: %s\n", COMPILER_TEXT);
    out.print("Included:\n");
    out.print("Autor: %s\n", AUTHOR_HANDLE);
    out.print("e-mail: %s\n", AUTHOR_EMAIL);
    out.print("homepage:%s\n", AUTHOR_HOMEPAGE);
    out.print("\n");
}

int list_logs(ConverterContext& ctx) {
    ctx.rename_logs = 1;
    ctx.logs_left = 0;
    int count = 0;
    if (ctx.files->open_read("games.log", false)) ctx.rename_logs = 0;

    // Only the first entry of the search is listed when it is "error.log".
    // The search walks the names in byte order, so the result is the same on
    // every run.
    PlatformDirEntry entry;
    bool first = true;
    for (const char* after = ""; ctx.files->find_next(".log", after, entry);
         after = entry.name.c_str(), first = false) {
        // A full table leaves the rest as they are; they are counted, so
        // that the run can say the conversion is not complete.
        if (count >= MAX_LOG_NAMES) {
            if (!(entry.name == "error.log")) ++ctx.logs_left;
            continue;
        }
        // Cutting the name to fit the table could name another file, which
        // would then be renamed and converted in its place. The skipped name
        // still was the search's first entry when it came first.
        if (entry.name.size() > LogName::max_length) {
            ctx.log.append("\t\twarning: file name too long, skipped");
            continue;
        }
        if (entry.name == "error.log") {
            if (first) print_listing_line(ctx, entry);
            continue;
        }
        ctx.log_names[count] = entry.name.view();
        if (entry.name == "games.log") ctx.rename_logs = 0;
        print_listing_line(ctx, entry);
        ++count;
    }
    return count - 1;
}

int load_log(ConverterContext& ctx, int i) {
    if (i < 0 || i >= MAX_LOG_NAMES) return 0;
    const char* name = ctx.log_names[i].c_str();
    // A folder or FIFO that the search listed is no log, and must not block.
    std::unique_ptr<InputFile> file = ctx.files->open_read(name, false);
    if (!file) {
        ctx.log.appendf<LOG_LINE_WIDTH>("\t%s file not found in the current directory", name);
        return 0;
    }
    if (!ctx.file_buffer) ctx.file_buffer.reset(new (std::nothrow) char[FILE_BUFFER_SIZE]);
    if (!ctx.file_buffer) {
        ctx.log.append("\tcan't allocate 512000 byte memory");
        return 0;
    }
    // A longer file is cut here; the last byte of the buffer stays for the
    // terminating zero.
    const std::size_t got = file->read(ctx.file_buffer.get(), FILE_BUFFER_SIZE - 1);
    const bool unreadable = file->failed();
    file.reset();
    if (unreadable) {
        // A file that opens but cannot be read is as unusable as a missing one.
        ctx.file_length = 0;
        ctx.file_buffer[0] = '\0';
        ctx.log.appendf<LOG_LINE_WIDTH>("\t%s file not found in the current directory", name);
        return 0;
    }
    ctx.file_length = static_cast<int>(got);
    ctx.file_buffer[got] = '\0';
    return 1;
}

int convert_log(ConverterContext& ctx, int i, int rename) {
    if (i < 0 || i >= MAX_LOG_NAMES) return 0;
    BoundedText<32> output_name("games.txt");
    BoundedText<32> log_name("games.log");
    if (i > 0) {
        output_name.format("games%i.txt", i);
        log_name.format("games%i.log", i);
    }
    const char* found_name = ctx.log_names[i].c_str();

    if (rename == 1) {
        // Never onto another file: renaming "y.log" onto an existing
        // "games1.log" would destroy that log. A file that keeps its name is
        // still converted from the bytes already read.
        if (ctx.files->rename_no_replace(found_name, log_name.c_str())) {
            ctx.out->print("\t%s -> %s\n", found_name, log_name.c_str());
            ctx.log.appendf<LOG_LINE_WIDTH>("\t\tinfo: renamed   %s to %s", found_name, log_name.c_str());
        } else {
            ctx.log.appendf<LOG_LINE_WIDTH>("\t\twarning: can not rename %s to %s", found_name, log_name.c_str());
        }
    }

    // Never through a link: the copy must not overwrite what a link names.
    std::unique_ptr<OutputFile> output = ctx.files->open_write(output_name.c_str(), WriteMode::Truncate);
    if (!output) {
        ctx.log.appendf<LOG_LINE_WIDTH>("\tcan not save %s file in the current directory", output_name.c_str());
        report_unwritable_copy(ctx, output_name.c_str());
        return 0;
    }
    const int length = ctx.file_buffer ? ctx.file_length : 0;
    bool written = write_without_zeros(*output, ctx.file_buffer.get(), length);
    written = output->close() && written;
    if (!written) {
        // A copy cut short (a full disk) is not reported as converted.
        ctx.log.appendf<LOG_LINE_WIDTH>("\tcan not save %s file in the current directory", output_name.c_str());
        report_unwritable_copy(ctx, output_name.c_str());
        return 0;
    }
    ctx.log.appendf<LOG_LINE_WIDTH>("\t\tinfo: converted %s to %s", found_name, output_name.c_str());
    return 1;
}

namespace {

int run_conversion(ConverterContext& ctx, int argc, const char* const* argv) {
    if (argc > 1 && argv[1] != nullptr) {
        if (std::strcmp(argv[1], "--version") == 0) {
            ctx.out->print("logconvert (velstra) %s\n", VELSTRA_VERSION);
            return 0;
        }
        if (is_one_of(argv[1], {"-v", "/v", "?", "/?"})) {
            print_converter_credits(*ctx.out);
            return 0;
        }
        if (is_one_of(argv[1], {"-h", "--help", "/h"})) {
            print_converter_credits(*ctx.out);
            print_usage(*ctx.out);
            return 0;
        }
    }
    ctx.log.banner("LOG CONVERTER");
    // The listing shows error.log and its size, the banner included.
    ctx.log.write_pending();

    const int last = list_logs(ctx);
    if (last == -1) {
        ctx.log.append("\tlog file not found in the current directory");
        report_no_logs(ctx);
        return 1;
    }
    if (!ctx.rename_logs) report_logs_not_renamed(ctx, last);
    // Logs left out of the table make the conversion incomplete.
    int result = 0;
    if (ctx.logs_left > 0) {
        ctx.failures.report(
            Failure::LogsLeftOver,
            "only the first %i logs were taken; logs after them in name order, left as they are: %i; move "
            "those to a folder of their own and run logconvert there",
            MAX_LOG_NAMES, ctx.logs_left);
        result = 1;
    }
    // Success only when every log was read and copied. A log that cannot be
    // read stops the run; a copy that cannot be written does not.
    for (int i = 0; i <= last; ++i) {
        if (!load_log(ctx, i)) {
            ctx.failures.report(Failure::LogUnreadable,
                                "can't read the log %s, so it and the logs after it were not converted; check that it "
                                "is a readable file (details in error.log)",
                                ctx.log_names[i].c_str());
            return 1;
        }
        if (!convert_log(ctx, i, ctx.rename_logs)) result = 1;
        // A crash costs at most the lines of the log it happens in.
        ctx.log.write_pending();
    }
    return result;
}

}  // namespace

int run_logconvert(ConverterContext& ctx, int argc, const char* const* argv) {
    const int exit_code = run_conversion(ctx, argc, argv);
    // However the run ends, all it logged is in error.log when it returns.
    ctx.log.write_pending();
    return exit_code;
}
