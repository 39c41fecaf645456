// The tables of the log generator and the roster of a session. All names of
// people and places are invented; none of them may contain an event word of
// the log (a name ending in "kill" would read as a kill line).

#include "loggen_world.h"

#include <algorithm>
#include <map>

namespace loggen {

namespace {

const std::vector<std::string> kServers = {"Gravel Pit LAN", "Thursday Night Frags", "Cellar Arena",
                                           "Rustbucket UT",  "Nine Lives Server",    "Frostbyte Practice"};
const std::vector<std::string> kHumanNames = {"Grizzwald", "Mintjulep", "Quasar77", "Brickwell",
                                              "Dabbler",   "Snarfle",   "Rattigan", "Tumblewit"};
// Men and women by turns; the game's models alternate the same way.
const std::vector<std::string> kBotNames = {"Vorrak", "Tessaly", "Grimbold", "Kestrin", "Moravek", "Sablet", "Druckon",
                                            "Ysolda", "Harrik",  "Quilla",   "Brannoc", "Zephra",  "Torvik", "Nyssel",
                                            "Caldus", "Ombrel",  "Ferrin",   "Velka",   "Jaskar",  "Plexa",  "Orrin",
                                            "Sintra", "Rudgar",  "Ulvra",    "Thornel", "Yarrowa", "Wexley", "Corvana",
                                            "Xandro", "Dastrid", "Zolbek",   "Halvara"};
const std::vector<std::string> kMaleFaces = {"Bracken",  "Dunmore",  "Gallow", "Haskel", "Marrock", "Stroud",
                                             "Wolcott",  "Ashgrove", "Colter", "Drask",  "Keld",    "Ormund",
                                             "Brennick", "Fallon",   "Grist",  "Tovin"};
const std::vector<std::string> kFemaleFaces = {"Aveline", "Brisa", "Cendra", "Delphine", "Fenna", "Galena",
                                               "Ilse",    "Kaia",  "Lisbet", "Mireth",   "Nessa", "Oriel",
                                               "Quenna",  "Rosk",  "Sella",  "Tamsin"};

struct MeshInfo {
    const char* player_class;
    const char* bot_class;
    const char* package;
    const char* skin;
    bool female;
};

const std::vector<MeshInfo> kMeshes = {
    {"Botpack.TMale1", "Botpack.TMale1Bot", "CommandoSkins", "cmdo", false},
    {"Botpack.TMale2", "Botpack.TMale2Bot", "SoldierSkins", "blkt", false},
    {"Botpack.TFemale1", "Botpack.TFemale1Bot", "FCommandoSkins", "daco", true},
    {"Botpack.TFemale2", "Botpack.TFemale2Bot", "SGirlSkins", "army", true},
};

}  // namespace

std::uint64_t splitmix64(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

const char* pick_weighted(Rng& rng, const std::vector<Weighted>& table) {
    double total = 0;
    for (const Weighted& w : table) total += w.weight;
    double x = rng.real() * total;
    for (const Weighted& w : table) {
        if (x < w.weight) return w.name;
        x -= w.weight;
    }
    return table.back().name;
}

// Index of a weighted choice, or -1 when every weight is zero.
int pick_index(Rng& rng, const std::vector<double>& weights) {
    double total = 0;
    for (double w : weights) total += w;
    if (total <= 0) return -1;
    double x = rng.real() * total;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        if (weights[i] <= 0) continue;
        if (x < weights[i]) return static_cast<int>(i);
        x -= weights[i];
    }
    for (std::size_t i = weights.size(); i > 0; --i)
        if (weights[i - 1] > 0) return static_cast<int>(i - 1);
    return -1;
}

std::string fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

const std::vector<GameTypeInfo>& game_types() {
    static const std::vector<GameTypeInfo> types = {
        {GameType::Assault, "as", "Assault", "Botpack.Assault", true},
        {GameType::DeathMatch, "dm", "Tournament DeathMatch", "Botpack.DeathMatchPlus", false},
        {GameType::Domination, "dom", "Domination", "Botpack.Domination", true},
        {GameType::CaptureTheFlag, "ctf", "Capture the Flag", "Botpack.CTFGame", true},
        {GameType::LastManStanding, "lms", "Last Man Standing", "Botpack.LastManStanding", false},
        {GameType::TeamGame, "ttg", "Tournament Team Game", "Botpack.TeamGamePlus", true},
    };
    return types;
}

const GameTypeInfo& info_of(GameType t) { return game_types()[static_cast<std::size_t>(t)]; }

const std::vector<MapInfo>& maps_for(GameType t) {
    static const std::vector<MapInfo> deathmatch = {
        {"DM-Deck16][", "Deck16][", "4-10", {}},  {"DM-Morpheus", "Morpheus", "2-4", {}},
        {"DM-Codex", "Codex", "4-8", {}},         {"DM-Turbine", "Turbine", "2-4", {}},
        {"DM-Tempest", "Tempest", "2-4", {}},     {"DM-Phobos", "Phobos", "4-8", {}},
        {"DM-Barricade", "Barricade", "4-8", {}}, {"DM-Pressure", "Pressure", "2-6", {}},
        {"DM-Curse][", "Curse][", "4-8", {}},     {"DM-Stalwart", "Stalwart", "2-4", {}},
    };
    static const std::vector<MapInfo> flags = {
        {"CTF-Face", "Facing Worlds", "4-10", {}},   {"CTF-Coret", "Coret", "6-12", {}},
        {"CTF-Command", "Command", "6-12", {}},      {"CTF-Gauntlet", "Gauntlet", "4-10", {}},
        {"CTF-LavaGiant", "Lava Giant", "6-14", {}}, {"CTF-Niven", "Niven", "4-10", {}},
    };
    static const std::vector<MapInfo> domination = {
        {"DOM-Sesmar", "Sesmar", "4-10", {"Chapel Yard", "Sunken Court", "Bell Loft"}},
        {"DOM-Condemned", "Condemned", "4-8", {"Boiler Room", "Rooftop", "Back Alley"}},
        {"DOM-Ghardhen", "Ghardhen", "6-12", {"North Gate", "Old Well", "South Gate"}},
        {"DOM-Cinder", "Cinder", "4-10", {"Furnace", "Catwalk", "Slag Pit"}},
        {"DOM-Gearbolt", "Gearbolt", "4-8", {"Drive Shaft", "Cog Room"}},
        {"DOM-Cryptic", "Cryptic", "6-12", {"Ossuary", "Lower Vault", "Upper Vault"}},
    };
    static const std::vector<MapInfo> assault = {
        {"AS-Frigate", "Frigate", "6-12", {"Hull Breach", "Compressor Valve", "Gun Deck Control", "Bridge Console"}},
        {"AS-Rook", "Rook", "6-12", {"Library Doors", "Courtyard Winch", "Keep Gate", "Escape Route"}},
        {"AS-HiSpeed", "High Speed", "6-10", {"Rear Car", "Engine Coupling", "Locomotive Cab"}},
        {"AS-Mazon", "Mazon", "6-12", {"Perimeter Fence", "Reactor Valve", "Core Chamber"}},
        {"AS-Overlord", "Overlord", "8-14", {"Beach Wall", "Bunker Door", "Gun Battery", "Control Room"}},
        {"AS-Guardia", "Guardia", "6-12", {"Outer Gate", "Drawbridge", "Throne Hall"}},
    };
    switch (t) {
        case GameType::Assault: return assault;
        case GameType::Domination: return domination;
        case GameType::CaptureTheFlag: return flags;
        default: return deathmatch;
    }
}

const std::vector<std::string> kAuthors = {"Jorvik Santell", "Mara Quillfeather", "T. Brandlesby",
                                           "Oskar Vantregh", "Pell Ardecott",     "Wren Halloway"};
const std::vector<std::string> kEnterTexts = {"", "", "", "Watch your back.", "Hold the line.", "No mercy."};
const std::vector<std::string> kRenameSuffixes = {"_afk", "_brb", "2", "_x"};

const std::vector<Weighted> kPickups = {
    {"Health Vial", 14},
    {"MedBox", 8},
    {"Thigh Pads", 4},
    {"Body Armor", 4},
    {"ShieldBelt", 1.5},
    {"Super Health Pack", 1},
    {"Damage Amplifier", 0.8},
    {"Invisibility", 0.3},
    {"AntiGrav Boots", 0.4},
    {"Shock Core", 5},
    {"Flak Shells", 5},
    {"RocketPack", 5},
    {"Biosludge Ammo", 2},
    {"Large Bullets", 3},
    {"Blade Hopper", 3},
    {"Pulse Cell", 3},
    {"Box of Rifle Rounds", 3},
    {"Rifle Round", 0.5},
    {"WarHeadAmmo", 0.1},
    {"Shock Rifle", 4},
    {"Flak Cannon", 4},
    {"Rocket Launcher", 4},
    {"Ripper", 3},
    {"Minigun", 2.5},
    {"Pulse Gun", 3},
    {"GES Bio Rifle", 1.5},
    {"Sniper Rifle", 3},
    {"Redeemer", 0.2},
    {"Chainsaw", 0.4},
    {"Enforcer", 1.5},
    {"Double Enforcer", 0.3},
};

// Last Man Standing removes weapons and ammo from the map: everybody starts
// with the full arsenal.
const std::vector<Weighted> kStandingPickups = {
    {"Health Vial", 6}, {"MedBox", 4}, {"Thigh Pads", 2}, {"Body Armor", 2}, {"ShieldBelt", 1}};
const std::vector<Weighted> kArsenal = {
    {"Shock Rifle", 5}, {"Flak Cannon", 5},  {"Rocket Launcher", 5}, {"Ripper", 3},   {"Minigun", 3},
    {"Pulse Gun", 3},   {"Sniper Rifle", 3}, {"GES Bio Rifle", 1},   {"Enforcer", 1}, {"Impact Hammer", 0.3}};

const std::vector<Weighted> kRespawnWeapons = {{"Shock Rifle", 5},  {"Flak Cannon", 5},     {"Rocket Launcher", 5},
                                               {"Ripper", 3},       {"Minigun", 3},         {"Pulse Gun", 3},
                                               {"Sniper Rifle", 3}, {"GES Bio Rifle", 1.5}, {"Double Enforcer", 0.5}};

// None of them holds the name of a stock weapon or item, so the analyser
// knows none of them.
const std::vector<Weighted> kModWeapons = {{"Arc Lance", 5},      {"Quartz Repeater", 4},  {"Hailstorm Launcher", 3},
                                           {"Stinger SMG", 3},    {"Cinder Projector", 2}, {"Vortex Mortar", 1},
                                           {"Gravity Spanner", 1}};
const std::vector<Weighted> kModItems = {
    {"Arc Lance", 4},          {"Arc Lance Cells", 6},       {"Quartz Repeater", 3}, {"Quartz Slugs", 5},
    {"Hailstorm Launcher", 2}, {"Hailstorm Canisters", 4},   {"Stinger SMG", 3},     {"Stinger Clips", 5},
    {"Cinder Projector", 2},   {"Cinder Fuel", 3},           {"Medikit XR", 6},      {"Reflex Plating", 3},
    {"Vortex Mortar", 1},      {"Gravity Spanner Charge", 1}};

bool is_weapon(const std::string& item) {
    static const std::vector<std::string> weapons = {
        "Shock Rifle", "Flak Cannon",     "Rocket Launcher", "Ripper",      "Minigun",
        "Pulse Gun",   "GES Bio Rifle",   "Sniper Rifle",    "Redeemer",    "Chainsaw",
        "Enforcer",    "Double Enforcer", "Impact Hammer",   "Translocator"};
    return std::find(weapons.begin(), weapons.end(), item) != weapons.end();
}

const char* ammo_for(const std::string& weapon) {
    static const std::map<std::string, const char*> ammo = {
        {"Shock Rifle", "Shock Core"},       {"Flak Cannon", "Flak Shells"},         {"Rocket Launcher", "RocketPack"},
        {"Ripper", "Blade Hopper"},          {"Minigun", "Large Bullets"},           {"Pulse Gun", "Pulse Cell"},
        {"GES Bio Rifle", "Biosludge Ammo"}, {"Sniper Rifle", "Box of Rifle Rounds"}};
    auto it = ammo.find(weapon);
    return it == ammo.end() ? nullptr : it->second;
}

const char* damage_type(Rng& rng, const std::string& weapon) {
    if (weapon == "Pulse Gun") return rng.chance(0.6) ? "zapped" : "Pulsed";
    if (weapon == "Rocket Launcher") return rng.chance(0.8) ? "RocketDeath" : "GrenadeDeath";
    if (weapon == "Flak Cannon") return rng.chance(0.6) ? "shredded" : "FlakDeath";
    if (weapon == "Ripper") return rng.chance(0.6) ? "shredded" : "RipperAltDeath";
    if (weapon == "Impact Hammer") return "impact";
    if (weapon == "GES Bio Rifle") return "Corroded";
    if (weapon == "Shock Rifle") return "jolted";
    if (weapon == "Redeemer") return "RedeemerDeath";
    if (weapon == "Chainsaw") return rng.chance(0.8) ? "slashed" : "Decapitated";
    if (weapon == "Translocator") return "Gibbed";
    if (weapon == "None") return "RocketDeath";
    return "shot";
}

Roster make_roster(std::uint64_t seed, bool varied) {
    Rng rng(seed ^ 0x7265737465720000ull);
    Roster r;
    std::vector<std::string> humans = kHumanNames;
    rng.shuffle(humans);
    if (varied) {
        // Drawn from a generator of their own: the rest of the roster, and so
        // the games, stay those of the seed.
        Rng numbers(seed ^ 0x6e616d6573000000ull);
        for (std::string& name : humans) name += std::to_string(numbers.range(100, 999));
    }
    for (std::size_t i = 0; i < humans.size(); ++i) {
        Person p;
        p.name = humans[i];
        p.mesh = rng.below(int(kMeshes.size()));
        const auto& faces = kMeshes[std::size_t(p.mesh)].female ? kFemaleFaces : kMaleFaces;
        p.face = std::string(kMeshes[std::size_t(p.mesh)].package) + "." + rng.pick(faces);
        p.aim = rng.uniform(0.8, 1.6);
        if (i == 0) {
            r.local = p;
        } else {
            p.ping = rng.range(35, 140);
            r.guests.push_back(p);
        }
    }
    r.difficulty = rng.range(1, 5);
    std::vector<std::string> faces_m = kMaleFaces, faces_f = kFemaleFaces;
    rng.shuffle(faces_m);
    rng.shuffle(faces_f);
    std::size_t males = 0, females = 0;
    for (std::size_t i = 0; i < kBotNames.size(); ++i) {
        Person b;
        b.name = kBotNames[i];
        b.bot = true;
        b.mesh = int(i % 2 == 0 ? (i / 2) % 2 : 2 + (i / 2) % 2);  // kMeshes: two male, then two female
        const MeshInfo& mesh = kMeshes[std::size_t(b.mesh)];
        const std::string& face = mesh.female ? faces_f[females++ % faces_f.size()] : faces_m[males++ % faces_m.size()];
        b.face = std::string(mesh.package) + "." + face;
        static const double adjusts[] = {0, 0, 0, 0.5, 1, -0.5, -1};
        b.skill_adjust = adjusts[rng.below(7)];
        double level = std::clamp(r.difficulty + b.skill_adjust, 0.0, 7.5);
        b.novice = level < 4;
        b.skill = b.novice ? level : level - 4;
        b.aim = 0.5 + 0.12 * level + rng.uniform(0, 0.2);
        r.bots.push_back(b);
    }
    r.server = rng.pick(kServers);
    static const std::vector<int> zones = {1, 0, -5, -8, 2};
    r.zone = rng.pick(zones);
    static const std::vector<int> versions = {436, 451, 469};
    r.version = rng.pick(versions);
    return r;
}

std::string user_ini(const Roster& r) {
    std::vector<std::string> l;
    const MeshInfo& mesh = kMeshes[std::size_t(r.local.mesh)];
    l.push_back("[DefaultPlayer]");
    l.push_back("Name=" + r.local.name);
    l.push_back(std::string("Class=") + mesh.player_class);
    l.push_back("team=0");
    l.push_back(std::string("skin=") + mesh.package + "." + mesh.skin);
    l.push_back("Face=" + r.local.face);
    l.push_back(mesh.female ? "Voice=BotPack.VoiceFemaleOne" : "Voice=BotPack.VoiceMaleOne");
    l.push_back("");
    l.push_back("[Engine.Input]");
    for (const char* binding : {"W=MoveForward", "S=MoveBackward", "A=StrafeLeft", "D=StrafeRight", "Space=Jump",
                                "LeftMouse=Fire", "RightMouse=AltFire", "MouseWheelUp=PrevWeapon",
                                "MouseWheelDown=NextWeapon", "Tab=Type", "F1=ShowScores", "Escape=ShowMenu"})
        l.push_back(binding);
    l.push_back("");
    l.push_back("[Engine.PlayerPawn]");
    l.push_back("MouseSensitivity=3.000000");
    l.push_back("bAlwaysMouseLook=True");
    l.push_back("DodgeClickTime=0.250000");
    l.push_back("Handedness=0.000000");
    l.push_back("bNoFlash=True");
    l.push_back("");
    l.push_back("[Botpack.ChallengeBotInfo]");
    for (std::size_t i = 0; i < r.bots.size(); ++i) {
        const Person& b = r.bots[i];
        const MeshInfo& m = kMeshes[std::size_t(b.mesh)];
        std::string n = "[" + std::to_string(i) + "]=";
        l.push_back("BotNames" + n + b.name);
        l.push_back("BotFaces" + n + b.face);
        l.push_back("BotClasses" + n + m.bot_class);
        l.push_back("BotSkins" + n + m.package + "." + m.skin);
        l.push_back("BotTeams" + n + std::to_string(i % 2 ? 1 : 0));
        l.push_back("BotSkills" + n + fixed(b.skill_adjust, 6));
        l.push_back("BotAccuracy" + n + "0.000000");
        l.push_back("CombatStyle" + n + "0.000000");
        l.push_back("FavoriteWeapon" + n);
    }
    l.push_back("Difficulty=" + std::to_string(r.difficulty));
    l.push_back("bRandomOrder=False");
    l.push_back("bAdjustSkill=False");
    l.push_back("");
    l.push_back("[Botpack.TournamentPlayer]");
    l.push_back("bNoMatureLanguage=False");
    l.push_back("bNoVoiceMessages=False");
    l.push_back("AnnouncerVolume=4");
    l.push_back("");
    l.push_back("[UTMenu.NewCharacterWindow]");
    l.push_back("PreferredSkill=" + std::to_string(r.difficulty));
    l.push_back("PreferredSex=" + std::string(mesh.female ? "1" : "0"));
    l.push_back("PreferredTeam=0");
    std::string out;
    for (const std::string& line : l) out += line + "\r\n";
    return out;
}

}  // namespace loggen
