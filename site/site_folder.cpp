#include "site_folder.h"

#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "file_system.h"

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

constexpr const char* PAGE_FOLDERS[] = {"players", "evenings", "maps"};
constexpr const char* LIST_HEADER = "velstra site pages 1";
long long write_time_of(const fs::path& file, std::error_code& error) {
    const fs::file_time_type time = fs::last_write_time(file, error);
    return error ? 0 : std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

// Whether a file ends with the site's footer (its last few hundred bytes).
bool carries_footer(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    const std::streamoff tail = std::min<std::streamoff>(size, 512);
    in.seekg(size - tail);
    std::string bytes(static_cast<std::size_t>(tail), '\0');
    in.read(bytes.data(), tail);
    return in && bytes.find(SITE_FOOTER) != std::string::npos;
}

// Whether a file holds exactly the buffer's bytes.
bool same_bytes(const fs::path& file, PageBuffer& buffer) {
    struct Compare final : public Output {
        std::ifstream in;
        std::string chunk;
        bool write(const char* data, std::size_t size) override {
            chunk.resize(size);
            in.read(chunk.data(), static_cast<std::streamsize>(size));
            return note(in && std::memcmp(chunk.data(), data, size) == 0);
        }
    } compare;
    compare.in.open(file, std::ios::binary);
    return compare.in && buffer.copy_to(compare) && !compare.failed() && compare.in.peek() == EOF;
}

}  // namespace

SiteFolder::SiteFolder(fs::path root) : root_(std::move(root)), staged_(root_ / SITE_OWN_FOLDER / "made") {
    std::vector<fs::path> folders{root_};
    for (const char* name : PAGE_FOLDERS) folders.push_back(root_ / name);
    folders.push_back(root_ / SITE_OWN_FOLDER);
    folders.push_back(staged_);
    for (const char* name : PAGE_FOLDERS) folders.push_back(staged_ / name);
    for (const fs::path& folder : folders) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(folder, error);
        if (fs::is_symlink(status) && folder != root_)
            throw SiteFailure{folder.string() + ": is a symbolic link; the site writes only into its own folders"};
        if (fs::exists(status) || (fs::is_symlink(status) && fs::is_directory(folder, error))) {
            if (!fs::is_directory(folder, error)) throw SiteFailure{folder.string() + ": is not a folder"};
            continue;
        }
        // The site's own folder may be new in a new place; its folders are
        // made inside it only.
        const bool made = folder == root_ ? fs::create_directories(folder, error) : fs::create_directory(folder, error);
        if (!made || error) throw SiteFailure{folder.string() + ": cannot be made: " + error.message()};
    }
    read_list();
}

SiteFolder::~SiteFolder() {
    // Nothing is still being written when the made pages go.
    (void)writer_.finish();
    std::error_code error;
    for (const std::string& relative : made_) fs::remove(staged_ / relative, error);
}

fs::path SiteFolder::own_file(const char* name) const { return root_ / SITE_OWN_FOLDER / name; }

// A list that cannot be read is no list: every page is then made and
// compared again, and the footer tells the site's own files.
void SiteFolder::read_list() {
    std::ifstream in(own_file("pages"), std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line) || line != LIST_HEADER) return;
    std::map<std::string, Listed> listed;
    while (std::getline(in, line)) {
        // "HASH SIZE TIME PATH": hexadecimal, then decimal numbers.
        Listed entry;
        const char* at = line.data();
        const char* const end = at + line.size();
        auto number = [&](auto& value, int base) {
            const auto [next, error] = std::from_chars(at, end, value, base);
            if (error != std::errc{} || next == end || *next != ' ') return false;
            at = next + 1;
            return true;
        };
        if (!number(entry.hash, 16) || !number(entry.size, 10) || !number(entry.time, 10)) return;
        const std::string path(at, end);
        if (!site_path(path)) return;
        listed[path] = entry;
    }
    listed_ = std::move(listed);
}

bool SiteFolder::unchanged_since_listed(const std::string& relative, const Listed& listed) const {
    const fs::path file = root_ / relative;
    std::error_code error;
    if (!fs::is_regular_file(fs::symlink_status(file, error))) return false;
    const std::uintmax_t size = fs::file_size(file, error);
    if (error || size != listed.size) return false;
    return write_time_of(file, error) == listed.time && !error;
}

void SiteFolder::write(const std::string& relative, const std::string& bytes) {
    write_with(relative, [&](Output& page) { return page.write(bytes.data(), bytes.size()); });
}

void SiteFolder::write_with(const std::string& relative, const std::function<bool(Output&)>& write_page) {
    if (!site_path(relative)) throw SiteFailure{relative + ": is no page name of the site"};
    const fs::path place = root_ / relative;
    if (!buffer_) buffer_ = writer_.spare();
    PageBuffer& buffer = *buffer_;
    buffer.clear();
    if (!write_page(buffer) || buffer.failed())
        throw SiteFailure{place.string() + ": cannot be made; the page there stays as it was"};
    Listed page{buffer.hash(), buffer.size(), 0};

    // The same bytes as the page there: not written again, so its time
    // stays. Known from the list, or, for a page the list does not know
    // (a site of an earlier release), from the file itself.
    const auto listed = listed_.find(relative);
    std::error_code error;
    if (listed != listed_.end() && listed->second.hash == page.hash && listed->second.size == page.size &&
        unchanged_since_listed(relative, listed->second)) {
        pages_[relative] = listed->second;
        ++unchanged_;
        return;
    }
    if (fs::is_regular_file(fs::symlink_status(place, error)) && fs::file_size(place, error) == page.size && !error &&
        same_bytes(place, buffer)) {
        page.time = write_time_of(place, error);
        pages_[relative] = page;
        ++unchanged_;
        return;
    }

    // Written while the next page is made; a failure stops the commit.
    made_.push_back(relative);
    pages_[relative] = page;
    if (std::string failure = writer_.write(staged_ / relative, std::move(buffer_)); !failure.empty())
        throw SiteFailure{std::move(failure)};
    buffer_ = writer_.spare();
}

bool SiteFolder::intact(const std::string& relative) const {
    const auto listed = listed_.find(relative);
    return listed != listed_.end() && unchanged_since_listed(relative, listed->second);
}

bool SiteFolder::keep(const std::string& relative) {
    if (!intact(relative)) return false;
    pages_[relative] = listed_.at(relative);
    ++unchanged_;
    return true;
}

void SiteFolder::claim() const {
    for (const auto& [relative, page] : pages_) {
        if (listed_.contains(relative)) continue;
        const fs::path file = root_ / relative;
        std::error_code error;
        const fs::file_status status = fs::symlink_status(file, error);
        if (!fs::exists(status)) continue;
        if (fs::is_regular_file(status) && carries_footer(file)) continue;
        throw SiteFailure{file.string() + ": is not a page of this site; it stays as it is, and nothing was written"};
    }
}

void SiteFolder::commit() {
    if (const std::string failure = writer_.finish(); !failure.empty()) throw SiteFailure{failure};
    claim();
    // The pages the index links to were made first: put in place in that
    // order, a reader who comes meanwhile finds every link's page.
    for (const std::string& relative : made_) {
        const fs::path place = root_ / relative;
        std::error_code error;
        fs::rename(staged_ / relative, place, error);
        if (error) throw SiteFailure{place.string() + ": cannot be written; the page there stays as it was"};
        pages_[relative].time = write_time_of(place, error);
        ++written_;
    }
    made_.clear();
    for (const auto& [relative, listed] : listed_) {
        if (pages_.contains(relative)) continue;
        // Only what is still the site's own page goes.
        const fs::path file = root_ / relative;
        if (!unchanged_since_listed(relative, listed) && !carries_footer(file)) continue;
        std::error_code error;
        if (fs::remove(file, error)) ++removed_;
    }
    save_list();
}

void SiteFolder::save_list() const {
    const fs::path list = own_file("pages");
    fs::path beside = list;
    beside += ".new-" + std::to_string(static_cast<long long>(::getpid()));
    std::error_code error;
    fs::remove(beside, error);
    std::FILE* file = std::fopen(beside.string().c_str(), "wb");
    if (file == nullptr) throw SiteFailure{beside.string() + ": cannot be made"};
    bool written = std::fprintf(file, "%s\n", LIST_HEADER) > 0;
    for (const auto& [relative, page] : pages_)
        written = written && std::fprintf(file, "%016" PRIx64 " %" PRIu64 " %lld %s\n", page.hash, page.size, page.time,
                                          relative.c_str()) > 0;
    const bool closed = std::fclose(file) == 0;
    if (written && closed) fs::rename(beside, list, error);
    if (!written || !closed || error) {
        fs::remove(beside, error);
        throw SiteFailure{list.string() + ": cannot be written"};
    }
}
