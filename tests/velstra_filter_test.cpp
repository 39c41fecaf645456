// The list of games by player, map, type, server and evenings, and the
// suggestions of names that are probably one person's, on a history of
// players who renamed themselves.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "analysis_test_support.h"
#include "similar_names.h"
#include "velstra_cli.h"
#include "velstra_test_games.h"

namespace fs = std::filesystem;

namespace {

TEST(SimilarNames, TakeOffWhatAPlayerAddsForAWhile) {
    EXPECT_EQ(name_stem("Bob"), "bob");
    EXPECT_EQ(name_stem("BOB2"), "bob");
    EXPECT_EQ(name_stem("Bob_afk"), "bob");
    EXPECT_EQ(name_stem("Bob-BRB"), "bob");
    EXPECT_EQ(name_stem("Bob(1)"), "bob");
    EXPECT_EQ(name_stem("Bob [afk]"), "bob");
    EXPECT_EQ(name_stem("Bob_afk2"), "bob");
    // Not a suffix of its own, nor the name itself.
    EXPECT_EQ(name_stem("Bobafk"), "bobafk");
    EXPECT_EQ(name_stem("afk"), "afk");
    EXPECT_EQ(name_stem("Bob(x)"), "bob(x)");
    EXPECT_EQ(name_stem("R2D2"), "r2d");
    // The game's default names are many people's; a number is no one's.
    for (const char* nobody : {"Player", "Player2", "player_afk", "Player(3)", "42", "_"})
        EXPECT_EQ(name_stem(nobody), "") << nobody;
    EXPECT_EQ(name_stem("Players"), "players");
}

TEST(SimilarNames, ShellWordsQuoteOnlyWhatTheShellWouldRead) {
    EXPECT_EQ(shell_word("Bob_afk"), "Bob_afk");
    EXPECT_EQ(shell_word("Ann(1)"), "'Ann(1)'");
    EXPECT_EQ(shell_word("O'Neil $HOME"), "'O'\\''Neil $HOME'");
    EXPECT_EQ(shell_word(""), "''");
}

class Filters : public ScratchFolder {
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

    // The ids the list of games shows, in its order.
    std::string ids(std::vector<std::string> args) {
        args.insert(args.begin(), "games");
        const Result listed = velstra(args);
        EXPECT_EQ(listed.code, 0) << listed.err;
        std::istringstream lines(listed.out);
        std::string line, shown;
        while (std::getline(lines, line)) shown += (shown.empty() ? "" : " ") + line.substr(0, line.find(' '));
        return shown;
    }

    void add_game(const std::string& seed, const std::string& map, const std::vector<TestPlayer>& players, int day,
                  int hour, const std::string& server = "Test Server") {
        LoggedGame game = test_game(seed, map, players, StartTime{2011, 3, day, hour, 0, 0, true, 60});
        game.server_name = server;
        analysis.games[seed] = game;
        write_file("Logs/" + seed + ".log", "game:" + seed);
    }

    // Five games on four evenings; the second, at two in the morning, is
    // of the first evening.
    void SetUp() override {
        ScratchFolder::SetUp();
        fs::create_directory("Logs");
        add_game("G1", "DM-Deck16][.unr", {{"Ann"}, {"Bob"}}, 1, 21, "Alpha");
        add_game("G2", "DM-Codex.unr", {{"Ann_afk"}, {"Cyd"}, {"cyd"}}, 2, 2, "Beta");
        analysis.games["G2"].record.type = GameType::LastManStanding;
        analysis.games["G2"].record.type_name = "Last Man Standing";
        add_game("G3", "DM-Deck16][.unr", {{"ann2"}, {"Bob_brb"}, {"Player"}, {"Player2"}}, 2, 21, "alpha");
        add_game("G4", "DM-Morpheus.unr", {{"Ann(1)"}, {"Bob"}, {"Loque", Species::Bot}, {"Dan"}, {"-Eve"}}, 3, 21);
        add_game("G5", "DM-Morpheus.unr", {{"Player3"}, {"Dan [AFK]"}, {"-eve_afk"}, {"Loque2", Species::Bot}}, 4, 21);
        ASSERT_EQ(velstra({"import", "Logs"}).code, 0);
    }

    TestAnalysis analysis;
};

TEST_F(Filters, GamesOfAPlayerAMapATypeAServerAndEvenings) {
    EXPECT_EQ(ids({}), "1 2 3 4 5");
    EXPECT_EQ(ids({"--player", "Ann"}), "1");
    EXPECT_EQ(ids({"--player", "Bob"}), "1 4");
    EXPECT_EQ(ids({"--map", "DM-Deck16]["}), "1 3");
    EXPECT_EQ(ids({"--map", "dm-deck16][.UNR"}), "1 3");
    EXPECT_EQ(ids({"--map", "DM-Deck16"}), "");
    EXPECT_EQ(ids({"--type", "last man standing"}), "2");
    EXPECT_EQ(ids({"--server", "ALPHA"}), "1 3");
    // An evening runs until six in the morning: game 2 is the first's.
    EXPECT_EQ(ids({"--until", "2011-03-01"}), "1 2");
    EXPECT_EQ(ids({"--since", "2011-03-02"}), "3 4 5");
    EXPECT_EQ(ids({"--since", "2011-03-02", "--until", "2011-03-03"}), "3 4");
    EXPECT_EQ(ids({"--since", "2011-03-03", "--until", "2011-03-02"}), "");
    EXPECT_EQ(ids({"--map", "DM-Deck16][", "--since", "2011-03-02"}), "3");
    EXPECT_EQ(
        ids({"--player", "Bob", "--map", "DM-Morpheus", "--server", "test server", "--type", "Tournament DeathMatch"}),
        "4");

    // After a merge, a player's games under any of his names, by any of them.
    ASSERT_EQ(velstra({"alias", "Ann_afk", "ann2", "--as", "Ann"}).code, 0);
    EXPECT_EQ(ids({"--player", "ann2"}), "1 2 3");
    EXPECT_EQ(ids({"--player", "Ann", "--until", "2011-03-01"}), "1 2");

    const Result nobody = velstra({"games", "--player", "Nobody"});
    EXPECT_EQ(nobody.code, 1);
    EXPECT_EQ(nobody.err, "velstra: no player named \"Nobody\" in the history\n");
    for (const char* date : {"2011-13-01", "2011-3-1", "yesterday"}) {
        const Result bad = velstra({"games", "--since", date});
        EXPECT_EQ(bad.code, 1) << date;
        EXPECT_TRUE(bad.err.starts_with("velstra: --since takes a date, YYYY-MM-DD, not \"")) << bad.err;
    }
}

TEST_F(Filters, SimilarNamesAreShownAsTheMergesThatWouldJoinThem) {
    const std::string players = velstra({"players"}).out;
    const Result similar = velstra({"players", "--similar"});
    EXPECT_EQ(similar.code, 0) << similar.err;
    // Cyd and cyd played in one game: two people. Player, Player2 and
    // Player3 are anyone's. Loque is a bot.
    EXPECT_EQ(similar.out,
              "velstra alias Bob_brb --as Bob\n"
              "velstra alias --as -Eve -- -eve_afk\n"
              "velstra alias 'Ann(1)' Ann_afk ann2 --as Ann\n"
              "velstra alias 'Dan [AFK]' --as Dan\n");
    EXPECT_EQ(velstra({"players"}).out, players);  // nothing merged

    // The commands do what they say.
    ASSERT_EQ(velstra({"alias", "--as", "-Eve", "--", "-eve_afk"}).code, 0);
    ASSERT_EQ(velstra({"alias", "Ann(1)", "Ann_afk", "ann2", "--as", "Ann"}).code, 0);
    EXPECT_EQ(velstra({"players", "--similar", "--db", "velstra-history.db"}).out,
              "velstra alias --db velstra-history.db Bob_brb --as Bob\n"
              "velstra alias --db velstra-history.db 'Dan [AFK]' --as Dan\n");
}

}  // namespace
