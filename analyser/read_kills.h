#pragma once

#include "records.h"

// Counts suicides, headshots, kills and team kills into the kill table and
// the players' counters. The kill and suicide tables keep each line's place
// in the text and its weapon as logged.
void read_kills(AnalysisContext& ctx);
