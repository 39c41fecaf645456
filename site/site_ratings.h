// The ratings as the site shows them: the history's games handed to the
// rating replay one at a time, what each game was to the ratings, and what
// comes back by the site's players.
#pragma once

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "history_reader.h"
#include "rating_history.h"
#include "site_data.h"

class StateReader;
class StateWriter;

// mu and sigma after a moment of a player's history.
struct RatingValue {
    double mu = 0;
    double sigma = 0;
    double conservative() const;
};

// A player's rating after the last of his rated games of one evening.
struct RatingStep {
    int evening = 0;  // index into SiteData::evenings
    RatingValue value;
};

// A player's rating before and after one evening.
struct RatingChange {
    int player = 0;      // index into SiteData::players
    RatingValue before;  // after his last evening before, with the evenings missed since; or a new player's
    RatingValue after;
};

struct Ranking {
    std::string type_name;            // empty for the overall ranking
    long long rated_games = 0;        // games that changed a rating
    std::vector<int> order;           // the players in it, best first
    std::vector<int> resting;         // the other rated humans, best first
    std::vector<RatingValue> values;  // by player, for those in order or resting
    std::vector<int> rated_games_of;  // by player
};

// A bot as the ratings know it: its name at one skill.
struct RatedBot {
    int player = -1;  // the site's player of its name
    int skill = -1;   // -1 where the history keeps none
    RatingValue value;
    int rated_games = 0;
};

// How many of a player's last evenings with rated games his chart shows.
inline constexpr std::size_t CHART_EVENINGS = 200;

struct SiteRatings {
    std::vector<Ranking> rankings;  // the overall one first, then one per game type with enough games
    // By player: the overall rating after each of his last evenings with a
    // rated game, and after his last rated game (no absence counted).
    std::vector<std::vector<RatingStep>> steps;
    std::vector<RatingValue> last;
    std::vector<RatedBot> bots;  // with a rated game, best first
    int min_games = 0;           // rated games a player needs before he is ranked
    int active_days = 0;         // days since his last rated game within which he stays ranked
};

// One game as the ratings saw it, for its evening's page.
struct RatedGame {
    long long id = 0;
    GameRating rating;  // parts by the game's players in the order of their slots
    // The text of each team of the rating (a numbered team, or a side of
    // Assault), as the history keeps it; empty for a team not seen.
    std::array<std::string, rating_max_teams> team_names;
};

// The ratings replayed over the history's games in the order of their start
// (the dated ones first), one game at a time, so that a page can show what
// each game was to them while the games are read. Holds what grows with the
// players and evenings, never the games. Humans are rated as the players
// their names are merged into, bots as their name at their skill.
class SiteRater {
public:
    explicit SiteRater(const SiteData& data);

    // Rates a game of the evening of that index into data.evenings; the
    // site's fold has added it.
    const RatedGame& add(const HistoryGame& history, int evening);
    // The changes of the human players rated since the last call (or the
    // start), the greatest rise first: the evening just rated.
    std::vector<RatingChange> take_evening_changes();
    // The rankings and the players' ratings after the games added.
    SiteRatings finish();

    // All the rater holds, to take it up again at the next build.
    void save(StateWriter& out) const;
    bool load(StateReader& in);

private:
    const SiteData& data_;
    RatingReplayer overall_;
    std::vector<std::pair<int, RatingReplayer>> by_type_;  // by the game type's number, in the order met
    std::vector<std::string> type_names_;                  // parallel to by_type_
    // The rated identities: a human by his index among the site's players,
    // a bot by its player's index and its skill, each numbered when first
    // met.
    struct Identity {
        int player = -1;
        int skill = -1;
        bool bot = false;
    };
    std::vector<Identity> identities_;
    std::map<int, int> human_number_;
    std::map<std::pair<int, int>, int> bot_number_;
    RatingGame game_;
    RatedGame rated_;
    std::vector<int> evening_players_;  // human identities rated since the last changes were taken

    int identity(const Identity& who);
};

// The constants of the ratings, for the page that states them.
struct RatingConstants {
    double mu, sigma, beta, kappa, tau, max_sigma, ranking_sigmas;
    int min_games, min_games_per_type, active_days;
    double min_share_on_team;
};
RatingConstants rating_constants();

// The days from 1 January 1970 to an evening "YYYY-MM-DD" (0 for no date).
int evening_day(const std::string& evening);
