// Player faces from the game's "User.ini".
#pragma once

#include <string_view>

#include "records.h"

// Reads "User.ini" (else "user.ini") into the skin table. Returns 0 when
// neither can be opened, else 1.
int read_user_ini(AnalysisContext& ctx);

// The face of the first skin record whose name equals name, ignoring the case
// of A-Z; otherwise logs a warning and returns name itself.
std::string_view find_skin(AnalysisContext& ctx, std::string_view name);
