// The velstra program's command line: the commands, the history they use
// and the exit codes (0 done, 1 bad usage or a PATH that does not exist,
// 2 a failure, said in one line on standard error).
#pragma once

#include <string>
#include <vector>

#include "import.h"
#include "output.h"

struct VelstraRun {
    std::vector<std::string> args;  // without the program's name
    const char* env_db = nullptr;   // $VELSTRA_DB, if set
    Output* out = nullptr;          // standard output
    Output* err = nullptr;          // standard error
    bool terminal = false;          // standard error is a terminal
    AnalyseLog analyse;
    int busy_ms = 5000;
};

int run_velstra(const VelstraRun& run);
