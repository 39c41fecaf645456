// The site of a history: the file names made from player names, the folder
// it is written into, and its pages as a browser and tidy read them. The
// pages' bytes are pinned by the golden sites (golden_session_test.cpp).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "analysis_test_support.h"
#include "browser.h"
#include "page_file_names.h"
#include "site_pages.h"
#include "velstra_cli.h"
#include "velstra_test_games.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* TIDY = "/usr/bin/tidy";

TEST(PageFileNames, KeepLettersAndDigitsAndNothingThatLeavesTheFolder) {
    EXPECT_EQ(file_stem("Bob"), "bob");
    EXPECT_EQ(file_stem("[UTF]Killer_99"), "utf-killer-99");
    EXPECT_EQ(file_stem("  --Ann--  "), "ann");
    // Latin-1 letters with accents, as the history keeps them in UTF-8.
    EXPECT_EQ(file_stem("J\xC3\xB6rg \xC3\x86gir \xC3\x9F"), "jorg-agir-s");
    EXPECT_EQ(file_stem("\xC3\x97\xC3\xB7"), "player");  // multiplication and division signs
    EXPECT_EQ(file_stem("\xE2\x98\x83 snow"), "snow");   // beyond Latin-1: a separator
    EXPECT_EQ(file_stem("../../etc/passwd"), "etc-passwd");
    EXPECT_EQ(file_stem("..\\..\\boot.ini"), "boot-ini");
    EXPECT_EQ(file_stem("/"), "player");
    EXPECT_EQ(file_stem(""), "player");
    EXPECT_EQ(file_stem("<script>alert(1)</script>"), "script-alert-1-script");
    // Names Windows keeps for devices, whatever their case; near misses stay.
    for (const char* device : {"CON", "prn", "Aux", "nul", "com1", "COM9", "lpt1", "lpt9", "nul."})
        EXPECT_EQ(file_stem(device).find('-') != std::string::npos, true) << device << ": " << file_stem(device);
    EXPECT_EQ(file_stem("con"), "con-player");
    EXPECT_EQ(file_stem("com0"), "com0");
    EXPECT_EQ(file_stem("com10"), "com10");
    EXPECT_EQ(file_stem("console"), "console");
    // At most 40 characters, and no dash left at the cut.
    EXPECT_EQ(file_stem(std::string(39, 'a') + " b"), std::string(39, 'a'));
    EXPECT_EQ(file_stem(std::string(300, 'x')), std::string(40, 'x'));

    PageFileNames names;
    EXPECT_EQ(names.take("Bob"), "bob");
    EXPECT_EQ(names.take("BOB"), "bob-2");
    EXPECT_EQ(names.take("bob 2"), "bob-2-2");  // its own stem is taken already
    EXPECT_EQ(names.take("b.o.b"), "b-o-b");
    EXPECT_EQ(names.take("{Bob}"), "bob-3");
    EXPECT_EQ(names.take("CON"), "con-player");
    EXPECT_EQ(names.take("con-player"), "con-player-2");
}

// Builds histories of hand-made games and writes their sites.
class Site : public ScratchFolder {
protected:
    int velstra(std::vector<std::string> args) {
        StringOutput out;
        StringOutput err;
        VelstraRun run;
        run.args = std::move(args);
        run.out = &out;
        run.err = &err;
        run.analyse = analysis.function();
        const int code = run_velstra(run);
        last_out = out.text;
        last_err = err.text;
        return code;
    }

    // A game of the players, best first, on the evening of day (March 2011)
    // at the hour.
    void add_game(const std::string& seed, const std::vector<TestPlayer>& players, int day, int hour) {
        analysis.games[seed] = test_game(seed, "DM-Deck16][", players, StartTime{2011, 3, day, hour, 0, 0, true, 60});
        write_file(dir() / ("log-" + seed + ".log"), "game:" + seed);
    }

    // Six games on two evenings: Ann wins each, two humans of hostile names
    // follow, a bot comes last. The site is in "site".
    bool hostile_site();

    TestAnalysis analysis;
    std::string last_out;
    std::string last_err;
};

const std::string SCRIPT_NAME = "<script>document.body.setAttribute(\"data-pwned\",\"script\")</script>";
const std::string IMAGE_NAME =
    "<img id=\"pwn\" src=\"none\" onerror=\"document.body.setAttribute('data-pwned','img')\">";

bool Site::hostile_site() {
    for (int g = 0; g < 6; ++g)
        add_game("G" + std::to_string(g), {{"Ann"}, {SCRIPT_NAME}, {IMAGE_NAME}, {"Bot", Species::Bot}}, g < 3 ? 1 : 2,
                 20 + g % 3);
    return velstra({"import", "."}) == 0 && velstra({"site", "-o", "site"}) == 0;
}

// The write time of every file under a folder, by its path from there.
std::map<std::string, fs::file_time_type> times_under(const fs::path& root) {
    std::map<std::string, fs::file_time_type> times;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) times[fs::relative(entry.path(), root).generic_string()] = entry.last_write_time();
    return times;
}

// The pages whose file was written again between two moments, and those
// that came or went.
std::set<std::string> rewritten(const std::map<std::string, fs::file_time_type>& before,
                                const std::map<std::string, fs::file_time_type>& after) {
    std::set<std::string> changed;
    for (const auto& [page, time] : after)
        if (!page.starts_with(".velstra-site/") && (!before.contains(page) || before.at(page) != time))
            changed.insert(page);
    for (const auto& [page, time] : before)
        if (!after.contains(page)) changed.insert(page);
    return changed;
}

// A site follows its history: a build writes only the pages whose bytes
// change, one more evening changes the pages it touches, a page the history
// no longer needs goes, and no file that is not the site's is ever
// overwritten or removed.
TEST_F(Site, WritesOnlyWhatChangedAndRemovesOnlyItsOwnStalePages) {
    add_game("A", {{"Ann"}, {"Bob"}}, 1, 21);
    add_game("B", {{"Cyd"}, {"Bob"}}, 2, 21);
    ASSERT_EQ(velstra({"import", "."}), 0) << last_err;
    fs::create_directories("site/players");
    write_file("site/notes.txt", "mine");
    write_file("site/players/old-friend.html", "kept");
    // A page of an earlier release, without a list: taken over.
    write_file("site/index.html",
               "<p>an old index</p><footer>Written by velstra from the stat logs of the games.</footer>");
    ASSERT_EQ(velstra({"site", "-o", "site"}), 0) << last_err;
    EXPECT_EQ(last_out,
              "site: 8 pages: the index, 3 of players, 2 of evenings, 1 of years, 1 of maps; 8 written, 0 unchanged, 0 "
              "removed\n");
    EXPECT_NE(read_file("site/index.html").find("<table id=\"ranking\">"), std::string::npos);
    const auto first = times_under("site");

    // Nothing changed: nothing written.
    ASSERT_EQ(velstra({"site", "-o", "site"}), 0) << last_err;
    EXPECT_EQ(last_out,
              "site: 8 pages: the index, 3 of players, 2 of evenings, 1 of years, 1 of maps; 0 written, 8 unchanged, 0 "
              "removed\n");
    EXPECT_EQ(rewritten(first, times_under("site")), std::set<std::string>{});

    // One more evening: its page, the evening before (its link to the
    // next), its year's list, its players, its map and the index.
    add_game("C", {{"Ann"}, {"Dan"}}, 3, 21);
    ASSERT_EQ(velstra({"import", "."}), 0) << last_err;
    ASSERT_EQ(velstra({"site", "-o", "site"}), 0) << last_err;
    EXPECT_EQ(rewritten(first, times_under("site")),
              (std::set<std::string>{"evenings/2011-03-02.html", "evenings/2011-03-03.html", "evenings/2011.html",
                                     "index.html", "maps/dm-deck16.html", "players/ann.html", "players/dan.html"}));
    EXPECT_NE(read_file("site/evenings/2011-03-02.html").find("evenings/2011-03-03.html"), std::string::npos);

    // A forgotten game's emptied evening and a merged player's page go;
    // other files stay.
    ASSERT_EQ(velstra({"forget", "1"}), 0) << last_err;
    ASSERT_EQ(velstra({"alias", "Dan", "--as", "Cyd"}), 0) << last_err;
    ASSERT_EQ(velstra({"site", "-o", "site"}), 0) << last_err;
    EXPECT_FALSE(fs::exists("site/evenings/2011-03-01.html"));
    EXPECT_FALSE(fs::exists("site/players/dan.html"));
    EXPECT_NE(last_out.find(", 2 removed\n"), std::string::npos) << last_out;
    EXPECT_EQ(read_file("site/notes.txt"), "mine");
    EXPECT_EQ(read_file("site/players/old-friend.html"), "kept");

    // A file of someone else's where a new page goes stops the build
    // before anything is written.
    add_game("D", {{"Eve"}, {"Ann"}}, 4, 21);
    ASSERT_EQ(velstra({"import", "."}), 0) << last_err;
    write_file("site/players/eve.html", "Eve's own page");
    const auto before_refusal = times_under("site");
    EXPECT_EQ(velstra({"site", "-o", "site"}), 2);
    EXPECT_EQ(last_err,
              "velstra: site/players/eve.html: is not a page of this site; it stays as it is, and nothing "
              "was written\n");
    EXPECT_EQ(times_under("site"), before_refusal);
    EXPECT_EQ(read_file("site/players/eve.html"), "Eve's own page");
    fs::remove("site/players/eve.html");
    fs::create_directories("site/players/eve.html/inside");
    EXPECT_EQ(velstra({"site", "-o", "site"}), 2);
    EXPECT_FALSE(fs::exists("site/evenings/2011-03-04.html"));
    fs::remove_all("site/players/eve.html");
    // A page that cannot be written where it waits for its place stops the
    // build before anything is put in place.
    fs::create_directories("site/.velstra-site/made/evenings/2011-03-04.html/inside");
    EXPECT_EQ(velstra({"site", "-o", "site"}), 2);
    EXPECT_EQ(last_err, "velstra: site/.velstra-site/made/evenings/2011-03-04.html: cannot be made\n");
    EXPECT_FALSE(fs::exists("site/evenings/2011-03-04.html"));
    EXPECT_FALSE(fs::exists("site/players/eve.html"));
    fs::remove_all("site/.velstra-site/made/evenings/2011-03-04.html");
    ASSERT_EQ(velstra({"site", "-o", "site"}), 0) << last_err;
    EXPECT_TRUE(fs::exists("site/evenings/2011-03-04.html"));

    // A folder of the site that is a link could lead anywhere: refused.
    fs::remove_all("site/players");
    fs::create_directory("elsewhere");
    fs::create_directory_symlink(dir() / "elsewhere", "site/players");
    EXPECT_EQ(velstra({"site", "-o", "site"}), 2);
    EXPECT_TRUE(fs::is_empty("elsewhere"));

    EXPECT_EQ(velstra({"site", "-o"}), 1);
    EXPECT_EQ(velstra({"site", "extra"}), 1);
}

// The probe reports the ranking's Player and Rating cells (by their column
// headings), whether the page is wider than its window, and every link that
// leads out of the site's folder.
constexpr const char* SITE_PROBE = R"(
<script>
(function () {
  var out = [];
  var root = document.getElementById('site-root').textContent;
  var table = document.getElementById('ranking');
  if (table) {
    var heads = table.tHead.rows[0].cells, player = -1, rating = -1;
    for (var i = 0; i < heads.length; i++) {
      if (heads[i].textContent == 'Player') player = i;
      if (heads[i].textContent == 'Rating') rating = i;
    }
    var rows = [];
    for (var r = 0; r < table.tBodies[0].rows.length; r++) {
      var row = table.tBodies[0].rows[r];
      if (row.cells.length <= rating) continue;  // "no player has enough rated games"
      rows.push(encodeURIComponent(row.cells[player].textContent) + ':' +
                encodeURIComponent(row.cells[rating].textContent));
    }
    out.push('ranking=' + rows.join(','));
  }
  var outside = [], links = document.querySelectorAll('a[href]');
  for (var i = 0; i < links.length; i++)
    if (links[i].href.indexOf(root) != 0) outside.push(encodeURIComponent(links[i].href));
  out.push('links=' + links.length);
  out.push('outside=' + (outside.join(',') || 'none'));
  out.push('wide=' + (document.documentElement.scrollWidth > window.innerWidth + 1 ? 'yes' : 'no'));
  out.push('pwn=' + (document.getElementById('pwn') ? 'found' : 'none'));
  out.push('pwned=' + (document.body.getAttribute('data-pwned') || 'none'));
  out.push('scripts=' + document.scripts.length);
  out.push('handlers=' + document.querySelectorAll('[onerror]').length);
  // The weakest contrast of any text against what is behind it (WCAG's
  // ratio), and the colour scheme the page was asked for.
  function rgb(s) { var m = s.match(/[0-9.]+/g) || [0, 0, 0]; return m.map(Number); }
  function lum(c) {
    var v = [c[0], c[1], c[2]].map(function (x) {
      x /= 255; return x <= 0.03928 ? x / 12.92 : Math.pow((x + 0.055) / 1.055, 2.4); });
    return 0.2126 * v[0] + 0.7152 * v[1] + 0.0722 * v[2];
  }
  function behind(e) {
    for (; e; e = e.parentElement) {
      var c = rgb(getComputedStyle(e).backgroundColor);
      if (c.length < 4 || c[3] > 0) return c;
    }
    return [255, 255, 255];
  }
  var worst = 99, at = 'none', texts = document.body.querySelectorAll('*');
  for (var i = 0; i < texts.length; i++) {
    var e = texts[i], own = false;
    for (var n = e.firstChild; n; n = n.nextSibling)
      if (n.nodeType == 3 && n.textContent.trim()) own = true;
    if (!own || e.closest('svg') || e.closest('[hidden]') || e.id == 'probe') continue;
    var a = lum(rgb(getComputedStyle(e).color)), b = lum(behind(e));
    var ratio = (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05);
    if (ratio < worst) { worst = ratio; at = e.tagName + '.' + e.className; }
  }
  out.push('contrast=' + worst.toFixed(1));
  out.push('weakest=' + at);
  out.push('scheme=' + (matchMedia('(prefers-color-scheme: dark)').matches ? 'dark' : 'light'));
  var pre = document.createElement('pre');
  pre.id = 'probe';
  pre.textContent = out.join(';');
  document.body.appendChild(pre);
})();
</script>
)";

// The moments and accuracy a build sums are kept in the state it leaves: a
// site taken up again after one more evening shows, page for page, what a
// site built anew from the whole history shows.
TEST_F(Site, MomentsSummedBeforeAreKeptForTheNextBuild) {
    auto with_moments = [&](const std::string& seed, int day, int spree, int monsters, int shots) {
        add_game(seed, {{"Ann"}, {"Bob"}}, day, 21);
        GameRecord& record = analysis.games[seed].record;
        record.players[0].moments.best_spree = spree;
        record.players[0].moments.sprees[1] = 1;
        record.players[0].moments.multis[3] = monsters;
        record.players[1].moments.first_blood = 1;
        record.accuracy = {{0, Text("Shock Rifle"), shots, shots / 3, 900}, {1, Text("Minigun"), 80, 20, 300}};
    };
    with_moments("M1", 1, 12, 2, 60);
    ASSERT_EQ(velstra({"import", "."}), 0) << last_err;
    ASSERT_EQ(velstra({"site", "-o", "site"}), 0) << last_err;
    // The state keeps every evening but the last: the third build takes up
    // the first evening from it.
    with_moments("M2", 2, 7, 1, 90);
    ASSERT_EQ(velstra({"import", "."}), 0) << last_err;
    ASSERT_EQ(velstra({"site", "-o", "site"}), 0) << last_err;
    with_moments("M3", 3, 5, 1, 30);
    ASSERT_EQ(velstra({"import", "."}), 0) << last_err;
    ASSERT_EQ(velstra({"site", "-o", "site"}), 0) << last_err;
    ASSERT_EQ(velstra({"site", "-o", "anew"}), 0) << last_err;
    std::map<std::string, std::string> continued = files_under("site");
    std::map<std::string, std::string> built = files_under("anew");
    std::erase_if(continued, [](const auto& page) { return page.first.starts_with(".velstra-site/"); });
    std::erase_if(built, [](const auto& page) { return page.first.starts_with(".velstra-site/"); });
    EXPECT_TRUE(continued == built);
    const std::string ann = read_file("site/players/ann.html");
    EXPECT_NE(ann.find("<p>Best spree: 12 kills, DM-Deck16]["), std::string::npos) << ann;
    EXPECT_NE(ann.find("<tr><th scope=\"row\">Monster Kill</th><td class=\"n\">4</td></tr>"), std::string::npos);
    EXPECT_NE(ann.find("<tr><th scope=\"row\">Shock Rifle</th><td class=\"n\">180</td><td class=\"n\">60</td>"),
              std::string::npos);
}

TEST_F(Site, BrowserShowsTheRankingAndHostileNamesAsTextWithEveryLinkInside) {
    if (!fs::exists(CHROMIUM))
        GTEST_SKIP() << CHROMIUM << " is missing, so the site is not opened in a browser; "
                     << "`make check` installs Debian's chromium package when it runs as root";
    ASSERT_TRUE(hostile_site()) << last_err;
    const fs::path site = dir() / "site";
    const std::string root = "file://" + site.string() + "/";
    const std::string probe = "<pre id=\"site-root\" hidden>" + root + "</pre>" + SITE_PROBE;

    const std::string index = run_probe(site, read_file(site / "index.html"), probe);
    const std::vector<std::string> ranking = split(probe_value(index, "ranking"), ',');
    ASSERT_EQ(ranking.size(), 3u) << index;  // the humans; never the bot
    // "c (mu ± sigma)", one decimal each, with c = mu - 3 sigma.
    const std::regex rating("Ann:(-?[0-9]+\\.[0-9]) \\(([0-9]+\\.[0-9]) \xC2\xB1 ([0-9]+\\.[0-9])\\)");
    std::smatch parts;
    const std::string first = percent_decoded(ranking[0]);
    ASSERT_TRUE(std::regex_match(first, parts, rating)) << first;
    EXPECT_NEAR(std::stod(parts[1]), std::stod(parts[2]) - 3 * std::stod(parts[3]), 0.21) << first;
    EXPECT_GT(std::stod(parts[2]), 25.0) << first;  // he won every game
    EXPECT_EQ(percent_decoded(ranking[1]).substr(0, SCRIPT_NAME.size() + 1), SCRIPT_NAME + ":");
    EXPECT_EQ(percent_decoded(ranking[2]).substr(0, IMAGE_NAME.size() + 1), IMAGE_NAME + ":");
    EXPECT_EQ(probe_value(index, "outside"), "none");
    expect_names_stayed_text(index);

    for (const fs::path& page :
         {site / "players" / "script-document-body-setattribute-data-p.html",
          site / "players" / "img-id-pwn-src-none-onerror-document-bod.html", site / "evenings" / "2011-03-02.html"}) {
        ASSERT_TRUE(fs::exists(page)) << page;
        const std::string seen = run_probe(page.parent_path(), read_file(page), probe);
        EXPECT_NE(probe_value(seen, "links"), "0") << page;
        EXPECT_EQ(probe_value(seen, "outside"), "none") << page;
        expect_names_stayed_text(seen);
        // A long name without a space breaks rather than widening a phone's page.
        EXPECT_EQ(probe_value(run_probe(page.parent_path(), read_file(page), probe, 360), "wide"), "no") << page;
        fs::remove(page.parent_path() / "probe.html");
    }
}

// Every page of a site of hostile names, and of the golden sites.
TEST_F(Site, TidyFindsNoError) {
    if (!fs::exists(TIDY)) GTEST_SKIP() << TIDY << " is missing; `make check` installs Debian's tidy package";
    ASSERT_TRUE(hostile_site()) << last_err;
    std::vector<fs::path> pages;
    for (const auto& entry : fs::recursive_directory_iterator(dir() / "site"))
        if (entry.path().extension() == ".html") pages.push_back(entry.path());
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(__FILE__).parent_path() / "golden"))
        if (entry.path().extension() == ".html" && entry.path().string().find("/expected-site/") != std::string::npos)
            pages.push_back(entry.path());
    EXPECT_GT(pages.size(), 20u);
    for (const fs::path& page : pages) {
        // Exit status 0 is a clean page, 1 warnings, 2 errors.
        const RunResult tidy = run_program(TIDY, {"-q", "-e", page.string()}, dir());
        EXPECT_EQ(tidy.exit_code, 0) << page << "\n" << tidy.err;
    }
}

// The pages of the sample evening's site on a wide screen and on a phone,
// light and dark: no page is wider than its window (its tables and charts
// scroll in their boxes instead), and every text reads against what is
// behind it (a contrast of 4.5 or more).
TEST_F(Site, PagesFitAWideScreenAndAPhone) {
    if (!fs::exists(CHROMIUM))
        GTEST_SKIP() << CHROMIUM << " is missing, so the site is not opened in a browser; "
                     << "`make check` installs Debian's chromium package when it runs as root";
    const fs::path golden = fs::path(__FILE__).parent_path() / "golden" / "sample_session" / "expected-site";
    fs::copy(golden, dir() / "site", fs::copy_options::recursive);
    const std::string probe =
        "<pre id=\"site-root\" hidden>file://" + (dir() / "site").string() + "/</pre>" + SITE_PROBE;
    for (const char* name :
         {"index.html", "players/dabbler.html", "evenings/2000-08-15.html", "maps/dm-codex-unr.html"}) {
        const fs::path page = dir() / "site" / name;
        for (int width : {1100, 360})
            for (bool dark : {false, true}) {
                const std::string seen = run_probe(page.parent_path(), read_file(page), probe, width, dark);
                const std::string how = std::string(name) + " at " + std::to_string(width) + (dark ? ", dark" : "");
                EXPECT_EQ(probe_value(seen, "scheme"), dark ? "dark" : "light") << how;
                EXPECT_EQ(probe_value(seen, "wide"), "no") << how;
                EXPECT_EQ(probe_value(seen, "outside"), "none") << how;
                EXPECT_GE(std::stod("0" + probe_value(seen, "contrast")), 4.5)
                    << how << ": " << probe_value(seen, "weakest");
            }
    }
}

// The rows of a table of a page, each as its cells' texts joined by '|'
// (markup left out).
std::vector<std::string> table_rows(const std::string& page, const std::string& id) {
    std::vector<std::string> rows;
    const std::size_t from = page.find("<table id=\"" + id + "\">");
    if (from == std::string::npos) return rows;
    const std::size_t body = page.find("<tbody>", from);
    const std::string table = page.substr(body, page.find("</tbody>", body) - body);
    const std::regex row("<tr>(.*?)</tr>");
    const std::regex cell("<t[dh][^>]*>(.*?)</t[dh]>");
    const std::regex tag("<[^>]*>");
    for (auto r = std::sregex_iterator(table.begin(), table.end(), row); r != std::sregex_iterator(); ++r) {
        const std::string cells = (*r)[1].str();
        std::string text;
        for (auto c = std::sregex_iterator(cells.begin(), cells.end(), cell); c != std::sregex_iterator(); ++c)
            text += (text.empty() ? "" : "|") + std::regex_replace((*c)[1].str(), tag, "");
        rows.push_back(text);
    }
    return rows;
}

// A game type with 20 rated games gets a ranking of its own, whose figures
// count that type's games alone, and its own resting list; a player whose
// last rated game is more than 90 days before the last evening rests.
TEST_F(Site, EachRankingCountsItsOwnGamesAndRestsTheAbsent) {
    auto add = [&](const std::string& seed, const std::vector<TestPlayer>& players, StartTime start,
                   bool flags = false) {
        LoggedGame game = test_game(seed, "DM-Deck16][", players, start);
        if (flags) {
            // Two teams of one, each there all along: rated, a draw.
            game.record.type = GameType::CaptureTheFlag;
            game.record.type_name = "Capture the Flag";
            game.record.players[1].team = "1";
            game.player_teams[1] = {TeamSpell{Text("1"), 754}};
        }
        analysis.games[seed] = game;
        write_file(dir() / ("log-" + seed + ".log"), "game:" + seed);
    };
    // Ann beats Cyd in five deathmatches on 1 March and Bob in 22 on 11
    // evenings of June; then three games of flags in June and July, on
    // evenings of their own.
    for (int g = 0; g < 22; ++g)
        add("D" + std::to_string(g), {{"Ann"}, {"Bob"}}, {2011, 6, 1 + g / 2, 20 + g % 2, 0, 0, true, 60});
    for (int g = 0; g < 5; ++g) add("C" + std::to_string(g), {{"Ann"}, {"Cyd"}}, {2011, 3, 1, 22, g, 0, true, 60});
    add("F1", {{"Ann"}, {"Bob"}}, {2011, 6, 20, 20, 0, 0, true, 60}, true);
    add("F2", {{"Bob"}, {"Ann"}}, {2011, 6, 29, 20, 0, 0, true, 60}, true);
    add("F3", {{"Ann"}, {"Bob"}}, {2011, 7, 1, 20, 0, 0, true, 60}, true);
    ASSERT_EQ(velstra({"import", "."}), 0) << last_err;
    ASSERT_EQ(velstra({"site", "-o", "site"}), 0) << last_err;
    const std::string index = read_file("site/index.html");

    // Overall: every game and evening; Cyd's last rated game, 1 March, is
    // 122 days before 1 July.
    const std::vector<std::string> overall = table_rows(index, "ranking");
    ASSERT_EQ(overall.size(), 2u) << index;
    EXPECT_TRUE(overall[0].starts_with("1 of 2|Ann|")) << overall[0];
    EXPECT_NE(overall[0].find("|30|15|"), std::string::npos) << overall[0];
    EXPECT_NE(overall[0].find("|1 July 2011"), std::string::npos) << overall[0];
    EXPECT_TRUE(overall[1].starts_with("2 of 2|Bob|")) << overall[1];
    const std::vector<std::string> resting = table_rows(index, "inactive");
    ASSERT_EQ(resting.size(), 1u);
    EXPECT_TRUE(resting[0].starts_with("\xE2\x80\x94|Cyd|")) << resting[0];

    // The deathmatches alone: Ann's 27 games on 12 evenings, the last on 11
    // June, all won.
    const std::vector<std::string> deathmatch = table_rows(index, "ranking-tournament-deathmatch");
    ASSERT_EQ(deathmatch.size(), 2u) << index;
    EXPECT_TRUE(deathmatch[0].starts_with("1 of 2|Ann|")) << deathmatch[0];
    EXPECT_NE(deathmatch[0].find("|27|12|27|100 %|"), std::string::npos) << deathmatch[0];
    EXPECT_NE(deathmatch[0].find("|11 June 2011"), std::string::npos) << deathmatch[0];
    EXPECT_EQ(table_rows(index, "inactive-tournament-deathmatch").size(), 1u);
    // Three games of flags are too few for a ranking of their own.
    EXPECT_EQ(index.find("ranking-capture-the-flag"), std::string::npos);
}

// velstra teams splits the named players into two even teams: a merged
// name finds its player, a name the history does not know plays as a new
// player (said on standard error), and one player named twice is refused.
TEST_F(Site, TeamsProposesTwoEvenTeamsOfTheNamedPlayers) {
    for (int g = 0; g < 6; ++g) add_game("T" + std::to_string(g), {{"Ann"}, {"Bob"}}, 1 + g % 2, 20 + g);
    add_game("T9", {{"Ann"}, {"Bob_afk"}}, 3, 20);
    ASSERT_EQ(velstra({"import", "."}), 0);
    ASSERT_EQ(velstra({"alias", "Bob_afk", "--as", "Bob"}), 0);

    // Ann, who always won, with Bob, who always lost, against two new
    // players is the even split; her with either new player is not.
    EXPECT_EQ(velstra({"teams", "Cyd", "Ann", "Dan", "Bob_afk"}), 0);
    EXPECT_EQ(last_err,
              "velstra: \"Cyd\" is not in the history; counted with a new player's rating\n"
              "velstra: \"Dan\" is not in the history; counted with a new player's rating\n");
    std::smatch chances;
    ASSERT_TRUE(std::regex_match(
        last_out, chances,
        std::regex("Red: Cyd, Dan\nBlue: Ann, Bob_afk\nRed (\\d+)\\.(\\d) %, Blue (\\d+)\\.(\\d) %\n")))
        << last_out;
    EXPECT_EQ(std::stoi(chances[1]) * 10 + std::stoi(chances[2]) + std::stoi(chances[3]) * 10 + std::stoi(chances[4]),
              1000);

    // Five new players: any two against three, (50 - 75) / sqrt(2 beta^2 +
    // 5 sigma^2) = -1.2792, a chance of 10.0 %; the first split tried wins.
    EXPECT_EQ(velstra({"teams", "Eve", "Fay", "Gus", "Hal", "Ivy"}), 0);
    EXPECT_EQ(last_out, "Red: Eve, Fay\nBlue: Gus, Hal, Ivy\nRed 10.0 %, Blue 90.0 %\n");

    EXPECT_EQ(velstra({"teams", "Bob", "Ann", "Bob_afk"}), 1);
    EXPECT_EQ(last_err, "velstra: \"Bob\" and \"Bob_afk\" are one player\n");
    EXPECT_EQ(velstra({"teams", "Ann", "Ann"}), 1);
    EXPECT_EQ(velstra({"teams", "Ann"}), 1);
    EXPECT_EQ(velstra({"teams", "--type", "Assault", "Ann", "Bob"}), 1);
    EXPECT_EQ(last_err, "velstra: no game of the type \"Assault\" in the history\n");
    EXPECT_EQ(velstra({"teams", "--type", "tournament deathmatch", "Ann", "Bob"}), 0);
    EXPECT_EQ(velstra({"teams", "--db", "none.db", "Ann", "Bob"}), 2);
}

}  // namespace
