#include "memory_file_system.h"

#include <algorithm>
#include <cstring>

namespace {

class MemoryInput final : public InputFile {
public:
    explicit MemoryInput(const MemoryFileSystem::File& file) : file_(file) {}
    std::size_t read(char* data, std::size_t size) override {
        // A failing file gives its first half, then the error.
        const std::size_t end = file_.fail_read ? file_.bytes.size() / 2 : file_.bytes.size();
        if (position_ >= end) {
            failed_ = file_.fail_read;
            return 0;
        }
        const std::size_t got = end - position_ < size ? end - position_ : size;
        std::memcpy(data, file_.bytes.data() + position_, got);
        position_ += got;
        // As fread, a read that meets the error returns what it got, failing.
        if (file_.fail_read && got < size) failed_ = true;
        return got;
    }
    bool failed() const override { return failed_; }
    void rewind() override { position_ = 0; }

private:
    const MemoryFileSystem::File& file_;
    std::size_t position_ = 0;
    bool failed_ = false;
};

// Keeps what is written until the file is closed, as a buffered stream does,
// so that a failing close loses it.
class MemoryOutputFile final : public OutputFile {
public:
    explicit MemoryOutputFile(MemoryFileSystem::File& file, bool buffered) : file_(file), buffered_(buffered) {}
    bool write(const char* data, std::size_t size) override {
        if (file_.fail_write || closed_) return note(false);
        (buffered_ ? pending_ : file_.bytes).append(data, size);
        return true;
    }
    bool close() override {
        if (closed_) return false;
        closed_ = true;
        if (file_.fail_close) return note(false);
        file_.bytes += pending_;
        return !failed();
    }

private:
    MemoryFileSystem::File& file_;
    bool buffered_;
    bool closed_ = false;
    std::string pending_;
};

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool ends_with_ignoring_case(const std::string& name, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    if (name.size() < n) return false;
    for (std::size_t k = 0; k < n; ++k)
        if (lower(name[name.size() - n + k]) != lower(suffix[k])) return false;
    return true;
}

}  // namespace

MemoryFileSystem::File& MemoryFileSystem::add(const std::string& name, const std::string& bytes, std::time_t time) {
    File& file = files[name];
    file.bytes = bytes;
    file.time = time;
    return file;
}

std::string MemoryFileSystem::bytes(const std::string& name) const {
    auto found = files.find(name);
    return found == files.end() ? std::string() : found->second.bytes;
}

std::unique_ptr<InputFile> MemoryFileSystem::open_read(const char* name, bool) {
    auto found = files.find(name);
    if (found == files.end() || !found->second.regular) return nullptr;
    return std::make_unique<MemoryInput>(found->second);
}

std::unique_ptr<OutputFile> MemoryFileSystem::open_write(const char* name, WriteMode mode) {
    auto found = files.find(name);
    if (found != files.end() && !found->second.regular) return nullptr;
    File& file = files[name];
    if (mode != WriteMode::Append) file.bytes.clear();
    return std::make_unique<MemoryOutputFile>(file, mode != WriteMode::Append);
}

int MemoryFileSystem::write_time(const char* name, std::time_t& when) {
    auto found = files.find(name);
    when = found == files.end() ? 0 : found->second.time;
    return found == files.end() ? 0 : 1;
}

int MemoryFileSystem::find_next(const char* suffix, const char* after, PlatformDirEntry& entry) {
    for (auto it = files.upper_bound(after); it != files.end(); ++it) {
        if (it->first.empty() || !ends_with_ignoring_case(it->first, suffix)) continue;
        entry.name = it->first;
        entry.size = it->second.regular ? static_cast<long long>(it->second.bytes.size()) : 0;
        entry.write_time = it->second.time;
        entry.time_known = 1;
        return 1;
    }
    return 0;
}

int MemoryFileSystem::rename_no_replace(const char* from, const char* to) {
    auto source = files.find(from);
    if (source == files.end()) return 0;
    if (std::strcmp(from, to) == 0) return 1;
    if (files.count(to) != 0) return 0;
    File moved = source->second;
    files.erase(source);
    files[to] = moved;
    return 1;
}

namespace {

class MemoryScratch final : public ScratchFile {
public:
    explicit MemoryScratch(MemoryFileSystem& folder) : folder_(folder) { ++folder_.scratch_files_open; }
    ~MemoryScratch() override { --folder_.scratch_files_open; }
    MemoryScratch(const MemoryScratch&) = delete;
    MemoryScratch& operator=(const MemoryScratch&) = delete;

    bool write(const char* data, std::size_t size) override {
        if (folder_.fail_scratch_write) return note(false);
        bytes_.append(data, size);
        return true;
    }
    bool finish_writing() override {
        position_ = 0;
        return !failed();
    }
    std::size_t read(char* data, std::size_t size) override {
        const std::size_t got = std::min(size, bytes_.size() - position_);
        std::memcpy(data, bytes_.data() + position_, got);
        position_ += got;
        return got;
    }
    bool read_failed() const override { return false; }

private:
    MemoryFileSystem& folder_;
    std::string bytes_;
    std::size_t position_ = 0;
};

}  // namespace

std::unique_ptr<ScratchFile> MemoryFileSystem::open_scratch() {
    if (fail_scratch) return nullptr;
    return std::make_unique<MemoryScratch>(*this);
}
