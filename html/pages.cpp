#include "pages.h"

#include "games_page.h"

namespace {

using PageMaker = std::unique_ptr<RecordPage> (*)(FileSystem&, ErrorLog&, FailureReport&);

// A new page is a file that renders records with the kit, and a line here.
constexpr PageMaker PAGES[] = {
    games_page,
};

}  // namespace

std::vector<std::unique_ptr<RecordPage>> record_pages(FileSystem& files, ErrorLog& log, FailureReport& failures) {
    std::vector<std::unique_ptr<RecordPage>> pages;
    for (PageMaker make : PAGES) pages.push_back(make(files, log, failures));
    return pages;
}
