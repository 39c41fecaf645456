// The records the pages render (game_record.h), built from the analysis.
#pragma once

#include "game_record.h"
#include "records.h"

// Makes game the record of the current game at the end of its analysis. The
// record's lists keep their room from the game before, so a session of many
// games allocates them once.
void fill_game_record(const AnalysisContext& ctx, GameRecord& game);

// The ranked session at its end, dated date.
SessionRecord session_record(const AnalysisContext& ctx, const Text& date);
