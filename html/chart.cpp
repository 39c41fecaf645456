#include "chart.h"

#include <algorithm>
#include <array>

#include "html_text.h"
#include "page_kit.h"

namespace {

// The game's time goes into at most this many stretches of at least 5 s:
// a step of the chart is then at least three of its 640 units wide. A
// stretch is longer than duration / MAX_STRETCHES, so duration / stretch + 1
// stretches are never more: a line holds exactly as many as can be.
constexpr int MAX_STRETCHES = 199;
constexpr int MIN_STRETCH = 5;

struct Line {
    std::array<int, MAX_STRETCHES> change{};  // frags won in each stretch
    HtmlText label = "";
    bool team = false;
    int colour = 0;  // a player's colour, or the team's number
};

// A round step for about five marks over span.
int step_for(long long span, const std::array<int, 10>& steps) {
    for (int step : steps)
        if (span / step <= 5) return step;
    return steps.back() * static_cast<int>(span / (5LL * steps.back()) + 1);
}

struct Chart {
    int duration = 1;
    int stretch = MIN_STRETCH;
    int stretches = 1;
    int lowest = 0;
    int highest = 1;
    Markup measure = "frags";  // what the vertical axis counts
    std::array<Line, MAXPLAYER> lines;
    int count = 0;

    void reset(int game_duration, Markup counted) {
        measure = counted;
        duration = std::max(game_duration, 1);
        stretch = std::max(MIN_STRETCH, duration / MAX_STRETCHES + 1);
        stretches = duration / stretch + 1;
        lowest = 0;
        highest = 1;
        count = 0;
    }

    Line& add_line(const HtmlText& label, bool team, int colour) {
        Line& line = lines[static_cast<std::size_t>(count++)];
        line.change.fill(0);
        line.label = label;
        line.team = team;
        line.colour = colour;
        return line;
    }

    int stretch_of(int time) const {
        if (time <= 0) return 0;
        return std::min(time / stretch, stretches - 1);
    }
    int end_of(int s) const { return std::min((s + 1) * stretch, duration); }

    // Positions in tenths of the picture's units: a chart has hundreds of
    // points, and whole numbers are quick to write.
    int x(int time) const {
        return static_cast<int>(10LL * ChartFrame::left +
                                10LL * time * (ChartFrame::width - ChartFrame::left - ChartFrame::right) / duration);
    }
    int y(int value) const {
        return static_cast<int>(10LL * ChartFrame::top +
                                10LL * (static_cast<long long>(highest) - value) *
                                    (ChartFrame::height - ChartFrame::top - ChartFrame::bottom) /
                                    (static_cast<long long>(highest) - lowest));
    }

    void find_range() {
        for (int l = 0; l < count; ++l) {
            int value = 0;
            for (int s = 0; s < stretches; ++s) {
                value += lines[static_cast<std::size_t>(l)].change[static_cast<std::size_t>(s)];
                lowest = std::min(lowest, value);
                highest = std::max(highest, value);
            }
        }
    }

    void axes(HtmlWriter& out) const {
        const int bottom = ChartFrame::height - ChartFrame::bottom;
        out.put({"<line class=\"axis\" x1=\"", ChartFrame::left, "\" y1=\"", ChartFrame::top, "\" x2=\"",
                 ChartFrame::left, "\" y2=\"", bottom, "\"/>\n"});
        out.put({"<line class=\"axis\" x1=\"", ChartFrame::left, "\" y1=\"", Tenths{y(0)}, "\" x2=\"",
                 ChartFrame::width - ChartFrame::right, "\" y2=\"", Tenths{y(0)}, "\"/>\n"});
        const int minutes = step_for(duration / 60 + 1, {1, 2, 5, 10, 15, 30, 60, 120, 240, 600});
        for (long long m = 0; m * 60 <= duration; m += minutes)
            out.put({"<text class=\"tick\" x=\"", Tenths{x(static_cast<int>(m * 60))}, "\" y=\"", bottom + 14,
                     "\" text-anchor=\"middle\">", m, "</text>\n"});
        out.put({"<text class=\"tick\" x=\"", (ChartFrame::width + ChartFrame::left - ChartFrame::right) / 2, "\" y=\"",
                 ChartFrame::height - 4, "\" text-anchor=\"middle\">minutes</text>\n"});
        out.put({"<text class=\"tick\" x=\"12\" y=\"", (ChartFrame::top + bottom) / 2,
                 "\" text-anchor=\"middle\" transform=\"rotate(-90 12 ", (ChartFrame::top + bottom) / 2, ")\">",
                 measure, "</text>\n"});
        const int frags =
            step_for(static_cast<long long>(highest) - lowest, {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000});
        for (int v = lowest / frags * frags; v <= highest; v += frags) {
            if (v < lowest) continue;
            out.put({"<line class=\"grid\" x1=\"", ChartFrame::left, "\" y1=\"", Tenths{y(v)}, "\" x2=\"",
                     ChartFrame::width - ChartFrame::right, "\" y2=\"", Tenths{y(v)}, "\"/>\n"});
            out.put({"<text class=\"tick\" x=\"", ChartFrame::left - 6, "\" y=\"", Tenths{y(v) + 40},
                     "\" text-anchor=\"end\">", v, "</text>\n"});
        }
    }

    void path(HtmlWriter& out, const Line& line) const {
        out.put({line.team ? Piece("<path class=\"team t") : Piece("<path class=\"player c"), line.colour, "\" d=\""});
        int value = 0;
        int last_time = 0;
        PathWriter path(out);
        path.to('M', x(0));
        path.to(',', y(0));
        // Frags are counted in whole steps: the line holds its value until
        // the stretch in which it changes, then rises or falls at once.
        for (int s = 0; s < stretches; ++s) {
            const int change = line.change[static_cast<std::size_t>(s)];
            if (change == 0) continue;
            value += change;
            last_time = end_of(s);
            path.to('H', x(last_time));
            path.to('V', y(value));
        }
        if (last_time < duration) path.to('H', x(duration));
        path.flush();
        out.put({"\"/>\n"});
    }
};

int final_value(const Line& line) {
    int value = 0;
    for (int change : line.change) value += change;
    return value;
}

// The figure: the picture with its title and text alternative, then the
// legend as a list.
void draw(HtmlWriter& out, const Chart& chart, Markup title, const HtmlText& id) {
    out.put({"<figure class=\"chart\">\n<svg viewBox=\"0 0 ", ChartFrame::width, " ", ChartFrame::height,
             "\" role=\"img\">\n<title>", title, " over the time of game ", id, "</title>\n<desc>", title,
             " at the end of the game:"});
    for (int l = 0; l < chart.count; ++l) {
        const Line& line = chart.lines[static_cast<std::size_t>(l)];
        out.put({l == 0 ? Piece(" ") : Piece("; "), line.label, " ", final_value(line)});
    }
    out.put({".</desc>\n"});
    chart.axes(out);
    for (int l = 0; l < chart.count; ++l) chart.path(out, chart.lines[static_cast<std::size_t>(l)]);
    out.put({"</svg>\n<figcaption><ul class=\"legend\">\n"});
    for (int l = 0; l < chart.count; ++l) {
        const Line& line = chart.lines[static_cast<std::size_t>(l)];
        // A key of the line's colour, drawn with characters: dashed for a team.
        out.put({line.team ? Piece("<li><span class=\"key t") : Piece("<li><span class=\"key c"), line.colour,
                 "\" aria-hidden=\"true\">",
                 line.team ? Piece("\xE2\x95\x8D\xE2\x95\x8D") : Piece("\xE2\x94\x81\xE2\x94\x81"), "</span>",
                 line.label, " <span class=\"n\">", final_value(line), "</span></li>\n"});
    }
    out.put({"</ul></figcaption>\n</figure>\n"});
}

}  // namespace

void write_frag_chart(HtmlWriter& out, const GameRecord& game, const HtmlText& id) {
    Chart chart;
    chart.reset(game.length, "frags");
    for (std::size_t k = 0; k < game.players.size(); ++k)
        chart.add_line(HtmlText::utf8(game.players[k].name.view()), false, static_cast<int>(k));
    for (const TimedKill& kill : game.kills)
        chart.lines[static_cast<std::size_t>(kill.killer)]
            .change[static_cast<std::size_t>(chart.stretch_of(kill.time))] += kill.victim == kill.killer ? -1 : 1;
    chart.find_range();
    draw(out, chart, "Frags", id);
}

void write_team_chart(HtmlWriter& out, const GameRecord& game, const HtmlText& id) {
    const TeamScores& teams = game.teams;
    if (!teams.counted) return;
    const bool captures = game.type == GameType::CaptureTheFlag;
    const bool points = game.type == GameType::Domination;
    Chart chart;
    chart.reset(game.length, captures ? Markup("captures") : points ? Markup("points") : Markup("frags"));
    std::array<int, MAX_TEAMS> line_of{};
    line_of.fill(-1);
    for (int t = 0; t < MAX_TEAMS; ++t) {
        if (!teams.playing[static_cast<std::size_t>(t)]) continue;
        line_of[static_cast<std::size_t>(t)] = chart.count;
        chart.add_line(team_colour(t), true, t);
    }
    for (const TeamStep& step : teams.steps) {
        const int l = step.team >= 0 && step.team < MAX_TEAMS ? line_of[static_cast<std::size_t>(step.team)] : -1;
        if (l >= 0)
            chart.lines[static_cast<std::size_t>(l)].change[static_cast<std::size_t>(chart.stretch_of(step.time))] +=
                step.change;
    }
    // What the steps could not hold counts at the end: the lines end on the
    // final scores.
    for (int t = 0; t < MAX_TEAMS; ++t) {
        const int l = line_of[static_cast<std::size_t>(t)];
        if (l < 0) continue;
        Line& line = chart.lines[static_cast<std::size_t>(l)];
        line.change[static_cast<std::size_t>(chart.stretches - 1)] +=
            teams.score[static_cast<std::size_t>(t)] - final_value(line);
    }
    chart.find_range();
    draw(out, chart, captures ? Markup("Team captures") : points ? Markup("Team points") : Markup("Team frags"), id);
}
