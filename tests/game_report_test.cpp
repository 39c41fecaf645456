// The console report of one game: the pieces that depend on the game type,
// the player and the game's length (whole reports are compared end to end).
#include "game_report.h"

#include <gtest/gtest.h>

#include "analysis_test_support.h"

namespace {

const std::string kSeparator = std::string(82, '=') + "\n";

class GameReport : public ::testing::Test {
protected:
    void SetUp() override {
        ctx = make_context();
        ctx->session_info.game_count = 3;
        ctx->game_info.duration = 125;
        ctx->game_info.game_bytes = 4711;
        ctx->game_info.map_name = "CTF-Face.unr";
        ctx->game_info.game_type = GameType::CaptureTheFlag;
        for (int s = 0; s < MAXPLAYER; ++s) place(s, s + 1);
    }
    // Gives slot its place, in the rank and in the order the report follows.
    void place(int slot, int rank) {
        ctx->game_players[static_cast<std::size_t>(slot)].rank = rank;
        ctx->game_order[static_cast<std::size_t>(rank - 1)] = slot;
    }
    PlayerRecord& player(int slot, std::string_view name, int rank, Species is_human) {
        PlayerRecord& p = ctx->game_players[static_cast<std::size_t>(slot)];
        p.name = name;
        p.skin = name;
        p.is_human = is_human;
        p.skill = 3;
        p.team = "0";
        place(slot, rank);
        return p;
    }
    std::string report() {
        return capture_output([&](Output& out) { print_game_report(*ctx, ctx->log, out); });
    }
    std::string error_log() const { return ctx->error_log(); }
    std::unique_ptr<TestRun> ctx;
};

TEST_F(GameReport, SkillTeamAndFlagPiecesOnlyWhereTheyApply) {
    player(0, "Bot", 2, Species::Bot);
    player(1, "Unstated", 1, Species::Unknown).winner = 1;
    for (int type : {5, 6, 7, 8, 9, 10, -1}) {
        ctx->game_info.game_type = static_cast<GameType>(type);
        const bool team = type == 5 || type == 7 || type == 8 || type == 10;
        const std::string team_piece = team ? "team: 0\n" : "\n";
        std::string out = report();
        EXPECT_NE(out.find("Winner:  1. Unstated: handycap: -1 model: Unstated " + team_piece), std::string::npos)
            << type << out;
        EXPECT_NE(out.find("\n 2. Bot: handycap: -1 model: Bot skill: 3 " + team_piece), std::string::npos)
            << type << out;
        EXPECT_EQ(out.find("captured flag: 0 returned flag: 0\n") != std::string::npos, type == 7 || type == 8) << type;
    }
}

TEST_F(GameReport, GamesOfTenSecondsOrLessShowNoPlayers) {
    player(0, "A", 1, Species::Human);
    ctx->game_info.duration = 10;
    EXPECT_EQ(report(),
              "game 03:   time: 0:10  byte: 4711 map: CTF-Face.unr  gametype: Capture the Flag\n" + kSeparator + "\n");
    ctx->game_info.duration = 11;
    EXPECT_NE(report().find(" 1. A: "), std::string::npos);
}

TEST_F(GameReport, AnUnknownGameTypeIsNamedAndLogged) {
    ctx->game_info.game_type = GameType::Unknown;
    EXPECT_EQ(report(),
              "game 03:   time: 2:05  byte: 4711 map: CTF-Face.unr  gametype: unknown gametype\n" + kSeparator + "\n");
    EXPECT_EQ(error_log(), "\t\twarning:unknown gametype\r\n");
}

}  // namespace
