#include "read_gametype_events.h"

#include <array>

#include "line_walker.h"

namespace {

// These events count for the record that collects the logged id's events,
// as kills do: a player who came back under a new id keeps his flags and
// ping. An id that never connected changes nothing.
PlayerRecord* player_at(AnalysisContext& ctx, int id) { return ctx.player_for_id(id); }

// Calls handle(first, second, at) for every line of the pattern, where
// first runs to first_delim and second to the line end (when wanted), and at
// is where the line's pattern stands. Ends at the first line that lacks a
// delimiter.
template <typename Handle>
void for_each_line(const GameText& text, Event event, char first_delim, bool read_second, Handle handle) {
    LineWalker lines(text, event, text.game_start, LineWalker::Bound::TextEnd);
    while (lines.next()) {
        std::string_view first, second;
        if (!lines.field(first_delim, first)) return;
        if (read_second && !lines.field('\n', second)) return;
        handle(first, second, lines.match());
    }
}

void read_domination(AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    // The winner is the team of the highest score seen so far: a later line
    // must beat the best, not merely the line before it. A game without a
    // positive score keeps the empty winner of the per-game reset. Team texts
    // are read as 255 characters and kept as 199.
    int best = 0;
    std::array<int, MAX_TEAMS> previous{};
    TeamResults& results = ctx.team_results;
    results.counted = true;
    for_each_line(text, Event::DomScoreUpdate, '\t', true,
                  [&](std::string_view team, std::string_view score, std::size_t at) {
                      int value = parse_int(score);
                      if (value > best) {
                          ctx.game_info.winning_team = Field(team).view();
                          best = value;
                      }
                      // Each line gives a team's points so far.
                      const int t = team_number(Field(team).view());
                      if (t < 0) return;
                      results.add(text.line_time(at), t, value - previous[static_cast<std::size_t>(t)]);
                      previous[static_cast<std::size_t>(t)] = value;
                  });
    for_each_line(text, Event::ControlpointCapture, '\t', true,
                  [&](std::string_view, std::string_view id, std::size_t) {
                      if (PlayerRecord* player = player_at(ctx, parse_int(id))) ++player->flags_captured;
                  });
}

// The team each player is on at a point of the game: the team lines before
// that point, read in step with the lines that ask, which come in log order.
class TeamsSoFar {
public:
    explicit TeamsSoFar(AnalysisContext& ctx)
        : ctx_(ctx), lines_(ctx.text, Event::Teamchange, ctx.text.game_start, LineWalker::Bound::TextEnd) {
        team_.fill(-1);
    }

    int team_at(std::size_t position, const PlayerRecord& player) {
        while (!over_ && lines_.next() && lines_.match() < position) {
            int id = 0;
            std::string_view value;
            if (!lines_.number('\t', id) || !lines_.field('\n', value)) {
                over_ = true;
                break;
            }
            if (const PlayerRecord* changed = ctx_.player_for_id(id)) team_[index(*changed)] = parse_int(value);
        }
        const int team = team_[index(player)];
        return team >= 0 ? team : team_number(player.team.view());
    }

private:
    std::size_t index(const PlayerRecord& player) const {
        return static_cast<std::size_t>(&player - ctx_.game_players.data());
    }

    AnalysisContext& ctx_;
    LineWalker lines_;
    std::array<int, MAXPLAYER> team_{};
    bool over_ = false;
};

void read_capture_the_flag(AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    int captures[2] = {0, 0};
    // The game counts a capture for the team its capturer is on at that
    // moment; the winner of the console report counts by the last team.
    TeamsSoFar teams(ctx);
    TeamResults& results = ctx.team_results;
    results.counted = true;
    for_each_line(text, Event::FlagCaptured, '\t', false, [&](std::string_view id, std::string_view, std::size_t at) {
        if (PlayerRecord* player = player_at(ctx, parse_int(id))) {
            ++player->flags_captured;
            int team = parse_int(player->team.view());
            if (team == 0 || team == 1) ++captures[team];
            results.add(text.line_time(at), teams.team_at(at, *player), 1);
        }
    });
    for_each_line(text, Event::FlagReturned, '\t', false, [&](std::string_view id, std::string_view, std::size_t) {
        if (PlayerRecord* player = player_at(ctx, parse_int(id))) ++player->flags_returned;
    });
    ctx.game_info.winning_team = "0";
    int best = captures[0];
    for (int t = 0; t < 2; ++t) {
        if (captures[t] > best) {
            ctx.game_info.winning_team.format("%i", t);
            best = captures[t];
        }
    }
}

}  // namespace

int read_gametype_events(AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    EventFinder game_end(Event::GameEnd);
    const std::size_t end_line = game_end.find(text, text.game_start);
    if (end_line == GameText::npos) return 0;
    std::string_view reason = text.view().substr(end_line + game_end.size());
    ctx.game_info.end_reason = reason.substr(0, reason.find_first_of("\t\n"));
    if (reason.substr(0, 9) == "mapchange") {
        ctx.log.append("\tGame not analysed (mapchange)");
        return 0;
    }

    const GameType type = ctx.game_info.game_type;
    if (type == GameType::Assault)
        ctx.game_info.winning_team = reason.substr(0, 17) == "Assault succeeded" ? "attacker" : "defender";
    if (type == GameType::Domination) read_domination(ctx);
    if (type == GameType::CaptureTheFlag) read_capture_the_flag(ctx);
    if (type == GameType::Domination) {
        for_each_line(text, Event::DomPlayerscoreUpdate, '\t', true,
                      [&](std::string_view id, std::string_view score, std::size_t) {
                          if (PlayerRecord* player = player_at(ctx, parse_int(id))) player->score = parse_int(score);
                      });
    }
    for_each_line(text, Event::Ping, '\t', true, [&](std::string_view id, std::string_view ping, std::size_t) {
        if (PlayerRecord* player = player_at(ctx, parse_int(id))) player->ping = parse_int(ping);
    });
    return 1;
}
