#include "analyse_log.h"

#include <cstring>

#include "game_records.h"
#include "load_game.h"
#include "records.h"
#include "session.h"
#include "sha256.h"

namespace {

// The bytes of one log, read as the file would be.
class ViewInput final : public InputFile {
public:
    explicit ViewInput(std::string_view bytes) : bytes_(bytes) {}
    std::size_t read(char* data, std::size_t size) override {
        const std::size_t n = size < bytes_.size() - at_ ? size : bytes_.size() - at_;
        std::memcpy(data, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }
    bool failed() const override { return false; }
    void rewind() override { at_ = 0; }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

// Where error.log would go: the diagnostics of thousands of logs are not kept.
class DiscardedFile final : public OutputFile {
public:
    bool write(const char*, std::size_t) override { return true; }
    bool close() override { return true; }
};

// A folder that holds the one log being analysed, as "games.log", and keeps
// nothing written to it. The log has no file time here: the importer knows it.
class SingleLogFolder final : public FileSystem {
public:
    std::string_view bytes;

    std::unique_ptr<InputFile> open_read(const char* name, bool) override {
        if (std::strcmp(name, "games.log") != 0) return nullptr;
        return std::make_unique<ViewInput>(bytes);
    }
    std::unique_ptr<OutputFile> open_write(const char*, WriteMode) override {
        return std::make_unique<DiscardedFile>();
    }
    int write_time(const char*, std::time_t& when) override {
        when = 0;
        return 0;
    }
    int find_next(const char*, const char*, PlatformDirEntry&) override { return 0; }
    int rename_no_replace(const char*, const char*) override { return 0; }
    int remove_file(const char*) override { return 0; }
    std::unique_ptr<ScratchFile> open_scratch() override { return nullptr; }
};

LogVerdict verdict_of(LoadFailure why) {
    switch (why) {
        case LoadFailure::Unfinished: return LogVerdict::Unfinished;
        case LoadFailure::TooLong: return LogVerdict::TooLong;
        case LoadFailure::NoMemory: return LogVerdict::NoMemory;
        case LoadFailure::None:
        case LoadFailure::NotFound:
        case LoadFailure::Unreadable:
        case LoadFailure::NotAGameLog: break;
    }
    return LogVerdict::NotAStatLog;
}

// The kill and suicide lines the record counts, with their weapons as
// logged, in log order.
void copy_kills(const AnalysisContext& ctx, const PlayerEntries& entry, std::vector<LoggedKill>& kills) {
    kills.clear();
    const KillTable& kill_lines = ctx.kill_table;
    const SuicideTable& suicide_lines = ctx.suicide_table;
    std::size_t k = 0;
    std::size_t s = 0;
    while (k < kill_lines.size() || s < suicide_lines.size()) {
        const bool kill_first =
            s == suicide_lines.size() || (k < kill_lines.size() && kill_lines[k].at < suicide_lines[s].at);
        int killer = -1;
        int victim = -1;
        if (kill_first) {
            const KillRecord& kill = kill_lines[k++];
            if (counted_kill(ctx, entry, kill, killer, victim))
                kills.push_back(LoggedKill{kill.time, killer, victim, kill.weapon_text(ctx.text), kill.teamkill});
        } else {
            const SuicideRecord& suicide = suicide_lines[s++];
            if (counted_suicide(ctx, entry, suicide, killer))
                kills.push_back(LoggedKill{suicide.time, killer, killer, suicide.weapon_text(ctx.text), false});
        }
    }
}

// What a history keeps beside the record, from the analysis of the game.
void copy_analysis(const AnalysisContext& ctx, LoggedGame& game) {
    const GameInfo& info = ctx.game_info;
    game.title = info.title;
    game.server_name = info.server_name;
    game.mutators = info.mutators;
    game.start = info.logged_start;
    // Without a header time the page's date is the file's, which only the
    // importer knows.
    if (!game.start.known()) game.record.start = LocalTime{};

    const PlayerEntries entry = player_entries(ctx);
    const std::size_t players = game.record.players.size();
    game.player_teams.resize(players);
    game.seconds_in_game.assign(players, 0);
    for (std::size_t slot = 0; slot < entry.size(); ++slot) {
        if (entry[slot] < 0) continue;
        const auto shown = static_cast<std::size_t>(entry[slot]);
        game.player_teams[shown] = ctx.team_spells[slot];
        game.seconds_in_game[shown] = ctx.game_players[slot].seconds_in_game;
    }
    copy_kills(ctx, entry, game.kills);
}

}  // namespace

struct LogAnalyser::State {
    SingleLogFolder folder;
    NullOutput discard;
    AnalysisContext ctx{folder, discard, discard};
};

LogAnalyser::LogAnalyser() : state_(std::make_unique<State>()) {
    // The faces of the session page are never drawn here.
    state_->ctx.images_enabled = 0;
}

LogAnalyser::~LogAnalyser() = default;

LogVerdict LogAnalyser::analyse(std::string_view bytes, LoggedGame& game) {
    State& state = *state_;
    AnalysisContext& ctx = state.ctx;
    state.folder.bytes = bytes;
    init_session(ctx);
    LoadFailure why = LoadFailure::None;
    if (!load_game(ctx, 0, &why)) {
        // Any text with "info" in it passes for the start of a log; one
        // without a single info line (logconvert's error.log, whose notes
        // start "info:") is no unfinished game but no stat log at all.
        if (why == LoadFailure::Unfinished && !holds_info_line(ctx.text)) return LogVerdict::NotAStatLog;
        return verdict_of(why);
    }
    if (!analyse_loaded_game(ctx, &game.record)) return LogVerdict::NotReported;

    // The game's text as loaded, from its first "info" to the line feed of
    // its game_end line: what comes before (a byte-order mark, the first
    // line's time) and after (a second game) is not the game's.
    game.key = sha256_hex(ctx.text.game());
    copy_analysis(ctx, game);
    return LogVerdict::Game;
}
