#include "game_report.h"

#include "name_tables.h"

void print_game_report(const AnalysisContext& ctx, ErrorLog& log, Output& out) {
    const GameInfo& game = ctx.game_info;

    if (game.game_type == GameType::Unknown) log_unknown_gametype(log);
    out.print("game %02i:   time: %i:%02i  byte: %i map: %s  gametype: %s\n", ctx.session_info.game_count,
              game.duration / 60, game.duration % 60, game.game_bytes, game.map_name.c_str(),
              gametype_name(game.game_type));
    out.print("%s\n", "==================================================================================");

    // Games of ten seconds or less show no players.
    const bool show_players = game.duration > 10;
    const bool team_piece = is_team_game(game.game_type);
    const bool flag_line = counts_flags(game.game_type);
    // In the order of the places the statistics gave.
    for (int slot : ctx.game_order) {
        const PlayerRecord& p = ctx.game_players[static_cast<std::size_t>(slot)];
        if (!show_players) break;
        if (p.name.empty()) continue;
        if (p.winner == 1) out.print("%s: ", "Winner");
        out.print(" %i. %s: ", p.rank, p.name.c_str());
        out.print("handycap: %i ", p.handicap);
        out.print("model: %s ", p.skin.c_str());
        if (p.is_human == Species::Bot) out.print("skill: %i ", p.skill);
        if (team_piece) out.print("team: %s", p.team.c_str());
        out.print("\n");

        out.print("killed: %i ", p.net_kills);
        out.print("death: %i ", p.deaths);
        out.print("fav_weapon: %s/%i ", weapon_name(p.fav_weapon), p.fav_weapon_kills);
        out.print("fav_victim: %s/%i ", p.fav_victim_name.c_str(), p.fav_victim_kills);
        out.print("killrate: %i k/h\n", p.killrate);

        out.print("score: %i ", p.score);
        out.print("ping: %i ", p.ping);
        out.print("AS-factor: %i%% ", p.teamkill_rate);
        out.print("sucided: %i ", p.suicides);
        out.print("TS-factor: %i ", p.multikill);
        out.print("used Quad: %i ", p.quads);
        out.print("Lurch_f: %i\n", p.lurch);

        if (flag_line) {
            out.print("captured flag: %i ", p.flags_captured);
            out.print("returned flag: %i\n", p.flags_returned);
        }
        out.print("\n");
    }
    out.print("\n");
}
