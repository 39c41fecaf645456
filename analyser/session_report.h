#pragma once

#include "file_system.h"
#include "records.h"

// Writes the session page "velstra<date>.html" of the ranked session
// (rank_session) into the current directory, dated by the last log read or,
// without one, by today. Returns 1 when written, 0 when the file cannot be
// created or written (logged, and said on standard error). ctx.out is not
// touched: the page has its own stream.
int write_html_report(const AnalysisContext& ctx, ErrorLog& log, FailureReport& failures);

// Writes the page of the ranked session dated date to out, then closes out.
// Returns 1 when every byte reached the file, else logs "\tcan't write
// Analyse-HTML-File" and returns 0.
int write_html_page(const AnalysisContext& ctx, ErrorLog& log, OutputFile& out, const char* date);

// The date text of the session: the last log's, or today's without one.
Text session_date(const AnalysisContext& ctx);
