// A page as a real browser sees it: headless Chromium loads a copy of the
// page with a probe script added, and the probe writes what it found in the
// parsed document into an element of its own, which Chromium prints.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

inline constexpr const char* CHROMIUM = "/usr/bin/chromium";

// Loads page (the bytes of a page in folder) with probe appended, and returns
// the text of the probe's <pre id="probe"> element; "" (and a test failure)
// when Chromium did not run or printed no probe. With a width, the page is
// shown in a frame of that many CSS pixels: a headless window is never
// narrower than 500, and a phone's is 360. Dark: the system asks pages for
// their dark colours, as a phone or desktop set to dark does.
std::string run_probe(const std::filesystem::path& folder, const std::string& page, const std::string& probe,
                      int width = 0, bool dark = false);

// The value of one "key=value" entry of a probe's ";"-separated report.
std::string probe_value(const std::string& probe, const std::string& key);

// The hostile names of a page made no element and ran nothing: the probe
// reports "pwn" (an element a name would make), "pwned" (what a script or
// handler would set), "scripts" and "handlers".
void expect_names_stayed_text(const std::string& probe);

std::string percent_decoded(const std::string& text);
std::vector<std::string> split(const std::string& text, char separator);
