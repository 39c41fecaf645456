// Calendar helpers used to date the session page.
#pragma once

#include <ctime>

class FileSystem;

// The file's last modification as broken-down UTC time. For a file whose
// status cannot be read the result is the start of 1970 (all fields of the
// epoch), so callers always get a valid date.
std::tm file_date(FileSystem& files, const char* file_name);

// The date of the time now in local time: four-digit year, month 1-12, day
// 1-31. The caller reads the clock, so that tests can choose the day.
void current_date(std::time_t now, int& year, int& month, int& day);

// The clock of the programs.
std::time_t system_now();
