// The files of the current folder, as the programs see them.
//
// Everything the programs read or write goes through one FileSystem: the
// folder itself in the programs, or memory in the tests, which can make any
// read, write or close fail on purpose.
#pragma once

#include <cstddef>
#include <ctime>
#include <memory>

#include "output.h"
#include "platform.h"

// A file opened for reading.
class InputFile {
public:
    virtual ~InputFile() = default;
    // Reads up to size bytes; fewer only at the end of the file or on an error.
    virtual std::size_t read(char* data, std::size_t size) = 0;
    // Whether a read failed (as opposed to reaching the end of the file).
    virtual bool failed() const = 0;
    // Goes back to the first byte.
    virtual void rewind() = 0;
};

// A file opened for writing.
class OutputFile : public Output {
public:
    // Writes out what is buffered and closes the file. Returns false when any
    // byte written did not reach the file. Called once; the destructor closes
    // a file that was not closed, ignoring the result.
    virtual bool close() = 0;
};

// A file of the run's own for what waits on disk until the end of a run:
// written first, then read from its first byte.
class ScratchFile : public Output {
public:
    // Ends the writing and goes back to the first byte. Returns false when
    // any byte written did not reach the file.
    virtual bool finish_writing() = 0;
    // Reads up to size bytes; fewer only at the end or on an error.
    virtual std::size_t read(char* data, std::size_t size) = 0;
    virtual bool read_failed() const = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // A regular file (or a link to one) for reading, in text mode when text
    // is set; nullptr when there is none of that name, or it is a folder, a
    // FIFO or a device.
    virtual std::unique_ptr<InputFile> open_read(const char* name, bool text) = 0;

    // A file for writing, never through a link and only into a regular file
    // (see platform_open_write); nullptr when it cannot be written. Append
    // files are unbuffered: each write reaches the file when it returns.
    virtual std::unique_ptr<OutputFile> open_write(const char* name, WriteMode mode) = 0;

    // The last write time of a file; 1 with when set, else 0 (when is 0).
    virtual int write_time(const char* name, std::time_t& when) = 0;

    // The directory search of platform_find_next.
    virtual int find_next(const char* suffix, const char* after, PlatformDirEntry& entry) = 0;

    // Renames without replacing another file (platform_rename_no_replace).
    virtual int rename_no_replace(const char* from, const char* to) = 0;

    // Removes a file the program wrote itself; 1 when it is gone.
    virtual int remove_file(const char* name) = 0;

    // A scratch file that no one else can open and no name leads to:
    // created exclusively under a fresh name in the system's folder of
    // temporary files, never through a link, and gone when it is destroyed
    // or the program ends, however it ends. nullptr when none can be made.
    virtual std::unique_ptr<ScratchFile> open_scratch() = 0;
};

// The current folder.
FileSystem& real_file_system();

// A file the caller opened as a stream; close() closes the stream.
std::unique_ptr<OutputFile> output_file_of(std::FILE* stream);
