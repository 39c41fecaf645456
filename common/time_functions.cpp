#include "time_functions.h"

#include "file_system.h"
#include "platform.h"

std::tm file_date(FileSystem& files, const char* file_name) {
    // An unreadable status leaves 0, the start of 1970.
    std::time_t modified = 0;
    files.write_time(file_name, modified);
    return platform_utc_time(modified);
}

void current_date(std::time_t now, int& year, int& month, int& day) {
    const std::tm local = platform_local_time(now);
    year = local.tm_year + 1900;
    month = local.tm_mon + 1;
    day = local.tm_mday;
}

std::time_t system_now() { return std::time(nullptr); }
