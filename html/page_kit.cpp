#include "page_kit.h"

namespace {

// Light and dark colours that keep WCAG AA contrast: text 4.5:1 and more,
// lines and keys of the chart 3:1 and more, on their own background. The
// dark ones only on screens: paper is white. A chart keeps a width at which
// its labels stay readable and scrolls sideways on a phone, as tables do.
// A long name without a space breaks at the page's edge rather than
// widening the page.
constexpr Markup STYLE = R"(<style>
:root { color-scheme: light dark; --text: #1b1b1b; --page: #ffffff; --muted: #4a4a4a; --rule: #c7ccd3;
  --head: #e9edf2; --link: #0b57d0; --winner: #fff4c2; --grid: #d8dce2; }
@media screen and (prefers-color-scheme: dark) {
  :root { --text: #e8e8e8; --page: #141414; --muted: #b4b4b4; --rule: #4a4f57; --head: #262a31;
    --link: #8ab4f8; --winner: #3d3413; --grid: #33373d; } }
* { box-sizing: border-box; }
body { margin: 0 auto; padding: 1rem; max-width: 80rem; font: 16px/1.45 system-ui, sans-serif;
  color: var(--text); background: var(--page); overflow-wrap: break-word; }
h1 { font-size: 1.6rem; margin: 0 0 .3rem; } h2 { font-size: 1.25rem; margin: 2rem 0 .4rem; }
a { color: var(--link); }
.facts, .count, .up { color: var(--muted); }
.scroll { overflow-x: auto; max-width: 100%; border: 1px solid var(--rule); }
table { border-collapse: collapse; width: 100%; }
th, td { padding: .3rem .35rem; border-bottom: 1px solid var(--rule); text-align: left; white-space: nowrap; }
thead th { background: var(--head); }
#games { font-size: .9rem; } .scoreboard, .moments, .accuracy { font-size: .85rem; } .scoreboard th, .scoreboard td { padding: .3rem .25rem; }
.scoreboard .fav { white-space: normal; min-width: 6.5rem; }
.moments th, .moments td { padding: .3rem .25rem; } .moments thead th { white-space: normal; vertical-align: bottom; }
.moments thead th.n { writing-mode: sideways-lr; white-space: nowrap; }
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
.legend { list-style: none; padding: 0; margin: .3rem 0; display: flex; flex-wrap: wrap; gap: .2rem 1.2rem; } .legend li { max-width: 100%; }
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

// The name of a month 1 to 12; null for any other number.
const char* month_name(int month) {
    static constexpr const char* names[] = {"January", "February", "March",     "April",   "May",      "June",
                                            "July",    "August",   "September", "October", "November", "December"};
    if (month < 1 || month > 12) return nullptr;
    return names[month - 1];
}

}  // namespace

void page_head(HtmlWriter& out, const HtmlText& title, const HtmlText& heading, const HtmlText& facts) {
    constexpr Markup OPENING =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    out.put({OPENING, title, "</title>\n", STYLE, "</head>\n<body>\n<header>\n<h1>", heading,
             "</h1>\n<p class=\"facts\">", facts, "</p>\n</header>\n<main>\n"});
}

void page_foot(HtmlWriter& out) {
    out.put(
        {"</main>\n<footer><p class=\"facts\">Written by velstra from the stat logs of the games.</p></footer>\n"
         "</body>\n</html>\n"});
}

void number_cell(HtmlWriter& out, int value) { out.put({"<td class=\"n\">", value, "</td>"}); }

void text_cell(HtmlWriter& out, const HtmlText& text) { out.put({"<td>", text, "</td>"}); }

void header_cell(HtmlWriter& out, Markup text, Markup full, bool number) {
    out.put({number ? Piece("<th scope=\"col\" class=\"n\">") : Piece("<th scope=\"col\">")});
    if (full.c_str() != nullptr)
        out.put({"<abbr title=\"", full, "\">", text, "</abbr></th>"});
    else
        out.put({text, "</th>"});
}

void accuracy_head_cells(HtmlWriter& out) {
    header_cell(out, "Shots");
    header_cell(out, "Hits");
    header_cell(out, "Accuracy", "Hits out of shots, per cent");
    header_cell(out, "Damage");
    out.put({"</tr></thead>\n<tbody>\n"});
}

// The colour of team 0 to 3, as the game names its teams.
HtmlText team_colour(int team) {
    static constexpr char numbers[] = "0123";
    return HtmlText::utf8(team_label_text(std::string_view(&numbers[team], 1)));
}

// A team as players know it: the game's colours for the numbered teams, the
// two sides of Assault, else the name the log gives.
HtmlText team_label(const Text& team) { return HtmlText::utf8(team_label_text(team.view())); }

// A length of seconds as "m:ss", or "h:mm:ss" from an hour on.
HtmlText game_length(int seconds) { return HtmlText::utf8(length_text(seconds).view()); }

// "27 March 2011" of a known time; with_year false leaves out the year.
HtmlText day_text(const LocalTime& time, bool with_year) {
    BoundedText<64> text;
    if (with_year)
        text.format("%i %s %i", time.day, month_name(time.month), time.year);
    else
        text.format("%i %s", time.day, month_name(time.month));
    return HtmlText::utf8(text.view());
}

// "27 March 2011, 21:47", or the date alone when the time is not known.
HtmlText start_text(const LocalTime& time) {
    HtmlText text = day_text(time);
    if (time.hour < 0) return text;
    BoundedText<16> clock;
    clock.format(", %02i:%02i", time.hour, time.minute);
    text += HtmlText::utf8(clock.view());
    return text;
}

HtmlText days_text(const LocalTime& first, const LocalTime& last, const char* date) {
    if (!first.known()) {
        const LocalTime day = date_of_text(date);
        return day.known() ? day_text(day) : HtmlText::utf8(date);
    }
    if (!earlier_day(first, last)) return day_text(first);
    HtmlText text = day_text(first, first.year != last.year);
    text += " \xE2\x80\x93 ";
    text += day_text(last);
    return text;
}

bool earlier_day(const LocalTime& a, const LocalTime& b) {
    if (a.year != b.year) return a.year < b.year;
    if (a.month != b.month) return a.month < b.month;
    return a.day < b.day;
}
