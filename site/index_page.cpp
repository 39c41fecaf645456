#include <cstdio>

#include "page_kit.h"
#include "page_writer.h"
#include "site_kit.h"
#include "site_pages.h"

namespace {

// The table of one ranking: its place, the player, the rating as mu - 3
// sigma with mu and sigma, then the player's figures over the history.
void ranking_table(HtmlWriter& out, const SiteData& data, const Ranking& ranking, const HtmlText& id) {
    out.put({"<div class=\"scroll\"><table id=\"", id, "\">\n<thead><tr>"});
    header_cell(out, "Rank", nullptr, false);
    header_cell(out, "Player", nullptr, false);
    header_cell(out, "Rating", "Rating: \xCE\xBC \xE2\x88\x92 3\xCF\x83 (\xCE\xBC \xC2\xB1 \xCF\x83)");
    header_cell(out, "Games");
    header_cell(out, "Evenings");
    header_cell(out, "Wins");
    header_cell(out, "Win %", "Win share");
    header_cell(out, "Kills");
    header_cell(out, "Deaths");
    header_cell(out, "K/D", "Kills per death");
    header_cell(out, "Sui.", "Suicides");
    header_cell(out, "Time", "Time played");
    header_cell(out, "Last evening", nullptr, false);
    out.put({"</tr></thead>\n<tbody>\n"});
    const int ranked = static_cast<int>(ranking.order.size());
    for (int rank = 0; rank < ranked; ++rank) {
        const int p = ranking.order[static_cast<std::size_t>(rank)];
        const SitePlayer& player = data.players[static_cast<std::size_t>(p)];
        const bool overall = ranking.type_name.empty();
        const auto found = player.by_type.find(ranking.type_name);
        const Totals& totals = overall || found == player.by_type.end() ? player.totals : found->second;
        out.put({"<tr><td class=\"n\">", rank + 1, " of ", ranked, "</td><th scope=\"row\">"});
        player_link(out, data, p, "");
        out.put({"</th><td class=\"n\">", rating_text(ranking.values[static_cast<std::size_t>(p)]), "</td>"});
        out.put({"<td class=\"n\">", totals.games, "</td><td class=\"n\">",
                 static_cast<long long>(player.evenings.size()), "</td><td class=\"n\">", totals.wins, "</td>"});
        share_cell(out, totals.wins, totals.games);
        out.put({"<td class=\"n\">", totals.kills, "</td><td class=\"n\">", totals.deaths, "</td>"});
        kills_per_death_cell(out, totals.kills, totals.deaths);
        out.put({"<td class=\"n\">", totals.suicides, "</td><td class=\"n\">",
                 game_length(static_cast<int>(totals.seconds)), "</td><td>"});
        if (!player.evenings.empty())
            evening_link(out, player.evenings.back(), "");
        else
            out.put({"\xE2\x80\x94"});
        out.put({"</td></tr>\n"});
    }
    if (ranked == 0) out.put({"<tr><td colspan=\"13\">No player has enough rated games yet.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n"});
}

// Every number the ratings use, so that a reader can check them.
void rating_rules(HtmlWriter& out, const SiteRatings& ratings) {
    const RatingConstants c = rating_constants();
    char text[1024];
    std::snprintf(
        text, sizeof text,
        "Only humans are rated; bots never are, but their kills and deaths count in every figure. "
        "A rating is a skill \xCE\xBC with its uncertainty \xCF\x83 (Weng and Lin, Plackett\xE2\x80\x93Luce): "
        "\xCE\xBC = %g and \xCF\x83 = %.4g to start, \xCE\xB2 = %.4g, \xCE\xBA = %g. "
        "Players are ranked by \xCE\xBC \xE2\x88\x92 %g\xCF\x83 after %d rated games. "
        "For every evening a rated player misses, \xCF\x83 grows by \xCF\x84 = %.4g, up to %.4g. "
        "A game rates its humans by their places among the humans, or, in team games, by the team "
        "results for the team a human spent the most time on (at least %g%% of the game). "
        "A game type gets a ranking of its own from %d rated games.",
        c.mu, c.sigma, c.beta, c.kappa, c.ranking_sigmas, ratings.min_games, c.tau, c.max_sigma,
        100.0 * c.min_share_on_team, c.min_games_per_type);
    out.put({"<p class=\"facts\">", HtmlText::escape(text), "</p>\n"});
}

// The id of a ranking of a game type: "ranking-" and the type in the
// letters of a file name.
HtmlText type_id(const std::string& type_name) {
    std::string id = "ranking-";
    bool dash = false;
    for (char c : type_name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        const bool upper = c >= 'A' && c <= 'Z';
        if (letter || upper) {
            if (dash && id.back() != '-') id += '-';
            dash = false;
            id += upper ? static_cast<char>(c - 'A' + 'a') : c;
        } else {
            dash = true;
        }
    }
    return HtmlText::escape(id);
}

void evenings_table(HtmlWriter& out, const SiteData& data) {
    out.put(
        {"<section id=\"evenings-list\">\n<h2>Evenings</h2>\n<div class=\"scroll\"><table id=\"evenings\">\n"
         "<thead><tr>"});
    header_cell(out, "Date", nullptr, false);
    header_cell(out, "Games");
    header_cell(out, "Players");
    header_cell(out, "Best player", "Best player: the most points of the evening", false);
    out.put({"</tr></thead>\n<tbody>\n"});
    // The latest evening first: the one a reader comes for.
    for (std::size_t k = data.evenings.size(); k-- > 0;) {
        const SiteEvening& e = data.evenings[k];
        out.put({"<tr><th scope=\"row\">"});
        evening_link(out, e.date, "");
        out.put({"</th><td class=\"n\">", e.games, "</td><td class=\"n\">", e.players, "</td><td>"});
        player_link(out, data, e.best, "");
        if (e.best >= 0) out.put({" <span class=\"count\">(", e.best_score, ")</span>"});
        out.put({"</td></tr>\n"});
    }
    if (data.evenings.empty()) out.put({"<tr><td colspan=\"4\">No evening yet.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

void record_row(HtmlWriter& out, const SiteData& data, Markup what, const GameFeat& feat, bool length) {
    out.put({"<tr><th scope=\"row\">", what, "</th>"});
    if (!feat.found) {
        out.put({"<td class=\"n\">\xE2\x80\x94</td><td>\xE2\x80\x94</td><td>\xE2\x80\x94</td></tr>\n"});
        return;
    }
    if (length)
        out.put({"<td class=\"n\">", game_length(static_cast<int>(feat.value)), "</td><td>"});
    else
        out.put({"<td class=\"n\">", feat.value, "</td><td>"});
    player_link(out, data, feat.player, "");
    out.put({"</td><td>", history_text(feat.map), " \xE2\x80\x94 "});
    if (feat.evening.empty())
        out.put({"undated"});
    else
        game_link(out, feat.evening, feat.number, "");
    out.put({"</td></tr>\n"});
}

void records_table(HtmlWriter& out, const SiteData& data) {
    const SiteRecords& r = data.records;
    out.put(
        {"<section id=\"records-list\">\n<h2>Records</h2>\n<div class=\"scroll\"><table id=\"records\">\n"
         "<thead><tr>"});
    header_cell(out, "Record", nullptr, false);
    header_cell(out, "Value");
    header_cell(out, "Player", nullptr, false);
    header_cell(out, "Game", nullptr, false);
    out.put({"</tr></thead>\n<tbody>\n"});
    record_row(out, data, "Most frags in a game", r.most_frags, false);
    record_row(out, data, "Most kills per hour (games of 5 minutes and more)", r.best_killrate, false);
    record_row(out, data, "Best TS-factor", r.best_ts, false);
    record_row(out, data, "Most flag captures", r.most_captures, false);
    record_row(out, data, "Longest game", r.longest, true);
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

void maps_table(HtmlWriter& out, const SiteData& data) {
    out.put({"<section id=\"maps-list\">\n<h2>Maps</h2>\n<div class=\"scroll\"><table id=\"maps\">\n<thead><tr>"});
    header_cell(out, "Map", nullptr, false);
    header_cell(out, "Games");
    header_cell(out, "Most wins", nullptr, false);
    out.put({"</tr></thead>\n<tbody>\n"});
    for (const SiteMap& map : data.maps) {
        out.put({"<tr><th scope=\"row\">", history_text(map.name), "</th><td class=\"n\">", map.games, "</td><td>"});
        player_link(out, data, map.best, "");
        if (map.best >= 0) out.put({" <span class=\"count\">(", map.best_wins, ")</span>"});
        out.put({"</td></tr>\n"});
    }
    if (data.maps.empty()) out.put({"<tr><td colspan=\"3\">No game yet.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

void totals_table(HtmlWriter& out, const SiteData& data) {
    const Totals& t = data.totals;
    long long humans = 0;
    for (const SitePlayer& p : data.players) humans += p.bot ? 0 : 1;
    constexpr Markup head =
        "<section id=\"totals-list\">\n<h2>Totals</h2>\n<div class=\"scroll\"><table id=\"totals\">\n<tbody>\n"
        "<tr><th scope=\"row\">Games</th><td class=\"n\">";
    out.put(
        {head, t.games, "</td></tr>\n<tr><th scope=\"row\">Evenings</th><td class=\"n\">",
         static_cast<long long>(data.evenings.size()), "</td></tr>\n<tr><th scope=\"row\">Players</th><td class=\"n\">",
         static_cast<long long>(data.players.size()), "</td></tr>\n<tr><th scope=\"row\">Humans</th><td class=\"n\">",
         humans, "</td></tr>\n<tr><th scope=\"row\">Time played</th><td class=\"n\">",
         game_length(static_cast<int>(t.seconds)), "</td></tr>\n<tr><th scope=\"row\">Kills</th><td class=\"n\">",
         t.kills, "</td></tr>\n<tr><th scope=\"row\">Deaths</th><td class=\"n\">", t.deaths,
         "</td></tr>\n<tr><th scope=\"row\">Suicides</th><td class=\"n\">", t.suicides, "</td></tr>\n"});
    if (data.undated_games > 0)
        out.put(
            {"<tr><th scope=\"row\">Games without a date</th><td class=\"n\">", data.undated_games, "</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

void players_list(HtmlWriter& out, const SiteData& data) {
    out.put({"<section id=\"players\">\n<h2>Every player</h2>\n<ul class=\"legend\">\n"});
    for (std::size_t p = 0; p < data.players.size(); ++p) {
        out.put({"<li>"});
        player_link(out, data, static_cast<int>(p), "");
        out.put({"</li>\n"});
    }
    out.put({"</ul>\n</section>\n"});
}

}  // namespace

std::string index_page(const SiteData& data, const SiteRatings& ratings) {
    StringOutput text;
    HtmlWriter out(text);
    HtmlText facts = HtmlText::number(static_cast<int>(data.totals.games));
    facts += data.totals.games == 1 ? HtmlText(" game on ") : HtmlText(" games on ");
    facts += HtmlText::number(static_cast<int>(data.evenings.size()));
    facts += data.evenings.size() == 1 ? HtmlText(" evening, ") : HtmlText(" evenings, ");
    facts += HtmlText::number(static_cast<int>(data.players.size()));
    facts += data.players.size() == 1 ? HtmlText(" player.") : HtmlText(" players.");
    page_head(out, "Rankings \xE2\x80\x93 Unreal Tournament", "Rankings", facts);
    out.put({"<section id=\"rankings\">\n<h2>Ranking</h2>\n"});
    rating_rules(out, ratings);
    ranking_table(out, data, ratings.rankings.front(), "ranking");
    out.put({"</section>\n"});
    for (std::size_t k = 1; k < ratings.rankings.size(); ++k) {
        const Ranking& ranking = ratings.rankings[k];
        const HtmlText id = type_id(ranking.type_name);
        out.put({"<section id=\"", id, "-section\">\n<h2>Ranking of ", history_text(ranking.type_name),
                 "</h2>\n<p class=\"facts\">", ranking.rated_games, " rated games.</p>\n"});
        ranking_table(out, data, ranking, id);
        out.put({"</section>\n"});
    }
    evenings_table(out, data);
    records_table(out, data);
    maps_table(out, data);
    totals_table(out, data);
    players_list(out, data);
    page_foot(out);
    return text.text;
}
