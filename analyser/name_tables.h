// Codes of game types, weapons and items, and their display names.
//
// The lookups only answer. A caller that meets a name no table knows writes
// the warning below at the point where its diagnostics belong.
#pragma once

#include <string_view>

#include "name_lookup.h"
#include "records.h"

// The game type of the first known name contained in text, else Unknown.
GameType gametype_from_name(NameLookups& names, std::string_view text);
// The game type's name; "unknown gametype" for Unknown.
const char* gametype_name(GameType type);

// Weapon code (31..45) of the first known name contained in text, else 0.
int weapon_from_name(NameLookups& names, std::string_view text);
// Item code of the first known name contained in text, else -1.
int item_from_name(NameLookups& names, std::string_view text);
// Display name of a weapon code; "unknown weapon" for any other code.
const char* weapon_name(int code);

// The warnings of names no table knows; the field is logged as a line of
// its own, exactly as read.
void log_unknown_gametype(ErrorLog& log);
void log_unknown_weapon(ErrorLog& log, std::string_view field);
void log_unknown_item(ErrorLog& log, std::string_view field);

inline constexpr int ITEM_DAMAGE_AMPLIFIER = 10001;
