// Values read from logs, and sums and differences of them, kept inside the
// int range whatever they say.
#pragma once

#include <climits>

inline int clamp_to_int(long long value) {
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}
