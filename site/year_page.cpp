#include "page_kit.h"
#include "page_writer.h"
#include "site_kit.h"
#include "site_pages.h"

std::string year_page(const SiteData& data, const std::string& year) {
    StringOutput text;
    HtmlWriter out(text);
    std::size_t from = 0;
    while (from < data.evenings.size() && data.evenings[from].date.compare(0, 4, year) < 0) ++from;
    std::size_t to = from;
    while (to < data.evenings.size() && data.evenings[to].date.compare(0, 4, year) == 0) ++to;
    HtmlText heading = "Evenings of ";
    heading += HtmlText::escape(year);
    HtmlText title = heading;
    title += " \xE2\x80\x93 Unreal Tournament";
    HtmlText facts = HtmlText::number(static_cast<int>(to - from));
    facts += to - from == 1 ? HtmlText(" evening") : HtmlText(" evenings");
    facts += ", the latest first. <a href=\"../index.html\">The rankings</a>";
    page_head(out, title, heading, facts);
    out.put({"<section id=\"evenings-list\">\n"});
    evenings_table(out, data, from, to, "../");
    years_line(out, data, "../");
    out.put({"</section>\n"});
    page_foot(out);
    return text.text;
}
