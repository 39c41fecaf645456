// The records the pages render (game_record.h), built from the analysis.
#pragma once

#include "game_record.h"
#include "records.h"

// The entry among the record's players of each game slot, or -1: the slots
// in the order of their places, up to the first without a name.
using PlayerEntries = std::array<int, MAXPLAYER>;
PlayerEntries player_entries(const AnalysisContext& ctx);

// Whether the record counts a kill line: its killer is a player shown and
// its victim has a record. killer and victim are then their entries (victim
// -1 for a victim not shown).
bool counted_kill(const AnalysisContext& ctx, const PlayerEntries& entry, const KillRecord& kill, int& killer,
                  int& victim);

// Whether the record counts a suicide line: its player is shown, as entry.
bool counted_suicide(const AnalysisContext& ctx, const PlayerEntries& entry, const SuicideRecord& suicide, int& player);

// Makes game the record of the current game at the end of its analysis. The
// record's lists keep their room from the game before, so a session of many
// games allocates them once.
void fill_game_record(const AnalysisContext& ctx, GameRecord& game);

// The ranked session at its end, dated date.
SessionRecord session_record(const AnalysisContext& ctx, const Text& date);
