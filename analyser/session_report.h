// The session page, written from the ranked session's summary.
#pragma once

#include <ctime>

#include "error_log.h"
#include "failure_report.h"
#include "file_system.h"
#include "records.h"

// Writes the session page "velstra<date>.html" into files. Returns 1 when
// written, 0 when the file cannot be created or written (logged, and said on
// standard error).
int write_html_report(const SessionSummary& session, const Text& date, FileSystem& files, ErrorLog& log,
                      FailureReport& failures);

// Writes the page of the session dated date to out, then closes out.
// Returns 1 when every byte reached the file, else logs "\tcan't write
// Analyse-HTML-File" and returns 0. The name lookups log what they do not
// know to log.
int write_html_page(const SessionSummary& session, ErrorLog& log, OutputFile& out, const char* date);

// The date text of the session: the last log's, or the day of now without one.
Text session_date(const SessionInfo& info, std::time_t now);
