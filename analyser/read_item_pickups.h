#pragma once

#include "records.h"

// Stores the game's item pick-ups in log order in the item table.
void read_item_pickups(AnalysisContext& ctx);
