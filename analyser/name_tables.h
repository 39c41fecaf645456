// Codes of game types, weapons and items, and their display names.
#pragma once

#include <string_view>

// Game-type code (5..10) of the first known name contained in text, else -1
// with a warning line.
int gametype_from_name(std::string_view text);
const char* gametype_name(int code);

// Weapon code (31..45) of the first known name contained in text, else 0.
int weapon_from_name(std::string_view text);
// Item code of the first known name contained in text, else -1.
int item_from_name(std::string_view text);
// Display name of any weapon or damage code.
const char* weapon_name(int code);

inline constexpr int ITEM_DAMAGE_AMPLIFIER = 10001;
