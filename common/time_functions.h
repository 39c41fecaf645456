// Calendar helpers used to date the session page.
#pragma once

#include <ctime>

// The file's last modification as broken-down UTC time. For a file whose
// status cannot be read the result is the start of 1970 (all fields of the
// epoch), so callers always get a valid date.
std::tm file_date(const char* file_name);

// Today's date in local time: four-digit year, month 1-12, day 1-31.
void current_date(int& year, int& month, int& day);
