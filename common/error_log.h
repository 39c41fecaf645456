// The diagnostics file shared by both programs, "error.log" in the current
// folder.
//
// Every line is appended and ends in CR LF on every platform; the file is
// never truncated. It is opened on first use and kept open. A session of
// add-on weapons logs tens of thousands of lines, so they are gathered in
// memory and reach the file in blocks: when the block is full, when the
// program calls write_pending (the analyser after each game, so a crash
// costs at most the lines of the game it was in), before every failure line
// on standard error, and at the end of the run.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <memory>
#include <string>

#include "bounded_text.h"
#include "failure_report.h"
#include "file_system.h"

class ErrorLog final : public PendingDetails {
public:
    // The file in files; failures is the run's, says the lines that cannot
    // be written, and has this log write its lines out before each of its
    // own. Both outlive the log.
    ErrorLog(FileSystem& files, FailureReport& failures);
    // Writes out what is pending.
    ~ErrorLog();
    // The failure report points at this log.
    ErrorLog(const ErrorLog&) = delete;
    ErrorLog& operator=(const ErrorLog&) = delete;

    // Appends text and "\r\n". A text of one blank writes an empty line; a
    // null text only creates the file. Returns 1 when the file is open, else
    // 0 (and the next call tries again). A line that cannot be written is
    // said once a run, as a failure of the run, when its block is written.
    int append(const char* text);

    // Formats a line into a field of Width characters (longer lines are cut
    // at Width - 1; a record's field unless a line names more) and appends it.
    template <std::size_t Width = Text::max_length + 1>
    __attribute__((format(printf, 2, 3))) int appendf(const char* fmt, ...) {
        BoundedText<Width> line;
        va_list args;
        va_start(args, fmt);
        line.vformat(fmt, args);
        va_end(args);
        return append(line.c_str());
    }

    // A message of two lines, never split between blocks: a warning and the
    // text it is about.
    int append_two(const char* first, const char* second);

    // Writes the lines gathered so far to the file, in one write.
    void write_pending() override;

    // The start banner of a program run: two empty lines, a box of asterisks
    // 85 characters wide with title centred in it, and one more empty line.
    void banner(const char* title);

private:
    int write_lines(const char* first, const char* second);
    void report_lost_lines();

    FileSystem* files_;
    FailureReport* failures_;
    std::unique_ptr<OutputFile> file_;
    std::string pending_;  // whole lines not yet written; keeps its memory from block to block
};
