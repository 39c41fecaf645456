#include "html_writer.h"

#include <cstring>

#include "html_version.h"

namespace {

const char* or_empty(const char* text) { return text != nullptr ? text : ""; }

bool is_coloured(const char* colour) { return colour != nullptr && std::strcmp(colour, HTML_NO_COLOUR) != 0; }

}  // namespace

int html_head(std::FILE* out, const char* title, const char* author, const char* version, const char* background) {
    std::fprintf(out, "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\n");
    std::fprintf(out, "<HTML>\n");
    std::fprintf(out, "<HEAD>\n");
    if (title != nullptr)
        std::fprintf(out, "<TITLE>%s</TITLE>\n", title);
    else
        std::fprintf(out, "<TITLE></TITLE>\n");
    std::fprintf(out, "<META NAME=\"GENERATOR\" CONTENT=\"%s Compiler\">\n", HTML_COMPILER_NAME);
    std::fprintf(out, "<META NAME=\"FORMATTER\" CONTENT=\"KESHs HTML-Library\">\n");
    if (author != nullptr) std::fprintf(out, "<META NAME=\"AUTOR\" CONTENT=\"%s\">\n", author);
    if (version != nullptr) std::fprintf(out, "<META NAME=\"VERSION\" CONTENT=\"%s\">\n", version);
    std::fprintf(out, "</HEAD>\n");
    if (background != nullptr)
        std::fprintf(out,
                     "<BODY BACKGROUND=\"%s\" BGCOLOR=\"#ffffff\" TEXT=\"#000000\" LINK=\"#0000ff\" "
                     "VLINK=\"#800080\" ALINK=\"#ff0000\">\n\n",
                     background);
    else
        std::fprintf(out,
                     "<BODY BGCOLOR=\"#ffffff\" TEXT=\"#000000\" LINK=\"#0000ff\" VLINK=\"#800080\" "
                     "ALINK=\"#ff0000\">\n\n");
    return 1;
}

int html_tail(std::FILE* out) {
    std::fprintf(out, "</BODY>\n");
    std::fprintf(out, "</HTML>\n");
    return 1;
}

int html_paragraph(std::FILE* out) { return std::fprintf(out, "<P>\n"); }

int html_line_break(std::FILE* out) { return std::fprintf(out, "<BR>\n"); }

int html_text(std::FILE* out, const char* colour, int align, const char* text, int size) {
    text = or_empty(text);
    if (align == HTML_ALIGN_CENTER)
        std::fprintf(out, "<CENTER>");
    else if (align == HTML_ALIGN_RIGHT)
        std::fprintf(out, "<DIV align=\"right\">\n");

    // The colour goes inside a small-font tag, but wraps plain text and
    // headings in a font tag of its own.
    const bool coloured = is_coloured(colour);
    BoundedText<256> attribute;
    if (coloured) {
        attribute.format("color=\"#%s\"", colour);
        if (size >= 0) std::fprintf(out, "<FONT color=\"#%s\">", colour);
    }

    switch (size) {
        case -2: std::fprintf(out, "<FONT size=\"-2\" %s>%s</FONT>", attribute.c_str(), text); break;
        case -1: std::fprintf(out, "<FONT size=\"-1\" %s>%s</FONT>", attribute.c_str(), text); break;
        case 0: std::fprintf(out, "%s", text); break;
        case 1: std::fprintf(out, "<H1>%s</H1>", text); break;
        case 2: std::fprintf(out, "<H2>%s</H2>", text); break;
        case 3: std::fprintf(out, "<H3>%s</H3>", text); break;
        case 4: std::fprintf(out, "<H4>%s</H4>", text); break;
        default: break;
    }

    if (coloured && size >= 0) std::fprintf(out, "</FONT>");

    if (align == HTML_ALIGN_CENTER)
        std::fprintf(out, "</CENTER>\n");
    else if (align == HTML_ALIGN_RIGHT)
        std::fprintf(out, "</DIV>\n");
    return 1;
}

int html_image(std::FILE* out, const char* source, int width, int height, const char* alt, int align) {
    if (source == nullptr) return 0;
    if (alt != nullptr)
        std::fprintf(out, "<img src=\"%s\" width=\"%i\" height=\"%i\" alt=\"%s\" ", source, width, height, alt);
    else
        std::fprintf(out, "<img src=\"%s\" width=\"%i\" height=\"%i\" ", source, width, height);
    switch (align) {
        case HTML_IMAGE_CENTER: return std::fprintf(out, "align=\"center\">");
        case HTML_IMAGE_LEFT: return std::fprintf(out, "align=\"left\">");
        case HTML_IMAGE_RIGHT: return std::fprintf(out, "align=\"right\">");
        default: return std::fprintf(out, ">");
    }
}

int html_mail_link(std::FILE* out, const char* address, const char* label) {
    return std::fprintf(out, "<A HREF=\"mailto:%s\">%s</A>\n", or_empty(address), or_empty(label));
}

int html_link(std::FILE* out, const char* address, const char* label) {
    return std::fprintf(out, "<A HREF=\"%s\">%s</A>", or_empty(address), or_empty(label));
}

int html_row_begin(std::FILE* out) {
    std::fprintf(out, "<TR>\n");
    return 1;
}

int html_row_end(std::FILE* out) {
    std::fprintf(out, "</TR>\n");
    return 1;
}

int html_table_begin(std::FILE* out, int width_percent, int border, const char* colour) {
    std::fprintf(out, "<TABLE  width=\"");
    std::fprintf(out, "%i", width_percent);
    std::fprintf(out, "%%\" border=\"");
    std::fprintf(out, "%i", border);
    std::fprintf(out, "\" cellspacing=\"0\" cellpadding=\"4\" bgcolor=\"#");
    std::fprintf(out, "%s", or_empty(colour));
    std::fprintf(out, "\">\n");
    return 1;
}

int html_table_end(std::FILE* out) {
    std::fprintf(out, "</TABLE>\n");
    return 1;
}

int html_cell(std::FILE* out, const char* colour, int align, const char* text, int size) {
    std::fprintf(out, "<TD>\n");
    html_text(out, colour, align, text, size);
    std::fprintf(out, "</TD>\n");
    return 1;
}

EscapedText html_escape(std::string_view text) {
    char escaped[HTML_ESCAPED_CAPACITY];
    std::size_t length = 0;
    for (char c : text) {
        const char* entity = nullptr;
        switch (c) {
            case '&': entity = "&amp;"; break;
            case '<': entity = "&lt;"; break;
            case '>': entity = "&gt;"; break;
            case '"': entity = "&quot;"; break;
            default: break;
        }
        std::string_view piece = entity != nullptr ? std::string_view(entity) : std::string_view(&c, 1);
        if (length + piece.size() > HTML_ESCAPED_CAPACITY - 1) break;
        std::memcpy(escaped + length, piece.data(), piece.size());
        length += piece.size();
    }
    return EscapedText(std::string_view(escaped, length));
}
