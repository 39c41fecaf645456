#include "rating_history.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>
#include <numeric>
#include <utility>

// Who is rated in one game and for which entrant. Kept from game to game so
// that a replay does not allocate for each.
class GameEntrants {
public:
    std::vector<RatingHuman> humans;  // the game's humans, each person once
    std::vector<int> places;          // per entrant
    std::vector<int> seat_players;    // per seat, the player rated there
    std::vector<RatedSeat> seats;

    // Fills the lists for a game; returns whether it rates anyone, that is
    // whether it has at least two entrants.
    bool collect(const RatingGame& game) {
        merge_humans(game);
        places.clear();
        seat_players.clear();
        seats.clear();
        if (game.team_game)
            collect_teams(game);
        else
            for (const RatingHuman& human : humans) add_seat(human.player, add_entrant(human.place));
        return places.size() >= 2;
    }

    // Whether entrant e finished ahead of every other entrant.
    bool won(int e) const {
        for (std::size_t other = 0; other < places.size(); ++other)
            if (static_cast<int>(other) != e && places[other] <= places[e]) return false;
        return true;
    }

private:
    std::vector<std::uint32_t> stamp_;  // per player, the game that listed him last
    std::vector<int> slot_;             // per player, his place in humans
    std::uint32_t game_count_ = 0;

    // One person may stand in a game's list more than once, under two of his
    // names; he plays there once, with his times added and his best place.
    void merge_humans(const RatingGame& game) {
        ++game_count_;
        humans.clear();
        for (const RatingHuman& human : game.humans) {
            if (human.player < 0) continue;
            const auto id = static_cast<std::size_t>(human.player);
            if (id >= stamp_.size()) {
                stamp_.resize(id + 1, 0);
                slot_.resize(id + 1, 0);
            }
            if (stamp_[id] == game_count_) {
                RatingHuman& kept = humans[slot_[id]];
                kept.place = std::min(kept.place, human.place);
                for (int t = 0; t < rating_max_teams; ++t) kept.team_seconds[t] += human.team_seconds[t];
                continue;
            }
            stamp_[id] = game_count_;
            slot_[id] = static_cast<int>(humans.size());
            humans.push_back(human);
        }
    }

    // Team games: each human counts, in full, for the team he spent the most
    // time on (the first of equal times), unless that is less than half of
    // the game; the teams with a rated human are the entrants, placed by
    // their results.
    void collect_teams(const RatingGame& game) {
        std::array<int, rating_max_teams> entrant_of;
        entrant_of.fill(-1);
        for (const RatingHuman& human : humans) {
            int team = 0;
            for (int t = 1; t < rating_max_teams; ++t)
                if (human.team_seconds[t] > human.team_seconds[team]) team = t;
            const double seconds = human.team_seconds[team];
            if (!(seconds > 0) || seconds < rating_min_share_on_team * game.length_seconds) continue;
            if (entrant_of[team] < 0) entrant_of[team] = add_entrant(0);
            add_seat(human.player, entrant_of[team]);
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

    void add_seat(int player, int entrant) {
        seat_players.push_back(player);
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

}  // namespace

RatingReplayer::RatingReplayer(RatingReplayOptions options)
    : options_(options), entrants_(std::make_unique<GameEntrants>()) {}
RatingReplayer::RatingReplayer(RatingReplayer&&) noexcept = default;
RatingReplayer& RatingReplayer::operator=(RatingReplayer&&) noexcept = default;
RatingReplayer::~RatingReplayer() = default;

void RatingReplayer::add(const RatingGame& game) {
    // The evenings are the whole history's, whatever the type replayed.
    replay_.last_evening = std::max(replay_.last_evening, game.evening);
    if (options_.only_type && game.type != *options_.only_type) return;
    GameEntrants& entrants = *entrants_;
    const bool rated = entrants.collect(game);

    // Everyone in the game was there that evening; what he missed before
    // it is added now, before the game rates him.
    for (const RatingHuman& human : entrants.humans) {
        RatedPlayer& player = player_slot(replay_, human.player);
        if (player.last_evening == game.evening) continue;
        if (player.rated_games > 0) add_absence(player.rating, game.evening - player.last_evening - 1);
        ++player.evenings;
        player.last_evening = game.evening;
    }
    if (!rated) return;

    ++replay_.rated_games;
    for (std::size_t s = 0; s < entrants.seats.size(); ++s)
        entrants.seats[s].rating = replay_.players[entrants.seat_players[s]].rating;
    rate_game(entrants.places, entrants.seats, scratch_);
    for (std::size_t s = 0; s < entrants.seats.size(); ++s) {
        RatedPlayer& player = replay_.players[entrants.seat_players[s]];
        player.rating = entrants.seats[s].rating;
        ++player.rated_games;
        if (entrants.won(entrants.seats[s].entrant)) ++player.wins;
        if (!options_.keep_points) continue;
        const RatingPoint point{game.id, game.evening, player.rating};
        if (options_.points_per_evening && !player.points.empty() && player.points.back().evening == game.evening)
            player.points.back() = point;
        else
            player.points.push_back(point);
    }
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

std::vector<int> rank_players(const RatingReplay& replay, int min_games) {
    std::vector<int> ranked;
    for (std::size_t id = 0; id < replay.players.size(); ++id) {
        const int games = replay.players[id].rated_games;
        if (games > 0 && games >= min_games) ranked.push_back(static_cast<int>(id));
    }
    std::sort(ranked.begin(), ranked.end(), [&](int a, int b) {
        const RatedPlayer& x = replay.players[a];
        const RatedPlayer& y = replay.players[b];
        if (x.conservative() != y.conservative()) return x.conservative() > y.conservative();
        return a < b;
    });
    return ranked;
}

std::vector<int> types_to_rank(std::span<const RatingGame> games, int min_games) {
    std::map<int, int> rated_per_type;
    GameEntrants entrants;
    for (const RatingGame& game : games)
        if (entrants.collect(game)) ++rated_per_type[game.type];
    std::vector<int> types;
    for (const auto& [type, count] : rated_per_type)
        if (count >= min_games) types.push_back(type);
    return types;
}
