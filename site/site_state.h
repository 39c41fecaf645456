// What a build leaves for the next one: the site's figures summed over all
// its evenings but the last, with which games they were summed from, so that
// a build after one more evening reads only that evening's games.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history_reader.h"
#include "site_data.h"

class StateReader;
class StateWriter;

// The design of the pages and of the state: a state of another design is
// no state, and the site is built anew.
inline constexpr std::int64_t SITE_DESIGN = 3;

struct SiteStateHead {
    std::uint64_t merges = 0;              // the merges of names it was summed with
    std::vector<HistoryEvening> evenings;  // the evenings summed, in their order
    std::string next;                      // the date of the evening after them, "" for none
};

void write_state(StateWriter& out, const SiteStateHead& head, const SiteData& data);
// False for a state of another design, or one that is damaged.
bool read_state(StateReader& in, SiteStateHead& head, SiteData& data);
