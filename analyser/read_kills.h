#pragma once

#include "records.h"

// Counts suicides, headshots, kills and team kills into the kill table and
// the players' counters.
void read_kills(AnalysisContext& ctx);
