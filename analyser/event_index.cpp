#include "event_index.h"

#include <array>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::array<std::string_view, EVENT_COUNT> PATTERNS = {
    "player\tConnect\t",
    "player\tIsABot\t",
    "player\tSkill\t",
    "Teamchange\t",
    "player\tRename\t",
    "player\tDisconnect\t",
    "suicide\t",
    "headshot\t",
    "kill\t",
    "item_get\t",
    "dom_score_update\t",
    "controlpoint_capture\t",
    "flag_captured\t",
    "flag_returned\t",
    "flag_taken\t",
    "flag_pickedup\t",
    "flag_dropped\t",
    "dom_playerscore_update\t",
    "player\tPing\t",
    "assault_attacker\t",
    "assault_defender\t",
    "info\tGame_Version\t",
    "map\tName\t",
    "map\tTitle\t",
    "game\tGameName\t",
    "game\tFragLimit\t",
    "game_end\t",
};

constexpr bool ends_in_four_characters_and_a_tab(std::string_view pattern) {
    if (pattern.size() < 5 || pattern.back() != '\t') return false;
    for (std::size_t k = pattern.size() - 5; k + 1 < pattern.size(); ++k)
        if (pattern[k] == '\t') return false;
    return true;
}
static_assert([] {
    for (std::string_view pattern : PATTERNS)
        if (!ends_in_four_characters_and_a_tab(pattern)) return false;
    return true;
}());

// Every pattern has a letter before its last tab, where half the tabs of a
// game follow a digit (times, ids, figures): those are passed over without
// a look at the table.
constexpr char LAST_DIGIT = '9';
static_assert([] {
    for (std::string_view pattern : PATTERNS)
        if (pattern[pattern.size() - 2] <= LAST_DIGIT) return false;
    return true;
}());

constexpr std::uint8_t NONE = 0xFF;

// The patterns by the four characters before their last tab. At most two
// patterns end alike ("player\tSkill\t" and "kill\t", for one).
struct Ending {
    std::uint32_t key = 0;  // 0: a free slot
    std::uint8_t events[2] = {NONE, NONE};
};
constexpr std::size_t ENDING_SLOTS = 2048;  // mostly empty, so a tab after no pattern is seen at once

std::uint32_t four_bytes(const char* at) {
    std::uint32_t key = 0;
    std::memcpy(&key, at, 4);
    return key;
}

std::uint64_t eight_bytes(const char* at) {
    std::uint64_t word = 0;
    std::memcpy(&word, at, 8);
    return word;
}

// The rest of a pattern before its last five characters: at most 18
// characters, compared inline in words, where a call to memcmp for each of
// the game's events cost a tenth of the index.
bool same_characters(const char* a, const char* b, std::size_t n) {
    if (n >= 8) {
        for (std::size_t k = 0; k + 8 < n; k += 8)
            if (eight_bytes(a + k) != eight_bytes(b + k)) return false;
        return eight_bytes(a + n - 8) == eight_bytes(b + n - 8);
    }
    for (std::size_t k = 0; k < n; ++k)
        if (a[k] != b[k]) return false;
    return true;
}

std::size_t slot_of(std::uint32_t key) { return (key * 2654435761u) >> 21; }  // 11 bits

const std::array<Ending, ENDING_SLOTS>& endings() {
    static const std::array<Ending, ENDING_SLOTS> table = [] {
        std::array<Ending, ENDING_SLOTS> t{};
        for (std::size_t e = 0; e < EVENT_COUNT; ++e) {
            const std::string_view pattern = PATTERNS[e];
            const std::uint32_t key = four_bytes(pattern.data() + pattern.size() - 5);
            std::size_t slot = slot_of(key);
            while (t[slot].key != 0 && t[slot].key != key) slot = (slot + 1) % ENDING_SLOTS;
            Ending& ending = t[slot];
            ending.key = key;
            ending.events[ending.events[0] == NONE ? 0 : 1] = static_cast<std::uint8_t>(e);
        }
        return t;
    }();
    return table;
}

}  // namespace

std::string_view event_pattern(Event event) { return PATTERNS[static_cast<std::size_t>(event)]; }

bool EventIndex::build(const char* text, std::size_t from, std::size_t length) {
    built_ = false;
    if (!found_) found_.reset(new (std::nothrow) std::uint32_t[CAPACITY]);
    if (!positions_) positions_.reset(new (std::nothrow) std::uint32_t[CAPACITY]);
    if (!found_ || !positions_ || length >= (1u << 20)) return false;

    const auto& table = endings();
    std::size_t count = 0;
    std::size_t per_event[EVENT_COUNT] = {};
    bool full = false;

    // The patterns that end at the tab at t.
    auto at_tab = [&](std::size_t t) __attribute__((always_inline)) {
        if (t < 4) return;
        const std::uint32_t key = four_bytes(text + t - 4);
        for (std::size_t slot = slot_of(key); table[slot].key != 0; slot = (slot + 1) % ENDING_SLOTS) {
            if (table[slot].key != key) continue;
            for (std::uint8_t e : table[slot].events) {
                if (e == NONE) break;
                const std::string_view pattern = PATTERNS[e];
                if (t + 1 < pattern.size()) continue;
                const std::size_t start = t + 1 - pattern.size();
                if (start < from) continue;
                if (!same_characters(text + start, pattern.data(), pattern.size() - 5)) continue;
                if (count == CAPACITY) {
                    full = true;
                    return;
                }
                found_[count++] = static_cast<std::uint32_t>(e) << 20 | static_cast<std::uint32_t>(start);
                ++per_event[e];
            }
            return;
        }
    };

    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i last_digit = _mm_set1_epi8(LAST_DIGIT);
    // Each block is compared with the characters one before it: a tab at the
    // text's first character ends no pattern, so the search may start after it.
    if (i == 0) i = 1;
    for (; i + 16 <= length && !full; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i - 1));
        // Signed: a byte of 128 or more is no letter of a pattern either.
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(block, tab), _mm_cmpgt_epi8(before, last_digit))));
        while (mask != 0) {
            at_tab(i + static_cast<std::size_t>(__builtin_ctz(mask)));
            mask &= mask - 1;
        }
    }
#endif
    for (; i < length && !full; ++i)
        if (text[i] == '\t') at_tab(i);
    if (full) return false;

    // Grouped by event, each group in text order.
    offset_[0] = 0;
    for (std::size_t e = 0; e < EVENT_COUNT; ++e) offset_[e + 1] = offset_[e] + per_event[e];
    std::size_t next[EVENT_COUNT];
    for (std::size_t e = 0; e < EVENT_COUNT; ++e) next[e] = offset_[e];
    for (std::size_t k = 0; k < count; ++k) positions_[next[found_[k] >> 20]++] = found_[k] & 0xFFFFF;
    built_ = true;
    return true;
}
