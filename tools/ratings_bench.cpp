// ratings_bench: times the replay of a history's ratings on random games, the
// figure behind the promise that recomputing them all stays well under a
// second.
//
//   ratings_bench [games] [players per game] [players] [seed]   (default 10000 8 300 2011)
//
// Half the games are team games of two teams, half free-for-alls; ten games
// an evening; five game types. Prints the time of one overall replay, and of
// the overall replay with the choice of types and one replay per type.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "rating_history.h"

namespace {

std::vector<RatingGame> random_games(int count, int per_game, int players, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<int> everyone(players);
    for (int p = 0; p < players; ++p) everyone[p] = p;
    std::vector<RatingGame> games(count);
    for (int g = 0; g < count; ++g) {
        RatingGame& game = games[g];
        game.id = g;
        game.start = 1000000 + g * 1200;
        game.evening = g / 10;
        game.type = static_cast<int>(random() % 5);
        game.team_game = g % 2 == 0;
        game.length_seconds = 1200;
        game.team_results = {static_cast<double>(random() % 5), static_cast<double>(random() % 5), 0, 0};
        std::shuffle(everyone.begin(), everyone.end(), random);
        game.day = game.evening;
        for (int h = 0; h < per_game; ++h) {
            RatingParticipant player;
            player.player = everyone[h];
            // A quarter of the players are bots, each at its own skill.
            player.bot = everyone[h] % 4 == 0;
            player.place = 1 + static_cast<int>(random() % per_game);
            player.seconds = 300 + static_cast<double>(random() % 900);
            player.team_seconds[h % 2] = player.seconds;
            game.players.push_back(player);
        }
    }
    return games;
}

// The number in argument n, or fallback when there is none; -1 when it is
// not a whole number.
long argument(int argc, char** argv, int n, long fallback) {
    if (argc <= n) return fallback;
    char* end = nullptr;
    const long value = std::strtol(argv[n], &end, 10);
    return end == argv[n] || *end != '\0' ? -1 : value;
}

double milliseconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const long count = argument(argc, argv, 1, 10000);
    const long per_game = argument(argc, argv, 2, 8);
    const long players = argument(argc, argv, 3, 300);
    const long seed = argument(argc, argv, 4, 2011);
    if (count < 1 || count > 10000000 || per_game < 1 || players < per_game || players > 1000000 || seed < 0) {
        std::fprintf(stderr, "usage: ratings_bench [games] [players per game] [players >= players per game] [seed]\n");
        return 2;
    }
    const std::vector<RatingGame> games = random_games(static_cast<int>(count), static_cast<int>(per_game),
                                                       static_cast<int>(players), static_cast<unsigned>(seed));

    double best_overall = 1e300, best_all = 1e300;
    int ranked = 0;
    for (int run = 0; run < 5; ++run) {
        auto start = std::chrono::steady_clock::now();
        const RatingReplay overall = replay_ratings(games);
        ranked = static_cast<int>(rank_players(overall).ranked.size());
        best_overall = std::min(best_overall, milliseconds_since(start));

        start = std::chrono::steady_clock::now();
        const RatingReplay again = replay_ratings(games);
        rank_players(again);
        for (int type : types_to_rank(games)) {
            RatingReplayOptions options;
            options.only_type = type;
            rank_players(replay_ratings(games, options));
        }
        best_all = std::min(best_all, milliseconds_since(start));
    }
    std::printf(
        "%d games of %d players (a quarter bots) among %d, %d ranked: overall replay %.1f ms, "
        "with the types and their replays %.1f ms (best of 5)\n",
        static_cast<int>(count), static_cast<int>(per_game), static_cast<int>(players), ranked, best_overall, best_all);
    return 0;
}
