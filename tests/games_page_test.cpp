// The games page as its readers meet it: in headless Chromium, and through
// Debian's HTML checker, tidy. Its bytes are pinned by the golden sessions.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "analysis_test_support.h"
#include "browser.h"
#include "game_log.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* TIDY = "/usr/bin/tidy";
const char* const GAMES_PAGE = "velstra14072001-games.html";

// Runs after the page is parsed; names go through encodeURIComponent, so the
// report stays ASCII.
constexpr const char* PROBE = R"(
<script>
(function () {
  var out = [];
  var sections = document.querySelectorAll('section[id^="game-"]');
  var charts = [], lines = [];
  for (var i = 0; i < sections.length; i++) {
    charts.push(sections[i].querySelectorAll('svg').length);
    lines.push(sections[i].querySelectorAll('svg path').length);
  }
  out.push('sections=' + sections.length);
  out.push('charts=' + charts.join(','));
  out.push('lines=' + lines.join(','));
  out.push('games=' + document.querySelectorAll('#games tbody tr').length);
  var rows = document.querySelectorAll('#kill-matrix tbody tr');
  var totals = [];
  for (var i = 0; i < rows.length; i++)
    totals.push(encodeURIComponent(rows[i].cells[0].textContent) + ':' +
                rows[i].cells[rows[i].cells.length - 1].textContent);
  out.push('totals=' + totals.join(','));
  var links = [];
  var linked = document.querySelectorAll('[href], [src]');
  for (var i = 0; i < linked.length; i++) {
    var target = linked[i].getAttribute('href') || linked[i].getAttribute('src');
    if (target.charAt(0) != '#') links.push(encodeURIComponent(target));
  }
  out.push('links=' + links.join(','));
  out.push('pwn=' + (document.getElementById('pwn') ? 'found' : 'none'));
  out.push('pwned=' + (document.body.getAttribute('data-pwned') || 'none'));
  out.push('scripts=' + document.scripts.length);
  out.push('handlers=' + document.querySelectorAll('[onerror]').length);
  out.push('charset=' + document.characterSet);
  var pre = document.createElement('pre');
  pre.id = 'probe';
  pre.textContent = out.join(';');
  document.body.appendChild(pre);
})();
</script>
)";

const std::string kScript = "<script>document.body.setAttribute(\"data-pwned\",\"script\")</script>";
const std::string kImage = "<img id=\"pwn\" src=\"none\" onerror=\"document.body.setAttribute('data-pwned','img')\">";
// "Jürgen" as the game writes it: one byte per character, the Latin-1 one.
const std::string kJuergen = "J\xFCrgen";

// Two games of hostile and Latin-1 names, one of them a team game, with
// kills of others, team kills, kills of oneself and suicides.
void write_session(const fs::path& folder) {
    write_game_log(
        folder, 0,
        game_text({.setup = connect_lines(0, kJuergen) + connect_lines(1, kScript, true, "", "3.000000") +
                            connect_lines(2, kImage),
                   .play = kill_line("100.00", 0, "Rocket Launcher", 1) + kill_line("150.00", 0, "Rocket Launcher", 1) +
                           kill_line("200.00", 2, "Flak Cannon", 0) + kill_line("250.00", 1, "Redeemer", 1) +
                           log_line("300.00", {"suicide", "2", "Fell"})}));
    write_game_log(
        folder, 1,
        game_text({.type = TEAM_GAME,
                   .setup = connect_lines(0, kJuergen, false, "0") + connect_lines(1, kImage, false, "1") +
                            connect_lines(2, "Alice", false, "1"),
                   .play = kill_line("50.00", 1, "Shock Rifle", 0) + kill_line("60.00", 0, "Minigun", 2) +
                           kill_line("70.00", 2, "Minigun", 1, "teamkill") + kill_line("80.00", 2, "Arc Lance", 0)}));
}

// The kills of each player on the session page: the sixth cell of a row.
std::map<std::string, std::string> session_page_kills(const std::string& page) {
    std::map<std::string, std::string> kills;
    const std::regex row(
        "<TR>\n<TD>\n[^]*?</TD>\n<TD>\n[^]*?<BR>\n([^\n]*)</TD>\n(?:<TD>\n[^]*?</TD>\n){3}<TD>\n"
        "<CENTER>(?:<FONT[^>]*>)?(\\d+)");
    for (std::sregex_iterator it(page.begin(), page.end(), row), end; it != end; ++it) kills[(*it)[1]] = (*it)[2];
    return kills;
}

// The session page's escaped name, as the browser shows it.
std::string unescaped(std::string text) {
    for (const auto& [entity, character] : std::vector<std::pair<std::string, std::string>>{
             {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}}) {
        for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, entity.size(), character);
    }
    return text;
}

// A Latin-1 text in UTF-8.
std::string utf8(const std::string& latin1) {
    std::string text;
    for (char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

using GamesPage = ScratchFolder;

TEST_F(GamesPage, BrowserShowsEveryGameWithItsChartsAndHostileNamesAsText) {
    if (!fs::exists(CHROMIUM))
        GTEST_SKIP() << CHROMIUM << " is missing, so the page is not opened in a browser; "
                     << "`make check` installs Debian's chromium package when it runs as root";
    write_session(dir());
    ASSERT_EQ(run_analyser_program({}, dir()).exit_code, 0);
    const std::string probe = run_probe(dir(), read_page(dir() / GAMES_PAGE), PROBE);
    ASSERT_FALSE(probe.empty());

    EXPECT_EQ(probe_value(probe, "sections"), "2");
    EXPECT_EQ(probe_value(probe, "games"), "2");
    // The players' chart, and in the team game first the teams' own.
    EXPECT_EQ(probe_value(probe, "charts"), "1,2");
    // A line per player, and in the team game one per team.
    EXPECT_EQ(probe_value(probe, "lines"), "3,5");
    EXPECT_EQ(probe_value(probe, "charset"), "UTF-8");
    // Nothing to fetch: the only link that leaves the page goes to the session page.
    EXPECT_EQ(probe_value(probe, "links"), "velstra14072001.html");
    expect_names_stayed_text(probe);

    // Every killer's row ends in his kills on the session page, under his name as written.
    const std::map<std::string, std::string> kills = session_page_kills(read_page(dir() / "velstra14072001.html"));
    std::map<std::string, std::string> totals;
    for (const std::string& entry : split(probe_value(probe, "totals"), ',')) {
        const std::size_t colon = entry.rfind(':');
        totals[percent_decoded(entry.substr(0, colon))] = entry.substr(colon + 1);
    }
    std::map<std::string, std::string> expected;
    for (const auto& [name, count] : kills) expected[utf8(unescaped(name))] = count;
    EXPECT_EQ(totals, expected);
    EXPECT_EQ(totals.count(utf8(kJuergen)), 1u);
    EXPECT_EQ(totals.count(kScript), 1u);
    EXPECT_EQ(totals.count(kImage), 1u);
}

TEST_F(GamesPage, TidyFindsNoError) {
    if (!fs::exists(TIDY)) GTEST_SKIP() << TIDY << " is missing; `make check` installs Debian's tidy package";
    write_session(dir());
    ASSERT_EQ(run_analyser_program({"-ni"}, dir()).exit_code, 0);
    fs::create_directory(dir() / "sample");
    for (const auto& entry : fs::directory_iterator(EXAMPLES_DIR))
        fs::copy_file(entry.path(), dir() / "sample" / entry.path().filename());
    for (const auto& entry : fs::directory_iterator(dir() / "sample"))
        if (entry.path().extension() == ".log") set_log_date(entry.path(), 14, 7, 2001);
    ASSERT_EQ(run_analyser_program({}, dir() / "sample").exit_code, 0);
    for (const fs::path& page : {dir() / GAMES_PAGE, dir() / "sample" / GAMES_PAGE}) {
        // Exit status 0 is a clean page, 1 warnings, 2 errors.
        const RunResult tidy = run_program(TIDY, {"-q", "-e", page.string()}, dir());
        EXPECT_EQ(tidy.exit_code, 0) << page << ":\n" << tidy.err;
    }
}

}  // namespace

// The page read where players read it: on a 1100-pixel screen the games
// table, every scoreboard and every table of moments and accuracy (a
// Capture the Flag game's has eighteen columns) show whole, without
// sideways scrolling; on a
// 360-pixel phone each scoreboard still shows place, player, score and
// frags (its first four columns) before it scrolls.
constexpr const char* FIT_PROBE = R"(
<script>
(function () {
  var overflowing = [], hidden = [];
  var tables = document.querySelectorAll('#games, table.scoreboard, table.moments, table.accuracy');
  for (var i = 0; i < tables.length; i++) {
    var box = tables[i].parentNode;
    if (box.scrollWidth > box.clientWidth + 1) overflowing.push(i);
    if (!tables[i].classList.contains('scoreboard')) continue;
    var right = box.getBoundingClientRect().right, cells = tables[i].querySelectorAll('thead th');
    for (var c = 0; c < 4 && c < cells.length; c++)
      if (cells[c].getBoundingClientRect().right > right + 1) hidden.push(i + '.' + c);
  }
  var pre = document.createElement('pre');
  pre.id = 'probe';
  pre.textContent = 'width=' + window.innerWidth + ';tables=' + tables.length + ';overflowing=' +
    (overflowing.join(',') || 'none') + ';hidden=' + (hidden.join(',') || 'none');
  document.body.appendChild(pre);
})();
</script>
)";

TEST_F(GamesPage, FitsAWideScreenAndShowsTheScoreOnAPhone) {
    if (!fs::exists(CHROMIUM))
        GTEST_SKIP() << CHROMIUM << " is missing, so the page is not opened in a browser; "
                     << "`make check` installs Debian's chromium package when it runs as root";
    // Real names and every kind of game: the sample evening, and the golden
    // sessions of team results and of mixed game types.
    for (const char* session :
         {"sample_session", "team_scores_by_the_moment_and_log_dates", "mixed_session", "every_moment"}) {
        const std::string page =
            read_page(fs::path(__FILE__).parent_path() / "golden" / session / "expected" / GAMES_PAGE);
        const std::string wide = run_probe(dir(), page, FIT_PROBE, 1100);
        EXPECT_EQ(probe_value(wide, "width"), "1100") << session;
        EXPECT_NE(probe_value(wide, "tables"), "0") << session;
        EXPECT_EQ(probe_value(wide, "overflowing"), "none") << session;
        const std::string phone = run_probe(dir(), page, FIT_PROBE, 360);
        EXPECT_EQ(probe_value(phone, "width"), "360") << session;
        EXPECT_EQ(probe_value(phone, "hidden"), "none") << session;
    }
}
