// analyser: turns the Unreal Tournament game logs of the current directory
// into per-game reports on the console and one HTML page for the session.
#include <cstdlib>
#include <memory>

#include "platform.h"
#include "session.h"

int main(int argc, char** argv) {
    // The console gets the same bytes on every system.
    platform_binary_console();
    // The one analysis context of the run.
    static AnalysisContext ctx(real_file_system(), console_output());
    std::exit(run_analyser(ctx, argc, argv));
}
