// The platform seam: file times, the calendar helper built on them, and the text search.
#include "platform.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <string_view>

#include "analysis_test_support.h"
#include "time_functions.h"

namespace {

// 2000-08-15 10:06:42 UTC.
constexpr std::time_t kExample = 966334002;

void set_time(const char* name, std::time_t when) {
    const timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, name, times, 0), 0) << name;
}

using PlatformFileTimes = ScratchFolder;

TEST_F(PlatformFileTimes, WriteTimeIsTheFilesLastModification) {
    write_file("a.log", "a");
    set_time("a.log", kExample);
    std::time_t when = 1;
    EXPECT_EQ(platform_file_write_time("a.log", when), 1);
    EXPECT_EQ(when, kExample);
}

TEST_F(PlatformFileTimes, MissingFileHasNoWriteTime) {
    std::time_t when = 1;
    EXPECT_EQ(platform_file_write_time("missing.log", when), 0);
    EXPECT_EQ(when, 0);
    when = 1;
    EXPECT_EQ(platform_file_write_time(nullptr, when), 0);
    EXPECT_EQ(when, 0);
}

// A time zone for the length of a test.
class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            previous_ = old;
            had_ = true;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone() {
        if (had_)
            setenv("TZ", previous_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::string previous_;
    bool had_ = false;
};

TEST_F(PlatformFileTimes, FileDateIsInUtc) {
    write_file("a.log", "a");
    set_time("a.log", kExample);
    // 13:06 there, 10:06 in UTC.
    const TimeZone east("EAT-3");
    const std::tm date = file_date("a.log");
    EXPECT_EQ(date.tm_sec, 42);
    EXPECT_EQ(date.tm_min, 6);
    EXPECT_EQ(date.tm_hour, 10);
    EXPECT_EQ(date.tm_mday, 15);
    EXPECT_EQ(date.tm_mon, 7);
    EXPECT_EQ(date.tm_year, 100);
}

TEST_F(PlatformFileTimes, FileDateOfAMissingFileIsTheStartOf1970) {
    const std::tm date = file_date("missing.log");
    EXPECT_EQ(date.tm_mday, 1);
    EXPECT_EQ(date.tm_mon, 0);
    EXPECT_EQ(date.tm_year, 70);
    EXPECT_EQ(date.tm_hour, 0);
}

}  // namespace

// The text search every pass relies on: the same answer as the standard
// search for needles of every length, at every place, near both ends.
TEST(PlatformFind, AgreesWithTheStandardSearch) {
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
        const char* found = platform_find(text.data(), text.size(), needle.data(), needle.size());
        std::size_t expected = std::string_view(text).find(needle);
        ASSERT_EQ(found == nullptr ? std::string_view::npos : static_cast<std::size_t>(found - text.data()), expected)
            << "text '" << text << "' needle '" << needle << "'";
    }
    const std::string log = std::string(1000, 'x') + "kill\t";
    EXPECT_EQ(platform_find(log.data(), log.size(), "kill\t", 5), log.data() + 1000);
    EXPECT_EQ(platform_find(log.data(), log.size() - 1, "kill\t", 5), nullptr);
}

// Loading drops every zero and CR byte and keeps all others in order, in
// whatever mix of 16-bit text, 8-bit text and odd bytes a file holds.
TEST(PlatformDropZeroAndCr, KeepsExactlyTheOtherBytesInOrder) {
    std::mt19937 random(5);
    for (int round = 0; round < 2000; ++round) {
        std::string data;
        while (data.size() < 200) {
            switch (random() % 4) {
                case 0:  // 16-bit text
                    for (int k = 0; k < 20; ++k) data += std::string(1, static_cast<char>('a' + random() % 26)) + '\0';
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
        std::size_t kept = platform_drop_zero_and_cr(data.data(), data.size());
        ASSERT_EQ(data.substr(0, kept), expected) << "round " << round;
    }
}
