#include "game_text.h"

#include <climits>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "int_range.h"

int parse_int(std::string_view text) {
    const char* at = text.data();
    const char* const end = at + text.size();
    // Most fields are a few digits and nothing before them: up to nine
    // digits cannot leave the int range, so they need no clamp per digit.
    if (at != end && static_cast<unsigned char>(*at - '0') <= 9) {
        int value = 0;
        const char* const fast_end = end - at > 9 ? at + 9 : end;
        for (; at != fast_end && static_cast<unsigned char>(*at - '0') <= 9; ++at) value = value * 10 + (*at - '0');
        if (at == end || static_cast<unsigned char>(*at - '0') > 9) return value;
        at = text.data();
    }
    while (at != end && (*at == ' ' || (*at >= '\t' && *at <= '\r'))) ++at;
    bool negative = false;
    if (at != end && (*at == '+' || *at == '-')) {
        negative = *at == '-';
        ++at;
    }
    long long value = 0;
    for (; at != end && *at >= '0' && *at <= '9'; ++at) {
        value = value * 10 + (*at - '0');
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
    std::size_t end = npos;
    std::size_t searched_from = from;
#if defined(__SSE2__)
    // Most fields (an id, a time, a weapon) end within sixteen characters:
    // one comparison finds their end, where a call to memchr cost more.
    if (length >= 16 && from <= length - 16) {
        const __m128i window = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer.get() + from));
        const unsigned found = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(window, _mm_set1_epi8(delim))));
        if (found != 0)
            end = from + static_cast<std::size_t>(__builtin_ctz(found));
        else
            searched_from = from + 16;
    }
#endif
    if (end == npos) end = find_char(delim, searched_from);
    if (end == npos) return false;
    value = view().substr(from, end - from);
    delim_pos = end;
    return true;
}

int GameText::line_time(std::size_t position) const {
    if (position >= length) return -1;
    // The line feed before position, looked for over at most 15 characters.
    const char* const text = buffer.get();
    const char* at = text + position;
#if defined(__SSE2__)
    // Sixteen characters in one comparison, where a loop cost as much as
    // reading the time itself.
    if (position >= 15) {
        const __m128i window = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at - 15));
        const unsigned feeds = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(window, _mm_set1_epi8('\n'))));
        if (feeds == 0) return -1;
        at = at - 15 + (31 - __builtin_clz(feeds));
        return parse_int(std::string_view(at + 1, static_cast<std::size_t>(text + length - (at + 1))));
    }
#endif
    const char* const floor = text + (position > 15 ? position - 15 : 0);
    while (*at != '\n') {
        if (at == floor) return -1;
        --at;
    }
    return parse_int(std::string_view(at + 1, static_cast<std::size_t>(text + length - (at + 1))));
}
