#include "rating_history.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <map>
#include <numeric>
#include <utility>

// Who takes part in one game and for which entrant. Kept from game to game
// so that a replay does not allocate for each.
class GameEntrants {
public:
    std::vector<RatingParticipant> people;  // the game's rated identities, each once
    std::vector<RatingPart> person_part;    // per person
    std::vector<int> listed_as;             // per player as the game lists him: his person, or -1
    std::vector<int> places;                // per entrant
    std::vector<int> entrant_team;          // per entrant of a team game: its team
    std::vector<int> seat_people;           // per seat, the person rated there
    std::vector<RatedSeat> seats;

    // Fills the lists for a game and says whether it rates anyone: at least
    // one human entrant and at least two entrants.
    RatingVerdict collect(const RatingGame& game) {
        merge_people(game);
        places.clear();
        entrant_team.clear();
        seat_people.clear();
        seats.clear();
        person_part.assign(people.size(), RatingPart::Entrant);
        if (game.team_game)
            collect_teams(game);
        else
            collect_free_for_all(game);

        bool human = false;
        bool bot = false;
        for (const RatingParticipant& person : people) (person.bot ? bot : human) = true;
        if (!human) return bot ? RatingVerdict::BotsOnly : RatingVerdict::NoPlayer;
        bool human_entrant = false;
        for (int person : seat_people) human_entrant = human_entrant || !people[person].bot;
        if (!human_entrant) return RatingVerdict::NoHumanEntrant;
        if (places.size() < 2) return game.team_game ? RatingVerdict::OneTeam : RatingVerdict::OneEntrant;
        return RatingVerdict::Rated;
    }

    // Whether entrant e finished ahead of every other entrant.
    bool won(int e) const {
        for (std::size_t other = 0; other < places.size(); ++other)
            if (static_cast<int>(other) != e && places[other] <= places[e]) return false;
        return true;
    }

private:
    std::vector<std::uint32_t> stamp_;  // per player, the game that listed him last
    std::vector<int> slot_;             // per player, his place in people
    std::uint32_t game_count_ = 0;

    // One person may stand in a game's list more than once, under two of his
    // names; he plays there once, with his times added and his best place.
    void merge_people(const RatingGame& game) {
        ++game_count_;
        people.clear();
        listed_as.clear();
        for (const RatingParticipant& listed : game.players) {
            if (listed.player < 0) {
                listed_as.push_back(-1);
                continue;
            }
            const auto id = static_cast<std::size_t>(listed.player);
            if (id >= stamp_.size()) {
                stamp_.resize(id + 1, 0);
                slot_.resize(id + 1, 0);
            }
            if (stamp_[id] == game_count_) {
                RatingParticipant& kept = people[static_cast<std::size_t>(slot_[id])];
                kept.place = std::min(kept.place, listed.place);
                kept.seconds += listed.seconds;
                for (int t = 0; t < rating_max_teams; ++t) kept.team_seconds[t] += listed.team_seconds[t];
                listed_as.push_back(slot_[id]);
                continue;
            }
            stamp_[id] = game_count_;
            slot_[id] = static_cast<int>(people.size());
            listed_as.push_back(slot_[id]);
            people.push_back(listed);
        }
    }

    bool long_enough(double seconds, double length) const { return seconds >= rating_min_share_on_team * length; }

    // Each player in the game for at least half of it is an entrant of his
    // own, placed by his place.
    void collect_free_for_all(const RatingGame& game) {
        for (std::size_t person = 0; person < people.size(); ++person) {
            if (!long_enough(people[person].seconds, game.length_seconds)) {
                person_part[person] = RatingPart::ShortStay;
                continue;
            }
            add_seat(static_cast<int>(person), add_entrant(people[person].place));
        }
    }

    // Team games: each player counts, in full, for the team he spent the
    // most time on (the first of equal times), unless that is less than half
    // of the game; the teams with a player are the entrants, placed by their
    // results.
    void collect_teams(const RatingGame& game) {
        std::array<int, rating_max_teams> entrant_of;
        entrant_of.fill(-1);
        for (std::size_t person = 0; person < people.size(); ++person) {
            const RatingParticipant& p = people[person];
            int team = 0;
            for (int t = 1; t < rating_max_teams; ++t)
                if (p.team_seconds[t] > p.team_seconds[team]) team = t;
            const double seconds = p.team_seconds[team];
            if (!(seconds > 0) || !long_enough(seconds, game.length_seconds)) {
                person_part[person] = RatingPart::ShortOnTeam;
                continue;
            }
            if (entrant_of[team] < 0) {
                entrant_of[team] = add_entrant(0);
                entrant_team.push_back(team);
            }
            add_seat(static_cast<int>(person), entrant_of[team]);
        }
        for (int t = 0; t < rating_max_teams; ++t) {
            if (entrant_of[t] < 0) continue;
            int ahead = 0;
            for (int u = 0; u < rating_max_teams; ++u)
                if (entrant_of[u] >= 0 && game.team_results[u] > game.team_results[t]) ++ahead;
            places[entrant_of[t]] = 1 + ahead;
        }
    }

    int add_entrant(int place) {
        places.push_back(place);
        return static_cast<int>(places.size()) - 1;
    }

    void add_seat(int person, int entrant) {
        seat_people.push_back(person);
        seats.push_back({entrant, {}});
    }
};

namespace {

// The uncertainty regained over evenings missed, as if added one evening at a
// time, each capped.
void add_absence(Rating& rating, int evenings_missed) {
    if (evenings_missed <= 0) return;
    const double var = rating.sigma * rating.sigma + evenings_missed * rating_absence_tau * rating_absence_tau;
    rating.sigma = std::min(std::sqrt(var), rating_max_sigma);
}

RatedPlayer& player_slot(RatingReplay& replay, int player) {
    if (static_cast<std::size_t>(player) >= replay.players.size()) replay.players.resize(player + 1);
    return replay.players[player];
}

// Each team's chance against each other team, averaged: with two teams, the
// chance that it beats the other.
void team_chances(const GameEntrants& entrants, GameRating& outcome) {
    const std::size_t teams = entrants.places.size();
    std::array<double, rating_max_teams> mu{};
    std::array<double, rating_max_teams> var{};
    for (const RatedSeat& seat : entrants.seats) {
        mu[seat.entrant] += seat.rating.mu;
        var[seat.entrant] += seat.rating.sigma * seat.rating.sigma;
    }
    for (std::size_t e = 0; e < teams; ++e) {
        double sum = 0;
        for (std::size_t other = 0; other < teams; ++other)
            if (other != e) sum += win_chance(mu[e], var[e], mu[other], var[other]);
        outcome.chances[entrants.entrant_team[e]] = sum / static_cast<double>(teams - 1);
    }
}

}  // namespace

RatingReplayer::RatingReplayer(RatingReplayOptions options)
    : options_(options), entrants_(std::make_unique<GameEntrants>()) {}
RatingReplayer::RatingReplayer(RatingReplayOptions options, RatingReplay resumed)
    : options_(options), replay_(std::move(resumed)), entrants_(std::make_unique<GameEntrants>()) {}
RatingReplayer::RatingReplayer(RatingReplayer&&) noexcept = default;
RatingReplayer& RatingReplayer::operator=(RatingReplayer&&) noexcept = default;
RatingReplayer::~RatingReplayer() = default;

const GameRating& RatingReplayer::add(const RatingGame& game) {
    // Games come in the order of their start, so their evenings never go back.
    assert(game.evening >= replay_.last_evening);
    // The evenings are the whole history's, whatever the type replayed.
    replay_.last_evening = std::max(replay_.last_evening, game.evening);
    outcome_.verdict = RatingVerdict::NoPlayer;
    outcome_.parts.clear();
    outcome_.chances.fill(-1);
    if (options_.only_type && game.type != *options_.only_type) return outcome_;
    GameEntrants& entrants = *entrants_;
    outcome_.verdict = entrants.collect(game);
    for (int person : entrants.listed_as)
        outcome_.parts.push_back(person < 0 ? RatingPart::Unplaced : entrants.person_part[person]);

    // Everyone in the game was there that evening; what he missed before
    // it is added now, before the game rates him.
    for (const RatingParticipant& person : entrants.people) {
        RatedPlayer& player = player_slot(replay_, person.player);
        player.bot = person.bot;
        if (player.last_evening == game.evening) continue;
        if (player.rated_games > 0) add_absence(player.rating, game.evening - player.last_evening - 1);
        player.evening_start = player.rating;
        ++player.evenings;
        player.last_evening = game.evening;
    }
    if (outcome_.verdict != RatingVerdict::Rated) return outcome_;

    ++replay_.rated_games;
    for (std::size_t s = 0; s < entrants.seats.size(); ++s) {
        const int person = entrants.seat_people[s];
        entrants.seats[s].rating = replay_.players[entrants.people[person].player].rating;
    }
    if (game.team_game) team_chances(entrants, outcome_);
    rate_game(entrants.places, entrants.seats, scratch_);
    for (std::size_t s = 0; s < entrants.seats.size(); ++s) {
        RatedPlayer& player = replay_.players[entrants.people[entrants.seat_people[s]].player];
        player.rating = entrants.seats[s].rating;
        ++player.rated_games;
        player.last_rated_evening = game.evening;
        player.last_rated_day = game.day;
        if (entrants.won(entrants.seats[s].entrant)) ++player.wins;
        if (!options_.keep_points) continue;
        const RatingPoint point{game.id, game.evening, player.rating};
        if (options_.points_per_evening && !player.points.empty() && player.points.back().evening == game.evening) {
            player.points.back() = point;
        } else {
            player.points.push_back(point);
            if (options_.max_points > 0 && player.points.size() > options_.max_points)
                player.points.erase(player.points.begin());
        }
    }
    return outcome_;
}

RatingReplay RatingReplayer::finish() {
    if (options_.last_evening) replay_.last_evening = *options_.last_evening;
    for (RatedPlayer& player : replay_.players)
        if (player.rated_games > 0) add_absence(player.rating, replay_.last_evening - player.last_evening);
    return std::move(replay_);
}

RatingReplay replay_ratings(std::span<const RatingGame> games, const RatingReplayOptions& options) {
    std::vector<std::size_t> order(games.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return games[a].start < games[b].start; });
    RatingReplayer replayer(options);
    for (std::size_t index : order) replayer.add(games[index]);
    return replayer.finish();
}

RankingLists rank_players(const RatingReplay& replay, const RankingRule& rule) {
    RankingLists lists;
    for (std::size_t id = 0; id < replay.players.size(); ++id) {
        const RatedPlayer& player = replay.players[id];
        if (player.rated_games == 0) continue;
        const bool active = !rule.last_day || *rule.last_day - player.last_rated_day <= rule.active_days;
        std::vector<int>& list = player.bot                                       ? lists.bots
                                 : player.rated_games >= rule.min_games && active ? lists.ranked
                                                                                  : lists.resting;
        list.push_back(static_cast<int>(id));
    }
    for (std::vector<int>* list : {&lists.ranked, &lists.resting, &lists.bots})
        std::sort(list->begin(), list->end(), [&](int a, int b) {
            const RatedPlayer& x = replay.players[a];
            const RatedPlayer& y = replay.players[b];
            if (x.conservative() != y.conservative()) return x.conservative() > y.conservative();
            return a < b;
        });
    return lists;
}

std::vector<int> types_to_rank(std::span<const RatingGame> games, int min_games) {
    std::map<int, int> rated_per_type;
    GameEntrants entrants;
    for (const RatingGame& game : games)
        if (entrants.collect(game) == RatingVerdict::Rated) ++rated_per_type[game.type];
    std::vector<int> types;
    for (const auto& [type, count] : rated_per_type)
        if (count >= min_games) types.push_back(type);
    return types;
}
