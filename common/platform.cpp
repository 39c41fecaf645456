#include "platform.h"

#include <chrono>

std::tm platform_utc_time(std::time_t when) {
    std::tm result{};
#ifdef _WIN32
    gmtime_s(&result, &when);
#else
    gmtime_r(&when, &result);
#endif
    return result;
}

std::tm platform_local_time(std::time_t when) {
    std::tm result{};
#ifdef _WIN32
    localtime_s(&result, &when);
#else
    localtime_r(&when, &result);
#endif
    return result;
}

long long platform_clock_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
