#include "read_kills.h"

#include <algorithm>
#include <cstdint>

#include "line_walker.h"
#include "name_tables.h"

namespace {

// Counts one event of a logged id into the record that collects that id's
// events; an id without a record (out of range, never connected) counts nothing.
template <typename Count>
void count_for(AnalysisContext& ctx, int id, Count count) {
    if (PlayerRecord* player = ctx.player_for_id(id)) count(*player);
}

// Every "pattern" line from start on: reads the id up to the next tab and
// counts it. Ends at the first line without that tab.
template <typename Count>
void count_id_lines(AnalysisContext& ctx, Event event, std::size_t start, Count count) {
    LineWalker lines(ctx.text, event, start, LineWalker::Bound::TextEnd);
    int id = 0;
    while (lines.next() && lines.number('\t', id)) {
        count_for(ctx, id, count);
        lines.continue_after_delimiter();
    }
}

// The entry of an add-on weapon's name in the game's table, made on first
// use; -1 when the table is full (the weapon is then one without a name).
int add_on_weapon(GameWeaponNames& names, std::string_view name) {
    const Text text(name);
    for (std::size_t k = 0; k < names.size(); ++k)
        if (names[k] == text) return static_cast<int>(k);
    if (names.full()) return -1;
    names.add() = text;
    return static_cast<int>(names.size() - 1);
}

// Where a value of the game's text starts, and as much of its length as a
// Text keeps.
std::uint32_t position_of(const GameText& text, std::string_view value) {
    return static_cast<std::uint32_t>(value.data() - text.buffer.get());
}
std::uint8_t kept_length(std::string_view value) {
    return static_cast<std::uint8_t>(std::min(value.size(), Text::max_length));
}

// The next tab-separated field of a line, taken off its front.
std::string_view next_field(std::string_view& rest) {
    const std::size_t tab = rest.find('\t');
    const std::string_view field = rest.substr(0, tab);
    rest.remove_prefix(tab == std::string_view::npos ? rest.size() : tab + 1);
    return field;
}

}  // namespace

void read_kills(AnalysisContext& ctx) {
    const GameText& text = ctx.text;
    // Suicide lines are counted, and kept with their time for the chart and
    // with what killed the player as logged.
    LineWalker suicides(text, Event::Suicide, text.game_start, LineWalker::Bound::TextEnd);
    int suicider = 0;
    while (suicides.next() && suicides.number('\t', suicider)) {
        count_for(ctx, suicider, [](PlayerRecord& p) { ++p.suicides; });
        if (!ctx.suicide_table.full()) {
            // The weapon held, then the damage, to the line's end.
            const std::size_t from = suicides.cursor() + 1;
            std::string_view rest = text.view().substr(from, text.find_char('\n', from) - from);
            const std::string_view held = next_field(rest);
            const std::string_view damage = next_field(rest);
            const std::string_view weapon = damage.empty() ? held : damage;
            const bool valid = suicider >= 0 && suicider < MAXPLAYER;
            ctx.suicide_table.add() = SuicideRecord{
                text.line_time(suicides.match()), static_cast<std::uint32_t>(suicides.match()),
                position_of(text, weapon), static_cast<std::int8_t>(valid ? suicider : -1), kept_length(weapon)};
        }
        suicides.continue_after_delimiter();
    }

    const std::size_t play_start = text.play_start;
    if (play_start == GameText::npos) {
        ctx.log.append("\tno gamestart found");
        return;
    }
    count_id_lines(ctx, Event::Headshot, play_start, [](PlayerRecord& p) { ++p.headshots; });

    // Servers that count team kills in every game type write each kill of a
    // game without teams as a team kill: there it is an ordinary kill.
    const bool teams_kill_each_other =
        ctx.game_info.game_type != GameType::DeathMatch && ctx.game_info.game_type != GameType::LastManStanding;
    LineWalker lines(text, Event::Kill, play_start, LineWalker::Bound::GameEnd);
    while (lines.next()) {
        // Only the event words "kill" and "teamkill" are kills; other words
        // that end in "kill" ("Skill", "spree_kill", "flag_kill",
        // "spawnkill") are not.
        const std::size_t found = lines.match();
        const bool kill_word = found >= 1 && text.at(found - 1) == '\t';
        const bool teamkill_word = found >= 5 && text.view().substr(found - 5, 5) == "\tteam";
        if (!kill_word && !teamkill_word) {
            lines.pass_over();
            continue;
        }
        const bool teamkill = teamkill_word && teams_kill_each_other;
        if (ctx.kill_table.full()) {
            ctx.log.append("\t\twarning:maximum of kills exceeded");
            return;
        }
        KillRecord& record = ctx.kill_table.add();
        record.time = text.line_time(found);
        record.at = static_cast<std::uint32_t>(found);

        int killer = 0;
        if (!lines.number('\t', killer)) return;
        record.killer = killer;
        record.teamkill = teamkill;

        std::string_view weapon_field;
        if (!lines.field('\t', weapon_field)) return;
        record.weapon_at = position_of(text, weapon_field);
        record.weapon_length = kept_length(weapon_field);
        const Field weapon_text(weapon_field);
        const int weapon = weapon_from_name(ctx.names, weapon_text.view());
        record.weapon = static_cast<std::int8_t>(weapon);
        if (weapon == 0) {
            log_unknown_weapon(ctx.log, weapon_text.view());
            record.weapon_name = static_cast<std::int8_t>(add_on_weapon(ctx.game_weapon_names, weapon_text.view()));
        }
        PlayerRecord* killer_record = ctx.player_for_id(killer);
        if (killer_record != nullptr) ++killer_record->kills_by_weapon[static_cast<std::size_t>(weapon)];

        int victim = 0;
        if (!lines.number('\t', victim)) return;
        record.victim = victim;

        PlayerRecord* victim_record = ctx.player_for_id(victim);
        if (victim_record != nullptr) ++victim_record->deaths;
        if (killer_record != nullptr) {
            if (victim_record != nullptr && victim_record->slot >= 0 && victim_record->slot < MAXPLAYER)
                ++killer_record->kills_by_victim[static_cast<std::size_t>(victim_record->slot)];
            if (teamkill) ++killer_record->teamkills;
            if (killer == victim) ++killer_record->suicides;
        }
    }
}
