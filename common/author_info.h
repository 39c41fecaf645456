// The credits texts that both programs print.
#pragma once

inline constexpr const char* COMPILER_TEXT = "MS/VC++ 6.0";
inline constexpr const char* AUTHOR_HANDLE = "KESH";
// The project's own addresses on a reserved example domain.
inline constexpr const char* AUTHOR_EMAIL = "velstra@example.org";
inline constexpr const char* AUTHOR_HOMEPAGE = "http://velstra.example.org/";
