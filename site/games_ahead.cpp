#include "games_ahead.h"

#include <system_error>
#include <utility>

namespace {

// Enough to keep the reading busy; a hundred-game evening reads on while
// its page is made.
constexpr std::size_t GAMES_AHEAD = 32;

}  // namespace

GamesAhead::GamesAhead(HistoryReader::Games games) : games_(std::move(games)) {
    try {
        thread_ = std::thread([this] { work(); });
    } catch (const std::system_error&) {
        // No thread to be had: read when asked for.
    }
}

GamesAhead::~GamesAhead() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

bool GamesAhead::next() {
    if (!thread_.joinable()) {
        if (!games_.next()) return false;
        current_ = std::move(games_.game());
        return true;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return !ready_.empty() || read_all_; });
    if (ready_.empty()) {
        if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
        return false;
    }
    current_ = std::move(ready_.front());
    ready_.pop_front();
    changed_.notify_all();
    return true;
}

void GamesAhead::work() {
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || ready_.size() < GAMES_AHEAD; });
            if (stop_) break;
        }
        // The history is read outside the lock; only this thread reads it.
        bool more = false;
        std::exception_ptr failure;
        try {
            more = games_.next();
        } catch (...) {
            failure = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (more) {
            ready_.push_back(std::move(games_.game()));
        } else {
            failure_ = failure;
            read_all_ = true;
        }
        changed_.notify_all();
        if (!more) return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    read_all_ = true;
    changed_.notify_all();
}
