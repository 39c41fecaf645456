// The pages of the site, each written whole into a string: the index, a
// page per player and a page per evening.
#pragma once

#include <string>
#include <vector>

#include "site_data.h"
#include "site_ratings.h"

class EveningGames;

// A player's rating before and after one evening.
struct RatingChange {
    int player = 0;
    RatingValue before;  // after his last evening before, with the evenings missed since; or a new player's
    RatingValue after;
};

std::string index_page(const SiteData& data, const SiteRatings& ratings);
std::string player_page(const SiteData& data, const SiteRatings& ratings, int player);
// Writes the page of an evening to page: its games' sections wait in a
// scratch file while their rows are gathered, so an evening of any size
// costs the memory of its rows only. False when the scratch file fails.
bool write_evening_page(Output& page, EveningGames& games, const SiteData& data, int evening,
                        const std::vector<RatingChange>& changes);

// The changes of each evening, by evening, the greatest rise first.
std::vector<std::vector<RatingChange>> rating_changes(const SiteData& data, const SiteRatings& ratings);
