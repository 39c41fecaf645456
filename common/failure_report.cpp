#include "failure_report.h"

#include <cstdarg>
#include <cstdio>
#include <string_view>

namespace {

unsigned bit_of(Failure cause) { return 1u << static_cast<unsigned>(cause); }

void drop_details_ending(char* line) {
    constexpr std::string_view ending = " (details in error.log)";
    const std::string_view text(line);
    if (text.ends_with(ending)) line[text.size() - ending.size()] = '\0';
}

}  // namespace

void FailureReport::report(Failure cause, const char* fmt, ...) {
    const unsigned bit = bit_of(cause);
    if ((reported_ & bit) != 0) return;
    reported_ |= bit;
    char line[1024];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(line, sizeof line, fmt, args);
    va_end(args);
    if ((reported_ & bit_of(Failure::ErrorLogUnwritable)) != 0) drop_details_ending(line);
    lines_->print("%s: %s\n", program_, line);
}
