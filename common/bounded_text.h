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

    void clear() { data_[0] = '\0'; }

    // Copies text, keeping at most max_length characters.
    void assign(std::string_view text) {
        std::size_t n = text.size() < max_length ? text.size() : max_length;
        if (n > 0) std::memmove(data_, text.data(), n);
        data_[n] = '\0';
    }

    BoundedText& operator=(std::string_view text) {
        assign(text);
        return *this;
    }

    // snprintf into the field; output beyond the capacity is dropped.
    __attribute__((format(printf, 2, 3))) void format(const char* fmt, ...) {
        va_list args;
        va_start(args, fmt);
        std::vsnprintf(data_, Capacity, fmt, args);
        va_end(args);
    }

    const char* c_str() const { return data_; }
    std::string_view view() const { return std::string_view(data_); }
    std::size_t size() const { return std::strlen(data_); }
    bool empty() const { return data_[0] == '\0'; }

    friend bool operator==(const BoundedText& a, const BoundedText& b) { return a.view() == b.view(); }
    friend bool operator==(const BoundedText& a, std::string_view b) { return a.view() == b; }

private:
    char data_[Capacity];
};

// The width of every text field of the records: 199 characters and a terminator.
using Text = BoundedText<200>;
