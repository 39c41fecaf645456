#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "records.h"

// Fills the game players and the id map from the connect, bot, skill, team,
// rename and disconnect lines, and resolves equal names. Keeps the connect
// lines it registered a player from, and the team and disconnect lines of
// the ids 0 to 15, in ctx.player_lines. Returns 1.
int register_players(AnalysisContext& ctx);

// Which assault lines of the current game name a team value. Each slot holds
// where an assault line's pattern stands, hashed by its team value, so that
// each team line finds its kind at once instead of reading every assault
// line again. Built on first use in a game and sized to the game's own lines
// (half the slots stay free), so a game with few of them costs little memory.
class AssaultTeams {
public:
    explicit AssaultTeams(const GameText& text) : text_(text) {}
    // Whether some line of the kind names exactly this team value.
    bool names(Event kind, const Field& team);

private:
    static constexpr std::uint32_t EMPTY = 0xFFFFFFFFu;
    template <typename Take>
    void walk(Event kind, Take take) const;
    void build();

    const GameText& text_;
    std::vector<std::uint32_t> line_at_;
    std::size_t mask_ = 0;
};

// The team to store for a team value: in Assault "attacker" or "defender"
// as the assault lines name it, else the value itself (its first 255
// characters, as every team value is read).
std::string_view assault_team(AnalysisContext& ctx, AssaultTeams& assault, std::string_view value);
