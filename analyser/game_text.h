// The loaded text of one game and the searches every pass uses on it.
//
// The text is plain 8-bit characters with line-feed line ends (zero and
// carriage-return bytes were dropped while loading), held in one buffer of
// 512,000 bytes that is allocated once and reused for every game.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "bounded_text.h"
#include "event_index.h"
#include "platform.h"
#include "text_scan.h"

inline constexpr std::size_t LOG_BUFFER_SIZE = 512000;
inline constexpr std::size_t MAX_TEXT_LENGTH = LOG_BUFFER_SIZE - 1;

// A field read from a log line for lookup or comparison (a weapon or item
// name, a team value): at most 255 characters are kept.
using Field = BoundedText<256>;

// Decimal conversion in the manner of atoi: leading white space, one optional
// sign, digits up to the first other character; no digits give 0. Values
// beyond the 32-bit range are clamped to it.
int parse_int(std::string_view text);

struct GameText {
    static constexpr std::size_t npos = std::string_view::npos;

    std::unique_ptr<char[]> buffer;  // LOG_BUFFER_SIZE bytes once allocated
    std::size_t length = 0;          // characters of text; buffer[length] is 0
    std::size_t game_start = 0;      // the first "info"
    std::size_t game_end = 0;        // the line feed ending the game_end line
    std::size_t play_start = npos;   // the first "game_start" after game_start: where play starts, or npos
    bool cut = false;                // more than 511,999 characters were loaded: the rest is lost
    EventIndex events;               // where the game's event words stand, once the game is located

    bool allocate();  // false when the memory is not available
    std::string_view view() const { return {buffer.get(), length}; }
    // The located game: from its first "info" to the line feed of its
    // game_end line, both included.
    std::string_view game() const { return view().substr(game_start, game_end + 1 - game_start); }

    void clear_text();
    void terminate();                   // cuts the text at 511,999 characters (noting the cut) and terminates it
    void cut_at(std::size_t position);  // shortens the text to end before position

    std::size_t find(std::string_view pattern, std::size_t from) const {
        if (from > length) return npos;
        const char* found = find_text(buffer.get() + from, length - from, pattern.data(), pattern.size());
        return found == nullptr ? npos : static_cast<std::size_t>(found - buffer.get());
    }
    std::size_t find_char(char c, std::size_t from) const { return from > length ? npos : view().find(c, from); }
    char at(std::size_t position) const { return position < length ? buffer[position] : '\0'; }

    // The field that starts at from and runs to the next delim (which may lie
    // on a later line, as the log format's readers always took it). Returns
    // false when no delimiter follows.
    bool field(std::size_t from, char delim, std::string_view& value, std::size_t& delim_pos) const;

    // Whole-second time stamp of the line that holds position, or -1 when no
    // line feed lies within the 15 characters before it.
    int line_time(std::size_t position) const;
};

// Repeated searches for one event's pattern from a cursor: the answers of
// text.find, taken from the game's event index when it was built, else from
// the text. The cursors of a pass only move forward, so the walk over the
// index only moves forward too; a search from further back starts it anew.
class EventFinder {
public:
    explicit EventFinder(Event event) : event_(event), pattern_(event_pattern(event)) {}

    std::size_t find(const GameText& text, std::size_t from) {
        if (!text.events.built()) return text.find(pattern_, from);
        const std::uint32_t* end = text.events.end(event_);
        if (next_ == nullptr || from < from_) next_ = text.events.begin(event_);
        from_ = from;
        while (next_ != end && *next_ < from) ++next_;
        return next_ == end ? GameText::npos : *next_;
    }

    std::size_t size() const { return pattern_.size(); }

private:
    Event event_;
    std::string_view pattern_;
    const std::uint32_t* next_ = nullptr;
    std::size_t from_ = 0;
};
