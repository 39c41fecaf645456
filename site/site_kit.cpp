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

HtmlText evening_text(const std::string& evening) {
    int n[3] = {};  // year, month, day
    if (read_numbers(evening, n)) {
        const LocalTime date = local_time(n[0], n[1], n[2]);
        if (date.known()) return day_text(date);
    }
    return history_text(evening);
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
