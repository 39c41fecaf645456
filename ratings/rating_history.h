// The ratings of a whole history: every game replayed in the order of the
// start times, with the rules of who takes part in a game and the
// uncertainty that returns over the evenings a player misses.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "rating_model.h"

// The game knows at most four teams.
inline constexpr int rating_max_teams = 4;

// A player of one game as the ratings see him: a person (his names merged)
// or a bot at one skill, each with a rating of his own.
struct RatingParticipant {
    // The caller's number for the rated identity, from 0; negative for a
    // player the ratings cannot place (neither human nor bot stated).
    int player = 0;
    bool bot = false;
    // Free-for-all: his place in the game; smaller is better, equal places
    // tie, only the order counts.
    int place = 0;
    // Free-for-all: the seconds he was in the game.
    double seconds = 0;
    // Team games: the seconds he spent on each team.
    std::array<double, rating_max_teams> team_seconds{};
};

struct RatingGame {
    std::int64_t id = 0;     // the caller's number for the game, kept in the players' rating points
    std::int64_t start = 0;  // games are replayed in this order (equal starts in the order given)
    // The index of its evening among all the history's evenings (not a date),
    // not decreasing with the start.
    int evening = 0;
    // Its evening as a day number (days since any fixed day), for the rule
    // of who is active.
    int day = 0;
    int type = 0;  // the caller's number for the game type
    bool team_game = false;
    // The game's length, for the rule of half the game.
    double length_seconds = 0;
    // Team games: each team's result; a greater result is better, equal results tie.
    std::array<double, rating_max_teams> team_results{};
    std::vector<RatingParticipant> players;
};

// Whether a game changed ratings, or why not.
enum class RatingVerdict : std::uint8_t {
    Rated,
    NoPlayer,        // no player the ratings can place
    BotsOnly,        // no human in it
    NoHumanEntrant,  // no human was in it (on one team) for half of it
    OneEntrant,      // a free-for-all of fewer than two entrants
    OneTeam,         // a team game with entrants on fewer than two teams
};

// What one player of a game was to its update.
enum class RatingPart : std::uint8_t {
    Entrant,      // rated by the game, if it was rated
    Unplaced,     // neither human nor bot stated
    ShortStay,    // in a free-for-all for less than half of it
    ShortOnTeam,  // in a team game on no team for half of it
};

// One game as the replay saw it, for a page to explain.
struct GameRating {
    RatingVerdict verdict = RatingVerdict::NoPlayer;
    std::vector<RatingPart> parts;  // by the game's players as given
    // Rated team games: each team's chance of winning as the ratings saw it
    // just before the game (against each other team with entrants, averaged);
    // negative for a team without entrants.
    std::array<double, rating_max_teams> chances{-1, -1, -1, -1};
};

// A player's rating after one of his rated games, for a chart.
struct RatingPoint {
    std::int64_t game = 0;
    int evening = 0;
    Rating rating;
};

struct RatedPlayer {
    Rating rating;  // after the last evening of the history
    // At the start of his last evening with a game: the rating his first
    // game of that evening started from, his absences added.
    Rating evening_start;
    bool bot = false;
    int rated_games = 0;
    int wins = 0;      // rated games he finished ahead of every other entrant, alone
    int evenings = 0;  // evenings he took part in a game of the replay, rated or not
    int last_evening = -1;
    int last_rated_evening = -1;
    int last_rated_day = 0;  // the day of last_rated_evening
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
    // Keep at most this many points of a player, his last (0: all of them).
    std::size_t max_points = 0;
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
    // Takes up a replay where an earlier one stopped, with the state its
    // replay() gave then.
    RatingReplayer(RatingReplayOptions options, RatingReplay resumed);
    RatingReplayer(RatingReplayer&&) noexcept;
    RatingReplayer& operator=(RatingReplayer&&) noexcept;
    ~RatingReplayer();

    // Rates one game; what it was to the ratings stays valid until the next
    // call. A game of another type than only_type is passed over (verdict
    // NoPlayer, no parts).
    const GameRating& add(const RatingGame& game);
    // Games rated so far.
    int rated_games() const { return replay_.rated_games; }
    // The players as the games so far left them (absences counted up to
    // their last game only).
    const std::vector<RatedPlayer>& players() const { return replay_.players; }
    // All the replay holds, to take it up again later.
    const RatingReplay& replay() const { return replay_; }
    // The history's last evening, to which finish() counts the absences.
    void set_last_evening(int evening) { options_.last_evening = evening; }
    // Counts the absences up to the last evening and hands the replay over;
    // the replayer is spent after it.
    RatingReplay finish();

private:
    RatingReplayOptions options_;
    RatingReplay replay_;
    std::unique_ptr<GameEntrants> entrants_;
    RatingScratch scratch_;
    GameRating outcome_;
};

// Replays the games in the order of their start times and returns every
// player's rating, with the absences counted up to the last evening.
RatingReplay replay_ratings(std::span<const RatingGame> games, const RatingReplayOptions& options = {});

// Who a ranking lists, and who rests.
struct RankingRule {
    int min_games = rating_default_min_games;
    int active_days = rating_active_days;
    // The day of the history's last evening: a player whose last rated game
    // is more than active_days before it rests. None: nobody rests for
    // absence.
    std::optional<int> last_day;
};

// Each list best first by mu - 3 sigma; equal estimates go by the smaller
// player number.
struct RankingLists {
    // Humans with at least min_games rated games and a rated game at most
    // active_days before the last day.
    std::vector<int> ranked;
    std::vector<int> resting;  // every other human with a rated game
    std::vector<int> bots;     // bots with a rated game: never ranked
};
RankingLists rank_players(const RatingReplay& replay, const RankingRule& rule = {});

// The game types with at least min_games rated games, in increasing order:
// those that get a ranking of their own.
std::vector<int> types_to_rank(std::span<const RatingGame> games, int min_games = rating_min_games_per_type);
