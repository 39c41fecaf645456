#pragma once

#include "records.h"

// The moments of each player (PlayerMoments), from the kill table, the
// disconnect lines and the flag lines, in log order, by logged id; an id
// that came back under the same name counts for his first record.
// - First blood: the first kill of another player that is no team kill.
// - A spree counts an id's kills of enemies since another player (enemy or
//   team mate) last killed him; that death, his leaving or the game's end
//   ends it, at the level of its count. Suicides neither count nor end it.
// - A chain of multi-kills: an id's kills of enemies each less than three
//   seconds (by the lines' time stamps) after the one before; the next kill
//   three seconds or more later, his leaving or the game's end ends it. His
//   death does not.
// - In Capture the Flag: the flag lines per player, and carrier kills: kills
//   of an enemy whose flag_dropped line comes before the kill line at the
//   same time stamp.
// Also gathers the add-on's accuracy lines (ctx.accuracy_lines) into
// ctx.accuracy by record and weapon.
void read_moments(AnalysisContext& ctx);
