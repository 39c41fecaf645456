#include "html_writer.h"

#include <cstring>

#include "bounded_text.h"
#include "html_version.h"

namespace {

const char* or_empty(Markup text) { return text.c_str() != nullptr ? text.c_str() : ""; }

bool is_coloured(Markup colour) {
    return colour.c_str() != nullptr && std::strcmp(colour.c_str(), HTML_NO_COLOUR) != 0;
}

// The count of characters a piece wrote, as fprintf would give it.
int written(std::size_t size, bool ok) { return ok ? static_cast<int>(size) : -1; }

int put(Output& out, const char* text) {
    const std::size_t size = std::strlen(text);
    return written(size, out.write(text, size));
}

}  // namespace

int html_head(Output& out, Markup title, Markup author, Markup version, Markup background) {
    out.put("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\n");
    out.put("<HTML>\n");
    out.put("<HEAD>\n");
    if (title.c_str() != nullptr)
        out.print("<TITLE>%s</TITLE>\n", title.c_str());
    else
        out.put("<TITLE></TITLE>\n");
    out.print("<META NAME=\"GENERATOR\" CONTENT=\"%s Compiler\">\n", HTML_COMPILER_NAME);
    out.put("<META NAME=\"FORMATTER\" CONTENT=\"KESHs HTML-Library\">\n");
    if (author.c_str() != nullptr) out.print("<META NAME=\"AUTOR\" CONTENT=\"%s\">\n", author.c_str());
    if (version.c_str() != nullptr) out.print("<META NAME=\"VERSION\" CONTENT=\"%s\">\n", version.c_str());
    out.put("</HEAD>\n");
    if (background.c_str() != nullptr)
        out.print(
            "<BODY BACKGROUND=\"%s\" BGCOLOR=\"#ffffff\" TEXT=\"#000000\" LINK=\"#0000ff\" "
            "VLINK=\"#800080\" ALINK=\"#ff0000\">\n\n",
            background.c_str());
    else
        out.put(
            "<BODY BGCOLOR=\"#ffffff\" TEXT=\"#000000\" LINK=\"#0000ff\" VLINK=\"#800080\" "
            "ALINK=\"#ff0000\">\n\n");
    return 1;
}

int html_tail(Output& out) {
    out.put("</BODY>\n");
    out.put("</HTML>\n");
    return 1;
}

int html_paragraph(Output& out) { return put(out, "<P>\n"); }

int html_line_break(Output& out) { return put(out, "<BR>\n"); }

int html_text(Output& out, Markup colour, int align, const HtmlText& text, int size) {
    const char* chars = text.c_str();
    if (align == HTML_ALIGN_CENTER)
        out.put("<CENTER>");
    else if (align == HTML_ALIGN_RIGHT)
        out.put("<DIV align=\"right\">\n");

    // The colour goes inside a small-font tag, but wraps plain text and
    // headings in a font tag of its own.
    const bool coloured = is_coloured(colour);
    BoundedText<256> attribute;
    if (coloured) {
        attribute.format("color=\"#%s\"", colour.c_str());
        if (size >= 0) out.print("<FONT color=\"#%s\">", colour.c_str());
    }

    switch (size) {
        case -2: out.print("<FONT size=\"-2\" %s>%s</FONT>", attribute.c_str(), chars); break;
        case -1: out.print("<FONT size=\"-1\" %s>%s</FONT>", attribute.c_str(), chars); break;
        case 0: out.put(text.view()); break;
        case 1: out.print("<H1>%s</H1>", chars); break;
        case 2: out.print("<H2>%s</H2>", chars); break;
        case 3: out.print("<H3>%s</H3>", chars); break;
        case 4: out.print("<H4>%s</H4>", chars); break;
        default: break;
    }

    if (coloured && size >= 0) out.put("</FONT>");

    if (align == HTML_ALIGN_CENTER)
        out.put("</CENTER>\n");
    else if (align == HTML_ALIGN_RIGHT)
        out.put("</DIV>\n");
    return 1;
}

int html_image(Output& out, const HtmlText* source, int width, int height, const HtmlText* alt, int align) {
    if (source == nullptr) return 0;
    if (alt != nullptr)
        out.print("<img src=\"%s\" width=\"%i\" height=\"%i\" alt=\"%s\" ", source->c_str(), width, height,
                  alt->c_str());
    else
        out.print("<img src=\"%s\" width=\"%i\" height=\"%i\" ", source->c_str(), width, height);
    switch (align) {
        case HTML_IMAGE_CENTER: return put(out, "align=\"center\">");
        case HTML_IMAGE_LEFT: return put(out, "align=\"left\">");
        case HTML_IMAGE_RIGHT: return put(out, "align=\"right\">");
        default: return put(out, ">");
    }
}

int html_mail_link(Output& out, const HtmlText& address, const HtmlText& label) {
    const std::size_t size = address.size() + label.size() + 23;
    return written(size, out.print("<A HREF=\"mailto:%s\">%s</A>\n", address.c_str(), label.c_str()));
}

int html_link(Output& out, const HtmlText& address, const HtmlText& label) {
    const std::size_t size = address.size() + label.size() + 15;
    return written(size, out.print("<A HREF=\"%s\">%s</A>", address.c_str(), label.c_str()));
}

int html_row_begin(Output& out) {
    out.put("<TR>\n");
    return 1;
}

int html_row_end(Output& out) {
    out.put("</TR>\n");
    return 1;
}

int html_table_begin(Output& out, int width_percent, int border, Markup colour) {
    out.put("<TABLE  width=\"");
    out.print("%i", width_percent);
    out.put("%\" border=\"");
    out.print("%i", border);
    out.put("\" cellspacing=\"0\" cellpadding=\"4\" bgcolor=\"#");
    out.put(or_empty(colour));
    out.put("\">\n");
    return 1;
}

int html_table_end(Output& out) {
    out.put("</TABLE>\n");
    return 1;
}

int html_cell(Output& out, Markup colour, int align, const HtmlText& text, int size) {
    out.put("<TD>\n");
    html_text(out, colour, align, text, size);
    out.put("</TD>\n");
    return 1;
}
