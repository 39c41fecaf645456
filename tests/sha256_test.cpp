// The standard test vectors of SHA-256, given whole and in uneven pieces.
#include "sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string hex(const std::array<std::uint8_t, 32>& digest) {
    static constexpr char HEX[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : digest) (text += HEX[byte >> 4]) += HEX[byte & 15];
    return text;
}

TEST(Sha256, StandardVectors) {
    EXPECT_EQ(sha256_hex(""), std::string_view("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
    EXPECT_EQ(sha256_hex("abc"), std::string_view("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    // 448 bits: the padding no longer fits the message's own block.
    EXPECT_EQ(sha256_hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              std::string_view("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"));
    EXPECT_EQ(sha256_hex(std::string(1000000, 'a')),
              std::string_view("cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"));
}

TEST(Sha256, PiecesOfAnyLengthGiveTheDigestOfTheWhole) {
    const std::string message(1000000, 'a');
    Sha256 sha;
    std::size_t at = 0;
    for (std::size_t piece = 1; at < message.size(); piece = piece * 7 % 131 + 1) {
        const std::size_t n = std::min(piece, message.size() - at);
        sha.update(std::string_view(message).substr(at, n));
        at += n;
    }
    EXPECT_EQ(hex(sha.finish()), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // finish starts anew.
    sha.update("abc");
    EXPECT_EQ(hex(sha.finish()), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

}  // namespace
