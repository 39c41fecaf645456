// Writes fragments of an HTML 3.2 page, in call order, to the stream it is handed.
//
// The writer keeps no state and checks nothing of the page's structure: the
// caller opens the head first, closes with the tail, and puts cells inside
// rows inside tables. Texts are passed to the output as format arguments,
// never as the format, so a percent sign in a text stays a percent sign.
//
// The writer copies its texts unchanged, because the page's own markup
// (labels with "<BR>", "&nbsp;") passes through it too. Text that comes from
// outside the program - log files, User.ini - must go through html_escape
// before it is handed over.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

#include "bounded_text.h"

// Colour that means "no colour markup"; compared exactly and case-sensitively.
inline constexpr const char* HTML_NO_COLOUR = "000000";

// Text alignment codes of html_text and html_cell; any other value writes no
// alignment markup.
inline constexpr int HTML_ALIGN_CENTER = 0;
inline constexpr int HTML_ALIGN_RIGHT = 1;
inline constexpr int HTML_ALIGN_NONE = -1;

// Image alignment codes of html_image (a scale of its own); any other value
// writes no align attribute.
inline constexpr int HTML_IMAGE_LEFT = -1;
inline constexpr int HTML_IMAGE_CENTER = 0;
inline constexpr int HTML_IMAGE_RIGHT = 1;
inline constexpr int HTML_IMAGE_NO_ALIGN = -2;

// Size codes: -2 and -1 smaller font, 0 plain, 1..4 headings H1..H4; any other
// value writes no text.
inline constexpr int HTML_PLAIN = 0;

// Title, author, version and background may be null: their piece is left out.
int html_head(std::FILE* out, const char* title, const char* author, const char* version, const char* background);
int html_tail(std::FILE* out);
int html_paragraph(std::FILE* out);
int html_line_break(std::FILE* out);

// A null or "000000" colour writes no colour markup. A null text counts as
// an empty one.
int html_text(std::FILE* out, const char* colour, int align, const char* text, int size);

// Nothing is written for a null source (result 0). A null alternative text
// leaves out the alt attribute. No line end follows the tag.
int html_image(std::FILE* out, const char* source, int width, int height, const char* alt, int align);

// A null address, label or table colour is written as an empty text.
int html_mail_link(std::FILE* out, const char* address, const char* label);
// No line end follows the link.
int html_link(std::FILE* out, const char* address, const char* label);

int html_row_begin(std::FILE* out);
int html_row_end(std::FILE* out);
int html_table_begin(std::FILE* out, int width_percent, int border, const char* colour);
int html_table_end(std::FILE* out);
// "<TD>\n", what html_text writes for the same arguments, "</TD>\n".
int html_cell(std::FILE* out, const char* colour, int align, const char* text, int size);

// Room for a 199-character record text in which every character became the
// longest entity, "&quot;".
inline constexpr std::size_t HTML_ESCAPED_CAPACITY = 6 * 199 + 1;
using EscapedText = BoundedText<HTML_ESCAPED_CAPACITY>;

// text with "&", "<", ">" and '"' replaced by their entities, fit for element
// text and for quoted attribute values alike. A text too long for the result
// is cut before the first character whose replacement does not fit whole, so
// no entity is ever split.
EscapedText html_escape(std::string_view text);
