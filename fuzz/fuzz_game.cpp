// Fuzzes the analysis of one game from raw log bytes: loading, every pass,
// the statistics, the text report and the accumulation into the session.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "load_game.h"
#include "memory_file_system.h"
#include "records.h"
#include "session.h"
#include "session_bests.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    enter_scratch_folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static AnalysisContext ctx;
    static MemoryFileSystem folder;
    static NullOutput discard;
    static int games = 0;
    // A session runs across many inputs, as a long session would; start a
    // fresh one now and then so the session tables see both states.
    if (games % 64 == 0) {
        init_session(ctx);
        ctx.use_files(folder);
        folder.files.clear();
    }
    ++games;
    ctx.out = &discard;
    ctx.images_enabled = games % 2;
    std::string_view raw(reinterpret_cast<const char*>(data), size);
    if (load_game_bytes(ctx, games % 3, raw)) analyse_loaded_game(ctx);
    compute_session_bests(ctx);
    return 0;
}
