#include "analysis_test_support.h"

#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
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

void set_log_date(const fs::path& file, int day, int month, int year) {
    std::tm date{};
    date.tm_mday = day;
    date.tm_mon = month - 1;
    date.tm_year = year - 1900;
    date.tm_hour = 12;
    const std::time_t when = timegm(&date);
    utimbuf times{when, when};
    utime(file.c_str(), &times);
}

void write_game_log(const fs::path& folder, int n, const std::string& text) {
    const fs::path file = folder / (n == 0 ? std::string("games.log") : "games" + std::to_string(n) + ".log");
    write_file(file, to_utf16_log(text));
    set_log_date(file, 14, 7, 2001);
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

std::unique_ptr<TestRun> make_context() {
    auto ctx = std::make_unique<TestRun>();
    init_session(*ctx);
    reset_game(*ctx);
    return ctx;
}

int load_text(TestRun& ctx, const std::string& text, int n) {
    ctx.folder.add(game_file_name(n).c_str(), text);
    return load_game(ctx, n);
}

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

// Runs the shell command prefix (not quoted: it may hold several words)
// followed by the quoted arguments.
RunResult run_command(const std::string& prefix, const std::vector<std::string>& args, const fs::path& folder) {
    static std::atomic<int> runs{0};
    const fs::path err_file =
        fs::temp_directory_path() / ("velstra-stderr-" + std::to_string(getpid()) + "-" + std::to_string(runs++));
    std::string command = "cd " + shell_quote(folder.string()) + " && " + prefix;
    for (const std::string& a : args) command += " " + shell_quote(a);
    command += " 2>" + shell_quote(err_file.string());
    RunResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) result.out.append(chunk, got);
    int status = pclose(pipe);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = read_file(err_file);
    fs::remove(err_file);
    return result;
}

// The command prefix of a program under test: the environment's, or the
// built program's path.
std::string program_under_test(const char* variable, const std::string& built) {
    const char* prefix = std::getenv(variable);
    return prefix != nullptr && *prefix != '\0' ? std::string(prefix) : shell_quote(built);
}

}  // namespace

RunResult run_program(const std::string& program, const std::vector<std::string>& args, const fs::path& folder) {
    return run_command(shell_quote(program), args, folder);
}

RunResult run_analyser_program(const std::vector<std::string>& args, const fs::path& folder) {
    return run_command(program_under_test("VELSTRA_ANALYSER", ANALYSER_EXE), args, folder);
}

RunResult run_logconvert_program(const std::vector<std::string>& args, const fs::path& folder) {
    return run_command(program_under_test("VELSTRA_LOGCONVERT", LOGCONVERT_EXE), args, folder);
}

RunResult run_velstra_program(const std::vector<std::string>& args, const fs::path& folder) {
    return run_command("TZ=UTC " + program_under_test("VELSTRA_HISTORY", VELSTRA_EXE), args, folder);
}

std::string read_page(const fs::path& path) {
    const std::string bytes = read_file(path);
    const char* crlf = std::getenv("VELSTRA_PAGE_CRLF");
    if (crlf == nullptr || std::string(crlf) != "1") return bytes;
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool line_end = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
        if ((bytes[i] == '\r' && !line_end) || (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))) {
            ADD_FAILURE() << path << ": byte " << i << " is a line end other than CR LF";
            return bytes;
        }
        if (!line_end) text += bytes[i];
    }
    return text;
}

std::map<std::string, std::string> files_under(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string path = std::filesystem::relative(entry.path(), root).generic_string();
        if (entry.is_regular_file() && !path.starts_with(".velstra-site/")) files[path] = read_file(entry.path());
    }
    return files;
}
