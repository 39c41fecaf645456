#include "session.h"

#include <cstdio>
#include <cstring>

#include "accumulate_game.h"
#include "failure_report.h"
#include "game_header.h"
#include "game_records.h"
#include "game_report.h"
#include "game_statistics.h"
#include "html_version.h"
#include "int_range.h"
#include "load_game.h"
#include "pages.h"
#include "platform.h"
#include "program_info.h"
#include "read_gametype_events.h"
#include "read_item_pickups.h"
#include "read_kills.h"
#include "read_moments.h"
#include "register_players.h"
#include "session_bests.h"
#include "session_report.h"
#include "skins.h"
#include "time_players.h"

namespace {

bool is_switch(const char* arg, const char* a, const char* b) {
    return std::strcmp(arg, a) == 0 || std::strcmp(arg, b) == 0;
}

void print_usage(Output& out) {
    out.put(
        "usage: analyser [-ni | /ni | -v | /v | ? | /? | -h | --help | /h | --version]\n"
        "\n"
        "Run it in the folder that holds the game's logs. It reads games.log, games1.log,\n"
        "games2.log, ... up to the first log that is missing or unusable, and User.ini\n"
        "for the players' faces. It prints a report of every game, writes the session\n"
        "page velstra<date>.html and the games page velstra<date>-games.html, and\n"
        "appends its diagnostics to error.log.\n"
        "\n"
        "  -ni, /ni          no image tags in the session page; User.ini is not read\n"
        "  -v, /v, ?, /?     the credits only\n"
        "  -h, --help, /h    this text\n"
        "  --version         the version, in one line\n"
        "\n"
        "Exit codes: 0 the session was analysed; 1 games.log could not be loaded;\n"
        "2 a page could not be written.\n");
}

// The line on standard error when the session cannot start.
void report_no_session(FailureReport& failures, LoadFailure why) {
    if (why == LoadFailure::NotFound)
        failures.report(Failure::NoGamesLog,
                        "no games.log in this folder; run logconvert here first to give the logs the names analyser "
                        "reads (details in error.log)");
    else
        failures.report(Failure::GamesLogUnusable,
                        "games.log holds no complete game that analyser can read; put the log of a finished game "
                        "there (details in error.log)");
}

// What made game n unusable, said of its file.
const char* load_failure_text(LoadFailure why) {
    switch (why) {
        case LoadFailure::None:
        case LoadFailure::NotFound: return "is missing";
        case LoadFailure::Unreadable: return "cannot be read";
        case LoadFailure::NoMemory: return "cannot be loaded for want of memory";
        case LoadFailure::NotAGameLog: return "is not a stat log of the game";
        case LoadFailure::Unfinished: return "holds no complete game";
        case LoadFailure::TooLong: return "holds a game too long to read (more than 511,999 characters)";
    }
    return "cannot be loaded";
}

// The session ends at the first game that does not load. When numbered logs
// follow it, the user would lose them without a word: say which file ended
// the session and which logs, up to the next gap, were not read.
void report_early_end(AnalysisContext& ctx, int n, LoadFailure why) {
    int unread = 0;
    while (ctx.files->open_read(game_file_name(n + 1 + unread).c_str(), false)) ++unread;
    if (unread == 0) return;
    const char* cause = load_failure_text(why);
    const BoundedText<64> ended = game_file_name(n);
    const BoundedText<64> first = game_file_name(n + 1);
    if (unread == 1) {
        ctx.failures.report(Failure::SessionEndedEarly, "%s %s, so the session ends there; %s (1 log) was not read",
                            ended.c_str(), cause, first.c_str());
        return;
    }
    ctx.failures.report(Failure::SessionEndedEarly,
                        "%s %s, so the session ends there; %s to %s (%i logs) were not read", ended.c_str(), cause,
                        first.c_str(), game_file_name(n + unread).c_str(), unread);
}

// Said once, at the end of the run: error.log has a line for every game
// that met the full list.
void report_players_left_out(AnalysisContext& ctx) {
    // As an int: the Windows C library knows no "%zu".
    const int left_out = clamp_to_int(static_cast<long long>(ctx.players_left_out.size()));
    if (left_out == 0) return;
    ctx.failures.report(Failure::SessionPlayersLeftOut,
                        "the session holds at most %i players, so %i other player%s left out of its page and totals; "
                        "analyse fewer games at a time to see them all",
                        MAX_SESSION_PLAYERS, left_out, left_out == 1 ? " was" : "s were");
}

}  // namespace

void print_credits(Output& out) {
    out.print("Programm Version: %s.%s\n", VERSION_MAJOR, VERSION_MINOR);
    out.print("Included:\n");
    out.print("  Keshs tempra library version: %s\n", TEMPRA_VERSION);
    out.print("  Keshs HTML library version: %s\n", HTML_LIBRARY_VERSION);
    out.print("Compiler: %s\n", COMPILER_TEXT);
    out.print("Autor: %s\n", AUTHOR_HANDLE);
    out.print("e-mail: %s\n", AUTHOR_EMAIL);
    out.print("homepage:%s\n", AUTHOR_HOMEPAGE);
    out.print("\n");
}

int analyse_loaded_game(AnalysisContext& ctx, GameRecord* record) {
    reset_game(ctx);
    read_game_header(ctx);
    register_players(ctx);
    time_players(ctx);
    read_kills(ctx);
    read_item_pickups(ctx);
    if (!read_gametype_events(ctx)) return 0;
    read_moments(ctx);
    compute_game_statistics(ctx);
    print_game_report(ctx, ctx.log, *ctx.out);
    accumulate_game(ctx);
    SessionInfo& session = ctx.session_info;
    ++session.reported_games;
    session.reported_seconds = saturating_add(session.reported_seconds, ctx.game_info.duration);
    if (record != nullptr) fill_game_record(ctx, *record);
    return 1;
}

namespace {

int run_session(AnalysisContext& ctx, int argc, const char* const* argv) {
    if (argc > 1) {
        const char* arg = argv[1];
        if (std::strcmp(arg, "--version") == 0) {
            ctx.out->print("analyser (velstra) %s\n", VELSTRA_VERSION);
            return 0;
        }
        if (is_switch(arg, "-v", "/v") || is_switch(arg, "?", "/?")) {
            print_credits(*ctx.out);
            return 0;
        }
        if (is_switch(arg, "-h", "--help") || std::strcmp(arg, "/h") == 0) {
            print_credits(*ctx.out);
            print_usage(*ctx.out);
            return 0;
        }
        if (is_switch(arg, "-ni", "/ni")) {
            ctx.log.append("\tinfo: \"No Image\" Switch found, no IMG TAG will be created in analyse HTML");
            ctx.images_enabled = 0;
        }
    }
    const long long start = platform_clock_ms();
    ctx.log.banner("ANALYSE");
    init_session(ctx);

    LoadFailure why = LoadFailure::None;
    if (!load_game(ctx, 0, &why)) {
        ctx.text.buffer.reset();
        report_no_session(ctx.failures, why);
        return 1;
    }
    ctx.out->print("VELSTRA v%s.%s\n\n", VERSION_MAJOR, VERSION_MINOR);
    if (ctx.images_enabled) read_user_ini(ctx);

    const std::vector<std::unique_ptr<RecordPage>> pages = record_pages(*ctx.files, ctx.log, ctx.failures);
    GameRecord game;
    for (int n = 0;;) {
        if (analyse_loaded_game(ctx, &game))
            for (const std::unique_ptr<RecordPage>& page : pages) page->add(game);
        // The game's lines are on disk before the next game is read: a crash
        // costs at most the lines of the game it happens in.
        ctx.log.write_pending();
        ++n;
        if (!load_game(ctx, n, &why)) {
            report_early_end(ctx, n, why);
            break;
        }
    }

    compute_session_bests(ctx);
    rank_session(ctx);
    const Text date = session_date(ctx.session_info, ctx.now());
    const int page_written = write_html_report(session_summary(ctx), date, *ctx.files, ctx.log, ctx.failures);
    const SessionRecord session = session_record(ctx, date);
    int pages_written = 1;
    for (const std::unique_ptr<RecordPage>& page : pages) pages_written &= page->finish(session);
    ctx.text.buffer.reset();
    std::fflush(stdout);

    report_players_left_out(ctx);

    const long long elapsed = platform_clock_ms() - start;
    const double seconds = elapsed > 0 ? static_cast<double>(elapsed) * 0.001 : 0.0;
    ctx.log.appendf("Session analysed in %G seconds", seconds);
    return page_written && pages_written ? 0 : 2;
}

}  // namespace

int run_analyser(AnalysisContext& ctx, int argc, const char* const* argv) {
    const int exit_code = run_session(ctx, argc, argv);
    // However the run ends, all it logged is in error.log when it returns.
    ctx.log.write_pending();
    return exit_code;
}
