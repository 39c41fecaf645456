// A fixed-capacity, always terminated character field.
//
// Every text the programs keep (names, teams, skins, map names, file names)
// lives in one of these. Writes that do not fit are cut at the capacity, so
// no input, however long, can write past the end of a field.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string_view>

template <std::size_t Capacity>
class BoundedText {
    static_assert(Capacity >= 1, "a field needs room for its terminator");

public:
    static constexpr std::size_t max_length = Capacity - 1;

    BoundedText() { data_[0] = '\0'; }
    BoundedText(std::string_view text) { assign(text); }  // NOLINT(google-explicit-constructor)

    void clear() {
        data_[0] = '\0';
        length_ = 0;
    }

    // Copies text, keeping at most max_length characters and nothing from a
    // zero byte on: the field is a C string.
    void assign(std::string_view text) {
        std::size_t n = text.size() < max_length ? text.size() : max_length;
        const void* zero = n > 0 ? std::memchr(text.data(), '\0', n) : nullptr;
        if (zero != nullptr) n = static_cast<std::size_t>(static_cast<const char*>(zero) - text.data());
        if (n > 0) std::memmove(data_, text.data(), n);
        data_[n] = '\0';
        length_ = n;
    }

    BoundedText& operator=(std::string_view text) {
        assign(text);
        return *this;
    }

    // snprintf into the field; output beyond the capacity is dropped.
    __attribute__((format(printf, 2, 3))) void format(const char* fmt, ...) {
        va_list args;
        va_start(args, fmt);
        vformat(fmt, args);
        va_end(args);
    }

    // The one place where the programs format a line: every helper that
    // formats and then writes (error.log lines, failure lines) goes through
    // a field of the width it needs.
    __attribute__((format(printf, 2, 0))) void vformat(const char* fmt, va_list args) {
        std::vsnprintf(data_, Capacity, fmt, args);
        length_ = std::strlen(data_);
    }

    const char* c_str() const { return data_; }
    std::string_view view() const { return std::string_view(data_, length_); }
    std::size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }

    friend bool operator==(const BoundedText& a, const BoundedText& b) { return a.view() == b.view(); }
    friend bool operator==(const BoundedText& a, std::string_view b) { return a.view() == b; }

private:
    char data_[Capacity];
    std::size_t length_ = 0;
};

// The width of every text field of the records: 199 characters and a terminator.
using Text = BoundedText<200>;
