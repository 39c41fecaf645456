// The ratings as the site shows them: the history's games handed to the
// rating replay, and what comes back by the site's players.
#pragma once

#include <string>
#include <vector>

#include "site_data.h"

class HistoryStore;

// mu and sigma after a moment of a player's history.
struct RatingValue {
    double mu = 0;
    double sigma = 0;
    double conservative() const;
};

// A player's rating after the last of his rated games of one evening.
struct RatingStep {
    int evening = 0;  // index into SiteData::evenings, -1 for a game without one
    RatingValue value;
};

struct Ranking {
    std::string type_name;            // empty for the overall ranking
    long long rated_games = 0;        // games that changed a rating
    std::vector<int> order;           // the players in it, best first
    std::vector<RatingValue> values;  // by player, for those in order
    std::vector<int> rated_games_of;  // by player
};

struct SiteRatings {
    std::vector<Ranking> rankings;  // the overall one first, then one per game type with enough games
    // By player: the overall rating after each evening he had a rated game,
    // so that it grows with the evenings, not the games.
    std::vector<std::vector<RatingStep>> steps;
    int min_games = 0;  // rated games a player needs before he is ranked
};

// The ratings of every game of the history, replayed by start.
SiteRatings rate_history(HistoryStore& store, const SiteData& data);

// The constants of the ratings, for the page that states them.
struct RatingConstants {
    double mu, sigma, beta, kappa, tau, max_sigma, ranking_sigmas;
    int min_games, min_games_per_type;
    double min_share_on_team;
};
RatingConstants rating_constants();
