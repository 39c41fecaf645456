#include "sha256.h"

#if defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace {

constexpr std::array<std::uint32_t, 64> ROUND_CONSTANTS = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

constexpr std::array<std::uint32_t, 8> INITIAL_STATE = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

constexpr std::uint32_t rotate_right(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void compress_portable(std::array<std::uint32_t, 8>& state, const std::uint8_t* block) {
    std::array<std::uint32_t, 64> w{};
    for (std::size_t t = 0; t < 16; ++t)
        w[t] = static_cast<std::uint32_t>(block[4 * t]) << 24 | static_cast<std::uint32_t>(block[4 * t + 1]) << 16 |
               static_cast<std::uint32_t>(block[4 * t + 2]) << 8 | static_cast<std::uint32_t>(block[4 * t + 3]);
    for (std::size_t t = 16; t < 64; ++t) {
        const std::uint32_t s0 = rotate_right(w[t - 15], 7) ^ rotate_right(w[t - 15], 18) ^ (w[t - 15] >> 3);
        const std::uint32_t s1 = rotate_right(w[t - 2], 17) ^ rotate_right(w[t - 2], 19) ^ (w[t - 2] >> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    for (std::size_t t = 0; t < 64; ++t) {
        const std::uint32_t sum1 = rotate_right(e, 6) ^ rotate_right(e, 11) ^ rotate_right(e, 25);
        const std::uint32_t choose = (e & f) ^ (~e & g);
        const std::uint32_t t1 = h + sum1 + choose + ROUND_CONSTANTS[t] + w[t];
        const std::uint32_t sum0 = rotate_right(a, 2) ^ rotate_right(a, 13) ^ rotate_right(a, 22);
        const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        const std::uint32_t t2 = sum0 + majority;
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

#if defined(__x86_64__)

// The rounds with the SHA extensions: the state kept as ABEF and CDGH, and
// each group of four message words made from the four before it.
__attribute__((target("sha,sse4.1"))) void compress_sha(std::array<std::uint32_t, 8>& state, const std::uint8_t* blocks,
                                                        std::size_t count) {
    const __m128i byte_order = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    const __m128i dcba = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0])), 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4])), 0x1B);
    __m128i abef = _mm_alignr_epi8(dcba, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, dcba, 0xF0);

    for (; count > 0; --count, blocks += 64) {
        const __m128i abef_before = abef;
        const __m128i cdgh_before = cdgh;
        __m128i w[4];
        for (std::size_t g = 0; g < 16; ++g) {
            __m128i words;
            if (g < 4) {
                words =
                    _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * g)), byte_order);
            } else {
                const __m128i& oldest = w[g % 4];
                const __m128i& older = w[(g + 1) % 4];
                const __m128i& old = w[(g + 2) % 4];
                const __m128i& last = w[(g + 3) % 4];
                words = _mm_add_epi32(_mm_sha256msg1_epu32(oldest, older), _mm_alignr_epi8(last, old, 4));
                words = _mm_sha256msg2_epu32(words, last);
            }
            w[g % 4] = words;
            __m128i sums =
                _mm_add_epi32(words, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&ROUND_CONSTANTS[4 * g])));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, sums);
            sums = _mm_shuffle_epi32(sums, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, sums);
        }
        abef = _mm_add_epi32(abef, abef_before);
        cdgh = _mm_add_epi32(cdgh, cdgh_before);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), _mm_alignr_epi8(dchg, feba, 8));
}

#endif

}  // namespace

bool Sha256::cpu_has_sha() {
#if defined(__x86_64__)
    static const bool sha = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid(1, &a, &b, &c, &d) || (c & bit_SSE4_1) == 0) return false;
        return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & (1u << 29)) != 0;
    }();
    return sha;
#else
    return false;
#endif
}

Sha256::Sha256(Way way) : hardware_(way == Way::Fastest && cpu_has_sha()), state_(INITIAL_STATE) {}

void Sha256::compress(const std::uint8_t* blocks, std::size_t count) {
#if defined(__x86_64__)
    if (hardware_) {
        compress_sha(state_, blocks, count);
        return;
    }
#endif
    for (; count > 0; --count, blocks += 64) compress_portable(state_, blocks);
}

void Sha256::update(std::string_view data) {
    length_ += data.size();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
    std::size_t n = data.size();
    if (used_ > 0) {
        while (n > 0 && used_ < block_.size()) {
            block_[used_++] = *bytes++;
            --n;
        }
        if (used_ < block_.size()) return;
        compress(block_.data(), 1);
        used_ = 0;
    }
    // Whole blocks straight from the data.
    const std::size_t whole = n / block_.size();
    compress(bytes, whole);
    bytes += whole * block_.size();
    n -= whole * block_.size();
    for (; n > 0; --n) block_[used_++] = *bytes++;
}

std::array<std::uint8_t, 32> Sha256::finish() {
    const std::uint64_t bits = length_ * 8;
    // One bit, zeros up to 56 bytes of a block, then the length in bits.
    block_[used_++] = 0x80;
    if (used_ > 56) {
        while (used_ < block_.size()) block_[used_++] = 0;
        compress(block_.data(), 1);
        used_ = 0;
    }
    while (used_ < 56) block_[used_++] = 0;
    for (int k = 7; k >= 0; --k) block_[used_++] = static_cast<std::uint8_t>(bits >> (8 * k));
    compress(block_.data(), 1);

    std::array<std::uint8_t, 32> digest{};
    for (std::size_t i = 0; i < 8; ++i)
        for (std::size_t k = 0; k < 4; ++k) digest[4 * i + k] = static_cast<std::uint8_t>(state_[i] >> (24 - 8 * k));
    *this = Sha256(hardware_ ? Way::Fastest : Way::Portable);
    return digest;
}

BoundedText<65> sha256_hex(std::string_view data) {
    Sha256 sha;
    sha.update(data);
    const std::array<std::uint8_t, 32> digest = sha.finish();
    static constexpr char HEX[] = "0123456789abcdef";
    char text[64];
    for (std::size_t i = 0; i < digest.size(); ++i) {
        text[2 * i] = HEX[digest[i] >> 4];
        text[2 * i + 1] = HEX[digest[i] & 15];
    }
    return BoundedText<65>(std::string_view(text, sizeof text));
}
