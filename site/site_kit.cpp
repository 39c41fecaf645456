#include "site_kit.h"

#include <cmath>
#include <cstdio>

#include "latin1_text.h"
#include "page_kit.h"

HtmlText history_text(const std::string& utf8) { return HtmlText::utf8(latin1_of_utf8(utf8)); }

void player_link(HtmlWriter& out, const SiteData& data, int player, Markup up) {
    if (player < 0) {
        out.put({"\xE2\x80\x94"});
        return;
    }
    const SitePlayer& p = data.players[static_cast<std::size_t>(player)];
    out.put({"<a href=\"", up, "players/", HtmlText::escape(p.file), ".html\">", history_text(p.name), "</a>"});
    if (p.bot) out.put({" <span class=\"badge\">bot</span>"});
}

void map_link(HtmlWriter& out, const SiteData& data, const std::string& map, Markup up) {
    for (const SiteMap& m : data.maps)
        if (m.name == map) {
            out.put({"<a href=\"", up, "maps/", HtmlText::escape(m.file), ".html\">", history_text(map), "</a>"});
            return;
        }
    out.put({history_text(map)});
}

void evening_link(HtmlWriter& out, const std::string& evening, Markup up) {
    out.put({"<a href=\"", up, "evenings/", HtmlText::escape(evening), ".html\">", evening_text(evening), "</a>"});
}

void game_link(HtmlWriter& out, const std::string& evening, int number, Markup up) {
    char id[16];
    std::snprintf(id, sizeof id, "%02d", number);
    const HtmlText game = HtmlText::escape(id);
    out.put({"<a href=\"", up, "evenings/", HtmlText::escape(evening), ".html#game-", game, "\">",
             evening_text(evening), ", game ", game, "</a>"});
}

void evenings_table(HtmlWriter& out, const SiteData& data, std::size_t from, std::size_t to, Markup up) {
    out.put({"<div class=\"scroll\"><table id=\"evenings\">\n<thead><tr>"});
    header_cell(out, "Date", nullptr, false);
    header_cell(out, "Games");
    header_cell(out, "Players");
    header_cell(out, "Best player", "The human of the most points of the evening", false);
    out.put({"</tr></thead>\n<tbody>\n"});
    for (std::size_t k = to; k-- > from;) {
        const SiteEvening& e = data.evenings[k];
        out.put({"<tr><th scope=\"row\">"});
        evening_link(out, e.date, up);
        out.put({"</th><td class=\"n\">", e.games, "</td><td class=\"n\">", e.players, "</td><td>"});
        player_link(out, data, data.index_of(e.best), up);
        if (e.best >= 0)
            out.put({" <span class=\"count\">(", e.best_score,
                     e.best_score == 1 ? Piece(" point)</span>") : Piece(" points)</span>")});
        out.put({"</td></tr>\n"});
    }
    if (from == to) out.put({"<tr><td colspan=\"4\">No evening yet.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n"});
}

std::string year_page_path(const std::string& year) { return "evenings/" + year + ".html"; }

void years_line(HtmlWriter& out, const SiteData& data, Markup up) {
    out.put({"<p class=\"facts\">Every evening, by year:"});
    std::string last;
    for (const SiteEvening& e : data.evenings) {
        const std::string year = e.date.substr(0, 4);
        if (year == last) continue;
        out.put({last.empty() ? Piece(" ") : Piece(" \xC2\xB7 "), "<a href=\"", up,
                 HtmlText::escape(year_page_path(year)), "\">", HtmlText::escape(year), "</a>"});
        last = year;
    }
    out.put({"</p>\n"});
}

HtmlText evening_text(const std::string& evening) {
    int n[3] = {};  // year, month, day
    if (read_numbers(evening, n)) {
        const LocalTime date = local_time(n[0], n[1], n[2]);
        if (date.known()) return day_text(date);
    }
    return history_text(evening);
}

std::pair<long long, long long> most_wins(const SiteMap& map) {
    std::pair<long long, long long> best{-1, 0};
    for (const auto& [player, wins] : map.wins)
        if (wins > best.second) best = {player, wins};
    return best;
}

std::string sort_key(const std::string& utf8_name) {
    std::string key = utf8_name;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

namespace {

enum class Shown { Number, Length, Tenths };

void record_row(HtmlWriter& out, const SiteData& data, Markup what, const GameFeat& feat, Shown shown, Markup up) {
    out.put({"<tr><th scope=\"row\">", what, "</th>"});
    if (!feat.found) {
        out.put({"<td class=\"n\">\xE2\x80\x94</td><td>\xE2\x80\x94</td><td>\xE2\x80\x94</td></tr>\n"});
        return;
    }
    if (shown == Shown::Length)
        out.put({"<td class=\"n\">", game_length(static_cast<int>(feat.value)), "</td><td>"});
    else if (shown == Shown::Tenths)
        out.put({"<td class=\"n\">", Tenths{static_cast<int>(feat.value)}, " %</td><td>"});
    else
        out.put({"<td class=\"n\">", feat.value, "</td><td>"});
    player_link(out, data, data.index_of(feat.player), up);
    out.put({"</td><td>", history_text(feat.game.map), " \xE2\x80\x94 "});
    game_link(out, feat.game.evening, feat.game.number, up);
    out.put({"</td></tr>\n"});
}

}  // namespace

void records_table(HtmlWriter& out, const SiteData& data, const SiteRecords& r, Markup up) {
    out.put(
        {"<section id=\"records-list\">\n<h2>Records</h2>\n<div class=\"scroll\"><table id=\"records\">\n"
         "<thead><tr>"});
    header_cell(out, "Record", nullptr, false);
    header_cell(out, "Value");
    header_cell(out, "Player", nullptr, false);
    header_cell(out, "Game", nullptr, false);
    out.put({"</tr></thead>\n<tbody>\n"});
    record_row(out, data, "Most frags in a game", r.most_frags, Shown::Number, up);
    record_row(out, data, "Most kills per hour (games of 5 minutes and more)", r.best_killrate, Shown::Number, up);
    record_row(out, data, "Best TS-factor", r.best_ts, Shown::Number, up);
    record_row(out, data, "Most flag captures", r.most_captures, Shown::Number, up);
    record_row(out, data, "Best spree", r.best_spree, Shown::Number, up);
    record_row(out, data, "Most Monster Kills in a game", r.most_monster_kills, Shown::Number, up);
    record_row(out, data, "Most carrier kills in a game", r.most_carrier_kills, Shown::Number, up);
    record_row(out, data, "Best accuracy (games of 50 shots and more)", r.best_accuracy, Shown::Tenths, up);
    record_row(out, data, "Longest game", r.longest, Shown::Length, up);
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

Tenths tenths(double value) { return Tenths{static_cast<int>(std::lround(value * 10.0))}; }

HtmlText rating_text(const RatingValue& value) {
    // Tenths are written by the page writer; this text is built whole, for
    // a cell of its own.
    char text[96];
    std::snprintf(text, sizeof text, "%.1f (%.1f \xC2\xB1 %.1f)", std::lround(value.conservative() * 10.0) / 10.0,
                  std::lround(value.mu * 10.0) / 10.0, std::lround(value.sigma * 10.0) / 10.0);
    // The text is the program's own, but passes through the escaping like any other: it holds no markup.
    return HtmlText::escape(text);
}

void kills_per_death_cell(HtmlWriter& out, long long kills, long long deaths) {
    if (deaths <= 0) {
        out.put({"<td class=\"n\">\xE2\x80\x94</td>"});
        return;
    }
    out.put({"<td class=\"n\">", tenths(static_cast<double>(kills) / static_cast<double>(deaths)), "</td>"});
}

void share_cell(HtmlWriter& out, long long part, long long whole) {
    if (whole <= 0) {
        out.put({"<td class=\"n\">\xE2\x80\x94</td>"});
        return;
    }
    out.put(
        {"<td class=\"n\">", std::llround(100.0 * static_cast<double>(part) / static_cast<double>(whole)), " %</td>"});
}
