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
    // in files until the end, so that memory stays the same whatever the
    // number of games.
    void add(const GameRecord& game);

    // At the end of the session: the page, named after the session's date.
    // Returns 1 when written; otherwise logs "\tcan't create Games-HTML-File"
    // or "\tcan't write Games-HTML-File", says so on standard error and
    // returns 0. The waiting files are removed either way.
    int finish(const SessionRecord& session);

private:
    bool write_page(Output& out, const SessionRecord& session);
    void remove_parts();

    FileSystem& files_;
    ErrorLog& log_;
    std::unique_ptr<OutputFile> rows_;
    std::unique_ptr<OutputFile> sections_;
    bool started_ = false;
    bool rows_opened_ = false;  // only files the page opened are removed
    bool sections_opened_ = false;
    bool not_created_ = false;  // a part could not be created
    bool not_written_ = false;  // a part could not be written
    LocalTime first_day_;       // the earliest and latest game dates seen
    LocalTime last_day_;
};

// The names of the files that wait for the end, and of the page.
inline constexpr const char* GAMES_PAGE_ROWS = "velstra-games-rows.part";
inline constexpr const char* GAMES_PAGE_SECTIONS = "velstra-games-sections.part";
BoundedText<64> games_page_name(const char* date);
