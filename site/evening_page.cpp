#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "file_system.h"
#include "game_section.h"
#include "page_kit.h"
#include "page_writer.h"
#include "site_history.h"
#include "site_kit.h"
#include "site_pages.h"

namespace {

void changes_table(HtmlWriter& out, const SiteData& data, const std::vector<RatingChange>& changes) {
    out.put(
        {"<section id=\"ratings\">\n<h2>Rating changes</h2>\n<div class=\"scroll\"><table id=\"rating-changes\">\n"
         "<thead><tr>"});
    header_cell(out, "Player", nullptr, false);
    header_cell(out, "Before", "Rating before the evening");
    header_cell(out, "After", "Rating after the evening");
    header_cell(out, "Change", "Change of \xCE\xBC \xE2\x88\x92 3\xCF\x83");
    out.put({"</tr></thead>\n<tbody>\n"});
    for (const RatingChange& c : changes) {
        out.put({"<tr><th scope=\"row\">"});
        player_link(out, data, c.player, "../");
        const Tenths change = tenths(c.after.conservative() - c.before.conservative());
        out.put({"</th><td class=\"n\">", rating_text(c.before), "</td><td class=\"n\">", rating_text(c.after),
                 "</td><td class=\"n\">", change.value > 0 ? Piece("+") : Piece(""), change, "</td></tr>\n"});
    }
    if (changes.empty()) out.put({"<tr><td colspan=\"4\">No game of the evening was rated.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

}  // namespace

bool write_evening_page(Output& page, EveningGames& games, const SiteData& data, int evening,
                        const std::vector<RatingChange>& changes) {
    const SiteEvening& e = data.evenings[static_cast<std::size_t>(evening)];
    // The games are read once: their rows are kept for the table at the
    // top; their sections, the bulk of the page, wait on disk.
    const std::unique_ptr<ScratchFile> scratch = real_file_system().open_scratch();
    if (!scratch) return false;
    StringOutput rows_text;
    HtmlWriter rows(rows_text);
    HtmlWriter sections(*scratch);
    std::vector<int> seen;
    long long seconds = 0;
    games.each_game(e.date, [&](const GameRecord& game, const std::vector<int>& players) {
        write_game_row(rows, game);
        write_game_section(sections, game);
        seconds += game.length;
        for (int p : players)
            if (p >= 0) seen.push_back(p);
    });

    HtmlWriter out(page);
    HtmlText heading = "Evening of ";
    heading += evening_text(e.date);
    HtmlText title = heading;
    title += " \xE2\x80\x93 Unreal Tournament";
    HtmlText facts = HtmlText::number(static_cast<int>(e.games));
    facts += e.games == 1 ? HtmlText(" game, ") : HtmlText(" games, ");
    facts += game_length(static_cast<int>(seconds));
    facts += " in all. <a href=\"../index.html\">The rankings</a>";
    page_head(out, title, heading, facts);
    write_games_table_head(out);
    page.put(rows_text.text);
    out.put({"</tbody>\n</table></div>\n</section>\n"});
    if (!scratch->finish_writing()) return false;
    char block[65536];
    for (std::size_t got; (got = scratch->read(block, sizeof block)) > 0;) page.write(block, got);
    if (scratch->read_failed()) return false;
    changes_table(out, data, changes);

    std::sort(seen.begin(), seen.end());
    seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
    out.put({"<section id=\"players\">\n<h2>Players</h2>\n<ul class=\"legend\">\n"});
    for (int p : seen) {
        out.put({"<li>"});
        player_link(out, data, p, "../");
        out.put({"</li>\n"});
    }
    out.put({"</ul>\n</section>\n"});
    page_foot(out);
    return !page.failed();
}

std::vector<std::vector<RatingChange>> rating_changes(const SiteData& data, const SiteRatings& ratings) {
    std::vector<std::vector<RatingChange>> by_evening(data.evenings.size());
    const RatingConstants c = rating_constants();
    std::map<std::string, int> evening_index;
    for (std::size_t e = 0; e < data.evenings.size(); ++e) evening_index[data.evenings[e].date] = static_cast<int>(e);
    std::vector<int> present;
    for (std::size_t p = 0; p < ratings.steps.size() && p < data.players.size(); ++p) {
        present.clear();
        for (const std::string& date : data.players[p].evenings) present.push_back(evening_index[date]);
        RatingValue before{c.mu, c.sigma};
        int last = -1;  // the evening of his last rated game
        const std::vector<RatingStep>& steps = ratings.steps[p];
        for (std::size_t k = 0; k < steps.size(); ++k) {
            const int evening = steps[k].evening;
            // The last step of each evening closes it.
            if (k + 1 < steps.size() && steps[k + 1].evening == evening) continue;
            if (last >= 0 && evening > last + 1) {
                // The uncertainty he regained over the evenings he missed
                // since, as the ratings add it.
                const auto from = std::upper_bound(present.begin(), present.end(), last);
                const auto to = std::lower_bound(present.begin(), present.end(), evening);
                const double missed = (evening - last - 1) - static_cast<double>(to - from);
                before.sigma = std::min(std::sqrt(before.sigma * before.sigma + missed * c.tau * c.tau), c.max_sigma);
            }
            if (evening >= 0 && static_cast<std::size_t>(evening) < by_evening.size())
                by_evening[static_cast<std::size_t>(evening)].push_back(
                    RatingChange{static_cast<int>(p), before, steps[k].value});
            before = steps[k].value;
            last = evening;
        }
    }
    for (std::vector<RatingChange>& changes : by_evening)
        std::stable_sort(changes.begin(), changes.end(), [](const RatingChange& a, const RatingChange& b) {
            return a.after.conservative() - a.before.conservative() > b.after.conservative() - b.before.conservative();
        });
    return by_evening;
}
