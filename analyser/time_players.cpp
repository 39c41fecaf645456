#include "time_players.h"

#include <algorithm>
#include <array>

namespace {

// The whole second of the line that holds position. The pattern of a team
// line stands too far into a line of a long game for GameText::line_time.
int time_of_line(const GameText& text, std::size_t position) {
    const std::size_t line_feed = text.view().substr(0, position).rfind('\n');
    return line_feed == std::string_view::npos ? -1 : parse_int(text.view().substr(line_feed + 1));
}

// A stretch of one id that has begun and not yet ended.
struct Open {
    bool on = false;
    int since = 0;
    std::string_view team;  // for a spell on a team
};

}  // namespace

void time_players(AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    const int game_start = text.line_time(text.game_start);
    const int game_end = saturating_add(game_start, ctx.game_info.duration);
    auto clock = [&](std::size_t at) {
        if (text.play_start == GameText::npos || at < text.play_start) return game_start;
        return std::max(time_of_line(text, at), game_start);
    };
    auto seconds = [&](const Open& open, int until) { return std::max(0, std::min(until, game_end) - open.since); };

    std::array<Open, MAXPLAYER> in_game{};
    std::array<Open, MAXPLAYER> on_team{};
    auto leave_game = [&](int id, int at) {
        Open& open = in_game[static_cast<std::size_t>(id)];
        if (!open.on) return;
        open.on = false;
        if (PlayerRecord* player = ctx.player_for_id(id))
            player->seconds_in_game = saturating_add(player->seconds_in_game, seconds(open, at));
    };
    auto leave_team = [&](int id, int at) {
        Open& open = on_team[static_cast<std::size_t>(id)];
        if (!open.on) return;
        open.on = false;
        const PlayerRecord* player = ctx.player_for_id(id);
        if (player == nullptr) return;
        std::vector<TeamSpell>& spells = ctx.team_spells[static_cast<std::size_t>(player - ctx.game_players.data())];
        for (TeamSpell& known : spells) {
            if (known.team == open.team) {
                known.seconds = saturating_add(known.seconds, seconds(open, at));
                return;
            }
        }
        spells.push_back(TeamSpell{Text(open.team), seconds(open, at)});
    };

    for (const PlayerLine& line : ctx.player_lines) {
        const int at = clock(line.at);
        switch (line.kind) {
            case PlayerLine::Kind::Connect: {
                Open& open = in_game[static_cast<std::size_t>(line.id)];
                if (!open.on) open = Open{true, at, {}};
                break;
            }
            case PlayerLine::Kind::Team:
                leave_team(line.id, at);
                on_team[static_cast<std::size_t>(line.id)] = Open{true, at, line.team};
                break;
            case PlayerLine::Kind::Disconnect:
                leave_game(line.id, at);
                leave_team(line.id, at);
                break;
        }
    }
    for (int id = 0; id < MAXPLAYER; ++id) {
        leave_game(id, game_end);
        leave_team(id, game_end);
    }
    const int length = std::max(0, ctx.game_info.duration);
    for (PlayerRecord& player : ctx.game_players) player.seconds_in_game = std::min(player.seconds_in_game, length);
}
