#include "name_tables.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "game_text.h"

namespace {

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

int gametype_code(std::string_view text) { return first_contained(gametypes, text, -1); }
int weapon_code(std::string_view text) { return first_contained(weapons, text, 0); }
int item_code(std::string_view text) {
    const int code = first_contained(items, text, -1);
    return code != -1 ? code : first_contained(weapons, text, -1);
}

}  // namespace

int NameLookup::remembered(std::string_view text, std::uint32_t h) {
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

NameLookups::NameLookups()
    : gametypes(gametype_code, ::gametypes), weapons(weapon_code, ::weapons), items(item_code, ::items, ::weapons) {}

GameType gametype_from_name(NameLookups& names, std::string_view text) {
    return static_cast<GameType>(names.gametypes(text));
}

const char* gametype_name(GameType type) {
    for (const NamedCode& entry : gametypes)
        if (entry.code == static_cast<int>(type)) return entry.name.data();
    return "unknown gametype";
}

int weapon_from_name(NameLookups& names, std::string_view text) { return names.weapons(text); }

int item_from_name(NameLookups& names, std::string_view text) { return names.items(text); }

const char* weapon_name(int code) {
    for (const NamedCode& entry : weapons)
        if (entry.code == code) return entry.name.data();
    return "unknown weapon";
}

void log_unknown_gametype(ErrorLog& log) { log.append("\t\twarning:unknown gametype"); }

void log_unknown_weapon(ErrorLog& log, std::string_view field) {
    log.append_two("\t\tunsupported weapon found", Field(field).c_str());
}

void log_unknown_item(ErrorLog& log, std::string_view field) {
    log.append_two("\t\twarning: unsupported item found", Field(field).c_str());
}
