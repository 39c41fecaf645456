#include "platform.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

std::tm platform_utc_time(std::time_t when) {
    std::tm result{};
#ifdef _WIN32
    gmtime_s(&result, &when);
#else
    gmtime_r(&when, &result);
#endif
    return result;
}

std::tm platform_local_time(std::time_t when) {
    std::tm result{};
#ifdef _WIN32
    localtime_s(&result, &when);
#else
    localtime_r(&when, &result);
#endif
    return result;
}

int platform_local_time_checked(std::time_t when, std::tm& result) {
    result = std::tm{};
#ifdef _WIN32
    return localtime_s(&result, &when) == 0 ? 1 : 0;
#else
    return localtime_r(&when, &result) != nullptr ? 1 : 0;
#endif
}

long long platform_clock_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

namespace {

char lower_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool ends_with(const char* name, std::size_t length, const char* suffix) {
    const std::size_t suffix_length = std::strlen(suffix);
    if (length < suffix_length) return false;
    const char* tail = name + (length - suffix_length);
    for (std::size_t k = 0; k < suffix_length; ++k) {
        if (lower_ascii(tail[k]) != lower_ascii(suffix[k])) return false;
    }
    return true;
}

// Whether name is a better answer to the search than the best one so far
// (best is null while there is none). strcmp compares bytes as unsigned char.
bool is_better(const char* name, const char* suffix, const char* after, const char* best) {
    const std::size_t length = std::strlen(name);
    if (length == 0 || length >= PLATFORM_NAME_CAPACITY) return false;
    if (!ends_with(name, length, suffix)) return false;
    if (std::strcmp(name, after) <= 0) return false;
    return best == nullptr || std::strcmp(name, best) < 0;
}

}  // namespace

#ifdef _WIN32

namespace {

// FILETIME counts 100 ns steps since 1601; time_t seconds since 1970.
// Rounded toward the past, as POSIX systems give a file's whole seconds.
std::time_t to_time_t(const FILETIME& time) {
    const unsigned long long ticks = (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    const long long since_1970 = static_cast<long long>(ticks) - 116444736000000000LL;
    long long seconds = since_1970 / 10000000LL;
    if (since_1970 % 10000000LL < 0) --seconds;
    return static_cast<std::time_t>(seconds);
}

}  // namespace

void platform_binary_console() {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

int platform_file_write_time(const char* name, std::time_t& when) {
    when = 0;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (name == nullptr || !GetFileAttributesExA(name, GetFileExInfoStandard, &data)) return 0;
    when = to_time_t(data.ftLastWriteTime);
    return 1;
}

int platform_file_stamp(const char* name, PlatformFileStamp& stamp) {
    stamp = PlatformFileStamp{};
    // No right to the content is asked for: its attributes are enough, and
    // a log the server still writes is not locked by the look.
    HANDLE file = CreateFileA(name, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (!known || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return 0;
    stamp.size =
        static_cast<long long>((static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    stamp.write_time = static_cast<long long>(to_time_t(info.ftLastWriteTime));
    const unsigned long long ticks = (static_cast<unsigned long long>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                     info.ftLastWriteTime.dwLowDateTime;
    const long long since_1970 = static_cast<long long>(ticks) - 116444736000000000LL;
    stamp.write_ns = (since_1970 - stamp.write_time * 10000000LL) * 100;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.file = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return 1;
}

bool platform_can_write_folder(const char*) { return true; }

bool platform_permission_denied(int system_error) { return system_error == ERROR_ACCESS_DENIED; }

void platform_copy_permissions(const char*, const char*) {}

int platform_find_next(const char* suffix, const char* after, PlatformDirEntry& entry) {
    // after may be entry's own name, which the search overwrites.
    const BoundedText<PLATFORM_NAME_CAPACITY> start(after);
    // "*" rather than "*<suffix>": the system's pattern would also match
    // short 8.3 aliases, so the names are filtered here as on other systems.
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA("*", &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int found = 0;
    do {
        if (!is_better(data.cFileName, suffix, start.c_str(), found ? entry.name.c_str() : nullptr)) continue;
        entry.name = data.cFileName;
        const bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.size = directory ? 0
                               : static_cast<long long>((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) |
                                                        data.nFileSizeLow);
        entry.time_known = data.ftLastWriteTime.dwHighDateTime != 0 || data.ftLastWriteTime.dwLowDateTime != 0;
        entry.write_time = entry.time_known ? to_time_t(data.ftLastWriteTime) : 0;
        found = 1;
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return found;
}

std::FILE* platform_open_write(const char* name, WriteMode mode) {
    switch (mode) {
        case WriteMode::Truncate: return std::fopen(name, "wb");
        case WriteMode::TruncateText: return std::fopen(name, "w");
        case WriteMode::Append: return std::fopen(name, "ab");
    }
    return nullptr;
}

bool platform_write_through(std::FILE* file, const char* data, std::size_t size) {
    const int fd = _fileno(file);
    while (size > 0) {
        const unsigned part = size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size);
        const int written = _write(fd, data, part);
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::FILE* platform_open_read(const char* name, bool text) {
    const DWORD attributes = GetFileAttributesA(name);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return nullptr;
    return std::fopen(name, text ? "r" : "rb");
}

int platform_rename_no_replace(const char* from, const char* to) {
    if (std::strcmp(from, to) == 0) return GetFileAttributesA(from) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
    // Without MOVEFILE_REPLACE_EXISTING the move refuses an existing target;
    // a change of case only is the same file and goes through.
    return MoveFileExA(from, to, 0) ? 1 : 0;
}

#else

// POSIX streams never translate line ends.
void platform_binary_console() {}

int platform_file_write_time(const char* name, std::time_t& when) {
    when = 0;
    struct stat status {};
    if (name == nullptr || stat(name, &status) != 0) return 0;
    when = status.st_mtime;
    return 1;
}

int platform_file_stamp(const char* name, PlatformFileStamp& stamp) {
    stamp = PlatformFileStamp{};
    struct stat status {};
    if (name == nullptr || stat(name, &status) != 0 || !S_ISREG(status.st_mode)) return 0;
    stamp.size = static_cast<long long>(status.st_size);
    stamp.write_time = static_cast<long long>(status.st_mtim.tv_sec);
    stamp.write_ns = static_cast<long long>(status.st_mtim.tv_nsec);
    stamp.device = static_cast<unsigned long long>(status.st_dev);
    stamp.file = static_cast<unsigned long long>(status.st_ino);
    return 1;
}

bool platform_can_write_folder(const char* folder) { return access(folder, W_OK | X_OK) == 0; }

bool platform_permission_denied(int system_error) { return system_error == EACCES || system_error == EPERM; }

void platform_copy_permissions(const char* model, const char* file) {
    struct stat wanted {};
    struct stat status {};
    if (stat(model, &wanted) != 0 || lstat(file, &status) != 0 || !S_ISREG(status.st_mode)) return;
    // The owner first: a change of owner may clear the mode's set-id bits,
    // so the mode comes last. An account that may not give the file away
    // may still give it the history's group.
    if (status.st_uid != wanted.st_uid || status.st_gid != wanted.st_gid) {
        const bool given =
            chown(file, wanted.st_uid, wanted.st_gid) == 0 || chown(file, static_cast<uid_t>(-1), wanted.st_gid) == 0;
        (void)given;  // else the file stays its maker's, readable as its mode says
    }
    if ((status.st_mode & 07777) != (wanted.st_mode & 07777)) {
        const bool set = chmod(file, wanted.st_mode & 07777) == 0;
        (void)set;  // not this account's file: it keeps its mode
    }
}

int platform_find_next(const char* suffix, const char* after, PlatformDirEntry& entry) {
    // after may be entry's own name, which the search overwrites.
    const BoundedText<PLATFORM_NAME_CAPACITY> start(after);
    DIR* directory = opendir(".");
    if (directory == nullptr) return 0;
    int found = 0;
    while (const dirent* item = readdir(directory)) {
        if (!is_better(item->d_name, suffix, start.c_str(), found ? entry.name.c_str() : nullptr)) continue;
        entry.name = item->d_name;
        found = 1;
    }
    closedir(directory);
    if (!found) return 0;

    // A dangling link still has a time and size of its own.
    struct stat status {};
    if (stat(entry.name.c_str(), &status) == 0 || lstat(entry.name.c_str(), &status) == 0) {
        entry.size = S_ISREG(status.st_mode) ? static_cast<long long>(status.st_size) : 0;
        entry.write_time = status.st_mtime;
        entry.time_known = 1;
    } else {
        entry.size = 0;
        entry.write_time = 0;
        entry.time_known = 0;
    }
    return 1;
}

std::FILE* platform_open_write(const char* name, WriteMode mode) {
    const bool append = mode == WriteMode::Append;
    // O_NOFOLLOW refuses a link; O_NONBLOCK keeps a FIFO without a reader
    // from blocking the open. Nothing is truncated before the file is known
    // to be a regular one.
    const int fd = open(name, O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (append ? O_APPEND : 0), 0666);
    if (fd < 0) return nullptr;
    struct stat status {};
    const bool writable = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && (append || ftruncate(fd, 0) == 0) &&
                          fcntl(fd, F_SETFL, append ? O_APPEND : 0) == 0;
    std::FILE* file = writable ? fdopen(fd, append ? "ab" : "wb") : nullptr;
    if (file == nullptr) close(fd);
    return file;
}

bool platform_write_through(std::FILE* file, const char* data, std::size_t size) {
    const int fd = fileno(file);
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::FILE* platform_open_read(const char* name, bool) {
    const int fd = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat status {};
    const bool readable = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && fcntl(fd, F_SETFL, 0) == 0;
    std::FILE* file = readable ? fdopen(fd, "rb") : nullptr;
    if (file == nullptr) close(fd);
    return file;
}

namespace {

// Two names of one directory entry (or hard links of one file).
bool same_file(const char* a, const char* b) {
    struct stat first {};
    struct stat second {};
    return lstat(a, &first) == 0 && lstat(b, &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

}  // namespace

int platform_rename_no_replace(const char* from, const char* to) {
    struct stat status {};
    if (std::strcmp(from, to) == 0) return lstat(from, &status) == 0 ? 1 : 0;
#ifdef RENAME_NOREPLACE
    // The kernel checks and renames in one step, so no other process can
    // create the target in between.
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 1;
    if (errno == EEXIST) return same_file(from, to) && std::rename(from, to) == 0 ? 1 : 0;
    // Only a file system or kernel without the flag falls through to the
    // check below; every other error is final.
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return 0;
#endif
    // Check, then rename: leaves a short window in which another process
    // could create the target; good enough for a folder of game logs.
    if (lstat(to, &status) == 0) {
        if (!same_file(from, to)) return 0;
    } else if (errno != ENOENT) {
        return 0;
    }
    return std::rename(from, to) == 0 ? 1 : 0;
}

#endif

std::FILE* platform_open_scratch() {
#ifdef _WIN32
    // The C runtime's tmpfile() makes its files in the root of the drive,
    // which only an administrator may write to: the user's folder of
    // temporary files it is. CREATE_NEW never opens what exists, a link
    // included; the file goes when its last handle closes.
    char folder[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH - 32) return nullptr;
    const unsigned long long seed = GetTickCount64() ^ (static_cast<unsigned long long>(GetCurrentProcessId()) << 32);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        char name[MAX_PATH + 1];
        std::snprintf(name, sizeof name, "%svelstra-%llx-%u.tmp", folder, seed, attempt);
        HANDLE handle = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS) continue;
            return nullptr;
        }
        const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
        if (descriptor == -1) {
            CloseHandle(handle);
            return nullptr;
        }
        std::FILE* file = _fdopen(descriptor, "w+b");
        if (file == nullptr) _close(descriptor);
        return file;
    }
    return nullptr;
#else
    // A fresh file made exclusively and unlinked at once.
    return std::tmpfile();
#endif
}
