// Every number the ratings depend on, in one place, so that a page showing a
// ranking can state them.
#pragma once

// A new player's mean skill and its uncertainty.
inline constexpr double rating_initial_mu = 25.0;
inline constexpr double rating_initial_sigma = 25.0 / 3.0;

// The spread of one game's performance around the skill.
inline constexpr double rating_beta = rating_initial_sigma / 2.0;

// The least share of a variance a game may leave, so that no uncertainty
// ever reaches zero however surprising a result.
inline constexpr double rating_kappa = 0.0001;

// Uncertainty regained for each evening a rated player misses, up to the
// uncertainty of a new player; nothing is added per game.
inline constexpr double rating_absence_tau = 25.0 / 300.0;
inline constexpr double rating_max_sigma = rating_initial_sigma;

// The ranking orders players by mu - 3 sigma, a skill they have with high
// probability.
inline constexpr double rating_ranking_sigmas = 3.0;

// Rated games a player needs before he enters a ranking.
inline constexpr int rating_default_min_games = 5;

// A ranked player's last rated game is at most this many days before the
// history's last evening; the others rest until they play again.
inline constexpr int rating_active_days = 90;

// Rated games a game type needs before it gets a ranking of its own.
inline constexpr int rating_min_games_per_type = 20;

// A player takes part in a game's update only with at least this share of
// the game in it (in a team game: on one team).
inline constexpr double rating_min_share_on_team = 0.5;
