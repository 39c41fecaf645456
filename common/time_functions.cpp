#include "time_functions.h"

#include <sys/stat.h>

#include "platform.h"

std::tm file_date(const char* file_name) {
    std::time_t modified = 0;
    struct stat status {};
    if (file_name != nullptr && stat(file_name, &status) == 0) modified = status.st_mtime;
    return platform_utc_time(modified);
}

void current_date(int& year, int& month, int& day) {
    std::tm now = platform_local_time(std::time(nullptr));
    year = now.tm_year + 1900;
    month = now.tm_mon + 1;
    day = now.tm_mday;
}
