// The pages a session writes from its records.
#pragma once

#include <memory>
#include <vector>

#include "error_log.h"
#include "failure_report.h"
#include "file_system.h"
#include "record_page.h"

// Every page built from records, in the order they are written.
std::vector<std::unique_ptr<RecordPage>> record_pages(FileSystem& files, ErrorLog& log, FailureReport& failures);
