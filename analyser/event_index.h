// Where the event words of a game stand, found in one scan of its text.
//
// The passes read a game line kind by line kind: the connects, the kills,
// the pick-ups, ... Searching the text once per kind and pass cost most of
// a session's time. Every pattern the passes walk ends in a tab, so one walk
// over the tabs of the game finds all of them: at each tab, the characters
// before it are compared with the patterns that end alike. The positions of
// each pattern come out in text order, exactly those a search would meet,
// overlaps and matches inside longer words included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

// The patterns the passes walk, each ending in a tab.
enum class Event : std::uint8_t {
    Connect,
    IsABot,
    Skill,
    Teamchange,
    Rename,
    Disconnect,
    Suicide,
    Headshot,
    Kill,
    ItemGet,
    DomScoreUpdate,
    ControlpointCapture,
    FlagCaptured,
    FlagReturned,
    FlagTaken,
    FlagPickedup,
    FlagDropped,
    DomPlayerscoreUpdate,
    Ping,
    AssaultAttacker,
    AssaultDefender,
    GameVersion,
    MapName,
    MapTitle,
    GameName,
    FragLimit,
    GameEnd,
};
inline constexpr std::size_t EVENT_COUNT = static_cast<std::size_t>(Event::GameEnd) + 1;

// The text the passes search for.
std::string_view event_pattern(Event event);

class EventIndex {
public:
    // Every match of every pattern that starts at or after from, in
    // text[0..length). Returns false when the index is not usable (then the
    // passes search the text itself).
    bool build(const char* text, std::size_t from, std::size_t length);
    void clear() { built_ = false; }
    bool built() const { return built_; }

    // The positions of one pattern, ascending.
    const std::uint32_t* begin(Event event) const { return positions_.get() + offset_[index(event)]; }
    const std::uint32_t* end(Event event) const { return positions_.get() + offset_[index(event) + 1]; }

    // At most this many matches in one game: every match ends at a tab with
    // four other characters before it, and at most two patterns end at one
    // tab, so a text of 511,999 characters holds fewer.
    static constexpr std::size_t CAPACITY = 2 * 512000 / 5 + 2;

private:
    static std::size_t index(Event event) { return static_cast<std::size_t>(event); }

    bool built_ = false;
    std::unique_ptr<std::uint32_t[]> found_;      // (event << 20 | position) in text order
    std::unique_ptr<std::uint32_t[]> positions_;  // grouped by event
    std::size_t offset_[EVENT_COUNT + 1] = {};
};
