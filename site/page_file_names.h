// The file names of the players' pages: made from the names, so that a
// reader can guess them, but of letters, digits and dashes only, so that no
// name can reach outside the site's folder or trip a file system.
#pragma once

#include <set>
#include <string>
#include <string_view>

// The stem of a page for a name (UTF-8): lowercase a-z and 0-9 kept, letters
// with accents of Latin-1 taken as their plain letter, every other run of
// characters one dash, no dash at either end, at most 40 characters; a name
// with none of these is "player"; a name that Windows keeps for a device
// (con, prn, aux, nul, com1..com9, lpt1..lpt9) gets "-player" after it.
std::string file_stem(std::string_view utf8_name);

// Hands out stems, each once: a stem already given gets "-2", "-3" and so
// on, the first number not taken.
class PageFileNames {
public:
    std::string take(std::string_view utf8_name);
    // Marks a stem handed out before as taken.
    void take_as(const std::string& stem) { taken_.insert(stem); }

private:
    std::set<std::string> taken_;
};
