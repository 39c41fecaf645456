#include <algorithm>
#include <cmath>

#include "chart.h"
#include "page_kit.h"
#include "page_writer.h"
#include "site_kit.h"
#include "site_pages.h"

namespace {

constexpr std::size_t LISTED = 10;  // rows of the victims, killers and head-to-head
constexpr std::size_t FAVOURITE_WEAPONS = 5;

// The rating over the player's evenings: a line for mu and one for the
// ranked estimate mu - 3 sigma, after the last rated game of each evening he
// had one. A point per evening, not per game, and his last evenings only,
// keep the site's memory and its pictures bounded however many games he
// plays. The line starts at a new player's rating when it shows all his
// evenings.
void rating_chart(HtmlWriter& out, const std::vector<RatingStep>& steps, int rated_games) {
    const bool all = steps.size() < CHART_EVENINGS;
    double low = 0;
    double high = 30;
    for (const RatingStep& s : steps) {
        low = std::min(low, s.value.conservative());
        high = std::max(high, s.value.mu);
    }
    const double lowest = std::floor(low / 5.0) * 5.0;
    const double highest = std::ceil(high / 5.0) * 5.0;
    const int evenings = static_cast<int>(steps.size());
    const int from = all ? 0 : 1;  // the x of the first step
    auto x = [&](int evening) {
        return ChartFrame::left + (ChartFrame::width - ChartFrame::left - ChartFrame::right) * (evening - from) /
                                      std::max(evenings - from, 1);
    };
    auto y = [&](double value) {
        return static_cast<int>(std::lround(
            ChartFrame::top +
            (highest - value) * (ChartFrame::height - ChartFrame::top - ChartFrame::bottom) / (highest - lowest)));
    };
    const RatingStep& last = steps.back();
    out.put({"<figure class=\"chart\">\n<svg viewBox=\"0 0 ", ChartFrame::width, " ", ChartFrame::height,
             "\" role=\"img\">\n<title>Rating after each evening with rated games",
             all ? Piece("") : Piece(", the last ones"), "</title>\n<desc>After ", rated_games,
             rated_games == 1 ? Piece(" rated game") : Piece(" rated games"), " on ", evenings,
             evenings == 1 ? Piece(" evening") : Piece(" evenings"), ": \xCE\xBC ", tenths(last.value.mu),
             ", \xCE\xBC \xE2\x88\x92 3\xCF\x83 ", tenths(last.value.conservative()), ".</desc>\n"});
    const int bottom = ChartFrame::height - ChartFrame::bottom;
    out.put({"<line class=\"axis\" x1=\"", ChartFrame::left, "\" y1=\"", ChartFrame::top, "\" x2=\"", ChartFrame::left,
             "\" y2=\"", bottom, "\"/>\n"});
    out.put({"<line class=\"axis\" x1=\"", ChartFrame::left, "\" y1=\"", bottom, "\" x2=\"",
             ChartFrame::width - ChartFrame::right, "\" y2=\"", bottom, "\"/>\n"});
    const int step = highest - lowest > 40 ? 10 : 5;
    for (int v = static_cast<int>(lowest); v <= static_cast<int>(highest); v += step) {
        out.put({"<line class=\"grid\" x1=\"", ChartFrame::left, "\" y1=\"", y(v), "\" x2=\"",
                 ChartFrame::width - ChartFrame::right, "\" y2=\"", y(v), "\"/>\n<text class=\"tick\" x=\"",
                 ChartFrame::left - 6, "\" y=\"", y(v) + 4, "\" text-anchor=\"end\">", v, "</text>\n"});
    }
    out.put({"<text class=\"tick\" x=\"", (ChartFrame::width + ChartFrame::left - ChartFrame::right) / 2, "\" y=\"",
             ChartFrame::height - 4,
             "\" text-anchor=\"middle\">evenings with rated games</text>\n<text class=\"tick\" x=\"", ChartFrame::left,
             "\" y=\"", bottom + 14, "\" text-anchor=\"middle\">", from, "</text>\n<text class=\"tick\" x=\"",
             ChartFrame::width - ChartFrame::right, "\" y=\"", bottom + 14, "\" text-anchor=\"middle\">", evenings,
             "</text>\n"});
    for (int line = 0; line < 2; ++line) {
        auto value = [&](const RatingValue& v) { return line == 0 ? v.mu : v.conservative(); };
        const RatingConstants c = rating_constants();
        const RatingValue start{c.mu, c.sigma};
        const RatingValue& first = all ? start : steps.front().value;
        out.put({"<path class=\"player c", line, "\" d=\"M", x(from), ",", y(value(first))});
        for (int e = from; e < evenings; ++e)
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

// His rating after his last evening with a rated game, never counting the
// evenings since: his page changes only when he plays. The ranking, which
// counts them, is on the index.
void rating_section(HtmlWriter& out, const SiteRatings& ratings, const SitePlayer& p, int player) {
    out.put({"<section id=\"rating\">\n<h2>Rating</h2>\n"});
    const std::vector<RatingStep>& steps = ratings.steps[static_cast<std::size_t>(player)];
    if (p.bot) {
        out.put(
            {"<p class=\"facts\">A bot: the ratings take it as an opponent at each of its skills "
             "(<a href=\"../index.html#bots\">the bots</a>), and never rank it.</p>\n"});
    } else if (steps.empty()) {
        out.put(
            {"<p class=\"facts\">Not rated yet: a game rates the players who were in it for half of it, "
             "when a human and another player (or two teams) were.</p>\n"});
    } else {
        const Ranking& overall = ratings.rankings.front();
        const int rated_games = overall.rated_games_of[static_cast<std::size_t>(player)];
        out.put({"<p class=\"facts\">Rating ", rating_text(ratings.last[static_cast<std::size_t>(player)]), " after ",
                 rated_games, rated_games == 1 ? Piece(" rated game") : Piece(" rated games")});
        out.put(
            {", on his last evening with one. <a href=\"../index.html#rankings\">The ranking</a> counts the "
             "evenings he missed since.</p>\n"});
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
    header_cell(out, "Win %", "Share of the games won");
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

// His five weapons of the most kills, the same counts by their names.
void weapons_table(HtmlWriter& out, const SitePlayer& p) {
    std::vector<Count> weapons;
    for (const auto& [name, kills] : p.weapons)
        if (kills > 0) weapons.push_back(Count{name, kills});
    std::stable_sort(weapons.begin(), weapons.end(), [](const Count& a, const Count& b) { return a.count > b.count; });
    if (weapons.size() > FAVOURITE_WEAPONS) weapons.resize(FAVOURITE_WEAPONS);
    out.put(
        {"<section id=\"weapons\">\n<h2>Favourite weapons</h2>\n<div class=\"scroll\"><table "
         "id=\"favourite-weapons\">\n"
         "<thead><tr>"});
    header_cell(out, "Weapon", nullptr, false);
    header_cell(out, "Kills");
    out.put({"</tr></thead>\n<tbody>\n"});
    for (const Count& w : weapons)
        out.put({"<tr><th scope=\"row\">", history_text(w.name), "</th><td class=\"n\">", w.count, "</td></tr>\n"});
    if (weapons.empty()) out.put({"<tr><td colspan=\"2\">No kill of another player.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

// His moments over all his games: each figure he has, and his best spree
// with the game it was in.
void moments_table(HtmlWriter& out, const SitePlayer& p) {
    const MomentTotals& m = p.moments;
    const struct {
        Markup name;
        long long count;
    } rows[] = {
        {"First blood", m.first_blood},
        {"Killing Spree", m.sprees[0]},
        {"Rampage", m.sprees[1]},
        {"Dominating", m.sprees[2]},
        {"Unstoppable", m.sprees[3]},
        {"Godlike", m.sprees[4]},
        {"Double Kill", m.multis[0]},
        {"Multi Kill", m.multis[1]},
        {"Ultra Kill", m.multis[2]},
        {"Monster Kill", m.multis[3]},
        {"Flags taken", m.flags_taken},
        {"Flags picked up", m.flags_picked_up},
        {"Flags dropped", m.flags_dropped},
        {"Flags returned", m.flags_returned},
        {"Flags captured", m.flags_captured},
        {"Carrier kills", m.carrier_kills},
    };
    out.put({"<section id=\"moments\">\n<h2>Moments</h2>\n"});
    if (p.best_spree.found) {
        out.put({"<p>Best spree: ", p.best_spree.value, p.best_spree.value == 1 ? Piece(" kill, ") : Piece(" kills, "),
                 history_text(p.best_spree.game.map), " \xE2\x80\x94 "});
        game_link(out, p.best_spree.game.evening, p.best_spree.game.number, "../");
        out.put({".</p>\n"});
    }
    out.put({"<div class=\"scroll\"><table class=\"moments\" id=\"career-moments\">\n<thead><tr>"});
    header_cell(out, "Moment", nullptr, false);
    header_cell(out, "Count");
    out.put({"</tr></thead>\n<tbody>\n"});
    bool any = false;
    for (const auto& row : rows) {
        if (row.count == 0) continue;
        any = true;
        out.put({"<tr><th scope=\"row\">", row.name, "</th><td class=\"n\">", row.count, "</td></tr>\n"});
    }
    if (!any) out.put({"<tr><td colspan=\"2\">None yet.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

// His shots, hits and damage by weapon, over the games whose logs give them.
void accuracy_table(HtmlWriter& out, const SitePlayer& p) {
    if (p.accuracy.empty()) return;
    out.put(
        {"<section id=\"accuracy\">\n<h2>Accuracy</h2>\n<div class=\"scroll\"><table class=\"accuracy\" "
         "id=\"career-accuracy\">\n<thead><tr>"});
    header_cell(out, "Weapon", nullptr, false);
    accuracy_head_cells(out);
    for (const auto& [weapon, t] : p.accuracy) {
        out.put({"<tr><th scope=\"row\">", history_text(weapon), "</th><td class=\"n\">", t.shots,
                 "</td><td class=\"n\">", t.hits, "</td><td class=\"n\">"});
        if (t.shots > 0)
            out.put({Tenths{static_cast<int>((t.hits * 2000 / t.shots + 1) / 2)}});
        else
            out.put({"\xE2\x80\x94"});
        out.put({"</td><td class=\"n\">", t.damage, "</td></tr>\n"});
    }
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

// The players he met most, by a count (his kills of them, theirs of him, or
// both), the largest first.
void duels_table(HtmlWriter& out, const SiteData& data, const SitePlayer& p, Markup id, Markup heading, int by) {
    // Equal counts by kills and deaths together, then by the other's id.
    std::vector<Duel> duels;
    for (const auto& [other, duel] : p.duels) duels.push_back(duel);
    std::stable_sort(duels.begin(), duels.end(),
                     [](const Duel& a, const Duel& b) { return a.kills + a.deaths > b.kills + b.deaths; });
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
        player_link(out, data, data.index_of(d.other), "../");
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
    facts += HtmlText::number(static_cast<int>(p.totals.evenings));
    facts += p.totals.evenings == 1 ? HtmlText(" evening. ") : HtmlText(" evenings. ");
    facts += "<a href=\"../index.html\">The rankings</a>";
    page_head(out, title, history_text(p.name), facts);
    rating_section(out, ratings, p, player);
    types_table(out, p);
    weapons_table(out, p);
    moments_table(out, p);
    accuracy_table(out, p);
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
    out.put({"</section>\n<section id=\"evenings\">\n<h2>Evenings</h2>\n"});
    if (p.totals.evenings > static_cast<long long>(p.recent_evenings.size()))
        out.put({"<p class=\"facts\">The last ", static_cast<long long>(p.recent_evenings.size()), " of ",
                 p.totals.evenings, ".</p>\n"});
    out.put({"<ul class=\"legend\">\n"});
    for (std::size_t k = p.recent_evenings.size(); k-- > 0;) {
        out.put({"<li>"});
        evening_link(out, p.recent_evenings[k], "../");
        out.put({"</li>\n"});
    }
    out.put({"</ul>\n</section>\n"});
    page_foot(out);
    return text.text;
}
