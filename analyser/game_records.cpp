#include "game_records.h"

#include "name_tables.h"

namespace {

// Whether the pages crown the player: in team games the players of the team
// with the most (the team results' winner), else the game's winner.
bool crowned(const AnalysisContext& ctx, const PlayerRecord& p) {
    if (!is_team_game(ctx.game_info.game_type)) return p.winner == 1;
    return !ctx.team_results.winner.empty() && p.team == ctx.team_results.winner;
}

GamePlayer game_player(const AnalysisContext& ctx, const PlayerRecord& p) {
    GamePlayer player;
    player.name = p.name;
    player.team = p.team;
    player.place = p.rank;
    player.crowned = crowned(ctx, p);
    player.is_human = p.is_human;
    player.skill = p.skill;
    player.score = p.score;
    player.net_kills = p.net_kills;
    player.kills = p.kills;
    player.deaths = p.deaths;
    player.suicides = p.suicides;
    player.teamkill_rate = p.teamkill_rate;
    player.killrate = p.killrate;
    player.multikill = p.multikill;
    player.lurch = p.lurch;
    player.quads = p.quads;
    player.headshots = p.headshots;
    player.fav_weapon = weapon_name(p.fav_weapon);
    player.fav_weapon_kills = p.fav_weapon_kills;
    player.fav_victim = p.fav_victim_name;
    player.fav_victim_kills = p.fav_victim_kills;
    player.flags_captured = p.flags_captured;
    player.flags_returned = p.flags_returned;
    player.ping = p.ping;
    return player;
}

}  // namespace

void fill_game_record(const AnalysisContext& ctx, GameRecord& game) {
    const GameInfo& info = ctx.game_info;
    game.number = ctx.session_info.game_count;
    game.map = info.map_name;
    game.type = info.game_type;
    // The console report has logged an unknown type already.
    game.type_name = gametype_name(info.game_type);
    game.start = info.start;
    game.length = info.duration;
    game.end_reason = info.end_reason;

    const TeamResults& results = ctx.team_results;
    game.teams.counted = results.counted;
    game.teams.score = results.score;
    game.teams.playing = results.playing;
    game.teams.winner = results.winner;
    game.teams.steps.assign(results.steps.begin(), results.steps.end());

    // The players in the order of their places, which put them first; the
    // entry of each game slot among them, or -1.
    std::array<int, MAXPLAYER> entry{};
    entry.fill(-1);
    game.players.clear();
    for (int slot : ctx.game_order) {
        const PlayerRecord& player = ctx.game_players[static_cast<std::size_t>(slot)];
        if (player.name.empty()) break;
        entry[static_cast<std::size_t>(slot)] = static_cast<int>(game.players.size());
        game.players.push_back(game_player(ctx, player));
    }
    auto entry_of = [&](const PlayerRecord* p) { return entry[static_cast<std::size_t>(p - ctx.game_players.data())]; };

    // The kills of a player shown of a victim with a record, and the suicide
    // lines of a player shown.
    game.kills.clear();
    for (const KillRecord& kill : ctx.kill_table) {
        const PlayerRecord* killer = ctx.player_for_id(kill.killer);
        const PlayerRecord* victim = ctx.player_for_id(kill.victim);
        if (killer == nullptr || victim == nullptr || entry_of(killer) < 0) continue;
        game.kills.push_back(TimedKill{kill.time, entry_of(killer), entry_of(victim)});
    }
    for (const SuicideRecord& suicide : ctx.suicide_table) {
        const PlayerRecord* player = ctx.player_for_id(suicide.id);
        if (player == nullptr || entry_of(player) < 0) continue;
        game.kills.push_back(TimedKill{suicide.time, entry_of(player), entry_of(player)});
    }
}

SessionRecord session_record(const AnalysisContext& ctx, const Text& date) {
    SessionRecord session;
    session.date = date;
    session.games = ctx.session_info.reported_games;
    session.seconds = ctx.session_info.reported_seconds;
    for (std::size_t s = 0; s < ctx.session_players.size(); ++s) session.names[s] = ctx.session_players[s].name;
    for (int s : ctx.session_order) {
        if (ctx.session_players[static_cast<std::size_t>(s)].name.empty()) break;  // the players come first
        session.order.push_back(s);
    }
    session.kills = ctx.session_kills;
    return session;
}
