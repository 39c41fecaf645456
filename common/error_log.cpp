#include "error_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "bounded_text.h"

int error_log_append(const char* text) {
    std::FILE* file = std::fopen("error.log", "ab");
    if (file == nullptr) return 0;
    if (text != nullptr) {
        // A lone blank is the callers' way of asking for an empty line.
        if (std::strcmp(text, " ") != 0) std::fputs(text, file);
        std::fputs("\r\n", file);
    }
    std::fclose(file);
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
