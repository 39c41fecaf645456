// The index of event words must give every pass exactly what a search of the
// text would: every match from the game's start, in order, also where one
// pattern ends another ("Skill" and "kill") or stands inside a longer word.
#include "event_index.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::uint32_t> searched(const std::string& text, std::string_view pattern, std::size_t from) {
    std::vector<std::uint32_t> found;
    for (std::size_t at = text.find(pattern, from); at != std::string::npos; at = text.find(pattern, at + 1))
        found.push_back(static_cast<std::uint32_t>(at));
    return found;
}

TEST(EventIndex, HoldsWhatASearchFinds) {
    // Pieces of the patterns and what surrounds them in logs, put together at random.
    const std::vector<std::string> pieces = {
        "\t",           "\n",        "player",     "\tSkill",  "Skill",    "kill",      "\tkill\t",  "teamkill",
        "Connect",      "\tConnect", "Disconnect", "Rename",   "IsABot",   "Ping",      "Team",      "change",
        "Teamchange",   "suicide",   "headshot",   "item_get", "game_end", "dom_score", "_update",   "dom_player",
        "score",        "flag_",     "captured",   "returned", "assault_", "attacker",  "defender",  "info",
        "Game_Version", "map",       "Name",       "Title",    "game",     "GameName",  "FragLimit", "x",
        "12.5"};
    std::mt19937 random(17);
    EventIndex index;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        while (text.size() < 300) text += pieces[random() % pieces.size()];
        const std::size_t from = random() % 40;
        ASSERT_TRUE(index.build(text.data(), from, text.size()));
        for (std::size_t e = 0; e < EVENT_COUNT; ++e) {
            const Event event = static_cast<Event>(e);
            const std::vector<std::uint32_t> indexed(index.begin(event), index.end(event));
            ASSERT_EQ(indexed, searched(text, event_pattern(event), from))
                << "pattern " << e << " from " << from << " in '" << text << "'";
        }
    }
}

}  // namespace
