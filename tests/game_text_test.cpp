// Loading a game log into the text buffer and reading time stamps from it.
#include "game_text.h"

#include <gtest/gtest.h>

#include "analysis_test_support.h"
#include "load_game.h"

namespace {

const std::string kGame =
    "0.00\tinfo\tGame_Version\t436\n"
    "0.00\tmap\tName\tDM-Test.unr\n"
    "5.50\tgame_start\n"
    "123.45\tkill\t0\tEnforcer\t1\tEnforcer\tshot\n"
    "812.35\tgame_end\tfraglimit\n"
    "900.00\tinfo\tsecond game\n";

using LoadGame = ::testing::Test;

TEST(ParseInt, ReadsLikeAtoi) {
    EXPECT_EQ(parse_int("812.35"), 812);
    EXPECT_EQ(parse_int("  -17x"), -17);
    EXPECT_EQ(parse_int("+5"), 5);
    EXPECT_EQ(parse_int("\t\n\v\f\r 9"), 9);
    EXPECT_EQ(parse_int("abc"), 0);
    EXPECT_EQ(parse_int(""), 0);
    EXPECT_EQ(parse_int("99999999999"), 2147483647);
    EXPECT_EQ(parse_int("-99999999999"), -2147483647 - 1);
    // Nine digits, then ten: the last that cannot overflow, and the first
    // that can.
    EXPECT_EQ(parse_int("123456789\t"), 123456789);
    EXPECT_EQ(parse_int("1234567890"), 1234567890);
    EXPECT_EQ(parse_int("2147483648x"), 2147483647);
}

TEST_F(LoadGame, SixteenAndEightBitLogsGiveTheSameTextButTheMark) {
    auto wide = make_context();
    ASSERT_EQ(load_text(*wide, to_utf16_log(kGame)), 1);
    auto narrow = make_context();
    std::string crlf;
    for (char c : kGame) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ASSERT_EQ(load_text(*narrow, crlf), 1);

    EXPECT_EQ(wide->text.view().substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(wide->text.view().substr(2), narrow->text.view());
    // The info line is the first line, so its time is -1 and the game lasts 813 s.
    EXPECT_EQ(wide->game_info.duration, 813);
    EXPECT_EQ(narrow->game_info.duration, 813);
}

TEST_F(LoadGame, TextIsCutSevenCharactersIntoTheLineAfterTheEnd) {
    auto ctx = make_context();
    ASSERT_EQ(load_text(*ctx, kGame), 1);
    std::string_view text = ctx->text.view();
    std::size_t end_line = kGame.find("812.35");
    std::size_t line_feed = kGame.find('\n', end_line);
    EXPECT_EQ(ctx->text.game_end, line_feed);
    EXPECT_EQ(text.substr(line_feed + 1), "900.00\t");
    EXPECT_EQ(ctx->game_info.game_bytes, static_cast<int>(line_feed - kGame.find("info")));
    EXPECT_EQ(ctx->session_info.game_count, 1);
    EXPECT_EQ(ctx->session_info.session_seconds, 813);
}

TEST_F(LoadGame, GamesAreCountedAndTimed) {
    auto ctx = make_context();
    ASSERT_EQ(load_text(*ctx, kGame, 0), 1);
    ASSERT_EQ(load_text(*ctx, kGame, 1), 1);
    EXPECT_EQ(ctx->session_info.game_count, 2);
    EXPECT_EQ(ctx->session_info.session_seconds, 2 * 813);
}

TEST_F(LoadGame, FailuresAreLoggedAndLeaveTheTotals) {
    auto ctx = make_context();
    EXPECT_EQ(load_text(*ctx, "no game here\n"), 0);
    EXPECT_EQ(load_text(*ctx, "0.00\tinfo\tx\n"), 0);
    EXPECT_EQ(load_text(*ctx, "0.00\tinfo\tx\n1.00\tgame_end", 2), 0);  // no line end
    EXPECT_EQ(ctx->error_log(),
              "*** loading game: 0\r\n\tcan't identify logfile (no unreal tournament logfile?)\r\n"
              "*** loading game: 0\r\n\tno complete game_end line in games.log (unfinished game)\r\n"
              "*** loading game: 2\r\n\tno complete game_end line in games2.log (unfinished game)\r\n");
    EXPECT_EQ(ctx->session_info.game_count, 0);
    EXPECT_EQ(ctx->session_info.session_seconds, 0);
}

TEST_F(LoadGame, TextIsCappedAt511999Characters) {
    auto ctx = make_context();
    std::string big(600000, 'x');
    big.replace(0, 4, "info");
    EXPECT_EQ(load_text(*ctx, big), 0);
    EXPECT_EQ(ctx->text.length, 511999u);

    std::string fits = big.substr(0, 511999 - 12) + "\ngame_end\tx\n";
    ASSERT_EQ(fits.size(), 511999u);
    EXPECT_EQ(load_text(*ctx, fits), 1);
    std::string over = big.substr(0, 511999 - 11) + "\ngame_end\tx\n";
    EXPECT_EQ(load_text(*ctx, over), 0);  // the cut took the line end
    // As long as nothing was cut, a missing line end is an unfinished game.
    std::string unfinished = big.substr(0, 511999 - 11) + "\ngame_end\tx";
    ASSERT_EQ(unfinished.size(), 511999u);
    EXPECT_EQ(load_text(*ctx, unfinished), 0);
    EXPECT_EQ(ctx->error_log(),
              "*** loading game: 0\r\n\tnot enought memory for game (>512000 Signs)\r\n"
              "*** loading game: 0\r\n"
              "*** loading game: 0\r\n\tnot enought memory for game (>512000 Signs)\r\n"
              "*** loading game: 0\r\n\tno complete game_end line in games.log (unfinished game)\r\n");
}

TEST_F(LoadGame, InfoInsideAWordStartsTheGame) {
    auto ctx = make_context();
    ASSERT_EQ(load_text(*ctx, "1.0\tplayer\tConnect\tinfomaniac\t0\n2.0\tgame_end\tx\n"), 1);
    EXPECT_EQ(ctx->text.game_start, std::string("1.0\tplayer\tConnect\t").size());
}

TEST(LineTime, ReachesFifteenCharactersBack) {
    auto ctx = make_context();
    std::string text = "x\n123.45\tkill\t\n-7.9\tx\n\n12345.00000000000\tkill\n";
    ASSERT_EQ(load_text(*ctx, text), 0);  // no info: but the text is loaded
    const GameText& t = ctx->text;
    EXPECT_EQ(t.line_time(text.find("kill")), 123);
    EXPECT_EQ(t.line_time(text.find("\tx")), -7);
    // A position on a line feed reads the line after it.
    EXPECT_EQ(t.line_time(text.find('\n')), 123);
    // 15 characters before it: in reach.
    const std::string near = "\n12345.0000000\tkill\n";
    ASSERT_EQ(load_text(*ctx, text + near), 0);
    EXPECT_EQ(ctx->text.line_time(text.size() + near.find("kill")), 12345);
    ASSERT_EQ(load_text(*ctx, text), 0);
    // 16 characters before the event word: out of reach.
    EXPECT_EQ(t.line_time(text.rfind("kill")), -1);
    // The first line has no line start before it.
    EXPECT_EQ(t.line_time(0), -1);
    // An empty line's number is read from the next line, as atoi would.
    EXPECT_EQ(t.line_time(text.find("\n\n") + 1), 12345);
}

// A field ends at the first delimiter, wherever it stands: within the first
// sixteen characters, just past them, or at the text's end; without one
// before the end there is no field.
TEST(GameTextField, EndsAtTheFirstDelimiter) {
    auto ctx = make_context();
    for (std::size_t width : {0, 1, 14, 15, 16, 17, 40}) {
        for (std::size_t after : {0, 1, 15, 16, 30}) {
            const std::string text = "\t" + std::string(width, 'w') + "\t" + std::string(after, 'a');
            ASSERT_EQ(load_text(*ctx, text), 0);
            std::string_view value;
            std::size_t end = 0;
            ASSERT_TRUE(ctx->text.field(1, '\t', value, end)) << width << " " << after;
            EXPECT_EQ(value, std::string(width, 'w'));
            EXPECT_EQ(end, width + 1);
            EXPECT_FALSE(ctx->text.field(end + 1, '\t', value, end)) << width << " " << after;
        }
    }
}

}  // namespace
