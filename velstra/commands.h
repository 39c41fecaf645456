// The commands that read and change a history's games and players. Each
// writes its report to out and returns the exit code; a failure of the file
// itself is thrown as HistoryFailure.
#pragma once

#include <string>
#include <vector>

#include "output.h"

class HistoryStore;
struct GameFilter;
struct VelstraRun;

// The files of the PATHs given: each path that cannot be read is said on
// err, and with say_subfolders each subfolder that is not read.
struct GivenFiles {
    std::vector<std::string> files;
    std::size_t unreadable = 0;  // paths
};
GivenFiles files_given(const std::vector<std::string>& paths, bool say_subfolders, Output& err);

// Imports the logs of the paths and prints the summary line; exit 1 when
// none of them could be read (no history is then made).
int import_logs(const VelstraRun& run, const std::vector<std::string>& paths, bool verbose, const std::string& db);

// Imports the logs of the folders, then builds the site in dir when the
// history changed since it was last built (or it never was): one line then,
// nothing otherwise. Exit 1 when a folder could not be read, the others
// done; 2 when the site could not be written.
int update_site(const VelstraRun& run, const std::vector<std::string>& folders, const std::string& db,
                const std::string& dir);

// One line per game the filter keeps, oldest first: id, start, map, game
// type, length, winner. Exit 1 for a player's name the history does not know.
int list_games(HistoryStore& store, const GameFilter& filter, Output& out, Output& err);

// Removes the games of the ids (all of them, or none when one is unknown).
int forget_games(HistoryStore& store, const std::vector<long long>& ids, Output& out, Output& err);

// One line per player, most games first: games, first and last seen, bot
// or human, the name and the names merged into it.
int list_players(HistoryStore& store, Output& out);

// The players whose names are probably one person's (see similar_names.h),
// each group as the "velstra alias" command that would merge it into the
// player of most games; merges nothing. db_option is "--db FILE" as given
// (quoted), or empty.
int list_similar_players(HistoryStore& store, const std::string& db_option, Output& out);

// Merges names into the player of as_player, unless two of them played in
// the same game.
int merge_names(HistoryStore& store, const std::vector<std::string>& names, const std::string& as_player, Output& out,
                Output& err);

// Makes a merged name a player of its own again.
int unmerge_name(HistoryStore& store, const std::string& name, Output& out, Output& err);
