// The order in which players are ranked and printed.
#pragma once

#include <array>
#include <cstddef>
#include <utility>

#include "records.h"

// The exchange sort: for each position i and each later position j in turn,
// the entries are exchanged when the entry at i ranks below the entry at j.
// It is not stable, and the order it leaves among equals decides the places
// of tied players, so it must stay exactly this procedure.
template <std::size_t N, typename RanksBelow>
void exchange_sort(std::array<int, N>& order, std::size_t count, RanksBelow ranks_below) {
    for (std::size_t i = 0; i + 1 < count; ++i)
        for (std::size_t j = i + 1; j < count; ++j)
            if (ranks_below(order[i], order[j])) std::swap(order[i], order[j]);
}

// The places of a table of player records: the slots that hold a player,
// taken in slot order and put through the exchange sort, then the empty slots
// in slot order. An empty slot never ranks above a player, whatever his score.
template <typename Player, std::size_t N, typename RanksBelow>
std::array<int, N> rank_players(const std::array<Player, N>& players, RanksBelow ranks_below) {
    std::array<int, N> order{};
    std::size_t count = 0;
    for (std::size_t s = 0; s < N; ++s)
        if (!players[s].name.empty()) order[count++] = static_cast<int>(s);
    std::size_t empty = count;
    for (std::size_t s = 0; s < N; ++s)
        if (players[s].name.empty()) order[empty++] = static_cast<int>(s);
    exchange_sort(order, count, [&](int a, int b) {
        return ranks_below(players[static_cast<std::size_t>(a)], players[static_cast<std::size_t>(b)]);
    });
    return order;
}
