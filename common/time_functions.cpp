#include "time_functions.h"

#include "platform.h"

std::tm file_date(const char* file_name) {
    // An unreadable status leaves 0, the start of 1970.
    std::time_t modified = 0;
    platform_file_write_time(file_name, modified);
    return platform_utc_time(modified);
}

void current_date(int& year, int& month, int& day) {
    std::tm now = platform_local_time(std::time(nullptr));
    year = now.tm_year + 1900;
    month = now.tm_mon + 1;
    day = now.tm_mday;
}
