// "velstra update", the command of a scheduled job: it imports, and builds
// the site only when the history changed since the site was built, by an
// import, an alias or a forget run in between; silent and exit 0 otherwise,
// one line when it built. And what import says of the paths it cannot read.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <map>

#include "analysis_test_support.h"
#include "history_reader.h"
#include "history_store.h"
#include "velstra_cli.h"
#include "velstra_test_games.h"

namespace fs = std::filesystem;

namespace {

class Update : public ScratchFolder {
protected:
    struct Result {
        int code;
        std::string out;
        std::string err;
    };

    Result velstra(std::vector<std::string> args) {
        StringOutput out;
        StringOutput err;
        VelstraRun run;
        run.args = std::move(args);
        run.out = &out;
        run.err = &err;
        run.analyse = analysis.function();
        const int code = run_velstra(run);
        return {code, out.text, err.text};
    }

    // A game in Logs of the players, best first, on the evening of day
    // (March 2011).
    void add_game(const std::string& seed, const std::vector<TestPlayer>& players, int day) {
        analysis.games[seed] = test_game(seed, "DM-Deck16][", players, StartTime{2011, 3, day, 21, 0, 0, true, 60});
        fs::create_directories("Logs");
        write_file("Logs/" + seed + ".log", "game:" + seed);
    }

    // Every file of the site, its own files included, set to a time long
    // past, so that a file written again shows whatever the clock's grain.
    static void age_site() {
        for (const auto& entry : fs::recursive_directory_iterator("site"))
            if (entry.is_regular_file()) fs::last_write_time(entry.path(), OLD);
    }
    // The files of the site written since age_site().
    static std::vector<std::string> written() {
        std::vector<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator("site"))
            if (entry.is_regular_file() && entry.last_write_time() != OLD)
                files.push_back(fs::relative(entry.path(), "site").generic_string());
        return files;
    }

    static inline const fs::file_time_type OLD = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    TestAnalysis analysis;
};

const std::string NOTHING_CHANGED;

TEST_F(Update, BuildsTheSiteOnlyWhenTheHistoryChanged) {
    add_game("A", {{"Ann"}, {"Bob"}}, 1);
    add_game("B", {{"Cyd"}, {"Bob"}}, 2);
    Result first = velstra({"update", "-o", "site", "Logs"});
    EXPECT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(first.err, "");
    EXPECT_EQ(first.out,
              "2 games added, 0 already in the history, 0 skipped; site: 8 pages: the index, 3 of players, 2 of "
              "evenings, 1 of years, 1 of maps; 8 written, 0 unchanged, 0 removed\n");

    // Nothing new: nothing said, nothing written, not even the site's own
    // files; a log of a game still running is noted, and changes nothing.
    write_file("Logs/Unreal.ngLog.2011.03.02.22.00.00.7777.tmp", "unfinished");
    age_site();
    for (int night = 0; night < 2; ++night) {
        Result quiet = velstra({"update", "-o", "site", "Logs"});
        EXPECT_EQ(quiet.code, 0) << quiet.err;
        EXPECT_EQ(quiet.out, NOTHING_CHANGED);
        EXPECT_EQ(quiet.err, "");
        EXPECT_EQ(written(), std::vector<std::string>{});
    }

    // A merge between two nights is a change: Cyd's page goes.
    ASSERT_EQ(velstra({"alias", "Cyd", "--as", "Ann"}).code, 0);
    Result merged = velstra({"update", "-o", "site", "Logs"});
    EXPECT_EQ(merged.code, 0) << merged.err;
    EXPECT_TRUE(
        merged.out.starts_with("0 games added, 2 already in the history, 1 skipped (1 unfinished); site: 7 "
                               "pages: the index, 2 of players, 2 of evenings, 1 of years, 1 of maps; "))
        << merged.out;
    EXPECT_TRUE(merged.out.ends_with(" 1 removed\n")) << merged.out;
    EXPECT_FALSE(fs::exists("site/players/cyd.html"));
    EXPECT_EQ(velstra({"update", "-o", "site", "Logs"}).out, NOTHING_CHANGED);

    // So is a forgotten game (its log taken away: else the import brings
    // it back).
    fs::remove("Logs/B.log");
    ASSERT_EQ(velstra({"forget", "2"}).code, 0);
    Result forgot = velstra({"update", "-o", "site", "Logs"});
    EXPECT_EQ(forgot.code, 0);
    EXPECT_NE(forgot.out.find("; site: 6 pages: the index, 2 of players, 1 of evenings, 1 of years, 1 of maps; "),
              std::string::npos)
        << forgot.out;

    // A site whose index was removed by hand is built again.
    fs::remove("site/index.html");
    const Result rebuilt = velstra({"update", "-o", "site", "Logs"});
    EXPECT_TRUE(rebuilt.out.ends_with("; 1 written, 5 unchanged, 0 removed\n")) << rebuilt.out;

    // A site built by "velstra site" is current for the next update.
    fs::remove("site/.velstra-site/built");
    ASSERT_EQ(velstra({"site", "-o", "site"}).code, 0);
    EXPECT_EQ(velstra({"update", "-o", "site", "Logs"}).out, NOTHING_CHANGED);

    // One more evening.
    add_game("C", {{"Bob"}, {"Ann"}}, 3);
    Result evening = velstra({"update", "-o", "site", "Logs"});
    EXPECT_EQ(evening.code, 0) << evening.err;
    EXPECT_TRUE(
        evening.out.starts_with("1 game added, 1 already in the history, 1 skipped (1 unfinished); site: 7 "
                                "pages: the index, 2 of players, 2 of evenings, 1 of years, 1 of maps; "))
        << evening.out;
}

// A history written before it counted its changes, and a site built before
// it remembered what from: built once, then current.
TEST_F(Update, AHistoryWithoutACountIsBuiltOnceThenFollowed) {
    add_game("A", {{"Ann"}, {"Bob"}}, 1);
    add_game("B", {{"Cyd"}, {"Bob"}}, 2);
    ASSERT_EQ(velstra({"import", "Logs"}).code, 0);
    ASSERT_EQ(velstra({"site", "-o", "site"}).code, 0);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open("velstra-history.db", &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DELETE FROM history_meta WHERE key = 'generation'", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    fs::remove("site/.velstra-site/built");

    Result taken_over = velstra({"update", "-o", "site", "Logs"});
    EXPECT_EQ(taken_over.code, 0) << taken_over.err;
    EXPECT_TRUE(taken_over.out.ends_with("; 0 written, 8 unchanged, 0 removed\n")) << taken_over.out;
    EXPECT_EQ(velstra({"update", "-o", "site", "Logs"}).out, NOTHING_CHANGED);
    // The first change counts from there.
    ASSERT_EQ(velstra({"alias", "Cyd", "--as", "Ann"}).code, 0);
    EXPECT_EQ(query("velstra-history.db", "SELECT value FROM history_meta WHERE key = 'generation'"), "1\n");
    EXPECT_NE(velstra({"update", "-o", "site", "Logs"}).out, NOTHING_CHANGED);
    EXPECT_EQ(velstra({"update", "-o", "site", "Logs"}).out, NOTHING_CHANGED);
}

// A folder that cannot be read is said, the others are imported and the
// site built; the exit code tells the job's owner.
TEST_F(Update, AFolderThatCannotBeReadIsSaidAndTheRestIsDone) {
    add_game("A", {{"Ann"}, {"Bob"}}, 1);
    add_game("B", {{"Cyd"}, {"Bob"}}, 2);
    fs::create_directories("Logs/old");
    Result partly = velstra({"update", "-o", "site", "Gone", "Logs"});
    EXPECT_EQ(partly.code, 1);
    // Subfolders are not read, and not said every night.
    EXPECT_EQ(partly.err, "velstra: Gone: no such file or folder\n");
    EXPECT_TRUE(partly.out.starts_with("2 games added, 0 already in the history, 0 skipped; site: 8 pages: "))
        << partly.out;
    Result again = velstra({"update", "-o", "site", "Gone", "Logs"});
    EXPECT_EQ(again.code, 1);
    EXPECT_EQ(again.out, NOTHING_CHANGED);
    EXPECT_EQ(again.err, "velstra: Gone: no such file or folder\n");

    // No folder to read: a change made since is still built.
    ASSERT_EQ(velstra({"alias", "Cyd", "--as", "Ann"}).code, 0);
    Result none = velstra({"update", "-o", "site", "Gone"});
    EXPECT_EQ(none.code, 1);
    EXPECT_TRUE(none.out.starts_with("0 games added, 0 already in the history, 0 skipped; site: 7 pages: "))
        << none.out;
}

// import: a path that cannot be read is an error line; the run fails only
// when no path could be read, and then makes no history.
TEST_F(Update, ImportSaysEachPathItCannotRead) {
    add_game("A", {{"Ann"}, {"Bob"}}, 1);
    Result partly = velstra({"import", "Gone", "Logs"});
    EXPECT_EQ(partly.code, 0);
    EXPECT_EQ(partly.err, "velstra: Gone: no such file or folder\n");
    EXPECT_EQ(partly.out, "1 game added, 0 already in the history, 0 skipped\n");
    Result none = velstra({"import", "--db", "other.db", "Gone", "Gone too"});
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.err, "velstra: Gone: no such file or folder\nvelstra: Gone too: no such file or folder\n");
    EXPECT_EQ(none.out, "");
    EXPECT_FALSE(fs::exists("other.db"));
}

// Every command explains itself on standard output, and does nothing else.
TEST_F(Update, EveryCommandHasItsHelp) {
    for (const char* command : {"import", "update", "games", "forget", "players", "alias", "site", "teams"}) {
        Result help = velstra({command, "--help"});
        EXPECT_EQ(help.code, 0) << command;
        EXPECT_EQ(help.err, "") << command;
        EXPECT_TRUE(help.out.starts_with(std::string("usage: velstra ") + command + " [")) << help.out;
        EXPECT_TRUE(help.out.ends_with("The site is written to DIR, else velstra-site.\n")) << help.out;
    }
    EXPECT_FALSE(fs::exists("velstra-history.db"));
    EXPECT_NE(velstra({"--help"}).out.find("\n       velstra update [--db FILE] [-o DIR] FOLDER...\n"),
              std::string::npos);
}

}  // namespace

namespace {

// A site built while an import runs shows the history as it was when the
// build began: its reader is one read transaction, from its first read on.
TEST_F(Update, AReaderSeesTheHistoryAsItWasWhenItBegan) {
    add_game("A", {{"Ann"}, {"Bob"}}, 1);
    ASSERT_EQ(velstra({"import", "Logs"}).code, 0);
    HistoryStore reading("velstra-history.db", HistoryAccess::ReadOnly);
    HistoryReader reader(reading);
    const long long generation = reader.generation();

    add_game("B", {{"Cyd"}, {"Bob"}}, 2);
    ASSERT_EQ(velstra({"import", "Logs"}).out, "1 game added, 1 already in the history, 0 skipped\n");
    ASSERT_EQ(velstra({"alias", "Cyd", "--as", "Ann"}).code, 0);

    EXPECT_EQ(reader.generation(), generation);
    EXPECT_EQ(reader.evenings().size(), 1u);
    const std::vector<HistoryName> names = reader.names();
    EXPECT_EQ(names.size(), 2u);
    EXPECT_EQ(HistoryReader::merges_fingerprint(names), HistoryReader::merges_fingerprint({}));
    HistoryReader::Games games = reader.games(GAME_PLAYERS, names);
    int read = 0;
    while (games.next()) ++read;
    EXPECT_EQ(read, 1);
}

}  // namespace
