#include "site_folder.h"

#include <unistd.h>

#include <cstdio>

namespace fs = std::filesystem;

namespace {

// The site's own paths only: a page can never be written outside its folder.
bool site_path(const std::string& relative) {
    if (relative.empty() || relative.front() == '.' || relative.front() == '/') return false;
    int slashes = 0;
    for (std::size_t k = 0; k < relative.size(); ++k) {
        const char c = relative[k];
        if (c == '/') {
            if (++slashes > 1 || relative[k + 1] == '.') return false;
            continue;
        }
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.')) return false;
    }
    return relative.find("..") == std::string::npos;
}

}  // namespace

SiteFolder::SiteFolder(fs::path root) : root_(std::move(root)) {
    for (const fs::path& folder : {root_, root_ / "players", root_ / "evenings"}) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(folder, error);
        if (fs::is_symlink(status) && folder != root_)
            throw SiteFailure{folder.string() + ": is a symbolic link; the site writes only into its own folders"};
        if (fs::exists(status) || (fs::is_symlink(status) && fs::is_directory(folder, error))) {
            if (!fs::is_directory(folder, error)) throw SiteFailure{folder.string() + ": is not a folder"};
            continue;
        }
        // The site's own folder may be new in a new place; its two folders
        // are made inside it only.
        const bool made = folder == root_ ? fs::create_directories(folder, error) : fs::create_directory(folder, error);
        if (!made || error) throw SiteFailure{folder.string() + ": cannot be made: " + error.message()};
    }
}

void SiteFolder::write(const std::string& relative, const std::string& bytes) {
    write_with(relative, [&](Output& page) { return page.write(bytes.data(), bytes.size()); });
}

void SiteFolder::write_with(const std::string& relative, const std::function<bool(Output&)>& write_page) {
    if (!site_path(relative)) throw SiteFailure{relative + ": is no page name of the site"};
    const fs::path place = root_ / relative;
    // A name of this run's own beside the page: two runs never share one.
    fs::path beside = place;
    beside += ".new-" + std::to_string(static_cast<long long>(::getpid()));
    // Whatever holds that name, a link above all, goes first: the page is
    // never written through one.
    std::error_code gone;
    fs::remove(beside, gone);
    std::FILE* file = std::fopen(beside.string().c_str(), "wb");
    if (file == nullptr) throw SiteFailure{beside.string() + ": cannot be made"};
    StreamOutput page(file);
    const bool made = write_page(page);
    const bool written = made && !page.failed();
    const bool closed = std::fclose(file) == 0;
    std::error_code error;
    if (written && closed) fs::rename(beside, place, error);
    if (!written || !closed || error) {
        fs::remove(beside, error);
        throw SiteFailure{place.string() + ": cannot be written; the page there stays as it was"};
    }
    ++pages_;
}
