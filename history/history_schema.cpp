#include "history_schema.h"

#include <string>

#include "sqlite_handle.h"

namespace {

// One entry per design version: the SQL that brings a history of the
// version before it to this one. A new design appends an entry; entries
// already released never change, so every old file takes the same path.
const char* const UPGRADES[] = {
    // 0 -> 1: the first design.
    R"SQL(
CREATE TABLE history_meta (
    key   TEXT PRIMARY KEY,
    value TEXT NOT NULL
);
CREATE TABLE game (
    id                 INTEGER PRIMARY KEY,
    key                TEXT NOT NULL UNIQUE,
    map                TEXT NOT NULL,
    title              TEXT NOT NULL,
    game_type          INTEGER NOT NULL,
    type_name          TEXT NOT NULL,
    server_name        TEXT NOT NULL,
    start_local        TEXT,
    utc_offset_minutes INTEGER,
    start_from_file    INTEGER NOT NULL,
    evening            TEXT,
    length             INTEGER NOT NULL,
    end_reason         TEXT NOT NULL,
    teams_counted      INTEGER NOT NULL,
    winner_team        TEXT
);
CREATE INDEX game_by_start ON game (start_local);
CREATE TABLE game_file (
    game_id   INTEGER NOT NULL REFERENCES game (id) ON DELETE CASCADE,
    file_name TEXT NOT NULL,
    PRIMARY KEY (game_id, file_name)
) WITHOUT ROWID;
CREATE TABLE game_mutator (
    game_id  INTEGER NOT NULL REFERENCES game (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    name     TEXT NOT NULL,
    PRIMARY KEY (game_id, position)
) WITHOUT ROWID;
CREATE TABLE game_team (
    game_id INTEGER NOT NULL REFERENCES game (id) ON DELETE CASCADE,
    team    INTEGER NOT NULL,
    score   INTEGER NOT NULL,
    PRIMARY KEY (game_id, team)
) WITHOUT ROWID;
CREATE TABLE team_step (
    game_id  INTEGER NOT NULL REFERENCES game (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    time     INTEGER NOT NULL,
    team     INTEGER NOT NULL,
    change   INTEGER NOT NULL,
    PRIMARY KEY (game_id, position)
) WITHOUT ROWID;
CREATE TABLE name (
    id   INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE
);
CREATE TABLE alias (
    name_id   INTEGER PRIMARY KEY REFERENCES name (id),
    player_id INTEGER NOT NULL REFERENCES name (id)
);
CREATE VIEW player_name AS
    SELECT name.id AS name_id, name.name AS name, coalesce(alias.player_id, name.id) AS player_id
    FROM name LEFT JOIN alias ON alias.name_id = name.id;
CREATE TABLE game_player (
    game_id          INTEGER NOT NULL REFERENCES game (id) ON DELETE CASCADE,
    slot             INTEGER NOT NULL,
    name_id          INTEGER NOT NULL REFERENCES name (id),
    human            INTEGER,
    skill            INTEGER,
    team             TEXT NOT NULL,
    place            INTEGER NOT NULL,
    crowned          INTEGER NOT NULL,
    score            INTEGER NOT NULL,
    net_kills        INTEGER NOT NULL,
    kills            INTEGER NOT NULL,
    deaths           INTEGER NOT NULL,
    suicides         INTEGER NOT NULL,
    teamkill_rate    INTEGER NOT NULL,
    killrate         INTEGER NOT NULL,
    multikill        INTEGER NOT NULL,
    lurch            INTEGER NOT NULL,
    quads            INTEGER NOT NULL,
    headshots        INTEGER NOT NULL,
    fav_weapon       TEXT NOT NULL,
    fav_weapon_kills INTEGER NOT NULL,
    fav_victim       TEXT NOT NULL,
    fav_victim_kills INTEGER NOT NULL,
    flags_captured   INTEGER NOT NULL,
    flags_returned   INTEGER NOT NULL,
    ping             INTEGER,
    PRIMARY KEY (game_id, slot)
) WITHOUT ROWID;
CREATE INDEX game_player_by_name ON game_player (name_id);
CREATE TABLE player_team (
    game_id  INTEGER NOT NULL,
    slot     INTEGER NOT NULL,
    position INTEGER NOT NULL,
    team     TEXT NOT NULL,
    seconds  INTEGER NOT NULL,
    PRIMARY KEY (game_id, slot, position),
    FOREIGN KEY (game_id, slot) REFERENCES game_player (game_id, slot) ON DELETE CASCADE
) WITHOUT ROWID;
CREATE TABLE kill (
    game_id  INTEGER NOT NULL REFERENCES game (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    time     INTEGER NOT NULL,
    killer   INTEGER NOT NULL,
    victim   INTEGER,
    weapon   TEXT NOT NULL,
    teamkill INTEGER NOT NULL,
    PRIMARY KEY (game_id, position)
) WITHOUT ROWID;
CREATE TABLE imported_file (
    path       TEXT PRIMARY KEY,
    size       INTEGER NOT NULL,
    write_time INTEGER NOT NULL,
    outcome    TEXT NOT NULL,
    game_key   TEXT
) WITHOUT ROWID;
INSERT INTO history_meta (key, value) VALUES ('application', 'velstra history');
)SQL",
    // 1 -> 2: every merge of names as it was given (a name onto the name it
    // was merged onto), so that undoing one undoes exactly it; "alias" and
    // "player_name" follow each name's chain of merges to its player when
    // read, and mean what they meant before. Each follows the chain of the
    // one name it gives, by the merges' key, so a join that reads the
    // players of one game reads their chains only; a name merged nowhere, or
    // onto a name merged nowhere (nearly every name), costs a lookup or two,
    // as the table of design 1 did. (UNION ends a circle of merges, which
    // alias refuses, where it closes: its names have no player in "alias",
    // and are their own in "player_name".) The note of a file keeps its
    // time to the nanosecond and its identity (device and inode, or the
    // Windows volume and file index), unknown (NULL) in notes made before.
    // Forget finds a game's notes, and a merge the names merged onto a
    // name, by an index. Each player of a game keeps the seconds he was in
    // it, for the rule that a rating counts only who played half of it;
    // unknown (NULL) in the games imported before.
    R"SQL(
CREATE TABLE name_merge (
    name_id INTEGER PRIMARY KEY REFERENCES name (id),
    onto_id INTEGER NOT NULL REFERENCES name (id)
);
INSERT INTO name_merge (name_id, onto_id) SELECT name_id, player_id FROM alias;
DROP VIEW player_name;
DROP TABLE alias;
CREATE VIEW alias AS
    SELECT merge.name_id AS name_id, CASE WHEN next.onto_id IS NULL THEN merge.onto_id ELSE (
        WITH RECURSIVE chain (id) AS (
            SELECT next.onto_id
            UNION
            SELECT name_merge.onto_id FROM chain JOIN name_merge ON name_merge.name_id = chain.id
        )
        SELECT id FROM chain WHERE id NOT IN (SELECT name_id FROM name_merge)
    ) END AS player_id
    FROM name_merge AS merge LEFT JOIN name_merge AS next ON next.name_id = merge.onto_id;
CREATE VIEW player_name AS
    SELECT name.id AS name_id, name.name AS name, CASE WHEN merge.onto_id IS NULL THEN name.id
        WHEN next.onto_id IS NULL THEN merge.onto_id ELSE coalesce((
            WITH RECURSIVE chain (id) AS (
                SELECT next.onto_id
                UNION
                SELECT name_merge.onto_id FROM chain JOIN name_merge ON name_merge.name_id = chain.id
            )
            SELECT id FROM chain WHERE id NOT IN (SELECT name_id FROM name_merge)
        ), name.id) END AS player_id
    FROM name LEFT JOIN name_merge AS merge ON merge.name_id = name.id
        LEFT JOIN name_merge AS next ON next.name_id = merge.onto_id;
CREATE INDEX name_merge_by_onto ON name_merge (onto_id);
ALTER TABLE imported_file ADD COLUMN write_ns INTEGER;
ALTER TABLE imported_file ADD COLUMN device INTEGER;
ALTER TABLE imported_file ADD COLUMN inode INTEGER;
CREATE INDEX imported_file_by_game ON imported_file (game_key);
ALTER TABLE game_player ADD COLUMN seconds INTEGER;
)SQL",
    // 2 -> 3: the moments of each player of a game (a row for a player with
    // any), and the accuracy a stats add-on logged per player and weapon.
    // A game keeps whether its moments are known: those imported before
    // have them unknown (NULL) until their logs are read again.
    R"SQL(
ALTER TABLE game ADD COLUMN moments_known INTEGER;
CREATE TABLE player_moments (
    game_id         INTEGER NOT NULL,
    slot            INTEGER NOT NULL,
    first_blood     INTEGER NOT NULL,
    killing_spree   INTEGER NOT NULL,
    rampage         INTEGER NOT NULL,
    dominating      INTEGER NOT NULL,
    unstoppable     INTEGER NOT NULL,
    godlike         INTEGER NOT NULL,
    best_spree      INTEGER NOT NULL,
    double_kill     INTEGER NOT NULL,
    multi_kill      INTEGER NOT NULL,
    ultra_kill      INTEGER NOT NULL,
    monster_kill    INTEGER NOT NULL,
    flags_taken     INTEGER NOT NULL,
    flags_picked_up INTEGER NOT NULL,
    flags_dropped   INTEGER NOT NULL,
    flags_returned  INTEGER NOT NULL,
    flags_captured  INTEGER NOT NULL,
    carrier_kills   INTEGER NOT NULL,
    PRIMARY KEY (game_id, slot),
    FOREIGN KEY (game_id, slot) REFERENCES game_player (game_id, slot) ON DELETE CASCADE
) WITHOUT ROWID;
CREATE TABLE weapon_accuracy (
    game_id  INTEGER NOT NULL,
    slot     INTEGER NOT NULL,
    position INTEGER NOT NULL,
    weapon   TEXT NOT NULL,
    shots    INTEGER NOT NULL,
    hits     INTEGER NOT NULL,
    damage   INTEGER NOT NULL,
    PRIMARY KEY (game_id, slot, position),
    FOREIGN KEY (game_id, slot) REFERENCES game_player (game_id, slot) ON DELETE CASCADE
) WITHOUT ROWID;
)SQL",
};

constexpr int UPGRADE_COUNT = static_cast<int>(sizeof UPGRADES / sizeof UPGRADES[0]);
static_assert(UPGRADE_COUNT == HISTORY_SCHEMA_VERSION, "one upgrade per design version");

}  // namespace

void upgrade_schema(sqlite3* db, int from) {
    for (int version = from; version < HISTORY_SCHEMA_VERSION; ++version) execute(db, UPGRADES[version]);
    const std::string version = std::to_string(HISTORY_SCHEMA_VERSION);
    Statement meta(db, "INSERT OR REPLACE INTO history_meta (key, value) VALUES ('schema_version', ?1)");
    meta.bind(1, version).run();
    // PRAGMA takes no parameters; both values are our own constants.
    execute(db, ("PRAGMA application_id = " + std::to_string(HISTORY_APPLICATION_ID)).c_str());
    execute(db, ("PRAGMA user_version = " + version).c_str());
}
