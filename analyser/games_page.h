// The games page, "velstra<date>-games.html": every reported game again with
// its scoreboard and charts, the table of the games, who killed whom over the
// session and with which weapons. A page of HTML5 in UTF-8 that needs nothing
// but itself: no script, no image, no address.
#pragma once

#include <memory>

#include "bounded_text.h"
#include "error_log.h"
#include "file_system.h"
#include "game_record.h"

class GamesPage {
public:
    // The page of one session, written into files.
    GamesPage(FileSystem& files, ErrorLog& log);
    ~GamesPage();
    GamesPage(const GamesPage&) = delete;
    GamesPage& operator=(const GamesPage&) = delete;

    // A reported game: its row of the table of games and its section, kept
    // in scratch files of the run until the end, so that memory stays the
    // same whatever the number of games. No file of the folder is touched.
    void add(const GameRecord& game);

    // At the end of the session: the page, named after the session's date.
    // Returns 1 when written; otherwise logs "\tcan't create Games-HTML-File"
    // or "\tcan't write Games-HTML-File", says so on standard error and
    // returns 0. The scratch files are gone either way, as they are when the
    // run ends before.
    int finish(const SessionRecord& session);

private:
    bool write_page(Output& out, const SessionRecord& session);

    FileSystem& files_;
    ErrorLog& log_;
    std::unique_ptr<ScratchFile> rows_;
    std::unique_ptr<ScratchFile> sections_;
    bool started_ = false;
    bool not_created_ = false;  // a part could not be created
    bool not_written_ = false;  // a part could not be written
    LocalTime first_day_;       // the earliest and latest game dates seen
    LocalTime last_day_;
};

// The page's file name.
BoundedText<64> games_page_name(const char* date);
