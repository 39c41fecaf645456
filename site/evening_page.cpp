#include <algorithm>
#include <cmath>
#include <memory>

#include "game_section.h"
#include "latin1_text.h"
#include "page_kit.h"
#include "page_writer.h"
#include "site_folder.h"
#include "site_kit.h"
#include "site_pages.h"

namespace {

void changes_table(HtmlWriter& out, const SiteData& data, const std::vector<RatingChange>& changes) {
    out.put(
        {"<section id=\"ratings\">\n<h2>Rating changes</h2>\n<div class=\"scroll\"><table id=\"rating-changes\">\n"
         "<thead><tr>"});
    header_cell(out, "Player", nullptr, false);
    header_cell(out, "Before", "Rating before the evening");
    header_cell(out, "After", "Rating after the evening");
    header_cell(out, "Change", "Change of the cautious estimate, \xCE\xBC \xE2\x88\x92 3\xCF\x83");
    out.put({"</tr></thead>\n<tbody>\n"});
    for (const RatingChange& c : changes) {
        out.put({"<tr><th scope=\"row\">"});
        player_link(out, data, c.player, "../");
        const Tenths change = tenths(c.after.conservative() - c.before.conservative());
        out.put({"</th><td class=\"n\">", rating_text(c.before), "</td><td class=\"n\">", rating_text(c.after),
                 "</td><td class=\"n\">", change.value > 0 ? Piece("+") : Piece(""), change, "</td></tr>\n"});
    }
    if (changes.empty()) out.put({"<tr><td colspan=\"4\">No game of the evening was rated.</td></tr>\n"});
    out.put({"</tbody>\n</table></div>\n</section>\n"});
}

Markup unrated_reason(RatingVerdict verdict, bool team_game) {
    switch (verdict) {
        case RatingVerdict::Rated: break;
        case RatingVerdict::NoPlayer: return "Not rated: nobody in it is known as a human or a bot.";
        case RatingVerdict::BotsOnly: return "Not rated: bots only.";
        case RatingVerdict::NoHumanEntrant:
            if (team_game) return "Not rated: no human was on one team for half of the game.";
            return "Not rated: no human was in it for half of the game.";
        case RatingVerdict::OneEntrant: return "Not rated: one entrant.";
        case RatingVerdict::OneTeam: return "Not rated: entrants on one team only.";
    }
    return "";
}

Markup part_reason(RatingPart part) {
    switch (part) {
        case RatingPart::Entrant: break;
        case RatingPart::Unplaced: return "neither human nor bot stated";
        case RatingPart::ShortStay: return "less than half of the game";
        case RatingPart::ShortOnTeam: return "less than half of the game on one team";
    }
    return "";
}

// What a game's section on its evening's page adds: its players' names link
// to their pages, its server and its map's page follow its facts, and under
// them what the game was to the ratings: why it changed none, or the teams'
// chances as the ratings gave them before it (so that an upset shows) and
// who took no part in its update.
class EveningLinks final : public SectionLinks {
public:
    EveningLinks(const SiteData& data, const HistoryGame& game, const RatedGame& rated)
        : data_(data), game_(game), rated_(rated) {}

    // A player's name stands in every table of his game, in a row per
    // weapon in the accuracy table: its markup is made once per game.
    void player_name(HtmlWriter& out, std::size_t k) const override {
        if (names_.size() <= k) names_.resize(k + 1);
        Name& name = names_[k];
        if (!name.made) {
            name.markup = name_markup(k);
            name.made = true;
        }
        if (name.markup) {
            out.put({*name.markup});
            return;
        }
        // Too long for one text: written in its pieces.
        out.put({"<a href=\"../players/", HtmlText::escape(file_of(k)), ".html\">",
                 HtmlText::utf8(game_.record.players[k].name.view()), "</a>"});
    }

    void more_facts(HtmlWriter& out) const override {
        out.put({" Server: ", history_text(game_.server), ". Map: "});
        map_link(out, data_, utf8_of_latin1(game_.record.map.view()), "../");
        out.put({"."});
    }

    void notes(HtmlWriter& out) const override {
        const GameRating& rating = rated_.rating;
        out.put({"<p class=\"rating\">"});
        if (rating.verdict != RatingVerdict::Rated) {
            out.put({unrated_reason(rating.verdict, is_team_game(game_.record.type)), "</p>\n"});
            return;
        }
        out.put({"Rated."});
        for (int t = 0; t < rating_max_teams; ++t) {
            const double chance = rating.chances[static_cast<std::size_t>(t)];
            if (chance < 0) continue;
            const std::string& name = rated_.team_names[static_cast<std::size_t>(t)];
            const HtmlText team = name.empty() ? team_colour(t) : team_label(Text(name));
            out.put(
                {" ", team, " was given ", static_cast<long long>(std::lround(chance * 100.0)), " % before the game."});
        }
        bool any = false;
        const std::vector<GamePlayer>& players = game_.record.players;
        for (std::size_t k = 0; k < players.size() && k < rating.parts.size(); ++k) {
            if (rating.parts[k] == RatingPart::Entrant) continue;
            out.put({any ? Piece(", ") : Piece(" Not in the rating: "), HtmlText::utf8(players[k].name.view()), " (",
                     part_reason(rating.parts[k]), ")"});
            any = true;
        }
        out.put({any ? Piece(".") : Piece(""), "</p>\n"});
    }

private:
    const SiteData& data_;
    const HistoryGame& game_;
    const RatedGame& rated_;
    struct Name {
        bool made = false;
        std::unique_ptr<HtmlText> markup;  // none: the link is written in its pieces
    };
    mutable std::vector<Name> names_;

    // The name's markup, or none when the link would not fit one text.
    std::unique_ptr<HtmlText> name_markup(std::size_t k) const {
        auto markup = std::make_unique<HtmlText>(HtmlText::utf8(game_.record.players[k].name.view()));
        const int player = k < game_.slots.size() ? index_of(game_.slots[k].player_id) : -1;
        if (player < 0) return markup;
        const HtmlText open = "<a href=\"../players/";
        const HtmlText file = HtmlText::escape(file_of(k));
        const HtmlText middle = ".html\">";
        const HtmlText name = *markup;
        const HtmlText close = "</a>";
        *markup = open;
        for (const HtmlText* piece : {&file, &middle, &name, &close}) *markup += *piece;
        // A text cut at its room would cut the link.
        if (markup->size() != open.size() + file.size() + middle.size() + name.size() + close.size()) return nullptr;
        return markup;
    }

    const std::string& file_of(std::size_t k) const {
        return data_.players[static_cast<std::size_t>(index_of(game_.slots[k].player_id))].file;
    }

    int index_of(long long id) const {
        const auto found = data_.index.find(id);
        return found == data_.index.end() ? -1 : found->second;
    }
};

}  // namespace

EveningPage::EveningPage(const SiteData& data)
    : data_(data),
      rows_(rows_text_),
      sections_text_(std::make_unique<PageBuffer>(false)),
      sections_(std::make_unique<HtmlWriter>(*sections_text_)) {}

EveningPage::~EveningPage() = default;

void EveningPage::add(const HistoryGame& game, const RatedGame& rated) {
    write_game_row(rows_, game.record);
    const EveningLinks links(data_, game, rated);
    write_game_section(*sections_, game.record, &links);
    for (const HistorySlot& slot : game.slots) {
        const auto found = data_.index.find(slot.player_id);
        if (found != data_.index.end()) seen_.push_back(found->second);
    }
}

bool EveningPage::write(Output& page, int evening, const std::vector<RatingChange>& changes,
                        const std::string& previous, const std::string& next) {
    const SiteEvening& e = data_.evenings[static_cast<std::size_t>(evening)];
    HtmlWriter out(page);
    HtmlText heading = "Evening of ";
    heading += evening_text(e.date);
    HtmlText title = heading;
    title += " \xE2\x80\x93 Unreal Tournament";
    HtmlText facts = HtmlText::number(static_cast<int>(e.games));
    facts += e.games == 1 ? HtmlText(" game, ") : HtmlText(" games, ");
    facts += game_length(static_cast<int>(e.seconds));
    facts += " in all. <a href=\"../index.html\">The rankings</a>";
    page_head(out, title, heading, facts);
    if (!previous.empty() || !next.empty()) out.put({"<nav class=\"facts\">"});
    if (!previous.empty()) {
        out.put({"Previous evening: "});
        evening_link(out, previous, "../");
    }
    if (!previous.empty() && !next.empty()) out.put({" \xC2\xB7 "});
    if (!next.empty()) {
        out.put({"Next evening: "});
        evening_link(out, next, "../");
    }
    if (!previous.empty() || !next.empty()) out.put({"</nav>\n"});
    write_games_table_head(out);
    page.put(rows_text_.text);
    out.put({"</tbody>\n</table></div>\n</section>\n"});
    const bool sections = sections_text_->copy_to(page);
    changes_table(out, data_, changes);

    std::sort(seen_.begin(), seen_.end());
    seen_.erase(std::unique(seen_.begin(), seen_.end()), seen_.end());
    out.put({"<section id=\"players\">\n<h2>Players</h2>\n<ul class=\"legend\">\n"});
    for (int p : seen_) {
        out.put({"<li>"});
        player_link(out, data_, p, "../");
        out.put({"</li>\n"});
    }
    out.put({"</ul>\n</section>\n"});
    page_foot(out);

    rows_text_.text.clear();
    sections_text_->clear();
    seen_.clear();
    return sections && !page.failed();
}
