// Text written piece by piece: to the console, to a file, or to memory.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

class Output {
public:
    Output() = default;
    virtual ~Output() = default;

    // Writes the bytes. Returns false when they did not all reach their
    // place; a failure is remembered in failed().
    virtual bool write(const char* data, std::size_t size) = 0;

    bool put(std::string_view text) { return write(text.data(), text.size()); }
    // Formats as printf does; texts are always arguments, never the format.
    __attribute__((format(printf, 2, 3))) bool print(const char* fmt, ...);

    bool failed() const { return failed_; }

protected:
    // For an output that drops every byte: print() then formats nothing.
    explicit Output(bool drops_all) : drops_all_(drops_all) {}
    // For a stream that starts again from nothing.
    void clear_failure() { failed_ = false; }
    // For write(): notes a failure and passes the result on.
    bool note(bool written) {
        if (!written) failed_ = true;
        return written;
    }

private:
    bool failed_ = false;
    bool drops_all_ = false;
};

// A C stream: standard output, or a file the caller closes.
class StreamOutput final : public Output {
public:
    explicit StreamOutput(std::FILE* stream) : stream_(stream) {}
    bool write(const char* data, std::size_t size) override;
    std::FILE* stream() const { return stream_; }

private:
    std::FILE* stream_;
};

// Everything written, kept in memory.
class StringOutput final : public Output {
public:
    bool write(const char* data, std::size_t size) override {
        text.append(data, size);
        return true;
    }
    std::string text;
};

// Everything written is dropped, and nothing printed is formatted: an
// import analyses thousands of logs whose reports no one reads.
class NullOutput final : public Output {
public:
    NullOutput() : Output(true) {}
    bool write(const char*, std::size_t) override { return true; }
};

// Standard output.
Output& console_output();

// Standard error.
Output& error_output();
