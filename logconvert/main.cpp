// logconvert: prepares the game logs of the current directory for the
// analyser and writes their 8-bit copies.
#include <cstdlib>

#include "log_converter.h"
#include "platform.h"

int main(int argc, char** argv) {
    // The console gets the same bytes on every system.
    platform_binary_console();
    // The one converter state of the run.
    static ConverterContext ctx(real_file_system(), console_output());
    std::exit(run_logconvert(ctx, argc, argv));
}
