#include <algorithm>

#include "page_kit.h"
#include "page_writer.h"
#include "site_kit.h"
#include "site_pages.h"

namespace {

constexpr std::size_t LISTED = 10;  // rows of the players who won most

// The result as the evening's table of games shows it: the teams' scores,
// the winning team, or the winner.
void result_cell(HtmlWriter& out, const SiteData& data, const MapGame& game) {
    out.put({"<td>"});
    if (game.playing != 0) {
        bool first = true;
        for (int t = 0; t < 4; ++t) {
            if ((game.playing & (1u << t)) == 0) continue;
            out.put({first ? Piece("") : Piece(", "), team_colour(t), " ", game.scores[static_cast<std::size_t>(t)]});
            first = false;
        }
    } else if (!game.winner_team.empty()) {
        out.put({team_label(Text(game.winner_team)), " won"});
    } else if (game.winner >= 0) {
        player_link(out, data, data.index_of(game.winner), "../");
        out.put({" won"});
    } else {
        out.put({"\xE2\x80\x94"});
    }
    out.put({"</td>"});
}

void games_table(HtmlWriter& out, const SiteData& data, const SiteMap& map) {
    const std::size_t shown = std::min(map.recent.size(), MAP_GAMES);
    out.put({"<section id=\"games-list\">\n<h2>Games</h2>\n"});
    if (map.games > static_cast<long long>(shown))
        out.put({"<p class=\"facts\">The last ", static_cast<long long>(shown), " of ", map.games,
                 ", the latest first.</p>\n"});
    out.put({"<div class=\"scroll\"><table id=\"games\">\n<thead><tr>"});
    header_cell(out, "Game", nullptr, false);
    header_cell(out, "Type", nullptr, false);
    header_cell(out, "Length");
    header_cell(out, "Result", nullptr, false);
    out.put({"</tr></thead>\n<tbody>\n"});
    for (std::size_t k = map.recent.size(); k-- > map.recent.size() - shown;) {
        const MapGame& game = map.recent[k];
        out.put({"<tr><th scope=\"row\">"});
        game_link(out, game.game.evening, game.game.number, "../");
        out.put({"</th><td>", history_text(game.type), "</td><td class=\"n\">", game_length(game.length), "</td>"});
        result_cell(out, data, game);
        out.put({"</tr>\n"});
    }
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

// Who was crowned most often on the map, and how often each team won.
void winners_table(HtmlWriter& out, const SiteData& data, const SiteMap& map) {
    std::vector<std::pair<long long, long long>> wins(map.wins.begin(), map.wins.end());
    std::stable_sort(wins.begin(), wins.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    out.put(
        {"<section id=\"winners\">\n<h2>Winners</h2>\n<div class=\"scroll\"><table id=\"map-winners\">\n"
         "<thead><tr>"});
    header_cell(out, "Winner", nullptr, false);
    header_cell(out, "Wins", "Games won on the map, alone or with the team");
    out.put({"</tr></thead>\n<tbody>\n"});
    std::size_t shown = 0;
    for (const auto& [team, count] : map.team_wins)
        out.put({"<tr><th scope=\"row\">", team_label(Text(team)), "</th><td class=\"n\">", count, "</td></tr>\n"});
    for (const auto& [player, count] : wins) {
        if (shown++ == LISTED || count == 0) break;
        out.put({"<tr><th scope=\"row\">"});
        player_link(out, data, data.index_of(player), "../");
        out.put({"</th><td class=\"n\">", count, "</td></tr>\n"});
    }
    if (wins.empty() && map.team_wins.empty()) out.put({"<tr><td colspan=\"2\">Nobody yet.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

}  // namespace

std::string map_page(const SiteData& data, const SiteMap& map) {
    StringOutput text;
    HtmlWriter out(text);
    HtmlText title = history_text(map.name);
    title += " \xE2\x80\x93 Unreal Tournament";
    HtmlText facts = HtmlText::number(static_cast<int>(map.games));
    facts += map.games == 1 ? HtmlText(" game") : HtmlText(" games");
    if (!map.last_evening.empty()) {
        facts += ", the last on ";
        facts += evening_text(map.last_evening);
    }
    facts += ". <a href=\"../index.html\">The rankings</a>";
    page_head(out, title, history_text(map.name), facts);
    games_table(out, data, map);
    winners_table(out, data, map);
    records_table(out, data, map.records, "../");
    page_foot(out);
    return text.text;
}
