// Reading the site's figures from a history: the totals in a few grouped
// queries, and the games of one evening back into the records the games page
// renders, one game at a time.
#pragma once

#include <functional>
#include <string>

#include "game_record.h"
#include "site_data.h"
#include "sqlite_handle.h"

class HistoryStore;

// The players (with their names merged and their page stems), evenings,
// records, maps and totals of the history.
SiteData read_site_data(HistoryStore& store);

// The games of the evenings, read in one pass over the history in the order
// of the evenings: each game as the analyser's games page would have it for
// its log alone, numbered from 1 on its evening; players[k] is the site's
// player of the record's player k, or -1.
using EveningGame = std::function<void(const GameRecord& game, const std::vector<int>& players)>;
class EveningGames {
public:
    EveningGames(HistoryStore& store, const SiteData& data);
    // The games of an evening ("YYYY-MM-DD") in the order of their start.
    // Evenings are asked for in their order; those passed over are skipped.
    void each_game(const std::string& evening, const EveningGame& take);

private:
    const SiteData& data_;
    Statement games_, teams_, steps_, players_, kills_;
    bool row_ = false;  // games_ stands on a game not yet handed out
};
