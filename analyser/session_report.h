#pragma once

#include "records.h"

// Ranks the session players (sets their rank) and writes the session page
// "velstra<date>.html" into the current directory, dated by the last log read
// or, without one, by today. Returns 1 when written, 0 when the file cannot
// be created. ctx.out is not touched: the page has its own stream.
int write_html_report(AnalysisContext& ctx);
