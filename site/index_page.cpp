#include <algorithm>
#include <cstdio>

#include "page_kit.h"
#include "page_writer.h"
#include "site_kit.h"
#include "site_pages.h"

namespace {

// The table of one list of a ranking: the place (none for the resting), the
// player, the rating as mu - 3 sigma with mu and sigma, then the player's
// figures over the games of the ranking's type (all games for the overall
// one).
void ranking_table(HtmlWriter& out, const SiteData& data, const Ranking& ranking, const std::vector<int>& players,
                   bool ranked, const HtmlText& id, Markup empty) {
    out.put({"<div class=\"scroll\"><table id=\"", id, "\">\n<thead><tr>"});
    header_cell(out, "Rank", nullptr, false);
    header_cell(out, "Player", nullptr, false);
    header_cell(out, "Rating",
                "A cautious estimate of skill, then the skill and its uncertainty: "
                "\xCE\xBC \xE2\x88\x92 3\xCF\x83 (\xCE\xBC \xC2\xB1 \xCF\x83)");
    header_cell(out, "Games");
    header_cell(out, "Evenings");
    header_cell(out, "Wins", "Games won, alone or with the team");
    header_cell(out, "Win %", "Share of the games won");
    header_cell(out, "Kills");
    header_cell(out, "Deaths");
    header_cell(out, "K/D", "Kills per death");
    header_cell(out, "Sui.", "Suicides");
    header_cell(out, "Time", "Time played");
    header_cell(out, "Last evening", nullptr, false);
    out.put({"</tr></thead>\n<tbody>\n"});
    const int listed = static_cast<int>(players.size());
    const Totals none;
    for (int rank = 0; rank < listed; ++rank) {
        const int p = players[static_cast<std::size_t>(rank)];
        const SitePlayer& player = data.players[static_cast<std::size_t>(p)];
        const auto found = player.by_type.find(ranking.type_name);
        const Totals& totals = ranking.type_name.empty()       ? player.totals
                               : found == player.by_type.end() ? none
                                                               : found->second;
        if (ranked)
            out.put({"<tr><td class=\"n\">", rank + 1, " of ", listed, "</td><th scope=\"row\">"});
        else
            out.put({"<tr><td class=\"n\">\xE2\x80\x94</td><th scope=\"row\">"});
        player_link(out, data, p, "");
        out.put({"</th><td class=\"n\">", rating_text(ranking.values[static_cast<std::size_t>(p)]), "</td>"});
        out.put({"<td class=\"n\">", totals.games, "</td><td class=\"n\">", totals.evenings, "</td><td class=\"n\">",
                 totals.wins, "</td>"});
        share_cell(out, totals.wins, totals.games);
        out.put({"<td class=\"n\">", totals.kills, "</td><td class=\"n\">", totals.deaths, "</td>"});
        kills_per_death_cell(out, totals.kills, totals.deaths);
        out.put({"<td class=\"n\">", totals.suicides, "</td><td class=\"n\">",
                 game_length(static_cast<int>(totals.seconds)), "</td><td>"});
        if (!totals.last_evening.empty())
            evening_link(out, totals.last_evening, "");
        else
            out.put({"\xE2\x80\x94"});
        out.put({"</td></tr>\n"});
    }
    if (listed == 0) out.put({"<tr><td colspan=\"13\">", empty, "</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n"});
}

// The ranking's list and its resting players, under a heading that says
// why they rest and how a player enters the ranking.
void ranking_lists(HtmlWriter& out, const SiteData& data, const SiteRatings& ratings, const Ranking& ranking,
                   const HtmlText& ranking_id, const HtmlText& resting_id) {
    ranking_table(out, data, ranking, ranking.order, true, ranking_id,
                  "Nobody is ranked yet: see the resting players below.");
    out.put({"<h3>Resting: fewer than ", ratings.min_games, " rated games, or none in the last ", ratings.active_days,
             " days</h3>\n<p class=\"facts\">A player enters the ranking with his ", ratings.min_games, "th rated game",
             ranking.type_name.empty() ? Piece("") : Piece(" of this type"),
             ", and rests again when his last one is more than ", ratings.active_days,
             " days before the last evening of the history. Until then his rating is kept here.</p>\n"});
    ranking_table(out, data, ranking, ranking.resting, false, resting_id, "Nobody rests.");
}

// The rating in plain words, for every reader.
constexpr Markup RATING_IN_WORDS =
    "<p class=\"facts\">A rating is a cautious estimate of a player\xE2\x80\x99s skill: the skill his games show, "
    "less three times its uncertainty, so that one lucky evening does not top many evenings of steady play. "
    "It rises with wins, the more so over stronger opponents, and falls with losses, the more so to weaker ones. "
    "The uncertainty shrinks with every rated game and grows again with every evening a player misses. "
    "A game rates everyone who was in it for at least half of it (in a team game, on one team), and a team is as "
    "strong as its players together. Bots count as opponents, each name at each skill with a rating of its own, "
    "but are never ranked.</p>\n";

// Every number the ratings use, so that a reader can check them.
void rating_rules(HtmlWriter& out, const SiteRatings& ratings) {
    const RatingConstants c = rating_constants();
    char text[1536];
    std::snprintf(
        text, sizeof text,
        "A rating is a skill \xCE\xBC with its uncertainty \xCF\x83 (Weng and Lin, Plackett\xE2\x80\x93Luce): "
        "\xCE\xBC = %g and \xCF\x83 = %.4g to start, \xCE\xB2 = %.4g, \xCE\xBA = %g. "
        "Players are ranked by \xCE\xBC \xE2\x88\x92 %g\xCF\x83 after %d rated games, while their last rated game "
        "is at most %d days before the history's last evening. "
        "For every evening a rated player misses, \xCF\x83 grows by \xCF\x84 = %.4g, up to %.4g. "
        "A game rates the humans and bots who were in it for at least %g%% of it: by their places, or, in team games, "
        "by the team results for the team a player spent the most time on (at least %g%% of the game), a team being "
        "the sums of its players\xE2\x80\x99 \xCE\xBC and \xCF\x83\xC2\xB2. A game is rated with at least one "
        "human among them and two of them, or two teams. A game type gets a ranking of its own from %d rated games.",
        c.mu, c.sigma, c.beta, c.kappa, c.ranking_sigmas, ratings.min_games, ratings.active_days, c.tau, c.max_sigma,
        100.0 * c.min_share_on_team, 100.0 * c.min_share_on_team, c.min_games_per_type);
    out.put({"<p class=\"facts\">", HtmlText::escape(text), "</p>\n"});
}

// The id of a list of a game type: the prefix and the type in the letters
// of a file name.
HtmlText type_id(const char* prefix, const std::string& type_name) {
    std::string id = prefix;
    bool dash = false;
    for (char c : type_name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        const bool upper = c >= 'A' && c <= 'Z';
        if (letter || upper) {
            if (dash && id.back() != '-') id += '-';
            dash = false;
            id += upper ? static_cast<char>(c - 'A' + 'a') : c;
        } else {
            dash = true;
        }
    }
    return HtmlText::escape(id);
}

// The bots as the ratings know them: each name at each skill, with the
// rating its games gave it. Here a player sees how strong the server's
// bots are; they are never ranked.
void bots_table(HtmlWriter& out, const SiteData& data, const SiteRatings& ratings) {
    out.put(
        {"<section id=\"bots-list\">\n<h2>Bots</h2>\n<p class=\"facts\">Bots are rated as opponents, each name at "
         "each skill apart, and never ranked.</p>\n<div class=\"scroll\"><table id=\"bots\">\n<thead><tr>"});
    header_cell(out, "Bot", nullptr, false);
    header_cell(out, "Rating",
                "A cautious estimate of skill, then the skill and its uncertainty: "
                "\xCE\xBC \xE2\x88\x92 3\xCF\x83 (\xCE\xBC \xC2\xB1 \xCF\x83)");
    header_cell(out, "Games", "Rated games");
    out.put({"</tr></thead>\n<tbody>\n"});
    for (const RatedBot& bot : ratings.bots) {
        const SitePlayer& p = data.players[static_cast<std::size_t>(bot.player)];
        out.put({"<tr><th scope=\"row\"><a href=\"players/", HtmlText::escape(p.file), ".html\">", history_text(p.name),
                 "</a>"});
        if (bot.skill >= 0)
            out.put({" (skill ", bot.skill, ")"});
        else
            out.put({" (skill unknown)"});
        out.put({"</th><td class=\"n\">", rating_text(bot.value), "</td><td class=\"n\">", bot.rated_games,
                 "</td></tr>\n"});
    }
    if (ratings.bots.empty()) out.put({"<tr><td colspan=\"3\">No bot has played a rated game.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

// The index lists the last evenings only, so that it stays small on a
// server of many years; every evening is on its year's page.
constexpr std::size_t INDEX_EVENINGS = 30;

void evenings_list(HtmlWriter& out, const SiteData& data) {
    out.put({"<section id=\"evenings-list\">\n<h2>Evenings</h2>\n"});
    const std::size_t to = data.evenings.size();
    const std::size_t from = to > INDEX_EVENINGS ? to - INDEX_EVENINGS : 0;
    if (from > 0)
        out.put({"<p class=\"facts\">The last ", static_cast<long long>(INDEX_EVENINGS), " of ",
                 static_cast<long long>(to), ", the latest first.</p>\n"});
    // The latest evening first: the one a reader comes for.
    evenings_table(out, data, from, to, "");
    if (to > 0) years_line(out, data, "");
    out.put({"</section>\n"});
}
// Most games first; equal counts by name.
void maps_table(HtmlWriter& out, const SiteData& data) {
    out.put({"<section id=\"maps-list\">\n<h2>Maps</h2>\n<div class=\"scroll\"><table id=\"maps\">\n<thead><tr>"});
    header_cell(out, "Map", nullptr, false);
    header_cell(out, "Games");
    header_cell(out, "Most wins", "The player crowned most often on the map", false);
    out.put({"</tr></thead>\n<tbody>\n"});
    std::vector<const SiteMap*> maps;
    for (const SiteMap& map : data.maps) maps.push_back(&map);
    std::stable_sort(maps.begin(), maps.end(), [](const SiteMap* a, const SiteMap* b) {
        return a->games != b->games ? a->games > b->games : a->name < b->name;
    });
    for (const SiteMap* map : maps) {
        out.put({"<tr><th scope=\"row\">"});
        map_link(out, data, map->name, "");
        out.put({"</th><td class=\"n\">", map->games, "</td><td>"});
        const auto [best, wins] = most_wins(*map);
        player_link(out, data, data.index_of(best), "");
        if (best >= 0)
            out.put({" <span class=\"count\">(", wins, wins == 1 ? Piece(" win)") : Piece(" wins)"), "</span>"});
        out.put({"</td></tr>\n"});
    }
    if (data.maps.empty()) out.put({"<tr><td colspan=\"3\">No game yet.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

// Each server, with its games and its first and last evening.
void servers_table(HtmlWriter& out, const SiteData& data) {
    out.put(
        {"<section id=\"servers-list\">\n<h2>Servers</h2>\n<div class=\"scroll\"><table id=\"servers\">\n"
         "<thead><tr>"});
    header_cell(out, "Server", nullptr, false);
    header_cell(out, "Games");
    header_cell(out, "First evening", nullptr, false);
    header_cell(out, "Last evening", nullptr, false);
    out.put({"</tr></thead>\n<tbody>\n"});
    std::vector<const SiteServer*> servers;
    for (const SiteServer& server : data.servers) servers.push_back(&server);
    std::stable_sort(servers.begin(), servers.end(),
                     [](const SiteServer* a, const SiteServer* b) { return a->name < b->name; });
    for (const SiteServer* server : servers) {
        out.put({"<tr><th scope=\"row\">", history_text(server->name), "</th><td class=\"n\">", server->games,
                 "</td><td>"});
        for (const std::string* evening : {&server->first_evening, &server->last_evening}) {
            if (evening->empty())
                out.put({"\xE2\x80\x94"});
            else
                evening_link(out, *evening, "");
            out.put({evening == &server->first_evening ? Piece("</td><td>") : Piece("</td></tr>\n")});
        }
    }
    if (data.servers.empty()) out.put({"<tr><td colspan=\"4\">No game yet.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

void totals_table(HtmlWriter& out, const SiteData& data) {
    const Totals& t = data.totals;
    long long humans = 0;
    for (const SitePlayer& p : data.players) humans += p.bot ? 0 : 1;
    constexpr Markup head =
        "<section id=\"totals-list\">\n<h2>Totals</h2>\n<div class=\"scroll\"><table id=\"totals\">\n<tbody>\n"
        "<tr><th scope=\"row\">Games</th><td class=\"n\">";
    out.put(
        {head, t.games, "</td></tr>\n<tr><th scope=\"row\">Evenings</th><td class=\"n\">",
         static_cast<long long>(data.evenings.size()), "</td></tr>\n<tr><th scope=\"row\">Players</th><td class=\"n\">",
         static_cast<long long>(data.players.size()), "</td></tr>\n<tr><th scope=\"row\">Humans</th><td class=\"n\">",
         humans, "</td></tr>\n<tr><th scope=\"row\">Time played</th><td class=\"n\">",
         game_length(static_cast<int>(t.seconds)), "</td></tr>\n<tr><th scope=\"row\">Kills</th><td class=\"n\">",
         t.kills, "</td></tr>\n<tr><th scope=\"row\">Deaths</th><td class=\"n\">", t.deaths,
         "</td></tr>\n<tr><th scope=\"row\">Suicides</th><td class=\"n\">", t.suicides, "</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

// In the order of their names, case aside; equal names by id.
void players_list(HtmlWriter& out, const SiteData& data) {
    out.put({"<section id=\"players\">\n<h2>Every player</h2>\n<ul class=\"legend\">\n"});
    std::vector<int> order(data.players.size());
    for (std::size_t p = 0; p < order.size(); ++p) order[p] = static_cast<int>(p);
    std::vector<std::string> keys;
    for (const SitePlayer& p : data.players) keys.push_back(sort_key(p.name));
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (keys[a] != keys[b]) return keys[a] < keys[b];
        return data.players[a].id < data.players[b].id;
    });
    for (int p : order) {
        out.put({"<li>"});
        player_link(out, data, p, "");
        out.put({"</li>\n"});
    }
    out.put({"</ul>\n</section>\n"});
}

}  // namespace

std::string index_page(const SiteData& data, const SiteRatings& ratings) {
    StringOutput text;
    HtmlWriter out(text);
    HtmlText facts = HtmlText::number(static_cast<int>(data.totals.games));
    facts += data.totals.games == 1 ? HtmlText(" game on ") : HtmlText(" games on ");
    facts += HtmlText::number(static_cast<int>(data.evenings.size()));
    facts += data.evenings.size() == 1 ? HtmlText(" evening, ") : HtmlText(" evenings, ");
    facts += HtmlText::number(static_cast<int>(data.players.size()));
    facts += data.players.size() == 1 ? HtmlText(" player.") : HtmlText(" players.");
    page_head(out, "Rankings \xE2\x80\x93 Unreal Tournament", "Rankings", facts);
    out.put({"<section id=\"rankings\">\n<h2>Ranking</h2>\n", RATING_IN_WORDS});
    rating_rules(out, ratings);
    ranking_lists(out, data, ratings, ratings.rankings.front(), "ranking", "inactive");
    out.put({"</section>\n"});
    for (std::size_t k = 1; k < ratings.rankings.size(); ++k) {
        const Ranking& ranking = ratings.rankings[k];
        const HtmlText id = type_id("ranking-", ranking.type_name);
        out.put({"<section id=\"", id, "-section\">\n<h2>Ranking of ", history_text(ranking.type_name),
                 "</h2>\n<p class=\"facts\">", ranking.rated_games, " rated games.</p>\n"});
        ranking_lists(out, data, ratings, ranking, id, type_id("inactive-", ranking.type_name));
        out.put({"</section>\n"});
    }
    bots_table(out, data, ratings);
    evenings_list(out, data);
    records_table(out, data, data.records, "");
    maps_table(out, data);
    servers_table(out, data);
    totals_table(out, data);
    players_list(out, data);
    page_foot(out);
    return text.text;
}
