// The few operations that differ between Windows and POSIX systems.
#pragma once

#include <cstddef>
#include <cstdio>
#include <ctime>

#include "bounded_text.h"

// Thread-safe conversions of a time stamp to broken-down time.
std::tm platform_utc_time(std::time_t when);
std::tm platform_local_time(std::time_t when);

// Like platform_local_time, but says whether the conversion succeeded:
// 1 with result filled in, 0 for a time the system cannot convert.
int platform_local_time_checked(std::time_t when, std::tm& result);

// Milliseconds on a monotonic clock; only differences are meaningful.
long long platform_clock_ms();

// How platform_open_write opens a file.
enum class WriteMode {
    Truncate,      // binary, emptied: a copy
    TruncateText,  // text mode, emptied: a page (Windows stores CR LF line ends)
    Append,        // binary, appended: the error log
};

// Opens a file of the current directory for writing. On systems with
// symbolic links a link is never followed and only a regular file is
// written: a pack of logs from someone else may hold a link named like one of
// our files, pointing at a document that must stay untouched. A FIFO in the
// file's place does not block the program. Returns nullptr when the file
// cannot be written.
std::FILE* platform_open_write(const char* name, WriteMode mode);

// Writes to the file of an unbuffered stream straight through its
// descriptor: one system call for the whole text (more only when the system
// takes part of it), without the C library's stream machinery, which costs
// as much again when a log of mod weapons writes a message per kill.
// Returns whether every byte was written.
bool platform_write_through(std::FILE* file, const char* data, std::size_t size);

// Opens a scratch file for reading and writing in binary mode: made under a
// fresh name in the system's folder of temporary files, never opening a file
// that exists, and gone when it is closed or the program ends. Returns
// nullptr when none can be made.
std::FILE* platform_open_scratch();

// Opens a regular file (or a link to one) for reading, in binary mode or in
// text mode when text is set. A folder, FIFO or device of that name is no
// file to read (nullptr), and opening it never blocks.
std::FILE* platform_open_read(const char* name, bool text);

// Puts standard output and standard error into binary mode, so that the
// console gets the same bytes on every system: the Windows C runtime would
// otherwise turn each "\n" into "\r\n". Called at program start, before
// anything is printed.
void platform_binary_console();

// The last write time of a file (seconds since 1970, UTC). Returns 1 with
// when set, 0 when the file's status cannot be read (when is then 0).
int platform_file_write_time(const char* name, std::time_t& when);

// What tells a file's content apart without reading it: its size, its last
// write time to the nanosecond where the system keeps it (Windows keeps
// steps of 100 ns), and the file itself: its device and inode, on Windows
// its volume's serial number and its file index. A file replaced by another
// of the same size and time, in place or by a rename, differs in one of them.
struct PlatformFileStamp {
    long long size = 0;
    long long write_time = 0;  // seconds since 1970, UTC, rounded toward the past
    long long write_ns = 0;    // nanoseconds within that second
    unsigned long long device = 0;
    unsigned long long file = 0;
};

// Fills stamp for a regular file (a link is followed). Returns 1 then, 0 for
// anything else or a file whose status cannot be read.
int platform_file_stamp(const char* name, PlatformFileStamp& stamp);

// Whether this account may make files in folder (always on Windows, where
// that shows only when a file is made).
bool platform_can_write_folder(const char* folder);

// Whether an error of the system (errno, or on Windows GetLastError's
// code, as SQLite reports either) says that permission was denied.
bool platform_permission_denied(int system_error);

// Gives file the permissions of model: its mode bits and, where this
// account may change them, its owner and group. Nothing happens when either
// is missing, nor on Windows, where a file takes its rights from its folder.
void platform_copy_permissions(const char* model, const char* file);

// Room for any file name the supported systems give (255 bytes on Linux,
// MAX_PATH on Windows); a longer name is never reported.
inline constexpr std::size_t PLATFORM_NAME_CAPACITY = 1024;

// One entry of the current directory.
struct PlatformDirEntry {
    BoundedText<PLATFORM_NAME_CAPACITY> name;
    long long size = 0;          // bytes; 0 for anything but a regular file
    std::time_t write_time = 0;  // last write
    int time_known = 0;          // 0 when the entry's time could not be read
};

// The directory search: finds the entry of the current directory whose name
// ends in suffix (letters A-Z compared without case, so ".log" also finds
// "X.LOG" as it does on Windows) and that follows after byte-wise (an empty
// after finds the first). Walking it from "" with the last name found lists
// the matches sorted by name, the same on every run and every system, with
// nothing kept between calls. Returns 1 with entry filled in, 0 when there is
// no such entry or the directory cannot be read.
int platform_find_next(const char* suffix, const char* after, PlatformDirEntry& entry);

// Renames a file, but never onto another existing file. Renaming a file to a
// name it already has (or, on a system that ignores case, to a different case
// of its name) succeeds. Returns 1 when from now has the name to, else 0 and
// nothing changed.
int platform_rename_no_replace(const char* from, const char* to);
