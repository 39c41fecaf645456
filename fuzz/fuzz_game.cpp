// Fuzzes the analysis of one game from raw log bytes: loading, every pass,
// the statistics, the text report, the accumulation into the session and the
// game's section of the games page, and now and then the session page and
// the games page of the games so far.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "game_records.h"
#include "games_page.h"
#include "load_game.h"
#include "memory_file_system.h"
#include "records.h"
#include "session.h"
#include "session_bests.h"
#include "session_report.h"

namespace {

// The index of a loaded game must hold exactly the matches a search of the
// text from the game's start meets.
void check_event_index(const GameText& text) {
    if (!text.events.built()) std::abort();
    for (std::size_t e = 0; e < EVENT_COUNT; ++e) {
        const Event event = static_cast<Event>(e);
        const std::string_view pattern = event_pattern(event);
        const std::uint32_t* indexed = text.events.begin(event);
        for (std::size_t at = text.find(pattern, text.game_start); at != GameText::npos;
             at = text.find(pattern, at + 1)) {
            if (indexed == text.events.end(event) || *indexed++ != at) std::abort();
        }
        if (indexed != text.events.end(event)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFileSystem folder;
    static NullOutput discard;
    static std::unique_ptr<AnalysisContext> run;
    static int games = 0;
    static std::unique_ptr<RecordPage> page;
    // A session runs across many inputs, as a long session would; start a
    // fresh one now and then so the session tables see both states.
    if (games % 64 == 0) {
        // The games page of the session so far, and a new run (the page and
        // the run's log let go of their files before the folder is emptied).
        if (page) (void)page->finish(session_record(*run, Text("14072001")));
        page.reset();
        run.reset();
        folder.files.clear();
        run = std::make_unique<AnalysisContext>(folder, discard);
        init_session(*run);
        page = games_page(folder, run->log, run->failures);
    }
    AnalysisContext& ctx = *run;
    ++games;
    ctx.images_enabled = games % 2;
    // The input is the log of game n, loaded as the program loads it.
    const int n = games % 3;
    folder.add(game_file_name(n).c_str(), std::string(reinterpret_cast<const char*>(data), size));
    if (load_game(ctx, n)) {
        check_event_index(ctx.text);
        GameRecord game;
        if (analyse_loaded_game(ctx, &game)) page->add(game);
    }
    compute_session_bests(ctx);
    rank_session(ctx);
    // Twice in 16 inputs, not on every one, to keep the runs fast: once with
    // image tags (an odd count) and once without.
    if (games % 16 == 0 || games % 16 == 9) {
        if (std::unique_ptr<OutputFile> session_page = folder.open_write("page.html", WriteMode::TruncateText))
            (void)write_html_page(session_summary(ctx), ctx.log, *session_page, "14072001");
    }
    return 0;
}
