// The diagnostics file shared by both programs, "error.log" in the current
// folder.
//
// Every line is appended and ends in CR LF on every platform; the file is
// never truncated. It is opened on first use and kept open, and every
// message reaches it with one write as soon as the call returns, so nothing
// is lost if the program stops right afterwards.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <memory>
#include <string>

#include "bounded_text.h"
#include "failure_report.h"
#include "file_system.h"

class ErrorLog {
public:
    // The file in files; failures is the run's, and says the lines that
    // cannot be written.
    ErrorLog(FileSystem& files, FailureReport& failures) : files_(&files), failures_(&failures) {}

    // Appends text and "\r\n". A text of one blank writes an empty line; a
    // null text only creates the file. Returns 1 when the file is open, else
    // 0 (and the next call tries again). A line that cannot be written is
    // said once a run, as a failure of the run.
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

    // A message of two lines in one write: a warning and the text it is about.
    int append_two(const char* first, const char* second);

    // The start banner of a program run: two empty lines, a box of asterisks
    // 85 characters wide with title centred in it, and one more empty line.
    void banner(const char* title);

private:
    int write_lines(const char* first, const char* second);
    void report_lost_lines();

    FileSystem* files_;
    FailureReport* failures_;
    std::unique_ptr<OutputFile> file_;
    std::string message_;  // reused: a log of many thousand messages allocates once
};
