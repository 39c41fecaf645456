// The games page's own logic on records built by hand: the kill matrix, the
// weapons table, the signs and steps of the frags chart, and the team
// results. The goldens pin whole pages; these pin the rules behind them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
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
    StringOutput said;
    FailureReport failures("analyser", said);
    ErrorLog log(files, failures);
    const std::unique_ptr<RecordPage> page = games_page(files, log, failures);
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

// The rows of the weapons table: "name kills player (kills)", comma-separated.
std::string weapon_rows(const std::string& page) {
    const std::string table = between(page, "<table id=\"weapons\">", "</table>");
    std::string rows;
    const std::string row = "<tr><th scope=\"row\">";
    for (std::size_t at = table.find(row); at != std::string::npos; at = table.find(row, at + 1)) {
        std::string cells = table.substr(at + row.size(), table.find('\n', at) - at - row.size());
        for (const auto& [tag, by] : std::vector<std::pair<std::string, std::string>>{{"</th><td class=\"n\">", " "},
                                                                                      {"</td><td>", " "},
                                                                                      {" <span class=\"count\">", " "},
                                                                                      {"</span></td></tr>", ""}})
            for (std::size_t t = cells.find(tag); t != std::string::npos; t = cells.find(tag))
                cells.replace(t, tag.size(), by);
        rows += (rows.empty() ? "" : ",") + cells;
    }
    return rows;
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
    weapon("Rocket Launcher", 1, 5, 0);
    weapon("Minigun", 0, 0, 2);
    weapon("Flak Cannon", 3, 0, 3);
    weapon("Enforcer", 0, 2, 0);
    // Enough ties for a sort that is not stable to mix them up.
    std::string expected = "Rocket Launcher 6 Bob (5),Flak Cannon 6 Alice (3),Minigun 2 Carol (2),Enforcer 2 Bob (2)";
    for (int k = 1; k <= 16; ++k) {
        const std::string name = "Add-on " + std::to_string(k);
        weapon(name.c_str(), 0, 1, 0);
        expected += "," + name + " 1 Bob (1)";
    }
    // Fails on fewest first, on ties by name or by an unstable sort, and
    // when a tie for most kills with a weapon goes to the later player.
    EXPECT_EQ(weapon_rows(page_of(session)), expected);
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
    game.type = GameType::TeamGame;  // no team scores counted: the frags chart alone
    game.length = 60;                // stretches of 5 s; 60 is the start of the last one
    game.players = {player("Alice", "0"), player("Bob", "1"), player("Carol", "0")};
    game.kills = {
        {10, 0, 1},   // Alice kills Bob,
        {14, 0, 2},   // and her team mate Carol in the same stretch: one step of two
        {20, 1, 1},   // Bob kills himself
        {40, 1, -1},  // Bob kills one not shown: still a kill
        {60, 0, 2},   // Alice's best comes as the game ends
        {30, 2, 2},   // Carol's suicide line comes after the kills
    };
    const std::string section = section_of(game);
    // Fails on a wrong sign, on a team kill or an unshown victim not
    // counted up, and on the last kill lost from the totals.
    EXPECT_NE(section.find("<desc>Frags at the end of the game: Alice 3; Bob 0; Carol -1.</desc>"), std::string::npos)
        << section;
    // The lines step at the end of a stretch (x 199 is 15 s), the last one
    // at the game's end (x 626), and the scale reaches Alice's 3 (y 12).
    // Fails when a step falls at the kill's own time, when the last stretch
    // is left out of the path or of the scale, and when a line that ends
    // early does not run on flat to the end.
    EXPECT_EQ(frag_lines(section),
              "<path class=\"player c0\" d=\"M56,173H199V66H626V12\"/>\n"
              "<path class=\"player c1\" d=\"M56,173H294V226H484V173H626\"/>\n"
              "<path class=\"player c2\" d=\"M56,173H389V226H626\"/>\n");

    // A game as long as the chart's stretches allow (994 s: 199 of 5 s),
    // with a kill in the last one: a walk past the last stretch reads
    // beyond the line, which the sanitize build stops.
    game.length = 994;
    game.kills = {{994, 0, 1}};
    const std::string longest = section_of(game);
    EXPECT_NE(longest.find("<desc>Frags at the end of the game: Alice 1; Bob 0; Carol 0.</desc>"), std::string::npos);
    EXPECT_NE(frag_lines(longest).find("<path class=\"player c0\" d=\"M56,226H626V12\"/>"), std::string::npos)
        << frag_lines(longest);
}

GameRecord team_game(GameType type, const char* winner) {
    GameRecord game;
    game.number = 3;
    game.type = type;
    game.teams.winner = winner;
    game.players = {player("Alice", "0", true), player("Bob", "1"), player("Carol", "0", true)};
    return game;
}

// The n-th data cell of a table row, from 0.
std::string cell(const std::string& row, int n) {
    std::size_t at = row.find("<td");
    for (int k = 0; k < n; ++k) at = row.find("<td", at + 1);
    const std::size_t start = row.find('>', at) + 1;
    return row.substr(start, row.find("</td>", start) - start);
}

// The result in the table of games (after map, type, length and end), and
// the facts under the game's heading from its end on.
std::string result_of(const GameRecord& game) {
    return cell(row_of(game), 4) + " | " + between(section_of(game), "ended by .", ".</p>");
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
