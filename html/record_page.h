// A page built from records: it sees each reported game once, as it ends,
// and the session at its end. Pages made this way are listed in pages.cpp.
#pragma once

#include "game_record.h"

class RecordPage {
public:
    virtual ~RecordPage() = default;
    // A reported game, in the order of the session.
    virtual void add(const GameRecord& game) = 0;
    // Writes the page. Returns 1 when written; otherwise logs why, says so
    // on standard error and returns 0.
    virtual int finish(const SessionRecord& session) = 0;
};
