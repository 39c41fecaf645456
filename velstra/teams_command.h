// "velstra teams": two even teams of named players for a pick-up game, by
// their ratings in the history.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "output.h"

class HistoryStore;

// Prints "Red: ...", "Blue: ..." and their chances, the names as given.
// A name the history does not know plays with a new player's rating, said
// on err. With a type, a player's rating of that type's ranking is used
// where the type has a ranking and he is rated in it. Returns the exit code:
// 1 for a type the history does not know or two names of one player.
int propose_teams(HistoryStore& store, const std::vector<std::string>& names, const std::optional<std::string>& type,
                  Output& out, Output& err);
