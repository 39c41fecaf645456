// Names that are probably one person's: players add to their name for a
// while ("Bob_afk", "Bob2", "bob", "Bob(1)") and come back under it.
#pragma once

#include <string>
#include <string_view>

// What stays of a name when what a player adds for a while is taken off:
// the case, a trailing number, a suffix such as "_afk", "_brb" or "(1)".
// Empty for the game's default names ("Player", "Player2", ...), which many
// different people play under, and for a name of nothing but such parts.
std::string name_stem(std::string_view name);

// The text as one word of a POSIX shell's command line: as it is when it
// is plain, else in single quotes.
std::string shell_word(std::string_view text);
