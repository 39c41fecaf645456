#include "game_section.h"

#include "frag_chart.h"
#include "games_page_text.h"
#include "html_text.h"
#include "line_walker.h"
#include "name_tables.h"
#include "player_order.h"

namespace {

// The game type's name (the console report has logged an unknown type).
HtmlText type_name(const AnalysisContext& ctx) { return HtmlText::utf8(gametype_name(ctx.game_info.game_type)); }

// Why the game ended, as its game_end line says.
HtmlText end_reason(const AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    EventFinder game_end(Event::GameEnd);
    const std::size_t found = game_end.find(text, text.game_start);
    if (found == GameText::npos) return "";
    std::string_view reason = text.view().substr(found + game_end.size());
    reason = reason.substr(0, reason.find_first_of("\t\n"));
    return HtmlText::utf8(Text(reason).view());
}

HtmlText name_of(const PlayerRecord& p) { return HtmlText::utf8(p.name.view()); }

// The winner: the winning team with its players, or the winning player.
HtmlText winner_text(const AnalysisContext& ctx, const int* order, int players) {
    HtmlText text = "";
    if (is_team_game(ctx.game_info.game_type)) {
        if (ctx.game_info.winning_team.empty()) return "\xE2\x80\x94";
        text = team_label(ctx.game_info.winning_team);
        bool first = true;
        for (int k = 0; k < players; ++k) {
            const PlayerRecord& p = ctx.game_players[static_cast<std::size_t>(order[k])];
            if (p.winner != 1) continue;
            text += first ? HtmlText(": ") : HtmlText(", ");
            text += name_of(p);
            first = false;
        }
        return text;
    }
    for (int k = 0; k < players; ++k)
        if (ctx.game_players[static_cast<std::size_t>(order[k])].winner == 1)
            return name_of(ctx.game_players[static_cast<std::size_t>(order[k])]);
    return "\xE2\x80\x94";
}

void number_cell(Output& out, int value) { out.print("<td class=\"n\">%d</td>", value); }

void text_cell(Output& out, const HtmlText& text) { out.print("<td>%s</td>", text.c_str()); }

// A favourite, with its count, or a dash when there is none.
void favourite_cell(Output& out, const HtmlText& name, int count) {
    if (count < 1) {
        out.put("<td>\xE2\x80\x94</td>");
        return;
    }
    out.print("<td>%s <span class=\"count\">(%d)</span></td>", name.c_str(), count);
}

void scoreboard(Output& out, AnalysisContext& ctx, const int* order, int players) {
    const GameType type = ctx.game_info.game_type;
    const bool teams = is_team_game(type);
    out.put(
        "<div class=\"scroll\"><table class=\"scoreboard\">\n<thead><tr><th scope=\"col\">Place</th>"
        "<th scope=\"col\">Player</th><th scope=\"col\">Species</th>");
    if (teams) out.put("<th scope=\"col\">Team</th>");
    out.put(
        "<th scope=\"col\" class=\"n\">Score</th><th scope=\"col\" class=\"n\">Kills</th>"
        "<th scope=\"col\" class=\"n\">Frags</th><th scope=\"col\" class=\"n\">Deaths</th>"
        "<th scope=\"col\" class=\"n\">Suicides</th><th scope=\"col\" class=\"n\">Team kills %</th>"
        "<th scope=\"col\" class=\"n\">Kills/h</th><th scope=\"col\" class=\"n\">TS-factor</th>"
        "<th scope=\"col\" class=\"n\">Lurch-factor</th><th scope=\"col\" class=\"n\">Damage Amp</th>"
        "<th scope=\"col\" class=\"n\">Headshots</th><th scope=\"col\">Favourite weapon</th>"
        "<th scope=\"col\">Favourite victim</th>");
    if (type == GameType::CaptureTheFlag)
        out.put("<th scope=\"col\" class=\"n\">Flags captured</th><th scope=\"col\" class=\"n\">Flags returned</th>");
    if (type == GameType::Domination) out.put("<th scope=\"col\" class=\"n\">Control points</th>");
    out.put("<th scope=\"col\" class=\"n\">Ping</th></tr></thead>\n<tbody>\n");
    if (players == 0) out.put("<tr><td colspan=\"3\">No players.</td></tr>\n");
    for (int k = 0; k < players; ++k) {
        const PlayerRecord& p = ctx.game_players[static_cast<std::size_t>(order[k])];
        out.put(p.winner == 1 ? "<tr class=\"winner\">" : "<tr>");
        number_cell(out, p.rank);
        out.print("<th scope=\"row\">%s%s</th>", name_of(p).c_str(),
                  p.winner == 1 ? " <span class=\"badge\">winner</span>" : "");
        if (p.is_human == 1)
            out.put("<td>Human</td>");
        else if (p.is_human == 0)
            out.print("<td>Bot, skill %d</td>", p.skill);
        else
            out.put("<td>Unstated</td>");
        if (teams) text_cell(out, team_label(p.team));
        number_cell(out, p.score);
        number_cell(out, p.kills);
        number_cell(out, p.net_kills);
        number_cell(out, p.deaths);
        number_cell(out, p.suicides);
        number_cell(out, p.teamkill_rate);
        number_cell(out, p.killrate);
        number_cell(out, p.multikill);
        number_cell(out, p.lurch);
        number_cell(out, p.quads);
        number_cell(out, p.headshots);
        favourite_cell(out, HtmlText::utf8(weapon_name(p.fav_weapon)), p.fav_weapon_kills);
        favourite_cell(out, HtmlText::utf8(p.fav_victim_name.view()), p.fav_victim_kills);
        if (type == GameType::CaptureTheFlag) {
            number_cell(out, p.flags_captured);
            number_cell(out, p.flags_returned);
        }
        if (type == GameType::Domination) number_cell(out, p.flags_captured);
        if (p.ping < 0)
            out.put("<td class=\"n\">\xE2\x80\x94</td>");
        else
            number_cell(out, p.ping);
        out.put("</tr>\n");
    }
    out.put("</tbody>\n</table></div>\n");
}

}  // namespace

int players_by_place(const AnalysisContext& ctx, int (&order)[MAXPLAYER]) {
    std::array<int, MAXPLAYER> slots{};
    for (int s = 0; s < MAXPLAYER; ++s) slots[static_cast<std::size_t>(s)] = s;
    exchange_sort(slots, slots.size(), [&](int a, int b) {
        return ctx.game_players[static_cast<std::size_t>(a)].rank > ctx.game_players[static_cast<std::size_t>(b)].rank;
    });
    int players = 0;
    for (int slot : slots)
        if (!ctx.game_players[static_cast<std::size_t>(slot)].name.empty()) order[players++] = slot;
    return players;
}

BoundedText<16> game_number(const AnalysisContext& ctx) {
    BoundedText<16> number;
    number.format("%02i", ctx.session_info.game_count);
    return number;
}

void write_game_row(Output& out, AnalysisContext& ctx) {
    int order[MAXPLAYER];
    const int players = players_by_place(ctx, order);
    const BoundedText<16> number = game_number(ctx);
    out.print("<tr><th scope=\"row\"><a href=\"#game-%s\">%s</a></th>", number.c_str(), number.c_str());
    text_cell(out, HtmlText::utf8(ctx.game_info.map_name.view()));
    text_cell(out, type_name(ctx));
    out.print("<td class=\"n\">%s</td>", minutes_and_seconds(ctx.game_info.duration).c_str());
    text_cell(out, end_reason(ctx));
    text_cell(out, winner_text(ctx, order, players));
    if (players > 0) {
        const PlayerRecord& best = ctx.game_players[static_cast<std::size_t>(order[0])];
        out.print("<td>%s <span class=\"count\">(%d)</span></td>", name_of(best).c_str(), best.score);
    } else {
        out.put("<td>\xE2\x80\x94</td>");
    }
    number_cell(out, players);
    out.put("</tr>\n");
}

void write_game_section(Output& out, AnalysisContext& ctx) {
    int order[MAXPLAYER];
    const int players = players_by_place(ctx, order);
    const BoundedText<16> number = game_number(ctx);
    out.print("<section id=\"game-%s\">\n<h2>Game %s: %s</h2>\n", number.c_str(), number.c_str(),
              HtmlText::utf8(ctx.game_info.map_name.view()).c_str());
    out.print("<p class=\"facts\">%s, %s, ended by %s. Winner: %s.</p>\n", type_name(ctx).c_str(),
              minutes_and_seconds(ctx.game_info.duration).c_str(), end_reason(ctx).c_str(),
              winner_text(ctx, order, players).c_str());
    scoreboard(out, ctx, order, players);
    write_frag_chart(out, ctx, order, players, number.c_str());
    out.put("<p class=\"up\"><a href=\"#games\">All games</a></p>\n</section>\n");
}
