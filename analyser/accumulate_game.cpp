#include "accumulate_game.h"

#include "game_statistics.h"

namespace {

void note_map_and_type(AnalysisContext& ctx) {
    SessionInfo& s = ctx.session_info;
    const GameInfo& g = ctx.game_info;
    if (s.same_map == -1) {
        s.session_map = g.map_name;
        s.same_map = 1;
    }
    if (!(s.session_map == g.map_name)) s.same_map = 0;
    if (s.same_game_type == -1) {
        s.same_game_type = 1;
        s.session_game_type = g.game_type;
    } else if (s.session_game_type != g.game_type) {
        s.same_game_type = 0;
    }
}

// The session record of name: the one that holds it, or the first free one,
// claimed. nullptr when all records hold other names.
PlayerRecord* session_record(AnalysisContext& ctx, const PlayerRecord& player) {
    for (PlayerRecord& record : ctx.session_players) {
        if (record.name == player.name) return &record;
        if (record.name.empty()) {
            record.name = player.name;
            record.skin = player.skin;
            record.is_human = player.is_human;
            record.skill = player.skill;
            return &record;
        }
    }
    return nullptr;
}

void add_player(PlayerRecord& session, const PlayerRecord& game) {
    if (game.fav_victim_kills > session.fav_victim_kills) {
        session.fav_victim_name = game.fav_victim_name;
        session.fav_victim_kills = game.fav_victim_kills;
    }

    for (std::size_t w = 0; w < session.kills_by_weapon.size(); ++w)
        session.kills_by_weapon[w] = saturating_add(session.kills_by_weapon[w], game.kills_by_weapon[w]);
    first_largest(session.kills_by_weapon, session.fav_weapon, session.fav_weapon_kills);

    session.score = saturating_add(session.score, game.score);
    session.deaths = saturating_add(session.deaths, game.deaths);
    session.suicides = saturating_add(session.suicides, game.suicides);
    session.kills = saturating_add(session.kills, game.kills);
    session.teamkills = saturating_add(session.teamkills, game.teamkills);
    session.headshots = saturating_add(session.headshots, game.headshots);
    session.flags_captured = saturating_add(session.flags_captured, game.flags_captured);
    session.flags_returned = saturating_add(session.flags_returned, game.flags_returned);
    session.winner = saturating_add(session.winner, game.winner);

    session.teamkill_rate = teamkill_percent(session.teamkills, session.kills);

    if (game.lurch > session.lurch) session.lurch = game.lurch;
    if (game.multikill > session.multikill) session.multikill = game.multikill;
    if (game.killrate > session.killrate) session.killrate = game.killrate;
}

}  // namespace

void accumulate_game(AnalysisContext& ctx) {
    note_map_and_type(ctx);
    for (const PlayerRecord& player : ctx.game_players) {
        if (player.name.empty()) continue;
        PlayerRecord* session = session_record(ctx, player);
        if (session == nullptr) {
            // The session list is full: this player and the later slots of
            // the game are left out, and the loss is reported.
            ctx.log.append("\t\twarning:maximum of session players exceeded");
            return;
        }
        add_player(*session, player);
    }
}
