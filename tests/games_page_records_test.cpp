// The games page's own logic on records built by hand: the kill matrix, the
// weapons table, the signs and steps of the frags chart, and the team
// results. The goldens pin whole pages; these pin the rules behind them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "error_log.h"
#include "game_record.h"
#include "game_section.h"
#include "games_page.h"
#include "memory_file_system.h"
#include "output.h"
#include "page_writer.h"

namespace {

GamePlayer player(const char* name, const char* team = "", bool crowned = false) {
    GamePlayer p;
    p.name = name;
    p.team = team;
    p.crowned = crowned;
    return p;
}

std::string section_of(const GameRecord& game) {
    StringOutput out;
    HtmlWriter writer(out);
    write_game_section(writer, game);
    return out.text;
}

std::string row_of(const GameRecord& game) {
    StringOutput out;
    HtmlWriter writer(out);
    write_game_row(writer, game);
    return out.text;
}

// The whole games page of a session without games, in memory.
std::string page_of(const SessionRecord& session) {
    MemoryFileSystem files;
    ErrorLog log(files);
    const std::unique_ptr<RecordPage> page = games_page(files, log);
    EXPECT_EQ(page->finish(session), 1);
    return files.bytes(std::string("velstra") + session.date.c_str() + "-games.html");
}

// The text from the first from to the first to after it, both included.
std::string between(const std::string& text, const std::string& from, const std::string& to) {
    const std::size_t start = text.find(from);
    if (start == std::string::npos) return "(no " + from + ")";
    const std::size_t end = text.find(to, start);
    if (end == std::string::npos) return "(no " + to + ")";
    return text.substr(start, end + to.size() - start);
}

// Three session players placed Carol, Alice, Bob: not the order of their records.
SessionRecord three_players() {
    SessionRecord session;
    session.date = "14072001";
    session.names[0] = "Alice";
    session.names[1] = "Bob";
    session.names[2] = "Carol";
    session.order = {2, 0, 1};
    return session;
}

TEST(GamesPageRecords, KillMatrixFollowsThePlacesAndTotalsRowsAndColumns) {
    SessionRecord session = three_players();
    auto& by_victim = session.kills.by_victim;
    by_victim[2][0] = 3;  // Carol killed Alice three times
    by_victim[0][1] = 2;
    by_victim[1][1] = 1;  // Bob killed himself
    by_victim[1][2] = 4;
    // Fails when rows or columns follow the records instead of the places,
    // when "Others" shows without such a victim, or a total is off.
    EXPECT_EQ(between(page_of(session), "<thead><tr><th scope=\"col\">Killer", "</tfoot>"),
              "<thead><tr><th scope=\"col\">Killer \xE2\x86\x93 Victim \xE2\x86\x92</th>"
              "<th scope=\"col\" class=\"n\">Carol</th><th scope=\"col\" class=\"n\">Alice</th>"
              "<th scope=\"col\" class=\"n\">Bob</th><th scope=\"col\" class=\"n\">Kills</th></tr></thead>\n<tbody>\n"
              "<tr><th scope=\"row\">Carol</th><td class=\"n\">0</td><td class=\"n\">3</td><td class=\"n\">0</td>"
              "<td class=\"n total\">3</td></tr>\n"
              "<tr><th scope=\"row\">Alice</th><td class=\"n\">0</td><td class=\"n\">0</td><td class=\"n\">2</td>"
              "<td class=\"n total\">2</td></tr>\n"
              "<tr><th scope=\"row\">Bob</th><td class=\"n\">4</td><td class=\"n\">0</td><td class=\"n\">1</td>"
              "<td class=\"n total\">5</td></tr>\n"
              "</tbody>\n<tfoot><tr><th scope=\"row\">Deaths by these killers</th><td class=\"n\">4</td>"
              "<td class=\"n\">3</td><td class=\"n\">3</td><td class=\"n total\">10</td></tr></tfoot>");

    // A victim without a session record: the column shows, and counts in
    // the row's total and the grand total.
    by_victim[0][MAX_SESSION_PLAYERS] = 5;
    const std::string matrix = between(page_of(session), "<thead><tr><th scope=\"col\">Killer", "</tfoot>");
    EXPECT_NE(matrix.find("<th scope=\"col\" class=\"n\">Bob</th><th scope=\"col\" class=\"n\">Others</th>"
                          "<th scope=\"col\" class=\"n\">Kills</th>"),
              std::string::npos)
        << matrix;
    EXPECT_NE(matrix.find("<tr><th scope=\"row\">Alice</th><td class=\"n\">0</td><td class=\"n\">0</td>"
                          "<td class=\"n\">2</td><td class=\"n\">5</td><td class=\"n total\">7</td></tr>"),
              std::string::npos)
        << matrix;
    EXPECT_NE(matrix.find("<tr><th scope=\"row\">Bob</th><td class=\"n\">4</td><td class=\"n\">0</td>"
                          "<td class=\"n\">1</td><td class=\"n\">0</td><td class=\"n total\">5</td></tr>"),
              std::string::npos)
        << matrix;
    EXPECT_NE(matrix.find("<td class=\"n\">3</td><td class=\"n\">3</td><td class=\"n\">5</td>"
                          "<td class=\"n total\">15</td></tr></tfoot>"),
              std::string::npos)
        << matrix;
}

TEST(GamesPageRecords, WeaponsGoByKillsAndTiesKeepTheOrderMet) {
    SessionRecord session = three_players();
    SessionKills& kills = session.kills;
    auto weapon = [&](const char* name, int alice, int bob, int carol) {
        WeaponKills& w = kills.weapons[kills.weapon_count++];
        w.name = name;
        w.by_player[0] = alice;
        w.by_player[1] = bob;
        w.by_player[2] = carol;
    };
    weapon("Enforcer", 0, 2, 0);
    weapon("Flak Cannon", 3, 0, 3);
    weapon("Minigun", 0, 0, 2);
    weapon("Rocket Launcher", 1, 5, 0);
    // Fails on fewest first, on an order by name or an unstable sort, and
    // when a tie for most kills with a weapon goes to the later player.
    EXPECT_EQ(between(page_of(session), "<tbody>\n<tr><th scope=\"row\">Flak", "</tbody>"),
              "<tbody>\n"
              "<tr><th scope=\"row\">Flak Cannon</th><td class=\"n\">6</td><td>Alice <span "
              "class=\"count\">(3)</span></td></tr>\n"
              "<tr><th scope=\"row\">Rocket Launcher</th><td class=\"n\">6</td><td>Bob <span "
              "class=\"count\">(5)</span></td></tr>\n"
              "<tr><th scope=\"row\">Enforcer</th><td class=\"n\">2</td><td>Bob <span "
              "class=\"count\">(2)</span></td></tr>\n"
              "<tr><th scope=\"row\">Minigun</th><td class=\"n\">2</td><td>Carol <span "
              "class=\"count\">(2)</span></td></tr>\n"
              "</tbody>");
}

// The frag lines of a section, one a line.
std::string frag_lines(const std::string& section) {
    std::string lines;
    const std::string chart = between(section, "<title>Frags", "</svg>");
    for (std::size_t at = chart.find("<path"); at != std::string::npos; at = chart.find("<path", at + 1))
        lines += chart.substr(at, chart.find('\n', at) + 1 - at);
    return lines;
}

TEST(GamesPageRecords, FragChartCountsKillsUpAndSuicidesDownStepByStretch) {
    GameRecord game;
    game.number = 1;
    game.type = GameType::DeathMatch;
    game.length = 60;  // stretches of 5 s; 60 is the start of the last one
    game.players = {player("Alice"), player("Bob"), player("Carol")};
    game.kills = {
        {10, 0, 1},   // Alice kills Bob,
        {14, 0, 2},   // and Carol in the same stretch: one step of two
        {20, 1, 1},   // Bob kills himself
        {40, 1, -1},  // Bob kills one not shown: still a kill
        {30, 2, 2},   // Carol's suicide line comes after the kills
        {60, 2, 0},   // Carol kills Alice as the game ends
    };
    const std::string section = section_of(game);
    // Fails on a wrong sign, on a frag lost to an unshown victim, and on a
    // last kill dropped from the totals.
    EXPECT_NE(section.find("<desc>Frags at the end of the game: Alice 2; Bob 0; Carol 0.</desc>"), std::string::npos)
        << section;
    // The lines step at the end of a stretch (x 199 is 15 s), the last one
    // at the game's end; a line that ends early runs on flat to the end.
    // Fails when a step falls at the kill's own time, or one in the last
    // stretch is dropped or drawn past the end.
    EXPECT_EQ(frag_lines(section),
              "<path class=\"player c0\" d=\"M56,155H199V12H626\"/>\n"
              "<path class=\"player c1\" d=\"M56,155H294V226H484V155H626\"/>\n"
              "<path class=\"player c2\" d=\"M56,155H389V226H626V155\"/>\n");
}

GameRecord team_game(GameType type, const char* winner) {
    GameRecord game;
    game.number = 3;
    game.type = type;
    game.teams.winner = winner;
    game.players = {player("Alice", "0", true), player("Bob", "1"), player("Carol", "0", true)};
    return game;
}

// The result in the games table and the facts under the game's heading.
std::string result_of(const GameRecord& game) {
    const std::string row = row_of(game);
    const std::size_t end = row.find("</td><td>", row.find("</td><td>", row.find("class=\"n\">")) + 1);
    const std::string result = row.substr(end + 9, row.find("</td>", end + 9) - end - 9);
    const std::string facts = between(section_of(game), "ended by .", ".</p>");
    return result + " | " + facts;
}

TEST(GamesPageRecords, TeamResultsCrownTheWinnerAndNobodyOnATie) {
    GameRecord ctf = team_game(GameType::CaptureTheFlag, "0");
    ctf.teams.counted = true;
    ctf.teams.playing = {true, true, false, false};
    ctf.teams.score = {4, 3, 0, 0};
    // Fails when the winner is not in strong, a team not playing is listed,
    // or the crowned players are not named.
    EXPECT_EQ(result_of(ctf),
              "<strong>Red 4</strong>, Blue 3 | ended by . Red 4, Blue 3. Winner: Red: Alice, Carol.</p>");

    GameRecord tie = ctf;
    tie.teams.winner = "";
    tie.teams.score = {3, 3, 0, 0};
    for (GamePlayer& p : tie.players) p.crowned = false;
    EXPECT_EQ(result_of(tie), "Red 3, Blue 3 | ended by . Red 3, Blue 3. Winner: \xE2\x80\x94.</p>");

    // A winning team with nobody left in it is named alone.
    GameRecord empty = ctf;
    empty.teams.winner = "1";
    empty.teams.score = {2, 5, 0, 0};
    for (GamePlayer& p : empty.players) p.crowned = false;
    EXPECT_EQ(result_of(empty), "Red 2, <strong>Blue 5</strong> | ended by . Red 2, Blue 5. Winner: Blue.</p>");

    // Assault counts no scores: the winning side, or a dash.
    GameRecord assault = team_game(GameType::Assault, "attacker");
    assault.players = {player("Alice", "attacker", true), player("Bob", "defender")};
    EXPECT_EQ(result_of(assault), "<strong>Attackers</strong> won | ended by . Winner: Attackers: Alice.</p>");
    assault.teams.winner = "";
    assault.players[0].crowned = false;
    EXPECT_EQ(result_of(assault), "\xE2\x80\x94 | ended by . Winner: \xE2\x80\x94.</p>");
}

}  // namespace
