// SHA-256 (FIPS 180-4), fed in pieces: the key that tells one game's text
// from every other's, whatever the file it came in was called.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bounded_text.h"

class Sha256 {
public:
    // The processor's own SHA instructions where it has them (a game's text
    // hashes five times faster), else plain code; Portable for the tests.
    enum class Way { Fastest, Portable };

    explicit Sha256(Way way = Way::Fastest);
    void update(std::string_view data);
    // The digest of everything given; the object then starts anew.
    std::array<std::uint8_t, 32> finish();

    static bool cpu_has_sha();

private:
    void compress(const std::uint8_t* blocks, std::size_t count);

    bool hardware_ = false;
    std::array<std::uint32_t, 8> state_{};
    std::array<std::uint8_t, 64> block_{};
    std::size_t used_ = 0;      // bytes waiting in block_
    std::uint64_t length_ = 0;  // bytes given in all
};

// The digest of data as 64 lowercase hexadecimal digits.
BoundedText<65> sha256_hex(std::string_view data);
