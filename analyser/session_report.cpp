#include "session_report.h"

#include <array>
#include <memory>
#include <string_view>
#include <utility>

#include "failure_report.h"
#include "html_writer.h"
#include "name_tables.h"
#include "player_order.h"
#include "program_info.h"
#include "session_bests.h"
#include "time_functions.h"

namespace {

constexpr Markup BLACK = "000000";
constexpr Markup RED = "ff0000";

using Order = std::array<int, MAX_SESSION_PLAYERS>;

// What a best must be for its holders to be marked.
enum class Condition { AboveZero, ZeroOrAbove, Any };

enum class Shown { Number, Weapon, Victim };

struct Column {
    Markup first_line;
    Markup second_line;
    Shown shown;
    int SessionPlayer::*value;  // the compared value, and the number shown
    BestPosition best;
    Condition condition;
};
// Columns 4 to 13; the last two depend on the session's game type.
constexpr Column STATISTICS[] = {
    {"winns", "&nbsp;", Shown::Number, &SessionPlayer::wins, BEST_WINS, Condition::AboveZero},
    {"score", "&nbsp;", Shown::Number, &SessionPlayer::score, BEST_SCORE, Condition::AboveZero},
    {"kills", "&nbsp;", Shown::Number, &SessionPlayer::kills, BEST_KILLS, Condition::AboveZero},
    {"deaths", "&nbsp;", Shown::Number, &SessionPlayer::deaths, BEST_DEATHS, Condition::ZeroOrAbove},
    {"sucids", "&nbsp;", Shown::Number, &SessionPlayer::suicides, BEST_SUICIDES, Condition::ZeroOrAbove},
    {"favorite weapon", "[weapon/kills]", Shown::Weapon, &SessionPlayer::fav_weapon_kills, BEST_FAV_WEAPON_KILLS,
     Condition::AboveZero},
    {"favorite victim", "[player/kills]", Shown::Victim, &SessionPlayer::fav_victim_kills, BEST_FAV_VICTIM_KILLS,
     Condition::AboveZero},
    {"teamkills", "[%]", Shown::Number, &SessionPlayer::teamkill_rate, BEST_TEAMKILL_RATE, Condition::Any},
    {"TS-factor", "[kills/s]", Shown::Number, &SessionPlayer::best_multikill, BEST_MULTIKILL, Condition::AboveZero},
    {"Lurch-factor", "&nbsp;", Shown::Number, &SessionPlayer::best_lurch, BEST_LURCH, Condition::Any},
};
constexpr Column FLAG_COLUMNS[] = {
    {"captured flag", "&nbsp;", Shown::Number, &SessionPlayer::flags_captured, BEST_FLAGS_CAPTURED,
     Condition::AboveZero},
    {"returned flag", "&nbsp;", Shown::Number, &SessionPlayer::flags_returned, BEST_FLAGS_RETURNED,
     Condition::AboveZero},
};
constexpr Column KILL_COLUMNS[] = {
    {"headshots", "&nbsp;", Shown::Number, &SessionPlayer::headshots, BEST_HEADSHOTS, Condition::AboveZero},
    {"killrate", "[kills/h]", Shown::Number, &SessionPlayer::best_killrate, BEST_KILLRATE, Condition::AboveZero},
};

bool meets(Condition condition, int best) {
    switch (condition) {
        case Condition::AboveZero: return best > 0;
        case Condition::ZeroOrAbove: return best >= 0;
        case Condition::Any: return true;
    }
    return false;
}

struct Page {
    Output& out;
    const SessionSummary& session;
    ErrorLog& log;               // the name lookups log what they do not know
    const Column* last_columns;  // the two columns after the Lurch-factor

    void header_cell(Markup first_line, Markup second_line) const {
        HtmlText label = first_line;
        label += "<BR>\n";
        label += second_line;
        html_cell(out, BLACK, HTML_ALIGN_CENTER, label, 4);
    }

    void statistic_cell(const SessionPlayer& p, const Column& column) const {
        const int value = p.*column.value;
        HtmlText text = HtmlText::number(value);
        if (column.shown != Shown::Number) {
            text = column.shown == Shown::Weapon ? html_escape(weapon_name(p.fav_weapon))
                                                 : html_escape(p.fav_victim_name.view());
            text += "/";
            text += HtmlText::number(value);
        }
        const int best = session.bests[column.best].value;
        const bool marked = p.is_human == Species::Human && value == best && meets(column.condition, best);
        html_cell(out, marked ? RED : BLACK, HTML_ALIGN_CENTER, text, HTML_PLAIN);
    }

    void name_cell(const SessionPlayer& p) const {
        out.put("<TD>\n");
        // The image is named after the part of the skin before its first "/".
        const std::string_view skin = p.skin.view();
        HtmlText image = html_escape(skin.substr(0, skin.find('/')));
        image += ".gif";
        const HtmlText alt = html_escape(skin);
        if (session.images) html_image(out, &image, 32, 32, &alt, HTML_IMAGE_NO_ALIGN);
        html_line_break(out);
        html_text(out, BLACK, HTML_ALIGN_NONE, html_escape(p.name.view()), HTML_PLAIN);
        out.put("</TD>\n");
    }

    void player_row(const SessionPlayer& p) const {
        html_row_begin(out);
        html_cell(out, BLACK, HTML_ALIGN_CENTER, HtmlText::number(p.rank), HTML_PLAIN);
        name_cell(p);
        if (p.is_human == Species::Human) {
            html_cell(out, BLACK, HTML_ALIGN_CENTER, "Human", HTML_PLAIN);
        } else {
            HtmlText bot = "Bot/";
            bot += HtmlText::number(p.skill);
            html_cell(out, BLACK, HTML_ALIGN_CENTER, bot, HTML_PLAIN);
        }
        for (const Column& column : STATISTICS) statistic_cell(p, column);
        for (int k = 0; k < 2; ++k) statistic_cell(p, last_columns[k]);
        html_row_end(out);
    }

    // A line of the session block: a label and its value.
    void session_line(const HtmlText& label, const HtmlText& value) const {
        HtmlText line = label;
        line += value;
        html_text(out, BLACK, HTML_ALIGN_NONE, line, HTML_PLAIN);
        html_line_break(out);
    }

    void session_block(const char* date) const {
        const SessionInfo& s = session.info;
        out.put("<table border=\"0\" width=\"100%\">\n<tr>\n<td>\n");
        out.put("<H3>");
        const HtmlText map = html_escape(s.session_map.view());
        if (s.same_map == Sameness::Same && session.images) {
            HtmlText image = map;
            image += ".jpg";
            html_image(out, &image, 128, 128, &map, HTML_IMAGE_RIGHT);
        }
        session_line("Session date: ", html_escape(date));
        // Only the games that were reported count, not those left out (a map
        // change) or that did not load.
        session_line("Anaylsed games: ", HtmlText::number(s.reported_games));
        HtmlText minutes = HtmlText::number(s.reported_seconds / 60);
        minutes += " min";
        session_line("Session lenght: ", minutes);
        if (s.same_map == Sameness::Same) session_line("Session map: ", map);
        if (s.same_game_type == Sameness::Same && s.session_game_type == GameType::Unknown) log_unknown_gametype(log);
        session_line("Session gametype: ", s.same_game_type == Sameness::Same
                                               ? html_escape(gametype_name(s.session_game_type))
                                               : HtmlText("mixed"));
        out.put("</H3>");
        out.put("</td>\n</tr>\n</table>\n");
        html_paragraph(out);
        html_line_break(out);
    }

    void player_table(const Order& order) const {
        html_table_begin(out, 100, 2, "ffffff");
        html_row_begin(out);
        header_cell("place", "&nbsp;");
        header_cell("name", "&nbsp;");
        header_cell("species", "&nbsp;");
        for (const Column& column : STATISTICS) header_cell(column.first_line, column.second_line);
        for (int k = 0; k < 2; ++k) header_cell(last_columns[k].first_line, last_columns[k].second_line);
        html_row_end(out);
        for (int slot : order) {
            const SessionPlayer& p = session.players[static_cast<std::size_t>(slot)];
            if (!p.name.empty()) player_row(p);
        }
        html_table_end(out);
        html_paragraph(out);
        html_line_break(out);
    }

    void footer() const {
        html_text(out, BLACK, HTML_ALIGN_NONE, "Analyse program written by KESH with MS VC++ 6.0", 4);
        html_text(out, BLACK, HTML_ALIGN_NONE, "e-mail: ", HTML_PLAIN);
        html_mail_link(out, Markup(AUTHOR_EMAIL), Markup(AUTHOR_EMAIL));
        html_line_break(out);
        html_text(out, BLACK, HTML_ALIGN_NONE, "homepage: ", HTML_PLAIN);
        html_link(out, Markup(AUTHOR_HOMEPAGE), Markup(AUTHOR_HOMEPAGE));
        html_tail(out);
    }
};

}  // namespace

int write_html_page(const SessionSummary& session, ErrorLog& log, OutputFile& out, const char* date) {
    const SessionInfo& s = session.info;
    const bool flag_game = s.same_game_type == Sameness::Same && counts_flags(s.session_game_type);
    const Page page{out, session, log, flag_game ? FLAG_COLUMNS : KILL_COLUMNS};

    html_head(out, "UNREAL TOURNAMENT Gamelog Analyse", AUTHOR_HANDLE, VERSION_MINOR, "ut_bk.gif");
    HtmlText banner = "VELSTRA v";
    banner += Markup(VERSION_MAJOR);
    banner += ".";
    banner += Markup(VERSION_MINOR);
    banner += "\n\n";
    html_text(out, RED, HTML_ALIGN_CENTER, banner, 2);
    html_paragraph(out);
    html_line_break(out);

    page.session_block(date);
    page.player_table(session.order);
    page.footer();

    if (out.close()) return 1;
    log.append("\tcan't write Analyse-HTML-File");
    return 0;
}

Text session_date(const SessionInfo& info, std::time_t now) {
    Text date;
    if (!info.log_date.empty()) {
        date = info.log_date;
    } else {
        int year = 0, month = 0, day = 0;
        current_date(now, year, month, day);
        date.format("%02i%02i%04i", day, month, year);
    }
    return date;
}

int write_html_report(const SessionSummary& session, const Text& date, FileSystem& files, ErrorLog& log,
                      FailureReport& failures) {
    BoundedText<256> file_name;
    file_name.format("velstra%s.html", date.c_str());

    // The page has a stream of its own; the console stays where it is.
    std::unique_ptr<OutputFile> out = files.open_write(file_name.c_str(), WriteMode::TruncateText);
    if (!out) {
        log.append("\tcan't create Analyse-HTML-File");
    } else if (write_html_page(session, log, *out, date.c_str())) {
        return 1;
    }
    failures.report(Failure::PageUnwritable,
                    "can't write the page %s; make the folder writable, free some disk space and remove any folder or "
                    "link of that name (details in error.log)",
                    file_name.c_str());
    return 0;
}
