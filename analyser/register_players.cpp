#include "register_players.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "line_walker.h"
#include "skins.h"

namespace {

bool valid_id(int id) { return id >= 0 && id < MAXPLAYER; }

PlayerRecord& record_of(AnalysisContext& ctx, int id) { return ctx.game_players[static_cast<std::size_t>(id)]; }

void set_skin(AnalysisContext& ctx, PlayerRecord& player) {
    if (ctx.images_enabled)
        player.skin = find_skin(ctx, player.name.view());
    else
        player.skin = player.name;
}

void log_bad_id(AnalysisContext& ctx) { ctx.log.append("\t\tplayer ID > MAXPLAYER found can't add player to analyse"); }

std::uint32_t team_hash(std::string_view team) {
    std::uint32_t hash = 2166136261u;
    for (char c : team) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

// Pass 1: each iteration pairs a connect line with the next bot flag and
// skill lines after the cursor (and, in team games, the next team line).
// Names and teams longer than their fields keep their first 199 characters
// (team values are read as 255 first), and so do the logged lines.
void register_connects(AnalysisContext& ctx, AssaultTeams& assault) {
    const GameText& text = ctx.text;
    const bool team_game = is_team_game(ctx.game_info.game_type);
    constexpr LineWalker::Bound whole_text = LineWalker::Bound::TextEnd;
    LineWalker teamchanges(text, Event::Teamchange, text.game_start, whole_text);
    LineWalker connects(text, Event::Connect, text.game_start, whole_text);
    LineWalker bot_flags(text, Event::IsABot, text.game_start, whole_text);
    LineWalker skills(text, Event::Skill, text.game_start, whole_text);
    std::size_t cursor = text.game_start;
    while (cursor < text.game_end) {
        int id = 0;
        std::string_view value;
        if (team_game) {
            // The id is checked before the team value is read.
            if (!teamchanges.next_from(cursor) || !teamchanges.number('\t', id)) return;
            if (!valid_id(id)) {
                log_bad_id(ctx);
                return;
            }
            if (!teamchanges.field('\n', value)) return;
            record_of(ctx, id).team = assault_team(ctx, assault, value);
        }

        std::string_view name;
        if (!connects.next_from(cursor) || !connects.field('\t', name) || !connects.number('\t', id)) return;
        if (!valid_id(id)) {
            log_bad_id(ctx);
            return;
        }
        PlayerRecord& player = record_of(ctx, id);
        ctx.player_by_id[static_cast<std::size_t>(id)] = id;
        ctx.player_lines.push_back(PlayerLine{connects.match(), id, PlayerLine::Kind::Connect, {}});
        player.name = name;
        player.connected = 1;
        player.slot = id;
        set_skin(ctx, player);

        // The bot flag and the skill name an id of their own, which is not read.
        if (!bot_flags.next_from(cursor) || !bot_flags.field('\t', value) || !bot_flags.field('\n', value)) return;
        player.is_human = value.substr(0, 4) == "True" ? Species::Bot : Species::Human;

        if (!skills.next_from(cursor) || !skills.field('\t', value) || !skills.field('\n', value)) return;
        if (value.find('.') == std::string_view::npos) return;
        player.skill = parse_int(value);
        player.handicap = 100;
        cursor = skills.cursor();
    }
}

// Pass 2: the last team line of an id decides its team.
void register_team_changes(AnalysisContext& ctx, AssaultTeams& assault) {
    LineWalker lines(ctx.text, Event::Teamchange, ctx.text.game_start, LineWalker::Bound::GameEnd);
    int id = 0;
    std::string_view value;
    while (lines.next() && lines.number('\t', id) && lines.field('\n', value)) {
        if (!valid_id(id)) continue;
        const std::string_view team = assault_team(ctx, assault, value);
        record_of(ctx, id).team = team;
        ctx.player_lines.push_back(PlayerLine{lines.match(), id, PlayerLine::Kind::Team, team});
    }
}

// Pass 3: renames.
void register_renames(AnalysisContext& ctx) {
    LineWalker lines(ctx.text, Event::Rename, ctx.text.game_start, LineWalker::Bound::GameEnd);
    std::string_view new_name;
    int id = 0;
    while (lines.next() && lines.field('\t', new_name) && lines.number('\t', id)) {
        Text renamed(new_name);
        if (valid_id(id) && !(record_of(ctx, id).name == renamed)) {
            PlayerRecord& player = record_of(ctx, id);
            ctx.log.appendf("\t\tinfo: Player %s to %s renamed", player.name.c_str(), renamed.c_str());
            player.name = renamed;
            set_skin(ctx, player);
        }
    }
}

// Pass 4: disconnects.
void register_disconnects(AnalysisContext& ctx) {
    LineWalker lines(ctx.text, Event::Disconnect, ctx.text.game_start, LineWalker::Bound::GameEnd);
    int id = 0;
    while (lines.next() && lines.number('\n', id)) {
        if (!valid_id(id)) continue;
        record_of(ctx, id).connected = 0;
        ctx.player_lines.push_back(PlayerLine{lines.match(), id, PlayerLine::Kind::Disconnect, {}});
    }
}

// A record that the connect pass did not register belongs to no player: a
// spectator, who shows in the log only by his rename and team lines, or an
// id whose connect line the pass never reached. It is not reported, not
// ranked, not added to the session, and not taken for a player come back.
void forget_unregistered(AnalysisContext& ctx) {
    for (PlayerRecord& record : ctx.game_players)
        if (record.slot < 0) record.name.clear();
}

// Pass 5: two connected players of one name are told apart; otherwise the
// later id is the earlier player come back.
void resolve_equal_names(AnalysisContext& ctx) {
    for (int i = 0; i < MAXPLAYER; ++i) {
        for (int k = i + 1; k < MAXPLAYER; ++k) {
            PlayerRecord& first = record_of(ctx, i);
            PlayerRecord& later = record_of(ctx, k);
            if (first.name.empty() || later.name.empty() || !(first.name == later.name)) continue;
            if (first.connected == 1 && later.connected == 1) {
                Text extended;
                extended.format("%s_%i", first.name.c_str(), i);
                first.name = extended;
                ctx.log.append("\t\twarning: two player with same name");
            } else {
                ctx.player_by_id[static_cast<std::size_t>(k)] = i;
                ctx.log.appendf("\t\tinfo: Player %s re-entered", first.name.c_str());
                later.name.clear();
            }
        }
    }
}

}  // namespace

bool AssaultTeams::names(Event kind, const Field& team) {
    if (line_at_.empty()) build();
    const std::string_view pattern = event_pattern(kind);
    std::size_t slot = team_hash(team.view()) & mask_;
    for (; line_at_[slot] != EMPTY; slot = (slot + 1) & mask_) {
        const std::size_t found = line_at_[slot];
        std::string_view value;
        std::size_t line_end = 0;
        if (text_.view().substr(found, pattern.size()) == pattern &&
            text_.field(found + pattern.size(), '\n', value, line_end) && Field(value) == team)
            return true;
    }
    return false;
}

// Takes the lines of one kind in the order a search from the game's start
// meets them (each search going on after the line it read). Team values are
// cut as every team value is; a line without a line end, and any after it,
// names no team.
template <typename Take>
void AssaultTeams::walk(Event kind, Take take) const {
    LineWalker lines(text_, kind, text_.game_start, LineWalker::Bound::TextEnd);
    std::string_view value;
    while (lines.next() && lines.field('\n', value)) take(lines.match(), Field(value).view());
}

void AssaultTeams::build() {
    std::size_t count = 0;
    auto counted = [&](std::size_t, std::string_view) { ++count; };
    walk(Event::AssaultAttacker, counted);
    walk(Event::AssaultDefender, counted);
    line_at_.assign(std::bit_ceil(2 * count + 2), EMPTY);
    mask_ = line_at_.size() - 1;
    auto insert = [&](std::size_t position, std::string_view value) {
        std::size_t slot = team_hash(value) & mask_;
        while (line_at_[slot] != EMPTY) slot = (slot + 1) & mask_;
        line_at_[slot] = static_cast<std::uint32_t>(position);
    };
    walk(Event::AssaultAttacker, insert);
    walk(Event::AssaultDefender, insert);
}

std::string_view assault_team(AnalysisContext& ctx, AssaultTeams& assault, std::string_view value) {
    // A team value is read as a Field: the text has no zero byte, so its
    // first 255 characters.
    const std::string_view as_logged = value.substr(0, Field::max_length);
    if (ctx.game_info.game_type != GameType::Assault) return as_logged;
    const Field team(as_logged);
    if (assault.names(Event::AssaultAttacker, team)) return "attacker";
    if (assault.names(Event::AssaultDefender, team)) return "defender";
    ctx.log.append("\t\tcan not identify team membership");
    return as_logged;
}

int register_players(AnalysisContext& ctx) {
    AssaultTeams assault(ctx.text);
    register_connects(ctx, assault);
    if (is_team_game(ctx.game_info.game_type)) register_team_changes(ctx, assault);
    register_renames(ctx);
    register_disconnects(ctx);
    forget_unregistered(ctx);
    resolve_equal_names(ctx);
    // Each kind was read in log order; the passes that follow the players
    // read them together.
    std::sort(ctx.player_lines.begin(), ctx.player_lines.end(),
              [](const PlayerLine& a, const PlayerLine& b) { return a.at < b.at; });
    return 1;
}
