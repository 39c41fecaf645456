// The pages of the site: the index, a page per player, per evening and per
// map. A page of few things is written whole into a string; an evening's and
// a map's pages are made while their games are read, one game at a time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "history_reader.h"
#include "page_writer.h"
#include "site_data.h"
#include "site_ratings.h"

class PageBuffer;

std::string index_page(const SiteData& data, const SiteRatings& ratings);
std::string player_page(const SiteData& data, const SiteRatings& ratings, int player);
// Every evening of a year ("2011"), the latest first.
std::string year_page(const SiteData& data, const std::string& year);

// An evening's page, made while its games are rated and summed: each game's
// row and section go in as it is read; the page is written once the evening
// is over. Its sections wait in a buffer that goes to disk beyond a size, so
// an evening of any size costs little memory.
class EveningPage {
public:
    explicit EveningPage(const SiteData& data);
    ~EveningPage();
    EveningPage(const EveningPage&) = delete;
    EveningPage& operator=(const EveningPage&) = delete;

    // A game of the evening, numbered from 1, as the ratings saw it.
    void add(const HistoryGame& game, const RatedGame& rated);
    // Writes the page of the evening of that index; previous and next are
    // the dates of the evenings around it ("" for none). The page is then
    // empty for the next evening. False when its sections could not be read
    // back.
    bool write(Output& page, int evening, const std::vector<RatingChange>& changes, const std::string& previous,
               const std::string& next);

private:
    const SiteData& data_;
    StringOutput rows_text_;
    HtmlWriter rows_;
    std::unique_ptr<PageBuffer> sections_text_;
    std::unique_ptr<HtmlWriter> sections_;
    std::vector<int> seen_;  // the players' indexes
};

// A map's page: its last games by evening, who won most on it, the teams'
// wins in team games, and its records.
std::string map_page(const SiteData& data, const SiteMap& map);
