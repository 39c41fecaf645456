// The only texts the HTML writer takes: the program's own markup, and text
// from outside (logs, User.ini) escaped on its way in. A name from a log can
// therefore never reach a page unescaped: there is no way to hand it over
// but through html_escape.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// Markup and fixed texts written in the program: constants only.
class Markup {
public:
    // NOLINTNEXTLINE(google-explicit-constructor)
    consteval Markup(const char* text)
        : text_(text), size_(text != nullptr ? std::char_traits<char>::length(text) : 0) {}
    constexpr const char* c_str() const { return text_; }  // may be null: "none"
    constexpr std::size_t size() const { return size_; }   // known when compiled: pages are made of many such pieces

private:
    const char* text_;
    std::size_t size_;
};

class HtmlText {
public:
    // Room for a 199-character record text in which every character became
    // the longest entity, "&quot;", with a label or number around it.
    static constexpr std::size_t escape_limit = std::size_t{6} * 199;
    static constexpr std::size_t capacity = escape_limit + 86;

    // A string literal of the program.
    template <std::size_t N>
    consteval HtmlText(const char (&literal)[N]) : data_{} {  // NOLINT(google-explicit-constructor)
        static_assert(N <= capacity, "markup too long");
        for (std::size_t i = 0; i + 1 < N; ++i) data_[i] = literal[i];
        length_ = N - 1;
    }
    HtmlText(Markup markup);  // NOLINT(google-explicit-constructor)
    // A copy takes the text, not the whole room: pages copy many of them.
    HtmlText(const HtmlText& other) : length_(other.length_) { std::memcpy(data_, other.data_, length_ + 1); }
    HtmlText& operator=(const HtmlText& other) {
        if (this == &other) return *this;
        length_ = other.length_;
        std::memcpy(data_, other.data_, length_ + 1);
        return *this;
    }

    // Text from outside, with "&", "<", ">" and '"' replaced by their entities,
    // fit for element text and quoted attribute values alike. A text too long
    // is cut before the first character whose entity does not fit whole.
    static HtmlText escape(std::string_view text);
    // Text from outside for a page in UTF-8: escaped as above, each byte
    // taken as the Latin-1 character it is; control characters, which no
    // page may hold, become U+FFFD.
    static HtmlText utf8(std::string_view latin1);
    // A number written with "%i".
    static HtmlText number(int value);

    // Appends more; what does not fit is cut (no caller comes near).
    HtmlText& operator+=(const HtmlText& more);

    const char* c_str() const { return data_; }
    std::size_t size() const { return length_; }
    std::string_view view() const { return {data_, length_}; }

private:
    // The room after the text is never read: it is left as it is rather
    // than cleared for every text made.
    HtmlText() { data_[0] = '\0'; }  // NOLINT(cppcoreguidelines-pro-type-member-init)
    void append(std::string_view text);

    char data_[capacity];
    std::size_t length_ = 0;
};

inline HtmlText html_escape(std::string_view text) { return HtmlText::escape(text); }
