// The columns of a game's player that hold a figure of the games page, named
// once for the code that stores a game and the code that reads it back.
#pragma once

#include "game_record.h"

struct PlayerFigureColumn {
    const char* name;
    int GamePlayer::*figure;
};

// Whole numbers, never NULL, in the order the table lists them.
inline constexpr PlayerFigureColumn PLAYER_FIGURES[] = {
    {"place", &GamePlayer::place},
    {"score", &GamePlayer::score},
    {"net_kills", &GamePlayer::net_kills},
    {"kills", &GamePlayer::kills},
    {"deaths", &GamePlayer::deaths},
    {"suicides", &GamePlayer::suicides},
    {"teamkill_rate", &GamePlayer::teamkill_rate},
    {"killrate", &GamePlayer::killrate},
    {"multikill", &GamePlayer::multikill},
    {"lurch", &GamePlayer::lurch},
    {"quads", &GamePlayer::quads},
    {"headshots", &GamePlayer::headshots},
    {"fav_weapon_kills", &GamePlayer::fav_weapon_kills},
    {"fav_victim_kills", &GamePlayer::fav_victim_kills},
    {"flags_captured", &GamePlayer::flags_captured},
    {"flags_returned", &GamePlayer::flags_returned},
};
inline constexpr int PLAYER_FIGURE_COUNT = static_cast<int>(sizeof PLAYER_FIGURES / sizeof PLAYER_FIGURES[0]);
