#pragma once

// The version text of the HTML writer library.
inline constexpr const char* HTML_LIBRARY_VERSION = "0.4.22";

// The compiler the library names in the page's generator meta tag.
inline constexpr const char* HTML_COMPILER_NAME = "MS/VC++ 6.0";
