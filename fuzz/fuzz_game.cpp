// Fuzzes the analysis of one game from raw log bytes: loading, every pass,
// the statistics, the text report and the accumulation into the session,
// and now and then the session page of the games so far.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "fuzz_support.h"
#include "load_game.h"
#include "records.h"
#include "session.h"
#include "session_bests.h"
#include "session_report.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    enter_scratch_folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static AnalysisContext ctx;
    static std::FILE* discard = std::fopen(null_device(), "w");
    static int games = 0;
    // A session runs across many inputs, as a long session would; start a
    // fresh one now and then so the session tables see both states.
    if (games % 64 == 0) init_session(ctx);
    ++games;
    ctx.out = discard;
    ctx.images_enabled = games % 2;
    std::string_view raw(reinterpret_cast<const char*>(data), size);
    if (load_game_bytes(ctx, games % 3, raw)) analyse_loaded_game(ctx);
    compute_session_bests(ctx);
    // Twice in 16 inputs, not on every one, to keep the runs fast: once with
    // image tags (an odd count) and once without.
    if (games % 16 == 0 || games % 16 == 9) {
        std::FILE* page = std::fopen(null_device(), "w");
        if (page != nullptr) (void)write_html_page(ctx, page, "14072001");
    }
    trim_error_log();
    return 0;
}
