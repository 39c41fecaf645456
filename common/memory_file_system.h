// A folder kept in memory, for tests: any read, write or close can be made
// to fail, on every system.
#pragma once

#include <ctime>
#include <map>
#include <string>

#include "file_system.h"

class MemoryFileSystem : public FileSystem {
public:
    struct File {
        std::string bytes;
        std::time_t time = 0;
        bool regular = true;      // false: a folder, link or FIFO of that name
        bool fail_read = false;   // reading stops half way with an error
        bool fail_write = false;  // every write fails
        bool fail_close = false;  // closing fails (the buffered bytes are lost)
    };

    // The folder's entries by name, in byte order.
    std::map<std::string, File> files;

    // Scratch files: none can be made, or each write to them fails.
    bool fail_scratch = false;
    bool fail_scratch_write = false;
    int scratch_files_open = 0;  // made and not yet destroyed

    File& add(const std::string& name, const std::string& bytes, std::time_t time = 0);
    // The bytes of a file, or "" when there is none.
    std::string bytes(const std::string& name) const;
    bool exists(const std::string& name) const { return files.count(name) != 0; }

    std::unique_ptr<InputFile> open_read(const char* name, bool text) override;
    std::unique_ptr<OutputFile> open_write(const char* name, WriteMode mode) override;
    int write_time(const char* name, std::time_t& when) override;
    int find_next(const char* suffix, const char* after, PlatformDirEntry& entry) override;
    int rename_no_replace(const char* from, const char* to) override;
    int remove_file(const char* name) override { return files.erase(name) == 1 ? 1 : 0; }
    std::unique_ptr<ScratchFile> open_scratch() override;
};
