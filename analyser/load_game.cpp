#include "load_game.h"

#include <climits>
#include <cstdio>

#include "error_log.h"
#include "platform.h"
#include "time_functions.h"

namespace {

int clamp_to_int(long long value) {
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

bool prepare_buffer(AnalysisContext& ctx) {
    if (ctx.text.allocate()) return true;
    error_log_append("\tcan't allocate 512000 byte memory");
    return false;
}

void log_date_of(AnalysisContext& ctx, const char* file_name) {
    std::tm modified = file_date(file_name);
    ctx.session_info.log_date.format("%02i%02i%04i", modified.tm_mday, modified.tm_mon + 1, modified.tm_year + 1900);
}

}  // namespace

int load_game(AnalysisContext& ctx, int n) {
    BoundedText<64> file_name;
    if (n < 1)
        file_name = "games.log";
    else
        file_name.format("games%i.log", n);

    error_log_appendf("*** loading game: %i", n);

    std::FILE* file = std::fopen(file_name.c_str(), "rb");
    if (file == nullptr) {
        error_log_appendf("\t%s file not found in the current directory", file_name.c_str());
        return 0;
    }
    // The date is taken before the text is read, so even an unusable file
    // dates the session page.
    log_date_of(ctx, file_name.c_str());

    if (!prepare_buffer(ctx)) {
        std::fclose(file);
        return 0;
    }

    // Read in large blocks straight into the free end of the buffer; the
    // filter then packs the kept bytes down in place.
    GameText& text = ctx.text;
    text.clear_text();
    char* buffer = text.buffer.get();
    while (text.length < LOG_BUFFER_SIZE) {
        std::size_t start = text.length;
        std::size_t got = std::fread(buffer + start, 1, LOG_BUFFER_SIZE - start, file);
        if (got == 0) break;
        text.length = start + platform_drop_zero_and_cr(buffer + start, got);
    }
    std::fclose(file);
    text.terminate();
    return locate_game(ctx, n);
}

int load_game_bytes(AnalysisContext& ctx, int n, std::string_view raw) {
    if (!prepare_buffer(ctx)) return 0;
    ctx.text.clear_text();
    ctx.text.append_raw(raw.data(), raw.size());
    ctx.text.terminate();
    return locate_game(ctx, n);
}

int locate_game(AnalysisContext& ctx, int n) {
    GameText& text = ctx.text;
    std::size_t start = text.find("info", 0);
    if (start == GameText::npos) {
        error_log_append("\tcan't identify logfile (no unreal tournament logfile?)");
        return 0;
    }
    std::size_t end_word = text.find("game_end", start + 1);
    if (end_word == GameText::npos) {
        error_log_append("\tnot enought memory for game (>512000 Signs)");
        return 0;
    }
    // Time stamps come from the file: keep their difference and the session
    // sum inside the int range whatever they say.
    ctx.game_info.duration = clamp_to_int(static_cast<long long>(text.line_time(end_word)) - text.line_time(start));

    std::size_t line_end = text.find_char('\n', end_word);
    if (line_end == GameText::npos) return 0;

    text.game_start = start;
    text.game_end = line_end;
    // Keep 7 characters of the following line and nothing after: a second
    // game in the same file is never seen.
    text.cut_at(line_end + 8);

    ctx.game_info.game_bytes = static_cast<int>(line_end - start);
    ctx.session_info.session_seconds =
        clamp_to_int(static_cast<long long>(ctx.session_info.session_seconds) + ctx.game_info.duration);
    ctx.session_info.game_count = n < 1 ? 1 : ctx.session_info.game_count + 1;
    return 1;
}
