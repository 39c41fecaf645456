#pragma once

#include "records.h"

// Writes the session page "velstra<date>.html". Returns 1 when written,
// 0 when the file cannot be created.
int write_html_report(AnalysisContext& ctx);
