#include "history_store.h"

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <vector>

#include "analyse_log.h"
#include "evening.h"
#include "history_schema.h"
#include "latin1_text.h"
#include "platform.h"
#include "row_inserter.h"

namespace fs = std::filesystem;

namespace {

// Reading the header and the list of tables makes SQLite look at the file:
// a text file or a damaged one fails here, before anything is written.
struct FileKind {
    long long application_id = 0;
    long long version = 0;
    long long objects = 0;
};

FileKind read_kind(sqlite3* db) {
    try {
        // One statement, so one snapshot: read apart, the three could straddle
        // another run's creation of the history and show a foreign file.
        Statement read(db,
                       "SELECT (SELECT application_id FROM pragma_application_id), "
                       "(SELECT user_version FROM pragma_user_version), (SELECT count(*) FROM sqlite_schema)");
        FileKind kind;
        if (read.step()) {
            kind.application_id = read.integer(0);
            kind.version = read.integer(1);
            kind.objects = read.integer(2);
        }
        return kind;
    } catch (const HistoryFailure& failure) {
        // Only SQLite's verdict on the bytes makes a file no history; a
        // lock or a permission says so itself.
        if (failure.message.starts_with("the history is damaged"))
            throw HistoryFailure{
                "is not a history: SQLite reports it as damaged or as no database; it is left as it is"};
        throw;
    }
}

// A history in write-ahead-log mode (header bytes 18 and 19 are 2) is read
// through its -wal and -shm files; SQLite makes them when they are missing,
// but only where it may write the folder.
bool in_wal_mode(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    unsigned char header[20] = {};
    const bool read = std::fread(header, 1, sizeof header, file) == sizeof header;
    std::fclose(file);
    return read && header[18] == 2 && header[19] == 2;
}

// The statements of an import, of forget and of a merge, each by its SQL:
// the store prepares them, and statement_texts() lists them.
namespace sql {
constexpr const char* GAME_OF_KEY = "SELECT id FROM game WHERE key = ?1";
constexpr const char* ADD_GAME =
    "INSERT INTO game (key, map, title, game_type, type_name, server_name, start_local, utc_offset_minutes, "
    "start_from_file, evening, length, end_reason, teams_counted, winner_team, moments_known) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, 1)";
constexpr const char* ADD_FILE = "INSERT OR IGNORE INTO game_file (game_id, file_name) VALUES (?1, ?2)";
constexpr const char* FILL_SECONDS =
    "UPDATE game_player SET seconds = ?3 WHERE game_id = ?1 AND slot = ?2 AND seconds IS NULL";
constexpr const char* MOMENTS_KNOWN = "SELECT moments_known IS NOT NULL FROM game WHERE id = ?1";
constexpr const char* SET_MOMENTS_KNOWN = "UPDATE game SET moments_known = 1 WHERE id = ?1";
constexpr const char* ADD_MOMENTS =
    "INSERT INTO player_moments (game_id, slot, first_blood, killing_spree, rampage, dominating, unstoppable, "
    "godlike, best_spree, double_kill, multi_kill, ultra_kill, monster_kill, flags_taken, flags_picked_up, "
    "flags_dropped, flags_returned, flags_captured, carrier_kills) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, "
    "?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19)";
constexpr const char* ADD_ACCURACY =
    "INSERT INTO weapon_accuracy (game_id, slot, position, weapon, shots, hits, damage) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)";
constexpr const char* ADD_MUTATOR = "INSERT INTO game_mutator (game_id, position, name) VALUES (?1, ?2, ?3)";
constexpr const char* ADD_TEAM = "INSERT INTO game_team (game_id, team, score) VALUES (?1, ?2, ?3)";
constexpr const char* STEPS = "team_step (game_id, position, time, team, change)";
constexpr int STEP_COLUMNS = 5;
constexpr const char* FIND_NAME = "SELECT id FROM name WHERE name = ?1";
constexpr const char* ADD_NAME = "INSERT INTO name (name) VALUES (?1)";
constexpr const char* ADD_PLAYER =
    "INSERT INTO game_player (game_id, slot, name_id, human, skill, team, place, crowned, score, net_kills, kills, "
    "deaths, suicides, teamkill_rate, killrate, multikill, lurch, quads, headshots, fav_weapon, fav_weapon_kills, "
    "fav_victim, fav_victim_kills, flags_captured, flags_returned, ping, seconds) VALUES (?1, ?2, ?3, ?4, ?5, ?6, "
    "?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21, ?22, ?23, ?24, ?25, ?26, ?27)";
constexpr const char* ADD_PLAYER_TEAM =
    "INSERT INTO player_team (game_id, slot, position, team, seconds) VALUES (?1, ?2, ?3, ?4, ?5)";
constexpr const char* KILLS = "kill (game_id, position, time, killer, victim, weapon, teamkill)";
constexpr int KILL_COLUMNS = 7;
constexpr const char* FILE_NOTE =
    "SELECT size, write_time, write_ns, device, inode, outcome, game_key FROM imported_file WHERE path = ?1";
constexpr const char* SET_FILE_NOTE =
    "INSERT OR REPLACE INTO imported_file (path, size, write_time, write_ns, device, inode, outcome, game_key) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";
constexpr const char* GAME_SHOWN = "SELECT map, substr(start_local, 1, 16) FROM game WHERE id = ?1";
constexpr const char* KEY_OF_GAME = "SELECT key FROM game WHERE id = ?1";
constexpr const char* FORGET_NOTES = "DELETE FROM imported_file WHERE game_key = ?1";
// The tables' cascades act only where foreign keys are switched on, and
// checking them on every insert would cost an import dearly, so forget
// removes the rows of each table itself.
constexpr const char* FORGET_ROWS[] = {
    "DELETE FROM kill WHERE game_id = ?1",           "DELETE FROM player_team WHERE game_id = ?1",
    "DELETE FROM player_moments WHERE game_id = ?1", "DELETE FROM weapon_accuracy WHERE game_id = ?1",
    "DELETE FROM game_player WHERE game_id = ?1",    "DELETE FROM team_step WHERE game_id = ?1",
    "DELETE FROM game_team WHERE game_id = ?1",      "DELETE FROM game_mutator WHERE game_id = ?1",
    "DELETE FROM game_file WHERE game_id = ?1",
};
constexpr const char* FORGET_GAME = "DELETE FROM game WHERE id = ?1";
constexpr const char* NAME_TEXT = "SELECT name FROM name WHERE id = ?1";
constexpr const char* MERGED_ONTO = "SELECT onto_id FROM name_merge WHERE name_id = ?1";
constexpr const char* MERGED_INTO = "SELECT name_id FROM name_merge WHERE onto_id = ?1";
constexpr const char* GAMES_OF_NAME = "SELECT game_id FROM game_player WHERE name_id = ?1";
constexpr const char* MERGE = "INSERT OR REPLACE INTO name_merge (name_id, onto_id) VALUES (?1, ?2)";
constexpr const char* UNMERGE = "DELETE FROM name_merge WHERE name_id = ?1";
// A history written before it counted its generations starts at 0.
constexpr const char* NEXT_GENERATION =
    "INSERT INTO history_meta (key, value) VALUES ('generation', '1') "
    "ON CONFLICT (key) DO UPDATE SET value = CAST(value AS INTEGER) + 1";
}  // namespace sql

}  // namespace

struct HistoryStore::Statements {
    explicit Statements(sqlite3* db)
        : game_of_key(db, sql::GAME_OF_KEY),
          add_game(db, sql::ADD_GAME),
          add_file(db, sql::ADD_FILE),
          fill_seconds(db, sql::FILL_SECONDS),
          moments_known(db, sql::MOMENTS_KNOWN),
          set_moments_known(db, sql::SET_MOMENTS_KNOWN),
          add_moments(db, sql::ADD_MOMENTS),
          add_accuracy(db, sql::ADD_ACCURACY),
          add_mutator(db, sql::ADD_MUTATOR),
          add_team(db, sql::ADD_TEAM),
          add_steps(db, sql::STEPS, sql::STEP_COLUMNS),
          find_name(db, sql::FIND_NAME),
          add_name(db, sql::ADD_NAME),
          add_player(db, sql::ADD_PLAYER),
          add_player_team(db, sql::ADD_PLAYER_TEAM),
          add_kills(db, sql::KILLS, sql::KILL_COLUMNS),
          file_note(db, sql::FILE_NOTE),
          set_file_note(db, sql::SET_FILE_NOTE),
          game_shown(db, sql::GAME_SHOWN),
          key_of_game(db, sql::KEY_OF_GAME),
          forget_notes(db, sql::FORGET_NOTES),
          forget_game(db, sql::FORGET_GAME),
          name_text(db, sql::NAME_TEXT),
          merged_onto(db, sql::MERGED_ONTO),
          merged_into(db, sql::MERGED_INTO),
          games_of_name(db, sql::GAMES_OF_NAME),
          merge(db, sql::MERGE),
          unmerge(db, sql::UNMERGE),
          next_generation(db, sql::NEXT_GENERATION) {
        for (const char* rows : sql::FORGET_ROWS) forget_rows.emplace_back(db, rows);
    }

    Statement game_of_key, add_game, add_file, fill_seconds, moments_known, set_moments_known, add_moments,
        add_accuracy, add_mutator, add_team;
    RowInserter add_steps;
    Statement find_name, add_name, add_player, add_player_team;
    RowInserter add_kills;
    Statement file_note, set_file_note, game_shown, key_of_game, forget_notes, forget_game;
    Statement name_text, merged_onto, merged_into, games_of_name, merge, unmerge, next_generation;
    std::vector<std::size_t> kept_kills;  // of the game being added; kept for its memory
    std::vector<Statement> forget_rows;
};

std::vector<std::string> HistoryStore::statement_texts() {
    std::vector<std::string> texts = {
        sql::GAME_OF_KEY,   sql::ADD_GAME,        sql::ADD_FILE,      sql::ADD_MUTATOR,       sql::ADD_TEAM,
        sql::FIND_NAME,     sql::ADD_NAME,        sql::ADD_PLAYER,    sql::ADD_PLAYER_TEAM,   sql::FILE_NOTE,
        sql::SET_FILE_NOTE, sql::GAME_SHOWN,      sql::KEY_OF_GAME,   sql::FORGET_NOTES,      sql::FORGET_GAME,
        sql::NAME_TEXT,     sql::MERGED_ONTO,     sql::MERGED_INTO,   sql::GAMES_OF_NAME,     sql::MERGE,
        sql::UNMERGE,       sql::NEXT_GENERATION, sql::MOMENTS_KNOWN, sql::SET_MOMENTS_KNOWN, sql::ADD_MOMENTS,
        sql::ADD_ACCURACY,
    };
    texts.insert(texts.end(), std::begin(sql::FORGET_ROWS), std::end(sql::FORGET_ROWS));
    texts.push_back(RowInserter::sql(sql::STEPS, sql::STEP_COLUMNS, 1));
    texts.push_back(RowInserter::sql(sql::KILLS, sql::KILL_COLUMNS, 1));
    return texts;
}

HistoryStore::HistoryStore(const std::string& path, HistoryAccess access, int busy_ms)
    : writes_(access != HistoryAccess::ReadOnly), path_(access == HistoryAccess::Memory ? "" : path) {
    const bool memory = access == HistoryAccess::Memory;
    std::error_code error;
    const fs::file_status status = memory ? fs::file_status() : fs::symlink_status(path, error);
    if (memory) {
        // Nothing of the file system: no file, link or folder is looked at.
    } else if (fs::is_symlink(status)) {
        throw HistoryFailure{"is a symbolic link; a history is never opened through one"};
    } else if (!fs::exists(status)) {
        if (access != HistoryAccess::CreateIfMissing)
            throw HistoryFailure{"there is no history here; import logs to make one"};
    } else if (!fs::is_regular_file(status)) {
        throw HistoryFailure{"is not a file"};
    } else if (access == HistoryAccess::ReadOnly && in_wal_mode(path)) {
        const std::string folder = fs::path(path).parent_path().string();
        const bool missing = !fs::exists(path + "-wal", error) || !fs::exists(path + "-shm", error);
        if (missing && !platform_can_write_folder(folder.empty() ? "." : folder.c_str()))
            throw HistoryFailure{
                "cannot be read here: its -wal and -shm files are missing and this account may not write its "
                "folder to make them; run velstra import once as the account that imports into it, which "
                "leaves them in place"};
    }

    // One connection, used by one thread: SQLite need not lock its own calls.
    int flags = SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX;
    flags |= access == HistoryAccess::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (access == HistoryAccess::CreateIfMissing || memory) flags |= SQLITE_OPEN_CREATE;
    if (memory) flags |= SQLITE_OPEN_MEMORY;
    const int code = sqlite3_open_v2(memory ? ":memory:" : path.c_str(), &db_, flags, nullptr);
    if (code != SQLITE_OK) {
        const bool denied = db_ != nullptr && platform_permission_denied(sqlite3_system_errno(db_));
        const std::string why = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
        sqlite3_close(db_);
        db_ = nullptr;
        if (denied) {
            // Read-only to this account, or not even readable.
            std::FILE* file = std::fopen(path.c_str(), "rb");
            const bool readable = file != nullptr;
            if (readable) std::fclose(file);
            throw HistoryFailure{writes_ && readable ? HISTORY_READ_ONLY : HISTORY_NOT_READABLE};
        }
        throw HistoryFailure{"cannot be opened: " + why};
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, busy_ms);

    try {
        // A file this account may read but not write is opened for reading
        // only: a command that writes says so before it begins.
        if (writes_ && sqlite3_db_readonly(db_, "main") == 1) throw HistoryFailure{HISTORY_READ_ONLY};
        FileKind kind = read_kind(db_);
        const bool empty = kind.application_id == 0 && kind.version == 0 && kind.objects == 0;
        if (empty && access != HistoryAccess::CreateIfMissing && !memory)
            throw HistoryFailure{"holds no history yet; import logs into it first"};
        if (!empty && kind.application_id != HISTORY_APPLICATION_ID)
            throw HistoryFailure{"is another program's database, not a history; it is left as it is"};
        if (kind.version > HISTORY_SCHEMA_VERSION)
            throw HistoryFailure{"is a history of a newer velstra (design " + std::to_string(kind.version) +
                                 "; this one knows up to " + std::to_string(HISTORY_SCHEMA_VERSION) +
                                 "); it is left as it is"};
        design_ = static_cast<int>(kind.version);
        if (!writes_) return;
        // The -wal and -shm files stay when the last connection closes, so
        // that an account that may not write the folder can still read the
        // history; the write-ahead log is emptied then, not removed. (A file
        // refused above gets none: SQLite removes them as it closes.)
        int persist = 1;
        sqlite3_file_control(db_, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
        if (empty && !memory) {
            // Larger pages hold a game's kills in fewer of them. A
            // write-ahead log commits a batch with one write and no wait for
            // the disk; a crash or a kill still loses no committed game, and
            // readers go on while an import writes. Both are kept in the file.
            // Writing them waits for the disk no more: a power cut here
            // leaves a file that still holds nothing, which the next import
            // takes for a new one.
            execute(db_, "PRAGMA synchronous = OFF");
            execute(db_, "PRAGMA page_size = 16384");
            // The switch needs the file to itself, and SQLite does not wait
            // for that: another run creating the same history is waited for
            // here, as long as for a lock.
            for (int waited = 0;; waited += 20) {
                const int mode = sqlite3_exec(db_, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
                if (mode == SQLITE_OK) break;
                if ((mode & 0xff) != SQLITE_BUSY || waited >= busy_ms)
                    throw_sqlite(db_, mode, "cannot change the history");
                sqlite3_sleep(20);
            }
        }
        // In a write-ahead log, the disk is waited for at checkpoints only;
        // a power cut may undo the last batches, never part of a game.
        execute(db_, "PRAGMA synchronous = NORMAL");
        // Room for a whole batch of games: a cache smaller than the batch
        // writes the same pages out again and again before the commit.
        execute(db_, "PRAGMA cache_size = -8192");
        execute(db_, "PRAGMA temp_store = MEMORY");
        // The log left in place is emptied when the last connection closes;
        // while an import runs it grows to a checkpoint's worth and is reused.
        execute(db_, "PRAGMA journal_size_limit = 33554432");
        if (kind.version < HISTORY_SCHEMA_VERSION) {
            begin();
            try {
                // Another run may have brought it up to date while this one
                // waited for the lock.
                kind = read_kind(db_);
                if (kind.version < HISTORY_SCHEMA_VERSION) upgrade_schema(db_, static_cast<int>(kind.version));
                commit();
            } catch (...) {
                rollback();
                throw;
            }
            design_ = HISTORY_SCHEMA_VERSION;
        }
        statements_ = std::make_unique<Statements>(db_);
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
}

void HistoryStore::require_design(int least) const {
    if (design_ < least)
        throw HistoryFailure{"was written by an older velstra (design " + std::to_string(design_) +
                             "; this command reads design " + std::to_string(least) +
                             " and later); run velstra import once, with the server's logs, to bring it up to date"};
}

HistoryStore::~HistoryStore() {
    statements_.reset();
    sqlite3_close(db_);
    // The -wal and -shm files a writing command leaves take the history's
    // permissions, whoever made them, so that every account that may read
    // the history may read them too.
    if (writes_ && db_ != nullptr && !path_.empty())
        for (const char* suffix : {"-wal", "-shm"}) platform_copy_permissions(path_.c_str(), (path_ + suffix).c_str());
}

void HistoryStore::begin() {
    execute(db_, "BEGIN IMMEDIATE");
    changed_ = false;
}
void HistoryStore::commit() {
    // In the same transaction as the change: a site never sees the change
    // without the generation that says so.
    if (changed_) statements_->next_generation.run();
    changed_ = false;
    execute(db_, "COMMIT");
}
void HistoryStore::rollback() {
    changed_ = false;
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

// The first column of a lookup's one row, if it found one.
static std::optional<long long> looked_up(Statement& s, std::string_view key) {
    s.bind(1, key);
    std::optional<long long> id;
    if (s.step()) id = s.integer(0);
    s.reset();
    return id;
}

std::optional<long long> HistoryStore::game_of_key(std::string_view key) {
    return looked_up(statements_->game_of_key, key);
}

long long HistoryStore::name_id(std::string_view utf8_name) {
    if (const std::optional<long long> id = find_name(utf8_name)) return *id;
    statements_->add_name.bind(1, utf8_name).run();
    return sqlite3_last_insert_rowid(db_);
}

long long HistoryStore::add_game(const LoggedGame& game, bool start_from_file, std::string_view file_name) {
    const GameRecord& record = game.record;
    Statements& s = *statements_;

    Statement& g = s.add_game;
    g.bind(1, game.key.view())
        .bind_latin1(2, record.map.view())
        .bind_latin1(3, game.title.view())
        .bind(4, static_cast<long long>(record.type))
        .bind_latin1(5, record.type_name.view())
        .bind_latin1(6, game.server_name.view());
    if (game.start.known()) {
        g.bind(7, local_start_text(game.start)).bind(10, evening_of(game.start));
    } else {
        g.bind_null(7).bind_null(10);
    }
    if (game.start.known() && game.start.offset_known)
        g.bind(8, game.start.utc_offset_minutes);
    else
        g.bind_null(8);
    g.bind(9, start_from_file ? 1 : 0)
        .bind(11, record.length)
        .bind_latin1(12, record.end_reason.view())
        .bind(13, record.teams.counted ? 1 : 0);
    if (record.teams.winner.empty())
        g.bind_null(14);
    else
        g.bind_latin1(14, record.teams.winner.view());
    g.run();
    const long long id = sqlite3_last_insert_rowid(db_);
    changed_ = true;

    add_file_name(id, file_name);
    for (std::size_t k = 0; k < game.mutators.size(); ++k)
        s.add_mutator.bind(1, id).bind(2, static_cast<long long>(k)).bind_latin1(3, game.mutators[k].view()).run();
    if (record.teams.counted)
        for (std::size_t t = 0; t < record.teams.score.size(); ++t)
            if (record.teams.playing[t])
                s.add_team.bind(1, id).bind(2, static_cast<long long>(t)).bind(3, record.teams.score[t]).run();
    s.add_steps.insert(record.teams.steps.size(), [&](Statement& a, int first, std::size_t k) {
        const TeamStep& step = record.teams.steps[k];
        a.bind(first, id)
            .bind(first + 1, static_cast<long long>(k))
            .bind(first + 2, step.time)
            .bind(first + 3, step.team)
            .bind(first + 4, step.change);
    });

    // A player without a kill has no favourite: the record's placeholder
    // names ("unknown weapon") are not his, and the page shows none.
    for (std::size_t slot = 0; slot < record.players.size(); ++slot) {
        const GamePlayer& p = record.players[slot];
        Statement& a = s.add_player;
        a.bind(1, id).bind(2, static_cast<long long>(slot)).bind(3, name_id(utf8_of_latin1(p.name.view())));
        if (p.is_human == Species::Unknown)
            a.bind_null(4);
        else
            a.bind(4, p.is_human == Species::Human ? 1 : 0);
        if (p.skill < 0)
            a.bind_null(5);
        else
            a.bind(5, p.skill);
        a.bind_latin1(6, p.team.view())
            .bind(7, p.place)
            .bind(8, p.crowned ? 1 : 0)
            .bind(9, p.score)
            .bind(10, p.net_kills)
            .bind(11, p.kills)
            .bind(12, p.deaths)
            .bind(13, p.suicides)
            .bind(14, p.teamkill_rate)
            .bind(15, p.killrate)
            .bind(16, p.multikill)
            .bind(17, p.lurch)
            .bind(18, p.quads)
            .bind(19, p.headshots)
            .bind_latin1(20, p.fav_weapon_kills > 0 ? p.fav_weapon.view() : std::string_view(""))
            .bind(21, p.fav_weapon_kills)
            .bind_latin1(22, p.fav_victim_kills > 0 ? p.fav_victim.view() : std::string_view(""))
            .bind(23, p.fav_victim_kills)
            .bind(24, p.flags_captured)
            .bind(25, p.flags_returned);
        if (p.ping < 0)
            a.bind_null(26);
        else
            a.bind(26, p.ping);
        if (slot < game.seconds_in_game.size())
            a.bind(27, game.seconds_in_game[slot]);
        else
            a.bind_null(27);
        a.run();
        if (slot < game.player_teams.size()) {
            const std::vector<TeamSpell>& spells = game.player_teams[slot];
            for (std::size_t k = 0; k < spells.size(); ++k)
                s.add_player_team.bind(1, id)
                    .bind(2, static_cast<long long>(slot))
                    .bind(3, static_cast<long long>(k))
                    .bind_latin1(4, spells[k].team.view())
                    .bind(5, spells[k].seconds)
                    .run();
        }
    }

    // Only kills by a player of the scoreboard can be kept: the killer is a
    // player of the game.
    const long long players = static_cast<long long>(record.players.size());
    std::vector<std::size_t>& kept = s.kept_kills;
    kept.clear();
    for (std::size_t k = 0; k < game.kills.size(); ++k)
        if (game.kills[k].killer >= 0 && game.kills[k].killer < players) kept.push_back(k);
    s.add_kills.insert(kept.size(), [&](Statement& a, int first, std::size_t row) {
        const std::size_t k = kept[row];
        const LoggedKill& kill = game.kills[k];
        a.bind(first, id).bind(first + 1, static_cast<long long>(k)).bind(first + 2, kill.time);
        a.bind(first + 3, kill.killer);
        if (kill.victim < 0 || kill.victim >= players)
            a.bind_null(first + 4);
        else
            a.bind(first + 4, kill.victim);
        a.bind_latin1(first + 5, kill.weapon.view()).bind(first + 6, kill.teamkill ? 1 : 0);
    });
    add_moments(id, record);
    return id;
}

void HistoryStore::add_moments(long long game_id, const GameRecord& record) {
    Statements& s = *statements_;
    for (std::size_t slot = 0; slot < record.players.size(); ++slot) {
        const PlayerMoments& m = record.players[slot].moments;
        if (m == PlayerMoments{}) continue;
        const int figures[] = {m.first_blood,    m.sprees[0],    m.sprees[1],       m.sprees[2],     m.sprees[3],
                               m.sprees[4],      m.best_spree,   m.multis[0],       m.multis[1],     m.multis[2],
                               m.multis[3],      m.flags_taken,  m.flags_picked_up, m.flags_dropped, m.flags_returned,
                               m.flags_captured, m.carrier_kills};
        Statement& a = s.add_moments;
        a.bind(1, game_id).bind(2, static_cast<long long>(slot));
        for (std::size_t k = 0; k < std::size(figures); ++k) a.bind(3 + static_cast<int>(k), figures[k]);
        a.run();
    }
    std::size_t position = 0;
    for (std::size_t k = 0; k < record.accuracy.size(); ++k) {
        const WeaponAccuracy& row = record.accuracy[k];
        if (k > 0 && row.player != record.accuracy[k - 1].player) position = 0;
        s.add_accuracy.bind(1, game_id)
            .bind(2, row.player)
            .bind(3, static_cast<long long>(position++))
            .bind_latin1(4, row.weapon.view())
            .bind(5, row.shots)
            .bind(6, row.hits)
            .bind(7, row.damage)
            .run();
    }
}

bool HistoryStore::fill_unknown_moments(long long game_id, const LoggedGame& game) {
    if (!moments_unknown(game_id)) return false;
    add_moments(game_id, game.record);
    statements_->set_moments_known.bind(1, game_id).run();
    // The site shows them: a build after this one is not the same.
    changed_ = true;
    return true;
}

bool HistoryStore::moments_unknown(long long game_id) {
    Statement& known = statements_->moments_known;
    known.bind(1, game_id);
    const bool unknown = known.step() && known.integer(0) == 0;
    known.reset();
    return unknown;
}

void HistoryStore::add_file_name(long long game_id, std::string_view file_name) {
    statements_->add_file.bind(1, game_id).bind(2, file_name).run();
}

void HistoryStore::fill_unknown_seconds(long long game_id, const LoggedGame& game) {
    Statement& s = statements_->fill_seconds;
    for (std::size_t slot = 0; slot < game.seconds_in_game.size(); ++slot) {
        s.bind(1, game_id).bind(2, static_cast<long long>(slot)).bind(3, game.seconds_in_game[slot]).run();
        // Seconds change who is rated; a log read again that fills none
        // changes nothing.
        if (sqlite3_changes(db_) > 0) changed_ = true;
    }
}

std::optional<HistoryStore::FileNote> HistoryStore::file_note(std::string_view path) {
    Statement& s = statements_->file_note;
    s.bind(1, path);
    std::optional<FileNote> note;
    if (s.step()) {
        auto known = [&s](int column) { return s.is_null(column) ? std::nullopt : std::optional(s.integer(column)); };
        note = FileNote{s.integer(0), s.integer(1), known(2), known(3), known(4), s.text(5), s.text(6)};
    }
    s.reset();
    return note;
}

void HistoryStore::set_file_note(std::string_view path, const FileNote& note) {
    Statement& s = statements_->set_file_note;
    s.bind(1, path).bind(2, note.size).bind(3, note.write_time);
    const std::optional<long long> stamp[] = {note.write_ns, note.device, note.inode};
    for (int k = 0; k < 3; ++k) {
        if (stamp[k])
            s.bind(4 + k, *stamp[k]);
        else
            s.bind_null(4 + k);
    }
    s.bind(7, note.outcome);
    if (note.game_key.empty())
        s.bind_null(8);
    else
        s.bind(8, note.game_key);
    s.run();
}

std::optional<HistoryStore::GameShown> HistoryStore::game_shown(long long game_id) {
    Statement& s = statements_->game_shown;
    s.bind(1, game_id);
    std::optional<GameShown> shown;
    if (s.step()) shown = GameShown{s.text(0), s.is_null(1) ? std::nullopt : std::optional(s.text(1))};
    s.reset();
    return shown;
}

bool HistoryStore::forget(long long game_id) {
    Statement& key = statements_->key_of_game;
    key.bind(1, game_id);
    if (!key.step()) {
        key.reset();
        return false;
    }
    const std::string game_key = key.text(0);
    key.reset();
    statements_->forget_notes.bind(1, game_key).run();
    for (Statement& rows : statements_->forget_rows) rows.bind(1, game_id).run();
    statements_->forget_game.bind(1, game_id).run();
    changed_ = true;
    return true;
}

std::optional<long long> HistoryStore::find_name(std::string_view utf8_name) {
    return looked_up(statements_->find_name, utf8_name);
}

std::string HistoryStore::name_text(long long name_id) {
    Statement& s = statements_->name_text;
    s.bind(1, name_id);
    std::string text = s.step() ? s.text(0) : std::string();
    s.reset();
    return text;
}

std::vector<long long> HistoryStore::ids(Statement& statement, long long key) {
    statement.bind(1, key);
    std::vector<long long> found;
    while (statement.step()) found.push_back(statement.integer(0));
    statement.reset();
    return found;
}

std::optional<long long> HistoryStore::merged_onto(long long name_id) {
    const std::vector<long long> onto = ids(statements_->merged_onto, name_id);
    return onto.empty() ? std::nullopt : std::optional(onto.front());
}

std::vector<long long> HistoryStore::merged_into(long long name_id) { return ids(statements_->merged_into, name_id); }

std::vector<long long> HistoryStore::games_of_name(long long name_id) {
    return ids(statements_->games_of_name, name_id);
}

void HistoryStore::merge(long long name_id, long long onto_id) {
    statements_->merge.bind(1, name_id).bind(2, onto_id).run();
    changed_ = true;
}

void HistoryStore::unmerge(long long name_id) {
    statements_->unmerge.bind(1, name_id).run();
    changed_ = true;
}
