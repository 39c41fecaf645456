// Codes of game types, weapons and items, and their display names.
#pragma once

#include <string_view>

#include "records.h"

// The game type of the first known name contained in text, else Unknown
// with a warning line.
GameType gametype_from_name(std::string_view text, ErrorLog& log);
// The game type's name; Unknown gives "unknown gametype" with a warning line.
const char* gametype_name(GameType type, ErrorLog& log);

// Weapon code (31..45) of the first known name contained in text, else 0.
int weapon_from_name(std::string_view text, ErrorLog& log);
// Item code of the first known name contained in text, else -1.
int item_from_name(std::string_view text, ErrorLog& log);
// Display name of any weapon or damage code.
const char* weapon_name(int code, ErrorLog& log);

inline constexpr int ITEM_DAMAGE_AMPLIFIER = 10001;
