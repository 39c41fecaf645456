#include "records.h"

#include <utility>

void init_player_record(PlayerRecord& r) {
    // Empty texts and every counter 0; then the fields whose "unknown" is -1.
    r = PlayerRecord{};
    r.is_human = Species::Unknown;
    r.skill = r.handicap = r.slot = -1;
    r.fav_weapon = r.fav_victim_kills = r.ping = -1;
}

void init_session_player(SessionPlayer& r) {
    r = SessionPlayer{};
    r.is_human = Species::Unknown;
    r.skill = r.fav_weapon = r.fav_victim_kills = -1;
}

void init_game_info(GameInfo& r) {
    r.duration = 0;
    r.game_bytes = 0;
    r.map_name.clear();
    r.game_type = GameType::Unknown;
    r.frag_limit = -1;
    r.winning_team.clear();
    r.end_reason.clear();
    r.start = LocalTime{};
    r.logged_start = StartTime{};
    r.title.clear();
    r.server_name.clear();
    r.mutators.clear();
}

void init_session_info(SessionInfo& r) {
    r.log_date.clear();
    r.session_seconds = 0;
    r.game_count = 0;
    r.session_map.clear();
    r.same_map = Sameness::NoGameYet;
    r.session_game_type = GameType::Unknown;
    r.same_game_type = Sameness::NoGameYet;
    r.reported_games = 0;
    r.reported_seconds = 0;
}

void init_kill_record(KillRecord& r) { r = INITIAL_KILL; }

void init_skin_record(SkinRecord& r) {
    r.name.clear();
    r.face.clear();
}

const PlayerRecord* AnalysisContext::player_for_id(int id) const {
    if (id < 0 || id >= MAXPLAYER) return nullptr;
    int index = player_by_id[static_cast<std::size_t>(id)];
    if (index < 0 || index >= MAXPLAYER) return nullptr;
    return &game_players[static_cast<std::size_t>(index)];
}

PlayerRecord* AnalysisContext::player_for_id(int id) {
    return const_cast<PlayerRecord*>(std::as_const(*this).player_for_id(id));
}

void init_session(AnalysisContext& ctx) {
    init_game_info(ctx.game_info);
    init_session_info(ctx.session_info);
    for (auto& p : ctx.session_players) init_session_player(p);
    for (auto& s : ctx.skin_table) init_skin_record(s);
    for (auto& b : ctx.best_table) b.value = 0;
    ctx.session_kills = SessionKills{};
    ctx.players_left_out.clear();
    ctx.player_by_id.fill(-1);
}

void reset_game(AnalysisContext& ctx) {
    for (auto& p : ctx.game_players) init_player_record(p);
    ctx.player_by_id.fill(-1);
    ctx.kill_table.clear();
    ctx.item_table.clear();
    ctx.game_weapon_names.clear();
    ctx.session_index.fill(-1);
    ctx.game_info.winning_team.clear();
    ctx.game_info.end_reason.clear();
    ctx.game_info.start = LocalTime{};
    ctx.game_info.logged_start = StartTime{};
    ctx.game_info.title.clear();
    ctx.game_info.server_name.clear();
    ctx.game_info.mutators.clear();
    ctx.suicide_table.clear();
    ctx.team_results.clear();
    ctx.player_lines.clear();
    ctx.accuracy.clear();
    for (std::vector<TeamSpell>& spells : ctx.team_spells) spells.clear();
}

void TeamResults::clear() {
    counted = false;
    score.fill(0);
    playing.fill(false);
    winner.clear();
    steps.clear();
}

void TeamResults::add(int time, int t, int change) {
    if (t < 0 || t >= MAX_TEAMS) return;
    const auto team = static_cast<std::size_t>(t);
    score[team] = saturating_add(score[team], change);
    playing[team] = true;
    if (change != 0 && !steps.full()) steps.add() = TeamStep{time, t, change};
}

SessionSummary session_summary(const AnalysisContext& ctx) {
    return SessionSummary{ctx.session_info, ctx.session_players, ctx.session_order, ctx.best_table,
                          ctx.images_enabled != 0};
}
