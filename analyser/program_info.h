// The analyser's constant texts, shared by the credits block and the page.
#pragma once

inline constexpr const char* VERSION_MAJOR = "2";
inline constexpr const char* VERSION_MINOR = "20";
inline constexpr const char* TEMPRA_VERSION = "0.1.6";
inline constexpr const char* COMPILER_TEXT = "MS/VC++ 6.0";
inline constexpr const char* AUTHOR_HANDLE = "KESH";
// The project's own addresses on a reserved example domain.
inline constexpr const char* AUTHOR_EMAIL = "velstra@example.org";
inline constexpr const char* AUTHOR_HOMEPAGE = "http://velstra.example.org/";
