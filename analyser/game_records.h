// The records the pages render (game_record.h), built from the analysis.
#pragma once

#include "game_record.h"
#include "records.h"

// The current game at the end of its analysis.
GameRecord game_record(const AnalysisContext& ctx);

// The ranked session at its end, dated date.
SessionRecord session_record(const AnalysisContext& ctx, const Text& date);
