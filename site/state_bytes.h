// The bytes of the state a site keeps between builds: numbers and texts one
// after another, read back in the same order. A state that was cut short or
// is of another design reads as none, and the site is then built anew.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Writes to a file in blocks: a state of many players is megabytes, which
// need not be held in memory beside the site's figures.
class StateWriter {
public:
    explicit StateWriter(std::FILE* file) : file_(file) {}
    void put(std::int64_t value) { add(&value, sizeof value); }
    void put(double value) { add(&value, sizeof value); }
    void put(const std::string& text) {
        put(static_cast<std::int64_t>(text.size()));
        add(text.data(), text.size());
    }
    // Writes what is left; false when any write failed.
    bool finish() {
        flush();
        return ok_;
    }

private:
    static constexpr std::size_t BLOCK = 64 * 1024;
    void add(const void* bytes, std::size_t size) {
        if (block_.size() + size > BLOCK) flush();
        block_.append(static_cast<const char*>(bytes), size);
    }
    void flush() {
        if (!block_.empty() && std::fwrite(block_.data(), 1, block_.size(), file_) != block_.size()) ok_ = false;
        block_.clear();
    }
    std::FILE* file_;
    std::string block_;
    bool ok_ = true;
};

class StateReader {
public:
    explicit StateReader(std::string_view bytes) : bytes_(bytes) {}
    // False from the first value that was not there (the rest read as 0).
    bool ok() const { return ok_; }
    bool at_end() const { return bytes_.empty(); }

    std::int64_t number() {
        std::int64_t value = 0;
        take(&value, sizeof value);
        return value;
    }
    // A count of things to follow, each at least one byte: a count larger
    // than what is left is a damaged state, not a reason to allocate.
    std::size_t count() {
        const std::int64_t value = number();
        if (value < 0 || static_cast<std::uint64_t>(value) > bytes_.size()) {
            ok_ = false;
            return 0;
        }
        return static_cast<std::size_t>(value);
    }
    double real() {
        double value = 0;
        take(&value, sizeof value);
        return value;
    }
    std::string text() {
        const std::size_t size = count();
        if (!ok_) return {};
        std::string value(bytes_.substr(0, size));
        bytes_.remove_prefix(size);
        return value;
    }

private:
    void take(void* value, std::size_t size) {
        if (bytes_.size() < size) {
            ok_ = false;
            bytes_ = {};
            return;
        }
        std::memcpy(value, bytes_.data(), size);
        bytes_.remove_prefix(size);
    }
    std::string_view bytes_;
    bool ok_ = true;
};
