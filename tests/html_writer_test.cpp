// The HTML writer: the exact bytes of every fragment, and the escaping of
// outside text.
#include "html_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "analysis_test_support.h"

namespace {

std::string text_of(Markup colour, int align, const HtmlText& text, int size) {
    return capture_output([&](Output& out) { html_text(out, colour, align, text, size); });
}

std::string image_of(const HtmlText& source, int width, int height, const HtmlText* alt, int align) {
    return capture_output([&](Output& out) { html_image(out, &source, width, height, alt, align); });
}

const HtmlText kA = "A";
const HtmlText kEmpty = "";

TEST(HtmlText, AlignmentWrapsTheText) {
    EXPECT_EQ(text_of("000000", 0, "12", 0), "<CENTER>12</CENTER>\n");
    EXPECT_EQ(text_of("000000", 1, "x", 0), "<DIV align=\"right\">\nx</DIV>\n");
    EXPECT_EQ(text_of("000000", -1, "x", 0), "x");
    EXPECT_EQ(text_of("000000", 7, "x", 0), "x");
}

TEST(HtmlText, ColourWrapsPlainTextAndHeadingsFromOutside) {
    EXPECT_EQ(text_of("ff0000", 0, "12", 0), "<CENTER><FONT color=\"#ff0000\">12</FONT></CENTER>\n");
    EXPECT_EQ(text_of("ff0000", 0, "T", 2), "<CENTER><FONT color=\"#ff0000\"><H2>T</H2></FONT></CENTER>\n");
    // Only the exact text "000000" means black: upper case is a colour.
    EXPECT_EQ(text_of("FF0000", -1, "x", 0), "<FONT color=\"#FF0000\">x</FONT>");
    // An absent colour is black.
    EXPECT_EQ(text_of(nullptr, -1, "x", 0), "x");
}

TEST(HtmlText, SizeCodesChooseTheMarkup) {
    EXPECT_EQ(text_of("000000", -1, "abc", 4), "<H4>abc</H4>");
    EXPECT_EQ(text_of("000000", -1, "abc", 1), "<H1>abc</H1>");
    EXPECT_EQ(text_of("000000", -1, "abc", 3), "<H3>abc</H3>");
    // Small fonts keep the blank of the empty attribute text.
    EXPECT_EQ(text_of("000000", -1, "abc", -1), "<FONT size=\"-1\" >abc</FONT>");
    EXPECT_EQ(text_of("000000", -1, "abc", -2), "<FONT size=\"-2\" >abc</FONT>");
    // A colour with a small font goes into the one size tag.
    EXPECT_EQ(text_of("ff0000", -1, "abc", -2), "<FONT size=\"-2\" color=\"#ff0000\">abc</FONT>");
    EXPECT_EQ(text_of("00ff00", 0, "abc", -1), "<CENTER><FONT size=\"-1\" color=\"#00ff00\">abc</FONT></CENTER>\n");
    // Size 5 writes no text, but the colour's empty font element.
    EXPECT_EQ(text_of("ff0000", -1, "abc", 5), "<FONT color=\"#ff0000\"></FONT>");
    EXPECT_EQ(text_of("000000", 0, "abc", -3), "<CENTER></CENTER>\n");
}

TEST(HtmlText, TextIsNeverTheFormat) {
    EXPECT_EQ(text_of("000000", -1, "100% <b>&", 0), "100% <b>&");
    EXPECT_EQ(text_of("000000", -1, "%s%n%i", 2), "<H2>%s%n%i</H2>");
}

TEST(HtmlCell, WrapsTheTextInACell) {
    std::string cell = capture_output([](Output& out) { html_cell(out, "ff0000", 0, "7", 0); });
    EXPECT_EQ(cell, "<TD>\n<CENTER><FONT color=\"#ff0000\">7</FONT></CENTER>\n</TD>\n");
    cell = capture_output([](Output& out) { html_cell(out, "000000", -1, "a", 4); });
    EXPECT_EQ(cell, "<TD>\n<H4>a</H4></TD>\n");
}

TEST(HtmlImage, AltTextAndEachAlignment) {
    EXPECT_EQ(image_of("a.gif", 32, 16, &kA, -1),
              "<img src=\"a.gif\" width=\"32\" height=\"16\" alt=\"A\" align=\"left\">");
    EXPECT_EQ(image_of("a.gif", 32, 16, &kA, 0),
              "<img src=\"a.gif\" width=\"32\" height=\"16\" alt=\"A\" align=\"center\">");
    EXPECT_EQ(image_of("a.gif", 32, 16, &kA, 1),
              "<img src=\"a.gif\" width=\"32\" height=\"16\" alt=\"A\" align=\"right\">");
    EXPECT_EQ(image_of("a.gif", 32, 16, &kA, -2), "<img src=\"a.gif\" width=\"32\" height=\"16\" alt=\"A\" >");
    EXPECT_EQ(image_of("a.gif", 128, 128, nullptr, -2), "<img src=\"a.gif\" width=\"128\" height=\"128\" >");
    EXPECT_EQ(image_of("a.gif", 1, 2, &kEmpty, 1),
              "<img src=\"a.gif\" width=\"1\" height=\"2\" alt=\"\" align=\"right\">");
}

TEST(HtmlImage, WithoutASourceNothingIsWritten) {
    int result = -1;
    std::string written = capture_output([&](Output& out) { result = html_image(out, nullptr, 32, 32, &kA, 1); });
    EXPECT_EQ(written, "");
    EXPECT_EQ(result, 0);
    // With a source the result counts the closing piece only.
    const HtmlText source = "a.gif";
    std::string closing = capture_output([&](Output& out) { result = html_image(out, &source, 1, 1, nullptr, 1); });
    EXPECT_EQ(result, static_cast<int>(std::string("align=\"right\">").size()));
}

TEST(HtmlLinks, MailLinkEndsTheLineAndLinkDoesNot) {
    std::string mail = capture_output([](Output& out) { html_mail_link(out, "a@b.org", "write"); });
    EXPECT_EQ(mail, "<A HREF=\"mailto:a@b.org\">write</A>\n");
    std::string link = capture_output([](Output& out) { html_link(out, "http://x.org/", "x"); });
    EXPECT_EQ(link, "<A HREF=\"http://x.org/\">x</A>");
}

TEST(HtmlTable, TableRowAndSmallPieces) {
    std::string table = capture_output([](Output& out) {
        html_table_begin(out, 100, 2, "ffffff");
        html_row_begin(out);
        html_row_end(out);
        html_table_end(out);
        html_paragraph(out);
        html_line_break(out);
        html_tail(out);
    });
    EXPECT_EQ(table,
              "<TABLE  width=\"100%\" border=\"2\" cellspacing=\"0\" cellpadding=\"4\" bgcolor=\"#ffffff\">\n"
              "<TR>\n</TR>\n</TABLE>\n<P>\n<BR>\n</BODY>\n</HTML>\n");
    std::string narrow = capture_output([](Output& out) { html_table_begin(out, 50, 0, "c0c0c0"); });
    EXPECT_EQ(narrow, "<TABLE  width=\"50%\" border=\"0\" cellspacing=\"0\" cellpadding=\"4\" bgcolor=\"#c0c0c0\">\n");
}

TEST(HtmlHead, EveryPiece) {
    std::string head = capture_output([](Output& out) { html_head(out, "T", "A", "V", "bg.gif"); });
    EXPECT_EQ(head,
              "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\n"
              "<HTML>\n"
              "<HEAD>\n"
              "<TITLE>T</TITLE>\n"
              "<META NAME=\"GENERATOR\" CONTENT=\"MS/VC++ 6.0 Compiler\">\n"
              "<META NAME=\"FORMATTER\" CONTENT=\"KESHs HTML-Library\">\n"
              "<META NAME=\"AUTOR\" CONTENT=\"A\">\n"
              "<META NAME=\"VERSION\" CONTENT=\"V\">\n"
              "</HEAD>\n"
              "<BODY BACKGROUND=\"bg.gif\" BGCOLOR=\"#ffffff\" TEXT=\"#000000\" LINK=\"#0000ff\" VLINK=\"#800080\" "
              "ALINK=\"#ff0000\">\n\n");
}

TEST(HtmlHead, AbsentPiecesAreLeftOut) {
    std::string head = capture_output([](Output& out) { html_head(out, nullptr, nullptr, nullptr, nullptr); });
    EXPECT_EQ(head,
              "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\n"
              "<HTML>\n"
              "<HEAD>\n"
              "<TITLE></TITLE>\n"
              "<META NAME=\"GENERATOR\" CONTENT=\"MS/VC++ 6.0 Compiler\">\n"
              "<META NAME=\"FORMATTER\" CONTENT=\"KESHs HTML-Library\">\n"
              "</HEAD>\n"
              "<BODY BGCOLOR=\"#ffffff\" TEXT=\"#000000\" LINK=\"#0000ff\" VLINK=\"#800080\" ALINK=\"#ff0000\">\n\n");
    // Each optional piece on its own.
    std::string author_only = capture_output([](Output& out) { html_head(out, "T", "A", nullptr, nullptr); });
    EXPECT_NE(author_only.find("<META NAME=\"AUTOR\" CONTENT=\"A\">\n</HEAD>\n"), std::string::npos);
    std::string version_only = capture_output([](Output& out) { html_head(out, "T", nullptr, "V", nullptr); });
    EXPECT_NE(version_only.find("HTML-Library\">\n<META NAME=\"VERSION\" CONTENT=\"V\">\n</HEAD>\n"),
              std::string::npos);
    EXPECT_EQ(version_only.find("AUTOR"), std::string::npos);
}

TEST(HtmlEscape, ReplacesTheFourMarkupCharacters) {
    EXPECT_STREQ(html_escape("<script>alert(\"x&y\")</script>").c_str(),
                 "&lt;script&gt;alert(&quot;x&amp;y&quot;)&lt;/script&gt;");
    EXPECT_STREQ(html_escape("Plain name 100%' /x").c_str(), "Plain name 100%' /x");
    EXPECT_STREQ(html_escape("").c_str(), "");
    EXPECT_STREQ(html_escape("&amp;").c_str(), "&amp;amp;");
}

TEST(HtmlEscape, TheLongestRecordTextFitsAndNothingIsSplit) {
    std::string quotes(199, '"');
    std::string expected;
    for (int i = 0; i < 199; ++i) expected += "&quot;";
    EXPECT_EQ(html_escape(quotes).view(), expected);
    // Beyond the capacity the text is cut before an entity that does not fit whole.
    std::string longer = std::string(HtmlText::escape_limit - 2, 'a') + "<b";
    EXPECT_EQ(html_escape(longer).view(), std::string(HtmlText::escape_limit - 2, 'a'));
}

}  // namespace
