// One log analysed alone for the history: the same game in any encoding
// gives one key, the record is the games page's, nothing of one log reaches
// the next, and what a history keeps beside the record (start, teams, kills).
#include "analyse_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "analysis_test_support.h"
#include "game_log.h"
#include "game_section.h"
#include "log_converter.h"
#include "session.h"

namespace fs = std::filesystem;

namespace {

// How the games page shows a game: its row and its section.
std::string page_view(const GameRecord& game) {
    StringOutput out;
    HtmlWriter writer(out);
    write_game_row(writer, game);
    write_game_section(writer, game);
    return out.text;
}

std::string with_header_extras(const std::string& absolute_time) {
    return log_line("0.00", {"info", "Absolute_Time", absolute_time}) +
           log_line("0.00", {"info", "Server_ServerName", "Frag Hut"});
}

// A finished team game: header, a line of extras after the header's
// first line, then the setup and play.
std::string team_game_log(const std::string& extras, const std::string& setup, const std::string& play) {
    std::string text = game_text({.type = TEAM_GAME, .setup = setup, .play = play, .end_reason = "teamscorelimit"});
    const std::size_t after_first_line = text.find('\n') + 1;
    return text.insert(after_first_line, extras);
}

// What logconvert makes of a log: its 8-bit copy.
std::string converted(const std::string& log) {
    MemoryFileSystem folder;
    NullOutput discard;
    folder.add("Unreal.ngLog.2011.03.27.21.47.25.7777.log", log);
    ConverterContext ctx(folder, discard, discard);
    EXPECT_EQ(list_logs(ctx), 0);
    EXPECT_EQ(load_log(ctx, 0), 1);
    EXPECT_EQ(convert_log(ctx, 0, 0), 1);
    return folder.bytes("games.txt");
}

TEST(AnalyseLog, OneGameInEveryEncodingGivesOneKeyAndOneRecord) {
    const std::string text =
        team_game_log(with_header_extras("2011.03.27.21.47.25.833.-4.0"),
                      connect_lines(0, "Ann", false, "0") + connect_lines(1, "Bob", true, "1"),
                      kill_line("10.00", 0, "Flak Cannon", 1) + kill_line("20.00", 1, "Sniper Rifle", 0));
    const std::string utf16 = to_utf16_log(text);
    const std::string utf16_without_mark = utf16.substr(2);
    const std::string copy = converted(utf16);
    ASSERT_NE(copy.find("\r\n"), std::string::npos);  // the copy keeps its CRs
    // A second game after the first in the same file is not the game's.
    const std::string two_games = utf16 + to_utf16_log(game_text({}));

    LogAnalyser analyser;
    LoggedGame first;
    ASSERT_EQ(analyser.analyse(utf16, first), LogVerdict::Game);
    EXPECT_EQ(first.key.view().size(), 64u);
    EXPECT_EQ(first.key.view().find_first_not_of("0123456789abcdef"), std::string_view::npos);
    for (const std::string& bytes : {utf16_without_mark, copy, text, two_games}) {
        LoggedGame same;
        ASSERT_EQ(analyser.analyse(bytes, same), LogVerdict::Game);
        EXPECT_EQ(same.key, first.key);
        EXPECT_EQ(page_view(same.record), page_view(first.record));
    }
    // One changed character is another game.
    std::string other = text;
    other.replace(other.find("Ann"), 3, "Anm");
    LoggedGame changed;
    ASSERT_EQ(analyser.analyse(other, changed), LogVerdict::Game);
    EXPECT_NE(changed.key, first.key);
}

// Every log of the golden sessions, analysed alone, is the game the
// analyser's games page shows for it as the first game of a session.
TEST(AnalyseLog, RecordIsTheGamesPagesForEveryGoldenLog) {
    const fs::path golden = fs::path(__FILE__).parent_path() / "golden";
    LogAnalyser analyser;
    int games = 0;
    for (const fs::directory_entry& session : fs::directory_iterator(golden)) {
        for (const fs::directory_entry& file : fs::directory_iterator(session.path())) {
            const std::string name = file.path().filename().string();
            if (name.rfind("games", 0) != 0 || name.find(".log.") == std::string::npos) continue;
            const std::string raw = read_file(file.path());
            const std::string bytes = name.ends_with(".txt") ? to_utf16_log(raw) : raw;
            SCOPED_TRACE(file.path().string());

            std::unique_ptr<TestRun> run = make_context();
            GameRecord expected;
            const bool loaded = load_text(*run, bytes) == 1;
            const bool counted = loaded && analyse_loaded_game(*run, &expected) == 1;

            LoggedGame logged;
            const LogVerdict verdict = analyser.analyse(bytes, logged);
            if (!loaded) {
                EXPECT_NE(verdict, LogVerdict::Game);
                EXPECT_NE(verdict, LogVerdict::NotReported);
                continue;
            }
            if (!counted) {
                EXPECT_EQ(verdict, LogVerdict::NotReported);
                continue;
            }
            ASSERT_EQ(verdict, LogVerdict::Game);
            ++games;
            // Without a header time the page dates the game by its file,
            // which only the importer knows.
            if (!logged.start.known()) {
                EXPECT_EQ(expected.start.year, 1970);
                expected.start = LocalTime{};
            }
            EXPECT_EQ(page_view(logged.record), page_view(expected));
            EXPECT_EQ(logged.record.number, 1);
            ASSERT_EQ(logged.player_teams.size(), logged.record.players.size());
        }
    }
    EXPECT_GE(games, 15);
}

TEST(AnalyseLog, NothingOfOneLogReachesTheNext) {
    const std::string setup = connect_lines(0, "Ann", false, "0") + connect_lines(1, "Bob", false, "1");
    const std::string full =
        team_game_log(with_header_extras("2011.03.27.21.47.25.833.-4.0") +
                          log_line("0.00", {"game", "GameMutator", "Class Botpack.LowGrav"}),
                      setup + connect_lines(2, "Cid", true, "1"), kill_line("10.00", 2, "Flak Cannon", 0));
    // A header the analysis cannot read: none of its values may be the last log's.
    std::string bare = game_text(
        {.setup = connect_lines(0, "Dee") + connect_lines(1, "Eve"), .play = kill_line("30.00", 1, "Flak Cannon", 0)});
    bare.replace(0, bare.find('\n'), "0.00\tinfo\tLog_Standard\tngLog");

    LogAnalyser fresh;
    LoggedGame alone;
    ASSERT_EQ(fresh.analyse(to_utf16_log(bare), alone), LogVerdict::Game);

    LogAnalyser reused;
    LoggedGame game;
    ASSERT_EQ(reused.analyse(to_utf16_log(full), game), LogVerdict::Game);
    EXPECT_EQ(game.server_name, std::string_view("Frag Hut"));
    ASSERT_EQ(game.mutators.size(), 1u);
    ASSERT_EQ(reused.analyse(to_utf16_log(bare), game), LogVerdict::Game);
    EXPECT_FALSE(game.start.known());
    EXPECT_FALSE(game.record.start.known());
    EXPECT_EQ(game.server_name, std::string_view(""));
    EXPECT_EQ(game.title, std::string_view("Test Map"));
    EXPECT_EQ(game.record.map, std::string_view(""));
    EXPECT_EQ(game.record.type, GameType::Unknown);
    EXPECT_TRUE(game.mutators.empty());
    EXPECT_EQ(game.key, alone.key);
    EXPECT_EQ(page_view(game.record), page_view(alone.record));
    ASSERT_EQ(game.kills.size(), 1u);
    EXPECT_EQ(game.player_teams.size(), 2u);
}

TEST(AnalyseLog, VerdictsOfLogsWithoutAGame) {
    LogAnalyser analyser;
    LoggedGame game;
    std::string unfinished = game_text({.setup = connect_lines(0, "Ann")});
    unfinished.erase(unfinished.find("599.00\tgame_end"));
    EXPECT_EQ(analyser.analyse(to_utf16_log(unfinished), game), LogVerdict::Unfinished);
    EXPECT_EQ(analyser.analyse("[URL]\nServerName=x\n", game), LogVerdict::NotAStatLog);
    EXPECT_EQ(analyser.analyse("", game), LogVerdict::NotAStatLog);
    EXPECT_EQ(analyser.analyse(to_utf16_log(game_text({.end_reason = "mapchange"})), game), LogVerdict::NotReported);

    std::string pickups;
    while (pickups.size() < LOG_BUFFER_SIZE) pickups += item_line("5.00", "Shield Belt", 0);
    const std::string too_long = game_text({.setup = connect_lines(0, "Ann"), .play = pickups});
    EXPECT_EQ(analyser.analyse(too_long, game), LogVerdict::TooLong);
    // The analyser still reads a game after one it could not.
    EXPECT_EQ(analyser.analyse(game_text({.setup = connect_lines(0, "Ann")}), game), LogVerdict::Game);
}

StartTime start_of(const std::string& absolute_time) {
    LogAnalyser analyser;
    LoggedGame game;
    const std::string text = team_game_log(log_line("0.00", {"info", "Absolute_Time", absolute_time}),
                                           connect_lines(0, "Ann", false, "0"), "");
    EXPECT_EQ(analyser.analyse(text, game), LogVerdict::Game);
    EXPECT_EQ(game.start.known(), game.record.start.known()) << absolute_time;
    return game.start;
}

TEST(AnalyseLog, StartTimeWithTheOffsetFromUtc) {
    const StartTime eastern = start_of("2011.03.27.21.47.25.833.-4.0");
    EXPECT_EQ((std::array{eastern.year, eastern.month, eastern.day, eastern.hour, eastern.minute, eastern.second}),
              (std::array{2011, 3, 27, 21, 47, 25}));
    EXPECT_TRUE(eastern.offset_known);
    EXPECT_EQ(eastern.utc_offset_minutes, -240);

    const std::vector<std::pair<std::string, int>> offsets = {
        {"2006.11.26.04.37.13.453.+11.0", 660}, {"2014.03.07.01.07.06.06.0.0", 0},
        {"2019.01.11.21.08.05.714.+5.5", 330},  {"2019.01.11.21.08.05.714.-3.5", -210},
        {"2019.01.11.21.08.05.7.+5.75", 345},   {"2019.01.11.21.08.05.714.9", 540},
    };
    for (const auto& [value, minutes] : offsets) {
        const StartTime start = start_of(value);
        EXPECT_TRUE(start.offset_known) << value;
        EXPECT_EQ(start.utc_offset_minutes, minutes) << value;
    }
    // The date and time without a readable offset, or without seconds.
    for (const char* value : {"2011.03.27.21.47.25.833", "2011.03.27.21.47.25.833.east", "2011.03.27.21.47.25"}) {
        const StartTime start = start_of(value);
        EXPECT_EQ(start.second, 25) << value;
        EXPECT_FALSE(start.offset_known) << value;
    }
    EXPECT_EQ(start_of("2011.03.27.21.47.").minute, 47);
    for (const char* value : {"", "2011.13.27.21.47.25.833.-4.0", "yesterday", "2011.03.27"})
        EXPECT_FALSE(start_of(value).known()) << value;
}

std::vector<std::pair<std::string, int>> spells(const LoggedGame& game, const std::string& name) {
    std::vector<std::pair<std::string, int>> out;
    for (std::size_t p = 0; p < game.record.players.size(); ++p)
        if (game.record.players[p].name == name)
            for (const TeamSpell& spell : game.player_teams[p]) out.emplace_back(spell.team.c_str(), spell.seconds);
    return out;
}

// Each player's name with his seconds in the game.
std::map<std::string, int> seconds_in_game(const LoggedGame& game) {
    std::map<std::string, int> out;
    EXPECT_EQ(game.seconds_in_game.size(), game.record.players.size());
    for (std::size_t p = 0; p < game.record.players.size() && p < game.seconds_in_game.size(); ++p)
        out[game.record.players[p].name.c_str()] = game.seconds_in_game[p];
    return out;
}

// A long game: from the header to 5000.00, 5001 s.
TEST(AnalyseLog, TimesInTheGameAndOnTeamsFollowConnectsChangesDisconnectsAndReturns) {
    const std::string setup =
        connect_lines(0, "Ann", false, "0") + connect_lines(1, "Bob", false, "1") + connect_lines(2, "Cid", true, "1");
    const std::string play =
        log_line("1000.00", {"player", "Teamchange", "0", "1"}) +
        log_line("1500.00", {"player", "Teamchange", "0", "1"}) + log_line("2000.00", {"player", "Disconnect", "1"}) +
        log_line("3000.00", {"player", "Disconnect", "2"}) + connect_lines(3, "Cid", true, "0", "1.000000", "3500.00") +
        connect_lines(4, "Dee", false, "1", "1.000000", "4000.00") +
        log_line("4500.00", {"player", "Teamchange", "0", "0"});
    std::string text = team_game_log("", setup, play);
    text.replace(text.find("599.00\tgame_end"), 6, "5000.00");
    LogAnalyser analyser;
    LoggedGame game;
    ASSERT_EQ(analyser.analyse(to_utf16_log(text), game), LogVerdict::Game);
    ASSERT_EQ(game.record.length, 5001);
    using Spells = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(spells(game, "Ann"), (Spells{{"0", 1001 + 500}, {"1", 500 + 3000}}));
    EXPECT_EQ(spells(game, "Bob"), (Spells{{"1", 2001}}));
    // Back under the same name with a new id: one player, on both teams.
    EXPECT_EQ(spells(game, "Cid"), (Spells{{"1", 3001}, {"0", 1500}}));
    EXPECT_EQ(spells(game, "Dee"), (Spells{{"1", 1000}}));
    // There all along, leaving early, leaving and coming back, joining late.
    EXPECT_EQ(seconds_in_game(game),
              (std::map<std::string, int>{{"Ann", 5001}, {"Bob", 2001}, {"Cid", 3001 + 1500}, {"Dee", 1000}}));

    // A game without teams has no spells, but its players' time in the game.
    // Eve's second id comes while her first is still there: her time is the
    // game's length, not more.
    const std::string ffa_setup = connect_lines(0, "Ann") + connect_lines(2, "Cid") + connect_lines(4, "Eve");
    const std::string ffa_play =
        connect_lines(1, "Bob", false, "", "1.000000", "100.00") +
        connect_lines(5, "Eve", false, "", "1.000000", "100.00") + log_line("200.00", {"player", "Disconnect", "2"}) +
        log_line("300.00", {"player", "Disconnect", "1"}) + log_line("300.00", {"player", "Disconnect", "5"}) +
        connect_lines(3, "Cid", false, "", "1.000000", "400.00");
    ASSERT_EQ(analyser.analyse(game_text({.setup = ffa_setup, .play = ffa_play}), game), LogVerdict::Game);
    ASSERT_EQ(game.record.length, 600);
    ASSERT_EQ(game.player_teams.size(), 4u);
    for (const std::vector<TeamSpell>& none : game.player_teams) EXPECT_TRUE(none.empty());
    EXPECT_EQ(seconds_in_game(game),
              (std::map<std::string, int>{{"Ann", 600}, {"Bob", 200}, {"Cid", 201 + 199}, {"Eve", 600}}));
}

TEST(AnalyseLog, KillsKeepTheWeaponAsLoggedInLogOrder) {
    const std::string setup =
        connect_lines(0, "Ann", false, "0") + connect_lines(1, "Bob", false, "0") + connect_lines(2, "Cid", false, "1");
    const std::string play = kill_line("10.00", 0, "Plasma Whip (Mod)", 2) +
                             log_line("12.00", {"suicide", "2", "Rocket Launcher", "RocketDeath", "Self"}) +
                             kill_line("14.00", 0, "Flak Cannon", 1, "teamkill") +
                             kill_line("16.00", 2, "Enforcer", 7) + log_line("18.00", {"suicide", "1", "Enforcer"});
    LogAnalyser analyser;
    LoggedGame game;
    ASSERT_EQ(analyser.analyse(team_game_log("", setup, play), game), LogVerdict::Game);

    auto entry = [&](const char* name) {
        for (std::size_t p = 0; p < game.record.players.size(); ++p)
            if (game.record.players[p].name == name) return static_cast<int>(p);
        return -2;
    };
    struct Seen {
        int time, killer, victim;
        std::string weapon;
        bool teamkill;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> seen;
    for (const LoggedKill& k : game.kills) seen.push_back({k.time, k.killer, k.victim, k.weapon.c_str(), k.teamkill});
    const int ann = entry("Ann"), bob = entry("Bob"), cid = entry("Cid");
    // The kill of an id that never connected (16.00) is not the record's,
    // so it is not the history's either.
    const std::vector<Seen> expected = {
        {10, ann, cid, "Plasma Whip (Mod)", false},
        {12, cid, cid, "RocketDeath", false},
        {14, ann, bob, "Flak Cannon", true},
        {18, bob, bob, "Enforcer", false},  // no damage logged: the weapon held
    };
    EXPECT_EQ(seen.size(), expected.size());
    for (std::size_t k = 0; k < std::min(seen.size(), expected.size()); ++k) {
        EXPECT_EQ(seen[k], expected[k]) << k << ": " << seen[k].time << " " << seen[k].killer << " " << seen[k].victim
                                        << " " << seen[k].weapon << " " << seen[k].teamkill;
    }

    // Servers that log every kill of a DeathMatch as a team kill: no team kills there.
    ASSERT_EQ(analyser.analyse(game_text({.setup = setup, .play = play}), game), LogVerdict::Game);
    ASSERT_EQ(game.kills.size(), expected.size());
    EXPECT_EQ(game.kills[2].weapon, std::string_view("Flak Cannon"));
    EXPECT_FALSE(game.kills[2].teamkill);
}

}  // namespace
