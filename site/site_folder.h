// The folder a site is written to. Each page is written beside its place
// under a name of its own and then renamed over it, so that a reader sees
// the old page or the new one, never half of one; files the site does not
// write are left alone.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "output.h"

struct SiteFailure {
    std::string message;
};

class SiteFolder {
public:
    // Makes the folder (and its "players" and "evenings") where missing.
    // Throws SiteFailure when it is not a folder or cannot be made.
    explicit SiteFolder(std::filesystem::path root);

    // Writes a page at a path of the site ("index.html", "players/x.html"),
    // made of letters, digits, '-', '.' and one '/' only. Throws SiteFailure
    // when it cannot be written; the page that was there stays.
    void write(const std::string& relative, const std::string& bytes);

    // The same for a page that write_page writes piece by piece to the file
    // it is given (so a large page is never held whole); write_page returns
    // false when it could not make the page.
    void write_with(const std::string& relative, const std::function<bool(Output&)>& write_page);

    int pages() const { return pages_; }

private:
    std::filesystem::path root_;
    int pages_ = 0;
};
