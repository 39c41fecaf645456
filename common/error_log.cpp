#include "error_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "bounded_text.h"

namespace {

// A block of lines is written once it is this long: large enough that the
// write calls cost little beside the analysis, small enough to add little to
// the program's memory.
constexpr std::size_t BLOCK = std::size_t{1} << 14;

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

ErrorLog::ErrorLog(FileSystem& files, FailureReport& failures) : files_(&files), failures_(&failures) {
    failures_->write_first(this);
}

ErrorLog::~ErrorLog() {
    write_pending();
    failures_->write_first(nullptr);
}

void ErrorLog::write_pending() {
    if (pending_.empty()) return;
    const bool written = file_->write(pending_.data(), pending_.size());
    // Emptied first: the failure line asks for the pending lines again.
    pending_.clear();
    if (!written) report_lost_lines();
}

int ErrorLog::write_lines(const char* first, const char* second) {
    if (!file_) file_ = files_->open_write("error.log", WriteMode::Append);
    if (!file_) {
        report_lost_lines();
        return 0;
    }
    if (first == nullptr) return 1;
    add_line(pending_, first);
    if (second != nullptr) add_line(pending_, second);
    if (pending_.size() >= BLOCK) write_pending();
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
