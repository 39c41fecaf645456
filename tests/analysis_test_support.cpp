#include "analysis_test_support.h"

#include <sys/wait.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "load_game.h"

namespace fs = std::filesystem;

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string to_utf16_log(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
            out += '\0';
        }
        out += c;
        out += '\0';
    }
    return out;
}

void ScratchFolder::SetUp() {
    static std::atomic<int> counter{0};
    std::random_device seed;
    previous_ = fs::current_path();
    dir_ = fs::temp_directory_path() / ("velstra-test-" + std::to_string(seed()) + "-" + std::to_string(counter++));
    fs::create_directories(dir_);
    fs::current_path(dir_);
}

void ScratchFolder::TearDown() {
    fs::current_path(previous_);
    std::error_code ignored;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir_, ignored);
}

std::unique_ptr<AnalysisContext> make_context() {
    auto ctx = std::make_unique<AnalysisContext>();
    init_session(*ctx);
    reset_game(*ctx);
    static std::FILE* discard = std::fopen("/dev/null", "w");
    ctx->out = discard;
    return ctx;
}

int load_text(AnalysisContext& ctx, const std::string& text, int n) { return load_game_bytes(ctx, n, text); }

namespace {

std::string shell_quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

}  // namespace

RunResult run_program(const std::string& program, const std::vector<std::string>& args, const fs::path& folder) {
    std::string command = "cd " + shell_quote(folder.string()) + " && " + shell_quote(program);
    for (const std::string& a : args) command += " " + shell_quote(a);
    RunResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) result.out.append(chunk, got);
    int status = pclose(pipe);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
