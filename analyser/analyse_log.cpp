#include "analyse_log.h"

#include <algorithm>
#include <cstring>

#include "line_walker.h"
#include "load_game.h"
#include "records.h"
#include "register_players.h"
#include "session.h"
#include "sha256.h"
#include "text_scan.h"

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

// A run of digits (at most max_digits) followed by '.', taken off the front
// of value.
bool take_number(std::string_view& value, std::size_t max_digits, int& number) {
    std::size_t digits = 0;
    while (digits < value.size() && digits < max_digits && value[digits] >= '0' && value[digits] <= '9') ++digits;
    if (digits == 0 || digits == value.size() || value[digits] != '.') return false;
    number = parse_int(value.substr(0, digits));
    value.remove_prefix(digits + 1);
    return true;
}

// "+5.5", "-4.0", "0.0": hours from UTC, as minutes rounded to the nearest.
bool utc_offset_minutes(std::string_view value, int& minutes) {
    bool negative = false;
    if (!value.empty() && (value[0] == '+' || value[0] == '-')) {
        negative = value[0] == '-';
        value.remove_prefix(1);
    }
    // Hours as a fraction: whole hours, then up to six decimals over their scale.
    long long units = 0;
    long long scale = 1;
    std::size_t k = 0;
    for (; k < value.size() && k < 3 && value[k] >= '0' && value[k] <= '9'; ++k) units = units * 10 + (value[k] - '0');
    if (k == 0) return false;
    if (k < value.size() && value[k] == '.') {
        for (++k; k < value.size() && value[k] >= '0' && value[k] <= '9'; ++k) {
            if (scale == 1000000) continue;
            units = units * 10 + (value[k] - '0');
            scale *= 10;
        }
    }
    if (k != value.size() || units > 16 * scale) return false;
    minutes = static_cast<int>((units * 60 + scale / 2) / scale) * (negative ? -1 : 1);
    return true;
}

// "2011.03.27.21.47.25.833.-4.0": the server's local date and time, the
// milliseconds, then the offset from UTC in hours. The date, hour and minute
// are read exactly as the games page reads them, so the two never disagree
// on whether a game has a start; seconds and offset are only added when
// they can be read.
StartTime start_time(std::string_view value) {
    int parts[5] = {};
    for (int& part : parts)
        if (!take_number(value, 4, part)) return {};
    const LocalTime local = local_time(parts[0], parts[1], parts[2], parts[3], parts[4]);
    if (!local.known()) return {};
    StartTime start;
    start.year = local.year;
    start.month = local.month;
    start.day = local.day;
    start.hour = local.hour;
    start.minute = local.minute;
    // The seconds may end the value; a clock's may reach 60 on a leap second.
    int second = 0;
    int millis = 0;
    std::string_view rest = value;
    if (!take_number(rest, 2, second)) {
        if (rest.empty() || rest.size() > 2 || rest.find_first_not_of("0123456789") != std::string_view::npos)
            return start;
        second = parse_int(rest);
        rest = {};
    }
    if (second > 60) return start;
    start.second = second;
    if (take_number(rest, 4, millis)) start.offset_known = utc_offset_minutes(rest, start.utc_offset_minutes);
    return start;
}

// The header of the game: its text from the first "info" to the start of
// play (or, in a game that never started, to its end). A game's text is
// mostly play, which is not searched.
class HeaderLines {
public:
    explicit HeaderLines(const GameText& text) : text_(text) {
        const std::size_t play = text.find("game_start", text.game_start);
        end_ = play < text.game_end ? play : text.game_end;
    }

    // Calls each(value) with the value (to its line end) of every line of the
    // header whose fields hold pattern ("map\tTitle\t") after a tab.
    // each returns whether to go on.
    template <typename Each>
    void each_value(std::string_view pattern, Each each) const {
        for (std::size_t at = find(pattern, text_.game_start); at != GameText::npos; at = find(pattern, at + 1)) {
            if (at != text_.game_start && text_.at(at - 1) != '\t') continue;
            const std::size_t from = at + pattern.size();
            const std::size_t end = text_.find_char('\n', from);
            if (!each(text_.view().substr(from, end - from))) return;
        }
    }

    std::string_view first_value(std::string_view pattern) const {
        std::string_view found;
        each_value(pattern, [&](std::string_view value) {
            found = value;
            return false;
        });
        return found;
    }

private:
    // The first match that starts in the header.
    std::size_t find(std::string_view pattern, std::size_t from) const {
        const std::size_t end = std::min(end_ + pattern.size() - 1, text_.length);
        if (from >= end) return GameText::npos;
        const char* found = find_text(text_.buffer.get() + from, end - from, pattern.data(), pattern.size());
        return found == nullptr ? GameText::npos : static_cast<std::size_t>(found - text_.buffer.get());
    }

    const GameText& text_;
    std::size_t end_ = 0;
};

// The whole second of the line that holds position. The pattern of a team
// line stands too far into a line of a long game for GameText::line_time.
int time_of_line(const GameText& text, std::size_t position) {
    const std::size_t line_feed = text.view().substr(0, position).rfind('\n');
    return line_feed == std::string_view::npos ? -1 : parse_int(text.view().substr(line_feed + 1));
}

// The tab-separated fields of a line.
std::string_view next_field(std::string_view& rest) {
    const std::size_t tab = rest.find('\t');
    const std::string_view field = rest.substr(0, tab);
    rest.remove_prefix(tab == std::string_view::npos ? rest.size() : tab + 1);
    return field;
}

}  // namespace

struct LogAnalyser::State {
    SingleLogFolder folder;
    NullOutput discard;
    AnalysisContext ctx{folder, discard, discard};
    // The entry among the record's players of each game slot, or -1.
    std::array<int, MAXPLAYER> entry{};

    // Kill and suicide lines with where they stand, merged into log order.
    struct Found {
        std::size_t at;
        LoggedKill kill;
    };
    std::vector<Found> kill_lines;
    std::vector<Found> suicide_lines;
    // Team and disconnect lines, merged into log order.
    struct PlayerLine {
        std::size_t at = 0;
        int id = 0;
        std::string_view team;
    };
    std::vector<PlayerLine> team_lines;
    std::vector<PlayerLine> disconnect_lines;

    int entry_of_id(int id) {
        const PlayerRecord* player = ctx.player_for_id(id);
        return player == nullptr ? -1 : entry[static_cast<std::size_t>(player - ctx.game_players.data())];
    }

    void map_entries(const GameRecord& record);
    void read_header_values(LoggedGame& game);
    void read_team_spells(LoggedGame& game);
    void read_kills(LoggedGame& game);
};

// The record's players are the game slots in the order of their places, up
// to the first without a name: the order game_record takes them in.
void LogAnalyser::State::map_entries(const GameRecord& record) {
    entry.fill(-1);
    std::size_t shown = 0;
    for (int slot : ctx.game_order) {
        if (shown == record.players.size() || ctx.game_players[static_cast<std::size_t>(slot)].name.empty()) break;
        entry[static_cast<std::size_t>(slot)] = static_cast<int>(shown++);
    }
}

void LogAnalyser::State::read_header_values(LoggedGame& game) {
    const HeaderLines lines(ctx.text);
    game.title = lines.first_value("map\tTitle\t");
    game.server_name = lines.first_value("info\tServer_ServerName\t");
    game.mutators.clear();
    lines.each_value("game\tGameMutator\t", [&](std::string_view value) {
        game.mutators.emplace_back(value);
        return true;
    });
    // Found as the analysis finds it, so both agree on whether there is one.
    const GameText& text = ctx.text;
    constexpr std::string_view key = "\tAbsolute_Time\t";
    const std::size_t found = text.find(key, text.game_start);
    game.start = StartTime{};
    if (found != GameText::npos && found < text.game_end) {
        const std::string_view value = text.view().substr(found + key.size());
        game.start = start_time(value.substr(0, value.find('\n')));
    }
}

// A player's time on each team, from the team lines of his ids, read as the
// game's clock gives them in whole seconds (as the game's length is):
// - a team line starts a spell on its team: before the start of play, at the
//   game's start (so a player there from the first to the last second is on
//   his team for the game's length), else at its time;
// - the spell ends at the id's next team line, its disconnect, or the game's
//   end;
// - the spells on one team are summed, teams in the order he first joined
//   them. An id that comes back under the same name adds to his first id.
// Games without teams read no team lines: the lists stay empty.
void LogAnalyser::State::read_team_spells(LoggedGame& game) {
    game.player_teams.resize(game.record.players.size());
    for (std::vector<TeamSpell>& spells : game.player_teams) spells.clear();
    if (!is_team_game(ctx.game_info.game_type)) return;

    const GameText& text = ctx.text;
    const int game_start_time = text.line_time(text.game_start);
    const int game_end_time = saturating_add(game_start_time, ctx.game_info.duration);
    const std::size_t play_start = text.find("game_start", text.game_start);

    struct Open {
        bool on = false;
        int since = 0;
        Field team;
    };
    std::array<Open, MAXPLAYER> open{};
    auto close = [&](int id, int at) {
        Open& spell = open[static_cast<std::size_t>(id)];
        if (!spell.on) return;
        spell.on = false;
        const int shown = entry_of_id(id);
        if (shown < 0) return;
        const int seconds = std::max(0, std::min(at, game_end_time) - spell.since);
        std::vector<TeamSpell>& spells = game.player_teams[static_cast<std::size_t>(shown)];
        for (TeamSpell& known : spells) {
            if (known.team == spell.team.view()) {
                known.seconds = saturating_add(known.seconds, seconds);
                return;
            }
        }
        spells.push_back(TeamSpell{Text(spell.team.view()), seconds});
    };

    // The team and disconnect lines as the analysis reads them, in log order.
    team_lines.clear();
    disconnect_lines.clear();
    LineWalker teams(text, Event::Teamchange, text.game_start, LineWalker::Bound::GameEnd);
    PlayerLine line;
    while (teams.next() && teams.number('\t', line.id) && teams.field('\n', line.team)) {
        line.at = teams.match();
        team_lines.push_back(line);
    }
    LineWalker disconnects(text, Event::Disconnect, text.game_start, LineWalker::Bound::GameEnd);
    line.team = {};
    while (disconnects.next() && disconnects.number('\n', line.id)) {
        line.at = disconnects.match();
        disconnect_lines.push_back(line);
    }

    AssaultTeams assault(text);
    std::size_t t = 0;
    std::size_t d = 0;
    while (t < team_lines.size() || d < disconnect_lines.size()) {
        const bool team_line =
            d == disconnect_lines.size() || (t < team_lines.size() && team_lines[t].at < disconnect_lines[d].at);
        const PlayerLine& next = team_line ? team_lines[t++] : disconnect_lines[d++];
        if (next.id < 0 || next.id >= MAXPLAYER) continue;
        int time = time_of_line(text, next.at);
        if (play_start == GameText::npos || next.at < play_start) time = game_start_time;
        time = std::max(time, game_start_time);
        close(next.id, time);
        if (!team_line) continue;
        Open& spell = open[static_cast<std::size_t>(next.id)];
        spell.on = true;
        spell.since = time;
        spell.team = assault_team(ctx, assault, next.team);
    }
    for (int id = 0; id < MAXPLAYER; ++id) close(id, game_end_time);
}

// The kill and suicide lines exactly as the analysis reads them, so the list
// holds the kills its figures count: kills from the start of play to the
// game's end, suicides from the header on, at most MAX_KILLS of each.
// A suicide names what killed him as the game logs its damage ("Fell",
// "Suicided", "RedeemerDeath"), or the weapon he held where no damage is
// given. Kills by a player not shown are left out; a victim not shown is -1.
void LogAnalyser::State::read_kills(LoggedGame& game) {
    const GameText& text = ctx.text;
    kill_lines.clear();
    suicide_lines.clear();

    LineWalker suicides(text, Event::Suicide, text.game_start, LineWalker::Bound::TextEnd);
    int id = 0;
    for (std::size_t read = 0;
         read < static_cast<std::size_t>(MAX_KILLS) && suicides.next() && suicides.number('\t', id); ++read) {
        const std::size_t at = suicides.match();
        const std::size_t from = suicides.cursor() + 1;
        suicides.continue_after_delimiter();
        const int shown = entry_of_id(id);
        if (shown < 0) continue;
        std::string_view rest = text.view().substr(from, text.find_char('\n', from) - from);
        const std::string_view held = next_field(rest);
        const std::string_view damage = next_field(rest);
        suicide_lines.push_back(Found{at, LoggedKill{text.line_time(at), shown, shown,
                                                     Text(Field(damage.empty() ? held : damage).view()), false}});
    }

    const std::size_t play_start = text.find("game_start", text.game_start);
    if (play_start != GameText::npos) {
        const bool teams_kill_each_other =
            ctx.game_info.game_type != GameType::DeathMatch && ctx.game_info.game_type != GameType::LastManStanding;
        LineWalker lines(text, Event::Kill, play_start, LineWalker::Bound::GameEnd);
        std::size_t read = 0;
        while (read < static_cast<std::size_t>(MAX_KILLS) && lines.next()) {
            const std::size_t found = lines.match();
            const bool kill_word = found >= 1 && text.at(found - 1) == '\t';
            const bool teamkill_word = found >= 5 && text.view().substr(found - 5, 5) == "\tteam";
            if (!kill_word && !teamkill_word) {
                lines.pass_over();
                continue;
            }
            ++read;
            int killer = 0;
            int victim = 0;
            std::string_view weapon;
            if (!lines.number('\t', killer) || !lines.field('\t', weapon) || !lines.number('\t', victim)) break;
            const int shown = entry_of_id(killer);
            if (shown < 0) continue;
            kill_lines.push_back(
                Found{found, LoggedKill{text.line_time(found), shown, entry_of_id(victim), Text(Field(weapon).view()),
                                        teamkill_word && teams_kill_each_other}});
        }
    }

    game.kills.clear();
    std::size_t k = 0;
    std::size_t s = 0;
    while (k < kill_lines.size() || s < suicide_lines.size()) {
        const bool kill_first =
            s == suicide_lines.size() || (k < kill_lines.size() && kill_lines[k].at < suicide_lines[s].at);
        game.kills.push_back(kill_first ? kill_lines[k++].kill : suicide_lines[s++].kill);
    }
}

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
        if (why == LoadFailure::Unfinished && ctx.text.view().find("\tinfo\t") == std::string_view::npos)
            return LogVerdict::NotAStatLog;
        return verdict_of(why);
    }
    if (!analyse_loaded_game(ctx, &game.record)) return LogVerdict::NotReported;

    // The game's text as loaded, from its first "info" to the line feed of
    // its game_end line: what comes before (a byte-order mark, the first
    // line's time) and after (a second game) is not the game's.
    const GameText& text = ctx.text;
    game.key = sha256_hex(text.view().substr(text.game_start, text.game_end + 1 - text.game_start));

    state.map_entries(game.record);
    state.read_header_values(game);
    // Without a header time the page's date is the file's, which only the
    // importer knows.
    if (!game.start.known()) game.record.start = LocalTime{};
    state.read_team_spells(game);
    state.read_kills(game);
    return LogVerdict::Game;
}
