#include "output.h"

#include <cstdarg>
#include <vector>

bool Output::print(const char* fmt, ...) {
    if (drops_all_) return true;
    char line[2048];
    va_list args;
    va_start(args, fmt);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(line, sizeof line, fmt, args);
    va_end(args);
    bool written = false;
    if (length < 0) {
        written = note(false);
    } else if (static_cast<std::size_t>(length) < sizeof line) {
        written = write(line, static_cast<std::size_t>(length));
    } else {
        // Rare: a line longer than the stack buffer.
        std::vector<char> longer(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(longer.data(), longer.size(), fmt, again);
        written = write(longer.data(), static_cast<std::size_t>(length));
    }
    va_end(again);
    return written;
}

bool StreamOutput::write(const char* data, std::size_t size) {
    return note(size == 0 || std::fwrite(data, 1, size, stream_) == size);
}

Output& console_output() {
    static StreamOutput console(stdout);
    return console;
}

Output& error_output() {
    static StreamOutput errors(stderr);
    return errors;
}
