// The history's games read on a thread of their own, a few games ahead of
// the build that sums and shows them: the reading of the history overlaps
// the making of the pages. The games come in the reader's order.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "history_reader.h"

class GamesAhead {
public:
    // Without a thread to be had, each game is read when asked for.
    explicit GamesAhead(HistoryReader::Games games);
    // Stops the reading (a build that failed reads no further).
    ~GamesAhead();
    GamesAhead(const GamesAhead&) = delete;
    GamesAhead& operator=(const GamesAhead&) = delete;

    // The next game; false after the last. Throws what the reading threw.
    bool next();
    HistoryGame& game() { return current_; }

private:
    HistoryReader::Games games_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<HistoryGame> ready_;
    bool read_all_ = false;
    bool stop_ = false;
    std::exception_ptr failure_;
    HistoryGame current_;
    std::thread thread_;

    void work();
};
