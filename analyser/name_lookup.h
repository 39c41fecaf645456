// The lookups of game type, weapon and item names, with the answers they
// remember. A run owns its lookups, so two runs in one process never share
// a remembered answer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

struct NamedCode {
    std::string_view name;
    int code;
};

// A lookup by containment in a fixed order, answered at once for the texts a
// log nearly always holds: exactly one of the names. Each name's answer is
// the containment test's own (a name may contain an earlier one), computed
// when the table is made; any other text takes the test itself.
class NameLookup {
public:
    template <typename Lookup, std::size_t... N>
    NameLookup(Lookup lookup, const std::array<NamedCode, N>&... tables) : lookup_(lookup) {
        (add_all(tables), ...);
    }

    // The code of a text, the same as lookup gives.
    int operator()(std::string_view text) {
        const std::uint32_t h = hash(text);
        for (std::size_t slot = h % SLOTS; !slots_[slot].name.empty(); slot = (slot + 1) % SLOTS)
            if (slots_[slot].name == text) return slots_[slot].code;
        return remembered(text, h);
    }

    // The first and last eight characters and the length: a few
    // instructions for a text of any length, where a hash of every character
    // cost more than the rest of the lookup.
    static std::uint32_t hash(std::string_view text) {
        const std::size_t n = text.size();
        std::uint64_t head = 0;
        std::uint64_t tail = 0;
        if (n >= 8) {
            std::memcpy(&head, text.data(), 8);
            std::memcpy(&tail, text.data() + n - 8, 8);
        } else if (n > 0) {
            std::memcpy(&head, text.data(), n);
        }
        const std::uint64_t h = (head ^ (tail * 0x9E3779B97F4A7C15ull) ^ n) * 0xC2B2AE3D27D4EB4Full;
        return static_cast<std::uint32_t>(h >> 32);
    }

private:
    static constexpr std::size_t SLOTS = 128;  // at least twice the names
    struct Slot {
        std::string_view name;
        int code = 0;
    };

    // A server's own weapons and items recur thousands of times a game, and
    // each would take the containment test over every name again. Their
    // answers are kept in a fixed number of places, one text a place; a
    // newer text takes the place of an older one.
    static constexpr std::size_t REMEMBERED = 256;
    static constexpr std::size_t LONGEST_REMEMBERED = 47;  // longer texts are tested every time
    struct Answer {
        std::uint32_t hash = 0;
        std::uint8_t length = 0;
        bool used = false;
        char name[LONGEST_REMEMBERED] = {};
        int code = 0;
    };

    // The remembered answer of a text, or the containment test's, which is
    // then remembered.
    int remembered(std::string_view text, std::uint32_t h);

    template <std::size_t N>
    void add_all(const std::array<NamedCode, N>& table) {
        for (const NamedCode& entry : table) {
            std::size_t slot = hash(entry.name) % SLOTS;
            while (!slots_[slot].name.empty() && slots_[slot].name != entry.name) slot = (slot + 1) % SLOTS;
            slots_[slot] = Slot{entry.name, lookup_(entry.name)};
        }
    }

    int (*lookup_)(std::string_view);
    std::array<Slot, SLOTS> slots_{};
    std::array<Answer, REMEMBERED> answers_{};
};

// The three lookups of a run.
struct NameLookups {
    NameLookups();
    NameLookup gametypes;
    NameLookup weapons;
    NameLookup items;
};
