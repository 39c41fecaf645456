// velstra: keeps every game of the server's stat logs in one history file,
// and lists its games and players.
#include <unistd.h>

#include <cstdlib>

#include "analyse_log.h"
#include "platform.h"
#include "velstra_cli.h"

int main(int argc, char** argv) {
    platform_binary_console();
    VelstraRun run;
    run.args.assign(argv + 1, argv + argc);
    run.env_db = std::getenv("VELSTRA_DB");
    run.out = &console_output();
    run.err = &error_output();
    run.terminal = isatty(STDERR_FILENO) != 0;
    run.analyse = [](std::string_view bytes, LoggedGame& game) {
        // One analyser for the whole run, its buffers allocated once, and
        // only by a command that reads logs: the others never touch them.
        static LogAnalyser analyser;
        return analyser.analyse(bytes, game);
    };
    std::exit(run_velstra(run));
}
