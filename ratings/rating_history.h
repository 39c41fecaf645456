// The ratings of a whole history: every game replayed in the order of the
// start times, with the rules of who is rated in a game and the uncertainty
// that returns over the evenings a player misses.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "rating_model.h"

// The game knows at most four teams.
inline constexpr int rating_max_teams = 4;

// A human in one game. Bots are never passed: they are never rated.
struct RatingHuman {
    int player = 0;  // the caller's number for the person, from 0, after merging his names (a negative one is skipped)
    // Free-for-all: his place among the humans; smaller is better, equal
    // places tie, only the order counts.
    int place = 0;
    // Team games: the seconds he spent on each team.
    std::array<double, rating_max_teams> team_seconds{};
};

struct RatingGame {
    std::int64_t id = 0;     // the caller's number for the game, kept in the players' rating points
    std::int64_t start = 0;  // games are replayed in this order (equal starts in the order given)
    // The index of its evening among all the history's evenings (not a date),
    // not decreasing with the start.
    int evening = 0;
    int type = 0;  // the caller's number for the game type
    bool team_game = false;
    double length_seconds = 0;  // team games: the game's length, for the rule of half the game on one team
    // Team games: each team's result; a greater result is better, equal results tie.
    std::array<double, rating_max_teams> team_results{};
    std::vector<RatingHuman> humans;
};

// A player's rating after one of his rated games, for a chart.
struct RatingPoint {
    std::int64_t game = 0;
    int evening = 0;
    Rating rating;
};

struct RatedPlayer {
    Rating rating;  // after the last evening of the history
    int rated_games = 0;
    int wins = 0;      // rated games he finished ahead of every other entrant, alone
    int evenings = 0;  // evenings he took part in a game of the replay, rated or not
    int last_evening = -1;
    std::vector<RatingPoint> points;
    double conservative() const { return rating.mu - rating_ranking_sigmas * rating.sigma; }
};

struct RatingReplayOptions {
    // Replay only the games of this type (a ranking per game type); evenings
    // stay those of the whole history.
    std::optional<int> only_type;
    // The history's last evening, to which the absences are counted at the
    // end; by default the last evening of the games given.
    std::optional<int> last_evening;
    bool keep_points = true;
    // Keep only a player's last point of each evening, so that the points
    // grow with the evenings, not the games.
    bool points_per_evening = false;
};

struct RatingReplay {
    std::vector<RatedPlayer> players;  // indexed by the caller's player number
    int rated_games = 0;
    int last_evening = -1;
};

class GameEntrants;

// A replay fed one game at a time, already in the order of the start times,
// so that a caller never holds the whole history: what it keeps grows with
// the players (and the evenings, for points kept per evening).
class RatingReplayer {
public:
    explicit RatingReplayer(RatingReplayOptions options = {});
    RatingReplayer(RatingReplayer&&) noexcept;
    RatingReplayer& operator=(RatingReplayer&&) noexcept;
    ~RatingReplayer();

    void add(const RatingGame& game);
    // Games rated so far.
    int rated_games() const { return replay_.rated_games; }
    // Counts the absences up to the last evening and hands the replay over;
    // the replayer is spent after it.
    RatingReplay finish();

private:
    RatingReplayOptions options_;
    RatingReplay replay_;
    std::unique_ptr<GameEntrants> entrants_;
    RatingScratch scratch_;
};

// Replays the games in the order of their start times and returns every
// player's rating, with the absences counted up to the last evening.
RatingReplay replay_ratings(std::span<const RatingGame> games, const RatingReplayOptions& options = {});

// The players who have at least min_games rated games (and at least one),
// best first by mu - 3 sigma; equal estimates go by the smaller player
// number.
std::vector<int> rank_players(const RatingReplay& replay, int min_games = rating_default_min_games);

// The game types with at least min_games rated games, in increasing order:
// those that get a ranking of their own.
std::vector<int> types_to_rank(std::span<const RatingGame> games, int min_games = rating_min_games_per_type);
