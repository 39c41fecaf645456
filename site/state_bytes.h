// The bytes of the state a site keeps between builds: numbers and texts one
// after another, read back in the same order. A state that was cut short or
// is of another design reads as none, and the site is then built anew.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class StateWriter {
public:
    void put(std::int64_t value) { bytes_.append(reinterpret_cast<const char*>(&value), sizeof value); }
    void put(double value) { bytes_.append(reinterpret_cast<const char*>(&value), sizeof value); }
    void put(const std::string& text) {
        put(static_cast<std::int64_t>(text.size()));
        bytes_ += text;
    }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
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
