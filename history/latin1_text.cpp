#include "latin1_text.h"

std::string utf8_of_latin1(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

std::string latin1_of_utf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t k = 0; k < utf8.size(); ++k) {
        const auto byte = static_cast<unsigned char>(utf8[k]);
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            continue;
        }
        // The length of the sequence from its first byte; a stray byte is one.
        std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        if ((byte == 0xC2 || byte == 0xC3) && k + 1 < utf8.size()) {
            out += static_cast<char>(((byte & 0x03) << 6) | (static_cast<unsigned char>(utf8[k + 1]) & 0x3F));
        } else {
            out += '?';
        }
        while (length > 1 && k + 1 < utf8.size() && (static_cast<unsigned char>(utf8[k + 1]) & 0xC0) == 0x80) {
            ++k;
            --length;
        }
    }
    return out;
}
