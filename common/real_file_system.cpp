#include <cstdio>
#include <cstring>
#include <memory>

#include "file_system.h"

namespace {

class StreamInput final : public InputFile {
public:
    explicit StreamInput(std::FILE* file) : file_(file) {}
    ~StreamInput() override { std::fclose(file_); }
    StreamInput(const StreamInput&) = delete;
    StreamInput& operator=(const StreamInput&) = delete;

    std::size_t read(char* data, std::size_t size) override { return std::fread(data, 1, size, file_); }
    bool failed() const override { return std::ferror(file_) != 0; }
    void rewind() override { std::rewind(file_); }

private:
    std::FILE* file_;
};

// A stream being written. Pages and copies gather their many small pieces
// in a block of their own and hand the stream whole blocks; the error log,
// which gathers its lines itself, writes each of its blocks through at once.
class StreamFile final : public OutputFile {
public:
    StreamFile(std::FILE* file, bool gathered) : file_(file) {
        if (gathered) block_.reset(new char[BLOCK]);
    }
    ~StreamFile() override {
        if (file_ != nullptr) std::fclose(file_);
    }
    StreamFile(const StreamFile&) = delete;
    StreamFile& operator=(const StreamFile&) = delete;

    bool write(const char* data, std::size_t size) override {
        if (file_ == nullptr) return note(false);
        if (!block_) return note(platform_write_through(file_, data, size));
        if (size >= BLOCK) return note(pass_on() && put(data, size));
        if (used_ + size > BLOCK && !pass_on()) return note(false);
        std::memcpy(block_.get() + used_, data, size);
        used_ += size;
        return true;
    }
    bool close() override {
        if (file_ == nullptr) return false;
        // A full disk shows only when the buffered bytes are written out.
        const bool written = pass_on() && !failed() && std::ferror(file_) == 0 && std::fflush(file_) == 0;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        return note(written && closed);
    }

private:
    static constexpr std::size_t BLOCK = std::size_t{1} << 15;

    bool put(const char* data, std::size_t size) { return size == 0 || std::fwrite(data, 1, size, file_) == size; }
    bool pass_on() {
        const bool written = put(block_.get(), used_);
        used_ = 0;
        return written;
    }

    std::FILE* file_;
    std::unique_ptr<char[]> block_;
    std::size_t used_ = 0;
};

// A fresh file of the system's folder of temporary files, made exclusively
// and gone when it is closed (platform_open_scratch). Its many small pieces
// go out in the C library's own blocks of 4 KB: larger blocks saved a few
// hundred writes of a games page but cost more memory than time.
class StreamScratch final : public ScratchFile {
public:
    explicit StreamScratch(std::FILE* file) : file_(file) {}
    ~StreamScratch() override { std::fclose(file_); }
    StreamScratch(const StreamScratch&) = delete;
    StreamScratch& operator=(const StreamScratch&) = delete;

    bool write(const char* data, std::size_t size) override {
        return note(size == 0 || std::fwrite(data, 1, size, file_) == size);
    }
    bool finish_writing() override {
        const bool written = !failed() && std::fflush(file_) == 0 && std::ferror(file_) == 0;
        std::rewind(file_);
        return note(written);
    }
    std::size_t read(char* data, std::size_t size) override { return std::fread(data, 1, size, file_); }
    bool read_failed() const override { return std::ferror(file_) != 0; }

private:
    std::FILE* file_;
};

class RealFileSystem final : public FileSystem {
public:
    std::unique_ptr<InputFile> open_read(const char* name, bool text) override {
        std::FILE* file = platform_open_read(name, text);
        if (file == nullptr) return nullptr;
        return std::make_unique<StreamInput>(file);
    }
    std::unique_ptr<OutputFile> open_write(const char* name, WriteMode mode) override {
        std::FILE* file = platform_open_write(name, mode);
        if (file == nullptr) return nullptr;
        // The error log's blocks go through at once, so they are in the file
        // when the log hands them over; pages and copies in large blocks.
        return std::make_unique<StreamFile>(file, mode != WriteMode::Append);
    }
    int write_time(const char* name, std::time_t& when) override { return platform_file_write_time(name, when); }
    int find_next(const char* suffix, const char* after, PlatformDirEntry& entry) override {
        return platform_find_next(suffix, after, entry);
    }
    int rename_no_replace(const char* from, const char* to) override { return platform_rename_no_replace(from, to); }
    int remove_file(const char* name) override { return std::remove(name) == 0 ? 1 : 0; }
    std::unique_ptr<ScratchFile> open_scratch() override {
        std::FILE* file = platform_open_scratch();
        if (file == nullptr) return nullptr;
        return std::make_unique<StreamScratch>(file);
    }
};

}  // namespace

std::unique_ptr<OutputFile> output_file_of(std::FILE* stream) { return std::make_unique<StreamFile>(stream, true); }

FileSystem& real_file_system() {
    static RealFileSystem files;
    return files;
}
