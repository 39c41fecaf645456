// Fuzzes the converter's load and convert, and checks the copy: the input's
// first 511,999 bytes with every zero byte dropped, nothing else changed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "log_converter.h"
#include "memory_file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFileSystem folder;
    static NullOutput discard;
    static ConverterContext ctx(folder, discard);
    // The log stays open on its entry, which is only emptied.
    folder.add("error.log", "");
    folder.files.erase("games.txt");
    folder.add("input.log", std::string(reinterpret_cast<const char*>(data), size));

    ctx.log_names[0] = "input.log";
    if (!load_log(ctx, 0) || !convert_log(ctx, 0, 0)) std::abort();

    std::string expected;
    for (std::size_t i = 0; i < size && i < FILE_BUFFER_SIZE - 1; ++i)
        if (data[i] != 0) expected += static_cast<char>(data[i]);
    if (folder.bytes("games.txt") != expected) std::abort();
    return 0;
}
