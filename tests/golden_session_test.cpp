// Whole sessions through the analyser program, compared byte for byte with
// the expected files of tests/golden/<session>/expected: the console
// ("console.txt"), standard error ("stderr.txt"), the exit code
// ("exit-code"), error.log ("error.log", with LF line ends and the session
// time as "*") and every page the run writes (under its own name).
//
// A session's folder holds its inputs:
//   games.log.txt, games1.log.txt, ...  logs as 8-bit text with LF line ends,
//                                       written as the game writes them
//                                       (16-bit, CR LF, no byte-order mark);
//   *.raw                               files copied byte for byte, without
//                                       the ".raw" (8-bit logs, odd bytes);
//   User.ini                            copied byte for byte;
//   source                              a folder of the project whose files
//                                       are copied as they are;
//   args                                the command line, one argument a line.
// Every log is dated 14 July 2001, so the page is velstra14072001.html.
//
// A session's folder may hold "expected-site" too: the site velstra writes
// of a history into which the session's logs were imported, every page
// under its path in the site. Its "site-aliases" merges names before the
// site is written: "NAME<tab>PLAYER" a line.
//
// The same logs imported into a history by velstra give "history.txt": the
// import's lines, the listings of games and players, and the rows of the
// history's tables. Each game of a session must equal the games page of its
// log analysed alone; tools/check-history.sh compares them cell by cell.
//
// tools/update-goldens.sh rewrites the expected files from what the program
// does now; review the change with git diff. The sanitize preset runs the
// same sessions through its own analyser, where a read past the end of a
// text stops the program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "analyse_log.h"
#include "analysis_test_support.h"
#include "velstra_cli.h"
#include "velstra_test_games.h"

namespace fs = std::filesystem;

namespace {

const fs::path kGolden = fs::path(__FILE__).parent_path() / "golden";
const fs::path kProject = fs::path(__FILE__).parent_path().parent_path();

bool updating() {
    const char* update = std::getenv("VELSTRA_UPDATE_GOLDENS");
    return update != nullptr && std::string(update) == "1";
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A unified diff of two texts, for a failure message a reviewer can read.
std::string readable_diff(const std::string& expected, const std::string& actual) {
    const fs::path dir = fs::temp_directory_path() / ("velstra-diff-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    write_file(dir / "expected", expected);
    write_file(dir / "actual", actual);
    std::string diff;
    const std::string command = "diff -u '" + (dir / "expected").string() + "' '" + (dir / "actual").string() + "'";
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        std::size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) diff.append(chunk, got);
        pclose(pipe);
    }
    fs::remove_all(dir);
    return diff.empty() ? "(the texts differ only where diff cannot show it)" : diff;
}

// error.log as the expected file keeps it: LF line ends, the session time
// as "*" (it differs from run to run).
std::string normalised_error_log(const std::string& log) {
    std::string text;
    for (std::size_t i = 0; i < log.size(); ++i)
        if (!(log[i] == '\r' && i + 1 < log.size() && log[i + 1] == '\n')) text += log[i];
    return std::regex_replace(text, std::regex("Session analysed in [0-9.E+-]+ seconds"),
                              "Session analysed in * seconds");
}

class GoldenSession : public ScratchFolder, public ::testing::WithParamInterface<std::string> {
protected:
    fs::path source() const { return kGolden / GetParam(); }

    void install() {
        const fs::path from = source();
        if (fs::exists(from / "source")) {
            const std::string folder = lines_of(read_file(from / "source")).at(0);
            for (const auto& entry : fs::directory_iterator(kProject / folder))
                fs::copy_file(entry.path(), dir() / entry.path().filename());
        }
        for (const auto& entry : fs::directory_iterator(from)) {
            const std::string file = entry.path().filename().string();
            if (file.ends_with(".log.txt"))
                write_file(dir() / file.substr(0, file.size() - 4), to_utf16_log(read_file(entry.path())).substr(2));
            else if (file.ends_with(".raw"))
                write_file(dir() / file.substr(0, file.size() - 4), read_file(entry.path()));
            else if (file == "User.ini")
                write_file(dir() / file, read_file(entry.path()));
        }
        for (const auto& entry : fs::directory_iterator(dir()))
            if (entry.path().extension() == ".log") set_log_date(entry.path(), 14, 7, 2001);
    }

    std::vector<std::string> arguments() const {
        return fs::exists(source() / "args") ? lines_of(read_file(source() / "args")) : std::vector<std::string>{};
    }

    // The session's logs imported into a history (before the analyser runs,
    // so that none of its files is offered), listed and dumped table by
    // table; the history is removed afterwards.
    std::string history() const {
        std::string text;
        auto command = [&](const std::vector<std::string>& args) {
            text += "$ velstra";
            for (const std::string& a : args)
                if (a != "--db" && a != "history.db") text += " " + a;
            const RunResult run = run_velstra_program(args, dir());
            text += "\n" + run.out + run.err + "exit " + std::to_string(run.exit_code) + "\n";
        };
        command({"import", "-v", "--db", "history.db", "."});
        command({"games", "--db", "history.db"});
        command({"players", "--db", "history.db"});
        const std::string db = (dir() / "history.db").string();
        if (fs::exists(db)) {
            for (const char* sql : {
                     "SELECT * FROM game ORDER BY id",
                     "SELECT * FROM game_file ORDER BY game_id, file_name",
                     "SELECT * FROM game_mutator ORDER BY game_id, position",
                     "SELECT * FROM game_team ORDER BY game_id, team",
                     "SELECT * FROM team_step ORDER BY game_id, position",
                     "SELECT n.name, gp.* FROM game_player gp JOIN name n ON n.id = gp.name_id "
                     "ORDER BY gp.game_id, gp.slot",
                     "SELECT * FROM player_team ORDER BY game_id, slot, position",
                     "SELECT * FROM kill ORDER BY game_id, position",
                     "SELECT * FROM player_moments ORDER BY game_id, slot",
                     "SELECT * FROM weapon_accuracy ORDER BY game_id, slot, position",
                     "SELECT outcome, count(*) FROM imported_file GROUP BY outcome ORDER BY outcome",
                 })
                text += std::string("> ") + sql + "\n" + query(db, sql);
        }
        for (const char* file : {"history.db", "history.db-journal", "history.db-wal", "history.db-shm"})
            fs::remove(dir() / file);
        return text;
    }

    // What the run gave, by the name of the expected file.
    std::map<std::string, std::string> outputs(const RunResult& run) const {
        std::map<std::string, std::string> out = {
            {"console.txt", run.out},
            {"stderr.txt", run.err},
            {"exit-code", std::to_string(run.exit_code) + "\n"},
        };
        if (fs::exists(dir() / "error.log")) out["error.log"] = normalised_error_log(error_log());
        for (const auto& entry : fs::directory_iterator(dir())) {
            const std::string file = entry.path().filename().string();
            if (file.starts_with("velstra") && file.ends_with(".html")) out[file] = read_page(entry.path());
        }
        return out;
    }
};

TEST_P(GoldenSession, MatchesTheExpectedFiles) {
    install();
    const std::string imported = history();
    const RunResult run = run_analyser_program(arguments(), dir());
    std::map<std::string, std::string> actual = outputs(run);
    actual["history.txt"] = imported;
    const fs::path expected_dir = source() / "expected";

    if (updating()) {
        fs::remove_all(expected_dir);
        fs::create_directories(expected_dir);
        for (const auto& [name, bytes] : actual) write_file(expected_dir / name, bytes);
        return;
    }
    std::set<std::string> expected_names;
    for (const auto& entry : fs::directory_iterator(expected_dir))
        expected_names.insert(entry.path().filename().string());
    for (const auto& [name, bytes] : actual) {
        if (!expected_names.count(name)) {
            ADD_FAILURE() << GetParam() << ": the run wrote " << name << ", which is not expected";
            continue;
        }
        const std::string expected = read_file(expected_dir / name);
        EXPECT_TRUE(expected == bytes) << GetParam() << "/expected/" << name << " differs:\n"
                                       << readable_diff(expected, bytes);
    }
    for (const std::string& name : expected_names)
        EXPECT_TRUE(actual.count(name)) << GetParam() << ": the run did not write " << name;
}

// Each game of the session, imported, holds the figures of the games page
// of its log analysed alone: the tool says so for every file and counts the
// games it compared, as many as the history holds.
TEST_P(GoldenSession, HistoryHoldsEachGameAsItsOwnPageShowsIt) {
    install();
    const fs::path db = dir() / "compared.db";
    const RunResult check = run_program("sh",
                                        {(kProject / "tools/check-history.sh").string(), "--analyser", ANALYSER_EXE,
                                         "--velstra", VELSTRA_EXE, "--keep", db.string(), dir().string()},
                                        dir());
    EXPECT_EQ(check.exit_code, 0) << GetParam() << ":\n" << check.out << check.err;
    // A session without a file makes no history.
    const std::string games = fs::exists(db) ? query(db.string(), "SELECT count(*) FROM game") : "0\n";
    const std::string last = lines_of(check.out).empty() ? "" : lines_of(check.out).back();
    const std::regex counts(R"(\d+ files: (\d+) games, (\d+) equal to their page, 0 differ, \d+ skipped)");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(last, match, counts)) << GetParam() << ": " << check.out << check.err;
    EXPECT_EQ(match[1].str() + "\n", games) << GetParam();
    EXPECT_EQ(match[2].str(), match[1].str()) << GetParam();
}

// The pages a page links to, by their paths in the site: links within a
// page ("#game-01") and the part after a '#' are left out.
std::set<std::string> linked_pages(const std::string& page, const std::string& from) {
    std::set<std::string> linked;
    const fs::path folder = fs::path(from).parent_path();
    const std::regex href("href=\"([^\"#]+)");
    for (auto at = std::sregex_iterator(page.begin(), page.end(), href); at != std::sregex_iterator(); ++at)
        linked.insert((folder / (*at)[1].str()).lexically_normal().generic_string());
    return linked;
}

class GoldenSite : public GoldenSession {
protected:
    // The session's logs imported into a new history, then its site.
    std::map<std::string, std::string> site() {
        install();
        static LogAnalyser analyser;
        std::vector<std::string> logs;
        for (const auto& entry : fs::directory_iterator(dir()))
            if (entry.path().extension() == ".log") logs.push_back(entry.path().string());
        std::sort(logs.begin(), logs.end());
        const std::string db = (dir() / "history.db").string();
        std::vector<std::vector<std::string>> commands{{"import", "--db", db}};
        if (fs::exists(source() / "site-aliases"))
            for (const std::string& line : lines_of(read_file(source() / "site-aliases"))) {
                const std::size_t tab = line.find('\t');
                commands.push_back({"alias", "--db", db, line.substr(0, tab), "--as", line.substr(tab + 1)});
            }
        commands.push_back({"site", "--db", db, "-o", (dir() / "site").string()});
        for (const std::vector<std::string>& args : commands) {
            StringOutput out;
            StringOutput err;
            VelstraRun run;
            run.args = args;
            if (args[0] == "import") run.args.insert(run.args.end(), logs.begin(), logs.end());
            run.out = &out;
            run.err = &err;
            run.analyse = [](std::string_view bytes, LoggedGame& game) { return analyser.analyse(bytes, game); };
            EXPECT_EQ(run_velstra(run), 0) << args[0] << ": " << err.text;
        }
        return files_under(dir() / "site");
    }
};

TEST_P(GoldenSite, MatchesTheExpectedSiteAndItsLinksStayInside) {
    const std::map<std::string, std::string> actual = site();
    const fs::path expected_dir = source() / "expected-site";
    if (updating()) {
        fs::remove_all(expected_dir);
        for (const auto& [name, bytes] : actual) {
            fs::create_directories((expected_dir / name).parent_path());
            write_file(expected_dir / name, bytes);
        }
        return;
    }
    const std::map<std::string, std::string> expected = files_under(expected_dir);
    for (const auto& [name, bytes] : actual) {
        const auto found = expected.find(name);
        if (found == expected.end()) {
            ADD_FAILURE() << GetParam() << ": the site has " << name << ", which is not expected";
            continue;
        }
        EXPECT_TRUE(found->second == bytes) << GetParam() << "/expected-site/" << name << " differs:\n"
                                            << readable_diff(found->second, bytes);
        // Every link reaches a page of the site.
        for (const std::string& target : linked_pages(bytes, name))
            EXPECT_TRUE(actual.count(target)) << name << " links to " << target << ", which the site lacks";
    }
    for (const auto& [name, bytes] : expected)
        EXPECT_TRUE(actual.count(name)) << GetParam() << ": the site lacks " << name;
}

// A session of one game: its game on its evening's page is the game of the
// analyser's games page, byte for byte, from its heading to its charts, but
// for what the site adds: the game's server and map page after its facts,
// the line of what the game was to the ratings, and its players' names as
// links to their pages.
class OneGameSession : public GoldenSite {};

TEST_P(OneGameSession, ShowsItsGameOnItsEveningAsTheGamesPageShowsIt) {
    const std::map<std::string, std::string> pages = site();
    const std::string games_page = read_file(source() / "expected" / "velstra14072001-games.html");
    auto section = [](const std::string& page) {
        const std::size_t from = page.find("<section id=\"game-01\">");
        return from == std::string::npos ? std::string() : page.substr(from, page.find("</section>", from) - from);
    };
    const std::string expected = section(games_page);
    ASSERT_FALSE(expected.empty());
    std::vector<std::string> evenings;
    for (const auto& [name, bytes] : pages)
        if (name.starts_with("evenings/") && name.size() == std::string("evenings/YYYY-MM-DD.html").size())
            evenings.push_back(bytes);
    ASSERT_EQ(evenings.size(), 1u);
    std::string actual = section(evenings.front());
    const std::string site_only[][2] = {
        {R"( Server: [^<]*\. Map: <a href="\.\./maps/[a-z0-9-]+\.html">[^<]*</a>\.)", ""},
        {R"(<p class="rating">[^\n]*\n)", ""},
        {R"(<a href="\.\./players/[a-z0-9-]+\.html">([^<]*)</a>)", "$1"},
    };
    for (const auto& [pattern, replacement] : site_only) {
        const std::string before = actual;
        actual = std::regex_replace(actual, std::regex(pattern), replacement);
        EXPECT_NE(actual, before) << "the evening page lacks " << pattern;
    }
    EXPECT_TRUE(actual == expected) << readable_diff(expected, actual);
}

std::vector<std::string> one_game_sessions() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kGolden)) {
        const fs::path folder = entry.path();
        if (fs::exists(folder / "games.log.txt") && !fs::exists(folder / "games1.log.txt") &&
            fs::exists(folder / "expected" / "velstra14072001-games.html"))
            names.push_back(folder.filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> golden_sessions(const char* with = "expected") {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kGolden))
        if (entry.is_directory() && fs::exists(entry.path() / with)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string test_name(const ::testing::TestParamInfo<std::string>& info) {
    std::string name;
    for (char c : info.param) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Sessions, GoldenSession, ::testing::ValuesIn(golden_sessions()), test_name);
INSTANTIATE_TEST_SUITE_P(Sites, GoldenSite, ::testing::ValuesIn(golden_sessions("expected-site")), test_name);
INSTANTIATE_TEST_SUITE_P(Games, OneGameSession, ::testing::ValuesIn(one_game_sessions()), test_name);

}  // namespace
