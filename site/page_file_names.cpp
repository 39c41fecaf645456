#include "page_file_names.h"

#include <array>

namespace {

constexpr std::size_t MAX_STEM = 40;

// The plain letter of a Latin-1 letter with an accent (U+00C0 to U+00FF),
// or 0: "Jörg" is found as "jorg".
char plain_letter(unsigned code) {
    // From U+00C0: ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖ×ØÙÚÛÜÝÞß, then the small ones.
    static constexpr std::array<char, 32> letters = {'a', 'a', 'a', 'a', 'a', 'a', 'a', 'c', 'e', 'e', 'e',
                                                     'e', 'i', 'i', 'i', 'i', 'd', 'n', 'o', 'o', 'o', 'o',
                                                     'o', 0,   'o', 'u', 'u', 'u', 'u', 'y', 0,   's'};
    if (code < 0xC0 || code > 0xFF) return 0;
    if (code == 0xFF) return 'y';
    if (code == 0xF7) return 0;  // the division sign
    return letters[(code - 0xC0) % 32];
}

bool reserved_on_windows(const std::string& stem) {
    static constexpr const char* devices[] = {"con", "prn", "aux", "nul"};
    for (const char* device : devices)
        if (stem == device) return true;
    return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) && stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

std::string file_stem(std::string_view utf8_name) {
    std::string stem;
    bool dash = false;
    auto add = [&](char c) {
        if (c == 0) {
            dash = !stem.empty();
            return;
        }
        if (dash) stem += '-';
        dash = false;
        stem += c;
    };
    for (std::size_t k = 0; k < utf8_name.size() && stem.size() < MAX_STEM; ++k) {
        const auto byte = static_cast<unsigned char>(utf8_name[k]);
        if ((byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9')) {
            add(static_cast<char>(byte));
        } else if (byte >= 'A' && byte <= 'Z') {
            add(static_cast<char>(byte - 'A' + 'a'));
        } else if (byte == 0xC3 && k + 1 < utf8_name.size()) {
            // U+00C0 to U+00FF in UTF-8.
            const auto next = static_cast<unsigned char>(utf8_name[k + 1]);
            add(plain_letter(0xC0u + (next & 0x3Fu)));
            ++k;
        } else {
            add(0);
        }
    }
    if (stem.size() > MAX_STEM) stem.resize(MAX_STEM);
    while (!stem.empty() && stem.back() == '-') stem.pop_back();
    if (stem.empty()) stem = "player";
    if (reserved_on_windows(stem)) stem += "-player";
    return stem;
}

std::string PageFileNames::take(std::string_view utf8_name) {
    const std::string stem = file_stem(utf8_name);
    std::string name = stem;
    for (int number = 2; taken_.count(name) != 0; ++number) name = stem + "-" + std::to_string(number);
    taken_.insert(name);
    return name;
}
