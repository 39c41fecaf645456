// velstra: keeps every game of the server's stat logs in one history file,
// and lists its games and players.
#include <unistd.h>

#include <cstdlib>

#include "analyse_log.h"
#include "platform.h"
#include "velstra_cli.h"

int main(int argc, char** argv) {
    platform_binary_console();
    // One analyser for the whole run: its buffers are allocated once.
    static LogAnalyser analyser;
    VelstraRun run;
    run.args.assign(argv + 1, argv + argc);
    run.env_db = std::getenv("VELSTRA_DB");
    run.out = &console_output();
    run.err = &error_output();
    run.terminal = isatty(STDERR_FILENO) != 0;
    run.analyse = [](std::string_view bytes, LoggedGame& game) { return analyser.analyse(bytes, game); };
    std::exit(run_velstra(run));
}
