#include "site_ratings.h"

#include <algorithm>
#include <cassert>

#include "latin1_text.h"
#include "rating_constants.h"
#include "state_bytes.h"

namespace {

// A team's index among the rating's teams: the numbered teams, and the two
// sides of Assault as the first two.
int team_index(std::string_view team) {
    if (const int t = team_number(team); t >= 0) return t;
    if (team == "attacker") return 0;
    if (team == "defender") return 1;
    return -1;
}

// The days from 1 January 1970 to a date of the proleptic Gregorian calendar.
int day_number(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int year_of_era = year - era * 400;
    const int day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

RatingValue value_of(const Rating& rating) { return RatingValue{rating.mu, rating.sigma}; }

RatingReplayOptions overall_options() {
    RatingReplayOptions options;
    options.points_per_evening = true;
    options.max_points = CHART_EVENINGS;
    return options;
}

RatingReplayOptions type_options(int type) {
    RatingReplayOptions options;
    options.keep_points = false;
    options.only_type = type;
    return options;
}

void save_replay(StateWriter& out, const RatingReplay& replay) {
    out.put(static_cast<std::int64_t>(replay.rated_games));
    out.put(static_cast<std::int64_t>(replay.last_evening));
    out.put(static_cast<std::int64_t>(replay.players.size()));
    for (const RatedPlayer& p : replay.players) {
        for (const Rating& r : {p.rating, p.evening_start}) {
            out.put(r.mu);
            out.put(r.sigma);
        }
        for (const int n :
             {p.bot ? 1 : 0, p.rated_games, p.wins, p.evenings, p.last_evening, p.last_rated_evening, p.last_rated_day})
            out.put(static_cast<std::int64_t>(n));
        out.put(static_cast<std::int64_t>(p.points.size()));
        for (const RatingPoint& point : p.points) {
            out.put(static_cast<std::int64_t>(point.game));
            out.put(static_cast<std::int64_t>(point.evening));
            out.put(point.rating.mu);
            out.put(point.rating.sigma);
        }
    }
}

RatingReplay load_replay(StateReader& in) {
    RatingReplay replay;
    replay.rated_games = static_cast<int>(in.number());
    replay.last_evening = static_cast<int>(in.number());
    replay.players.resize(in.count());
    for (RatedPlayer& p : replay.players) {
        for (Rating* r : {&p.rating, &p.evening_start}) {
            r->mu = in.real();
            r->sigma = in.real();
        }
        p.bot = in.number() != 0;
        for (int* n : {&p.rated_games, &p.wins, &p.evenings, &p.last_evening, &p.last_rated_evening, &p.last_rated_day})
            *n = static_cast<int>(in.number());
        p.points.resize(in.count());
        for (RatingPoint& point : p.points) {
            point.game = in.number();
            point.evening = static_cast<int>(in.number());
            point.rating.mu = in.real();
            point.rating.sigma = in.real();
        }
    }
    return replay;
}

}  // namespace

double RatingValue::conservative() const { return mu - rating_ranking_sigmas * sigma; }

int evening_day(const std::string& evening) {
    int n[3] = {};  // year, month, day
    return read_numbers(evening, n) ? day_number(n[0], n[1], n[2]) : 0;
}

SiteRater::SiteRater(const SiteData& data) : data_(data), overall_(overall_options()) {}

int SiteRater::identity(const Identity& who) {
    const int next = static_cast<int>(identities_.size());
    const int number = who.bot ? bot_number_.try_emplace({who.player, who.skill}, next).first->second
                               : human_number_.try_emplace(who.player, next).first->second;
    if (number == next) identities_.push_back(who);
    return number;
}

const RatedGame& SiteRater::add(const HistoryGame& history, int evening) {
    const GameRecord& record = history.record;
    // The games come in the order of their start.
    assert(evening >= game_.evening);
    RatingGame& game = game_;
    game = RatingGame{};
    game.id = history.id;
    game.evening = std::max(evening, 0);
    if (evening >= 0 && static_cast<std::size_t>(evening) < data_.evenings.size())
        game.day = evening_day(data_.evenings[static_cast<std::size_t>(evening)].date);
    game.type = static_cast<int>(record.type);
    game.team_game = is_team_game(record.type);
    game.length_seconds = static_cast<double>(record.length);
    rated_.id = history.id;
    rated_.team_names = {};
    if (game.team_game) {
        if (record.teams.counted) {
            for (int t = 0; t < rating_max_teams; ++t)
                if (record.teams.playing[static_cast<std::size_t>(t)])
                    game.team_results[static_cast<std::size_t>(t)] = record.teams.score[static_cast<std::size_t>(t)];
        } else if (const int winner = team_index(record.teams.winner.view()); winner >= 0) {
            // Assault counts no score: the winning side is ahead, the others
            // tie behind it.
            game.team_results[static_cast<std::size_t>(winner)] = 1;
        }
    }

    auto add_team_seconds = [&](RatingParticipant& p, std::string_view team, double seconds) {
        const int t = team_index(team);
        if (t < 0) return;
        p.team_seconds[static_cast<std::size_t>(t)] += seconds;
        std::string& name = rated_.team_names[static_cast<std::size_t>(t)];
        if (name.empty()) name = team;
    };
    for (std::size_t k = 0; k < record.players.size() && k < history.slots.size(); ++k) {
        const GamePlayer& player = record.players[k];
        const HistorySlot& slot = history.slots[k];
        RatingParticipant p;
        const auto found = data_.index.find(slot.player_id);
        p.bot = player.is_human == Species::Bot;
        p.player = found == data_.index.end() || player.is_human == Species::Unknown
                       ? -1
                       : identity(Identity{found->second, p.bot ? player.skill : -1, p.bot});
        p.place = player.place;
        // A game imported before the players' times were kept counts each
        // player in for all of it.
        p.seconds = slot.seconds < 0 ? game.length_seconds : slot.seconds;
        if (game.team_game) {
            for (const HistorySpell& spell : slot.spells) add_team_seconds(p, spell.team, spell.seconds);
            if (slot.spells.empty()) add_team_seconds(p, player.team.view(), game.length_seconds);
        }
        game.players.push_back(p);
    }

    rated_.rating = overall_.add(game);
    if (rated_.rating.verdict == RatingVerdict::Rated)
        for (const RatingParticipant& p : game.players)
            if (p.player >= 0 && !p.bot) evening_players_.push_back(p.player);

    // One replay per game type met; a type's ranking needs enough rated
    // games, known only at the end.
    auto at = std::find_if(by_type_.begin(), by_type_.end(), [&](const auto& t) { return t.first == game.type; });
    if (at == by_type_.end()) {
        by_type_.emplace_back(game.type, RatingReplayer(type_options(game.type)));
        type_names_.push_back(utf8_of_latin1(record.type_name.view()));
        at = by_type_.end() - 1;
    }
    at->second.add(game);
    return rated_;
}

std::vector<RatingChange> SiteRater::take_evening_changes() {
    std::sort(evening_players_.begin(), evening_players_.end());
    evening_players_.erase(std::unique(evening_players_.begin(), evening_players_.end()), evening_players_.end());
    std::vector<RatingChange> changes;
    const std::vector<RatedPlayer>& players = overall_.players();
    for (int who : evening_players_) {
        const RatedPlayer& player = players[static_cast<std::size_t>(who)];
        changes.push_back(RatingChange{identities_[static_cast<std::size_t>(who)].player,
                                       value_of(player.evening_start), value_of(player.rating)});
    }
    evening_players_.clear();
    std::stable_sort(changes.begin(), changes.end(), [](const RatingChange& a, const RatingChange& b) {
        return a.after.conservative() - a.before.conservative() > b.after.conservative() - b.before.conservative();
    });
    return changes;
}

SiteRatings SiteRater::finish() {
    SiteRatings ratings;
    ratings.min_games = rating_default_min_games;
    ratings.active_days = rating_active_days;
    RankingRule rule;
    if (!data_.evenings.empty()) rule.last_day = evening_day(data_.evenings.back().date);
    const int last_evening = static_cast<int>(data_.evenings.size()) - 1;
    const std::size_t players = data_.players.size();

    // The players as the ranking lists them, by their index; bots apart.
    auto ranking_of = [&](const RatingReplay& replay, const std::string& type_name) {
        Ranking ranking;
        ranking.type_name = type_name;
        ranking.rated_games = replay.rated_games;
        ranking.values.assign(players, RatingValue{rating_initial_mu, rating_initial_sigma});
        ranking.rated_games_of.assign(players, 0);
        const RankingLists lists = rank_players(replay, rule);
        for (const auto& [list, into] : {std::pair{&lists.ranked, &ranking.order}, {&lists.resting, &ranking.resting}})
            for (int who : *list) into->push_back(identities_[static_cast<std::size_t>(who)].player);
        for (std::size_t who = 0; who < replay.players.size() && who < identities_.size(); ++who) {
            const Identity& identity = identities_[who];
            if (identity.bot) continue;
            ranking.values[static_cast<std::size_t>(identity.player)] = value_of(replay.players[who].rating);
            ranking.rated_games_of[static_cast<std::size_t>(identity.player)] = replay.players[who].rated_games;
        }
        return ranking;
    };

    // The overall replay is copied, not spent: the rater is saved after it.
    RatingReplayOptions options = overall_options();
    if (last_evening >= 0) options.last_evening = last_evening;
    RatingReplayer overall(options, overall_.replay());
    const std::vector<RatedPlayer>& before_absence = overall_.players();
    const RatingReplay replay = overall.finish();
    ratings.rankings.push_back(ranking_of(replay, ""));
    ratings.steps.resize(players);
    ratings.last.assign(players, RatingValue{rating_initial_mu, rating_initial_sigma});
    for (std::size_t who = 0; who < replay.players.size() && who < identities_.size(); ++who) {
        const Identity& identity = identities_[who];
        if (identity.bot) continue;
        const auto p = static_cast<std::size_t>(identity.player);
        for (const RatingPoint& point : replay.players[who].points)
            ratings.steps[p].push_back(RatingStep{point.evening, value_of(point.rating)});
        ratings.last[p] = value_of(before_absence[who].rating);
    }
    for (int who : rank_players(replay, rule).bots) {
        const Identity& identity = identities_[static_cast<std::size_t>(who)];
        const RatedPlayer& rated = replay.players[static_cast<std::size_t>(who)];
        ratings.bots.push_back(RatedBot{identity.player, identity.skill, value_of(rated.rating), rated.rated_games});
    }

    // The types in the order of their numbers.
    std::vector<std::size_t> order(by_type_.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return by_type_[a].first < by_type_[b].first; });
    for (std::size_t k : order) {
        const RatingReplayer& replayer = by_type_[k].second;
        if (replayer.rated_games() < rating_min_games_per_type) continue;
        RatingReplayOptions type = type_options(by_type_[k].first);
        if (last_evening >= 0) type.last_evening = last_evening;
        ratings.rankings.push_back(ranking_of(RatingReplayer(type, replayer.replay()).finish(), type_names_[k]));
    }
    return ratings;
}

void SiteRater::save(StateWriter& out) const {
    out.put(static_cast<std::int64_t>(identities_.size()));
    for (const Identity& identity : identities_) {
        out.put(static_cast<std::int64_t>(identity.player));
        out.put(static_cast<std::int64_t>(identity.skill));
        out.put(static_cast<std::int64_t>(identity.bot ? 1 : 0));
    }
    save_replay(out, overall_.replay());
    out.put(static_cast<std::int64_t>(by_type_.size()));
    for (std::size_t k = 0; k < by_type_.size(); ++k) {
        out.put(static_cast<std::int64_t>(by_type_[k].first));
        out.put(type_names_[k]);
        save_replay(out, by_type_[k].second.replay());
    }
}

bool SiteRater::load(StateReader& in) {
    identities_.resize(in.count());
    for (Identity& identity : identities_) {
        identity.player = static_cast<int>(in.number());
        identity.skill = static_cast<int>(in.number());
        identity.bot = in.number() != 0;
    }
    human_number_.clear();
    bot_number_.clear();
    for (std::size_t who = 0; who < identities_.size(); ++who) {
        const Identity& identity = identities_[who];
        if (identity.player < 0 || static_cast<std::size_t>(identity.player) >= data_.players.size()) return false;
        if (identity.bot)
            bot_number_[{identity.player, identity.skill}] = static_cast<int>(who);
        else
            human_number_[identity.player] = static_cast<int>(who);
    }
    overall_ = RatingReplayer(overall_options(), load_replay(in));
    by_type_.clear();
    type_names_.clear();
    const std::size_t types = in.count();
    for (std::size_t k = 0; k < types && in.ok(); ++k) {
        const int type = static_cast<int>(in.number());
        type_names_.push_back(in.text());
        by_type_.emplace_back(type, RatingReplayer(type_options(type), load_replay(in)));
    }
    return in.ok();
}

RatingConstants rating_constants() {
    return RatingConstants{rating_initial_mu,     rating_initial_sigma,     rating_beta,
                           rating_kappa,          rating_absence_tau,       rating_max_sigma,
                           rating_ranking_sigmas, rating_default_min_games, rating_min_games_per_type,
                           rating_active_days,    rating_min_share_on_team};
}
