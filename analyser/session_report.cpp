#include "session_report.h"

int write_html_report(AnalysisContext&) { return 0; }
