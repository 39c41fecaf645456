// The few operations that differ between Windows and POSIX systems.
#pragma once

#include <ctime>

// Thread-safe conversions of a time stamp to broken-down time.
std::tm platform_utc_time(std::time_t when);
std::tm platform_local_time(std::time_t when);

// Milliseconds on a monotonic clock; only differences are meaningful.
long long platform_clock_ms();
