// The velstra program on hand-built games: what an import adds, skips and
// remembers, what the history file holds afterwards, the listings, merges
// of names, and the files it refuses to touch.
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>

#include "analysis_test_support.h"
#include "evening.h"
#include "history_schema.h"
#include "history_store.h"
#include "velstra_cli.h"
#include "velstra_test_games.h"

namespace fs = std::filesystem;

namespace {

class Velstra : public ScratchFolder {
protected:
    struct Result {
        int code;
        std::string out;
        std::string err;
    };

    Result velstra(std::vector<std::string> args, const char* env_db = nullptr, int busy_ms = 5000) {
        StringOutput out;
        StringOutput err;
        VelstraRun run;
        run.args = std::move(args);
        run.env_db = env_db;
        run.out = &out;
        run.err = &err;
        run.analyse = analysis.function();
        run.busy_ms = busy_ms;
        const int code = run_velstra(run);
        return {code, out.text, err.text};
    }

    void add_log(const std::string& name, const std::string& seed, const LoggedGame& game) {
        analysis.games[seed] = game;
        write_file(name, "game:" + seed);
    }

    TestAnalysis analysis;
};

const char* const DB = "velstra-history.db";

TEST_F(Velstra, ImportsEachGameOnceAndRemembersEveryFileName) {
    add_log("Unreal.ngLog.2011.03.27.21.47.25.7777.log", "A", test_game("A", "DM-Deck16][", {{"Bob"}, {"Ann"}}));
    add_log("games.log", "A", test_game("A", "DM-Deck16][", {{"Bob"}, {"Ann"}}));  // renamed copy
    add_log("games1.log", "B", test_game("B", "CTF-Face", {{"Ann"}}));
    write_file("Unreal.ngLog.2011.03.27.22.10.00.7777.tmp", "unfinished");
    write_file("notes.txt", "remember the milk");
    fs::create_directory("old");
    add_log("old/games.log", "C", test_game("C", "DM-Morpheus", {{"Cid"}}));

    Result first = velstra({"import", "-v", "."});
    EXPECT_EQ(first.code, 0) << first.err;
    EXPECT_EQ(first.out, "2 games added, 1 already in the history, 2 skipped (1 unfinished, 1 not a stat log)\n");
    // The subfolder is named, not read.
    EXPECT_EQ(first.err,
              "velstra: ./old: a folder within a folder, not read (name it to import its logs)\n"
              "./Unreal.ngLog.2011.03.27.21.47.25.7777.log: added as game 1\n"
              "./Unreal.ngLog.2011.03.27.22.10.00.7777.tmp: skipped, unfinished\n"
              "./games.log: already in the history as game 1\n"
              "./games1.log: added as game 2\n"
              "./notes.txt: skipped, not a stat log\n");
    EXPECT_EQ(query(DB, "SELECT game_id, file_name FROM game_file ORDER BY 1, 2"),
              "1|Unreal.ngLog.2011.03.27.21.47.25.7777.log\n1|games.log\n2|games1.log\n");

    // Unchanged files are known by their note and not read again; the
    // history file itself, now in the folder, is never taken for a log.
    analysis.reads = 0;
    Result again = velstra({"import", "."});
    EXPECT_EQ(again.code, 0);
    EXPECT_EQ(again.out, "0 games added, 3 already in the history, 2 skipped (1 unfinished, 1 not a stat log)\n");
    EXPECT_EQ(analysis.reads, 0);

    // A file that changed is read again.
    add_log("notes.txt", "C", test_game("C", "DM-Morpheus", {{"Cid"}}));
    struct stat status {};
    ASSERT_EQ(::stat("notes.txt", &status), 0);
    fs::last_write_time("notes.txt", fs::last_write_time("notes.txt") + std::chrono::hours(1));
    Result changed = velstra({"import", ".", "old/games.log"});
    EXPECT_EQ(changed.out, "1 game added, 4 already in the history, 1 skipped (1 unfinished)\n");
    EXPECT_EQ(analysis.reads, 2);
    EXPECT_EQ(query(DB, "SELECT count(*) FROM game"), "3\n");
}

// A log replaced by another of the same size within the same second, in
// place or by a rename, is read again: the note keeps the nanoseconds and
// the file's identity, not only the size and the second.
TEST_F(Velstra, AFileReplacedWithTheSameSizeAndSecondIsReadAgain) {
    add_log("games.log", "A", test_game("A", "DM-Deck16][", {{"Ann"}}));
    analysis.games["B"] = test_game("B", "DM-Morpheus", {{"Bob"}});
    analysis.games["C"] = test_game("C", "CTF-Face", {{"Cid"}});
    const timespec first[2] = {{1300000000, 100}, {1300000000, 100}};
    ASSERT_EQ(utimensat(AT_FDCWD, "games.log", first, 0), 0);
    ASSERT_EQ(velstra({"import", "games.log"}).out, "1 game added, 0 already in the history, 0 skipped\n");

    // Rewritten in place: the same inode and size, a later nanosecond.
    write_file("games.log", "game:B");
    const timespec later[2] = {{1300000000, 200}, {1300000000, 200}};
    ASSERT_EQ(utimensat(AT_FDCWD, "games.log", later, 0), 0);
    EXPECT_EQ(velstra({"import", "games.log"}).out, "1 game added, 0 already in the history, 0 skipped\n");

    // Another file of the same size and times put in its place.
    write_file("new.log", "game:C");
    ASSERT_EQ(utimensat(AT_FDCWD, "new.log", later, 0), 0);
    fs::rename("new.log", "games.log");
    analysis.reads = 0;
    EXPECT_EQ(velstra({"import", "games.log"}).out, "1 game added, 0 already in the history, 0 skipped\n");
    EXPECT_EQ(analysis.reads, 1);
    EXPECT_EQ(velstra({"import", "games.log"}).out, "0 games added, 1 already in the history, 0 skipped\n");
    EXPECT_EQ(analysis.reads, 1);
    EXPECT_EQ(query(DB, "SELECT map FROM game ORDER BY id"), "DM-Deck16][\nDM-Morpheus\nCTF-Face\n");
}

TEST_F(Velstra, KeepsEveryValueOfAGame) {
    LoggedGame game = test_game("R", "CTF-Face", {{"J\xF6rg"}, {"Robert'); DROP TABLE game;--", Species::Bot}},
                                StartTime{2012, 3, 1, 1, 30, 5, true, -300});
    game.record.type = GameType::CaptureTheFlag;
    game.record.type_name = "Capture the Flag";
    game.mutators = {Text("InstaGibDM"), Text("NoRedeemer")};
    game.record.teams.counted = true;
    game.record.teams.playing = {true, true, false, false};
    game.record.teams.score = {3, 1, 0, 0};
    game.record.teams.winner = "0";
    game.record.teams.steps = {{120, 0, 1}, {300, 1, 1}};
    GamePlayer& jorg = game.record.players[0];
    jorg.deaths = 4;
    jorg.suicides = 1;
    jorg.headshots = 2;
    jorg.fav_weapon = "Rocket Launcher";
    jorg.fav_weapon_kills = 3;
    jorg.fav_victim = "Robert";
    jorg.fav_victim_kills = 2;
    jorg.flags_captured = 3;
    jorg.ping = 45;
    jorg.moments = PlayerMoments{1, {2, 1, 0, 0, 1}, 27, {3, 2, 1, 1}, 4, 5, 6, 7, 3, 8};
    game.record.accuracy = {{0, Text("Rocket Launcher"), 40, 12, 900},
                            {0, Text("Flak Cannon"), 9, 3, 70},
                            {1, Text("Minigun"), 100, 41, 380}};
    game.player_teams[1] = {TeamSpell{Text("1"), 400}, TeamSpell{Text("0"), 354}};
    game.kills = {
        {12, 0, 1, Text("MyMod.SuperGun"), false}, {30, 1, 1, Text("Fell"), false}, {40, 0, -1, Text("Flak"), true}};
    // 127 kills: one statement of every size the rows are written with.
    std::string kills = "12|0|1|MyMod.SuperGun|0\n30|1|1|Fell|0\n40|0|NULL|Flak|1\n";
    for (int k = 0; k < 124; ++k) {
        game.kills.push_back({100 + k, k % 2, 1 - k % 2, Text(k % 3 == 0 ? "Enforcer" : "Minigun"), false});
        kills += std::to_string(100 + k) + "|" + std::to_string(k % 2) + "|" + std::to_string(1 - k % 2) + "|" +
                 (k % 3 == 0 ? "Enforcer" : "Minigun") + "|0\n";
    }
    add_log("ctf.log", "R", game);

    ASSERT_EQ(velstra({"import", "ctf.log"}).code, 0);
    EXPECT_EQ(query(DB, "SELECT * FROM game"),
              "1|" + std::string(game.key.view()) +
                  "|CTF-Face|Deck16|8|Capture the Flag|Test Server|2012-03-01 01:30:05|-300|0|2012-02-29|754|"
                  "fraglimit|1|0|1\n");
    // Only players with a moment have a row.
    EXPECT_EQ(query(DB, "SELECT * FROM player_moments"), "1|0|1|2|1|0|0|1|27|3|2|1|1|4|5|6|7|3|8\n");
    EXPECT_EQ(query(DB, "SELECT * FROM weapon_accuracy ORDER BY slot, position"),
              "1|0|0|Rocket Launcher|40|12|900\n1|0|1|Flak Cannon|9|3|70\n1|1|0|Minigun|100|41|380\n");
    EXPECT_EQ(query(DB, "SELECT name, position FROM game_mutator ORDER BY position"), "InstaGibDM|0\nNoRedeemer|1\n");
    EXPECT_EQ(query(DB, "SELECT team, score FROM game_team ORDER BY team"), "0|3\n1|1\n");
    EXPECT_EQ(query(DB, "SELECT time, team, change FROM team_step ORDER BY position"), "120|0|1\n300|1|1\n");
    EXPECT_EQ(query(DB, "SELECT n.name, gp.* FROM game_player gp JOIN name n ON n.id = gp.name_id ORDER BY slot"),
              "J\xC3\xB6rg|1|0|1|1|NULL|0|1|1|0|0|0|4|1|0|0|0|0|0|2|Rocket Launcher|3|Robert|2|3|0|45|NULL\n"
              "Robert'); DROP TABLE game;--|1|1|2|0|3|0|2|0|0|0|0|0|0|0|0|0|0|0|0||0||0|0|0|NULL|NULL\n");
    EXPECT_EQ(query(DB, "SELECT slot, team, seconds FROM player_team ORDER BY slot, position"),
              "0|0|754\n1|1|400\n1|0|354\n");
    EXPECT_EQ(query(DB, "SELECT time, killer, victim, weapon, teamkill FROM kill ORDER BY position"), kills);
    EXPECT_EQ(query(DB, "PRAGMA integrity_check"), "ok\n");
}

// A game imported before the history kept moments: importing its unchanged
// file again reads it again and fills them in, once, adding no game.
TEST_F(Velstra, AGameWithoutItsMomentsIsReadAgain) {
    LoggedGame game = test_game("M", "DM-Deck16][", {{"Ann"}, {"Bob"}});
    game.record.players[0].moments.first_blood = 1;
    game.record.players[0].moments.multis[0] = 2;
    add_log("games.log", "M", game);
    ASSERT_EQ(velstra({"import", "games.log"}).code, 0);
    const std::string kept = query(DB, "SELECT * FROM player_moments");
    EXPECT_EQ(kept, "1|0|1|0|0|0|0|0|0|2|0|0|0|0|0|0|0|0|0\n");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(DB, &db), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(db, "DELETE FROM player_moments; UPDATE game SET moments_known = NULL", nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(velstra({"import", "games.log"}).out,
              "0 games added, 1 already in the history, 0 skipped, 1 read again\n");
    EXPECT_EQ(query(DB, "SELECT * FROM player_moments"), kept);
    EXPECT_EQ(velstra({"import", "games.log"}).out, "0 games added, 1 already in the history, 0 skipped\n");
    EXPECT_EQ(query(DB, "SELECT count(*) FROM game"), "1\n");
}

TEST_F(Velstra, ALogWithoutAStartTakesItsFilesTime) {
    add_log("games.log", "N", test_game("N", "DM-Deck16][", {{"Bob"}}, StartTime{}));
    fs::last_write_time("games.log", fs::last_write_time("games.log"));  // whole seconds do not matter here
    struct stat status {};
    ASSERT_EQ(::stat("games.log", &status), 0);
    std::tm local{};
    localtime_r(&status.st_mtime, &local);
    char expected[64];
    std::snprintf(expected, sizeof expected, "%04d-%02d-%02d %02d:%02d:%02d|NULL|1\n", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    ASSERT_EQ(velstra({"import", "games.log"}).code, 0);
    EXPECT_EQ(query(DB, "SELECT start_local, utc_offset_minutes, start_from_file FROM game"), expected);
}

TEST(Evening, TheDayTurnsAtSixInTheMorning) {
    EXPECT_EQ(evening_of(StartTime{2011, 3, 27, 21, 47, 0, true, 0}), "2011-03-27");
    EXPECT_EQ(evening_of(StartTime{2011, 3, 28, 5, 59, 59, true, 0}), "2011-03-27");
    EXPECT_EQ(evening_of(StartTime{2011, 3, 28, 6, 0, 0, true, 0}), "2011-03-28");
    EXPECT_EQ(evening_of(StartTime{2012, 3, 1, 1, 30, 0, true, 0}), "2012-02-29");  // a leap year
    EXPECT_EQ(evening_of(StartTime{2011, 3, 1, 1, 30, 0, true, 0}), "2011-02-28");
    EXPECT_EQ(evening_of(StartTime{2011, 1, 1, 0, 10, 0, true, 0}), "2010-12-31");
    EXPECT_EQ(evening_of(StartTime{2011, 2, 14, 21, 0, 0, true, 0}), "2011-02-14");  // a date before March
    EXPECT_EQ(evening_of(StartTime{}), "");
}

TEST_F(Velstra, ForgottenGamesComeBackWhenTheirLogIsImportedAgain) {
    add_log("games.log", "A", test_game("A", "DM-Deck16][", {{"Bob", Species::Human, 20}, {"Loque", Species::Bot}}));
    add_log("games1.log", "B", test_game("B", "CTF-Face", {{"Ann"}}, StartTime{2011, 3, 27, 22, 5, 0, true, 60}));
    ASSERT_EQ(velstra({"import", "games.log", "games1.log"}).code, 0);
    EXPECT_EQ(velstra({"games"}).out,
              "1  2011-03-27 21:47  DM-Deck16][  Tournament DeathMatch  12:34  Bob\n"
              "2  2011-03-27 22:05  CTF-Face  Tournament DeathMatch  12:34  Ann\n");

    Result forgot = velstra({"forget", "1"});
    EXPECT_EQ(forgot.code, 0);
    EXPECT_EQ(forgot.out, "forgot game 1 (DM-Deck16][, 2011-03-27 21:47)\n");
    for (const char* table : {"game_player", "player_team", "game_file", "kill"})
        EXPECT_EQ(query(DB, std::string("SELECT count(*) FROM ") + table + " WHERE game_id = 1"), "0\n") << table;
    EXPECT_EQ(velstra({"games"}).out, "2  2011-03-27 22:05  CTF-Face  Tournament DeathMatch  12:34  Ann\n");

    Result unknown = velstra({"forget", "2", "7"});
    EXPECT_EQ(unknown.code, 1);
    EXPECT_EQ(unknown.err, "velstra: there is no game 7 in the history; nothing was forgotten\n");
    EXPECT_EQ(query(DB, "SELECT count(*) FROM game"), "1\n");

    Result back = velstra({"import", "games.log", "games1.log"});
    EXPECT_EQ(back.out, "1 game added, 1 already in the history, 0 skipped\n");
    EXPECT_EQ(query(DB, "SELECT id, map FROM game ORDER BY id"), "2|CTF-Face\n3|DM-Deck16][\n");
}

TEST_F(Velstra, MergesNamesBesideTheGamesAndUndoesThem) {
    add_log("games.log", "A", test_game("A", "DM-Deck16][", {{"Bob"}, {"Loque", Species::Bot}}));
    add_log(
        "games1.log", "B",
        test_game("B", "DM-Morpheus", {{"B0b"}, {"Loque", Species::Bot}}, StartTime{2011, 3, 28, 20, 0, 0, true, 60}));
    add_log("games2.log", "C",
            test_game("C", "CTF-Face", {{"Bobby"}, {"Ann"}}, StartTime{2011, 4, 2, 20, 0, 0, true, 60}));
    ASSERT_EQ(velstra({"import", "."}).code, 0);
    const std::string players_before =
        "2 games  first 2011-03-27 21:47  last 2011-03-28 20:00  bot  Loque\n"
        "1 game   first 2011-04-02 20:00  last 2011-04-02 20:00  human  Ann\n"
        "1 game   first 2011-03-28 20:00  last 2011-03-28 20:00  human  B0b\n"
        "1 game   first 2011-03-27 21:47  last 2011-03-27 21:47  human  Bob\n"
        "1 game   first 2011-04-02 20:00  last 2011-04-02 20:00  human  Bobby\n";
    EXPECT_EQ(velstra({"players"}).out, players_before);
    const std::string games_before = query(DB, "SELECT * FROM game_player");

    Result merged = velstra({"alias", "B0b", "Bobby", "--as", "Bob"});
    EXPECT_EQ(merged.code, 0) << merged.err;
    EXPECT_EQ(merged.out, "merged \"B0b\" into \"Bob\"\nmerged \"Bobby\" into \"Bob\"\n");
    EXPECT_EQ(velstra({"players"}).out,
              "3 games  first 2011-03-27 21:47  last 2011-04-02 20:00  human  Bob (also B0b, Bobby)\n"
              "2 games  first 2011-03-27 21:47  last 2011-03-28 20:00  bot  Loque\n"
              "1 game   first 2011-04-02 20:00  last 2011-04-02 20:00  human  Ann\n");
    EXPECT_EQ(query(DB, "SELECT * FROM game_player"), games_before);

    // Ann played beside Bobby: one player cannot have been both.
    Result refused = velstra({"alias", "Ann", "--as", "Bob"});
    EXPECT_EQ(refused.code, 2);
    EXPECT_EQ(refused.err,
              "velstra: \"Bobby\" and \"Ann\" both played in game 3 (CTF-Face, 2011-04-02 20:00), so they are two "
              "players; nothing was merged\n");

    Result undone = velstra({"alias", "--remove", "Bobby"});
    EXPECT_EQ(undone.code, 0);
    EXPECT_EQ(undone.out, "\"Bobby\" is a player of its own again\n");
    ASSERT_EQ(velstra({"alias", "--remove", "B0b"}).code, 0);
    EXPECT_EQ(velstra({"players"}).out, players_before);

    EXPECT_EQ(velstra({"alias", "--remove", "Bob"}).code, 1);
    Result nobody = velstra({"alias", "Bob", "--as", "Nobody"});
    EXPECT_EQ(nobody.code, 1);
    EXPECT_EQ(nobody.err, "velstra: no player named \"Nobody\" in the history\n");
}

// A merge is kept as it was given, so that undoing any merge of a chain
// undoes exactly it, and a merge that would close a circle is refused.
TEST_F(Velstra, UndoesOneMergeOfAChainAndRefusesACircle) {
    const char* const names[] = {"X", "X_x", "Q", "P"};
    for (int k = 0; k < 4; ++k)
        add_log("games" + std::to_string(k) + ".log", names[k],
                test_game(names[k], "DM-Deck16][", {{names[k]}}, StartTime{2011, 3, 27, 20 + k, 0, 0, true, 60}));
    ASSERT_EQ(velstra({"import", "."}).code, 0);
    auto line = [](int k) {
        return "1 game   first 2011-03-27 2" + std::to_string(k) + ":00  last 2011-03-27 2" + std::to_string(k) +
               ":00  human  ";
    };
    const std::string x_with_x_x = "2 games  first 2011-03-27 20:00  last 2011-03-27 21:00  human  X (also X_x)\n";
    const std::string before = x_with_x_x + line(3) + "P\n" + line(2) + "Q\n";

    ASSERT_EQ(velstra({"alias", "X_x", "--as", "X"}).code, 0);
    EXPECT_EQ(velstra({"players"}).out, before);
    Result chained = velstra({"alias", "X", "--as", "Q"});
    EXPECT_EQ(chained.out, "merged \"X\" into \"Q\"\n");
    EXPECT_EQ(velstra({"players"}).out,
              "3 games  first 2011-03-27 20:00  last 2011-03-27 22:00  human  Q (also X, X_x)\n" + line(3) + "P\n");
    // A name that is the player's already keeps the merge it has.
    EXPECT_EQ(velstra({"alias", "X_x", "--as", "Q"}).out, "merged \"X_x\" into \"Q\"\n");

    Result undone = velstra({"alias", "--remove", "X"});
    EXPECT_EQ(undone.code, 0) << undone.err;
    EXPECT_EQ(velstra({"players"}).out, before);

    // The first merge of the chain undone alone: X stays with Q.
    ASSERT_EQ(velstra({"alias", "X", "--as", "Q"}).code, 0);
    ASSERT_EQ(velstra({"alias", "--remove", "X_x"}).code, 0);
    EXPECT_EQ(velstra({"players"}).out, "2 games  first 2011-03-27 20:00  last 2011-03-27 22:00  human  Q (also X)\n" +
                                            line(3) + "P\n" + line(1) + "X_x\n");

    ASSERT_EQ(velstra({"alias", "X_x", "--as", "X"}).code, 0);
    const std::string merges = query(DB, "SELECT * FROM name_merge ORDER BY 1");
    const std::string players = velstra({"players"}).out;
    const struct {
        std::vector<std::string> args;
        std::string says;
    } refused[] = {
        {{"alias", "Q", "--as", "Q"}, "\"Q\" cannot be merged into itself"},
        {{"alias", "P", "Q", "--as", "X_x"}, "\"Q\" cannot be merged into \"X_x\", which is merged into it"},
        {{"alias", "X", "--as", "P"}, "\"X\" is merged into \"Q\" already; undo that first (alias --remove)"},
    };
    for (const auto& merge : refused) {
        Result result = velstra(merge.args);
        EXPECT_EQ(result.code, 1) << merge.says;
        EXPECT_EQ(result.err, "velstra: " + merge.says + "; nothing was merged\n");
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(query(DB, "SELECT * FROM name_merge ORDER BY 1"), merges);
    EXPECT_EQ(velstra({"players"}).out, players);

    // A name merged onto a merged name follows that name, not its player.
    EXPECT_EQ(velstra({"alias", "P", "--as", "X_x"}).out, "merged \"P\" into \"Q\"\n");
    EXPECT_EQ(velstra({"players"}).out,
              "4 games  first 2011-03-27 20:00  last 2011-03-27 23:00  human  Q (also P, X, X_x)\n");
    // The site reads each merged name's player from the view "alias".
    EXPECT_EQ(query(DB,
                    "SELECT n.name, p.name FROM alias JOIN name n ON n.id = alias.name_id "
                    "JOIN name p ON p.id = alias.player_id ORDER BY 1"),
              "P|Q\nX|Q\nX_x|Q\n");
    ASSERT_EQ(velstra({"alias", "--remove", "X_x"}).code, 0);
    EXPECT_EQ(velstra({"players"}).out,
              "2 games  first 2011-03-27 20:00  last 2011-03-27 22:00  human  Q (also X)\n"
              "2 games  first 2011-03-27 21:00  last 2011-03-27 23:00  human  X_x (also P)\n");
}

// Every statement of an import, of forget and of alias finds its rows by an
// index: none reads a whole table, which in a history of years means
// millions of kills and thousands of files.
TEST_F(Velstra, ImportForgetAndAliasFindTheirRowsByAnIndex) {
    add_log("games.log", "A", test_game("A", "DM-Deck16][", {{"Ann"}, {"Bob"}}));
    add_log("games1.log", "B", test_game("B", "DM-Morpheus", {{"Bobby"}}));
    ASSERT_EQ(velstra({"import", "."}).code, 0);
    ASSERT_EQ(velstra({"alias", "Bobby", "--as", "Bob"}).code, 0);

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(DB, &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    const std::vector<std::string> statements = HistoryStore::statement_texts();
    EXPECT_GE(statements.size(), 30u);
    for (const std::string& sql : statements) {
        sqlite3_stmt* plan = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &plan, nullptr), SQLITE_OK)
            << sql << ": " << sqlite3_errmsg(db);
        std::string steps;
        while (sqlite3_step(plan) == SQLITE_ROW)
            steps += std::string(reinterpret_cast<const char*>(sqlite3_column_text(plan, 3))) + "; ";
        sqlite3_finalize(plan);
        EXPECT_EQ(steps.find("SCAN"), std::string::npos) << sql << "\n    runs as: " << steps;
    }
    sqlite3_close(db);
}

TEST_F(Velstra, CommandLine) {
    Result version = velstra({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "velstra (velstra) 2.20\n");
    // The usage on standard output, with every command; nothing is opened.
    for (const char* help : {"--help", "-h"}) {
        Result usage = velstra({help});
        EXPECT_EQ(usage.code, 0) << help;
        EXPECT_EQ(usage.err, "") << help;
        EXPECT_TRUE(usage.out.starts_with("usage: velstra import [-v] [--db FILE] PATH...\n")) << usage.out;
        for (const char* command : {"games", "forget", "players", "alias", "site"})
            EXPECT_NE(usage.out.find(std::string("velstra ") + command + " [--db FILE]"), std::string::npos) << command;
    }
    EXPECT_EQ(velstra({}).code, 1);
    EXPECT_EQ(velstra({"list"}).code, 1);
    EXPECT_EQ(velstra({"import"}).code, 1);
    EXPECT_EQ(velstra({"import", "-x", "."}).code, 1);
    EXPECT_EQ(velstra({"games", "--db"}).code, 1);
    EXPECT_EQ(velstra({"forget", "1x"}).code, 1);
    EXPECT_EQ(velstra({"alias", "Bob"}).code, 1);

    Result missing = velstra({"import", "nowhere"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "velstra: nowhere: no such file or folder\n");
    EXPECT_FALSE(fs::exists(DB));

    Result no_history = velstra({"games"});
    EXPECT_EQ(no_history.code, 2);
    EXPECT_EQ(no_history.err, "velstra: velstra-history.db: there is no history here; import logs to make one\n");
    EXPECT_FALSE(fs::exists(DB));

    // --db, else $VELSTRA_DB, else the current folder's history.
    add_log("games.log", "A", test_game("A", "DM-Deck16][", {{"Bob"}}));
    EXPECT_EQ(velstra({"import", "games.log"}, "env.db").code, 0);
    EXPECT_EQ(velstra({"import", "--db", "option.db", "games.log"}, "env.db").code, 0);
    EXPECT_EQ(velstra({"import", "--db=option.db", "--", "games.log"}, "env.db").out,
              "0 games added, 1 already in the history, 0 skipped\n");
    EXPECT_TRUE(fs::exists("env.db"));
    EXPECT_FALSE(fs::exists(DB));
}

// Files that are not a history of this program: each is refused with one
// line and exit 2, and left byte for byte as it was.
TEST_F(Velstra, LeavesEveryOtherFileUntouched) {
    add_log("games.log", "A", test_game("A", "DM-Deck16][", {{"Bob"}}));
    ASSERT_EQ(velstra({"import", "--db", "history.db", "games.log"}).code, 0);

    write_file("text.db", "DM-Deck16][ was a good map\n");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open("foreign.db", &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE game (id INTEGER PRIMARY KEY, name TEXT)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    ASSERT_EQ(sqlite3_open("empty.db", &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version = 0; VACUUM", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    fs::copy_file("history.db", "newer.db");
    ASSERT_EQ(sqlite3_open("newer.db", &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    // A history whose list of tables is overwritten: SQLite finds it damaged.
    std::string damaged = read_file("history.db");
    ASSERT_GT(damaged.size(), 4096u);
    for (std::size_t k = 100; k < 4096; ++k) damaged[k] = static_cast<char>(k * 7);
    write_file("damaged.db", damaged);
    fs::create_symlink("history.db", "link.db");

    const struct {
        const char* file;
        std::string says;
    } refused[] = {
        {"text.db", "is not a history: SQLite reports it as damaged or as no database; it is left as it is"},
        {"foreign.db", "is another program's database, not a history; it is left as it is"},
        {"newer.db", "is a history of a newer velstra (design 99; this one knows up to " +
                         std::to_string(HISTORY_SCHEMA_VERSION) + "); it is left as it is"},
        {"damaged.db", "is not a history: SQLite reports it as damaged or as no database; it is left as it is"},
        {"link.db", "is a symbolic link; a history is never opened through one"},
    };
    for (const auto& file : refused) {
        const std::string before = read_file(file.file);
        for (const std::vector<std::string>& args : {std::vector<std::string>{"import", "--db", file.file, "."},
                                                     std::vector<std::string>{"players", "--db", file.file}}) {
            Result result = velstra(args);
            EXPECT_EQ(result.code, 2) << file.file;
            EXPECT_EQ(result.err, "velstra: " + std::string(file.file) + ": " + file.says + "\n");
            EXPECT_EQ(result.out, "");
        }
        EXPECT_EQ(read_file(file.file), before) << file.file;
        // Nothing was written: no journal, and a history's write-ahead log,
        // which reading it leaves beside it, holds nothing.
        EXPECT_FALSE(fs::exists(std::string(file.file) + "-journal")) << file.file;
        const std::string log = std::string(file.file) + "-wal";
        EXPECT_TRUE(!fs::exists(log) || fs::file_size(log) == 0) << file.file;
    }

    // Damage past the first page shows when the tables are read: said so,
    // and the file is left as it is.
    std::string deep = read_file("history.db");
    ASSERT_GT(deep.size(), 2 * 16384u);
    for (std::size_t k = 16384; k < deep.size(); ++k) deep[k] = static_cast<char>(k * 13);
    write_file("deep.db", deep);
    Result deep_read = velstra({"games", "--db", "deep.db"});
    EXPECT_EQ(deep_read.code, 2);
    EXPECT_EQ(deep_read.err, "velstra: deep.db: the history is damaged (database disk image is malformed)\n");
    EXPECT_EQ(read_file("deep.db"), deep);

    // An empty database holds no history to list, but an import makes it one.
    const std::string empty = read_file("empty.db");
    EXPECT_EQ(velstra({"games", "--db", "empty.db"}).err,
              "velstra: empty.db: holds no history yet; import logs into it first\n");
    EXPECT_EQ(read_file("empty.db"), empty);
    EXPECT_EQ(velstra({"import", "--db", "empty.db", "games.log"}).out,
              "1 game added, 0 already in the history, 0 skipped\n");
}

TEST_F(Velstra, AHistoryInUseIsWaitedForThenReportedBusy) {
    add_log("games.log", "A", test_game("A", "DM-Deck16][", {{"Bob"}}));
    add_log("games1.log", "B", test_game("B", "DM-Morpheus", {{"Bob"}}));
    ASSERT_EQ(velstra({"import", "games.log"}).code, 0);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(DB, &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    Result busy = velstra({"import", "games1.log"}, nullptr, 200);
    EXPECT_EQ(busy.code, 2);
    EXPECT_EQ(busy.err,
              "velstra: velstra-history.db: the history is busy: another velstra is using it; try again when it is "
              "done\n");
    ASSERT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);

    EXPECT_EQ(velstra({"import", "games.log", "games1.log"}).out,
              "1 game added, 1 already in the history, 0 skipped\n");
}

}  // namespace
