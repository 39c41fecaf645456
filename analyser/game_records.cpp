#include "game_records.h"

#include "game_statistics.h"
#include "name_tables.h"

namespace {

// Whether the pages crown the player: in team games the players of the team
// with the most (the team results' winner), else the game's winner.
bool crowned(const AnalysisContext& ctx, const PlayerRecord& p) {
    if (!is_team_game(ctx.game_info.game_type)) return p.winner == 1;
    return !ctx.team_results.winner.empty() && p.team == ctx.team_results.winner;
}

// The player's favourite weapon by its own name, as the pages show it. The
// console counts the weapons of add-ons as one unknown weapon; here each
// counts under its logged name, and where one of them is the favourite its
// name is shown. A stock weapon stays the favourite where it was one.
void page_favourite(const AnalysisContext& ctx, const PlayerRecord& p, GamePlayer& player) {
    if (p.fav_weapon != 0 || p.fav_weapon_kills < 1) return;
    std::array<int, MAX_GAME_WEAPON_NAMES> by_name{};
    for (const KillRecord& kill : ctx.kill_table)
        if (kill.weapon == 0 && kill.weapon_name >= 0 && ctx.player_for_id(kill.killer) == &p)
            ++by_name[static_cast<unsigned char>(kill.weapon_name)];
    int named = 0;
    int named_kills = 0;
    first_largest(by_name, named, named_kills);
    int stock_kills = 0;
    int stock = 0;
    for (std::size_t w = 1; w < p.kills_by_weapon.size(); ++w) {
        if (p.kills_by_weapon[w] > stock_kills) {
            stock_kills = p.kills_by_weapon[w];
            stock = static_cast<int>(w);
        }
    }
    if (named_kills < 1 || stock_kills > named_kills) {
        if (stock_kills < 1) return;
        player.fav_weapon = weapon_name(stock);
        player.fav_weapon_kills = stock_kills;
        return;
    }
    player.fav_weapon = ctx.game_weapon_names[static_cast<std::size_t>(named)];
    player.fav_weapon_kills = named_kills;
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
    player.moments = p.moments;
    page_favourite(ctx, p, player);
    return player;
}

// The entry of an id's record, or -1 for an id without one.
int entry_of_id(const AnalysisContext& ctx, const PlayerEntries& entry, int id) {
    const PlayerRecord* player = ctx.player_for_id(id);
    return player == nullptr ? -1 : entry[static_cast<std::size_t>(player - ctx.game_players.data())];
}

}  // namespace

PlayerEntries player_entries(const AnalysisContext& ctx) {
    PlayerEntries entry{};
    entry.fill(-1);
    int shown = 0;
    for (int slot : ctx.game_order) {
        if (ctx.game_players[static_cast<std::size_t>(slot)].name.empty()) break;
        entry[static_cast<std::size_t>(slot)] = shown++;
    }
    return entry;
}

bool counted_kill(const AnalysisContext& ctx, const PlayerEntries& entry, const KillRecord& kill, int& killer,
                  int& victim) {
    if (ctx.player_for_id(kill.victim) == nullptr) return false;
    killer = entry_of_id(ctx, entry, kill.killer);
    victim = entry_of_id(ctx, entry, kill.victim);
    return killer >= 0;
}

bool counted_suicide(const AnalysisContext& ctx, const PlayerEntries& entry, const SuicideRecord& suicide,
                     int& player) {
    player = entry_of_id(ctx, entry, suicide.id);
    return player >= 0;
}

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

    // The players in the order of their places, which put them first.
    const PlayerEntries entry = player_entries(ctx);
    game.players.clear();
    for (int slot : ctx.game_order) {
        if (entry[static_cast<std::size_t>(slot)] < 0) break;
        game.players.push_back(game_player(ctx, ctx.game_players[static_cast<std::size_t>(slot)]));
    }

    // The accuracy by player as shown, each player's weapons in log order.
    game.accuracy.clear();
    for (std::size_t shown = 0; shown < game.players.size(); ++shown) {
        const int slot = ctx.game_order[shown];
        for (const AccuracySum& row : ctx.accuracy) {
            if (row.player != slot) continue;
            game.accuracy.push_back(WeaponAccuracy{static_cast<int>(shown), ctx.accuracy_weapons[row.weapon], row.shots,
                                                   row.hits, row.damage});
        }
    }

    // The kills of a player shown of a victim with a record, and the suicide
    // lines of a player shown.
    game.kills.clear();
    int killer = -1;
    int victim = -1;
    for (const KillRecord& kill : ctx.kill_table)
        if (counted_kill(ctx, entry, kill, killer, victim)) game.kills.push_back(TimedKill{kill.time, killer, victim});
    for (const SuicideRecord& suicide : ctx.suicide_table)
        if (counted_suicide(ctx, entry, suicide, killer)) game.kills.push_back(TimedKill{suicide.time, killer, killer});
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
