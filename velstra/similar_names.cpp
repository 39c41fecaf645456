#include "similar_names.h"

namespace {

bool is_separator(char c) { return c == '_' || c == '-' || c == '.' || c == '|' || c == ' ' || c == '~'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// What a player says of himself for a while: away from keyboard, be right
// back, and the like.
constexpr std::string_view AWAY[] = {"afk", "brb", "away", "bbl", "bbs"};

bool all_digits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (!is_digit(c)) return false;
    return true;
}

bool is_away(std::string_view text) {
    for (const std::string_view word : AWAY)
        if (text == word) return true;
    return false;
}

// Takes one added part off the end of stem; false when there is none.
bool take_off_one(std::string& stem) {
    const std::size_t size = stem.size();
    // "(1)", "[afk]"
    if (size > 2 && (stem.back() == ')' || stem.back() == ']')) {
        const char open = stem.back() == ')' ? '(' : '[';
        const std::size_t at = stem.rfind(open);
        if (at != std::string::npos && at > 0) {
            const std::string_view inner = std::string_view(stem).substr(at + 1, size - at - 2);
            if (all_digits(inner) || is_away(inner)) {
                stem.resize(at);
                return true;
            }
        }
    }
    // "2", "_afk"; never the whole name.
    std::size_t end = size;
    while (end > 1 && is_digit(stem[end - 1])) --end;
    if (end < size) {
        stem.resize(end);
        return true;
    }
    for (const std::string_view word : AWAY) {
        if (size > word.size() + 1 && std::string_view(stem).ends_with(word) &&
            is_separator(stem[size - word.size() - 1])) {
            stem.resize(size - word.size());
            return true;
        }
    }
    if (size > 1 && is_separator(stem.back())) {
        stem.pop_back();
        return true;
    }
    return false;
}

}  // namespace

std::string name_stem(std::string_view name) {
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    std::string stem;
    for (const char c : name) stem += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    while (take_off_one(stem)) {
    }
    if (stem == "player" || all_digits(stem) || (stem.size() == 1 && is_separator(stem[0]))) return "";
    return stem;
}

std::string shell_word(std::string_view text) {
    bool plain = !text.empty();
    for (const char c : text)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || is_digit(c) || c == '_' || c == '-' || c == '.' ||
              c == ',' || c == '/' || c == '@' || c == '+' || c == '=' || c == ':'))
            plain = false;
    if (plain) return std::string(text);
    std::string word = "'";
    for (const char c : text) {
        if (c == '\'')
            word += "'\\''";
        else
            word += c;
    }
    return word + "'";
}
