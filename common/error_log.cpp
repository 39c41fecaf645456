#include "error_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "bounded_text.h"

namespace {

// A lone blank is the callers' way of asking for an empty line.
void add_line(std::string& message, const char* text) {
    if (std::strcmp(text, " ") != 0) message += text;
    message += "\r\n";
}

}  // namespace

void ErrorLog::report_lost_lines() {
    failures_->report(Failure::ErrorLogUnwritable,
                      "can't write error.log here, so its diagnostics are lost; make the folder writable, free some "
                      "disk space and remove any folder or link named error.log");
}

int ErrorLog::write_lines(const char* first, const char* second) {
    if (!file_) file_ = files_->open_write("error.log", WriteMode::Append);
    if (!file_) {
        report_lost_lines();
        return 0;
    }
    if (first == nullptr) return 1;
    message_.clear();
    add_line(message_, first);
    if (second != nullptr) add_line(message_, second);
    if (!file_->write(message_.data(), message_.size())) report_lost_lines();
    return 1;
}

int ErrorLog::append(const char* text) { return write_lines(text, nullptr); }

int ErrorLog::append_two(const char* first, const char* second) { return write_lines(first, second); }

void ErrorLog::banner(const char* title) {
    constexpr std::size_t width = 85;
    const std::string stars(width, '*');
    const std::size_t inner = width - 2;
    const std::size_t length = std::strlen(title) < inner ? std::strlen(title) : inner;
    const std::size_t left = (inner - length) / 2;
    const std::string line =
        "*" + std::string(left, ' ') + std::string(title, length) + std::string(inner - length - left, ' ') + "*";
    append(" ");
    append(" ");
    append(stars.c_str());
    append(line.c_str());
    append(stars.c_str());
    append(" ");
}
