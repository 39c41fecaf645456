// Reading the lines of one kind, the way every pass reads the game's text.
#pragma once

#include <cstddef>
#include <string_view>

#include "game_text.h"

// Walks the lines that hold one pattern: finds the pattern at or after a
// cursor, reads the fields that follow it up to their delimiters, and moves
// the cursor on. A field runs to its delimiter even when that lies on a later
// line, as the log's readers always took it; a missing delimiter ends the
// walk, and so does, for a bounded walk, a cursor that is no longer before
// the game's end.
class LineWalker {
public:
    enum class Bound { GameEnd, TextEnd };

    LineWalker(const GameText& text, Event event, std::size_t from, Bound bound)
        : text_(text), finder_(event), cursor_(from), bound_(bound) {}

    // Goes to the next line at or after the cursor. False when there is none.
    bool next() {
        if (over_ || (bound_ == Bound::GameEnd && cursor_ >= text_.game_end)) return false;
        match_ = finder_.find(text_, cursor_);
        if (match_ == GameText::npos) return false;
        read_ = match_ + finder_.size();
        return true;
    }

    // Goes to the next line at or after position, wherever the last one was:
    // for passes that pair lines of several kinds at one cursor.
    bool next_from(std::size_t position) {
        cursor_ = position;
        return next();
    }

    // Where the pattern of the current line stands.
    std::size_t match() const { return match_; }

    // Where the next search starts: on the last delimiter read.
    std::size_t cursor() const { return cursor_; }

    // The next field of the line, up to delim; the cursor moves to that
    // delimiter. False when no delimiter follows: the walk is over.
    bool field(char delim, std::string_view& value) {
        std::size_t end = 0;
        if (!text_.field(read_, delim, value, end)) {
            over_ = true;
            return false;
        }
        cursor_ = end;
        read_ = end + 1;
        return true;
    }

    // The next field read as a number.
    bool number(char delim, int& value) {
        std::string_view text;
        if (!field(delim, text)) return false;
        value = parse_int(text);
        return true;
    }

    // The next search starts after the last delimiter read instead of on it.
    void continue_after_delimiter() { cursor_ = read_; }

    // Passes over the current line without reading it: the next search
    // starts one character after its pattern.
    void pass_over() { cursor_ = match_ + 1; }

private:
    const GameText& text_;
    EventFinder finder_;
    std::size_t cursor_;
    Bound bound_;
    std::size_t match_ = GameText::npos;
    std::size_t read_ = 0;
    bool over_ = false;
};
