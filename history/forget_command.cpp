#include "commands.h"
#include "history_store.h"

int forget_games(HistoryStore& store, const std::vector<long long>& ids, Output& out, Output& err) {
    Statement game(store.db(), "SELECT map, coalesce(substr(start_local, 1, 16), '-') FROM game WHERE id = ?1");
    std::vector<std::string> shown;
    for (const long long id : ids) {
        game.bind(1, id);
        if (!game.step()) {
            game.reset();
            err.print("velstra: there is no game %lld in the history; nothing was forgotten\n", id);
            return 1;
        }
        shown.push_back(game.text(0) + ", " + game.text(1));
        game.reset();
    }
    store.begin();
    try {
        for (const long long id : ids) store.forget(id);
        store.commit();
    } catch (...) {
        store.rollback();
        throw;
    }
    for (std::size_t k = 0; k < ids.size(); ++k) out.print("forgot game %lld (%s)\n", ids[k], shown[k].c_str());
    return 0;
}
