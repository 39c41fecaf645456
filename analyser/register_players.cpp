#include "register_players.h"

#include <cstdint>

#include "skins.h"

namespace {

constexpr std::string_view CONNECT = "player\tConnect\t";
constexpr std::string_view IS_A_BOT = "player\tIsABot\t";
constexpr std::string_view SKILL = "player\tSkill\t";
constexpr std::string_view TEAMCHANGE = "Teamchange\t";
constexpr std::string_view RENAME = "player\tRename\t";
constexpr std::string_view DISCONNECT = "player\tDisconnect\t";

bool valid_id(int id) { return id >= 0 && id < MAXPLAYER; }

PlayerRecord& record_of(AnalysisContext& ctx, int id) { return ctx.game_players[static_cast<std::size_t>(id)]; }

void set_skin(AnalysisContext& ctx, PlayerRecord& player) {
    if (ctx.images_enabled)
        player.skin = find_skin(ctx, player.name.view());
    else
        player.skin = player.name;
}

// A "Teamchange\t" line at found: its id and its team value. Returns false
// when a delimiter is missing.
bool read_team_line(const GameText& text, std::size_t found, int& id, std::string_view& team, std::size_t& line_end) {
    std::string_view field;
    std::size_t tab = 0;
    if (!text.field(found + TEAMCHANGE.size(), '\t', field, tab)) return false;
    id = parse_int(field);
    return text.field(tab + 1, '\n', team, line_end);
}

void log_bad_id(AnalysisContext& ctx) { ctx.log.append("\t\tplayer ID > MAXPLAYER found can't add player to analyse"); }

// Pass 1: each iteration pairs a connect line with the next bot flag and
// skill lines after the cursor (and, in team games, the next team line).
// Names and teams longer than their fields keep their first 199 characters
// (team values are read as 255 first), and so do the logged lines.
void register_connects(AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    const bool team_game = is_team_game(ctx.game_info.game_type);
    PatternFinder teamchanges(TEAMCHANGE), connects(CONNECT), bot_flags(IS_A_BOT), skills(SKILL);
    std::size_t cursor = text.game_start;
    while (cursor < text.game_end) {
        if (team_game) {
            std::size_t found = teamchanges.find(text, cursor);
            if (found == GameText::npos) return;
            // The id is checked before the team value is read.
            std::string_view field, team;
            std::size_t tab = 0, line_end = 0;
            if (!text.field(found + TEAMCHANGE.size(), '\t', field, tab)) return;
            const int id = parse_int(field);
            if (!valid_id(id)) {
                log_bad_id(ctx);
                return;
            }
            if (!text.field(tab + 1, '\n', team, line_end)) return;
            record_of(ctx, id).team = assault_team(ctx, team).view();
        }

        std::size_t found = connects.find(text, cursor);
        if (found == GameText::npos) return;
        std::string_view name, field;
        std::size_t tab = 0;
        if (!text.field(found + CONNECT.size(), '\t', name, tab)) return;
        if (!text.field(tab + 1, '\t', field, tab)) return;
        int id = parse_int(field);
        if (!valid_id(id)) {
            log_bad_id(ctx);
            return;
        }
        PlayerRecord& player = record_of(ctx, id);
        ctx.player_by_id[static_cast<std::size_t>(id)] = id;
        player.name = name;
        player.connected = 1;
        player.slot = id;
        set_skin(ctx, player);

        std::size_t line_end = 0;
        std::string_view value;
        found = bot_flags.find(text, cursor);
        if (found == GameText::npos) return;
        if (!text.field(found + IS_A_BOT.size(), '\t', field, tab)) return;
        if (!text.field(tab + 1, '\n', value, line_end)) return;
        player.is_human = value.substr(0, 4) == "True" ? 0 : 1;

        found = skills.find(text, cursor);
        if (found == GameText::npos) return;
        if (!text.field(found + SKILL.size(), '\t', field, tab)) return;
        if (!text.field(tab + 1, '\n', value, line_end)) return;
        if (value.find('.') == std::string_view::npos) return;
        player.skill = parse_int(value);
        player.handicap = 100;
        cursor = line_end;
    }
}

// Pass 2: the last team line of an id decides its team.
void register_team_changes(AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    std::size_t cursor = text.game_start;
    while (cursor < text.game_end) {
        std::size_t found = text.find(TEAMCHANGE, cursor);
        if (found == GameText::npos) return;
        int id = 0;
        std::string_view team;
        std::size_t line_end = 0;
        if (!read_team_line(text, found, id, team, line_end)) return;
        if (valid_id(id)) record_of(ctx, id).team = assault_team(ctx, team).view();
        cursor = line_end;
    }
}

// Pass 3: renames.
void register_renames(AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    std::size_t cursor = text.game_start;
    while (cursor < text.game_end) {
        std::size_t found = text.find(RENAME, cursor);
        if (found == GameText::npos) return;
        std::string_view new_name, field;
        std::size_t tab = 0;
        if (!text.field(found + RENAME.size(), '\t', new_name, tab)) return;
        if (!text.field(tab + 1, '\t', field, tab)) return;
        int id = parse_int(field);
        Text renamed(new_name);
        if (valid_id(id) && !(record_of(ctx, id).name == renamed)) {
            PlayerRecord& player = record_of(ctx, id);
            ctx.log.appendf("\t\tinfo: Player %s to %s renamed", player.name.c_str(), renamed.c_str());
            player.name = renamed;
            set_skin(ctx, player);
        }
        cursor = tab;
    }
}

// Pass 4: disconnects.
void register_disconnects(AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    std::size_t cursor = text.game_start;
    while (cursor < text.game_end) {
        std::size_t found = text.find(DISCONNECT, cursor);
        if (found == GameText::npos) return;
        std::string_view field;
        std::size_t line_end = 0;
        if (!text.field(found + DISCONNECT.size(), '\n', field, line_end)) return;
        int id = parse_int(field);
        if (valid_id(id)) record_of(ctx, id).connected = 0;
        cursor = line_end;
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

constexpr std::string_view ATTACKER = "assault_attacker\t";
constexpr std::string_view DEFENDER = "assault_defender\t";

std::uint32_t team_hash(std::string_view team) {
    std::uint32_t hash = 2166136261u;
    for (char c : team) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

// The team value of the assault line whose pattern stands at found, cut as
// every team value is. False when the line has no line end: such a line, and
// any after it, names no team.
bool assault_line_team(const GameText& text, std::size_t found, std::size_t pattern_size, Field& team,
                       std::size_t& line_end) {
    std::string_view value;
    if (!text.field(found + pattern_size, '\n', value, line_end)) return false;
    team = value;
    return true;
}

// Indexes the lines of one kind in the order a search from the game's start
// meets them (each search going on after the line it read).
void index_assault_lines(AnalysisContext& ctx, std::string_view pattern) {
    const GameText& text = ctx.text;
    auto& slots = ctx.assault_index.line_at;
    std::size_t cursor = text.game_start;
    while (true) {
        std::size_t found = text.find(pattern, cursor);
        if (found == GameText::npos) return;
        Field team;
        std::size_t line_end = 0;
        if (!assault_line_team(text, found, pattern.size(), team, line_end)) return;
        std::size_t slot = team_hash(team.view()) & (AssaultIndex::SLOTS - 1);
        while (slots[slot] != AssaultIndex::EMPTY) slot = (slot + 1) & (AssaultIndex::SLOTS - 1);
        slots[slot] = static_cast<std::uint32_t>(found);
        cursor = line_end;
    }
}

// Whether some line of the kind names exactly this team value.
bool assault_line_names(AnalysisContext& ctx, std::string_view pattern, const Field& team) {
    AssaultIndex& index = ctx.assault_index;
    if (!index.built) {
        index.line_at.fill(AssaultIndex::EMPTY);
        index_assault_lines(ctx, ATTACKER);
        index_assault_lines(ctx, DEFENDER);
        index.built = true;
    }
    const GameText& text = ctx.text;
    std::size_t slot = team_hash(team.view()) & (AssaultIndex::SLOTS - 1);
    for (; index.line_at[slot] != AssaultIndex::EMPTY; slot = (slot + 1) & (AssaultIndex::SLOTS - 1)) {
        std::size_t found = index.line_at[slot];
        if (text.view().substr(found, pattern.size()) != pattern) continue;
        Field line_team;
        std::size_t line_end = 0;
        if (assault_line_team(text, found, pattern.size(), line_team, line_end) && line_team == team) return true;
    }
    return false;
}

}  // namespace

Field assault_team(AnalysisContext& ctx, std::string_view value) {
    Field team(value);
    if (ctx.game_info.game_type != GameType::Assault) return team;
    if (assault_line_names(ctx, ATTACKER, team)) return Field("attacker");
    if (assault_line_names(ctx, DEFENDER, team)) return Field("defender");
    ctx.log.append("\t\tcan not identify team membership");
    return team;
}

int register_players(AnalysisContext& ctx) {
    register_connects(ctx);
    if (is_team_game(ctx.game_info.game_type)) register_team_changes(ctx);
    register_renames(ctx);
    register_disconnects(ctx);
    forget_unregistered(ctx);
    resolve_equal_names(ctx);
    return 1;
}
