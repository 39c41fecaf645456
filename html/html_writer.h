// Writes fragments of an HTML 3.2 page, in call order, to the output it is
// handed.
//
// The writer keeps no state and checks nothing of the page's structure: the
// caller opens the head first, closes with the tail, and puts cells inside
// rows inside tables. It takes only HtmlText and Markup (html_text.h), so text
// from outside the program reaches the page escaped or not at all; texts are
// passed to the output as format arguments, never as the format.
#pragma once

#include "html_text.h"
#include "output.h"

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
int html_head(Output& out, Markup title, Markup author, Markup version, Markup background);
int html_tail(Output& out);
int html_paragraph(Output& out);
int html_line_break(Output& out);

// A null or "000000" colour writes no colour markup.
int html_text(Output& out, Markup colour, int align, const HtmlText& text, int size);

// Nothing is written for a null source (result 0). A null alternative text
// leaves out the alt attribute. No line end follows the tag.
int html_image(Output& out, const HtmlText* source, int width, int height, const HtmlText* alt, int align);

int html_mail_link(Output& out, const HtmlText& address, const HtmlText& label);
// No line end follows the link.
int html_link(Output& out, const HtmlText& address, const HtmlText& label);

int html_row_begin(Output& out);
int html_row_end(Output& out);
// A null colour is written as an empty text.
int html_table_begin(Output& out, int width_percent, int border, Markup colour);
int html_table_end(Output& out);
// "<TD>\n", what html_text writes for the same arguments, "</TD>\n".
int html_cell(Output& out, Markup colour, int align, const HtmlText& text, int size);
