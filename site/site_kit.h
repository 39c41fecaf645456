// The pieces the site's pages share, on top of the games page's kit: names
// of the history (UTF-8) as escaped text, links between the pages, ratings
// and evenings as text.
#pragma once

#include <string>
#include <utility>

#include "html_text.h"
#include "page_writer.h"
#include "site_data.h"
#include "site_ratings.h"

// A text of the history (UTF-8), escaped.
HtmlText history_text(const std::string& utf8);

// "players/bob.html" from the folder of the page given by up ("" or "../").
void player_link(HtmlWriter& out, const SiteData& data, int player, Markup up);
// A map's name (UTF-8), linking to its page; the name alone for a map the
// site has no page of.
void map_link(HtmlWriter& out, const SiteData& data, const std::string& map, Markup up);
// "27 March 2011" of an evening, linking to its page.
void evening_link(HtmlWriter& out, const std::string& evening, Markup up);
// The link to a game on its evening's page, "27 March 2011, game 03".
void game_link(HtmlWriter& out, const std::string& evening, int number, Markup up);

// The table of evenings [from, to) of data.evenings, the latest first:
// date, games, players and the evening's best player.
void evenings_table(HtmlWriter& out, const SiteData& data, std::size_t from, std::size_t to, Markup up);
// The years of the evenings, each linking to its page of evenings.
void years_line(HtmlWriter& out, const SiteData& data, Markup up);
// A year's page of evenings: "evenings/2011.html" of "2011".
std::string year_page_path(const std::string& year);

// "27 March 2011" of "2011-03-27"; the text itself when it is no date.
HtmlText evening_text(const std::string& evening);

// The player crowned most often on a map and how often; equal counts go to
// the smaller player id; -1 when nobody was.
std::pair<long long, long long> most_wins(const SiteMap& map);

// A name as the lists order it: its letters without their case.
std::string sort_key(const std::string& utf8_name);

// The records' table: the value, its player and its game; up leads from the
// page's folder to the site's.
void records_table(HtmlWriter& out, const SiteData& data, const SiteRecords& records, Markup up);

// "21.3 (27.9 ± 2.2)": mu - 3 sigma, then mu and sigma, one decimal each.
HtmlText rating_text(const RatingValue& value);
// A number of tenths, rounded: 2.25 is "2.3" (a decimal of one digit).
Tenths tenths(double value);

// Kills per death as "1.5", "—" without a death.
void kills_per_death_cell(HtmlWriter& out, long long kills, long long deaths);
// A share of whole per cent, "45 %", "—" of nothing.
void share_cell(HtmlWriter& out, long long part, long long whole);
