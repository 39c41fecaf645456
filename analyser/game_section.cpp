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

HtmlText name_of(const PlayerRecord& p) { return HtmlText::utf8(p.name.view()); }

// Whether the page crowns the player: in team games the players of the team
// with the most (the team results' winner), else the game's winner.
bool crowned(const AnalysisContext& ctx, const PlayerRecord& p) {
    if (!is_team_game(ctx.game_info.game_type)) return p.winner == 1;
    return !ctx.team_results.winner.empty() && p.team == ctx.team_results.winner;
}

// The winner: the winning team with its players, or the winning player.
HtmlText winner_text(const AnalysisContext& ctx, const int* order, int players) {
    HtmlText text = "";
    if (is_team_game(ctx.game_info.game_type)) {
        if (ctx.team_results.winner.empty()) return "\xE2\x80\x94";
        text = team_label(ctx.team_results.winner);
        bool first = true;
        for (int k = 0; k < players; ++k) {
            const PlayerRecord& p = ctx.game_players[static_cast<std::size_t>(order[k])];
            if (!crowned(ctx, p)) continue;
            text += first ? HtmlText(": ") : HtmlText(", ");
            text += name_of(p);
            first = false;
        }
        return text;
    }
    for (int k = 0; k < players; ++k)
        if (crowned(ctx, ctx.game_players[static_cast<std::size_t>(order[k])]))
            return name_of(ctx.game_players[static_cast<std::size_t>(order[k])]);
    return "\xE2\x80\x94";
}

// The teams' final scores in the game's own terms, "Red 4, Blue 3", the
// winner's in strong when strong is asked; empty where the game counts none.
HtmlText team_scores(const AnalysisContext& ctx, bool strong) {
    const TeamResults& results = ctx.team_results;
    HtmlText text = "";
    if (!results.counted) return text;
    const int winner = team_number(results.winner.view());
    bool first = true;
    for (int t = 0; t < MAX_TEAMS; ++t) {
        if (!results.playing[static_cast<std::size_t>(t)]) continue;
        if (!first) text += ", ";
        first = false;
        Text team;
        team.format("%i", t);
        HtmlText entry = team_label(team);
        entry += " ";
        entry += HtmlText::number(results.score[static_cast<std::size_t>(t)]);
        if (strong && t == winner) {
            text += "<strong>";
            text += entry;
            text += "</strong>";
        } else {
            text += entry;
        }
    }
    return text;
}

void number_cell(Output& out, int value) { out.print("<td class=\"n\">%d</td>", value); }

void text_cell(Output& out, const HtmlText& text) { out.print("<td>%s</td>", text.c_str()); }

// A favourite, with its count, or a dash when there is none.
void favourite_cell(Output& out, const HtmlText& name, int count) {
    if (count < 1) {
        out.put("<td class=\"fav\">\xE2\x80\x94</td>");
        return;
    }
    out.print("<td class=\"fav\">%s <span class=\"count\">(%d)</span></td>", name.c_str(), count);
}

// A header cell; a short header names its column in full in an abbr.
void header_cell(Output& out, Markup text, Markup full = nullptr, bool number = true) {
    out.put(number ? "<th scope=\"col\" class=\"n\">" : "<th scope=\"col\">");
    if (full.c_str() != nullptr)
        out.print("<abbr title=\"%s\">%s</abbr></th>", full.c_str(), text.c_str());
    else
        out.print("%s</th>", text.c_str());
}

// Place, player, score and frags come first: a phone shows them without
// scrolling. Where the score is the frags, one column shows both; team
// kills are counted in team games only.
void scoreboard(Output& out, AnalysisContext& ctx, const int* order, int players) {
    const GameType type = ctx.game_info.game_type;
    const bool teams = is_team_game(type);
    const bool frags_apart = type == GameType::Domination || type == GameType::LastManStanding;
    out.put("<div class=\"scroll\"><table class=\"scoreboard\">\n<thead><tr>");
    header_cell(out, "#", "Place");
    header_cell(out, "Player", nullptr, false);
    if (frags_apart) {
        header_cell(out, "Score");
        header_cell(out, "Frags", "Kills less suicides");
    } else {
        header_cell(out, "Score", "Score: frags, kills less suicides");
    }
    if (teams) header_cell(out, "Team", nullptr, false);
    header_cell(out, "Kills");
    header_cell(out, "Deaths");
    header_cell(out, "Sui.", "Suicides");
    if (teams) header_cell(out, "TK %", "Team kills, per cent of kills");
    header_cell(out, "K/h", "Kills per hour");
    header_cell(out, "TS", "TS-factor");
    header_cell(out, "Lurch", "Lurch-factor");
    header_cell(out, "Amp", "Damage Amp");
    header_cell(out, "HS", "Headshots");
    header_cell(out, "Weapon", "Favourite weapon", false);
    header_cell(out, "Victim", "Favourite victim", false);
    if (type == GameType::CaptureTheFlag) {
        header_cell(out, "Caps", "Flags captured");
        header_cell(out, "Ret.", "Flags returned");
    }
    if (type == GameType::Domination) header_cell(out, "CP", "Control points");
    header_cell(out, "Species", "Human, or bot and its skill", false);
    header_cell(out, "Ping");
    out.put("</tr></thead>\n<tbody>\n");
    if (players == 0) out.put("<tr><td colspan=\"3\">No players.</td></tr>\n");
    for (int k = 0; k < players; ++k) {
        const PlayerRecord& p = ctx.game_players[static_cast<std::size_t>(order[k])];
        const bool winner = crowned(ctx, p);
        out.put(winner ? "<tr class=\"winner\">" : "<tr>");
        number_cell(out, p.rank);
        out.print("<th scope=\"row\">%s%s</th>", name_of(p).c_str(),
                  winner ? " <span class=\"badge\">winner</span>" : "");
        number_cell(out, p.score);
        if (frags_apart) number_cell(out, p.net_kills);
        if (teams) text_cell(out, team_label(p.team));
        number_cell(out, p.kills);
        number_cell(out, p.deaths);
        number_cell(out, p.suicides);
        if (teams) number_cell(out, p.teamkill_rate);
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
        if (p.is_human == Species::Human)
            out.put("<td>Human</td>");
        else if (p.is_human == Species::Bot)
            out.print("<td>Bot %d</td>", p.skill);
        else
            out.put("<td>Unstated</td>");
        if (p.ping < 0)
            out.put("<td class=\"n\">\xE2\x80\x94</td>");
        else
            number_cell(out, p.ping);
        out.put("</tr>\n");
    }
    out.put("</tbody>\n</table></div>\n");
}

// The result of the games table: the team scores, the winning side of
// Assault, or the winning player.
HtmlText result_text(const AnalysisContext& ctx, const int* order, int players) {
    if (ctx.team_results.counted) return team_scores(ctx, true);
    const bool sides = ctx.game_info.game_type == GameType::Assault;
    const Text& winner = ctx.team_results.winner;
    if (sides && winner.empty()) return "\xE2\x80\x94";
    HtmlText text = "<strong>";
    if (sides) {
        text += team_label(winner);
    } else {
        int k = 0;
        while (k < players && !crowned(ctx, ctx.game_players[static_cast<std::size_t>(order[k])])) ++k;
        if (k == players) return "\xE2\x80\x94";
        text += name_of(ctx.game_players[static_cast<std::size_t>(order[k])]);
    }
    text += "</strong> won";
    return text;
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
    out.print("<td class=\"n\">%s</td>", game_length(ctx.game_info.duration).c_str());
    text_cell(out, HtmlText::utf8(ctx.game_info.end_reason.view()));
    text_cell(out, result_text(ctx, order, players));
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
    out.put("<p class=\"facts\">");
    if (ctx.game_info.start.known()) out.print("%s. ", start_text(ctx.game_info.start).c_str());
    out.print("%s, %s, ended by %s.", type_name(ctx).c_str(), game_length(ctx.game_info.duration).c_str(),
              HtmlText::utf8(ctx.game_info.end_reason.view()).c_str());
    if (ctx.team_results.counted) out.print(" %s.", team_scores(ctx, false).c_str());
    out.print(" Winner: %s.</p>\n", winner_text(ctx, order, players).c_str());
    scoreboard(out, ctx, order, players);
    write_team_chart(out, ctx, number.c_str());
    write_frag_chart(out, ctx, order, players, number.c_str());
    out.put("<p class=\"up\"><a href=\"#games\">All games</a></p>\n</section>\n");
}
