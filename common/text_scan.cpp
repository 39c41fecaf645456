#include "text_scan.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#endif

const char* find_text(const char* haystack, std::size_t haystack_size, const char* needle, std::size_t needle_size) {
    if (needle_size == 0) return haystack;
    if (needle_size > haystack_size) return nullptr;
    if (needle_size == 1) return static_cast<const char*>(std::memchr(haystack, needle[0], haystack_size));
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen candidate positions at a time: a position is only compared in
    // full when the needle's first, second and last bytes stand where they
    // belong, which in log text is nearly always a real match.
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i second = _mm_set1_epi8(needle[1]);
    const __m128i last = _mm_set1_epi8(needle[needle_size - 1]);
    for (; i + needle_size - 1 + 16 <= haystack_size; i += 16) {
        const __m128i at_first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + i));
        const __m128i at_second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + i + 1));
        const __m128i at_last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + i + needle_size - 1));
        const __m128i both_ends = _mm_and_si128(_mm_cmpeq_epi8(at_first, first), _mm_cmpeq_epi8(at_last, last));
        unsigned mask =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(both_ends, _mm_cmpeq_epi8(at_second, second))));
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

namespace {

// Keeps the bytes of data[i..count) that are neither zero nor CR, packing
// them down to data + kept; returns the new kept.
std::size_t drop_one_by_one(char* data, std::size_t i, std::size_t count, std::size_t kept) {
    for (; i < count; ++i) {
        const char c = data[i];
        data[kept] = c;
        kept += static_cast<std::size_t>(c != '\0') & static_cast<std::size_t>(c != '\r');
    }
    return kept;
}

}  // namespace

std::size_t drop_zero_and_cr_16(char* data, std::size_t count) {
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
            kept = drop_one_by_one(data, i, i + 16, kept);
        }
    }
#endif
    return drop_one_by_one(data, i, count, kept);
}

#if defined(__x86_64__)

namespace {

// For each byte mask of eight bits, the shuffle that moves the bytes whose
// bit is set to the front, in order.
struct CompressTable {
    alignas(16) unsigned char shuffle[256][16] = {};
    CompressTable() {
        for (int mask = 0; mask < 256; ++mask) {
            int out = 0;
            for (int bit = 0; bit < 8; ++bit)
                if ((mask >> bit) & 1) shuffle[mask][out++] = static_cast<unsigned char>(bit);
            for (; out < 16; ++out) shuffle[mask][out] = 0x80;
        }
    }
};

// Stores the bytes of sixteen whose bit of keep is set, in order, at out,
// eight bytes at a time; returns how many.
__attribute__((target("avx2"))) std::size_t keep_of_sixteen(const CompressTable& table, char* out, __m128i bytes,
                                                            unsigned keep) {
    std::size_t kept = 0;
    for (int g = 0; g < 2; ++g) {
        const unsigned bits = (keep >> (8 * g)) & 0xFFu;
        const __m128i group = g == 0 ? bytes : _mm_srli_si128(bytes, 8);
        const __m128i order = _mm_load_si128(reinterpret_cast<const __m128i*>(table.shuffle[bits]));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + kept), _mm_shuffle_epi8(group, order));
        kept += static_cast<std::size_t>(__builtin_popcount(bits));
    }
    return kept;
}

// Thirty-two bytes at a time: 8-bit text is copied, 16-bit text packed (and
// its CRs then taken out), and any other mix compressed eight bytes at a
// time. Every store lands within the chunk just read or before it, so
// packing in place never overwrites a byte not read yet.
}  // namespace

__attribute__((target("avx2"))) std::size_t drop_zero_and_cr_32(char* data, std::size_t count) {
    static const CompressTable table;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i cr = _mm256_set1_epi8('\r');
    std::size_t kept = 0;
    std::size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i chunk = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i));
        const unsigned zeros = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(chunk, zero)));
        const unsigned crs = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(chunk, cr)));
        const unsigned drop = zeros | crs;
        if (drop == 0) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(data + kept), chunk);
            kept += 32;
        } else if (zeros == 0xAAAAAAAAu || zeros == 0x55555555u) {
            // 16-bit text: the characters at the even bytes, or at the odd
            // ones, packed; then the CR of a line end, in about every second
            // chunk, taken out of the sixteen characters.
            const __m256i words = zeros == 0xAAAAAAAAu ? chunk : _mm256_srli_epi16(chunk, 8);
            const __m128i packed =
                _mm256_castsi256_si128(_mm256_permute4x64_epi64(_mm256_packus_epi16(words, words), 0x08));
            if (crs == 0) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(data + kept), packed);
                kept += 16;
            } else {
                const unsigned keep =
                    ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(packed, _mm256_castsi256_si128(cr))));
                kept += keep_of_sixteen(table, data + kept, packed, keep);
            }
        } else {
            const unsigned keep = ~drop;
            kept += keep_of_sixteen(table, data + kept, _mm256_castsi256_si128(chunk), keep);
            kept += keep_of_sixteen(table, data + kept, _mm256_extracti128_si256(chunk, 1), keep >> 16);
        }
    }
    return drop_one_by_one(data, i, count, kept);
}

#else

std::size_t drop_zero_and_cr_32(char* data, std::size_t count) { return drop_zero_and_cr_16(data, count); }

#endif

bool cpu_has_avx2() {
#if defined(__x86_64__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
#else
    return false;
#endif
}

std::size_t drop_zero_and_cr(char* data, std::size_t count) {
    return cpu_has_avx2() ? drop_zero_and_cr_32(data, count) : drop_zero_and_cr_16(data, count);
}
