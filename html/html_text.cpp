#include "html_text.h"

#include <cstdio>
#include <cstring>

HtmlText::HtmlText(Markup markup) {
    if (markup.c_str() != nullptr) append(markup.c_str());
}

void HtmlText::append(std::string_view text) {
    const std::size_t room = capacity - 1 - length_;
    const std::size_t n = text.size() < room ? text.size() : room;
    std::memcpy(data_ + length_, text.data(), n);
    length_ += n;
    data_[length_] = '\0';
}

HtmlText HtmlText::escape(std::string_view text) {
    HtmlText escaped;
    for (char c : text) {
        const char* entity = nullptr;
        switch (c) {
            case '&': entity = "&amp;"; break;
            case '<': entity = "&lt;"; break;
            case '>': entity = "&gt;"; break;
            case '"': entity = "&quot;"; break;
            default: break;
        }
        const std::string_view piece = entity != nullptr ? std::string_view(entity) : std::string_view(&c, 1);
        if (escaped.length_ + piece.size() > escape_limit) break;
        escaped.append(piece);
    }
    return escaped;
}

HtmlText HtmlText::utf8(std::string_view latin1) {
    HtmlText converted;
    for (char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        char encoded[2];
        std::string_view piece;
        switch (c) {
            case '&': piece = "&amp;"; break;
            case '<': piece = "&lt;"; break;
            case '>': piece = "&gt;"; break;
            case '"': piece = "&quot;"; break;
            default:
                if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0)) {
                    piece = "\xEF\xBF\xBD";
                } else if (byte < 0x80) {
                    piece = std::string_view(&c, 1);
                } else {
                    encoded[0] = static_cast<char>(0xC0 | (byte >> 6));
                    encoded[1] = static_cast<char>(0x80 | (byte & 0x3F));
                    piece = std::string_view(encoded, 2);
                }
        }
        if (converted.length_ + piece.size() > escape_limit) break;
        converted.append(piece);
    }
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
