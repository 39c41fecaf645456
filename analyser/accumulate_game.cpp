#include "accumulate_game.h"

#include "game_statistics.h"
#include "name_tables.h"

namespace {

void note_map_and_type(AnalysisContext& ctx) {
    SessionInfo& s = ctx.session_info;
    const GameInfo& g = ctx.game_info;
    if (s.same_map == Sameness::NoGameYet) {
        s.session_map = g.map_name;
        s.same_map = Sameness::Same;
    }
    if (!(s.session_map == g.map_name)) s.same_map = Sameness::Mixed;
    if (s.same_game_type == Sameness::NoGameYet) {
        s.same_game_type = Sameness::Same;
        s.session_game_type = g.game_type;
    } else if (s.session_game_type != g.game_type) {
        s.same_game_type = Sameness::Mixed;
    }
}

// The session record of name: the one that holds it, or the first free one,
// claimed. nullptr when all records hold other names.
SessionPlayer* session_record(AnalysisContext& ctx, const PlayerRecord& player) {
    for (SessionPlayer& record : ctx.session_players) {
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

// Keeps the names from game slot first on that have no session record. The
// list is full, so the lookup claims no record.
void note_players_left_out(AnalysisContext& ctx, std::size_t first) {
    for (std::size_t s = first; s < ctx.game_players.size(); ++s) {
        const PlayerRecord& player = ctx.game_players[s];
        if (!player.name.empty() && session_record(ctx, player) == nullptr)
            ctx.players_left_out.insert(std::string(player.name.view()));
    }
}

void add_player(SessionPlayer& session, const PlayerRecord& game) {
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
    session.wins = saturating_add(session.wins, game.winner);

    session.teamkill_rate = teamkill_percent(session.teamkills, session.kills);

    if (game.lurch > session.best_lurch) session.best_lurch = game.lurch;
    if (game.multikill > session.best_multikill) session.best_multikill = game.multikill;
    if (game.killrate > session.best_killrate) session.best_killrate = game.killrate;
}

// The name a kill's weapon goes by: its display name, or the add-on's own.
std::string_view weapon_of(AnalysisContext& ctx, const KillRecord& kill) {
    if (kill.weapon != 0) return weapon_name(kill.weapon);
    if (kill.weapon_name >= 0) return ctx.game_weapon_names[static_cast<std::size_t>(kill.weapon_name)].view();
    return weapon_name(0);
}

// The session's entry of a weapon, made on first use. The last entry is kept
// for the add-ons that find no room, under the name of an unknown weapon.
WeaponKills* weapon_entry(SessionKills& kills, std::string_view name, std::string_view overflow) {
    for (std::size_t w = 0; w < kills.weapon_count; ++w)
        if (kills.weapons[w].name == name) return &kills.weapons[w];
    if (kills.weapon_count + 1 == kills.weapons.size() && name != overflow)
        return weapon_entry(kills, overflow, overflow);
    if (kills.weapon_count == kills.weapons.size()) return nullptr;
    WeaponKills& entry = kills.weapons[kills.weapon_count++];
    entry.name = name;
    return &entry;
}

// Who killed whom, and with which weapon, for the players the game added to
// the session; the same kills as their session figures count.
void accumulate_kills(AnalysisContext& ctx) {
    SessionKills& session = ctx.session_kills;
    for (std::size_t s = 0; s < ctx.game_players.size(); ++s) {
        const int killer = ctx.session_index[s];
        if (killer < 0) continue;
        auto& row = session.by_victim[static_cast<std::size_t>(killer)];
        for (std::size_t v = 0; v < ctx.game_players.size(); ++v) {
            const int victim = ctx.session_index[v];
            const std::size_t column = victim >= 0 ? static_cast<std::size_t>(victim) : MAX_SESSION_PLAYERS;
            row[column] = saturating_add(row[column], ctx.game_players[s].kills_by_victim[v]);
        }
    }
    for (const KillRecord& kill : ctx.kill_table) {
        const PlayerRecord* killer = ctx.player_for_id(kill.killer);
        if (killer == nullptr) continue;
        const int index = ctx.session_index[static_cast<std::size_t>(killer - ctx.game_players.data())];
        if (index < 0) continue;
        if (WeaponKills* entry = weapon_entry(session, weapon_of(ctx, kill), weapon_name(0))) {
            int& count = entry->by_player[static_cast<std::size_t>(index)];
            count = saturating_add(count, 1);
        }
    }
}

}  // namespace

void accumulate_game(AnalysisContext& ctx) {
    note_map_and_type(ctx);
    for (std::size_t s = 0; s < ctx.game_players.size(); ++s) {
        const PlayerRecord& player = ctx.game_players[s];
        if (player.name.empty()) continue;
        SessionPlayer* session = session_record(ctx, player);
        if (session == nullptr) {
            // The session list is full: this player and the later slots of
            // the game are left out, and the loss is reported.
            ctx.log.append("\t\twarning:maximum of session players exceeded");
            note_players_left_out(ctx, s);
            break;
        }
        add_player(*session, player);
        ctx.session_index[s] = static_cast<int>(session - ctx.session_players.data());
    }
    accumulate_kills(ctx);
}
