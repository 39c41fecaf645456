#include "build_site.h"

#include "history_store.h"
#include "site_folder.h"
#include "site_history.h"
#include "site_pages.h"
#include "site_ratings.h"

int build_site(HistoryStore& store, const std::string& dir, Output& out, Output& err) {
    // One read transaction: every page shows the same moment of the
    // history, whatever an import adds meanwhile.
    // The site walks the history's indexes once or twice and sorts no
    // whole table: a small page cache serves it, and whatever is sorted
    // goes to disk rather than memory.
    execute(store.db(), "PRAGMA cache_size = -2048");
    execute(store.db(), "PRAGMA temp_store = FILE");
    execute(store.db(), "BEGIN");
    struct EndRead {
        HistoryStore& store;
        ~EndRead() { store.rollback(); }
    } end_read{store};
    try {
        const SiteData data = read_site_data(store);
        const SiteRatings ratings = rate_history(store, data);
        SiteFolder folder(dir);
        // The pages the index links to first, the index last: a reader who
        // comes while the site is written finds every link's page.
        const std::vector<std::vector<RatingChange>> changes = rating_changes(data, ratings);
        EveningGames games(store, data);
        for (std::size_t e = 0; e < data.evenings.size(); ++e)
            folder.write_with("evenings/" + data.evenings[e].date + ".html", [&](Output& page) {
                return write_evening_page(page, games, data, static_cast<int>(e), changes[e]);
            });
        for (std::size_t p = 0; p < data.players.size(); ++p)
            folder.write("players/" + data.players[p].file + ".html", player_page(data, ratings, static_cast<int>(p)));
        folder.write("index.html", index_page(data, ratings));
        out.print("%s: %d pages: the index, %d of players, %d of evenings\n", dir.c_str(), folder.pages(),
                  static_cast<int>(data.players.size()), static_cast<int>(data.evenings.size()));
        return 0;
    } catch (const SiteFailure& failure) {
        err.print("velstra: %s\n", failure.message.c_str());
        return 2;
    }
}
