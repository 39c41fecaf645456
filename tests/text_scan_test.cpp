// The search and the filter that run over every byte of a session.
#include "text_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

// The text search every pass relies on: the same answer as the standard
// search for needles of every length, at every place, near both ends.
TEST(FindText, AgreesWithTheStandardSearch) {
    std::mt19937 random(11);
    const std::string alphabet = "ab\t\nk";
    for (int round = 0; round < 4000; ++round) {
        std::string text(random() % 80, ' ');
        for (char& c : text) c = alphabet[random() % alphabet.size()];
        std::string needle(1 + random() % 6, ' ');
        for (char& c : needle) c = alphabet[random() % alphabet.size()];
        if (round % 3 == 0 && !text.empty()) {
            std::size_t at = random() % text.size();
            needle = text.substr(at, needle.size());
        }
        const char* found = find_text(text.data(), text.size(), needle.data(), needle.size());
        std::size_t expected = std::string_view(text).find(needle);
        ASSERT_EQ(found == nullptr ? std::string_view::npos : static_cast<std::size_t>(found - text.data()), expected)
            << "text '" << text << "' needle '" << needle << "'";
    }
    const std::string log = std::string(1000, 'x') + "kill\t";
    EXPECT_EQ(find_text(log.data(), log.size(), "kill\t", 5), log.data() + 1000);
    EXPECT_EQ(find_text(log.data(), log.size() - 1, "kill\t", 5), nullptr);
}

// Loading drops every zero and CR byte and keeps all others in order, in
// whatever mix of 16-bit text, 8-bit text and odd bytes a file holds.
TEST(DropZeroAndCr, KeepsExactlyTheOtherBytesInOrder) {
    std::mt19937 random(5);
    for (int round = 0; round < 2000; ++round) {
        std::string data;
        while (data.size() < 200) {
            switch (random() % 4) {
                case 0:  // 16-bit text, now and then with a line end
                    for (int k = 0; k < 20; ++k) {
                        const char c =
                            random() % 8 == 0 ? "\r\n"[random() % 2] : static_cast<char>('a' + random() % 26);
                        data += std::string(1, c) + '\0';
                    }
                    break;
                case 1:  // 8-bit text with line ends
                    data += "12.5\tkill\t0\r\n";
                    break;
                case 2:  // one odd byte shifts the 16-bit phase
                    data += static_cast<char>(random() % 256);
                    break;
                default:  // zeros and CRs only
                    data += std::string(1 + random() % 17, random() % 2 ? '\0' : '\r');
            }
        }
        std::string expected;
        for (char c : data)
            if (c != '\0' && c != '\r') expected += c;
        std::string wide = data;
        ASSERT_EQ(data.substr(0, drop_zero_and_cr_16(data.data(), data.size())), expected) << "round " << round;
        if (!cpu_has_avx2()) continue;
        ASSERT_EQ(wide.substr(0, drop_zero_and_cr_32(wide.data(), wide.size())), expected) << "round " << round;
    }
}
