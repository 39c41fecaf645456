// "velstra site": the whole static site of a history, written into a folder.
#pragma once

#include <string>

#include "output.h"

class HistoryStore;

// Writes index.html, players/<name>.html and evenings/<date>.html into dir
// and says how many on out. Returns the exit code: 0 done, 2 a page or the
// folder could not be written (said in one line on err; the pages written
// before stay, each whole).
int build_site(HistoryStore& store, const std::string& dir, Output& out, Output& err);
