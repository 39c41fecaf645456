#include <algorithm>
#include <cmath>

#include "page_kit.h"
#include "page_writer.h"
#include "site_kit.h"
#include "site_pages.h"

namespace {

constexpr std::size_t LISTED = 10;  // rows of the victims, killers and head-to-head

// The picture's units, as the games' charts have them.
constexpr int WIDTH = 640;
constexpr int HEIGHT = 260;
constexpr int LEFT = 56;
constexpr int RIGHT = 14;
constexpr int TOP = 12;
constexpr int BOTTOM = 34;

// The rating over the player's evenings: a line for mu and one for the
// ranked estimate mu - 3 sigma, after the last rated game of each evening he
// had one. A point per evening, not per game, keeps the site's memory and its
// pictures bounded however many games he plays.
void rating_chart(HtmlWriter& out, const std::vector<RatingStep>& steps, int rated_games) {
    double low = 0;
    double high = 30;
    for (const RatingStep& s : steps) {
        low = std::min(low, s.value.conservative());
        high = std::max(high, s.value.mu);
    }
    const double lowest = std::floor(low / 5.0) * 5.0;
    const double highest = std::ceil(high / 5.0) * 5.0;
    const int evenings = static_cast<int>(steps.size());
    auto x = [&](int evening) { return LEFT + (WIDTH - LEFT - RIGHT) * evening / std::max(evenings, 1); };
    auto y = [&](double value) {
        return static_cast<int>(std::lround(TOP + (highest - value) * (HEIGHT - TOP - BOTTOM) / (highest - lowest)));
    };
    const RatingStep& last = steps.back();
    out.put({"<figure class=\"chart\">\n<svg viewBox=\"0 0 ", WIDTH, " ", HEIGHT,
             "\" role=\"img\">\n<title>Rating after each evening with rated games</title>\n<desc>After ", rated_games,
             rated_games == 1 ? Piece(" rated game") : Piece(" rated games"), " on ", evenings,
             evenings == 1 ? Piece(" evening") : Piece(" evenings"), ": \xCE\xBC ", tenths(last.value.mu),
             ", \xCE\xBC \xE2\x88\x92 3\xCF\x83 ", tenths(last.value.conservative()), ".</desc>\n"});
    const int bottom = HEIGHT - BOTTOM;
    out.put({"<line class=\"axis\" x1=\"", LEFT, "\" y1=\"", TOP, "\" x2=\"", LEFT, "\" y2=\"", bottom, "\"/>\n"});
    out.put({"<line class=\"axis\" x1=\"", LEFT, "\" y1=\"", bottom, "\" x2=\"", WIDTH - RIGHT, "\" y2=\"", bottom,
             "\"/>\n"});
    const int step = highest - lowest > 40 ? 10 : 5;
    for (int v = static_cast<int>(lowest); v <= static_cast<int>(highest); v += step) {
        out.put({"<line class=\"grid\" x1=\"", LEFT, "\" y1=\"", y(v), "\" x2=\"", WIDTH - RIGHT, "\" y2=\"", y(v),
                 "\"/>\n<text class=\"tick\" x=\"", LEFT - 6, "\" y=\"", y(v) + 4, "\" text-anchor=\"end\">", v,
                 "</text>\n"});
    }
    out.put({"<text class=\"tick\" x=\"", (WIDTH + LEFT - RIGHT) / 2, "\" y=\"", HEIGHT - 4,
             "\" text-anchor=\"middle\">evenings with rated games</text>\n<text class=\"tick\" x=\"", LEFT, "\" y=\"",
             bottom + 14, "\" text-anchor=\"middle\">0</text>\n<text class=\"tick\" x=\"", WIDTH - RIGHT, "\" y=\"",
             bottom + 14, "\" text-anchor=\"middle\">", evenings, "</text>\n"});
    for (int line = 0; line < 2; ++line) {
        auto value = [&](const RatingValue& v) { return line == 0 ? v.mu : v.conservative(); };
        const RatingConstants c = rating_constants();
        const RatingValue start{c.mu, c.sigma};
        out.put({"<path class=\"player c", line, "\" d=\"M", x(0), ",", y(value(start))});
        for (int e = 0; e < evenings; ++e)
            out.put({"L", x(e + 1), ",", y(value(steps[static_cast<std::size_t>(e)].value))});
        out.put({"\"/>\n"});
    }
    // One markup piece per line of the legend.
    constexpr Markup mu_key =
        "</svg>\n<figcaption><ul class=\"legend\">\n"
        "<li><span class=\"key c0\" aria-hidden=\"true\">\xE2\x94\x81\xE2\x94\x81</span>skill \xCE\xBC "
        "<span class=\"n\">";
    constexpr Markup estimate_key =
        "</span></li>\n"
        "<li><span class=\"key c1\" aria-hidden=\"true\">\xE2\x94\x81\xE2\x94\x81</span>ranked estimate "
        "\xCE\xBC \xE2\x88\x92 3\xCF\x83 <span class=\"n\">";
    out.put({mu_key, tenths(last.value.mu), estimate_key, tenths(last.value.conservative()),
             "</span></li>\n</ul></figcaption>\n</figure>\n"});
}

void rating_section(HtmlWriter& out, const SiteData& data, const SiteRatings& ratings, int player) {
    const SitePlayer& p = data.players[static_cast<std::size_t>(player)];
    out.put({"<section id=\"rating\">\n<h2>Rating</h2>\n"});
    const std::vector<RatingStep>& steps = ratings.steps[static_cast<std::size_t>(player)];
    if (p.bot) {
        out.put({"<p class=\"facts\">A bot: bots are never rated, but their kills and deaths count.</p>\n"});
    } else if (steps.empty()) {
        out.put({"<p class=\"facts\">Not rated yet: a game rates its humans when it has at least two.</p>\n"});
    } else {
        const Ranking& overall = ratings.rankings.front();
        const int rated_games = overall.rated_games_of[static_cast<std::size_t>(player)];
        out.put({"<p class=\"facts\">Rating ", rating_text(overall.values[static_cast<std::size_t>(player)]), " after ",
                 rated_games, " rated games"});
        const auto at = std::find(overall.order.begin(), overall.order.end(), player);
        if (at != overall.order.end())
            out.put({", rank ", static_cast<long long>(at - overall.order.begin() + 1), " of ",
                     static_cast<long long>(overall.order.size()), ".</p>\n"});
        else
            out.put({"; ranked from ", ratings.min_games, " rated games on.</p>\n"});
        rating_chart(out, steps, rated_games);
    }
    out.put({"</section>\n"});
}

void types_table(HtmlWriter& out, const SitePlayer& p) {
    out.put(
        {"<section id=\"types\">\n<h2>Game types</h2>\n<div class=\"scroll\"><table id=\"by-type\">\n"
         "<thead><tr>"});
    header_cell(out, "Type", nullptr, false);
    header_cell(out, "Games");
    header_cell(out, "Wins");
    header_cell(out, "Win %", "Win share");
    header_cell(out, "Score");
    header_cell(out, "Kills");
    header_cell(out, "Deaths");
    header_cell(out, "K/D", "Kills per death");
    header_cell(out, "Sui.", "Suicides");
    header_cell(out, "Time", "Time played");
    out.put({"</tr></thead>\n<tbody>\n"});
    auto row = [&](const HtmlText& name, const Totals& t, bool total) {
        out.put({total ? Piece("<tr class=\"winner\"><th scope=\"row\">") : Piece("<tr><th scope=\"row\">"), name,
                 "</th><td class=\"n\">", t.games, "</td><td class=\"n\">", t.wins, "</td>"});
        share_cell(out, t.wins, t.games);
        out.put({"<td class=\"n\">", t.score, "</td><td class=\"n\">", t.kills, "</td><td class=\"n\">", t.deaths,
                 "</td>"});
        kills_per_death_cell(out, t.kills, t.deaths);
        out.put({"<td class=\"n\">", t.suicides, "</td><td class=\"n\">", game_length(static_cast<int>(t.seconds)),
                 "</td></tr>\n"});
    };
    for (const auto& [type, totals] : p.by_type) row(history_text(type), totals, false);
    row("All games", p.totals, true);
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

void weapons_table(HtmlWriter& out, const SitePlayer& p) {
    out.put(
        {"<section id=\"weapons\">\n<h2>Favourite weapons</h2>\n<div class=\"scroll\"><table "
         "id=\"favourite-weapons\">\n"
         "<thead><tr>"});
    header_cell(out, "Weapon", nullptr, false);
    header_cell(out, "Kills");
    out.put({"</tr></thead>\n<tbody>\n"});
    for (const Count& w : p.weapons)
        out.put({"<tr><th scope=\"row\">", history_text(w.name), "</th><td class=\"n\">", w.count, "</td></tr>\n"});
    if (p.weapons.empty()) out.put({"<tr><td colspan=\"2\">No kill of another player.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

// The players he met most, by a count (his kills of them, theirs of him, or
// both), the largest first.
void duels_table(HtmlWriter& out, const SiteData& data, const SitePlayer& p, Markup id, Markup heading, int by) {
    std::vector<Duel> duels = p.duels;
    auto count = [by](const Duel& d) { return by == 0 ? d.kills : by == 1 ? d.deaths : d.kills + d.deaths; };
    std::stable_sort(duels.begin(), duels.end(), [&](const Duel& a, const Duel& b) { return count(a) > count(b); });
    out.put({"<section id=\"", id, "\">\n<h2>", heading, "</h2>\n<div class=\"scroll\"><table id=\"", id,
             "-table\">\n<thead><tr>"});
    header_cell(out, "Player", nullptr, false);
    header_cell(out, "Kills", "His kills of the player");
    header_cell(out, "Deaths", "The player's kills of him");
    if (by == 2) header_cell(out, "Balance", "Kills less deaths");
    out.put({"</tr></thead>\n<tbody>\n"});
    std::size_t shown = 0;
    for (const Duel& d : duels) {
        if (shown == LISTED || count(d) == 0) break;
        ++shown;
        out.put({"<tr><th scope=\"row\">"});
        player_link(out, data, d.other, "../");
        out.put({"</th><td class=\"n\">", d.kills, "</td><td class=\"n\">", d.deaths, "</td>"});
        if (by == 2) out.put({"<td class=\"n\">", d.kills - d.deaths, "</td>"});
        out.put({"</tr>\n"});
    }
    if (shown == 0) out.put({"<tr><td colspan=\"3\">Nobody.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

}  // namespace

std::string player_page(const SiteData& data, const SiteRatings& ratings, int player) {
    const SitePlayer& p = data.players[static_cast<std::size_t>(player)];
    StringOutput text;
    HtmlWriter out(text);
    HtmlText title = history_text(p.name);
    title += " \xE2\x80\x93 Unreal Tournament";
    HtmlText facts = p.bot ? HtmlText("A bot. ") : HtmlText("");
    facts += HtmlText::number(static_cast<int>(p.totals.games));
    facts += p.totals.games == 1 ? HtmlText(" game on ") : HtmlText(" games on ");
    facts += HtmlText::number(static_cast<int>(p.evenings.size()));
    facts += p.evenings.size() == 1 ? HtmlText(" evening. ") : HtmlText(" evenings. ");
    facts += "<a href=\"../index.html\">The rankings</a>";
    page_head(out, title, history_text(p.name), facts);
    rating_section(out, data, ratings, player);
    types_table(out, p);
    weapons_table(out, p);
    duels_table(out, data, p, "victims", "Victims", 0);
    duels_table(out, data, p, "killers", "Killers", 1);
    duels_table(out, data, p, "head-to-head", "Head to head", 2);
    out.put({"<section id=\"names\">\n<h2>Names</h2>\n"});
    if (p.merged.empty()) {
        out.put({"<p>Always played as ", history_text(p.name), ".</p>\n"});
    } else {
        out.put({"<p>Also played as:</p>\n<ul>\n"});
        for (const std::string& name : p.merged) out.put({"<li>", history_text(name), "</li>\n"});
        out.put({"</ul>\n"});
    }
    out.put({"</section>\n<section id=\"evenings\">\n<h2>Evenings</h2>\n<ul class=\"legend\">\n"});
    for (std::size_t k = p.evenings.size(); k-- > 0;) {
        out.put({"<li>"});
        evening_link(out, p.evenings[k], "../");
        out.put({"</li>\n"});
    }
    out.put({"</ul>\n</section>\n"});
    page_foot(out);
    return text.text;
}
