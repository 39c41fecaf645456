#include "read_moments.h"

#include <algorithm>
#include <array>

#include "line_walker.h"

namespace {

// Where the line that holds position starts, or npos when no line feed
// stands within 32 characters before it.
std::size_t line_start(const GameText& text, std::size_t position) {
    const char* const buffer = text.buffer.get();
    const std::size_t last = std::min(position, text.length);
    for (std::size_t back = 1; back <= 32 && back <= last; ++back)
        if (buffer[last - back] == '\n') return last - back + 1;
    return GameText::npos;
}

// A kill's time in thousandths of a second ("12.34" is 12340): whole
// seconds are too coarse for a chain of kills. The record keeps the whole
// seconds; the fraction stands just before the tab ahead of the event word
// ("kill" or "teamkill").
long long kill_millis(const GameText& text, const KillRecord& kill) {
    const char* const buffer = text.buffer.get();
    const std::size_t tab = kill.at >= 1 && buffer[kill.at - 1] == '\t' ? kill.at - 1 : kill.at >= 5 ? kill.at - 5 : 0;
    long long part = 0;
    for (std::size_t back = 1; back <= 4 && back <= tab; ++back) {
        const char c = buffer[tab - back];
        if (c == '.') {
            int digits = 0;
            for (const char* at = buffer + tab - back + 1; digits < 3 && *at >= '0' && *at <= '9'; ++digits)
                part = part * 10 + (*at++ - '0');
            for (; digits < 3; ++digits) part *= 10;
            break;
        }
        if (c < '0' || c > '9') break;
    }
    return kill.time * 1000LL + part;
}

// The time stamp of a line as written, up to its tab.
std::string_view stamp(const GameText& text, std::size_t start) {
    const std::string_view rest = text.view().substr(start, 24);
    return rest.substr(0, rest.find('\t'));
}

// Whether a flag_dropped line of the victim stands among the lines just
// before the kill line that share its time stamp: the victim carried a flag
// when he died.
bool carrier_killed(const GameText& text, std::size_t kill_line, int victim) {
    const std::string_view time = stamp(text, kill_line);
    std::size_t line = kill_line;
    for (int looked = 0; looked < 8 && line >= 2; ++looked) {
        line = line_start(text, line - 1);
        if (line == GameText::npos || stamp(text, line) != time) return false;
        std::string_view rest = text.view().substr(line + time.size(), 40);
        const std::string_view dropped = "\tflag_dropped\t";
        if (rest.substr(0, dropped.size()) == dropped) {
            rest.remove_prefix(dropped.size());
            if (parse_int(rest) == victim && !rest.empty() && rest[0] >= '0' && rest[0] <= '9') return true;
        }
    }
    return false;
}

// What is open of one logged id: the kills of his spree, and of his chain
// with the time of its last kill.
struct Run {
    int spree = 0;
    int chain = 0;
    long long last_kill = 0;
};

class Moments {
public:
    explicit Moments(AnalysisContext& ctx) : ctx_(ctx) {
        for (int id = 0; id < MAXPLAYER; ++id) record_[static_cast<std::size_t>(id)] = ctx.player_for_id(id);
    }

    // The record of a logged id 0 to 15, or nullptr.
    PlayerRecord* record(int id) const { return record_[static_cast<std::size_t>(id)]; }

    void end_spree(int id) {
        Run& run = runs_[static_cast<std::size_t>(id)];
        const int level = spree_level(run.spree);
        if (PlayerRecord* p = record(id); p != nullptr && level >= 0)
            ++p->moments.sprees[static_cast<std::size_t>(level)];
        run.spree = 0;
    }

    void end_chain(int id) {
        Run& run = runs_[static_cast<std::size_t>(id)];
        const int level = multi_level(run.chain);
        if (PlayerRecord* p = record(id); p != nullptr && level >= 0)
            ++p->moments.multis[static_cast<std::size_t>(level)];
        run.chain = 0;
    }

    void leave(int id) {
        end_spree(id);
        end_chain(id);
    }

    void kill(const KillRecord& kill) {
        const bool killer_valid = kill.killer >= 0 && kill.killer < MAXPLAYER;
        const bool victim_valid = kill.victim >= 0 && kill.victim < MAXPLAYER;
        if (!victim_valid || kill.killer == kill.victim) return;  // a suicide ends nothing
        end_spree(kill.victim);
        if (!killer_valid || kill.teamkill || record(kill.victim) == nullptr) return;
        PlayerRecord* killer = record(kill.killer);
        if (!first_blood_) {
            first_blood_ = true;
            if (killer != nullptr) ++killer->moments.first_blood;
        }
        Run& run = runs_[static_cast<std::size_t>(kill.killer)];
        const long long now = kill_millis(ctx_.text, kill);
        if (run.chain > 0 && now - run.last_kill < 3000)
            ++run.chain;
        else {
            end_chain(kill.killer);
            run.chain = 1;
        }
        run.last_kill = now;
        ++run.spree;
        if (killer == nullptr) return;
        killer->moments.best_spree = std::max(killer->moments.best_spree, run.spree);
        if (!flags_) return;
        const std::size_t line = line_start(ctx_.text, kill.at);
        if (line != GameText::npos && carrier_killed(ctx_.text, line, kill.victim)) ++killer->moments.carrier_kills;
    }

    void end_game() {
        for (int id = 0; id < MAXPLAYER; ++id) leave(id);
    }

    bool flags_ = false;

private:
    AnalysisContext& ctx_;
    std::array<Run, MAXPLAYER> runs_{};
    std::array<PlayerRecord*, MAXPLAYER> record_{};
    bool first_blood_ = false;
};

// Counts every line of a flag event for the player it names.
void count_flag_lines(AnalysisContext& ctx, Event event, int PlayerMoments::*counter) {
    LineWalker lines(ctx.text, event, ctx.text.game_start, LineWalker::Bound::TextEnd);
    int id = 0;
    while (lines.next() && lines.number('\t', id)) {
        if (PlayerRecord* p = ctx.player_for_id(id)) ++(p->moments.*counter);
        lines.continue_after_delimiter();
    }
}

// The add-on's lines summed by record and weapon, in the order the log
// first names each pair; pairs without a shot and a hit are dropped.
void gather_accuracy(AnalysisContext& ctx) {
    std::vector<AccuracySum>& rows = ctx.accuracy;
    rows.clear();
    // The row of each record and weapon entry, made on first use.
    std::vector<std::array<int, MAXPLAYER>> row_of(ctx.accuracy_weapons.size());
    for (auto& slots : row_of) slots.fill(-1);
    for (const AccuracyLine& line : ctx.accuracy_lines) {
        const PlayerRecord* p = ctx.player_for_id(line.id);
        if (p == nullptr) continue;
        const int slot = static_cast<int>(p - ctx.game_players.data());
        int& index = row_of[line.weapon][static_cast<std::size_t>(slot)];
        if (index < 0) {
            index = static_cast<int>(rows.size());
            rows.push_back(AccuracySum{slot, line.weapon, 0, 0, 0});
        }
        AccuracySum* const row = &rows[static_cast<std::size_t>(index)];
        int& sum = line.kind == AccuracyLine::Kind::Shots  ? row->shots
                   : line.kind == AccuracyLine::Kind::Hits ? row->hits
                                                           : row->damage;
        sum = saturating_add(sum, line.value);
    }
    rows.erase(
        std::remove_if(rows.begin(), rows.end(), [](const AccuracySum& r) { return r.shots == 0 && r.hits == 0; }),
        rows.end());
}

}  // namespace

void read_moments(AnalysisContext& ctx) {
    Moments moments(ctx);
    const bool flags = ctx.game_info.game_type == GameType::CaptureTheFlag;
    moments.flags_ = flags;

    // The kills and the leaving players in log order.
    std::size_t k = 0;
    for (const PlayerLine& line : ctx.player_lines) {
        if (line.kind != PlayerLine::Kind::Disconnect) continue;
        for (; k < ctx.kill_table.size() && ctx.kill_table[k].at < line.at; ++k) moments.kill(ctx.kill_table[k]);
        moments.leave(line.id);
    }
    for (; k < ctx.kill_table.size(); ++k) moments.kill(ctx.kill_table[k]);
    moments.end_game();

    if (flags) {
        count_flag_lines(ctx, Event::FlagTaken, &PlayerMoments::flags_taken);
        count_flag_lines(ctx, Event::FlagPickedup, &PlayerMoments::flags_picked_up);
        count_flag_lines(ctx, Event::FlagDropped, &PlayerMoments::flags_dropped);
        for (PlayerRecord& p : ctx.game_players) {
            p.moments.flags_captured = p.flags_captured;
            p.moments.flags_returned = p.flags_returned;
        }
    }
    gather_accuracy(ctx);
}
