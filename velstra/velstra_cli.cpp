#include "velstra_cli.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "build_site.h"
#include "commands.h"
#include "even_teams.h"
#include "history_store.h"
#include "teams_command.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* USAGE =
    "usage: velstra import [-v] [--db FILE] PATH...\n"
    "       velstra games [--db FILE]\n"
    "       velstra forget [--db FILE] ID...\n"
    "       velstra players [--db FILE]\n"
    "       velstra alias [--db FILE] NAME... --as PLAYER\n"
    "       velstra alias [--db FILE] --remove NAME\n"
    "       velstra site [--db FILE] [-o DIR]\n"
    "       velstra teams [--db FILE] [--type TYPE] NAME NAME...\n"
    "       velstra --version | --help\n"
    "The history is FILE, else $VELSTRA_DB, else velstra-history.db in the current folder.\n"
    "The site is written to DIR, else velstra-site.\n";

// The arguments of a command once its options are taken out.
struct Parsed {
    std::optional<std::string> db;
    bool verbose = false;
    std::optional<std::string> as_player;
    std::optional<std::string> remove;
    std::optional<std::string> site_dir;
    std::optional<std::string> type;
    std::vector<std::string> operands;
};

int bad_usage(Output& err, const std::string& why) {
    err.print("velstra: %s\n", why.c_str());
    err.print("%s", USAGE);
    return 1;
}

// Options may come anywhere; "--" ends them, so a name or a file may begin
// with a dash.
std::optional<std::string> parse(const std::string& command, const std::vector<std::string>& args, Parsed& parsed) {
    const bool alias = command == "alias";
    const bool site = command == "site";
    const bool teams = command == "teams";
    bool options = true;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& arg = args[k];
        if (!options || arg.size() < 2 || arg[0] != '-') {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options = false;
        } else if (arg == "--db" || (alias && (arg == "--as" || arg == "--remove")) || (site && arg == "-o") ||
                   (teams && arg == "--type")) {
            if (k + 1 == args.size()) return arg + " needs a value";
            std::optional<std::string>& slot = arg == "--db"     ? parsed.db
                                               : arg == "--as"   ? parsed.as_player
                                               : arg == "-o"     ? parsed.site_dir
                                               : arg == "--type" ? parsed.type
                                                                 : parsed.remove;
            if (slot) return arg + " is given twice";
            slot = args[++k];
        } else if (arg.starts_with("--db=")) {
            if (parsed.db) return "--db is given twice";
            parsed.db = arg.substr(5);
        } else if (command == "import" && arg == "-v") {
            parsed.verbose = true;
        } else {
            std::string why = "unknown option ";
            why += arg;
            why += " for ";
            why += command;
            return why;
        }
    }
    if (parsed.db && parsed.db->empty()) return "--db needs a file name";
    if (parsed.site_dir && parsed.site_dir->empty()) return "-o needs a folder name";
    return std::nullopt;
}

std::optional<long long> game_id(const std::string& text) {
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const long long id = std::strtoll(text.c_str(), nullptr, 10);
    return id > 0 ? std::optional<long long>(id) : std::nullopt;
}

int run_command(const VelstraRun& run, const std::string& command, const Parsed& parsed, const std::string& db) {
    Output& out = *run.out;
    Output& err = *run.err;
    if (command == "import") {
        std::vector<std::string> files;
        for (const std::string& path : parsed.operands) {
            std::error_code error;
            if (!fs::exists(path, error)) {
                err.print("velstra: %s: no such file or folder\n", path.c_str());
                return 1;
            }
        }
        for (const std::string& path : parsed.operands)
            for (std::string& file : files_of_path(path)) files.push_back(std::move(file));
        HistoryStore store(db, HistoryAccess::CreateIfMissing, run.busy_ms);
        ImportOptions options;
        options.verbose = parsed.verbose;
        options.progress = run.terminal;
        options.history_path = db;
        const ImportCounts counts = import_files(store, files, run.analyse, options, err);
        out.print("%s\n", summary_line(counts).c_str());
        return 0;
    }
    // The reading commands never write the history, so that an account
    // that may only read it (a web server's) can run them; each reads the
    // designs from the one it names on as they are (the relations it reads
    // mean the same in each), and asks for an import on an older one.
    const bool reads = command == "games" || command == "players" || command == "site" || command == "teams";
    HistoryStore store(db, reads ? HistoryAccess::ReadOnly : HistoryAccess::ReadWrite, run.busy_ms);
    if (command == "games") return list_games(store, out);
    if (command == "players") return list_players(store, out);
    if (command == "site") return build_site(store, parsed.site_dir.value_or("velstra-site"), out, err);
    if (command == "teams") return propose_teams(store, parsed.operands, parsed.type, out, err);
    if (command == "forget") {
        std::vector<long long> ids;
        for (const std::string& text : parsed.operands) ids.push_back(*game_id(text));
        return forget_games(store, ids, out, err);
    }
    if (parsed.remove) return unmerge_name(store, *parsed.remove, out, err);
    return merge_names(store, parsed.operands, *parsed.as_player, out, err);
}

}  // namespace

int run_velstra(const VelstraRun& run) {
    Output& out = *run.out;
    Output& err = *run.err;
    if (run.args.empty()) return bad_usage(err, "which command?");
    const std::string& command = run.args[0];
    if (command == "--version") {
        out.print("velstra (velstra) %s\n", VELSTRA_VERSION);
        return 0;
    }
    if (command == "--help" || command == "-h") {
        out.print("%s", USAGE);
        return 0;
    }
    if (command != "import" && command != "games" && command != "forget" && command != "players" &&
        command != "alias" && command != "site" && command != "teams")
        return bad_usage(err, "unknown command " + command);

    Parsed parsed;
    if (const auto why = parse(command, run.args, parsed)) return bad_usage(err, *why);
    if (command == "import" && parsed.operands.empty()) return bad_usage(err, "import needs a PATH");
    if ((command == "games" || command == "players" || command == "site") && !parsed.operands.empty())
        return bad_usage(err, command + " takes no " + parsed.operands.front());
    if (command == "forget" && parsed.operands.empty()) return bad_usage(err, "forget needs a game ID");
    if (command == "teams") {
        if (parsed.operands.size() < 2) return bad_usage(err, "teams needs at least two NAMEs");
        if (parsed.operands.size() > static_cast<std::size_t>(even_teams_max_players))
            return bad_usage(err, "teams takes at most " + std::to_string(even_teams_max_players) + " NAMEs");
        for (std::size_t k = 0; k < parsed.operands.size(); ++k)
            for (std::size_t j = 0; j < k; ++j)
                if (parsed.operands[j] == parsed.operands[k])
                    return bad_usage(err, "\"" + parsed.operands[k] + "\" is given twice");
    }
    if (command == "forget")
        for (const std::string& text : parsed.operands)
            if (!game_id(text)) return bad_usage(err, "\"" + text + "\" is no game id");
    if (command == "alias") {
        if (parsed.remove && (parsed.as_player || !parsed.operands.empty()))
            return bad_usage(err, "alias --remove takes one NAME alone");
        if (!parsed.remove && (!parsed.as_player || parsed.operands.empty()))
            return bad_usage(err, "alias needs NAME... --as PLAYER, or --remove NAME");
    }

    std::string db = "velstra-history.db";
    if (parsed.db)
        db = *parsed.db;
    else if (run.env_db != nullptr && run.env_db[0] != '\0')
        db = run.env_db;
    try {
        return run_command(run, command, parsed, db);
    } catch (const HistoryFailure& failure) {
        err.print("velstra: %s: %s\n", db.c_str(), failure.message.c_str());
        return 2;
    }
}
