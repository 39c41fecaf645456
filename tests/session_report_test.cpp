// The session page, end to end: logs in a folder, the analyser run there,
// and the bytes of the page it leaves. A whole page, byte for byte, is the
// golden session tests/golden/known_session_page.
#include "session_report.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis_test_support.h"
#include "game_log.h"
#include "session_bests.h"

namespace fs = std::filesystem;

namespace {

class SessionReport : public ScratchFolder {
protected:
    RunResult analyse(const std::vector<std::string>& args = {}, const fs::path& folder = {}) {
        return run_analyser_program(args, folder.empty() ? dir() : folder);
    }
    std::string page(const fs::path& folder = {}) const {
        return read_page((folder.empty() ? dir() : folder) / PAGE_NAME);
    }
};

using Row = std::vector<std::string>;

// The session page of the run, as the program writes it at the session's end.
int write_report(TestRun& ctx) {
    return write_html_report(session_summary(ctx), session_date(ctx.session_info, ctx.now()), ctx.folder, ctx.log,
                             ctx.failures);
}

// The cells of the player table (header row first), each the bytes between
// "<TD>\n" and "</TD>\n".
std::vector<Row> player_table(const std::string& page) {
    std::vector<Row> rows;
    const std::size_t start = page.find("<TABLE  width");
    if (start == std::string::npos) return rows;
    const std::size_t end = page.find("</TABLE>\n", start);
    std::size_t cursor = start;
    while (true) {
        const std::size_t row = page.find("<TR>\n", cursor);
        if (row == std::string::npos || row > end) break;
        const std::size_t row_end = page.find("</TR>\n", row);
        Row cells;
        std::size_t cell = page.find("<TD>\n", row);
        while (cell != std::string::npos && cell < row_end) {
            const std::size_t cell_end = page.find("</TD>\n", cell);
            cells.push_back(page.substr(cell + 5, cell_end - cell - 5));
            cell = page.find("<TD>\n", cell_end);
        }
        rows.push_back(cells);
        cursor = row_end;
    }
    return rows;
}

bool is_red(const std::string& cell) { return cell.find("<FONT color=\"#ff0000\">") != std::string::npos; }

// A plain centred cell as the page writes it, black or red.
std::string centred(const std::string& text, bool red = false) {
    return red ? "<CENTER><FONT color=\"#ff0000\">" + text + "</FONT></CENTER>\n" : "<CENTER>" + text + "</CENTER>\n";
}

// '1' for each red cell of a row, '0' for the others.
std::string red_pattern(const Row& row) {
    std::string pattern;
    for (const std::string& cell : row) pattern += is_red(cell) ? '1' : '0';
    return pattern;
}

// The row whose name cell ends in the name.
const Row* row_of(const std::vector<Row>& rows, const std::string& name) {
    for (const Row& row : rows) {
        if (row.size() > 1 && row[1].size() >= name.size() && row[1].ends_with("\n" + name)) return &row;
    }
    return nullptr;
}

std::vector<std::string> names_in_order(const std::vector<Row>& rows) {
    std::vector<std::string> names;
    for (std::size_t i = 1; i < rows.size(); ++i) names.push_back(rows[i][1].substr(rows[i][1].rfind('\n') + 1));
    return names;
}

const std::string kDuel = connect_lines(0, "Alice") + connect_lines(1, "Bob", true, "", "3.000000");
const std::string kOneKill = kill_line("100.00", 0, "Rocket Launcher", 1);

TEST_F(SessionReport, MapLineAndImageOnlyWhenEveryGameHadOneMap) {
    const fs::path same = dir() / "same";
    const fs::path mixed = dir() / "mixed";
    fs::create_directories(same);
    fs::create_directories(mixed);
    write_game_log(same, 0, game_text({.map = "DM-Same.unr", .setup = kDuel, .play = kOneKill}));
    write_game_log(same, 1, game_text({.map = "DM-Same.unr", .setup = kDuel, .play = kOneKill}));
    write_game_log(mixed, 0, game_text({.map = "DM-Same.unr", .setup = kDuel, .play = kOneKill}));
    write_game_log(mixed, 1, game_text({.map = "DM-Other.unr", .setup = kDuel, .play = kOneKill}));
    ASSERT_EQ(analyse({}, same).exit_code, 0);
    ASSERT_EQ(analyse({}, mixed).exit_code, 0);

    EXPECT_NE(page(same).find("<H3><img src=\"DM-Same.unr.jpg\" width=\"128\" height=\"128\" alt=\"DM-Same.unr\" "
                              "align=\"right\">Session date: 14072001<BR>\n"
                              "Anaylsed games: 2<BR>\n"
                              "Session lenght: 20 min<BR>\n"
                              "Session map: DM-Same.unr<BR>\n"
                              "Session gametype: Tournament DeathMatch<BR>\n</H3>"),
              std::string::npos);

    const std::string other = page(mixed);
    EXPECT_NE(other.find("<H3>Session date: 14072001<BR>\n"
                         "Anaylsed games: 2<BR>\n"
                         "Session lenght: 20 min<BR>\n"
                         "Session gametype: Tournament DeathMatch<BR>\n</H3>"),
              std::string::npos);
    EXPECT_EQ(other.find(".jpg"), std::string::npos);
}

TEST_F(SessionReport, NoImageSwitchLeavesNoImageTag) {
    write_game_log(dir(), 0, game_text({.map = "DM-Same.unr", .setup = kDuel, .play = kOneKill}));
    ASSERT_EQ(analyse({"-ni"}).exit_code, 0);
    const std::string text = page();
    EXPECT_EQ(text.find("<img"), std::string::npos);
    EXPECT_NE(text.find("<H3>Session date: 14072001<BR>\n"), std::string::npos);
    EXPECT_NE(text.find("Session map: DM-Same.unr<BR>\n"), std::string::npos);
    const std::vector<Row> rows = player_table(text);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1][1], "<BR>\nAlice");
    EXPECT_EQ(rows[2][1], "<BR>\nBob");
}

TEST_F(SessionReport, FlagGamesOnlyShowTheFlagColumns) {
    const fs::path ctf = dir() / "ctf";
    const fs::path dom = dir() / "dom";
    const fs::path mixed = dir() / "mixed";
    for (const fs::path& folder : {ctf, dom, mixed}) fs::create_directories(folder);
    const std::string teams = connect_lines(0, "Alice", false, "0") + connect_lines(1, "Bob", true, "1", "3.000000");
    const std::string flags =
        "200.00\tflag_captured\t0\t1\n300.00\tflag_captured\t0\t1\n400.00\tflag_returned\t0\t1\n" +
        kill_line("450.00", 0, "Rocket Launcher", 1);
    const std::string flag_game = game_text(
        {.map = "CTF-Face.unr", .type = "Capture the Flag", .frag_limit = "3", .setup = teams, .play = flags});
    write_game_log(ctf, 0, flag_game);
    write_game_log(ctf, 1,
                   game_text({.map = "CTF-Face.unr",
                              .type = "Capture the Flag",
                              .frag_limit = "3",
                              .setup = teams,
                              .play = kill_line("100.00", 1, "Rocket Launcher", 0)}));
    write_game_log(dom, 0,
                   game_text({.map = "DOM-Cinder.unr",
                              .type = "Domination",
                              .frag_limit = "100",
                              .setup = teams,
                              .play = "200.00\tcontrolpoint_capture\tAlpha\t0\n"}));
    write_game_log(mixed, 0, flag_game);
    write_game_log(mixed, 1, game_text({.setup = kDuel, .play = kOneKill}));
    for (const fs::path& folder : {ctf, dom, mixed}) ASSERT_EQ(analyse({}, folder).exit_code, 0);

    const std::string captured = "<CENTER><H4>captured flag<BR>\n&nbsp;</H4></CENTER>\n";
    const std::string returned = "<CENTER><H4>returned flag<BR>\n&nbsp;</H4></CENTER>\n";
    const std::string headshots = "<CENTER><H4>headshots<BR>\n&nbsp;</H4></CENTER>\n";
    const std::string killrate = "<CENTER><H4>killrate<BR>\n[kills/h]</H4></CENTER>\n";

    const std::string ctf_page = page(ctf);
    EXPECT_NE(ctf_page.find("Session gametype: Capture the Flag<BR>\n"), std::string::npos);
    std::vector<Row> rows = player_table(ctf_page);
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_EQ(rows[0].size(), 15u);
    EXPECT_EQ(rows[0][13], captured);
    EXPECT_EQ(rows[0][14], returned);
    const Row* alice = row_of(rows, "Alice");
    ASSERT_NE(alice, nullptr);
    EXPECT_EQ((*alice)[13], centred("2", true));
    EXPECT_EQ((*alice)[14], centred("1", true));

    rows = player_table(page(dom));
    EXPECT_NE(page(dom).find("Session gametype: Domination<BR>\n"), std::string::npos);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][13], captured);
    EXPECT_EQ(rows[0][14], returned);
    alice = row_of(rows, "Alice");
    ASSERT_NE(alice, nullptr);
    EXPECT_EQ((*alice)[13], centred("1", true));

    const std::string mixed_page = page(mixed);
    EXPECT_NE(mixed_page.find("Session gametype: mixed<BR>\n"), std::string::npos);
    rows = player_table(mixed_page);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][13], headshots);
    EXPECT_EQ(rows[0][14], killrate);
    for (const Row& row : rows) EXPECT_EQ(row.size(), 15u);
}

TEST_F(SessionReport, UnknownGameTypeIsNamedSo) {
    write_game_log(dir(), 0,
                   game_text({.map = "BR-Anywhere.unr", .type = "Bombing Run", .setup = kDuel, .play = kOneKill}));
    ASSERT_EQ(analyse().exit_code, 0);
    EXPECT_NE(page().find("Session gametype: unknown gametype<BR>\n"), std::string::npos);
    EXPECT_EQ(player_table(page())[0][13], "<CENTER><H4>headshots<BR>\n&nbsp;</H4></CENTER>\n");
}

TEST_F(SessionReport, RedMarksTheBestHumansUnderEachColumnsCondition) {
    // The bot kills most and dies least, yet never turns red; best values of 0
    // are red only in the columns whose best may be 0.
    const std::string players =
        connect_lines(0, "Hugo") + connect_lines(1, "Hanna") + connect_lines(2, "Bot", true, "", "5.000000");
    const std::string events =
        kill_line("100.00", 2, "Rocket Launcher", 0) + kill_line("110.00", 2, "Rocket Launcher", 0) +
        kill_line("120.00", 2, "Rocket Launcher", 0) + kill_line("130.00", 2, "Rocket Launcher", 0) +
        kill_line("140.00", 0, "Rocket Launcher", 1) + kill_line("150.00", 0, "Rocket Launcher", 1) +
        kill_line("160.00", 1, "Rocket Launcher", 2);
    write_game_log(dir(), 0, game_text({.setup = players, .play = events}));
    ASSERT_EQ(analyse().exit_code, 0);

    const std::vector<Row> rows = player_table(page());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(names_in_order(rows), (std::vector<std::string>{"Bot", "Hugo", "Hanna"}));
    //                                place name species winns score kills deaths sucids weapon victim
    //                                teamkills TS Lurch headshots killrate
    EXPECT_EQ(red_pattern(rows[1]), "000000000000000");
    EXPECT_EQ(red_pattern(rows[2]), "000011011110101");
    EXPECT_EQ(red_pattern(rows[3]), "000000110010100");
    EXPECT_EQ(rows[1][5], centred("4"));
    EXPECT_EQ(rows[2][5], centred("2", true));
    EXPECT_EQ(rows[3][6], centred("2", true));
}

TEST_F(SessionReport, LowestTeamKillRateIsRed) {
    const std::string players = connect_lines(0, "Hugo", false, "0") + connect_lines(1, "Hanna", false, "0") +
                                connect_lines(2, "Bot", true, "1", "5.000000") + connect_lines(3, "Heidi", false, "1");
    // Team kills of kills: Hugo 1 of 2, Hanna 1 of 4, Heidi 1 of 3, the bot none.
    const std::string events =
        kill_line("100.00", 0, "Enforcer", 1, "teamkill") + kill_line("101.00", 0, "Rocket Launcher", 2) +
        kill_line("102.00", 1, "Rocket Launcher", 2) + kill_line("103.00", 1, "Rocket Launcher", 2) +
        kill_line("104.00", 1, "Rocket Launcher", 2) + kill_line("105.00", 1, "Enforcer", 0, "teamkill") +
        kill_line("106.00", 3, "Enforcer", 2, "teamkill") + kill_line("107.00", 3, "Rocket Launcher", 0) +
        kill_line("108.00", 3, "Rocket Launcher", 1);
    write_game_log(dir(), 0, game_text({.type = TEAM_GAME, .setup = players, .play = events}));
    ASSERT_EQ(analyse().exit_code, 0);

    const std::vector<Row> rows = player_table(page());
    ASSERT_EQ(rows.size(), 5u);
    const Row* hugo = row_of(rows, "Hugo");
    const Row* hanna = row_of(rows, "Hanna");
    const Row* heidi = row_of(rows, "Heidi");
    const Row* bot = row_of(rows, "Bot");
    ASSERT_TRUE(hugo && hanna && heidi && bot);
    EXPECT_EQ((*hugo)[10], centred("50"));
    EXPECT_EQ((*hanna)[10], centred("25", true));
    EXPECT_EQ((*heidi)[10], centred("33"));
    EXPECT_EQ((*bot)[10], centred("0"));
}

TEST_F(SessionReport, NoRedCellWithoutHumans) {
    const std::string bots =
        connect_lines(0, "Slash", true, "", "4.000000") + connect_lines(1, "Tamerlane", true, "", "6.000000");
    write_game_log(dir(), 0,
                   game_text({.setup = bots,
                              .play = kill_line("100.00", 0, "Rocket Launcher", 1) +
                                      kill_line("200.00", 1, "Rocket Launcher", 0)}));
    ASSERT_EQ(analyse().exit_code, 0);
    const std::vector<Row> rows = player_table(page());
    ASSERT_EQ(rows.size(), 3u);
    for (const Row& row : rows) EXPECT_EQ(red_pattern(row), "000000000000000");
    EXPECT_EQ(rows[1][2], centred("Bot/4"));
}

TEST_F(SessionReport, APlayerRanksBeforeTheFreeSlotsWhateverHisScore) {
    // Last Man Standing with one life: two deaths give a score of -1 a game.
    const std::string two_kills =
        kill_line("100.00", 0, "Rocket Launcher", 2) + kill_line("200.00", 0, "Rocket Launcher", 2);
    const std::string cid = connect_lines(2, "Cid", true);
    write_game_log(dir(), 0,
                   game_text({.type = "Last Man Standing",
                              .frag_limit = "1",
                              .setup = connect_lines(0, "Ann", true) + connect_lines(1, "Ben", true) + cid,
                              .play = two_kills}));
    write_game_log(dir(), 1,
                   game_text({.type = "Last Man Standing",
                              .frag_limit = "1",
                              .setup = connect_lines(0, "Ben", true) + connect_lines(1, "Ann", true) + cid,
                              .play = two_kills}));
    ASSERT_EQ(analyse().exit_code, 0);
    const std::vector<Row> rows = player_table(page());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(names_in_order(rows), (std::vector<std::string>{"Ann", "Ben", "Cid"}));
    EXPECT_EQ(rows[1][0], centred("1"));
    EXPECT_EQ(rows[2][0], centred("2"));
    EXPECT_EQ(rows[3][0], centred("3"));
    EXPECT_EQ(rows[3][3], centred("0"));
    EXPECT_EQ(rows[3][4], centred("-2"));
}

TEST_F(SessionReport, SkinImagesAreNamedBeforeTheFirstSlash) {
    write_file(dir() / "User.ini",
               "[Botpack.ChallengeBotInfo]\r\nBotNames[0]=Slash\r\nBotFaces[0]=CommandoSkins.Blake/Extra\r\n"
               "BotNames[1]=Faceless\r\n[DefaultPlayer]\r\nName=Player\r\nFace=SoldierSkins.Hawk\r\n");
    const std::string bots =
        connect_lines(0, "Slash", true, "", "4.000000") + connect_lines(1, "Faceless", true, "", "2.000000");
    write_game_log(dir(), 0, game_text({.setup = bots, .play = kOneKill}));
    ASSERT_EQ(analyse().exit_code, 0);
    const std::vector<Row> rows = player_table(page());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1][1], "<img src=\"Blake.gif\" width=\"32\" height=\"32\" alt=\"Blake/Extra\" ><BR>\nSlash");
    EXPECT_EQ(rows[2][1], "<img src=\".gif\" width=\"32\" height=\"32\" alt=\"\" ><BR>\nFaceless");
}

TEST_F(SessionReport, PageIsNamedAfterTheLastLogsDate) {
    const std::string game = game_text({.setup = kDuel, .play = kOneKill});
    write_game_log(dir(), 0, game);
    write_game_log(dir(), 1, game);
    set_log_date(dir() / "games.log", 1, 2, 2003);
    set_log_date(dir() / "games1.log", 24, 12, 2004);
    ASSERT_EQ(analyse().exit_code, 0);
    EXPECT_FALSE(fs::exists(dir() / "velstra01022003.html"));
    const std::string text = read_page(dir() / "velstra24122004.html");
    EXPECT_NE(text.find("Session date: 24122004<BR>\n"), std::string::npos);
}

TEST_F(SessionReport, FolderWhereThePageCannotBeCreated) {
    write_game_log(dir(), 0, game_text({.setup = kDuel, .play = kOneKill}));
    // A folder of the page's name: no user, not even root, can open it as a file.
    fs::create_directory(dir() / PAGE_NAME);
    RunResult result = analyse();
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_NE(result.out.find("game 01:"), std::string::npos);
    EXPECT_NE(error_log().find("\tcan't create Analyse-HTML-File\r\nSession analysed in "), std::string::npos);
    EXPECT_NE(result.err.find("analyser: can't write the page velstra14072001.html;"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(dir() / PAGE_NAME));
    EXPECT_TRUE(fs::is_empty(dir() / PAGE_NAME));
}

// A full disk shows only when the page's buffered bytes are written out.
TEST_F(SessionReport, APageThatCannotBeWrittenIsReported) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    auto ctx = make_context();
    ctx->session_players[0].name = "Alice";
    rank_session(*ctx);
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(write_html_page(session_summary(*ctx), ctx->log, *output_file_of(full), "14072001"), 0);
    EXPECT_EQ(ctx->error_log(), "\tcan't write Analyse-HTML-File\r\n");
}

TEST_F(SessionReport, HostileTextsAreEscaped) {
    write_file(dir() / "User.ini",
               "[Botpack.ChallengeBotInfo]\r\nBotNames[0]=Vic<tim>\"q\"\r\n"
               "BotFaces[0]=Pack.a\"onerror=\"x<y>&/z\r\n");
    const std::string players =
        connect_lines(0, "<b id=\"pwn\">&Bold</b>") + connect_lines(1, "Vic<tim>\"q\"", true, "", "2.000000");
    write_game_log(dir(), 0, game_text({.map = "DM-<i>\"Evil\"&.unr", .setup = players, .play = kOneKill}));
    ASSERT_EQ(analyse().exit_code, 0);

    const std::string text = page();
    EXPECT_NE(text.find("<img src=\"DM-&lt;i&gt;&quot;Evil&quot;&amp;.unr.jpg\" width=\"128\" height=\"128\" "
                        "alt=\"DM-&lt;i&gt;&quot;Evil&quot;&amp;.unr\" align=\"right\">"),
              std::string::npos);
    EXPECT_NE(text.find("Session map: DM-&lt;i&gt;&quot;Evil&quot;&amp;.unr<BR>\n"), std::string::npos);

    const std::vector<Row> rows = player_table(text);
    ASSERT_EQ(rows.size(), 3u);
    // Without a User.ini entry the skin is the name itself.
    EXPECT_EQ(rows[1][1],
              "<img src=\"&lt;b id=&quot;pwn&quot;&gt;&amp;Bold&lt;.gif\" width=\"32\" height=\"32\" "
              "alt=\"&lt;b id=&quot;pwn&quot;&gt;&amp;Bold&lt;/b&gt;\" ><BR>\n"
              "&lt;b id=&quot;pwn&quot;&gt;&amp;Bold&lt;/b&gt;");
    EXPECT_EQ(rows[1][9], centred("Vic&lt;tim&gt;&quot;q&quot;/1", true));
    EXPECT_EQ(rows[2][1],
              "<img src=\"a&quot;onerror=&quot;x&lt;y&gt;&amp;.gif\" width=\"32\" height=\"32\" "
              "alt=\"a&quot;onerror=&quot;x&lt;y&gt;&amp;/z\" ><BR>\n"
              "Vic&lt;tim&gt;&quot;q&quot;");
    for (const char* raw : {"<b", "<i>", "<tim>", "<y>", "\"pwn", "onerror=\"", "&Bold", "&.unr"})
        EXPECT_EQ(text.find(raw), std::string::npos) << raw;
}

// Direct calls: the ranking of ties and a session without a log date.
TEST_F(SessionReport, TiedPlayersTakeTheExchangeSortsOrder) {
    auto ctx = make_context();
    ctx->session_info.log_date = "01012000";
    const int scores[] = {2, 3, 3, 5};
    for (int k = 0; k < 4; ++k) {
        SessionPlayer& p = ctx->session_players[static_cast<std::size_t>(k)];
        p.name.format("P%i", k);
        p.score = scores[k];
        p.is_human = Species::Bot;
    }
    rank_session(*ctx);
    ASSERT_EQ(write_report(*ctx), 1);
    // A stable sort would put P1 before P2.
    const std::vector<Row> rows = player_table(ctx->folder.bytes("velstra01012000.html"));
    EXPECT_EQ(names_in_order(rows), (std::vector<std::string>{"P3", "P2", "P1", "P0"}));
    EXPECT_EQ(ctx->session_players[3].rank, 1);
    EXPECT_EQ(ctx->session_players[2].rank, 2);
    EXPECT_EQ(ctx->session_players[1].rank, 3);
    EXPECT_EQ(ctx->session_players[0].rank, 4);
    EXPECT_EQ(ctx->session_players[4].rank, 5);
    EXPECT_EQ(ctx->session_players[31].rank, 32);
}

TEST_F(SessionReport, UnstatedBotStateShowsAsBotAndIsNeverRed) {
    auto ctx = make_context();
    ctx->session_info.log_date = "01012000";
    SessionPlayer& human = ctx->session_players[0];
    SessionPlayer& unstated = ctx->session_players[1];
    human.name = "Hal";
    human.is_human = Species::Human;
    unstated.name = "Una";  // is_human keeps its initial Unknown, skill its -1
    human.kills = unstated.kills = 5;
    compute_session_bests(*ctx);
    rank_session(*ctx);
    ASSERT_EQ(write_report(*ctx), 1);
    const std::vector<Row> rows = player_table(ctx->folder.bytes("velstra01012000.html"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1][2], centred("Human"));
    EXPECT_EQ(rows[1][5], centred("5", true));
    EXPECT_EQ(rows[2][2], centred("Bot/-1"));
    EXPECT_EQ(red_pattern(rows[2]), "000000000000000");
}

TEST_F(SessionReport, WithoutALogDateThePageTakesToday) {
    auto ctx = make_context();
    // Noon of 10 July 2001 (UTC): the same day in every time zone of the world's clocks.
    ctx->now = [] { return std::time_t{994766400}; };
    const char* name = "velstra10072001.html";
    rank_session(*ctx);
    ASSERT_EQ(write_report(*ctx), 1);
    const std::string text = ctx->folder.bytes(name);
    // No game reached the session: no map, a mixed game type, no rows.
    EXPECT_NE(text.find("<H3>Session date: " + std::string(name + 7, 8) +
                        "<BR>\nAnaylsed games: 0<BR>\nSession lenght: 0 min<BR>\nSession gametype: mixed<BR>\n</H3>"),
              std::string::npos);
    EXPECT_EQ(player_table(text).size(), 1u);

    ctx->folder.add(name, "").regular = false;  // a folder of that name
    EXPECT_EQ(write_report(*ctx), 0);
    EXPECT_EQ(ctx->error_log(), "\tcan't create Analyse-HTML-File\r\n");
}

}  // namespace
