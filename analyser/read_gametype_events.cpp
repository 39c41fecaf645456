#include "read_gametype_events.h"

#include "line_walker.h"

namespace {

// These events count for the record that collects the logged id's events,
// as kills do: a player who came back under a new id keeps his flags and
// ping. An id that never connected changes nothing.
PlayerRecord* player_at(AnalysisContext& ctx, int id) { return ctx.player_for_id(id); }

// Calls handle(first, second) for every line of the pattern, where first
// runs to first_delim and second to the line end (when wanted). Ends at the
// first line that lacks a delimiter.
template <typename Handle>
void for_each_line(const GameText& text, Event event, char first_delim, bool read_second, Handle handle) {
    LineWalker lines(text, event, text.game_start, LineWalker::Bound::TextEnd);
    while (lines.next()) {
        std::string_view first, second;
        if (!lines.field(first_delim, first)) return;
        if (read_second && !lines.field('\n', second)) return;
        handle(first, second);
    }
}

void read_domination(AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    // The winner is the team of the highest score seen so far: a later line
    // must beat the best, not merely the line before it. A game without a
    // positive score keeps the empty winner of the per-game reset. Team texts
    // are read as 255 characters and kept as 199.
    int best = 0;
    for_each_line(text, Event::DomScoreUpdate, '\t', true, [&](std::string_view team, std::string_view score) {
        int value = parse_int(score);
        if (value > best) {
            ctx.game_info.winning_team = Field(team).view();
            best = value;
        }
    });
    for_each_line(text, Event::ControlpointCapture, '\t', true, [&](std::string_view, std::string_view id) {
        if (PlayerRecord* player = player_at(ctx, parse_int(id))) ++player->flags_captured;
    });
}

void read_capture_the_flag(AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    int captures[2] = {0, 0};
    for_each_line(text, Event::FlagCaptured, '\t', false, [&](std::string_view id, std::string_view) {
        if (PlayerRecord* player = player_at(ctx, parse_int(id))) {
            ++player->flags_captured;
            int team = parse_int(player->team.view());
            if (team == 0 || team == 1) ++captures[team];
        }
    });
    for_each_line(text, Event::FlagReturned, '\t', false, [&](std::string_view id, std::string_view) {
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
        for_each_line(text, Event::DomPlayerscoreUpdate, '\t', true, [&](std::string_view id, std::string_view score) {
            if (PlayerRecord* player = player_at(ctx, parse_int(id))) player->score = parse_int(score);
        });
    }
    for_each_line(text, Event::Ping, '\t', true, [&](std::string_view id, std::string_view ping) {
        if (PlayerRecord* player = player_at(ctx, parse_int(id))) player->ping = parse_int(ping);
    });
    return 1;
}
