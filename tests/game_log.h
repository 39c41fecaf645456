// Hand-written game texts for the pass tests, and the event passes run over
// them in the session loop's order.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "analysis_test_support.h"
#include "game_header.h"
#include "read_gametype_events.h"
#include "read_item_pickups.h"
#include "read_kills.h"
#include "register_players.h"

// One log line: the time stamp and the fields joined by tabs, then a line feed.
inline std::string log_line(std::string_view time, std::initializer_list<std::string_view> fields) {
    std::string line(time);
    for (std::string_view field : fields) (line += '\t') += field;
    return line + '\n';
}

// The five header lines in the order the header pass reads them.
inline std::string header_lines(std::string_view game_type, std::string_view map = "DM-Test.unr",
                                std::string_view frag_limit = "20") {
    return log_line("0.00", {"info", "Game_Version", "436"}) + log_line("0.00", {"map", "Name", map}) +
           log_line("0.00", {"map", "Title", "Test Map"}) + log_line("0.00", {"game", "GameName", game_type}) +
           log_line("0.00", {"game", "FragLimit", frag_limit});
}

// A player's lines at a connect, as the game writes them: the team line
// (when a team is given), the connect, the bot flag and the skill.
inline std::string connect_lines(int id, std::string_view name, bool bot = false, std::string_view team = "",
                                 std::string_view skill = "1.000000", std::string_view time = "0.00") {
    const std::string n = std::to_string(id);
    std::string lines = team.empty() ? "" : log_line(time, {"player", "Teamchange", n, team});
    return lines + log_line(time, {"player", "Connect", name, n, "False"}) +
           log_line(time, {"player", "IsABot", n, bot ? "True" : "False"}) +
           log_line(time, {"player", "Skill", n, skill});
}

inline std::string kill_line(std::string_view time, int killer, std::string_view weapon, int victim,
                             std::string_view event = "kill") {
    return log_line(time, {event, std::to_string(killer), weapon, std::to_string(victim), weapon});
}

inline std::string item_line(std::string_view time, std::string_view item, int id) {
    return log_line(time, {"item_get", item, std::to_string(id)});
}

// A whole game: header, the lines before play, the start of play, the lines
// of play and the end line at 599 s (the info line is the first line and so
// has no time: the game lasts 600 s).
inline std::string game_text(std::string_view game_type, const std::string& setup, const std::string& play,
                             std::string_view end_reason = "fraglimit") {
    return header_lines(game_type) + setup + log_line("1.00", {"game_start"}) + play +
           log_line("599.00", {"game_end", end_reason});
}

// Loads text as a fresh game and runs the event passes; returns whether the
// game counts, or -1 when it did not load.
inline int interpret_game(AnalysisContext& ctx, const std::string& text) {
    reset_game(ctx);
    if (load_text(ctx, text) != 1) return -1;
    read_game_header(ctx);
    register_players(ctx);
    read_kills(ctx);
    read_item_pickups(ctx);
    return read_gametype_events(ctx);
}

// A fixture in a scratch folder with a context whose players get their
// names as skins (the skin lookup has its own tests).
class PassTest : public ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        ctx = make_context();
        ctx->images_enabled = 0;
    }
    int interpret(std::string_view type, const std::string& setup, const std::string& play,
                  std::string_view end_reason = "fraglimit") {
        return interpret_game(*ctx, game_text(type, setup, play, end_reason));
    }
    PlayerRecord& player(int id) { return ctx->game_players[static_cast<std::size_t>(id)]; }
    std::unique_ptr<AnalysisContext> ctx;
};

inline constexpr std::string_view DEATHMATCH = "Tournament DeathMatch";
inline constexpr std::string_view TEAM_GAME = "Tournament Team Game";
