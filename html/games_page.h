// The games page, "velstra<date>-games.html": every reported game again with
// its scoreboard and charts, the table of the games, who killed whom over the
// session and with which weapons. A page of HTML5 in UTF-8 that needs nothing
// but itself: no script, no image, no address.
//
// A page that cannot be made logs "\tcan't create Games-HTML-File", one that
// cannot be written "\tcan't write Games-HTML-File". What waits for the end
// is kept in scratch files of the run (FileSystem::open_scratch), gone when
// the page is done or the run ends.
#pragma once

#include <memory>

#include "error_log.h"
#include "failure_report.h"
#include "file_system.h"
#include "record_page.h"

std::unique_ptr<RecordPage> games_page(FileSystem& files, ErrorLog& log, FailureReport& failures);
