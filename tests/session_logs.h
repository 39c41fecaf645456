// Small game logs for end-to-end sessions, and a reader for the session
// page's player table.
#pragma once

#include <utime.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "analysis_test_support.h"

namespace session_logs {

struct LogPlayer {
    LogPlayer(std::string name_, int id_, bool bot_, int skill_, std::string team_ = {})
        : name(std::move(name_)), id(id_), bot(bot_), skill(skill_), team(std::move(team_)) {}
    std::string name;
    int id;
    bool bot;
    int skill;
    std::string team;  // written as a team line before the connect when not empty
};

// One game: the header, the players, "game_start" at 10 s, the event lines
// as given, and the end line. The info line is the first line, so the game
// lasts end_time + 1 seconds.
inline std::string game_log(const std::string& map, const std::string& game_type, int frag_limit,
                            const std::vector<LogPlayer>& players, const std::string& events, int end_time = 599,
                            const std::string& reason = "fraglimit") {
    std::string log = "0.00\tinfo\tGame_Version\t436\n";
    log += "0.00\tmap\tName\t" + map + "\n";
    log += "0.00\tmap\tTitle\tTest Map\n";
    log += "0.00\tgame\tGameName\t" + game_type + "\n";
    log += "0.00\tgame\tFragLimit\t" + std::to_string(frag_limit) + "\n";
    for (const LogPlayer& p : players) {
        const std::string id = std::to_string(p.id);
        if (!p.team.empty()) log += "1.00\tplayer\tTeamchange\t" + id + "\t" + p.team + "\n";
        log += "1.00\tplayer\tConnect\t" + p.name + "\t" + id + "\tFalse\n";
        log += "1.00\tplayer\tIsABot\t" + id + "\t" + (p.bot ? "True" : "False") + "\n";
        log += "1.00\tplayer\tSkill\t" + id + "\t" + std::to_string(p.skill) + ".000000\n";
    }
    log += "10.00\tgame_start\n";
    log += events;
    log += std::to_string(end_time) + ".00\tgame_end\t" + reason + "\n";
    return log;
}

// A kill line at the given time stamp ("123.45").
inline std::string kill(const std::string& time, int killer, int victim, const std::string& weapon = "Rocket Launcher",
                        const std::string& event = "kill") {
    return time + "\t" + event + "\t" + std::to_string(killer) + "\t" + weapon + "\t" + std::to_string(victim) +
           "\tEnforcer\tdamage\n";
}

// Midday UTC of the given date, as a file's modification time.
inline void set_log_date(const std::filesystem::path& file, int day, int month, int year) {
    std::tm date{};
    date.tm_mday = day;
    date.tm_mon = month - 1;
    date.tm_year = year - 1900;
    date.tm_hour = 12;
    const std::time_t when = timegm(&date);
    utimbuf times{when, when};
    utime(file.c_str(), &times);
}

// Writes log n of the session as the game writes it, dated 14 July 2001.
inline void write_log(const std::filesystem::path& folder, int n, const std::string& text) {
    const std::filesystem::path file =
        folder / (n == 0 ? std::string("games.log") : "games" + std::to_string(n) + ".log");
    write_file(file, to_utf16_log(text));
    set_log_date(file, 14, 7, 2001);
}

inline const char* const PAGE_NAME = "velstra14072001.html";

using Row = std::vector<std::string>;

// The cells of the player table (header row first), each the bytes between
// "<TD>\n" and "</TD>\n".
inline std::vector<Row> player_table(const std::string& page) {
    std::vector<Row> rows;
    const std::size_t start = page.find("<TABLE  width");
    if (start == std::string::npos) return rows;
    const std::size_t end = page.find("</TABLE>\n", start);
    std::size_t cursor = start;
    while (true) {
        const std::size_t row = page.find("<TR>\n", cursor);
        if (row == std::string::npos || row > end) break;
        const std::size_t row_end = page.find("</TR>\n", row);
        Row cells;
        std::size_t cell = page.find("<TD>\n", row);
        while (cell != std::string::npos && cell < row_end) {
            const std::size_t cell_end = page.find("</TD>\n", cell);
            cells.push_back(page.substr(cell + 5, cell_end - cell - 5));
            cell = page.find("<TD>\n", cell_end);
        }
        rows.push_back(cells);
        cursor = row_end;
    }
    return rows;
}

inline bool is_red(const std::string& cell) { return cell.find("<FONT color=\"#ff0000\">") != std::string::npos; }

// A plain centred cell as the page writes it, black or red.
inline std::string centred(const std::string& text, bool red = false) {
    return red ? "<CENTER><FONT color=\"#ff0000\">" + text + "</FONT></CENTER>\n" : "<CENTER>" + text + "</CENTER>\n";
}

}  // namespace session_logs
