#include "games_page.h"

#include <algorithm>
#include <array>
#include <memory>

#include "failure_report.h"
#include "game_section.h"
#include "html_text.h"
#include "page_kit.h"
#include "page_writer.h"

namespace {

void kill_matrix(HtmlWriter& out, const SessionRecord& session) {
    const SessionKills& kills = session.kills;
    const std::vector<int>& order = session.order;
    const int players = static_cast<int>(order.size());
    bool others = false;
    for (int k = 0; k < players; ++k)
        others = others ||
                 kills.by_victim[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])][MAX_SESSION_PLAYERS] > 0;
    out.put(
        {"<section id=\"killers\">\n<h2>Who killed whom</h2>\n<p class=\"facts\">Kills over the session: a row for "
         "each killer, a column for each victim. The diagonal holds the kills of oneself.</p>\n"
         "<div class=\"scroll\"><table id=\"kill-matrix\">\n<thead><tr><th scope=\"col\">Killer \xE2\x86\x93 "
         "Victim \xE2\x86\x92</th>"});
    for (int k = 0; k < players; ++k)
        out.put({"<th scope=\"col\" class=\"n\">",
                 HtmlText::utf8(session.names[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])].view()),
                 "</th>"});
    if (others) out.put({"<th scope=\"col\" class=\"n\">Others</th>"});
    out.put({"<th scope=\"col\" class=\"n\">Kills</th></tr></thead>\n<tbody>\n"});
    std::array<long long, MAX_SESSION_PLAYERS + 2> column_totals{};
    for (int r = 0; r < players; ++r) {
        const std::size_t killer = static_cast<std::size_t>(order[static_cast<std::size_t>(r)]);
        out.put({"<tr><th scope=\"row\">", HtmlText::utf8(session.names[killer].view()), "</th>"});
        long long row_total = 0;
        auto cell = [&](std::size_t column, int value) {
            number_cell(out, value);
            row_total += value;
            column_totals[column] += value;
        };
        for (int c = 0; c < players; ++c)
            cell(static_cast<std::size_t>(c),
                 kills.by_victim[killer][static_cast<std::size_t>(order[static_cast<std::size_t>(c)])]);
        if (others) cell(MAX_SESSION_PLAYERS, kills.by_victim[killer][MAX_SESSION_PLAYERS]);
        out.put({"<td class=\"n total\">", row_total, "</td></tr>\n"});
        column_totals[MAX_SESSION_PLAYERS + 1] += row_total;
    }
    if (players == 0) out.put({"<tr><td>No player killed or was killed.</td><td class=\"n\"></td></tr>\n"});
    out.put({"</tbody>\n<tfoot><tr><th scope=\"row\">Deaths by these killers</th>"});
    for (int c = 0; c < players; ++c)
        out.put({"<td class=\"n\">", column_totals[static_cast<std::size_t>(c)], "</td>"});
    if (others) out.put({"<td class=\"n\">", column_totals[MAX_SESSION_PLAYERS], "</td>"});
    out.put({"<td class=\"n total\">", column_totals[MAX_SESSION_PLAYERS + 1],
             "</td></tr></tfoot>\n</table></div>\n</section>\n"});
}

void weapons_table(HtmlWriter& out, const SessionRecord& session) {
    const SessionKills& kills = session.kills;
    out.put(
        {"<section id=\"weapon-kills\">\n<h2>Weapons</h2>\n<div class=\"scroll\"><table id=\"weapons\">\n<thead><tr>"
         "<th scope=\"col\">Weapon</th><th scope=\"col\" class=\"n\">Kills</th>"
         "<th scope=\"col\">Killed most with it</th></tr></thead>\n<tbody>\n"});
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
        out.put({"<tr><th scope=\"row\">", HtmlText::utf8(weapon.name.view()), "</th><td class=\"n\">", total,
                 "</td><td>", HtmlText::utf8(session.names[best].view()), " <span class=\"count\">(",
                 weapon.by_player[best], ")</span></td></tr>\n"});
    }
    if (kills.weapon_count == 0) out.put({"<tr><td colspan=\"3\">No weapon killed.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

// The games page of one session: each game's row and section wait in
// scratch files of the run until the end, so that memory stays the same
// whatever the number of games, and no file of the folder is touched.
class GamesPage final : public RecordPage {
public:
    GamesPage(FileSystem& files, ErrorLog& log, FailureReport& failures)
        : files_(files), log_(log), failures_(failures) {}

    void add(const GameRecord& game) override;
    int finish(const SessionRecord& session) override;

private:
    bool write_page(HtmlWriter& out, const SessionRecord& session);

    FileSystem& files_;
    ErrorLog& log_;
    FailureReport& failures_;
    std::unique_ptr<ScratchFile> rows_;
    std::unique_ptr<ScratchFile> sections_;
    bool started_ = false;
    bool not_created_ = false;  // a part could not be created
    bool not_written_ = false;  // a part could not be written
    LocalTime first_day_;       // the earliest and latest game dates seen
    LocalTime last_day_;
};

void GamesPage::add(const GameRecord& game) {
    if (!started_) {
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
    HtmlWriter rows(*rows_);
    HtmlWriter sections(*sections_);
    write_game_row(rows, game);
    write_game_section(sections, game);
    if (rows.failed() || sections.failed()) not_written_ = true;
}

bool GamesPage::write_page(HtmlWriter& out, const SessionRecord& session) {
    const char* date = session.date.c_str();
    HtmlText heading = "Games of ";
    heading += days_text(first_day_, last_day_, date);
    HtmlText title = heading;
    title += " \xE2\x80\x93 Unreal Tournament";
    HtmlText facts = HtmlText::number(session.games);
    facts += session.games == 1 ? HtmlText(" game analysed, ") : HtmlText(" games analysed, ");
    facts += game_length(session.seconds);
    facts += " in all. <a href=\"velstra";
    facts += HtmlText::utf8(date);
    facts += ".html\">The session page</a>";
    page_head(out, title, heading, facts);
    write_games_table_head(out);
    if (started_ && !out.put_part(*rows_)) return false;
    if (session.games == 0) out.put({"<tr><td colspan=\"8\">No game was reported.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
    if (started_ && !out.put_part(*sections_)) return false;
    kill_matrix(out, session);
    weapons_table(out, session);
    page_foot(out);
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
    BoundedText<64> name;
    name.format("velstra%s-games.html", session.date.c_str());
    if (created && written) {
        std::unique_ptr<OutputFile> page = files_.open_write(name.c_str(), WriteMode::TruncateText);
        created = page != nullptr;
        if (created) {
            HtmlWriter out(*page);
            written = write_page(out, session) && page->close();
        }
    }
    // The waiting files go now, whatever became of the page.
    rows_.reset();
    sections_.reset();
    if (created && written) return 1;
    log_.append(created ? "\tcan't write Games-HTML-File" : "\tcan't create Games-HTML-File");
    failures_.report(Failure::GamesPageUnwritable,
                     "can't write the games page %s; make the folder writable, free some disk space and remove any "
                     "folder or link of that name (details in error.log)",
                     name.c_str());
    return 0;
}

}  // namespace

std::unique_ptr<RecordPage> games_page(FileSystem& files, ErrorLog& log, FailureReport& failures) {
    return std::make_unique<GamesPage>(files, log, failures);
}
