// The folder a site is written to, and the list of the pages the site wrote
// there. A page is written only when its bytes change, beside its place
// under a name of its own and then renamed over it, so that a reader sees
// the old page or the new one, never half of one, and a sync after a build
// copies only what changed. A page the history no longer needs is removed;
// a file the site did not write is never overwritten nor removed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "output.h"
#include "page_buffer.h"
#include "write_behind.h"

struct SiteFailure {
    std::string message;
};

// The footer every page of the site ends with: a page that carries it is the
// site's own, also one written by an earlier release that kept no list.
inline constexpr const char* SITE_FOOTER = "Written by velstra from the stat logs of the games.";

// The site's own files beside its pages: the list of its pages and what a
// later build resumes from. Kept out of the web space by a sync that
// excludes it.
inline constexpr const char* SITE_OWN_FOLDER = ".velstra-site";

// A build makes its pages first and puts them in place only at its end,
// after checking that no page would overwrite a file that is not the
// site's: a build that stops writes nothing into the folder.
class SiteFolder {
public:
    // Makes the folder (and its folders of pages) where missing and reads the
    // list of the pages written there before. Throws SiteFailure when it is
    // not a folder or cannot be made.
    explicit SiteFolder(std::filesystem::path root);
    // A folder not committed leaves its made pages behind in the site's own
    // folder, never among the pages.
    ~SiteFolder();

    // Makes a page at a path of the site ("index.html", "players/x.html"),
    // made of letters, digits, '-', '.' and one '/' only, to be put in place
    // by commit() unless the page there has these bytes already. Throws
    // SiteFailure when it cannot be made.
    void write(const std::string& relative, const std::string& bytes);
    // The same for a page that write_page writes piece by piece; it returns
    // false when it could not make the page.
    void write_with(const std::string& relative, const std::function<bool(Output&)>& write_page);
    // A page this build needs but did not make again: its bytes cannot
    // have changed. False when it is not on the list (or was changed since),
    // so that the caller makes it.
    bool keep(const std::string& relative);
    // Whether keep() would keep a page, without keeping it.
    bool intact(const std::string& relative) const;

    // Puts the pages made in place, removes the pages on the list that this
    // build neither made nor kept and saves the new list. First, every page
    // is checked against the file at its place: one that is not on the list
    // and does not carry the site's footer is someone else's, and nothing
    // is written (SiteFailure naming it).
    void commit();

    std::filesystem::path own_file(const char* name) const;
    int written() const { return written_; }
    int unchanged() const { return unchanged_; }
    int removed() const { return removed_; }

private:
    struct Listed {
        std::uint64_t hash = 0;
        std::uint64_t size = 0;
        long long time = 0;  // the file's write time when the site wrote it, in nanoseconds
    };
    std::filesystem::path root_;
    std::filesystem::path staged_;          // where pages wait for commit()
    std::map<std::string, Listed> listed_;  // read from the list
    std::map<std::string, Listed> pages_;   // of this build
    std::vector<std::string> made_;         // the pages waiting in staged_
    WriteBehind writer_;                    // writes the pages made into staged_
    std::unique_ptr<PageBuffer> buffer_;    // the page being made
    int written_ = 0;
    int unchanged_ = 0;
    int removed_ = 0;

    void read_list();
    void claim() const;
    void save_list() const;
    bool unchanged_since_listed(const std::string& relative, const Listed& listed) const;
};
