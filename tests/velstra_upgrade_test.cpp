// A history made by the release before the history's first upgrade: the
// sample session's, kept as the SQL that makes it
// (tests/golden/sample_session/history-design-1.sql). The reading commands
// read it as it is and change nothing; the first writing command brings it
// to this build's design in one transaction, after which it holds what a
// fresh import by this build holds, and every command shows what it shows;
// an upgrade that fails midway leaves the old history as it was.
#include <sqlite3.h>

#include <filesystem>
#include <map>

#include "analysis_test_support.h"
#include "history_schema.h"
#include "history_store.h"
#include "velstra_test_games.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSample = fs::path(__FILE__).parent_path() / "golden" / "sample_session";

class VelstraUpgrade : public ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        // The session as the old history was made of it: its logs dated
        // 14 July 2001.
        fs::copy(EXAMPLES_DIR, "session");
        for (const auto& entry : fs::directory_iterator("session"))
            if (entry.path().extension() == ".log") set_log_date(entry.path(), 14, 7, 2001);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open("old.db", &db), SQLITE_OK);
        const std::string made = read_file(kSample / "history-design-1.sql");
        char* error = nullptr;
        const int code = sqlite3_exec(db, made.c_str(), nullptr, nullptr, &error);
        const std::string why = error != nullptr ? error : "";
        sqlite3_free(error);
        sqlite3_close(db);
        ASSERT_EQ(code, SQLITE_OK) << why;
        ASSERT_EQ(query("old.db", "PRAGMA user_version"), "1\n");
    }

    RunResult velstra(const std::vector<std::string>& args) { return run_velstra_program(args, dir()); }

    // What the reading commands show of a history: its games, its players
    // and its site, page by page.
    struct Shown {
        std::string games;
        std::string players;
        std::map<std::string, std::string> site;
    };
    Shown shown(const std::string& db) {
        Shown all;
        all.games = velstra({"games", "--db", db}).out;
        all.players = velstra({"players", "--db", db}).out;
        const std::string site = db + "-site";
        const RunResult written = velstra({"site", "--db", db, "-o", site});
        EXPECT_EQ(written.exit_code, 0) << written.err;
        if (fs::exists(site)) all.site = files_under(site);
        return all;
    }

    // The session imported by this build, its names merged as the old
    // history's are.
    Shown fresh() {
        EXPECT_EQ(velstra({"import", "--db", "fresh.db", "session"}).exit_code, 0);
        const std::string merge = read_file(kSample / "site-aliases");
        const std::size_t tab = merge.find('\t');
        EXPECT_EQ(velstra({"alias", "--db", "fresh.db", merge.substr(0, tab), "--as",
                           merge.substr(tab + 1, merge.find('\n') - tab - 1)})
                      .exit_code,
                  0);
        return shown("fresh.db");
    }

    // What a fresh history shows without the moments, which an old one
    // never kept: an old history read as it is shows that.
    Shown fresh_without_moments() {
        fs::copy_file("fresh.db", "bare.db");
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open("bare.db", &db), SQLITE_OK);
        EXPECT_EQ(
            sqlite3_exec(db, "DELETE FROM player_moments; DELETE FROM weapon_accuracy", nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(db);
        return shown("bare.db");
    }

    static void expect_same(const Shown& got, const Shown& want, const std::string& when) {
        EXPECT_EQ(got.games, want.games) << when;
        EXPECT_EQ(got.players, want.players) << when;
        EXPECT_FALSE(want.site.empty());
        EXPECT_TRUE(got.site == want.site) << when << ": the site differs";
    }

    // Every object of the file's design and every row of every table, and
    // the design's number; not the count of its changes, which tells how
    // it came to hold them.
    static std::string everything(const std::string& db) {
        std::string all = query(db, "PRAGMA user_version") +
                          query(db, "SELECT type, name, tbl_name, sql FROM sqlite_schema ORDER BY name");
        for (const std::string& table :
             lines(query(db, "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name")))
            all += table + ":\n" +
                   query(db, "SELECT * FROM \"" + table + "\"" +
                                 (table == "history_meta" ? " WHERE key != 'generation'" : "") + " ORDER BY 1, 2");
        return all;
    }

    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> found;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find('\n', at);
            found.push_back(text.substr(at, end - at));
            at = end + 1;
        }
        return found;
    }
};

TEST_F(VelstraUpgrade, AnOldHistoryIsReadAsItIsAndUpgradedByTheFirstWrite) {
    const Shown want = fresh();
    const std::string old = everything("old.db");
    expect_same(shown("old.db"), fresh_without_moments(), "read as it is");
    EXPECT_EQ(everything("old.db"), old);

    {
        // A command that reads only what a later design keeps asks for an
        // import instead.
        const HistoryStore store("old.db", HistoryAccess::ReadOnly);
        EXPECT_EQ(store.design(), 1);
        try {
            store.require_design(2);
            ADD_FAILURE() << "design 1 read as design 2";
        } catch (const HistoryFailure& failure) {
            EXPECT_EQ(failure.message,
                      "was written by an older velstra (design 1; this command reads design 2 and later); run "
                      "velstra import once, with the server's logs, to bring it up to date");
        }
    }

    const RunResult imported = velstra({"import", "--db", "old.db", "session"});
    EXPECT_EQ(imported.exit_code, 0) << imported.err;
    // The files were read elsewhere: here they are new, their games known,
    // and read again for their moments.
    EXPECT_EQ(imported.out,
              "0 games added, 7 already in the history, 2 skipped (1 not a stat log, 1 not reported), 7 read again\n");
    EXPECT_EQ(query("old.db", "PRAGMA user_version"), std::to_string(HISTORY_SCHEMA_VERSION) + "\n");
    expect_same(shown("old.db"), want, "upgraded");

    // As this build writes a history: the same design, the same rows. The
    // notes of the old release's files know no nanoseconds nor identity.
    const std::string old_notes = "path LIKE '/tmp/sample-session/%'";
    EXPECT_EQ(query("old.db", "SELECT count(*) FROM imported_file WHERE " + old_notes +
                                  " AND write_ns IS NULL AND device IS NULL AND inode IS NULL"),
              "9\n");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open("old.db", &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, ("DELETE FROM imported_file WHERE " + old_notes).c_str(), nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(everything("old.db"), everything("fresh.db"));

    // Its merges undo as this build's do.
    EXPECT_EQ(velstra({"alias", "--db", "old.db", "--remove", "Brickwell_afk"}).exit_code, 0);
    EXPECT_EQ(velstra({"alias", "--db", "fresh.db", "--remove", "Brickwell_afk"}).exit_code, 0);
    EXPECT_EQ(velstra({"players", "--db", "old.db"}).out, velstra({"players", "--db", "fresh.db"}).out);
}

// The upgrade's last step finds its name taken (by a table a user added):
// it fails after every step before it ran, and the history is the old one,
// row for row, and still read.
TEST_F(VelstraUpgrade, AnUpgradeThatFailsMidwayLeavesTheOldHistory) {
    fresh();
    const Shown want = fresh_without_moments();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open("old.db", &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE imported_file_by_game (note TEXT)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    const std::string old = everything("old.db");

    const RunResult failed = velstra({"alias", "--db", "old.db", "Tessaly", "--as", "Torvik"});
    EXPECT_EQ(failed.exit_code, 2);
    EXPECT_EQ(failed.err,
              "velstra: old.db: cannot change the history: there is already a table named imported_file_by_game\n");
    EXPECT_EQ(failed.out, "");
    EXPECT_EQ(everything("old.db"), old);
    expect_same(shown("old.db"), want, "after the failed upgrade");
}

}  // namespace
