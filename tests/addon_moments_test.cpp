// The moments we derive from the stock lines against a stats add-on's own
// lines (first_blood, and spree lines with their codes), which players see on
// other sites: on logs the generator writes as a server with the add-on
// would, in every game type. Setting VELSTRA_ADDON_LOGS to a folder checks
// its logs too (copies of real servers' logs, never kept in the project).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "analysis_test_support.h"
#include "session.h"

namespace fs = std::filesystem;

namespace {

const std::string kLoggen = LOGGEN_EXE;

// The figures the add-on logs.
struct AddonFigures {
    int first_blood = 0;
    std::array<int, SPREE_LEVELS> sprees{};
    std::array<int, MULTI_LEVELS> multis{};
    bool operator==(const AddonFigures&) const = default;
};

std::ostream& operator<<(std::ostream& out, const AddonFigures& f) {
    out << "first blood " << f.first_blood << ", sprees";
    for (int n : f.sprees) out << " " << n;
    out << ", multi-kills";
    for (int n : f.multis) out << " " << n;
    return out;
}

std::vector<std::string> fields_of(std::string_view line) {
    std::vector<std::string> fields;
    for (std::size_t at = 0;;) {
        const std::size_t tab = line.find('\t', at);
        fields.emplace_back(line.substr(at, tab - at));
        if (tab == std::string_view::npos) return fields;
        at = tab + 1;
    }
}

const std::map<std::string, std::pair<bool, int>> kCodes = {
    {"spree_kill", {true, 0}},  {"spree_rampage", {true, 1}}, {"spree_dom", {true, 2}},
    {"spree_uns", {true, 3}},   {"spree_god", {true, 4}},     {"spree_dbl", {false, 0}},
    {"spree_mult", {false, 1}}, {"spree_ult", {false, 2}},    {"spree_mon", {false, 3}},
};

struct Checked {
    int lines = 0;  // add-on lines compared
    std::map<std::string, int> codes;
};

// Analyses a log and compares, for every player shown, the add-on's lines
// of his ids with the moments of his record. Returns what was compared.
Checked compare(const std::string& bytes, const std::string& what) {
    SCOPED_TRACE(what);
    Checked checked;
    std::unique_ptr<TestRun> run = make_context();
    run->images_enabled = 0;
    if (load_text(*run, bytes) != 1 || analyse_loaded_game(*run) != 1) return checked;

    std::string text;
    for (char c : bytes)
        if (c != '\0' && c != '\r') text += c;
    std::map<const PlayerRecord*, AddonFigures> addon;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::vector<std::string> f = fields_of(std::string_view(text).substr(at, end - at));
        at = end + 1;
        if (f.size() >= 3 && f[1] == "first_blood") {
            const PlayerRecord* p = run->player_for_id(std::atoi(f[2].c_str()));
            EXPECT_NE(p, nullptr) << f[2];
            ++addon[p].first_blood;
            ++checked.lines;
        } else if (f.size() >= 4 && f[1] == "spree") {
            const auto code = kCodes.find(f[2]);
            if (code == kCodes.end()) {
                ADD_FAILURE() << "unknown code " << f[2];
                continue;
            }
            const PlayerRecord* p = run->player_for_id(std::atoi(f[3].c_str()));
            EXPECT_NE(p, nullptr) << f[3];
            const auto [spree, level] = code->second;
            if (spree)
                ++addon[p].sprees[static_cast<std::size_t>(level)];
            else
                ++addon[p].multis[static_cast<std::size_t>(level)];
            ++checked.lines;
            ++checked.codes[f[2]];
        }
    }
    for (const PlayerRecord& p : run->game_players) {
        if (p.name.empty()) continue;
        const AddonFigures ours{p.moments.first_blood, p.moments.sprees, p.moments.multis};
        EXPECT_EQ(ours, addon[&p]) << p.name.c_str();
    }
    return checked;
}

class AddonMoments : public ScratchFolder {};

TEST_F(AddonMoments, OurFiguresEqualTheAddonsLinesOnGeneratedLogs) {
    Checked all;
    for (const char* type : {"dm", "ttg", "ctf", "dom", "as", "lms"}) {
        for (int seed = 1; seed <= 8; ++seed) {
            const std::string file = std::string(type) + std::to_string(seed) + ".log";
            const RunResult r = run_program(
                kLoggen,
                {"--addon", "--type", type, "--seed", std::to_string(seed * 7919), "--players", "3", "--bots",
                 std::to_string(2 + seed % 6), "--size", seed % 2 == 0 ? "120k" : "0", "-o", file},
                dir());
            ASSERT_EQ(r.exit_code, 0) << r.err;
            const Checked one = compare(read_file(dir() / file), file);
            all.lines += one.lines;
            for (const auto& [code, n] : one.codes) all.codes[code] += n;
        }
    }
    // The logs hold the common moments; the rare ones have their own tests.
    EXPECT_GT(all.lines, 100);
    for (const char* code : {"spree_kill", "spree_rampage", "spree_dbl", "spree_mult", "spree_ult"})
        EXPECT_GT(all.codes[code], 0) << code;

    if (const char* folder = std::getenv("VELSTRA_ADDON_LOGS"); folder != nullptr && *folder != '\0') {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
            if (!entry.is_regular_file()) continue;
            const Checked one = compare(read_file(entry.path()), entry.path().string());
            std::printf("%s: %d add-on lines compared\n", entry.path().string().c_str(), one.lines);
        }
    }
}

}  // namespace
