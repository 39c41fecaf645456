#include "commands.h"
#include "history_store.h"

int forget_games(HistoryStore& store, const std::vector<long long>& ids, Output& out, Output& err) {
    std::vector<std::string> shown;
    for (const long long id : ids) {
        const auto game = store.game_shown(id);
        if (!game) {
            err.print("velstra: there is no game %lld in the history; nothing was forgotten\n", id);
            return 1;
        }
        shown.push_back(game->map + ", " + game->start.value_or("-"));
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
