// The platform seam: file times and the calendar helper built on them.
#include "platform.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "analysis_test_support.h"
#include "file_system.h"
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
    const std::tm date = file_date(real_file_system(), "a.log");
    EXPECT_EQ(date.tm_sec, 42);
    EXPECT_EQ(date.tm_min, 6);
    EXPECT_EQ(date.tm_hour, 10);
    EXPECT_EQ(date.tm_mday, 15);
    EXPECT_EQ(date.tm_mon, 7);
    EXPECT_EQ(date.tm_year, 100);
}

TEST_F(PlatformFileTimes, FileDateOfAMissingFileIsTheStartOf1970) {
    const std::tm date = file_date(real_file_system(), "missing.log");
    EXPECT_EQ(date.tm_mday, 1);
    EXPECT_EQ(date.tm_mon, 0);
    EXPECT_EQ(date.tm_year, 70);
    EXPECT_EQ(date.tm_hour, 0);
}

// A rename never replaces another file (the log converter's tests show
// that), yet a name that already belongs to the same file is no other file.
using PlatformRename = ScratchFolder;

TEST_F(PlatformRename, ATargetThatIsAnotherLinkOfTheSameFileCounts) {
    write_file("a.log", "a");
    std::filesystem::create_hard_link("a.log", "games.log");
    EXPECT_EQ(platform_rename_no_replace("a.log", "games.log"), 1);
    EXPECT_EQ(read_file("games.log"), "a");
}

}  // namespace
