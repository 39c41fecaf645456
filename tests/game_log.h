// Game logs written by hand for the tests: one way to write each kind of
// line, and a whole game from its parts. The text is 8-bit with LF line
// ends; to_utf16_log (or write_game_log) makes it a log as the game writes it.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

inline constexpr char DEATHMATCH[] = "Tournament DeathMatch";
inline constexpr char TEAM_GAME[] = "Tournament Team Game";

// One log line: the time stamp and the fields joined by tabs, then a line feed.
inline std::string log_line(std::string_view time, std::initializer_list<std::string_view> fields) {
    std::string line(time);
    for (std::string_view field : fields) (line += '\t') += field;
    return line + '\n';
}

// The five header lines in the order the header pass reads them.
inline std::string header_lines(std::string_view game_type, std::string_view map = "DM-Test.unr",
                                std::string_view frag_limit = "20") {
    return log_line("0.00", {"info", "Game_Version", "436"}) + log_line("0.00", {"map", "Name", map}) +
           log_line("0.00", {"map", "Title", "Test Map"}) + log_line("0.00", {"game", "GameName", game_type}) +
           log_line("0.00", {"game", "FragLimit", frag_limit});
}

// A player's lines at a connect, as the game writes them: the team line
// (when a team is given), the connect, the bot flag and the skill.
inline std::string connect_lines(int id, std::string_view name, bool bot = false, std::string_view team = "",
                                 std::string_view skill = "1.000000", std::string_view time = "0.00") {
    const std::string n = std::to_string(id);
    std::string lines = team.empty() ? "" : log_line(time, {"player", "Teamchange", n, team});
    return lines + log_line(time, {"player", "Connect", name, n, "False"}) +
           log_line(time, {"player", "IsABot", n, bot ? "True" : "False"}) +
           log_line(time, {"player", "Skill", n, skill});
}

// A kill (or, with event "teamkill", a team kill): the killer and his
// weapon, the victim and, as the victim's weapon, the same one again.
inline std::string kill_line(std::string_view time, int killer, std::string_view weapon, int victim,
                             std::string_view event = "kill") {
    return log_line(time, {event, std::to_string(killer), weapon, std::to_string(victim), weapon});
}

inline std::string item_line(std::string_view time, std::string_view item, int id) {
    return log_line(time, {"item_get", item, std::to_string(id)});
}

// A whole game, named by its parts: game_text({.type = TEAM_GAME, .setup = ...}).
struct Game {
    std::string map = "DM-Test.unr";
    std::string type = DEATHMATCH;
    std::string frag_limit = "20";
    std::string setup{};  // the lines before the start of play: connects, team lines
    std::string play{};   // the lines of play
    std::string end_reason = "fraglimit";
};

// The header, the setup, the start of play at 1 s, the lines of play and
// the end line at 599 s (the info line is the first line and so has no
// time: the game lasts 600 s).
inline std::string game_text(const Game& game) {
    return header_lines(game.type, game.map, game.frag_limit) + game.setup + log_line("1.00", {"game_start"}) +
           game.play + log_line("599.00", {"game_end", game.end_reason});
}
