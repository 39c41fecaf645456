#include "read_ahead.h"

#include <cstdio>
#include <memory>
#include <utility>

namespace {

bool read_whole(const std::string& path, long long size, std::string& bytes) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return false;
    bytes.resize(static_cast<std::size_t>(size));
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (std::ferror(file.get())) return false;
    bytes.resize(got);  // a file that shrank since its size was read
    return true;
}

}  // namespace

ReadAhead::ReadAhead(const AnalyseLog& analyse) : analyse_(analyse), thread_([this] { work(); }) {}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ReadAhead::start(const std::string& path, long long size) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        path_ = path;
        size_ = size;
        slot_ = 1 - slot_;
        pending_ = true;
    }
    changed_.notify_all();
}

ReadAhead::Result& ReadAhead::wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !pending_; });
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    return results_[slot_];
}

void ReadAhead::work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return pending_ || stopping_; });
        if (stopping_) return;
        const std::string path = path_;
        const long long size = size_;
        const int slot = slot_;
        lock.unlock();
        std::exception_ptr failure;
        try {
            Result& result = results_[slot];
            result.readable = read_whole(path, size, bytes_[slot]);
            if (result.readable) result.verdict = analyse_(bytes_[slot], result.game);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        failure_ = failure;
        pending_ = false;
        changed_.notify_all();
    }
}
