// The header keys, read in their fixed order, and what a game keeps of an
// earlier game's header.
#include <gtest/gtest.h>

#include "pass_test.h"

namespace {

class GameHeader : public PassTest {
protected:
    int header(const std::string& lines) {
        EXPECT_EQ(load_text(*ctx, lines + log_line("99.00", {"game_end", "x"})), 1);
        return read_game_header(*ctx);
    }
};

TEST_F(GameHeader, KeysAreReadOnlyInTheirOrder) {
    EXPECT_EQ(header(header_lines("Capture the Flag", "CTF-Face\t1.unr", "20.5")), 1);
    EXPECT_EQ(ctx->game_info.map_name, "CTF-Face\t1.unr");
    EXPECT_EQ(ctx->game_info.game_type, GameType::CaptureTheFlag);
    EXPECT_EQ(ctx->game_info.frag_limit, 20);

    // The title before the name: what comes after the name is not found,
    // and the fields keep the earlier game's values.
    std::string title_first =
        log_line("0.00", {"info", "Game_Version", "436"}) + log_line("0.00", {"map", "Title", "Deck"}) +
        log_line("0.00", {"map", "Name", "DM-Deck16.unr"}) +
        log_line("0.00", {"game", "GameName", "Tournament DeathMatch"}) + log_line("0.00", {"game", "FragLimit", "30"});
    EXPECT_EQ(header(title_first), 0);
    EXPECT_EQ(ctx->game_info.map_name, "DM-Deck16.unr");
    EXPECT_EQ(ctx->game_info.game_type, GameType::CaptureTheFlag);
    EXPECT_EQ(ctx->game_info.frag_limit, 20);

    // Without the version line nothing is read.
    std::string no_version = header_lines("Domination", "DOM-Cinder.unr").substr(27);
    EXPECT_EQ(header(log_line("0.00", {"info", "Log_Standard", "ngLog"}) + no_version), 0);
    EXPECT_EQ(ctx->game_info.map_name, "DM-Deck16.unr");
    EXPECT_EQ(ctx->game_info.game_type, GameType::CaptureTheFlag);
    EXPECT_EQ(error_log(), "");
}

TEST_F(GameHeader, LongMapNamesAreCutAndUnknownGameTypesLogged) {
    EXPECT_EQ(header(header_lines("Bombing Run", std::string(300, 'm'))), 1);
    EXPECT_EQ(ctx->game_info.map_name, std::string(199, 'm'));
    EXPECT_EQ(ctx->game_info.game_type, GameType::Unknown);
    EXPECT_EQ(error_log(), "\t\twarning:unknown gametype\r\n");
}

}  // namespace
