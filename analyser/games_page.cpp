#include "games_page.h"

#include <algorithm>
#include <memory>

#include "failure_report.h"
#include "game_section.h"
#include "games_page_text.h"
#include "html_text.h"

namespace {

// Light and dark colours that keep WCAG AA contrast: text 4.5:1 and more,
// lines and keys of the chart 3:1 and more, on their own background. The
// dark ones only on screens: paper is white. A chart keeps a width at which
// its labels stay readable and scrolls sideways on a phone, as tables do.
constexpr const char* STYLE = R"(<style>
:root { color-scheme: light dark; --text: #1b1b1b; --page: #ffffff; --muted: #4a4a4a; --rule: #c7ccd3;
  --head: #e9edf2; --link: #0b57d0; --winner: #fff4c2; --grid: #d8dce2; }
@media screen and (prefers-color-scheme: dark) {
  :root { --text: #e8e8e8; --page: #141414; --muted: #b4b4b4; --rule: #4a4f57; --head: #262a31;
    --link: #8ab4f8; --winner: #3d3413; --grid: #33373d; } }
* { box-sizing: border-box; }
body { margin: 0 auto; padding: 1rem; max-width: 80rem; font: 16px/1.45 system-ui, sans-serif;
  color: var(--text); background: var(--page); }
h1 { font-size: 1.6rem; margin: 0 0 .3rem; } h2 { font-size: 1.25rem; margin: 2rem 0 .4rem; }
a { color: var(--link); }
.facts, .count, .up { color: var(--muted); }
.scroll { overflow-x: auto; max-width: 100%; border: 1px solid var(--rule); }
table { border-collapse: collapse; width: 100%; }
th, td { padding: .3rem .35rem; border-bottom: 1px solid var(--rule); text-align: left; white-space: nowrap; }
thead th { background: var(--head); }
#games { font-size: .9rem; } .scoreboard { font-size: .85rem; } .scoreboard th, .scoreboard td { padding: .3rem .25rem; }
.scoreboard .fav { white-space: normal; min-width: 6.5rem; }
.n { text-align: right; font-variant-numeric: tabular-nums; }
tr.winner { background: var(--winner); }
.badge { font-size: .75rem; border: 1px solid currentColor; border-radius: .6rem; padding: 0 .4rem; }
figure { margin: 1rem 0; overflow-x: auto; }
svg { width: 100%; min-width: 36rem; max-width: 48rem; height: auto; display: block; }
svg .axis { stroke: var(--text); stroke-width: 1; }
svg .grid { stroke: var(--grid); stroke-width: 1; }
svg .tick { fill: var(--text); font-size: 11px; }
svg path { fill: none; stroke-width: 2; }
svg path.team { stroke-width: 3; stroke-dasharray: 7 4; }
.legend { list-style: none; padding: 0; margin: .3rem 0; display: flex; flex-wrap: wrap; gap: .2rem 1.2rem; }
.key { font-weight: bold; margin-right: .3rem; }
.c0 { stroke: #1f5fa8; color: #1f5fa8; } .c1 { stroke: #c0392b; color: #c0392b; }
.c2 { stroke: #1e7b34; color: #1e7b34; } .c3 { stroke: #7b3fa0; color: #7b3fa0; }
.c4 { stroke: #8a5a2b; color: #8a5a2b; } .c5 { stroke: #b8327a; color: #b8327a; }
.c6 { stroke: #555555; color: #555555; } .c7 { stroke: #0e7c7b; color: #0e7c7b; }
.c8 { stroke: #a85d00; color: #a85d00; } .c9 { stroke: #3949ab; color: #3949ab; }
.c10 { stroke: #5b7a1d; color: #5b7a1d; } .c11 { stroke: #9c1c5b; color: #9c1c5b; }
.c12 { stroke: #2f5050; color: #2f5050; } .c13 { stroke: #b03a00; color: #b03a00; }
.c14 { stroke: #005f87; color: #005f87; } .c15 { stroke: #7a5c00; color: #7a5c00; }
.t0 { stroke: #cc0000; color: #cc0000; } .t1 { stroke: #0047ab; color: #0047ab; }
.t2 { stroke: #00802b; color: #00802b; } .t3 { stroke: #8f6c00; color: #8f6c00; }
@media screen and (prefers-color-scheme: dark) {
  .c0 { stroke: #7fb3ff; color: #7fb3ff; } .c1 { stroke: #ff8a80; color: #ff8a80; }
  .c2 { stroke: #7ee787; color: #7ee787; } .c3 { stroke: #d2a8ff; color: #d2a8ff; }
  .c4 { stroke: #e3b17a; color: #e3b17a; } .c5 { stroke: #ff9bd2; color: #ff9bd2; }
  .c6 { stroke: #c9c9c9; color: #c9c9c9; } .c7 { stroke: #56d4d4; color: #56d4d4; }
  .c8 { stroke: #ffb347; color: #ffb347; } .c9 { stroke: #9fa8ff; color: #9fa8ff; }
  .c10 { stroke: #b5d86a; color: #b5d86a; } .c11 { stroke: #ff7eb6; color: #ff7eb6; }
  .c12 { stroke: #9ec9c9; color: #9ec9c9; } .c13 { stroke: #ff9e6b; color: #ff9e6b; }
  .c14 { stroke: #6cc6ff; color: #6cc6ff; } .c15 { stroke: #e6c84d; color: #e6c84d; }
  .t0 { stroke: #ff5c5c; color: #ff5c5c; } .t1 { stroke: #5c9dff; color: #5c9dff; }
  .t2 { stroke: #4cd964; color: #4cd964; } .t3 { stroke: #ffd23f; color: #ffd23f; } }
@media screen and (max-width: 40rem) {
  body { padding: .5rem; } th, td, .scoreboard th, .scoreboard td { padding: .25rem .25rem; } }
@media print {
  :root { --text: #000000; --page: #ffffff; --muted: #333333; --head: #eeeeee; --winner: #f3f3f3; }
  body { max-width: none; padding: 0; font-size: 10pt; }
  .scroll { overflow: visible; border: 0; } th, td { white-space: normal; }
  section { break-inside: avoid-page; } .up { display: none; } a { color: inherit; text-decoration: none; } }
</style>
)";

// The day a date text "14072001" names, as "14 July 2001"; any other text
// as it is.
HtmlText date_text(const char* date) {
    const LocalTime day = date_of_text(date);
    return day.known() ? day_text(day) : HtmlText::utf8(date);
}

// Before a time, by date.
bool earlier_day(const LocalTime& a, const LocalTime& b) {
    if (a.year != b.year) return a.year < b.year;
    if (a.month != b.month) return a.month < b.month;
    return a.day < b.day;
}

// The days of the games: "27 March 2011", or their span "27 March – 5 August
// 2011"; the date text of the session when no game has a date.
HtmlText days_text(const LocalTime& first, const LocalTime& last, const char* date) {
    if (!first.known()) return date_text(date);
    if (!earlier_day(first, last)) return day_text(first);
    HtmlText text = day_text(first, first.year != last.year);
    text += " \xE2\x80\x93 ";
    text += day_text(last);
    return text;
}

// Copies a waiting file into the page.
bool copy_part(ScratchFile& part, Output& page) {
    char chunk[65536];
    std::size_t got = 0;
    while ((got = part.read(chunk, sizeof chunk)) > 0)
        if (!page.write(chunk, got)) return false;
    return !part.read_failed();
}

void kill_matrix(Output& out, const SessionRecord& session) {
    const SessionKills& kills = session.kills;
    const std::vector<int>& order = session.order;
    const int players = static_cast<int>(order.size());
    bool others = false;
    for (int k = 0; k < players; ++k)
        others = others ||
                 kills.by_victim[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])][MAX_SESSION_PLAYERS] > 0;
    out.put(
        "<section id=\"killers\">\n<h2>Who killed whom</h2>\n<p class=\"facts\">Kills over the session: a row for "
        "each killer, a column for each victim. The diagonal holds the kills of oneself.</p>\n"
        "<div class=\"scroll\"><table id=\"kill-matrix\">\n<thead><tr><th scope=\"col\">Killer \xE2\x86\x93 "
        "Victim \xE2\x86\x92</th>");
    for (int k = 0; k < players; ++k)
        out.print(
            "<th scope=\"col\" class=\"n\">%s</th>",
            HtmlText::utf8(session.names[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])].view()).c_str());
    if (others) out.put("<th scope=\"col\" class=\"n\">Others</th>");
    out.put("<th scope=\"col\" class=\"n\">Kills</th></tr></thead>\n<tbody>\n");
    std::array<long long, MAX_SESSION_PLAYERS + 2> column_totals{};
    for (int r = 0; r < players; ++r) {
        const std::size_t killer = static_cast<std::size_t>(order[static_cast<std::size_t>(r)]);
        out.print("<tr><th scope=\"row\">%s</th>", HtmlText::utf8(session.names[killer].view()).c_str());
        long long row_total = 0;
        auto cell = [&](std::size_t column, int value) {
            out.print("<td class=\"n\">%d</td>", value);
            row_total += value;
            column_totals[column] += value;
        };
        for (int c = 0; c < players; ++c)
            cell(static_cast<std::size_t>(c),
                 kills.by_victim[killer][static_cast<std::size_t>(order[static_cast<std::size_t>(c)])]);
        if (others) cell(MAX_SESSION_PLAYERS, kills.by_victim[killer][MAX_SESSION_PLAYERS]);
        out.print("<td class=\"n total\">%lld</td></tr>\n", row_total);
        column_totals[MAX_SESSION_PLAYERS + 1] += row_total;
    }
    if (players == 0) out.put("<tr><td>No player killed or was killed.</td><td class=\"n\"></td></tr>\n");
    out.put("</tbody>\n<tfoot><tr><th scope=\"row\">Deaths by these killers</th>");
    for (int c = 0; c < players; ++c)
        out.print("<td class=\"n\">%lld</td>", column_totals[static_cast<std::size_t>(c)]);
    if (others) out.print("<td class=\"n\">%lld</td>", column_totals[MAX_SESSION_PLAYERS]);
    out.print("<td class=\"n total\">%lld</td></tr></tfoot>\n</table></div>\n</section>\n",
              column_totals[MAX_SESSION_PLAYERS + 1]);
}

void weapons_table(Output& out, const SessionRecord& session) {
    const SessionKills& kills = session.kills;
    out.put(
        "<section id=\"weapon-kills\">\n<h2>Weapons</h2>\n<div class=\"scroll\"><table id=\"weapons\">\n<thead><tr>"
        "<th scope=\"col\">Weapon</th><th scope=\"col\" class=\"n\">Kills</th>"
        "<th scope=\"col\">Killed most with it</th></tr></thead>\n<tbody>\n");
    // Most kills first; equal ones in the order the session met them.
    std::array<long long, MAX_WEAPON_NAMES> totals{};
    std::array<std::size_t, MAX_WEAPON_NAMES> order{};
    for (std::size_t w = 0; w < kills.weapon_count; ++w) {
        order[w] = w;
        for (int count : kills.weapons[w].by_player) totals[w] += count;
    }
    std::stable_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(kills.weapon_count),
                     [&](std::size_t a, std::size_t b) { return totals[a] > totals[b]; });
    for (std::size_t k = 0; k < kills.weapon_count; ++k) {
        const WeaponKills& weapon = kills.weapons[order[k]];
        const long long total = totals[order[k]];
        std::size_t best = 0;
        for (std::size_t p = 0; p < weapon.by_player.size(); ++p)
            if (weapon.by_player[p] > weapon.by_player[best]) best = p;
        out.print(
            "<tr><th scope=\"row\">%s</th><td class=\"n\">%lld</td><td>%s <span "
            "class=\"count\">(%d)</span></td></tr>\n",
            HtmlText::utf8(weapon.name.view()).c_str(), total, HtmlText::utf8(session.names[best].view()).c_str(),
            weapon.by_player[best]);
    }
    if (kills.weapon_count == 0) out.put("<tr><td colspan=\"3\">No weapon killed.</td></tr>\n");
    out.put("</tbody>\n</table></div>\n</section>\n");
}

}  // namespace

BoundedText<64> games_page_name(const char* date) {
    BoundedText<64> name;
    name.format("velstra%s-games.html", date);
    return name;
}

GamesPage::GamesPage(FileSystem& files, ErrorLog& log) : files_(files), log_(log) {}

GamesPage::~GamesPage() = default;

void GamesPage::add(const GameRecord& game) {
    if (!started_) {
        // The files that wait for the end, at the first game.
        started_ = true;
        rows_ = files_.open_scratch();
        sections_ = files_.open_scratch();
        if (!rows_ || !sections_) not_created_ = true;
    }
    if (not_created_ || not_written_) return;
    const LocalTime& start = game.start;
    if (start.known()) {
        if (!first_day_.known() || earlier_day(start, first_day_)) first_day_ = start;
        if (!last_day_.known() || earlier_day(last_day_, start)) last_day_ = start;
    }
    write_game_row(*rows_, game);
    write_game_section(*sections_, game);
    if (rows_->failed() || sections_->failed()) not_written_ = true;
}

bool GamesPage::write_page(Output& out, const SessionRecord& session) {
    const char* date = session.date.c_str();
    const HtmlText day = days_text(first_day_, last_day_, date);
    out.print(
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>Games of %s \xE2\x80\x93 Unreal Tournament</title>\n",
        day.c_str());
    out.put(STYLE);
    out.print(
        "</head>\n<body>\n<header>\n<h1>Games of %s</h1>\n<p class=\"facts\">%d %s analysed, %s in all. "
        "<a href=\"velstra%s.html\">The session page</a></p>\n</header>\n<main>\n",
        day.c_str(), session.games, session.games == 1 ? "game" : "games", game_length(session.seconds).c_str(),
        HtmlText::utf8(date).c_str());
    out.put(
        "<section id=\"list\">\n<h2>The games</h2>\n<div class=\"scroll\"><table id=\"games\">\n<thead><tr>"
        "<th scope=\"col\">Game</th><th scope=\"col\">Map</th><th scope=\"col\">Type</th>"
        "<th scope=\"col\" class=\"n\">Length</th><th scope=\"col\">End</th><th scope=\"col\">Result</th>"
        "<th scope=\"col\">Best player</th><th scope=\"col\" class=\"n\"><abbr title=\"Players\">Pl.</abbr></th>"
        "</tr></thead>\n<tbody>\n");
    if (started_ && !copy_part(*rows_, out)) return false;
    if (session.games == 0) out.put("<tr><td colspan=\"8\">No game was reported.</td></tr>\n");
    out.put("</tbody>\n</table></div>\n</section>\n");
    if (started_ && !copy_part(*sections_, out)) return false;
    kill_matrix(out, session);
    weapons_table(out, session);
    out.put(
        "</main>\n<footer><p class=\"facts\">Written by velstra from the stat logs of the games.</p></footer>\n"
        "</body>\n</html>\n");
    return !out.failed();
}

int GamesPage::finish(const SessionRecord& session) {
    bool created = !not_created_;
    bool written = !not_written_;
    if (started_ && created) {
        const bool rows_written = rows_->finish_writing();
        const bool sections_written = sections_->finish_writing();
        written = written && rows_written && sections_written;
    }
    const BoundedText<64> name = games_page_name(session.date.c_str());
    if (created && written) {
        std::unique_ptr<OutputFile> page = files_.open_write(name.c_str(), WriteMode::TruncateText);
        created = page != nullptr;
        written = created && write_page(*page, session) && page->close();
    }
    // The waiting files go now, whatever became of the page.
    rows_.reset();
    sections_.reset();
    if (created && written) return 1;
    log_.append(created ? "\tcan't write Games-HTML-File" : "\tcan't create Games-HTML-File");
    report_failure(Failure::GamesPageUnwritable,
                   "can't write the games page %s; make the folder writable, free some disk space and remove any "
                   "folder or link of that name (details in error.log)",
                   name.c_str());
    return 0;
}
