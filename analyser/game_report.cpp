#include "game_report.h"

#include <cstdio>

#include "name_tables.h"
#include "player_order.h"

int print_game_report(AnalysisContext& ctx) {
    std::FILE* out = ctx.out;
    const GameInfo& game = ctx.game_info;

    // The slots in order of their places.
    std::array<int, MAXPLAYER> order{};
    for (int i = 0; i < MAXPLAYER; ++i) order[static_cast<std::size_t>(i)] = i;
    exchange_sort(order, order.size(), [&](int a, int b) {
        return ctx.game_players[static_cast<std::size_t>(a)].rank > ctx.game_players[static_cast<std::size_t>(b)].rank;
    });

    std::fprintf(out, "game %02i:   time: %i:%02i  byte: %i map: %s  gametype: %s\n", ctx.session_info.game_count,
                 game.duration / 60, game.duration % 60, game.game_bytes, game.map_name.c_str(),
                 gametype_name(game.game_type));
    std::fprintf(out, "%s\n", "==================================================================================");

    // Games of ten seconds or less show no players.
    const bool show_players = game.duration > 10;
    const bool team_piece = is_team_game(game.game_type);
    const bool flag_line = counts_flags(game.game_type);
    for (int slot : order) {
        const PlayerRecord& p = ctx.game_players[static_cast<std::size_t>(slot)];
        if (!show_players) break;
        if (p.name.empty()) continue;
        if (p.winner == 1) std::fprintf(out, "%s: ", "Winner");
        std::fprintf(out, " %i. %s: ", p.rank, p.name.c_str());
        std::fprintf(out, "handycap: %i ", p.handicap);
        std::fprintf(out, "model: %s ", p.skin.c_str());
        if (p.is_human == 0) std::fprintf(out, "skill: %i ", p.skill);
        if (team_piece) std::fprintf(out, "team: %s", p.team.c_str());
        std::fprintf(out, "\n");

        std::fprintf(out, "killed: %i ", p.net_kills);
        std::fprintf(out, "death: %i ", p.deaths);
        std::fprintf(out, "fav_weapon: %s/%i ", weapon_name(p.fav_weapon), p.fav_weapon_kills);
        std::fprintf(out, "fav_victim: %s/%i ", p.fav_victim_name.c_str(), p.fav_victim_kills);
        std::fprintf(out, "killrate: %i k/h\n", p.killrate);

        std::fprintf(out, "score: %i ", p.score);
        std::fprintf(out, "ping: %i ", p.ping);
        std::fprintf(out, "AS-factor: %i%% ", p.teamkill_rate);
        std::fprintf(out, "sucided: %i ", p.suicides);
        std::fprintf(out, "TS-factor: %i ", p.multikill);
        std::fprintf(out, "used Quad: %i ", p.quads);
        std::fprintf(out, "Lurch_f: %i\n", p.lurch);

        if (flag_line) {
            std::fprintf(out, "captured flag: %i ", p.flags_captured);
            std::fprintf(out, "returned flag: %i\n", p.flags_returned);
        }
        std::fprintf(out, "\n");
    }
    std::fprintf(out, "\n");
    return 1;
}
