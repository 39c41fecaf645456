#include "build_site.h"

#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <utility>

#include "games_ahead.h"
#include "history_store.h"
#include "latin1_text.h"
#include "site_fold.h"
#include "site_folder.h"
#include "site_kit.h"
#include "site_pages.h"
#include "site_state.h"
#include "state_bytes.h"

namespace fs = std::filesystem;

namespace {

// A missing or unreadable file reads as no bytes. Read at its size, in one
// piece: a state of many players is megabytes.
std::string read_bytes(const fs::path& file) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    std::ifstream in(file, std::ios::binary);
    if (error || !in) return {};
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

// A file beside file, written by write (false on a failed write), to be
// put in its place at the end of the build.
template <typename Write>
fs::path stage_file(const fs::path& file, Write write) {
    fs::path beside = file;
    beside += ".new-" + std::to_string(static_cast<long long>(::getpid()));
    std::FILE* out = std::fopen(beside.string().c_str(), "wb");
    bool written = out != nullptr;
    if (out != nullptr) {
        written = write(out);
        written = std::fclose(out) == 0 && written;
    }
    if (!written) {
        std::error_code error;
        fs::remove(beside, error);
        throw SiteFailure{file.string() + ": cannot be written; the next build reads the whole history again"};
    }
    return beside;
}

void put_in_place(const fs::path& beside, const fs::path& file) {
    std::error_code error;
    fs::rename(beside, file, error);
    if (error) {
        fs::remove(beside, error);
        throw SiteFailure{file.string() + ": cannot be written; the next build reads the whole history again"};
    }
}

// A small file of the site's own, put in place whole.
void write_bytes(const fs::path& file, const std::string& bytes) {
    put_in_place(stage_file(file,
                            [&](std::FILE* out) {
                                return bytes.empty() || std::fwrite(bytes.data(), bytes.size(), 1, out) == 1;
                            }),
                 file);
}

bool same_evening(const HistoryEvening& a, const HistoryEvening& b) {
    return a.date == b.date && a.games == b.games && a.fingerprint == b.fingerprint;
}

// What a build remembers of the history it showed, checked by an update.
// Another release may show the same history otherwise: its first update
// builds the site again.
std::string built_line(long long generation) {
    return std::string("velstra ") + VELSTRA_VERSION + ", site design " + std::to_string(SITE_DESIGN) +
           ", history generation " + std::to_string(generation) + "\n";
}

std::string evening_page_path(const std::string& date) { return "evenings/" + date + ".html"; }

// A build: from its first evening on (all of them, or the evenings after
// those a state summed), each game is summed, rated and shown on its
// evening's page; then the pages of the players and maps it met, and the
// index.
class Build {
public:
    Build(HistoryReader& reader, SiteFolder& folder, std::string dir)
        : dir_(std::move(dir)),
          reader_(reader),
          folder_(folder),
          names_(reader.names()),
          evenings_(reader.evenings()),
          merges_(HistoryReader::merges_fingerprint(names_)) {}
    // A build that failed leaves no staged state behind.
    ~Build() {
        std::error_code ignored;
        if (!state_.empty()) fs::remove(state_, ignored);
    }
    Build(const Build&) = delete;
    Build& operator=(const Build&) = delete;

    void run(Output& out) {
        resume();
        SiteFold fold(data_, names_);
        EveningPage page(data_);
        // What the next build takes up: all evenings but the last.
        if (first_ + 1 >= evenings_.size()) snapshot();
        GamesAhead games(
            reader_.games(GAME_ALL, names_, first_ < evenings_.size() ? evenings_[first_].first_start : ""));
        int current = -1;  // the evening open, an index into data_.evenings
        int number = 0;
        auto close = [&] {
            if (current < 0) return;
            fold.close_evening();
            const std::vector<RatingChange> changes = rater_->take_evening_changes();
            const std::size_t e = static_cast<std::size_t>(current);
            const std::string previous = e > 0 ? data_.evenings[e - 1].date : "";
            const std::string next = e + 1 < evenings_.size() ? evenings_[e + 1].date : "";
            folder_.write_with(evening_page_path(data_.evenings[e].date),
                               [&](Output& bytes) { return page.write(bytes, current, changes, previous, next); });
            if (e + 2 == evenings_.size()) snapshot();
            current = -1;
        };
        while (games.next()) {
            HistoryGame& game = games.game();
            if (current < 0 || data_.evenings[static_cast<std::size_t>(current)].date != game.evening) {
                close();
                number = 0;
            }
            game.record.number = ++number;
            fold.add(game, number);
            current = static_cast<int>(data_.evenings.size()) - 1;
            // The games follow the evenings the reader found, in their order.
            assert(evenings_[static_cast<std::size_t>(current)].date == game.evening);
            page.add(game, rater_->add(game, current));
            touch(game);
        }
        close();

        const SiteRatings ratings = rater_->finish();
        for (std::size_t p = 0; p < data_.players.size(); ++p) {
            const std::string path = "players/" + data_.players[p].file + ".html";
            if (touched_players_.contains(data_.players[p].id) || !folder_.keep(path))
                folder_.write(path, player_page(data_, ratings, static_cast<int>(p)));
        }
        for (const SiteMap& map : data_.maps) {
            const std::string path = "maps/" + map.file + ".html";
            if (touched_maps_.contains(map.name) || !folder_.keep(path)) folder_.write(path, map_page(data_, map));
        }
        // A year's page changes with its evenings and, through its best
        // players' names, with every full build.
        std::string year;
        int years = 0;
        for (const SiteEvening& e : data_.evenings) {
            if (e.date.compare(0, 4, year) == 0) continue;
            year = e.date.substr(0, 4);
            ++years;
            const std::string path = year_page_path(year);
            if (touched_years_.contains(year) || !folder_.keep(path)) folder_.write(path, year_page(data_, year));
        }
        folder_.write("index.html", index_page(data_, ratings));
        folder_.commit();
        if (!state_.empty()) put_in_place(std::exchange(state_, fs::path()), folder_.own_file("state"));
        const int players = static_cast<int>(data_.players.size());
        const int evenings = static_cast<int>(evenings_.size());
        const int maps = static_cast<int>(data_.maps.size());
        out.print(
            "%s: %d pages: the index, %d of players, %d of evenings, %d of years, %d of maps; %d written, "
            "%d unchanged, %d removed\n",
            dir_.c_str(), 1 + players + evenings + years + maps, players, evenings, years, maps, folder_.written(),
            folder_.unchanged(), folder_.removed());
    }

private:
    const std::string dir_;
    HistoryReader& reader_;
    SiteFolder& folder_;
    const std::vector<HistoryName> names_;
    const std::vector<HistoryEvening> evenings_;
    const std::uint64_t merges_;
    SiteData data_;
    std::unique_ptr<SiteRater> rater_ = std::make_unique<SiteRater>(data_);
    std::size_t first_ = 0;  // the first evening this build reads
    fs::path state_;         // the state for the next build, staged
    std::set<long long> touched_players_;
    std::set<std::string> touched_maps_;
    std::set<std::string> touched_years_;

    void touch(const HistoryGame& game) {
        for (const HistorySlot& slot : game.slots) touched_players_.insert(slot.player_id);
        touched_maps_.insert(map_name(game));
        touched_years_.insert(game.evening.substr(0, 4));
    }

    static std::string map_name(const HistoryGame& game);

    // The state the last build left, where it still holds: the same merges
    // of names, the same games on each evening it summed, the evening after
    // them still there, and the pages of those evenings as it wrote them.
    // Else every game is read.
    void resume() {
        const std::string bytes = read_bytes(folder_.own_file("state"));
        if (bytes.empty()) return;
        StateReader in(bytes);
        SiteStateHead head;
        const std::size_t summed = [&]() -> std::size_t {
            if (!read_state(in, head, data_) || !rater_->load(in) || head.merges != merges_) return 0;
            const std::size_t n = head.evenings.size();
            if (n == 0 || n >= evenings_.size() || head.next != evenings_[n].date) return 0;
            for (std::size_t e = 0; e < n; ++e)
                if (!same_evening(head.evenings[e], evenings_[e]) ||
                    !folder_.intact(evening_page_path(evenings_[e].date)))
                    return 0;
            return n;
        }();
        if (summed == 0) {
            data_ = SiteData{};
            rater_ = std::make_unique<SiteRater>(data_);
            return;
        }
        for (std::size_t e = 0; e < summed; ++e) folder_.keep(evening_page_path(evenings_[e].date));
        first_ = summed;
    }

    void snapshot() {
        SiteStateHead head;
        head.merges = merges_;
        const std::size_t summed = data_.evenings.size();
        head.evenings.assign(evenings_.begin(), evenings_.begin() + static_cast<std::ptrdiff_t>(summed));
        head.next = summed < evenings_.size() ? evenings_[summed].date : "";
        // Written in blocks: held in memory, a state of many players would
        // count twice.
        state_ = stage_file(folder_.own_file("state"), [&](std::FILE* file) {
            StateWriter out(file);
            write_state(out, head, data_);
            rater_->save(out);
            return out.finish();
        });
    }
};

std::string Build::map_name(const HistoryGame& game) { return utf8_of_latin1(game.record.map.view()); }

}  // namespace

int build_site(HistoryStore& store, const std::string& dir, Output& out, Output& err) {
    try {
        // One moment of the history: every page shows the same, whatever an
        // import adds meanwhile.
        HistoryReader reader(store);
        const long long generation = reader.generation();
        SiteFolder folder(dir);
        Build(reader, folder, dir).run(out);
        // Last: a build stopped before it leaves the generation before it,
        // and the next update builds again.
        write_bytes(folder.own_file("built"), built_line(generation));
        return 0;
    } catch (const SiteFailure& failure) {
        err.print("velstra: %s\n", failure.message.c_str());
        return 2;
    }
}

std::optional<long long> site_built_from(const std::string& dir) {
    // The line as a build writes it, or no line: another release's, or one
    // changed by hand. A site whose index was removed by hand is built again.
    std::error_code error;
    if (!fs::is_regular_file(fs::path(dir) / "index.html", error)) return std::nullopt;
    const std::string line = read_bytes(fs::path(dir) / SITE_OWN_FOLDER / "built");
    const std::size_t at = line.rfind(' ');
    if (at == std::string::npos || line.back() != '\n') return std::nullopt;
    const std::string number = line.substr(at + 1, line.size() - at - 2);
    if (number.empty() || number.size() > 18 || number.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const long long generation = std::stoll(number);
    if (line != built_line(generation)) return std::nullopt;
    return generation;
}

void fold_history(HistoryReader& reader, const std::vector<HistoryName>& names, unsigned parts, SiteData& data,
                  SiteRater& rater) {
    SiteFold fold(data, names);
    HistoryReader::Games games = reader.games(parts, names);
    std::string evening;
    int number = 0;
    while (games.next()) {
        HistoryGame& game = games.game();
        if (game.evening != evening) {
            if (!evening.empty()) fold.close_evening();
            evening = game.evening;
            number = 0;
        }
        fold.add(game, ++number);
        rater.add(game, static_cast<int>(data.evenings.size()) - 1);
    }
    if (!evening.empty()) fold.close_evening();
}
