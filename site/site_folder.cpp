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
// Pages up to this size are made in memory; a larger one (an evening of
// hundreds of games) in a scratch file.
constexpr std::size_t MEMORY_LIMIT = std::size_t{4} << 20;

// A 64-bit hash of every byte of a site, eight at a time: a changed page
// changes it with near certainty (a collision only keeps an old page).
constexpr std::uint64_t HASH_START = 0xcbf29ce484222325ull;
std::uint64_t mix(std::uint64_t state, std::uint64_t word) {
    state = (state ^ word) * 0x9e3779b97f4a7c15ull;
    return state ^ (state >> 31);
}

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

struct PageBuffer::Spill {
    std::unique_ptr<ScratchFile> file;
};

PageBuffer::PageBuffer(bool hashed) : hashed_(hashed), state_(HASH_START) {}
PageBuffer::~PageBuffer() = default;

void PageBuffer::hash_more(const char* data, std::size_t size) {
    // The bytes of a word cut between two writes wait for the rest.
    while (size > 0 && tail_size_ > 0) {
        tail_ |= static_cast<std::uint64_t>(static_cast<unsigned char>(*data++)) << (8 * tail_size_);
        --size;
        if (++tail_size_ == 8) {
            state_ = mix(state_, tail_);
            tail_ = 0;
            tail_size_ = 0;
        }
    }
    for (; size >= 8; data += 8, size -= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, data, 8);
        state_ = mix(state_, word);
    }
    for (; size > 0; --size)
        tail_ |= static_cast<std::uint64_t>(static_cast<unsigned char>(*data++)) << (8 * tail_size_++);
}

bool PageBuffer::write(const char* data, std::size_t size) {
    if (hashed_) hash_more(data, size);
    size_ += size;
    if (!spill_ && memory_.size() + size > MEMORY_LIMIT) {
        spill_ = std::make_unique<Spill>();
        spill_->file = real_file_system().open_scratch();
        if (!spill_->file || !spill_->file->write(memory_.data(), memory_.size())) return note(false);
        memory_.clear();
        memory_.shrink_to_fit();
    }
    if (spill_) return note(spill_->file != nullptr && spill_->file->write(data, size));
    memory_.append(data, size);
    return true;
}

void PageBuffer::clear() {
    memory_.clear();
    spill_.reset();
    size_ = 0;
    state_ = HASH_START;
    tail_ = 0;
    tail_size_ = 0;
    clear_failure();
}

std::uint64_t PageBuffer::hash() const { return mix(mix(state_, tail_), size_); }

bool PageBuffer::copy_to(Output& out) {
    if (!spill_) return out.write(memory_.data(), memory_.size());
    ScratchFile& file = *spill_->file;
    if (!file.finish_writing()) return false;
    char block[65536];
    for (std::size_t got; (got = file.read(block, sizeof block)) > 0;)
        if (!out.write(block, got)) return false;
    return !file.read_failed();
}

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
    PageBuffer& buffer = buffer_;
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

    // Whatever holds the name it waits under, a link above all, goes first:
    // a page is never written through one.
    const fs::path made = staged_ / relative;
    fs::remove(made, error);
    std::FILE* file = std::fopen(made.string().c_str(), "wb");
    if (file == nullptr) throw SiteFailure{made.string() + ": cannot be made"};
    StreamOutput out(file);
    const bool written = buffer.copy_to(out) && !out.failed();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        fs::remove(made, error);
        throw SiteFailure{made.string() + ": cannot be made; nothing was written"};
    }
    made_.push_back(relative);
    pages_[relative] = page;
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
