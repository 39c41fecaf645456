// "velstra site": the static site of a history, written into a folder, and
// kept current: a build writes only the pages whose bytes change, removes
// the pages the history no longer needs, and after one more evening reads
// only that evening's games.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "history_reader.h"
#include "output.h"
#include "site_data.h"
#include "site_ratings.h"

class HistoryStore;

// Writes index.html, players/<name>.html, evenings/<date>.html and
// maps/<name>.html into dir and says how many on out. Returns the exit
// code: 0 done, 2 a page or the folder could not be written, or a file in
// the way of a page is not the site's (said in one line on err; nothing is
// then written).
int build_site(HistoryStore& store, const std::string& dir, Output& out, Output& err);

// The generation of the history (HistoryReader::generation) the site in dir
// was last built from, by a build of this design of the pages; nothing when
// there is no such site, so that it is built.
std::optional<long long> site_built_from(const std::string& dir);

// Sums and rates every game of the history (with the parts asked for) into
// data and rater.
void fold_history(HistoryReader& reader, const std::vector<HistoryName>& names, unsigned parts, SiteData& data,
                  SiteRater& rater);
