#include "error_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "bounded_text.h"
#include "failure_report.h"
#include "platform.h"

namespace {

void report_lost_lines() {
    report_failure(Failure::ErrorLogUnwritable,
                   "can't write error.log here, so its diagnostics are lost; make the folder writable, free some disk "
                   "space and remove any folder or link named error.log");
}

}  // namespace

int error_log_append(const char* text) {
    std::FILE* file = platform_open_write("error.log", WriteMode::Append);
    if (file == nullptr) {
        report_lost_lines();
        return 0;
    }
    bool written = true;
    if (text != nullptr) {
        // A lone blank is the callers' way of asking for an empty line.
        if (std::strcmp(text, " ") != 0) written = std::fputs(text, file) >= 0;
        written = std::fputs("\r\n", file) >= 0 && written;
    }
    written = std::fclose(file) == 0 && written;
    if (!written) report_lost_lines();
    return 1;
}

int error_log_appendf(const char* fmt, ...) {
    char line[Text::max_length + 1];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(line, sizeof line, fmt, args);
    va_end(args);
    return error_log_append(line);
}

void error_log_banner(const char* title) {
    constexpr std::size_t width = 85;
    const std::string stars(width, '*');
    const std::size_t inner = width - 2;
    const std::size_t length = std::strlen(title) < inner ? std::strlen(title) : inner;
    const std::size_t left = (inner - length) / 2;
    const std::string line =
        "*" + std::string(left, ' ') + std::string(title, length) + std::string(inner - length - left, ' ') + "*";
    error_log_append(" ");
    error_log_append(" ");
    error_log_append(stars.c_str());
    error_log_append(line.c_str());
    error_log_append(stars.c_str());
    error_log_append(" ");
}
