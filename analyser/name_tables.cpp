#include "name_tables.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "game_text.h"

namespace {

struct NamedCode {
    std::string_view name;
    int code;
};

// Each table is tested in this order and the first contained name decides, so
// a name that is part of another ("Enforcer" in "Double Enforcer") comes after it.
constexpr std::array<NamedCode, 6> gametypes{{
    {"Tournament DeathMatch", static_cast<int>(GameType::DeathMatch)},
    {"Assault", static_cast<int>(GameType::Assault)},
    {"Domination", static_cast<int>(GameType::Domination)},
    {"Capture the Flag", static_cast<int>(GameType::CaptureTheFlag)},
    {"Last Man Standing", static_cast<int>(GameType::LastManStanding)},
    {"Tournament Team Game", static_cast<int>(GameType::TeamGame)},
}};

constexpr std::array<NamedCode, 15> weapons{{
    {"Double Enforcer", 32},
    {"Enforcer", 31},
    {"Pulse Gun", 33},
    {"Rocket Launcher", 34},
    {"Flak Cannon", 35},
    {"Ripper", 36},
    {"Impact Hammer", 37},
    {"Minigun", 38},
    {"GES Bio Rifle", 39},
    {"Shock Rifle", 40},
    {"Sniper Rifle", 41},
    {"None", 42},
    {"Redeemer", 43},
    {"Chainsaw", 44},
    {"Translocator", 45},
}};

constexpr std::array<NamedCode, 23> items{{
    {"Damage Amplifier", 10001}, {"AntiGrav Boots", 10002}, {"ShieldBelt", 10003},  {"Invisibility", 10004},
    {"Thigh Pads", 10005},       {"SCUBAGear", 10006},      {"ToxinSuit", 10007},   {"NaliFruit", 10008},
    {"Body Armor", 11001},       {"MedBox", 11002},         {"Health Vial", 11003}, {"Super Health Pack", 11004},
    {"Shock Core", 12001},       {"Flak Shells", 12002},    {"RocketPack", 12003},  {"Biosludge Ammo", 12004},
    {"Large Bullets", 12005},    {"Blade Hopper", 12006},   {"Pulse Cell", 12007},  {"Box of Rifle Rounds", 12008},
    {"WarHeadAmmo", 12009},      {"Rifle Round", 12010},    {"NullAmmo", 12011},
}};

// Every weapon code counts in a player's kills_by_weapon.
static_assert(std::all_of(weapons.begin(), weapons.end(),
                          [](const NamedCode& weapon) { return weapon.code > 0 && weapon.code < WEAPON_SLOTS; }));

template <std::size_t N>
int first_contained(const std::array<NamedCode, N>& table, std::string_view text, int none) {
    for (const NamedCode& entry : table)
        if (text.find(entry.name) != std::string_view::npos) return entry.code;
    return none;
}

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
    int operator()(std::string_view text) const {
        const std::uint32_t h = hash(text);
        for (std::size_t slot = h % SLOTS; !slots_[slot].name.empty(); slot = (slot + 1) % SLOTS)
            if (slots_[slot].name == text) return slots_[slot].code;
        return remembered(text, h);
    }

private:
    static constexpr std::size_t SLOTS = 128;  // at least twice the names
    struct Slot {
        std::string_view name;
        int code = 0;
    };

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

    int remembered(std::string_view text, std::uint32_t h) const {
        if (text.size() > LONGEST_REMEMBERED) return lookup_(text);
        Answer& answer = answers_[(h / SLOTS) % REMEMBERED];
        if (answer.used && answer.hash == h && std::string_view(answer.name, answer.length) == text) return answer.code;
        answer.hash = h;
        answer.length = static_cast<std::uint8_t>(text.size());
        answer.used = true;
        text.copy(answer.name, text.size());
        answer.code = lookup_(text);
        return answer.code;
    }

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
    mutable std::array<Answer, REMEMBERED> answers_{};
};

int gametype_code(std::string_view text) { return first_contained(gametypes, text, -1); }
int weapon_code(std::string_view text) { return first_contained(weapons, text, 0); }
int item_code(std::string_view text) {
    const int code = first_contained(items, text, -1);
    return code != -1 ? code : first_contained(weapons, text, -1);
}

// The offending field is logged as a line of its own, exactly as read.
void log_unknown(ErrorLog& log, const char* warning, std::string_view text) {
    Field line(text);
    log.append_two(warning, line.c_str());
}

}  // namespace

GameType gametype_from_name(std::string_view text, ErrorLog& log) {
    static const NameLookup names(gametype_code, gametypes);
    const int code = names(text);
    if (code == static_cast<int>(GameType::Unknown)) log.append("\t\twarning:unknown gametype");
    return static_cast<GameType>(code);
}

const char* gametype_name(GameType type, ErrorLog& log) {
    for (const NamedCode& entry : gametypes)
        if (entry.code == static_cast<int>(type)) return entry.name.data();
    log.append("\t\twarning:unknown gametype");
    return "unknown gametype";
}

int weapon_from_name(std::string_view text, ErrorLog& log) {
    static const NameLookup names(weapon_code, weapons);
    const int code = names(text);
    if (code == 0) log_unknown(log, "\t\tunsupported weapon found", text);
    return code;
}

int item_from_name(std::string_view text, ErrorLog& log) {
    static const NameLookup names(item_code, items, weapons);
    const int code = names(text);
    if (code == -1) log_unknown(log, "\t\twarning: unsupported item found", text);
    return code;
}

const char* weapon_name(int code, ErrorLog& log) {
    switch (code) {
        case 1: return "Shotgun";
        case 2: return "Gauntlet";
        case 3: return "Machinegun";
        case 4: return "Grenadelauncher";
        case 5: return "Grenadesplash";
        case 6: return "Rocketlauncher";
        case 7: return "Rocketsplash";
        case 8: return "Plasmagun";
        case 9: return "Plasmasplash";
        case 10: return "Railgun";
        case 11: return "Lightninggun";
        case 12: return "BFG";
        case 13: return "BFG-Splash";
        case 14: log.appendf("%s: ID:%i", "\t\tunsupported weapon found", code); return "wp14";
        case 15:
        case 16:
        case 17:
        case 21:
        case 23:
        case 24:
        case 25: {
            log.appendf("%s ID:%i", "\t\tunsupported weapon found", code);
            switch (code) {
                case 15: return "wp15";
                case 16: return "wp16";
                case 17: return "Crushing";
                case 21: return "wp21";
                case 23: return "wp23";
                case 24: return "wp24";
                default: return "wp25";
            }
        }
        case 18: return "Teleporter error";
        case 19: return "Falling";
        case 20: return "Sucieded";
        case 22: return "Trigger hurt";
        case 6000: return "Blueflag";
        case 6001: return "Redflag";
        default: break;
    }
    for (const NamedCode& entry : weapons)
        if (entry.code == code) return entry.name.data();
    return "unknown weapon";
}
