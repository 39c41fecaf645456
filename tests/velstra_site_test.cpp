// The site of a history: the file names made from player names, the folder
// it is written into, and its pages as a browser and tidy read them. The
// pages' bytes are pinned by the golden sites (golden_session_test.cpp).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <regex>

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

TEST_F(Site, ReplacesItsOwnPagesWholeAndLeavesEveryOtherFile) {
    add_game("A", {{"Ann"}, {"Bob"}}, 1, 21);
    ASSERT_EQ(velstra({"import", "."}), 0) << last_err;
    fs::create_directories("site/players");
    write_file("site/notes.txt", "mine");
    write_file("site/players/old-friend.html", "kept");
    write_file("site/index.html", "an old index");
    ASSERT_EQ(velstra({"site", "-o", "site"}), 0) << last_err;
    EXPECT_EQ(last_out, "site: 4 pages: the index, 2 of players, 1 of evenings\n");
    EXPECT_EQ(read_file("site/notes.txt"), "mine");
    EXPECT_EQ(read_file("site/players/old-friend.html"), "kept");
    EXPECT_NE(read_file("site/index.html").find("<table id=\"ranking\">"), std::string::npos);
    EXPECT_TRUE(fs::exists("site/players/ann.html"));
    EXPECT_TRUE(fs::exists("site/evenings/2011-03-01.html"));

    // A page that cannot be put in its place (a folder holds its name) is
    // reported; the pages already there stay whole, and no part is left.
    fs::remove("site/players/bob.html");
    fs::create_directories("site/players/bob.html/inside");
    const std::string index = read_file("site/index.html");
    EXPECT_EQ(velstra({"site", "-o", "site"}), 2);
    EXPECT_NE(last_err.find("bob.html: cannot be written"), std::string::npos) << last_err;
    EXPECT_EQ(read_file("site/index.html"), index);
    for (const auto& entry : fs::recursive_directory_iterator("site"))
        EXPECT_EQ(entry.path().filename().string().find(".new-"), std::string::npos) << entry.path();

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
  var pre = document.createElement('pre');
  pre.id = 'probe';
  pre.textContent = out.join(';');
  document.body.appendChild(pre);
})();
</script>
)";

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

// The pages of the sample evening's site on a wide screen and on a phone:
// no page is wider than its window; its tables and charts scroll in their
// boxes instead.
TEST_F(Site, PagesFitAWideScreenAndAPhone) {
    if (!fs::exists(CHROMIUM))
        GTEST_SKIP() << CHROMIUM << " is missing, so the site is not opened in a browser; "
                     << "`make check` installs Debian's chromium package when it runs as root";
    const fs::path golden = fs::path(__FILE__).parent_path() / "golden" / "sample_session" / "expected-site";
    fs::copy(golden, dir() / "site", fs::copy_options::recursive);
    const std::string probe =
        "<pre id=\"site-root\" hidden>file://" + (dir() / "site").string() + "/</pre>" + SITE_PROBE;
    for (const char* name : {"index.html", "players/dabbler.html", "evenings/2000-08-15.html"}) {
        const fs::path page = dir() / "site" / name;
        for (int width : {1100, 360}) {
            const std::string seen = run_probe(page.parent_path(), read_file(page), probe, width);
            EXPECT_EQ(probe_value(seen, "wide"), "no") << name << " at " << width;
            EXPECT_EQ(probe_value(seen, "outside"), "none") << name;
        }
    }
}

// An evening's change starts from the rating after the player's last
// evening, with the uncertainty he regained over the evenings he missed
// since: not those he was at without a rated game.
TEST(RatingChanges, StartFromTheLastEveningWithTheEveningsMissedSince) {
    SiteData data;
    for (const char* date : {"2011-03-01", "2011-03-02", "2011-03-03", "2011-03-04", "2011-03-05"})
        data.evenings.push_back(SiteEvening{date, 1, 2, -1, 0});
    data.players.resize(2);
    // Ann plays on evenings 0, 2 (a game without a rating) and 4; Bob on 0 and 4.
    data.players[0].evenings = {"2011-03-01", "2011-03-03", "2011-03-05"};
    data.players[1].evenings = {"2011-03-01", "2011-03-05"};
    SiteRatings ratings;
    ratings.steps = {
        {{0, {26.0, 7.0}}, {0, {27.0, 6.0}}, {4, {28.0, 5.5}}},
        {{0, {24.0, 7.0}}, {4, {23.0, 6.5}}},
    };
    const std::vector<std::vector<RatingChange>> changes = rating_changes(data, ratings);
    ASSERT_EQ(changes.size(), 5u);
    ASSERT_EQ(changes[0].size(), 2u);
    // The first evening starts from a new player's rating and ends on the
    // evening's last game; the greatest rise comes first.
    EXPECT_EQ(changes[0][0].player, 0);
    EXPECT_DOUBLE_EQ(changes[0][0].before.mu, 25.0);
    EXPECT_DOUBLE_EQ(changes[0][0].before.sigma, 25.0 / 3.0);
    EXPECT_DOUBLE_EQ(changes[0][0].after.mu, 27.0);
    EXPECT_TRUE(changes[1].empty() && changes[2].empty() && changes[3].empty());
    ASSERT_EQ(changes[4].size(), 2u);
    const double tau = 25.0 / 300.0;
    for (const RatingChange& change : changes[4]) {
        // Ann missed evenings 1 and 3, Bob 1, 2 and 3.
        const double missed = change.player == 0 ? 2 : 3;
        const double sigma = change.player == 0 ? 6.0 : 7.0;
        EXPECT_DOUBLE_EQ(change.before.sigma, std::sqrt(sigma * sigma + missed * tau * tau)) << change.player;
        EXPECT_DOUBLE_EQ(change.before.mu, change.player == 0 ? 27.0 : 24.0);
    }
}

}  // namespace
