// The site's figures summed from the history's games, one game at a time in
// the order of their start: what a site needs of the history, held without
// holding its games. A fold can be saved after an evening and taken up
// again by the next build, which then reads only the games after it.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "history_reader.h"
#include "page_file_names.h"
#include "site_data.h"

class SiteFold {
public:
    // names: every name of the history, to name the players met.
    SiteFold(SiteData& data, const std::vector<HistoryName>& names);

    // A game, with its number on its evening. Games come in the order of
    // their start; an evening's games follow each other.
    void add(const HistoryGame& history, int number);
    // After an evening's last game: its best human and its players.
    void close_evening();

private:
    SiteData& data_;
    std::map<long long, const HistoryName*> names_;  // by id
    PageFileNames player_files_;
    PageFileNames map_files_;
    std::map<std::string, std::size_t> map_of_;
    std::map<std::string, std::size_t> server_of_;
    std::map<long long, long long> evening_scores_;  // the open evening's humans, by player id
    std::set<long long> evening_players_;            // the open evening's players
    std::vector<int> slot_players_;                  // the index of each slot's player in the game added

    SitePlayer& player(long long id, bool human);
    SiteMap& map(const std::string& name);
    SiteServer& server(const std::string& name);
};
