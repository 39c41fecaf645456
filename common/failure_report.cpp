#include "failure_report.h"

#include <cstdarg>
#include <cstdio>

namespace {

const char* program = "velstra";
unsigned reported = 0;  // one bit per cause

}  // namespace

void set_failure_program(const char* name) {
    program = name;
    reported = 0;
}

void report_failure(Failure cause, const char* fmt, ...) {
    const unsigned bit = 1u << static_cast<unsigned>(cause);
    if ((reported & bit) != 0) return;
    reported |= bit;
    char line[1024];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(line, sizeof line, fmt, args);
    va_end(args);
    std::fprintf(stderr, "%s: %s\n", program, line);
    std::fflush(stderr);
}
