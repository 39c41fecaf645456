#include "read_ahead.h"

#include <cassert>
#include <cstdio>
#include <memory>
#include <system_error>
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

ReadAhead::ReadAhead(const AnalyseLog& analyse, bool own_thread) : analyse_(analyse) {
    if (!own_thread) return;
    try {
        thread_ = std::thread([this] { work(); });
    } catch (const std::system_error&) {
        // No thread to be had: each file is read and analysed when started.
    }
}

ReadAhead::~ReadAhead() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ReadAhead::start(const std::string& path, long long size) {
    // The slot of the file before is about to be reused.
    assert(!unwaited_);
    unwaited_ = true;
    if (!thread_.joinable()) {
        slot_ = 1 - slot_;
        failure_ = read(path, size, slot_);
        return;
    }
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
    unwaited_ = false;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !pending_; });
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    return results_[slot_];
}

std::exception_ptr ReadAhead::read(const std::string& path, long long size, int slot) {
    try {
        Result& result = results_[slot];
        result.readable = read_whole(path, size, bytes_[slot]);
        if (result.readable) result.verdict = analyse_(bytes_[slot], result.game);
        return nullptr;
    } catch (...) {
        return std::current_exception();
    }
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
        const std::exception_ptr failure = read(path, size, slot);
        lock.lock();
        failure_ = failure;
        pending_ = false;
        changed_.notify_all();
    }
}
