// The records the pages render (game_record.h), built from the analysis.
#pragma once

#include "game_record.h"
#include "records.h"

// The current game at the end of its analysis. The name lookups of its
// players' favourite weapons log what they do not know, best place first.
GameRecord game_record(AnalysisContext& ctx);

// The ranked session at its end, dated date.
SessionRecord session_record(const AnalysisContext& ctx, const Text& date);
