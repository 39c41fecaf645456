// The log generator (tools/loggen), run as a program, and the sample session
// that it made: the properties that the benchmarks, the end-to-end tests and
// a new user rely on.
#include <cmath>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "analysis_test_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kLoggen = LOGGEN_EXE;
const fs::path kSample = EXAMPLES_DIR;

const std::vector<std::pair<std::string, std::string>> kTypes = {
    {"as", "Assault"},           {"dm", "Tournament DeathMatch"}, {"dom", "Domination"},
    {"ctf", "Capture the Flag"}, {"lms", "Last Man Standing"},    {"ttg", "Tournament Team Game"}};

// Numbers of the log; a field that is no number fails the test by its exception.
int as_int(const std::string& text) { return std::stoi(text); }
double as_double(const std::string& text) { return std::stod(text); }

// The text as the analyser reads it: zero bytes and carriage returns dropped.
std::string plain(const std::string& bytes) {
    std::string out;
    for (char c : bytes)
        if (c != '\0' && c != '\r') out += c;
    return out;
}

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, sep)) parts.push_back(part);
    return parts;
}

// The lines of a log without its byte-order mark, each cut into its
// tab-separated fields.
std::vector<std::vector<std::string>> fields_of(const std::string& bytes) {
    std::string text = plain(bytes);
    if (text.rfind("\xFF\xFE", 0) == 0) text.erase(0, 2);
    std::vector<std::vector<std::string>> lines;
    for (const std::string& line : split(text, '\n')) lines.push_back(split(line, '\t'));
    return lines;
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The value of a header line such as "game\tFragLimit\t20".
std::string header_value(const std::string& text, const std::string& key) {
    std::size_t at = text.find(key + "\t");
    if (at == std::string::npos) return "";
    at += key.size() + 1;
    return text.substr(at, text.find('\n', at) - at);
}

// The logs of a session folder: games.log, games1.log, ... up to the first gap.
std::vector<fs::path> session_logs(const fs::path& folder) {
    std::vector<fs::path> logs;
    for (int n = 0;; ++n) {
        fs::path p = folder / (n == 0 ? std::string("games.log") : "games" + std::to_string(n) + ".log");
        if (!fs::exists(p)) break;
        logs.push_back(p);
    }
    return logs;
}

class LogGen : public ScratchFolder {
protected:
    // Runs the generator in the scratch folder; returns the bytes of the file.
    std::string generate(std::vector<std::string> args, const std::string& file = "games.log") {
        args.push_back("-o");
        args.push_back(file);
        RunResult r = run_program(kLoggen, args, dir());
        EXPECT_EQ(r.exit_code, 0) << "loggen failed for " << file;
        return read_file(dir() / file);
    }
    int run(const std::vector<std::string>& args) { return run_program(kLoggen, args, dir()).exit_code; }
};

TEST_F(LogGen, SameSeedAndOptionsGiveTheSameBytes) {
    for (const auto& [key, name] : kTypes) {
        std::string first = generate({"--seed", "4711", "--type", key}, "a.log");
        std::string second = generate({"--seed", "4711", "--type", key}, "b.log");
        ASSERT_GT(first.size(), 2000u) << key;
        EXPECT_EQ(first, second) << key;
        EXPECT_NE(first, generate({"--seed", "4712", "--type", key}, "c.log")) << key;
    }
}

TEST_F(LogGen, SameSeedGivesTheSameSession) {
    ASSERT_EQ(run({"--session", "one", "--games", "8", "--seed", "99"}), 0);
    ASSERT_EQ(run({"--session", "two", "--games", "8", "--seed", "99"}), 0);
    std::vector<fs::path> logs = session_logs(dir() / "one");
    ASSERT_EQ(logs.size(), 8u);
    for (const fs::path& log : logs)
        EXPECT_EQ(read_file(log), read_file(dir() / "two" / log.filename())) << log.filename();
    EXPECT_EQ(read_file(dir() / "one" / "User.ini"), read_file(dir() / "two" / "User.ini"));
}

TEST_F(LogGen, SixteenBitOutputHasTheByteOrderMarkAndZeroHighBytes) {
    std::string bytes = generate({"--seed", "3", "--type", "ctf"});
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xFE);
    ASSERT_EQ(bytes.size() % 2, 0u);
    for (std::size_t i = 2; i < bytes.size(); i += 2) {
        ASSERT_EQ(bytes[i + 1], '\0') << "high byte at " << i + 1;
        ASSERT_GT(static_cast<unsigned char>(bytes[i]), 0) << "character at " << i;
        ASSERT_LT(static_cast<unsigned char>(bytes[i]), 0x80) << "character at " << i;
        if (bytes[i] == '\n') {
            ASSERT_EQ(bytes[i - 2], '\r') << "line end at " << i;
        }
    }
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\r\0\n\0", 4));

    std::string no_bom = generate({"--seed", "3", "--type", "ctf", "--no-bom"}, "plain.log");
    EXPECT_EQ(no_bom, bytes.substr(2));
}

TEST_F(LogGen, EightBitOutputHasOneBytePerCharacter) {
    std::string wide = generate({"--seed", "12", "--type", "dom"});
    std::string crlf = generate({"--seed", "12", "--type", "dom", "--encoding", "8"}, "crlf.log");
    std::string lf = generate({"--seed", "12", "--type", "dom", "--encoding", "8", "--lf"}, "lf.log");
    EXPECT_EQ(crlf.find('\0'), std::string::npos);
    EXPECT_EQ(crlf.substr(0, 4), "0.00");
    EXPECT_EQ(count(crlf, "\n"), count(crlf, "\r\n"));
    EXPECT_EQ(lf.find('\r'), std::string::npos);
    // The same game in every encoding.
    EXPECT_EQ(plain(crlf), plain(wide).substr(2));
    EXPECT_EQ(lf, plain(crlf));
}

TEST_F(LogGen, RequestedSizeIsRoughlyMet) {
    for (const auto& [key, name] : kTypes) {
        for (long size : {100000L, key == "dm" || key == "ctf" ? 450000L : 250000L}) {
            std::string bytes = generate({"--seed", "21", "--type", key, "--size", std::to_string(size)});
            double ratio = double(bytes.size()) / double(size);
            EXPECT_GT(ratio, 0.8) << key << " " << size << ": " << bytes.size();
            EXPECT_LT(ratio, 1.2) << key << " " << size << ": " << bytes.size();
        }
    }
    std::string eight = generate({"--seed", "5", "--type", "dm", "--size", "200k", "--encoding", "8"});
    EXPECT_NEAR(double(eight.size()), 204800.0, 204800.0 * 0.2);
    // A bigger game has more of the events, not longer lines.
    std::string small = plain(generate({"--seed", "5", "--type", "dm", "--size", "60000"}));
    std::string big = plain(generate({"--seed", "5", "--type", "dm", "--size", "300000"}));
    EXPECT_GT(count(big, "\tkill\t"), 3 * count(small, "\tkill\t"));
    EXPECT_GT(count(big, "\titem_get\t"), 3 * count(small, "\titem_get\t"));
}

TEST_F(LogGen, EachGameTypeWritesItsGameName) {
    for (const auto& [key, name] : kTypes) {
        std::string text = plain(generate({"--seed", "8", "--type", key}));
        EXPECT_EQ(header_value(text, "game\tGameName"), name) << key;
        EXPECT_EQ(count(text, "\tgame\tGameName\t"), 1u) << key;
        // The keys the analyser reads from the header, in its order.
        std::size_t at = 0;
        for (const char* header_key : {"\tinfo\tGame_Version\t", "\tmap\tName\t", "\tmap\tTitle\t",
                                       "\tgame\tGameName\t", "\tgame\tFragLimit\t"}) {
            std::size_t found = text.find(header_key, at);
            ASSERT_NE(found, std::string::npos) << key << ": " << header_key;
            at = found;
        }
    }
    // The full names of the game are accepted as well.
    std::string text = plain(generate({"--seed", "8", "--type", "Capture the Flag"}));
    EXPECT_EQ(header_value(text, "game\tGameName"), "Capture the Flag");
}

TEST_F(LogGen, EveryGameHasOneStartAndOneEndLine) {
    ASSERT_EQ(run({"--session", "s", "--games", "14", "--seed", "5"}), 0);
    std::vector<fs::path> logs = session_logs(dir() / "s");
    ASSERT_EQ(logs.size(), 14u);
    for (const fs::path& log : logs) {
        std::string bytes = read_file(log);
        std::string text = plain(bytes);
        EXPECT_EQ(count(text, "\tgame_start\n"), 1u) << log.filename();
        ASSERT_EQ(count(text, "game_end"), 1u) << log.filename();
        std::size_t end = text.find("\tgame_end\t");
        ASSERT_NE(end, std::string::npos) << log.filename();
        EXPECT_LT(text.find("\tgame_start\n"), end) << log.filename();
        // The end line has its line end, in the file as written.
        std::size_t end_in_file = bytes.find(std::string("g\0a\0m\0e\0_\0e\0n\0d\0", 16));
        ASSERT_NE(end_in_file, std::string::npos);
        std::size_t line_end = bytes.find(std::string("\r\0\n\0", 4), end_in_file);
        ASSERT_NE(line_end, std::string::npos) << log.filename();
        EXPECT_EQ(bytes.find(std::string("\n\0", 2), end_in_file), line_end + 2) << log.filename();
    }
}

TEST_F(LogGen, TimeStampsHaveTwoDecimalsAndNeverGoBack) {
    for (const auto& [key, name] : kTypes) {
        double last = 0;
        for (const auto& line : fields_of(generate({"--seed", "17", "--type", key}))) {
            ASSERT_FALSE(line.empty()) << key;
            const std::string& stamp = line[0];
            ASSERT_GE(stamp.size(), 4u) << key;
            EXPECT_EQ(stamp[stamp.size() - 3], '.') << key << ": " << stamp;
            double t = as_double(stamp);
            EXPECT_GE(t, last) << key << ": " << stamp;
            last = t;
        }
    }
}

// The analyser knows ids 0 to 15 only, and reads a player's team line before
// his connect line in team games.
TEST_F(LogGen, PlayersConnectWithIdsBelowSixteenBeforeTheyAct) {
    ASSERT_EQ(run({"--session", "s", "--games", "12", "--seed", "77"}), 0);
    for (const fs::path& log : session_logs(dir() / "s")) {
        std::string text = plain(read_file(log));
        bool team_game = header_value(text, "game\tTeamGame") == "True";
        std::set<int> connected, with_team;
        int events = 0;
        for (const auto& f : fields_of(read_file(log))) {
            if (f.size() >= 5 && f[1] == "player" && f[2] == "Teamchange") with_team.insert(as_int(f[3]));
            if (f.size() >= 5 && f[1] == "player" && f[2] == "Connect") {
                int id = as_int(f[4]);
                EXPECT_GE(id, 0) << log.filename();
                EXPECT_LT(id, 16) << log.filename();
                EXPECT_FALSE(connected.count(id)) << log.filename() << ": id " << id << " connects twice";
                if (team_game) {
                    EXPECT_TRUE(with_team.count(id)) << log.filename() << ": no team line for " << id;
                }
                connected.insert(id);
            }
            if (f.size() >= 5 && (f[1] == "kill" || f[1] == "teamkill")) {
                ++events;
                EXPECT_TRUE(connected.count(as_int(f[2]))) << log.filename() << ": killer " << f[2];
                EXPECT_TRUE(connected.count(as_int(f[4]))) << log.filename() << ": victim " << f[4];
            }
            if (f.size() >= 4 && f[1] == "item_get") {
                ++events;
                EXPECT_TRUE(connected.count(as_int(f[3]))) << log.filename() << ": picker " << f[3];
            }
        }
        EXPECT_GT(events, 50) << log.filename();
    }
}

TEST_F(LogGen, EndReasonsFollowTheGameType) {
    const std::map<std::string, std::string> limit_reason = {{"dm", "fraglimit"},          {"ttg", "teamscorelimit"},
                                                             {"ctf", "teamscorelimit"},    {"dom", "teamscorelimit"},
                                                             {"as", "Assault succeeded!"}, {"lms", "lastmanstanding"}};
    for (const auto& [key, name] : kTypes) {
        std::string limit = plain(generate({"--seed", "2", "--type", key, "--end", "limit"}));
        EXPECT_EQ(header_value(limit, "game_end"), limit_reason.at(key)) << key;
        std::string change = plain(generate({"--seed", "2", "--type", key, "--end", "mapchange"}));
        EXPECT_EQ(header_value(change, "game_end"), "mapchange") << key;

        // A game ended by its time limit lasts the minutes of its header.
        std::string timed = plain(generate({"--seed", "2", "--type", key, "--end", "timelimit"}));
        EXPECT_EQ(header_value(timed, "game_end"), "timelimit") << key;
        double start = 0, end = 0;
        for (const auto& line : fields_of(timed)) {
            if (line.size() >= 2 && line[1] == "game_start") start = as_double(line[0]);
            if (line.size() >= 2 && line[1] == "game_end") end = as_double(line[0]);
        }
        int minutes = as_int(header_value(timed, "game\tTimeLimit"));
        EXPECT_GT(minutes, 0) << key;
        EXPECT_NEAR(end - start, minutes * 60.0, 0.02) << key;
    }
}

// In DeathMatch the frag limit of the header is what the winner scored:
// his kills less his suicides.
TEST_F(LogGen, FragLimitIsTheWinnersScore) {
    for (const char* seed : {"1", "2", "3", "4"}) {
        for (const char* size : {"0", "150000"}) {
            std::string text = plain(generate({"--seed", seed, "--type", "dm", "--end", "limit", "--size", size}));
            std::map<int, int> score;
            for (const auto& f : fields_of(text)) {
                if (f.size() >= 5 && f[1] == "kill") ++score[as_int(f[2])];
                if (f.size() >= 3 && f[1] == "suicide") --score[as_int(f[2])];
            }
            int best = -1000;
            for (const auto& [id, s] : score) best = std::max(best, s);
            EXPECT_EQ(std::to_string(best), header_value(text, "game\tFragLimit")) << seed << " " << size;
        }
    }
}

TEST_F(LogGen, HelpNamesTheOptionsAndBadOptionsFail) {
    RunResult help = run_program(kLoggen, {"--help"}, dir());
    EXPECT_EQ(help.exit_code, 0);
    for (const char* option : {"--type", "--seed", "--players", "--bots", "--size", "--encoding", "--lf", "--output",
                               "--session", "--games", "--end"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    EXPECT_EQ(run({"--no-such-option"}), 2);
    EXPECT_EQ(run({"--type", "football"}), 2);
    EXPECT_EQ(run({"--players", "9", "--bots", "9"}), 2);
    EXPECT_EQ(run({"--size", "lots"}), 2);
    EXPECT_FALSE(fs::exists(dir() / "games.log"));
}

TEST_F(LogGen, VariedNamesChangeOnlyTheHumansNamesAndDifferBySeed) {
    const std::string same = plain(generate({"--seed", "8", "--type", "ctf", "--players", "4"}));
    const std::string varied = plain(generate({"--seed", "8", "--type", "ctf", "--players", "4", "--varied-names"}));
    const std::regex numbered("(Grizzwald|Mintjulep|Quasar77|Brickwell|Dabbler|Snarfle|Rattigan|Tumblewit)[0-9]{3}");
    EXPECT_NE(varied, same);
    EXPECT_EQ(std::regex_replace(varied, numbered, "$1"), same);
    const std::string other = plain(generate({"--seed", "9", "--type", "ctf", "--players", "4", "--varied-names"}));
    std::set<std::string> names_8, names_9;
    for (auto [text, names] : {std::pair{&varied, &names_8}, std::pair{&other, &names_9}})
        for (std::sregex_iterator it(text->begin(), text->end(), numbered), end; it != end; ++it)
            names->insert(it->str());
    EXPECT_FALSE(names_9.empty());
    for (const std::string& name : names_9) EXPECT_EQ(names_8.count(name), 0u) << name;
}

TEST_F(LogGen, PlayersAndBotsAsAsked) {
    std::string text = plain(generate({"--seed", "6", "--type", "lms", "--players", "2", "--bots", "5"}));
    int humans = 0, bots = 0;
    for (const auto& f : fields_of(text))
        if (f.size() >= 5 && f[0] == "0.00" && f[1] == "player" && f[2] == "IsABot") ++(f[4] == "True" ? bots : humans);
    EXPECT_EQ(humans, 2);
    EXPECT_EQ(bots, 5);
}

TEST_F(LogGen, SessionMixesAllGameTypesWithOneMapchange) {
    ASSERT_EQ(run({"--session", "s", "--games", "7", "--seed", "31"}), 0);
    std::set<std::string> types;
    int mapchanges = 0;
    for (const fs::path& log : session_logs(dir() / "s")) {
        std::string text = plain(read_file(log));
        types.insert(header_value(text, "game\tGameName"));
        mapchanges += header_value(text, "game_end") == "mapchange";
    }
    EXPECT_EQ(types.size(), 6u);
    EXPECT_EQ(mapchanges, 1);
    std::string ini = read_file(dir() / "s" / "User.ini");
    EXPECT_NE(ini.find("[Botpack.ChallengeBotInfo]\r\n"), std::string::npos);
    EXPECT_NE(ini.find("[DefaultPlayer]\r\n"), std::string::npos);
}

// Evenings of a few games each: every Nth game starts the next day at the
// first game's hour, the games between follow each other.
TEST_F(LogGen, EveningGamesStartANewDay) {
    ASSERT_EQ(
        run({"--session", "s", "--games", "5", "--seed", "8", "--evening-games", "2", "--date", "2011-03-27 20:00"}),
        0);
    std::vector<std::string> starts;
    for (const fs::path& log : session_logs(dir() / "s"))
        starts.push_back(header_value(plain(read_file(log)), "info\tAbsolute_Time").substr(0, 16));
    ASSERT_EQ(starts.size(), 5u);
    EXPECT_EQ(starts[0], "2011.03.27.20.00");
    EXPECT_EQ(starts[2], "2011.03.28.20.00");
    EXPECT_EQ(starts[4], "2011.03.29.20.00");
    EXPECT_TRUE(starts[1].starts_with("2011.03.27.")) << starts[1];
    EXPECT_GT(starts[1], starts[0]);
    EXPECT_TRUE(starts[3].starts_with("2011.03.28.")) << starts[3];
}

TEST_F(LogGen, AnalyserReadsAGeneratedSession) {
    ASSERT_EQ(run({"--session", ".", "--games", "9", "--seed", "2024"}), 0);
    RunResult r = run_analyser_program({}, dir());
    EXPECT_EQ(r.exit_code, 0);
    std::string log = error_log();
    for (int n = 0; n < 9; ++n)
        EXPECT_NE(log.find("*** loading game: " + std::to_string(n) + "\r\n"), std::string::npos);
    EXPECT_NE(log.find("\tgames9.log file not found"), std::string::npos);
    EXPECT_EQ(count(log, "\tGame not analysed (mapchange)\r\n"), 1u);
    // Everything in the logs is known to the analyser.
    for (const char* problem :
         {"can't identify logfile", "not enought memory", "no gamestart", "unsupported", "unknown gametype",
          "MAXPLAYER", "can not identify team membership", "two player with same name", "maximum of"})
        EXPECT_EQ(log.find(problem), std::string::npos) << problem;
}

// ---------------------------------------------------------------- the sample session

TEST(SampleSession, HoldsAllSixGameTypesAndAMapchange) {
    std::vector<fs::path> logs = session_logs(kSample);
    ASSERT_GE(logs.size(), 6u);
    std::set<std::string> types;
    int mapchanges = 0;
    for (const fs::path& log : logs) {
        std::string text = plain(read_file(log));
        types.insert(header_value(text, "game\tGameName"));
        mapchanges += header_value(text, "game_end") == "mapchange";
        EXPECT_EQ(count(text, "\tgame_end\t"), 1u) << log.filename();
    }
    std::set<std::string> all;
    for (const auto& [key, name] : kTypes) all.insert(name);
    EXPECT_EQ(types, all);
    EXPECT_EQ(mapchanges, 1);
}

TEST(SampleSession, LogsAreSixteenBitWithByteOrderMarkAndCrLf) {
    for (const fs::path& log : session_logs(kSample)) {
        std::string bytes = read_file(log);
        ASSERT_GT(bytes.size(), 2000u) << log.filename();
        EXPECT_LT(bytes.size(), 60000u) << log.filename();
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << log.filename();
        EXPECT_EQ(bytes.substr(2, 8), std::string("0\0.\0000\0000\0", 8)) << log.filename();
        EXPECT_EQ(count(bytes, std::string("\n\0", 2)), count(bytes, std::string("\r\0\n\0", 4))) << log.filename();
    }
}

TEST(SampleSession, ShowsTheEventsTheReportsAreAbout) {
    std::string all;
    for (const fs::path& log : session_logs(kSample)) all += plain(read_file(log));
    for (const char* event :
         {"\tkill\t", "\tteamkill\t", "\theadshot\t", "\tsuicide\t", "\titem_get\tDamage Amplifier\t", "\tflag_taken\t",
          "\tflag_captured\t", "\tflag_returned\t", "\tcontrolpoint_capture\t", "\tdom_score_update\t",
          "\tdom_playerscore_update\t", "\tassault_attacker\t", "\tplayer\tPing\t", "\tplayer\tIsABot\t",
          "\tplayer\tSkill\t", "\tplayer\tTeamchange\t", "\tplayer\tDisconnect\t", "\tplayer\tRename\t", "\ttyping\t"})
        EXPECT_NE(all.find(event), std::string::npos) << event;
    // Somebody connects after the game has started.
    bool late_connect = false;
    for (const fs::path& log : session_logs(kSample))
        for (const auto& f : fields_of(read_file(log)))
            late_connect = late_connect || (f.size() >= 3 && f[1] == "player" && f[2] == "Connect" && f[0] != "0.00");
    EXPECT_TRUE(late_connect);
}

TEST(SampleSession, UserIniNamesTheBotsAndTheLocalPlayer) {
    std::string ini = read_file(kSample / "User.ini");
    ASSERT_FALSE(ini.empty());
    EXPECT_EQ(ini.find('\0'), std::string::npos);
    EXPECT_EQ(count(ini, "\n"), count(ini, "\r\n"));
    ASSERT_NE(ini.find("[Botpack.ChallengeBotInfo]\r\n"), std::string::npos);
    ASSERT_NE(ini.find("[DefaultPlayer]\r\n"), std::string::npos);
    std::size_t name_at = ini.find("\r\nName=", ini.find("[DefaultPlayer]"));
    ASSERT_NE(name_at, std::string::npos);
    std::string local = ini.substr(name_at + 7, ini.find('\r', name_at + 7) - name_at - 7);
    ASSERT_FALSE(local.empty());
    EXPECT_NE(ini.find("\r\nFace=", ini.find("[DefaultPlayer]")), std::string::npos);

    std::set<std::string> bot_names;
    for (const std::string& line : split(plain(ini), '\n')) {
        if (line.rfind("BotNames[", 0) != 0) continue;
        std::string index = line.substr(9, line.find(']') - 9);
        bot_names.insert(line.substr(line.find('=') + 1));
        std::size_t face_at = ini.find("BotFaces[" + index + "]=");
        ASSERT_NE(face_at, std::string::npos) << line;
        std::string face = ini.substr(face_at, ini.find('\r', face_at) - face_at);
        EXPECT_NE(face.find('.'), std::string::npos) << face;  // Package.Face
    }
    for (const fs::path& log : session_logs(kSample)) {
        bool local_plays = false;
        auto lines = fields_of(read_file(log));
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const auto& f = lines[i];
            if (f.size() < 5 || f[1] != "player" || f[2] != "Connect") continue;
            local_plays = local_plays || f[3] == local;
            // Every bot is one of User.ini's bots.
            for (std::size_t k = i + 1; k < lines.size() && k < i + 8; ++k) {
                const auto& g = lines[k];
                if (g.size() >= 5 && g[2] == "IsABot" && g[3] == f[4] && g[4] == "True") {
                    EXPECT_TRUE(bot_names.count(f[3])) << log.filename() << ": bot " << f[3];
                }
            }
        }
        EXPECT_TRUE(local_plays) << log.filename() << ": " << local;
    }
}

// The sample is what tools/make-sample-session.sh makes with the generator.
class SampleSessionScript : public ScratchFolder {};

TEST_F(SampleSessionScript, RemakesTheSampleByteForByte) {
    fs::path script = kSample.parent_path().parent_path() / "tools" / "make-sample-session.sh";
    ASSERT_TRUE(fs::exists(script));
    RunResult r = run_program("env", {"LOGGEN=" + kLoggen, "sh", script.string(), (dir() / "again").string()}, dir());
    ASSERT_EQ(r.exit_code, 0);
    std::vector<fs::path> logs = session_logs(kSample);
    EXPECT_EQ(session_logs(dir() / "again").size(), logs.size());
    for (const fs::path& log : logs)
        EXPECT_EQ(read_file(log), read_file(dir() / "again" / log.filename())) << log.filename();
    EXPECT_EQ(read_file(kSample / "User.ini"), read_file(dir() / "again" / "User.ini"));
}

TEST_F(SampleSessionScript, AnalyserReadsEveryGame) {
    std::vector<fs::path> logs = session_logs(kSample);
    for (const fs::path& log : logs) fs::copy_file(log, dir() / log.filename());
    fs::copy_file(kSample / "User.ini", dir() / "User.ini");
    RunResult r = run_analyser_program({}, dir());
    EXPECT_EQ(r.exit_code, 0);
    std::string log = error_log();
    for (std::size_t n = 0; n < logs.size(); ++n)
        EXPECT_NE(log.find("*** loading game: " + std::to_string(n) + "\r\n"), std::string::npos) << n;
    EXPECT_EQ(count(log, "\tGame not analysed (mapchange)\r\n"), 1u);
    EXPECT_EQ(log.find("unsupported"), std::string::npos);
    EXPECT_EQ(log.find("sektion not found"), std::string::npos);
}

}  // namespace
