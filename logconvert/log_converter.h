// logconvert: lists the "*.log" files of the current directory, gives them
// the names the analyser reads ("games.log", "games1.log", ...) when there is
// no "games.log" yet, and writes 8-bit copies "games.txt", "games1.txt", ...
// with every zero byte of the game's 16-bit logs dropped.
#pragma once

#include <array>
#include <cstdio>
#include <memory>

#include "bounded_text.h"
#include "error_log.h"
#include "failure_report.h"
#include "file_system.h"
#include "output.h"
#include "platform.h"

inline constexpr const char* CONVERTER_VERSION_MAJOR = "1";
inline constexpr const char* CONVERTER_VERSION_MINOR = "10";

inline constexpr int MAX_LOG_NAMES = 101;
inline constexpr int FILE_BUFFER_SIZE = 512000;

using LogName = BoundedText<256>;  // at most 255 characters

struct ConverterContext {
    std::array<LogName, MAX_LOG_NAMES> log_names{};
    int rename_logs = 1;  // 1 while the found logs get the analyser's names
    int logs_left = 0;    // the logs found beyond the table, left as they are

    // The bytes of the file being converted, allocated at the first load
    // and kept for the run; file_length of them were read (at most 511,999).
    std::unique_ptr<char[]> file_buffer;
    int file_length = 0;

    // The folder of the logs, the failure lines and the diagnostics, and
    // where the listing and rename lines go: whatever the run is given (the
    // current folder, standard error and the console in the program).
    ConverterContext(FileSystem& folder, Output& output, Output& errors = error_output())
        : files(&folder), failures("logconvert", errors), log(folder, failures), out(&output) {}
    // The error log points at this run's failures: a run stays where it is.
    ConverterContext(const ConverterContext&) = delete;
    ConverterContext& operator=(const ConverterContext&) = delete;
    FileSystem* files;
    FailureReport failures;
    ErrorLog log;
    Output* out;
};

// The credits block of the switches "-v", "/v", "?" and "/?".
void print_converter_credits(Output& out);

// Lists the "*.log" files into log_names, settles rename_logs and counts
// the logs that do not fit the table in logs_left. Returns the index of the
// last name stored, or -1 when none was stored.
int list_logs(ConverterContext& ctx);

// Reads entry i of log_names into file_buffer. Returns 1 on success, else 0.
int load_log(ConverterContext& ctx, int i);

// Gives entry i its analyser name when rename is 1, then writes the loaded
// bytes without zero bytes to "games.txt" (i = 0) or "games<i>.txt".
// Returns 1 when the copy was written, else 0.
int convert_log(ConverterContext& ctx, int i, int rename);

// The whole program: switches, banner, listing and conversion. Returns the
// exit code, with every line of the run written to error.log.
int run_logconvert(ConverterContext& ctx, int argc, const char* const* argv);
