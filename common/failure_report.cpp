#include "failure_report.h"

#include <cstdarg>
#include <cstdio>
#include <string_view>

#include "bounded_text.h"

namespace {

unsigned bit_of(Failure cause) { return 1u << static_cast<unsigned>(cause); }

std::string_view without_details_ending(std::string_view text) {
    constexpr std::string_view ending = " (details in error.log)";
    if (text.ends_with(ending)) text.remove_suffix(ending.size());
    return text;
}

}  // namespace

void FailureReport::report(Failure cause, const char* fmt, ...) {
    const unsigned bit = bit_of(cause);
    if ((reported_ & bit) != 0) return;
    reported_ |= bit;
    // The user who reads the line finds its details already in their file;
    // a failure to write them is said first, as it happened first.
    if (details_ != nullptr) details_->write_pending();
    BoundedText<1024> line;
    va_list args;
    va_start(args, fmt);
    line.vformat(fmt, args);
    va_end(args);
    std::string_view text = line.view();
    if ((reported_ & bit_of(Failure::ErrorLogUnwritable)) != 0) text = without_details_ending(text);
    lines_->print("%s: %.*s\n", program_, static_cast<int>(text.size()), text.data());
}
