// A table of fixed capacity that knows how many entries it holds.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>

// Entries are added at the end up to the capacity; an entry at or beyond the
// count reads as the table's initial value, as a table whose every entry was
// reset would. Clearing forgets the count, so a reset costs nothing however
// large the table, and a walk over the used entries never meets a stale one.
// An entry is only written when it is added, so the room a game never uses
// is never touched: it costs no memory.
template <typename T, std::size_t Capacity>
class CountedTable {
public:
    static constexpr std::size_t capacity = Capacity;

    explicit constexpr CountedTable(const T& initial) : initial_(initial) {}

    std::size_t size() const { return count_; }
    bool full() const { return count_ == Capacity; }
    void clear() { count_ = 0; }

    // The next entry, set to the initial value. The caller checks full() first.
    T& add() {
        assert(!full());
        T& entry = entries_[count_++];
        entry = initial_;
        return entry;
    }

    // Entry i of the capacity: a used one, or the initial value.
    const T& operator[](std::size_t i) const {
        assert(i < Capacity);
        return i < count_ ? entries_[i] : initial_;
    }

    const T* begin() const { return entries_.data(); }
    const T* end() const { return entries_.data() + count_; }

private:
    std::array<T, Capacity> entries_;  // set when added, never read before
    std::size_t count_ = 0;
    T initial_;
};
