#pragma once

// The version text of the HTML writer library.
inline constexpr const char* HTML_LIBRARY_VERSION = "0.4.22";
