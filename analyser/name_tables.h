// Codes of game types, weapons and items, and their display names.
#pragma once

#include <string_view>

#include "records.h"

// The game type of the first known name contained in text, else Unknown
// with a warning line.
GameType gametype_from_name(std::string_view text);
// The game type's name; Unknown gives "unknown gametype" with a warning line.
const char* gametype_name(GameType type);

// Weapon code (31..45) of the first known name contained in text, else 0.
int weapon_from_name(std::string_view text);
// Item code of the first known name contained in text, else -1.
int item_from_name(std::string_view text);
// Display name of any weapon or damage code.
const char* weapon_name(int code);

inline constexpr int ITEM_DAMAGE_AMPLIFIER = 10001;
