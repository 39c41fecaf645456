// The event passes run over a game text in the session loop's order, and a
// fixture for the tests of single passes.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "analysis_test_support.h"
#include "game_header.h"
#include "game_log.h"
#include "read_gametype_events.h"
#include "read_item_pickups.h"
#include "read_kills.h"
#include "register_players.h"
#include "time_players.h"

// Loads text as a fresh game and runs the event passes; returns whether the
// game counts, or -1 when it did not load.
inline int interpret_game(TestRun& ctx, const std::string& text) {
    reset_game(ctx);
    if (load_text(ctx, text) != 1) return -1;
    read_game_header(ctx);
    register_players(ctx);
    time_players(ctx);
    read_kills(ctx);
    read_item_pickups(ctx);
    return read_gametype_events(ctx);
}

// A fixture with a run in memory whose players get their names as skins
// (the skin lookup has its own tests).
class PassTest : public ::testing::Test {
protected:
    void SetUp() override {
        ctx = make_context();
        ctx->images_enabled = 0;
    }
    // What the passes logged: error.log without the line that starts the
    // load of every game.
    std::string error_log() const {
        std::string log = ctx->error_log();
        for (std::size_t at = log.find("*** loading game: "); at != std::string::npos;
             at = log.find("*** loading game: ", at))
            log.erase(at, log.find("\r\n", at) + 2 - at);
        return log;
    }
    // A game of that type, on the default map, through the event passes.
    int interpret(std::string_view type, const std::string& setup, const std::string& play,
                  std::string_view end_reason = "fraglimit") {
        return interpret_game(
            *ctx,
            game_text(
                {.type = std::string(type), .setup = setup, .play = play, .end_reason = std::string(end_reason)}));
    }
    PlayerRecord& player(int id) { return ctx->game_players[static_cast<std::size_t>(id)]; }
    std::unique_ptr<TestRun> ctx;
};
