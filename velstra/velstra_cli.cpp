#include "velstra_cli.h"

#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "build_site.h"
#include "commands.h"
#include "even_teams.h"
#include "history_reader.h"
#include "history_store.h"
#include "similar_names.h"
#include "teams_command.h"

namespace {

// Each command: its usage lines, what it does, and its options beside --db.
struct CommandHelp {
    const char* name;
    const char* usage;  // lines, each "velstra ..." without "usage: "
    const char* does;
    std::vector<const char*> values;  // options that take a value
    std::vector<const char*> flags;   // options that take none
};

const std::vector<CommandHelp>& commands() {
    static const std::vector<CommandHelp> table = {
        {"import",
         "velstra import [-v] [--db FILE] PATH...\n",
         "Adds the games of the stat logs to the history: each PATH is a log, or a folder whose files are read\n"
         "(its subfolders are not; each is named). -v says what became of each file.\n",
         {},
         {"-v"}},
        {"update",
         "velstra update [--db FILE] [-o DIR] FOLDER...\n",
         "Imports the logs of each FOLDER, then brings the site in DIR up to date, for a scheduled job: silent\n"
         "when the history has not changed since the site was built, else one line. Exit 1 when a FOLDER\n"
         "cannot be read (the others are done).\n",
         {"-o"},
         {}},
        {"games",
         "velstra games [--db FILE] [--player NAME] [--map MAP] [--type TYPE] [--server NAME]\n"
         "              [--since YYYY-MM-DD] [--until YYYY-MM-DD]\n",
         "Lists the games, oldest first: id, start, map, game type, length, winner. The options keep the\n"
         "games of a player (under any of his names), of a map (with or without \".unr\"), a game type or a\n"
         "server (in any case), and of the evenings from --since to --until, both included; given together,\n"
         "the games that match them all.\n",
         {"--player", "--map", "--type", "--server", "--since", "--until"},
         {}},
        {"forget",
         "velstra forget [--db FILE] ID...\n",
         "Removes the games of the ids; a forgotten game comes back when its log is imported again.\n",
         {},
         {}},
        {"players",
         "velstra players [--db FILE] [--similar]\n",
         "Lists the players, most games first, with the names merged into each. --similar lists the names\n"
         "that are probably one person's (equal apart from case, a trailing number or a suffix such as\n"
         "_afk, _brb or (1); never the default names Player, Player2, ...), each as the velstra alias\n"
         "command that would merge them; it merges nothing.\n",
         {},
         {"--similar"}},
        {"alias",
         "velstra alias [--db FILE] NAME... --as PLAYER\nvelstra alias [--db FILE] --remove NAME\n",
         "Merges the NAMEs into the player PLAYER, or undoes the merge of one NAME.\n",
         {"--as", "--remove"},
         {}},
        {"site",
         "velstra site [--db FILE] [-o DIR]\n",
         "Writes the site of the history into DIR: only the pages that change; the pages it wrote that the\n"
         "history no longer needs are removed.\n",
         {"-o"},
         {}},
        {"teams",
         "velstra teams [--db FILE] [--type TYPE] NAME NAME...\n",
         "Proposes two even teams of the named players by their ratings.\n",
         {"--type"},
         {}},
    };
    return table;
}

constexpr const char* WHERE =
    "The history is FILE, else $VELSTRA_DB, else velstra-history.db in the current folder.\n"
    "The site is written to DIR, else velstra-site.\n";

const CommandHelp* command_of(const std::string& name) {
    for (const CommandHelp& command : commands())
        if (name == command.name) return &command;
    return nullptr;
}

// Usage lines: the first after "usage: ", the others beneath it.
void add_usage(std::string& text, std::string_view lines) {
    while (!lines.empty()) {
        const std::size_t end = lines.find('\n') + 1;
        text += text.empty() ? "usage: " : "       ";
        text += lines.substr(0, end);
        lines.remove_prefix(end);
    }
}

std::string usage() {
    std::string text;
    for (const CommandHelp& command : commands()) add_usage(text, command.usage);
    add_usage(text, "velstra --version | --help\nvelstra COMMAND --help\n");
    return text + WHERE;
}

std::string usage_of(const CommandHelp& command) {
    std::string text;
    add_usage(text, command.usage);
    return text + command.does + WHERE;
}

// The arguments of a command once its options are taken out.
struct Parsed {
    std::optional<std::string> db;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    std::vector<std::string> operands;
    bool help = false;

    std::optional<std::string> value(const char* option) const {
        const auto found = values.find(option);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
};

int bad_usage(Output& err, const std::string& why) {
    err.print("velstra: %s\n", why.c_str());
    err.print("%s", usage().c_str());
    return 1;
}

bool holds(const std::vector<const char*>& options, const std::string& arg) {
    for (const char* option : options)
        if (arg == option) return true;
    return false;
}

// Options may come anywhere; "--" ends them, so a name or a file may begin
// with a dash.
std::optional<std::string> parse(const CommandHelp& command, const std::vector<std::string>& args, Parsed& parsed) {
    bool options = true;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& arg = args[k];
        if (!options || arg.size() < 2 || arg[0] != '-') {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options = false;
        } else if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "--db" || holds(command.values, arg)) {
            if (k + 1 == args.size()) return arg + " needs a value";
            if (arg == "--db" ? parsed.db.has_value() : parsed.values.contains(arg)) return arg + " is given twice";
            if (arg == "--db")
                parsed.db = args[++k];
            else
                parsed.values[arg] = args[++k];
        } else if (arg.starts_with("--db=")) {
            if (parsed.db) return "--db is given twice";
            parsed.db = arg.substr(5);
        } else if (holds(command.flags, arg)) {
            parsed.flags.insert(arg);
        } else {
            return "unknown option " + arg + " for " + command.name;
        }
    }
    if (parsed.db && parsed.db->empty()) return "--db needs a file name";
    if (const auto dir = parsed.value("-o"); dir && dir->empty()) return "-o needs a folder name";
    return std::nullopt;
}

// An evening's date: "YYYY-MM-DD" of a day that can be.
bool is_date(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    for (const std::size_t k : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[k] < '0' || text[k] > '9') return false;
    // Two digits each, checked above.
    const int month = (text[5] - '0') * 10 + (text[6] - '0');
    const int day = (text[8] - '0') * 10 + (text[9] - '0');
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
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
    const std::string site_dir = parsed.value("-o").value_or("velstra-site");
    if (command == "import") return import_logs(run, parsed.operands, parsed.flags.contains("-v"), db);
    if (command == "update") return update_site(run, parsed.operands, db, site_dir);
    // The reading commands never write the history, so that an account
    // that may only read it (a web server's) can run them; each reads the
    // designs from the one it names on as they are (the relations it reads
    // mean the same in each), and asks for an import on an older one.
    const bool reads = command == "games" || command == "players" || command == "site" || command == "teams";
    HistoryStore store(db, reads ? HistoryAccess::ReadOnly : HistoryAccess::ReadWrite, run.busy_ms);
    if (command == "games") {
        GameFilter filter;
        filter.player = parsed.value("--player");
        filter.map = parsed.value("--map");
        filter.type = parsed.value("--type");
        filter.server = parsed.value("--server");
        filter.since = parsed.value("--since");
        filter.until = parsed.value("--until");
        return list_games(store, filter, out, err);
    }
    if (command == "players" && parsed.flags.contains("--similar"))
        return list_similar_players(store, parsed.db ? " --db " + shell_word(*parsed.db) : "", out);
    if (command == "players") return list_players(store, out);
    if (command == "site") return build_site(store, site_dir, out, err);
    if (command == "teams") return propose_teams(store, parsed.operands, parsed.value("--type"), out, err);
    if (command == "forget") {
        std::vector<long long> ids;
        for (const std::string& text : parsed.operands) ids.push_back(*game_id(text));
        return forget_games(store, ids, out, err);
    }
    if (const auto name = parsed.value("--remove")) return unmerge_name(store, *name, out, err);
    return merge_names(store, parsed.operands, *parsed.value("--as"), out, err);
}

}  // namespace

int run_velstra(const VelstraRun& run) {
    Output& out = *run.out;
    Output& err = *run.err;
    if (run.args.empty()) return bad_usage(err, "which command?");
    const std::string& name = run.args[0];
    if (name == "--version") {
        out.print("velstra (velstra) %s\n", VELSTRA_VERSION);
        return 0;
    }
    if (name == "--help" || name == "-h") {
        out.print("%s", usage().c_str());
        return 0;
    }
    const CommandHelp* const known = command_of(name);
    if (known == nullptr) return bad_usage(err, "unknown command " + name);
    const std::string command = known->name;

    Parsed parsed;
    if (const auto why = parse(*known, run.args, parsed)) return bad_usage(err, *why);
    // Asked for help, a command does nothing else.
    if (parsed.help) {
        out.print("%s", usage_of(*known).c_str());
        return 0;
    }
    if (command == "import" && parsed.operands.empty()) return bad_usage(err, "import needs a PATH");
    if (command == "update" && parsed.operands.empty()) return bad_usage(err, "update needs a FOLDER");
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
    for (const char* option : {"--since", "--until"})
        if (const auto date = parsed.value(option); date && !is_date(*date))
            return bad_usage(err, std::string(option) + " takes a date, YYYY-MM-DD, not \"" + *date + "\"");
    if (command == "forget")
        for (const std::string& text : parsed.operands)
            if (!game_id(text)) return bad_usage(err, "\"" + text + "\" is no game id");
    if (command == "alias") {
        const bool remove = parsed.values.contains("--remove");
        const bool as = parsed.values.contains("--as");
        if (remove && (as || !parsed.operands.empty())) return bad_usage(err, "alias --remove takes one NAME alone");
        if (!remove && (!as || parsed.operands.empty()))
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
