// Fuzzes the converter's load and convert, and checks the copy: the input's
// first 511,999 bytes with every zero byte dropped, nothing else changed.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "log_converter.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    enter_scratch_folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ConverterContext ctx;
    static std::FILE* discard = std::fopen(null_device(), "w");
    ctx.out = discard;

    std::FILE* log = std::fopen("input.log", "wb");
    if (log == nullptr) return 0;
    std::fwrite(data, 1, size, log);
    std::fclose(log);

    ctx.log_names[0] = "input.log";
    if (!load_log(ctx, 0) || !convert_log(ctx, 0, 0)) std::abort();

    std::string expected;
    for (std::size_t i = 0; i < size && i < FILE_BUFFER_SIZE - 1; ++i)
        if (data[i] != 0) expected += static_cast<char>(data[i]);
    std::string copy;
    std::FILE* out = std::fopen("games.txt", "rb");
    if (out == nullptr) std::abort();
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, out)) > 0) copy.append(chunk, got);
    std::fclose(out);
    if (copy != expected) std::abort();
    trim_error_log();
    return 0;
}
