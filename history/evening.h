// The evening a game belongs to: a night of games runs past midnight, so
// the day turns at 06:00, not at 00:00.
#pragma once

#include <string>

struct StartTime;

// "YYYY-MM-DD" of the local start date, the day before for a start before
// 06:00; empty when the start is not known.
std::string evening_of(const StartTime& start);

// "YYYY-MM-DD HH:MM:SS" of the local start; empty when it is not known.
std::string local_start_text(const StartTime& start);
