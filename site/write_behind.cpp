#include "write_behind.h"

#include <cstdio>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Enough to keep the writing busy, with a few pages of the largest evenings
// ahead of it; more would only hold memory.
constexpr std::size_t WAITING_LIMIT = std::size_t{4} << 20;

}  // namespace

WriteBehind::WriteBehind() {
    try {
        thread_ = std::thread([this] { work(); });
    } catch (const std::system_error&) {
        // No thread to be had: written at once.
    }
}

WriteBehind::~WriteBehind() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

std::unique_ptr<PageBuffer> WriteBehind::spare() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!spares_.empty()) {
            std::unique_ptr<PageBuffer> page = std::move(spares_.back());
            spares_.pop_back();
            page->clear();
            return page;
        }
    }
    return std::make_unique<PageBuffer>();
}

std::string WriteBehind::write(fs::path file, std::unique_ptr<PageBuffer> page) {
    if (!thread_.joinable()) {
        if (failure_.empty()) failure_ = write_file(file, *page);
        spares_.push_back(std::move(page));
        return failure_;
    }
    const std::size_t size = static_cast<std::size_t>(page->size());
    std::unique_lock<std::mutex> lock(mutex_);
    // One page larger than the limit still goes, alone.
    changed_.wait(lock, [&] { return waiting_.empty() || waiting_bytes_ + size <= WAITING_LIMIT; });
    waiting_bytes_ += size;
    waiting_.push_back(Job{std::move(file), std::move(page)});
    changed_.notify_all();
    return failure_;
}

std::string WriteBehind::finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return waiting_.empty() && !busy_; });
    return failure_;
}

void WriteBehind::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stop_ || !waiting_.empty(); });
        if (waiting_.empty()) return;
        Job job = std::move(waiting_.front());
        waiting_.pop_front();
        busy_ = true;
        const bool failed = !failure_.empty();
        lock.unlock();
        std::string failure = failed ? std::string() : write_file(job.file, *job.page);
        lock.lock();
        if (failure_.empty()) failure_ = std::move(failure);
        waiting_bytes_ -= static_cast<std::size_t>(job.page->size());
        // A few spare buffers are enough: the rest let go of their memory.
        if (spares_.size() < 4) spares_.push_back(std::move(job.page));
        busy_ = false;
        changed_.notify_all();
    }
}

std::string WriteBehind::write_file(const fs::path& file, PageBuffer& page) {
    std::error_code error;
    fs::remove(file, error);
    std::FILE* out = std::fopen(file.string().c_str(), "wb");
    if (out == nullptr) return file.string() + ": cannot be made";
    // The page is in memory already: written in one piece, not through a
    // second buffer.
    std::setvbuf(out, nullptr, _IONBF, 0);
    StreamOutput stream(out);
    const bool written = page.copy_to(stream) && !stream.failed();
    const bool closed = std::fclose(out) == 0;
    if (written && closed) return {};
    fs::remove(file, error);
    return file.string() + ": cannot be made; nothing was written";
}
