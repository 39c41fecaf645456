// Reading the site's figures from a history: the totals in a few grouped
// queries, and the games of one evening back into the records the games page
// renders, one game at a time.
#pragma once

#include <functional>
#include <string>

#include "game_record.h"
#include "site_data.h"

class HistoryStore;

// The players (with their names merged and their page stems), evenings,
// records, maps and totals of the history.
SiteData read_site_data(HistoryStore& store);

// Each game of an evening ("YYYY-MM-DD") in the order of its start, as the
// analyser's games page would have it for its log alone, numbered from 1;
// names[k] is the site's player of the record's player k, or -1.
using EveningGame = std::function<void(const GameRecord& game, const std::vector<int>& players)>;
void each_game_of_evening(HistoryStore& store, const SiteData& data, const std::string& evening,
                          const EveningGame& take);
