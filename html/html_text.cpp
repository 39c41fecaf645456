#include "html_text.h"

#include <cstdio>
#include <cstring>

HtmlText::HtmlText(Markup markup) : HtmlText() {
    if (markup.c_str() != nullptr) append(std::string_view(markup.c_str(), markup.size()));
}

void HtmlText::append(std::string_view text) {
    const std::size_t room = capacity - 1 - length_;
    const std::size_t n = text.size() < room ? text.size() : room;
    std::memcpy(data_ + length_, text.data(), n);
    length_ += n;
    data_[length_] = '\0';
}

namespace {

// The one escaper of the pages: the entity of a character that markup
// gives a meaning, else an empty text.
std::string_view entity(char c) {
    switch (c) {
        case '&': return "&amp;";
        case '<': return "&lt;";
        case '>': return "&gt;";
        case '"': return "&quot;";
        default: return {};
    }
}

}  // namespace

HtmlText HtmlText::escape(std::string_view text) {
    HtmlText escaped;
    for (char c : text) {
        const std::string_view replaced = entity(c);
        const std::string_view piece = !replaced.empty() ? replaced : std::string_view(&c, 1);
        if (escaped.length_ + piece.size() > escape_limit) break;
        escaped.append(piece);
    }
    return escaped;
}

HtmlText HtmlText::utf8(std::string_view latin1) {
    HtmlText converted;
    std::size_t n = 0;
    for (char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        // Most characters of names are plain ASCII: written as they are.
        if (byte >= 0x20 && byte < 0x7F && entity(c).empty()) {
            if (n + 1 > escape_limit) break;
            converted.data_[n++] = c;
            continue;
        }
        char encoded[2];
        std::string_view piece = entity(c);
        if (piece.empty()) {
            if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0)) {
                piece = "\xEF\xBF\xBD";
            } else {
                encoded[0] = static_cast<char>(0xC0 | (byte >> 6));
                encoded[1] = static_cast<char>(0x80 | (byte & 0x3F));
                piece = std::string_view(encoded, 2);
            }
        }
        if (n + piece.size() > escape_limit) break;
        std::memcpy(converted.data_ + n, piece.data(), piece.size());
        n += piece.size();
    }
    converted.data_[n] = '\0';
    converted.length_ = n;
    return converted;
}

HtmlText HtmlText::number(int value) {
    HtmlText text;
    char digits[16];
    const int n = std::snprintf(digits, sizeof digits, "%i", value);
    text.append(std::string_view(digits, static_cast<std::size_t>(n)));
    return text;
}

HtmlText& HtmlText::operator+=(const HtmlText& more) {
    append(more.view());
    return *this;
}
