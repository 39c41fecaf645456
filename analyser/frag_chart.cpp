#include "frag_chart.h"

#include <algorithm>
#include <array>

#include "games_page_text.h"
#include "html_text.h"

namespace {

// The game's time goes into at most this many stretches of at least 5 s:
// a step of the chart is then at least three of its 640 units wide.
constexpr int MAX_STRETCHES = 200;
constexpr int MIN_STRETCH = 5;

// The plot inside the picture, in the picture's units.
constexpr int WIDTH = 640;
constexpr int HEIGHT = 260;
constexpr int LEFT = 56;
constexpr int RIGHT = 14;
constexpr int TOP = 12;
constexpr int BOTTOM = 34;

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

// Writes the digits of value at `at`; returns how many.
int put_digits(char* at, unsigned value) {
    char reversed[12];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int k = 0; k < n; ++k) at[k] = reversed[n - 1 - k];
    return n;
}

// A position in tenths written as a decimal number, "123.4".
struct Tenths {
    char text[16];
};
Tenths tenths(int value) {
    Tenths written{};
    int k = 0;
    if (value < 0) written.text[k++] = '-';
    const unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    k += put_digits(written.text + k, magnitude / 10);
    written.text[k++] = '.';
    written.text[k++] = static_cast<char>('0' + magnitude % 10);
    written.text[k] = '\0';
    return written;
}

// The path of a line, gathered into few writes: a chart has hundreds of
// steps.
class Path {
public:
    explicit Path(Output& out) : out_(out) {}
    ~Path() { flush(); }
    Path(const Path&) = delete;
    Path& operator=(const Path&) = delete;

    // "M56", ",226": the start; "H123": across to x; "V57": up or down to y.
    // Positions come in tenths and go out rounded to whole units, less than
    // a pixel on a screen: the lines are most of the page.
    void to(char command, int tenths_position) {
        if (used_ + 20 > sizeof buffer_) flush();
        buffer_[used_++] = command;
        used_ += static_cast<std::size_t>(
            put_digits(buffer_ + used_, static_cast<unsigned>(std::max(tenths_position, 0) + 5) / 10));
    }
    void flush() {
        out_.write(buffer_, used_);
        used_ = 0;
    }

private:
    Output& out_;
    char buffer_[4096];
    std::size_t used_ = 0;
};

struct Chart {
    int duration = 1;
    int stretch = MIN_STRETCH;
    int stretches = 1;
    int lowest = 0;
    int highest = 1;
    const char* measure = "frags";  // what the vertical axis counts
    std::array<Line, MAXPLAYER> lines;
    int count = 0;

    void reset(int game_duration, const char* counted) {
        measure = counted;
        duration = std::max(game_duration, 1);
        stretch = std::max(MIN_STRETCH, duration / (MAX_STRETCHES - 1) + 1);
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
    int x(int time) const { return static_cast<int>(10LL * LEFT + 10LL * time * (WIDTH - LEFT - RIGHT) / duration); }
    int y(int value) const {
        return static_cast<int>(10LL * TOP + 10LL * (static_cast<long long>(highest) - value) *
                                                 (HEIGHT - TOP - BOTTOM) / (static_cast<long long>(highest) - lowest));
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

    void axes(Output& out) const {
        const int bottom = HEIGHT - BOTTOM;
        out.print("<line class=\"axis\" x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\"/>\n", LEFT, TOP, LEFT, bottom);
        out.print("<line class=\"axis\" x1=\"%d\" y1=\"%s\" x2=\"%d\" y2=\"%s\"/>\n", LEFT, tenths(y(0)).text,
                  WIDTH - RIGHT, tenths(y(0)).text);
        const int minutes = step_for(duration / 60 + 1, {1, 2, 5, 10, 15, 30, 60, 120, 240, 600});
        for (long long m = 0; m * 60 <= duration; m += minutes)
            out.print("<text class=\"tick\" x=\"%s\" y=\"%d\" text-anchor=\"middle\">%lld</text>\n",
                      tenths(x(static_cast<int>(m * 60))).text, bottom + 14, m);
        out.print("<text class=\"tick\" x=\"%d\" y=\"%d\" text-anchor=\"middle\">minutes</text>\n",
                  (WIDTH + LEFT - RIGHT) / 2, HEIGHT - 4);
        out.print(
            "<text class=\"tick\" x=\"12\" y=\"%d\" text-anchor=\"middle\" transform=\"rotate(-90 12 %d)\">"
            "%s</text>\n",
            (TOP + bottom) / 2, (TOP + bottom) / 2, measure);
        const int frags =
            step_for(static_cast<long long>(highest) - lowest, {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000});
        for (int v = lowest / frags * frags; v <= highest; v += frags) {
            if (v < lowest) continue;
            out.print("<line class=\"grid\" x1=\"%d\" y1=\"%s\" x2=\"%d\" y2=\"%s\"/>\n", LEFT, tenths(y(v)).text,
                      WIDTH - RIGHT, tenths(y(v)).text);
            out.print("<text class=\"tick\" x=\"%d\" y=\"%s\" text-anchor=\"end\">%d</text>\n", LEFT - 6,
                      tenths(y(v) + 40).text, v);
        }
    }

    void path(Output& out, const Line& line) const {
        out.print("<path class=\"%s%d\" d=\"", line.team ? "team t" : "player c", line.colour);
        int value = 0;
        int last_time = 0;
        Path path(out);
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
        out.put("\"/>\n");
    }
};

int final_value(const Line& line) {
    int value = 0;
    for (int change : line.change) value += change;
    return value;
}

// The figure: the picture with its title and text alternative, then the
// legend as a list.
void draw(Output& out, const Chart& chart, const char* title, const char* id) {
    out.print("<figure class=\"chart\">\n<svg viewBox=\"0 0 %d %d\" role=\"img\">\n", WIDTH, HEIGHT);
    out.print("<title>%s over the time of game %s</title>\n", title, id);
    out.print("<desc>%s at the end of the game:", title);
    for (int l = 0; l < chart.count; ++l) {
        const Line& line = chart.lines[static_cast<std::size_t>(l)];
        out.print("%s %s %d", l == 0 ? "" : ";", line.label.c_str(), final_value(line));
    }
    out.put(".</desc>\n");
    chart.axes(out);
    for (int l = 0; l < chart.count; ++l) chart.path(out, chart.lines[static_cast<std::size_t>(l)]);
    out.put("</svg>\n<figcaption><ul class=\"legend\">\n");
    for (int l = 0; l < chart.count; ++l) {
        const Line& line = chart.lines[static_cast<std::size_t>(l)];
        // A key of the line's colour, drawn with characters: dashed for a team.
        out.print("<li><span class=\"key %c%d\" aria-hidden=\"true\">%s</span>%s <span class=\"n\">%d</span></li>\n",
                  line.team ? 't' : 'c', line.colour,
                  line.team ? "\xE2\x95\x8D\xE2\x95\x8D" : "\xE2\x94\x81\xE2\x94\x81", line.label.c_str(),
                  final_value(line));
    }
    out.put("</ul></figcaption>\n</figure>\n");
}

Chart& the_chart() {
    static Chart chart;  // about 50 KB, reused for every game
    return chart;
}

}  // namespace

void write_frag_chart(Output& out, const GameRecord& game, const char* id) {
    Chart& chart = the_chart();
    chart.reset(game.length, "frags");
    for (std::size_t k = 0; k < game.players.size(); ++k)
        chart.add_line(HtmlText::utf8(game.players[k].name.view()), false, static_cast<int>(k));
    for (const TimedKill& kill : game.kills)
        chart.lines[static_cast<std::size_t>(kill.killer)]
            .change[static_cast<std::size_t>(chart.stretch_of(kill.time))] += kill.victim == kill.killer ? -1 : 1;
    chart.find_range();
    draw(out, chart, "Frags", id);
}

void write_team_chart(Output& out, const GameRecord& game, const char* id) {
    const TeamScores& teams = game.teams;
    if (!teams.counted) return;
    const bool captures = game.type == GameType::CaptureTheFlag;
    const bool points = game.type == GameType::Domination;
    Chart& chart = the_chart();
    chart.reset(game.length, captures ? "captures" : points ? "points" : "frags");
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
    draw(out, chart, captures ? "Team captures" : points ? "Team points" : "Team frags", id);
}
