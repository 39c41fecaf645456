// The analyser's constant texts, shared by the credits block and the page.
#pragma once

#include "author_info.h"

inline constexpr const char* VERSION_MAJOR = "2";
inline constexpr const char* VERSION_MINOR = "20";
inline constexpr const char* TEMPRA_VERSION = "0.1.6";
