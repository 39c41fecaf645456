// The standard test vectors of SHA-256, given whole and in uneven pieces,
// by the processor's SHA instructions (where it has them) and by plain code.
#include "sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string digest_of(Sha256::Way way, const std::string& message, std::size_t piece) {
    Sha256 sha(way);
    for (std::size_t at = 0; at < message.size(); at += piece) sha.update(std::string_view(message).substr(at, piece));
    static constexpr char HEX[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : sha.finish()) (text += HEX[byte >> 4]) += HEX[byte & 15];
    return text;
}

TEST(Sha256, StandardVectorsEitherWayInAnyPieces) {
    const std::pair<std::string, std::string> vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 448 bits: the length no longer fits the message's own block.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& [message, digest] : vectors) {
        for (Sha256::Way way : {Sha256::Way::Fastest, Sha256::Way::Portable}) {
            for (std::size_t piece : {std::size_t{1}, std::size_t{63}, std::size_t{200}, message.size() + 1}) {
                if (message.size() > 1000 && piece == 1) continue;
                EXPECT_EQ(digest_of(way, message, piece), digest) << message.size() << " bytes, pieces of " << piece
                                                                  << (way == Sha256::Way::Portable ? ", plain" : "");
            }
        }
        EXPECT_EQ(sha256_hex(message), std::string_view(digest));
    }
}

TEST(Sha256, FinishStartsAnew) {
    Sha256 sha;
    sha.update("abc");
    const auto first = sha.finish();
    sha.update("abc");
    EXPECT_EQ(sha.finish(), first);
}

}  // namespace
