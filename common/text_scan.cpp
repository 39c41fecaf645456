#include "text_scan.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

const char* find_text(const char* haystack, std::size_t haystack_size, const char* needle, std::size_t needle_size) {
    if (needle_size == 0) return haystack;
    if (needle_size > haystack_size) return nullptr;
    if (needle_size == 1) return static_cast<const char*>(std::memchr(haystack, needle[0], haystack_size));
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen candidate positions at a time: a position is only compared in
    // full when both the needle's first and its last byte stand where they
    // belong, which in log text is nearly always a real match.
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i last = _mm_set1_epi8(needle[needle_size - 1]);
    for (; i + needle_size - 1 + 16 <= haystack_size; i += 16) {
        const __m128i at_first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + i));
        const __m128i at_last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + i + needle_size - 1));
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(at_first, first), _mm_cmpeq_epi8(at_last, last))));
        while (mask != 0) {
            const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (std::memcmp(haystack + i + bit + 1, needle + 1, needle_size - 2) == 0) return haystack + i + bit;
            mask &= mask - 1;
        }
    }
#endif
    for (; i + needle_size <= haystack_size; ++i)
        if (haystack[i] == needle[0] && std::memcmp(haystack + i, needle, needle_size) == 0) return haystack + i;
    return nullptr;
}

std::size_t drop_zero_and_cr(char* data, std::size_t count) {
    std::size_t kept = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    // Writes never overtake reads (kept <= i), so packing in place is safe.
    const __m128i zero = _mm_setzero_si128();
    const __m128i cr = _mm_set1_epi8('\r');
    for (; i + 16 <= count; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const unsigned zeros = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, zero)));
        const unsigned crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, cr)));
        if (crs == 0 && zeros == 0) {  // 8-bit text
            _mm_storeu_si128(reinterpret_cast<__m128i*>(data + kept), chunk);
            kept += 16;
        } else if (crs == 0 && zeros == 0xAAAAu) {  // 16-bit text, characters at even bytes
            _mm_storel_epi64(reinterpret_cast<__m128i*>(data + kept), _mm_packus_epi16(chunk, chunk));
            kept += 8;
        } else if (crs == 0 && zeros == 0x5555u) {  // 16-bit text after an odd byte
            const __m128i high = _mm_srli_epi16(chunk, 8);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(data + kept), _mm_packus_epi16(high, high));
            kept += 8;
        } else {
            for (std::size_t k = i; k < i + 16; ++k) {
                const char c = data[k];
                data[kept] = c;
                kept += static_cast<std::size_t>(c != '\0') & static_cast<std::size_t>(c != '\r');
            }
        }
    }
#endif
    for (; i < count; ++i) {
        const char c = data[i];
        data[kept] = c;
        kept += static_cast<std::size_t>(c != '\0') & static_cast<std::size_t>(c != '\r');
    }
    return kept;
}
