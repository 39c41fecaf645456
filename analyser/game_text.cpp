#include "game_text.h"

#include <climits>
#include <new>

#include "int_range.h"

int parse_int(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    return clamp_to_int(negative ? -value : value);
}

bool GameText::allocate() {
    if (buffer) return true;
    buffer.reset(new (std::nothrow) char[LOG_BUFFER_SIZE]);
    if (!buffer) return false;
    clear_text();
    return true;
}

void GameText::clear_text() {
    events.clear();
    play_start = npos;
    length = 0;
    buffer[0] = '\0';
}

void GameText::terminate() {
    events.clear();
    cut = length > MAX_TEXT_LENGTH;
    if (cut) length = MAX_TEXT_LENGTH;
    buffer[length] = '\0';
}

void GameText::cut_at(std::size_t position) {
    events.clear();
    if (position < length) {
        length = position;
        buffer[length] = '\0';
    }
}

bool GameText::field(std::size_t from, char delim, std::string_view& value, std::size_t& delim_pos) const {
    std::size_t end = find_char(delim, from);
    if (end == npos) return false;
    value = view().substr(from, end - from);
    delim_pos = end;
    return true;
}

int GameText::line_time(std::size_t position) const {
    if (position >= length) return -1;
    std::size_t start = npos;
    if (buffer[position] == '\n') {
        start = position;
    } else {
        for (std::size_t back = 1; back <= 15 && back <= position; ++back) {
            if (buffer[position - back] == '\n') {
                start = position - back;
                break;
            }
        }
    }
    if (start == npos) return -1;
    return parse_int(view().substr(start + 1));
}
