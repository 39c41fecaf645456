#include "game_section.h"

#include <array>
#include <vector>

#include "chart.h"
#include "html_text.h"
#include "int_range.h"
#include "page_kit.h"

namespace {

HtmlText name_of(const GamePlayer& p) { return HtmlText::utf8(p.name.view()); }

bool team_game(const GameRecord& game) { return is_team_game(game.type); }

// The winner: the winning team with its players, or the winning player.
HtmlText winner_text(const GameRecord& game) {
    HtmlText text = "";
    if (team_game(game)) {
        if (game.teams.winner.empty()) return "\xE2\x80\x94";
        text = team_label(game.teams.winner);
        bool first = true;
        for (const GamePlayer& p : game.players) {
            if (!p.crowned) continue;
            text += first ? HtmlText(": ") : HtmlText(", ");
            text += name_of(p);
            first = false;
        }
        return text;
    }
    for (const GamePlayer& p : game.players)
        if (p.crowned) return name_of(p);
    return "\xE2\x80\x94";
}

// The teams' final scores in the game's own terms, "Red 4, Blue 3", the
// winner's in strong when strong is asked; empty where the game counts none.
HtmlText team_scores(const GameRecord& game, bool strong) {
    const TeamScores& teams = game.teams;
    HtmlText text = "";
    if (!teams.counted) return text;
    const int winner = team_number(teams.winner.view());
    bool first = true;
    for (int t = 0; t < MAX_TEAMS; ++t) {
        if (!teams.playing[static_cast<std::size_t>(t)]) continue;
        if (!first) text += ", ";
        first = false;
        HtmlText entry = team_colour(t);
        entry += " ";
        entry += HtmlText::number(teams.score[static_cast<std::size_t>(t)]);
        if (strong && t == winner) {
            text += "<strong>";
            text += entry;
            text += "</strong>";
        } else {
            text += entry;
        }
    }
    return text;
}

// A favourite, with its count, or a dash when there is none.
void favourite_cell(HtmlWriter& out, const HtmlText& name, int count) {
    if (count < 1) {
        out.put({"<td class=\"fav\">\xE2\x80\x94</td>"});
        return;
    }
    out.put({"<td class=\"fav\">", name, " <span class=\"count\">(", count, ")</span></td>"});
}

// Place, player, score and frags come first: a phone shows them without
// scrolling. Where the score is the frags, one column shows both; team
// kills are counted in team games only.
void scoreboard(HtmlWriter& out, const GameRecord& game, const SectionLinks* links) {
    const GameType type = game.type;
    const bool teams = is_team_game(type);
    const bool frags_apart = type == GameType::Domination || type == GameType::LastManStanding;
    out.put({"<div class=\"scroll\"><table class=\"scoreboard\">\n<thead><tr>"});
    header_cell(out, "#", "Place in the game");
    header_cell(out, "Player", nullptr, false);
    if (frags_apart) {
        header_cell(out, "Score");
        header_cell(out, "Frags", "Kills less suicides");
    } else {
        header_cell(out, "Score", "Score: frags, kills less suicides");
    }
    if (teams) header_cell(out, "Team", nullptr, false);
    header_cell(out, "Kills");
    header_cell(out, "Deaths");
    header_cell(out, "Sui.", "Suicides");
    if (teams) header_cell(out, "TK %", "Team kills, per cent of kills");
    header_cell(out, "K/h", "Kills per hour");
    header_cell(out, "TS", "Most kills within one second (TS-factor)");
    header_cell(out, "Lurch", "Pick-ups 20 seconds or more after his previous one (Lurch-factor)");
    header_cell(out, "Amp", "Damage Amplifier pick-ups");
    header_cell(out, "HS", "Headshots");
    header_cell(out, "Weapon", "Favourite weapon", false);
    header_cell(out, "Victim", "Favourite victim", false);
    if (type == GameType::CaptureTheFlag) {
        header_cell(out, "Caps", "Flags captured");
        header_cell(out, "Ret.", "Flags returned");
    }
    if (type == GameType::Domination) header_cell(out, "CP", "Control points taken");
    header_cell(out, "Species", "Human, or bot and its skill", false);
    header_cell(out, "Ping");
    out.put({"</tr></thead>\n<tbody>\n"});
    if (game.players.empty()) out.put({"<tr><td colspan=\"3\">No players.</td></tr>\n"});
    for (std::size_t k = 0; k < game.players.size(); ++k) {
        const GamePlayer& p = game.players[k];
        const bool winner = p.crowned;
        out.put({winner ? Piece("<tr class=\"winner\">") : Piece("<tr>")});
        number_cell(out, p.place);
        out.put({"<th scope=\"row\">"});
        if (links != nullptr)
            links->player_name(out, k);
        else
            out.put({name_of(p)});
        out.put({winner ? Piece(" <span class=\"badge\">winner</span>") : Piece(""), "</th>"});
        number_cell(out, p.score);
        if (frags_apart) number_cell(out, p.net_kills);
        if (teams) text_cell(out, team_label(p.team));
        number_cell(out, p.kills);
        number_cell(out, p.deaths);
        number_cell(out, p.suicides);
        if (teams) number_cell(out, p.teamkill_rate);
        number_cell(out, p.killrate);
        number_cell(out, p.multikill);
        number_cell(out, p.lurch);
        number_cell(out, p.quads);
        number_cell(out, p.headshots);
        favourite_cell(out, HtmlText::utf8(p.fav_weapon.view()), p.fav_weapon_kills);
        favourite_cell(out, HtmlText::utf8(p.fav_victim.view()), p.fav_victim_kills);
        if (type == GameType::CaptureTheFlag) {
            number_cell(out, p.flags_captured);
            number_cell(out, p.flags_returned);
        }
        if (type == GameType::Domination) number_cell(out, p.flags_captured);
        if (p.is_human == Species::Human)
            out.put({"<td>Human</td>"});
        else if (p.is_human == Species::Bot)
            out.put({"<td>Bot ", p.skill, "</td>"});
        else
            out.put({"<td>Unstated</td>"});
        if (p.ping < 0)
            out.put({"<td class=\"n\">\xE2\x80\x94</td>"});
        else
            number_cell(out, p.ping);
        out.put({"</tr>\n"});
    }
    out.put({"</tbody>\n</table></div>\n"});
}

// A column of the moments table: its heading and its figure.
struct MomentColumn {
    Markup heading;
    int (*value)(const PlayerMoments&);
    bool flags;  // Capture the Flag only
};

constexpr MomentColumn MOMENT_COLUMNS[] = {
    {"First blood", [](const PlayerMoments& m) { return m.first_blood; }, false},
    {"Killing Spree", [](const PlayerMoments& m) { return m.sprees[0]; }, false},
    {"Rampage", [](const PlayerMoments& m) { return m.sprees[1]; }, false},
    {"Dominating", [](const PlayerMoments& m) { return m.sprees[2]; }, false},
    {"Unstoppable", [](const PlayerMoments& m) { return m.sprees[3]; }, false},
    {"Godlike", [](const PlayerMoments& m) { return m.sprees[4]; }, false},
    {"Best spree", [](const PlayerMoments& m) { return m.best_spree; }, false},
    {"Double Kill", [](const PlayerMoments& m) { return m.multis[0]; }, false},
    {"Multi Kill", [](const PlayerMoments& m) { return m.multis[1]; }, false},
    {"Ultra Kill", [](const PlayerMoments& m) { return m.multis[2]; }, false},
    {"Monster Kill", [](const PlayerMoments& m) { return m.multis[3]; }, false},
    {"Taken", [](const PlayerMoments& m) { return m.flags_taken; }, true},
    {"Picked up", [](const PlayerMoments& m) { return m.flags_picked_up; }, true},
    {"Dropped", [](const PlayerMoments& m) { return m.flags_dropped; }, true},
    {"Returned", [](const PlayerMoments& m) { return m.flags_returned; }, true},
    {"Captured", [](const PlayerMoments& m) { return m.flags_captured; }, true},
    {"Carrier kills", [](const PlayerMoments& m) { return m.carrier_kills; }, true},
};
constexpr std::size_t MOMENT_COLUMN_COUNT = sizeof MOMENT_COLUMNS / sizeof MOMENT_COLUMNS[0];

// The players' names as the tables of moments and accuracy head their rows,
// made once for the many rows of a game.
using Names = std::vector<HtmlText>;

void player_heading(HtmlWriter& out, const Names& names, std::size_t k, const SectionLinks* links) {
    out.put({"<th scope=\"row\">"});
    if (links != nullptr)
        links->player_name(out, k);
    else
        out.put({names[k]});
    out.put({"</th>"});
}

// A row per player with any moment; only the columns some player has a
// figure in, so a game without flags or sprees keeps a narrow table.
void moments_table(HtmlWriter& out, const GameRecord& game, const Names& names, const SectionLinks* links) {
    std::array<bool, MOMENT_COLUMN_COUNT> shown{};
    bool any = false;
    for (std::size_t c = 0; c < MOMENT_COLUMN_COUNT; ++c) {
        if (MOMENT_COLUMNS[c].flags && game.type != GameType::CaptureTheFlag) continue;
        for (const GamePlayer& p : game.players) shown[c] = shown[c] || MOMENT_COLUMNS[c].value(p.moments) != 0;
        any = any || shown[c];
    }
    if (!any) return;
    out.put({"<h3>Moments</h3>\n<div class=\"scroll\"><table class=\"moments\">\n<thead><tr>"});
    header_cell(out, "Player", nullptr, false);
    for (std::size_t c = 0; c < MOMENT_COLUMN_COUNT; ++c)
        if (shown[c]) header_cell(out, MOMENT_COLUMNS[c].heading);
    out.put({"</tr></thead>\n<tbody>\n"});
    for (std::size_t k = 0; k < game.players.size(); ++k) {
        const PlayerMoments& m = game.players[k].moments;
        if (m == PlayerMoments{}) continue;
        out.put({"<tr>"});
        player_heading(out, names, k, links);
        for (std::size_t c = 0; c < MOMENT_COLUMN_COUNT; ++c)
            if (shown[c]) number_cell(out, MOMENT_COLUMNS[c].value(m));
        out.put({"</tr>\n"});
    }
    out.put({"</tbody>\n</table></div>\n"});
}

// Hits out of shots in tenths of a per cent, rounded half up.
Tenths accuracy_tenths(int hits, int shots) { return Tenths{clamp_to_int((2000LL * hits / shots + 1) / 2)}; }

void accuracy_row(HtmlWriter& out, const Names& names, std::size_t k, const HtmlText& weapon, int shots, int hits,
                  int damage, const SectionLinks* links) {
    // A games page has thousands of these rows: each is one piece list.
    if (links != nullptr) {
        out.put({"<tr><th scope=\"row\">"});
        links->player_name(out, k);
        out.put({"</th>"});
    } else {
        out.put({"<tr><th scope=\"row\">", names[k], "</th>"});
    }
    const Piece accuracy = shots > 0 ? Piece(accuracy_tenths(hits, shots)) : Piece("\xE2\x80\x94");
    out.put({"<td>", weapon, "</td><td class=\"n\">", shots, "</td><td class=\"n\">", hits, "</td><td class=\"n\">",
             accuracy, "</td><td class=\"n\">", damage, "</td></tr>\n"});
}

// Where the log carries them: each player's weapons, then his overall
// figures where he used more than one.
void accuracy_table(HtmlWriter& out, const GameRecord& game, const Names& names, const SectionLinks* links) {
    if (game.accuracy.empty()) return;
    out.put({"<h3>Accuracy</h3>\n<div class=\"scroll\"><table class=\"accuracy\">\n<thead><tr>"});
    header_cell(out, "Player", nullptr, false);
    header_cell(out, "Weapon", nullptr, false);
    accuracy_head_cells(out);
    std::size_t r = 0;
    while (r < game.accuracy.size()) {
        const int player = game.accuracy[r].player;
        long long shots = 0, hits = 0, damage = 0;
        std::size_t weapons = 0;
        for (; r < game.accuracy.size() && game.accuracy[r].player == player; ++r, ++weapons) {
            const WeaponAccuracy& row = game.accuracy[r];
            accuracy_row(out, names, static_cast<std::size_t>(player), HtmlText::utf8(row.weapon.view()), row.shots,
                         row.hits, row.damage, links);
            shots += row.shots;
            hits += row.hits;
            damage += row.damage;
        }
        if (weapons > 1)
            accuracy_row(out, names, static_cast<std::size_t>(player), "All weapons", clamp_to_int(shots),
                         clamp_to_int(hits), clamp_to_int(damage), links);
    }
    out.put({"</tbody>\n</table></div>\n"});
}

// The result of the games table: the team scores, the winning side of
// Assault, or the winning player.
HtmlText result_text(const GameRecord& game) {
    if (game.teams.counted) return team_scores(game, true);
    const bool sides = game.type == GameType::Assault;
    if (sides && game.teams.winner.empty()) return "\xE2\x80\x94";
    HtmlText text = "<strong>";
    if (sides) {
        text += team_label(game.teams.winner);
    } else {
        std::size_t k = 0;
        while (k < game.players.size() && !game.players[k].crowned) ++k;
        if (k == game.players.size()) return "\xE2\x80\x94";
        text += name_of(game.players[k]);
    }
    text += "</strong> won";
    return text;
}

}  // namespace

HtmlText game_number(const GameRecord& game) {
    BoundedText<16> number;
    number.format("%02i", game.number);
    return HtmlText::utf8(number.view());
}

void write_games_table_head(HtmlWriter& out) {
    out.put(
        {"<section id=\"list\">\n<h2>The games</h2>\n<div class=\"scroll\"><table id=\"games\">\n<thead><tr>"
         "<th scope=\"col\">Game</th><th scope=\"col\">Map</th><th scope=\"col\">Type</th>"
         "<th scope=\"col\" class=\"n\">Length</th><th scope=\"col\">End</th><th scope=\"col\">Result</th>"
         "<th scope=\"col\">Best player</th><th scope=\"col\" class=\"n\"><abbr title=\"Players\">Pl.</abbr></th>"
         "</tr></thead>\n<tbody>\n"});
}

void write_game_row(HtmlWriter& out, const GameRecord& game) {
    const HtmlText number = game_number(game);
    out.put({"<tr><th scope=\"row\"><a href=\"#game-", number, "\">", number, "</a></th>"});
    text_cell(out, HtmlText::utf8(game.map.view()));
    text_cell(out, HtmlText::utf8(game.type_name.view()));
    out.put({"<td class=\"n\">", game_length(game.length), "</td>"});
    text_cell(out, HtmlText::utf8(game.end_reason.view()));
    text_cell(out, result_text(game));
    if (!game.players.empty()) {
        const GamePlayer& best = game.players.front();
        out.put({"<td>", name_of(best), " <span class=\"count\">(", best.score, ")</span></td>"});
    } else {
        out.put({"<td>\xE2\x80\x94</td>"});
    }
    number_cell(out, static_cast<int>(game.players.size()));
    out.put({"</tr>\n"});
}

void write_game_section(HtmlWriter& out, const GameRecord& game, const SectionLinks* links) {
    const HtmlText number = game_number(game);
    out.put({"<section id=\"game-", number, "\">\n<h2>Game ", number, ": ", HtmlText::utf8(game.map.view()),
             "</h2>\n<p class=\"facts\">"});
    if (game.start.known()) out.put({start_text(game.start), ". "});
    out.put({HtmlText::utf8(game.type_name.view()), ", ", game_length(game.length), ", ended by ",
             HtmlText::utf8(game.end_reason.view()), "."});
    if (game.teams.counted) out.put({" ", team_scores(game, false), "."});
    out.put({" Winner: ", winner_text(game), "."});
    if (links != nullptr) links->more_facts(out);
    out.put({"</p>\n"});
    if (links != nullptr) links->notes(out);
    scoreboard(out, game, links);
    Names names;
    if (links == nullptr)
        for (const GamePlayer& p : game.players) names.push_back(name_of(p));
    moments_table(out, game, names, links);
    accuracy_table(out, game, names, links);
    write_team_chart(out, game, number);
    write_frag_chart(out, game, number);
    out.put({"<p class=\"up\"><a href=\"#games\">All games</a></p>\n</section>\n"});
}
