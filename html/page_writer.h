// The writer of the pages built from records. It takes markup of the
// program (string literals and Markup), text escaped on its way in
// (HtmlText) and numbers, and nothing else: a text from a log reaches a page
// escaped or not at all, and no text is ever a format.
#pragma once

#include <cstddef>
#include <initializer_list>

#include "file_system.h"
#include "html_text.h"
#include "output.h"

// A decimal number of tenths, written "123.4".
struct Tenths {
    int value;
};

// One piece of a page: markup, escaped text or a number.
class Piece {
public:
    // NOLINTNEXTLINE(google-explicit-constructor)
    consteval Piece(const char* markup) : markup_(markup), size_(std::char_traits<char>::length(markup)) {}
    constexpr Piece(Markup markup)
        : markup_(markup.c_str()), size_(markup.size()) {}                // NOLINT(google-explicit-constructor)
    Piece(const HtmlText& text) : text_(&text) {}                         // NOLINT(google-explicit-constructor)
    Piece(int number) : kind_(Kind::Number), number_(number) {}           // NOLINT(google-explicit-constructor)
    Piece(long long number) : kind_(Kind::Number), number_(number) {}     // NOLINT(google-explicit-constructor)
    Piece(Tenths tenths) : kind_(Kind::Tenths), number_(tenths.value) {}  // NOLINT(google-explicit-constructor)

private:
    friend class HtmlWriter;
    enum class Kind { Text, Number, Tenths };
    Kind kind_ = Kind::Text;
    const char* markup_ = nullptr;
    std::size_t size_ = 0;  // of the markup
    const HtmlText* text_ = nullptr;
    long long number_ = 0;
};

class HtmlWriter {
public:
    explicit HtmlWriter(Output& out) : out_(out) {}

    // Writes the pieces in order, gathered into one write: a page is made
    // of many small pieces.
    HtmlWriter& put(std::initializer_list<Piece> pieces);

    // Copies in what a writer of the same kind wrote earlier into a scratch
    // file. False when it could not be read or written.
    bool put_part(ScratchFile& part);

    bool failed() const { return out_.failed(); }

private:
    friend class PathWriter;
    void gather(const char* data, std::size_t size);
    void flush();

    Output& out_;
    char buffer_[4096];
    std::size_t used_ = 0;
};

// The path data of a chart line, digits and commands gathered into few
// writes: a chart has hundreds of steps.
class PathWriter {
public:
    explicit PathWriter(HtmlWriter& writer) : out_(writer.out_) {}
    ~PathWriter() { flush(); }
    PathWriter(const PathWriter&) = delete;
    PathWriter& operator=(const PathWriter&) = delete;

    // "M56", ",226": the start; "H123": across to x; "V57": up or down to y.
    // Positions come in tenths and go out rounded to whole units, less than
    // a pixel on a screen: the lines are most of the page.
    void to(char command, int tenths_position);
    void flush();

private:
    Output& out_;
    char buffer_[4096];
    std::size_t used_ = 0;
};
