#include "evening.h"

#include <cstdio>

#include "analyse_log.h"

namespace {

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and
// back: a day before the 1st of a
// month, a year or a March after a 29th of February needs no special case.
long long days_from_civil(long long y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civil_from_days(long long z, long long& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2);
}

}  // namespace

std::string evening_of(const StartTime& start) {
    if (!start.known()) return {};
    long long days = days_from_civil(start.year, start.month, start.day);
    if (start.hour < 6) --days;
    long long y = 0;
    int m = 0;
    int d = 0;
    civil_from_days(days, y, m, d);
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d", y, m, d);
    return text;
}

std::string local_start_text(const StartTime& start) {
    if (!start.known()) return {};
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", start.year, start.month, start.day, start.hour,
                  start.minute, start.second);
    return text;
}
