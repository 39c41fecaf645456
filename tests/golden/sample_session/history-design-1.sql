-- The history velstra 2.20 wrote (design 1, the release before the first
-- upgrade of the history) of the sample session, examples/session, its logs
-- dated 14 July 2001 at midday UTC, in /tmp/sample-session:
--
--   velstra import --db history.db /tmp/sample-session
--   velstra alias --db history.db Brickwell_afk --as Brickwell
--
-- as `sqlite3 history.db .dump` gives it, after the settings of its file
-- (its page size and journal mode, as velstra 2.20 makes a history, and the
-- two numbers of its header).
PRAGMA page_size = 16384;
PRAGMA journal_mode = WAL;
PRAGMA application_id = 1449939828;
PRAGMA user_version = 1;
PRAGMA foreign_keys=OFF;
BEGIN TRANSACTION;
CREATE TABLE history_meta (
    key   TEXT PRIMARY KEY,
    value TEXT NOT NULL
);
INSERT INTO history_meta VALUES('application','velstra history');
INSERT INTO history_meta VALUES('schema_version','1');
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
INSERT INTO game VALUES(1,'5abcf7279102cd33016a5ff27dc426e1fa27f38ccc2ca6027328d06d99b3027c','DM-Codex.unr','Codex',9,'Last Man Standing','Nine Lives Server','2000-08-15 20:00:00',0,0,'2000-08-15',161,'lastmanstanding',0,NULL);
INSERT INTO game VALUES(2,'00a8226b4db3e18cf8716e7dc29c9a91758c792c4552643c22494eb00005445c','DM-Morpheus.unr','Morpheus',6,'Tournament DeathMatch','Nine Lives Server','2000-08-15 20:03:18',0,0,'2000-08-15',281,'fraglimit',0,NULL);
INSERT INTO game VALUES(3,'74b2f7bba95b175ad6577bc8351a985fe98db72c3268bb9ec7d31e9310aa5ed9','DM-Stalwart.unr','Stalwart',10,'Tournament Team Game','Nine Lives Server','2000-08-15 20:08:56',0,0,'2000-08-15',176,'teamscorelimit',1,'0');
INSERT INTO game VALUES(4,'a251ad4227a1182ce56261b12096d107a4bfde465c6e517b1edbef8f1f72ddc4','CTF-Gauntlet.unr','Gauntlet',8,'Capture the Flag','Nine Lives Server','2000-08-15 20:13:01',0,0,'2000-08-15',408,'teamscorelimit',1,'1');
INSERT INTO game VALUES(5,'47698625826e7699b74d95579192fc17feea07a13125da993ee28d2ed0aaed7e','AS-Rook.unr','Rook',5,'Assault','Nine Lives Server','2000-08-15 20:20:11',0,0,'2000-08-15',363,'Assault succeeded!',0,'attacker');
INSERT INTO game VALUES(6,'983230fc56f46514c2943d3dc1af50fa87da7dd6d23e243f3dc53b83947b303c','DOM-Ghardhen.unr','Ghardhen',7,'Domination','Nine Lives Server','2000-08-15 20:27:25',0,0,'2000-08-15',272,'teamscorelimit',1,'0');
INSERT INTO game VALUES(7,'f64e03e5129437af36707548d731b492a232399b2ade541b5be18caeb6d05a09','DM-Tempest.unr','Tempest',9,'Last Man Standing','Nine Lives Server','2000-08-15 20:36:07',0,0,'2000-08-15',323,'lastmanstanding',0,NULL);
CREATE TABLE game_file (
    game_id   INTEGER NOT NULL REFERENCES game (id) ON DELETE CASCADE,
    file_name TEXT NOT NULL,
    PRIMARY KEY (game_id, file_name)
) WITHOUT ROWID;
INSERT INTO game_file VALUES(1,'games.log');
INSERT INTO game_file VALUES(2,'games1.log');
INSERT INTO game_file VALUES(3,'games2.log');
INSERT INTO game_file VALUES(4,'games3.log');
INSERT INTO game_file VALUES(5,'games4.log');
INSERT INTO game_file VALUES(6,'games5.log');
INSERT INTO game_file VALUES(7,'games7.log');
CREATE TABLE game_mutator (
    game_id  INTEGER NOT NULL REFERENCES game (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    name     TEXT NOT NULL,
    PRIMARY KEY (game_id, position)
) WITHOUT ROWID;
INSERT INTO game_mutator VALUES(1,0,'Class Botpack.DMMutator');
INSERT INTO game_mutator VALUES(2,0,'Class Botpack.DMMutator');
INSERT INTO game_mutator VALUES(3,0,'Class Botpack.DMMutator');
INSERT INTO game_mutator VALUES(4,0,'Class Botpack.DMMutator');
INSERT INTO game_mutator VALUES(5,0,'Class Botpack.DMMutator');
INSERT INTO game_mutator VALUES(6,0,'Class Botpack.DMMutator');
INSERT INTO game_mutator VALUES(7,0,'Class Botpack.DMMutator');
CREATE TABLE game_team (
    game_id INTEGER NOT NULL REFERENCES game (id) ON DELETE CASCADE,
    team    INTEGER NOT NULL,
    score   INTEGER NOT NULL,
    PRIMARY KEY (game_id, team)
) WITHOUT ROWID;
INSERT INTO game_team VALUES(3,0,30);
INSERT INTO game_team VALUES(3,1,2);
INSERT INTO game_team VALUES(4,0,0);
INSERT INTO game_team VALUES(4,1,3);
INSERT INTO game_team VALUES(6,0,100);
INSERT INTO game_team VALUES(6,1,31);
CREATE TABLE team_step (
    game_id  INTEGER NOT NULL REFERENCES game (id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    time     INTEGER NOT NULL,
    team     INTEGER NOT NULL,
    change   INTEGER NOT NULL,
    PRIMARY KEY (game_id, position)
) WITHOUT ROWID;
INSERT INTO team_step VALUES(3,0,3,0,1);
INSERT INTO team_step VALUES(3,1,11,0,1);
INSERT INTO team_step VALUES(3,2,18,0,1);
INSERT INTO team_step VALUES(3,3,19,0,1);
INSERT INTO team_step VALUES(3,4,26,0,1);
INSERT INTO team_step VALUES(3,5,27,0,1);
INSERT INTO team_step VALUES(3,6,28,0,1);
INSERT INTO team_step VALUES(3,7,31,0,1);
INSERT INTO team_step VALUES(3,8,35,0,1);
INSERT INTO team_step VALUES(3,9,37,0,1);
INSERT INTO team_step VALUES(3,10,40,0,1);
INSERT INTO team_step VALUES(3,11,55,0,1);
INSERT INTO team_step VALUES(3,12,56,0,1);
INSERT INTO team_step VALUES(3,13,57,0,1);
INSERT INTO team_step VALUES(3,14,61,1,1);
INSERT INTO team_step VALUES(3,15,62,0,1);
INSERT INTO team_step VALUES(3,16,67,0,1);
INSERT INTO team_step VALUES(3,17,68,0,1);
INSERT INTO team_step VALUES(3,18,79,0,1);
INSERT INTO team_step VALUES(3,19,82,0,1);
INSERT INTO team_step VALUES(3,20,93,1,1);
INSERT INTO team_step VALUES(3,21,93,0,1);
INSERT INTO team_step VALUES(3,22,95,0,1);
INSERT INTO team_step VALUES(3,23,98,0,1);
INSERT INTO team_step VALUES(3,24,113,0,1);
INSERT INTO team_step VALUES(3,25,118,0,1);
INSERT INTO team_step VALUES(3,26,131,0,1);
INSERT INTO team_step VALUES(3,27,138,0,1);
INSERT INTO team_step VALUES(3,28,143,0,1);
INSERT INTO team_step VALUES(3,29,160,0,1);
INSERT INTO team_step VALUES(3,30,160,0,1);
INSERT INTO team_step VALUES(3,31,162,0,1);
INSERT INTO team_step VALUES(3,32,172,0,1);
INSERT INTO team_step VALUES(3,33,175,0,1);
INSERT INTO team_step VALUES(3,34,78,0,-1);
INSERT INTO team_step VALUES(3,35,122,0,-1);
INSERT INTO team_step VALUES(4,0,49,1,1);
INSERT INTO team_step VALUES(4,1,321,1,1);
INSERT INTO team_step VALUES(4,2,407,1,1);
INSERT INTO team_step VALUES(6,0,31,0,3);
INSERT INTO team_step VALUES(6,1,46,0,5);
INSERT INTO team_step VALUES(6,2,61,0,6);
INSERT INTO team_step VALUES(6,3,76,0,6);
INSERT INTO team_step VALUES(6,4,91,0,6);
INSERT INTO team_step VALUES(6,5,106,0,7);
INSERT INTO team_step VALUES(6,6,121,0,9);
INSERT INTO team_step VALUES(6,7,136,0,6);
INSERT INTO team_step VALUES(6,8,136,1,3);
INSERT INTO team_step VALUES(6,9,151,0,6);
INSERT INTO team_step VALUES(6,10,151,1,3);
INSERT INTO team_step VALUES(6,11,166,0,6);
INSERT INTO team_step VALUES(6,12,166,1,3);
INSERT INTO team_step VALUES(6,13,181,0,6);
INSERT INTO team_step VALUES(6,14,181,1,3);
INSERT INTO team_step VALUES(6,15,196,0,6);
INSERT INTO team_step VALUES(6,16,196,1,3);
INSERT INTO team_step VALUES(6,17,211,0,6);
INSERT INTO team_step VALUES(6,18,211,1,3);
INSERT INTO team_step VALUES(6,19,226,0,6);
INSERT INTO team_step VALUES(6,20,226,1,3);
INSERT INTO team_step VALUES(6,21,241,0,6);
INSERT INTO team_step VALUES(6,22,241,1,3);
INSERT INTO team_step VALUES(6,23,256,0,6);
INSERT INTO team_step VALUES(6,24,256,1,3);
INSERT INTO team_step VALUES(6,25,271,0,4);
INSERT INTO team_step VALUES(6,26,271,1,4);
CREATE TABLE name (
    id   INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE
);
INSERT INTO name VALUES(1,'Quilla');
INSERT INTO name VALUES(2,'Grimbold');
INSERT INTO name VALUES(3,'Tessaly');
INSERT INTO name VALUES(4,'Dabbler');
INSERT INTO name VALUES(5,'Caldus');
INSERT INTO name VALUES(6,'Wexley');
INSERT INTO name VALUES(7,'Brickwell_afk');
INSERT INTO name VALUES(8,'Halvara');
INSERT INTO name VALUES(9,'Mintjulep');
INSERT INTO name VALUES(10,'Zolbek');
INSERT INTO name VALUES(11,'Brickwell');
INSERT INTO name VALUES(12,'Torvik');
INSERT INTO name VALUES(13,'Brannoc');
INSERT INTO name VALUES(14,'Plexa');
INSERT INTO name VALUES(15,'Corvana');
INSERT INTO name VALUES(16,'Dastrid');
INSERT INTO name VALUES(17,'Ferrin');
INSERT INTO name VALUES(18,'Ombrel');
CREATE TABLE alias (
    name_id   INTEGER PRIMARY KEY REFERENCES name (id),
    player_id INTEGER NOT NULL REFERENCES name (id)
);
INSERT INTO alias VALUES(7,11);
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
INSERT INTO game_player VALUES(1,0,1,0,3,'',1,1,1,5,5,4,0,0,111,0,0,0,0,'Sniper Rifle',2,'Dabbler',3,0,0,0);
INSERT INTO game_player VALUES(1,1,2,0,2,'',2,0,0,4,4,5,0,0,89,0,1,0,0,'Enforcer',1,'Tessaly',2,0,0,0);
INSERT INTO game_player VALUES(1,2,3,0,3,'',3,0,0,4,5,4,1,0,111,0,1,0,1,'Pulse Gun',1,'Grimbold',2,0,0,0);
INSERT INTO game_player VALUES(1,3,4,1,1,'',4,0,0,4,4,5,0,0,89,0,2,0,0,'Pulse Gun',1,'Tessaly',2,0,0,0);
INSERT INTO game_player VALUES(2,0,4,1,1,'',1,1,15,15,20,3,5,0,256,2,1,0,1,'Shock Rifle',5,'Halvara',11,0,0,0);
INSERT INTO game_player VALUES(2,1,5,0,1,'',2,0,8,8,9,10,1,0,115,0,1,0,1,'Sniper Rifle',3,'Halvara',5,0,0,0);
INSERT INTO game_player VALUES(2,2,6,0,2,'',3,0,8,8,8,4,0,0,102,0,2,1,0,'Flak Cannon',3,'Halvara',5,0,0,0);
INSERT INTO game_player VALUES(2,3,7,1,1,'',4,0,5,5,7,9,2,0,89,0,0,0,1,'Sniper Rifle',3,'Caldus',4,0,0,113);
INSERT INTO game_player VALUES(2,4,8,0,1,'',5,0,4,4,5,23,1,0,64,0,1,0,0,'Flak Cannon',2,'Brickwell_afk',2,0,0,0);
INSERT INTO game_player VALUES(3,0,9,1,1,'0',1,1,9,9,10,3,1,0,204,0,1,1,0,'Shock Rifle',4,'Brickwell',7,0,0,153);
INSERT INTO game_player VALUES(3,1,4,1,1,'0',2,1,8,8,9,2,1,0,184,0,1,0,0,'Ripper',3,'Torvik',7,0,0,0);
INSERT INTO game_player VALUES(3,2,10,0,2,'0',3,1,8,8,8,2,0,0,163,0,2,0,0,'Rocket Launcher',3,'Brickwell',4,0,0,0);
INSERT INTO game_player VALUES(3,3,11,1,1,'0',4,1,5,5,5,13,0,0,102,0,0,1,0,'Rocket Launcher',2,'Dabbler',2,0,0,138);
INSERT INTO game_player VALUES(3,4,12,0,1,'1',5,0,2,2,2,14,0,0,40,0,2,1,0,'Rocket Launcher',1,'Mintjulep',1,0,0,0);
INSERT INTO game_player VALUES(4,0,4,1,1,'1',1,1,12,12,13,7,1,0,114,0,4,0,1,'Shock Rifle',4,'Brickwell',10,2,1,0);
INSERT INTO game_player VALUES(4,1,13,0,3,'1',2,1,12,12,13,13,1,0,114,0,0,0,0,'Rocket Launcher',3,'Brickwell',12,1,1,0);
INSERT INTO game_player VALUES(4,2,3,0,3,'0',3,0,11,11,11,4,0,0,97,0,3,0,0,'Enforcer',3,'Brannoc',9,0,1,0);
INSERT INTO game_player VALUES(4,3,11,1,1,'0',4,0,8,8,9,22,1,0,79,0,3,0,0,'Shock Rifle',3,'Dabbler',5,0,0,113);
INSERT INTO game_player VALUES(5,0,4,1,1,'attacker',1,1,22,22,23,7,1,4,228,2,3,2,0,'GES Bio Rifle',9,'Torvik',12,0,0,0);
INSERT INTO game_player VALUES(5,1,14,0,2,'defender',2,0,11,11,13,15,2,15,128,2,1,1,0,'Enforcer',3,'Caldus',7,0,0,0);
INSERT INTO game_player VALUES(5,2,5,0,1,'attacker',3,1,10,10,11,16,1,0,109,0,2,0,0,'Enforcer',2,'Torvik',6,0,0,0);
INSERT INTO game_player VALUES(5,3,12,0,1,'defender',4,0,9,9,11,20,2,0,109,0,1,0,0,'Flak Cannon',4,'Caldus',8,0,0,0);
INSERT INTO game_player VALUES(6,0,4,1,1,'0',1,1,101,10,10,7,0,0,132,0,1,0,0,'Shock Rifle',8,'Corvana',6,3,0,0);
INSERT INTO game_player VALUES(6,1,15,0,1,'1',2,0,31,5,5,9,0,0,66,0,1,1,0,'Minigun',2,'Dastrid',3,2,0,0);
INSERT INTO game_player VALUES(6,2,16,0,2,'0',3,1,0,4,5,9,1,0,66,0,0,0,0,'Flak Cannon',2,'Ferrin',3,0,0,0);
INSERT INTO game_player VALUES(6,3,17,0,3,'1',4,0,0,15,15,9,0,0,198,0,2,1,0,'Pulse Gun',3,'Dastrid',6,0,0,0);
INSERT INTO game_player VALUES(6,4,11,1,1,'0',5,1,0,3,3,4,0,0,39,0,1,1,0,'Flak Cannon',2,'Ferrin',2,0,0,112);
INSERT INTO game_player VALUES(7,0,11,1,1,'',1,1,2,12,12,8,0,0,133,2,5,0,0,'Rocket Launcher',3,'Dabbler',3,0,0,122);
INSERT INTO game_player VALUES(7,1,4,1,1,'',2,0,0,12,12,10,0,0,133,0,7,0,1,'Flak Cannon',3,'Brickwell',4,0,0,0);
INSERT INTO game_player VALUES(7,2,9,1,1,'',3,0,0,10,12,8,2,0,133,2,4,0,0,'Rocket Launcher',3,'Dabbler',5,0,0,126);
INSERT INTO game_player VALUES(7,3,2,0,2,'',4,0,0,1,3,8,2,0,33,0,2,0,0,'Ripper',1,'Dabbler',2,0,0,0);
INSERT INTO game_player VALUES(7,4,18,0,1,'',5,0,0,1,3,8,2,0,33,0,3,0,0,'Pulse Gun',2,'Grimbold',2,0,0,0);
CREATE TABLE player_team (
    game_id  INTEGER NOT NULL,
    slot     INTEGER NOT NULL,
    position INTEGER NOT NULL,
    team     TEXT NOT NULL,
    seconds  INTEGER NOT NULL,
    PRIMARY KEY (game_id, slot, position),
    FOREIGN KEY (game_id, slot) REFERENCES game_player (game_id, slot) ON DELETE CASCADE
) WITHOUT ROWID;
INSERT INTO player_team VALUES(3,0,0,'0',176);
INSERT INTO player_team VALUES(3,1,0,'0',176);
INSERT INTO player_team VALUES(3,2,0,'0',176);
INSERT INTO player_team VALUES(3,3,0,'1',162);
INSERT INTO player_team VALUES(3,3,1,'0',14);
INSERT INTO player_team VALUES(3,4,0,'1',176);
INSERT INTO player_team VALUES(4,0,0,'1',408);
INSERT INTO player_team VALUES(4,1,0,'1',408);
INSERT INTO player_team VALUES(4,2,0,'0',239);
INSERT INTO player_team VALUES(4,3,0,'0',369);
INSERT INTO player_team VALUES(5,0,0,'attacker',363);
INSERT INTO player_team VALUES(5,1,0,'defender',363);
INSERT INTO player_team VALUES(5,2,0,'attacker',363);
INSERT INTO player_team VALUES(5,3,0,'defender',363);
INSERT INTO player_team VALUES(6,0,0,'0',272);
INSERT INTO player_team VALUES(6,1,0,'1',272);
INSERT INTO player_team VALUES(6,2,0,'0',152);
INSERT INTO player_team VALUES(6,3,0,'1',272);
INSERT INTO player_team VALUES(6,4,0,'0',120);
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
INSERT INTO kill VALUES(1,0,6,3,2,'Flak Cannon',0);
INSERT INTO kill VALUES(1,1,10,3,2,'Rocket Launcher',0);
INSERT INTO kill VALUES(1,2,13,2,0,'Ripper',0);
INSERT INTO kill VALUES(1,3,31,2,0,'Pulse Gun',0);
INSERT INTO kill VALUES(1,4,36,1,3,'Enforcer',0);
INSERT INTO kill VALUES(1,5,47,2,3,'Sniper Rifle',0);
INSERT INTO kill VALUES(1,6,54,2,2,'Fell',0);
INSERT INTO kill VALUES(1,7,57,2,1,'Minigun',0);
INSERT INTO kill VALUES(1,8,62,2,1,'Rocket Launcher',0);
INSERT INTO kill VALUES(1,9,66,1,2,'Minigun',0);
INSERT INTO kill VALUES(1,10,81,0,1,'Sniper Rifle',0);
INSERT INTO kill VALUES(1,11,83,1,2,'Pulse Gun',0);
INSERT INTO kill VALUES(1,12,90,3,1,'Shock Rifle',0);
INSERT INTO kill VALUES(1,13,129,0,3,'Rocket Launcher',0);
INSERT INTO kill VALUES(1,14,132,1,0,'Flak Cannon',0);
INSERT INTO kill VALUES(1,15,143,0,1,'Shock Rifle',0);
INSERT INTO kill VALUES(1,16,146,3,0,'Pulse Gun',0);
INSERT INTO kill VALUES(1,17,159,0,3,'Sniper Rifle',0);
INSERT INTO kill VALUES(1,18,160,0,3,'Pulse Gun',0);
INSERT INTO kill VALUES(2,0,4,3,4,'Enforcer',0);
INSERT INTO kill VALUES(2,1,4,0,2,'Enforcer',0);
INSERT INTO kill VALUES(2,2,9,0,4,'Enforcer',0);
INSERT INTO kill VALUES(2,3,17,1,4,'Enforcer',0);
INSERT INTO kill VALUES(2,4,21,0,0,'Fell',0);
INSERT INTO kill VALUES(2,5,32,4,3,'Shock Rifle',0);
INSERT INTO kill VALUES(2,6,35,0,2,'Flak Cannon',0);
INSERT INTO kill VALUES(2,7,38,1,4,'Enforcer',0);
INSERT INTO kill VALUES(2,8,39,0,0,'shredded',0);
INSERT INTO kill VALUES(2,9,42,0,3,'Ripper',0);
INSERT INTO kill VALUES(2,10,53,0,4,'Ripper',0);
INSERT INTO kill VALUES(2,11,53,2,4,'Pulse Gun',0);
INSERT INTO kill VALUES(2,12,53,3,3,'Fell',0);
INSERT INTO kill VALUES(2,13,56,1,3,'Flak Cannon',0);
INSERT INTO kill VALUES(2,14,58,2,4,'Pulse Gun',0);
INSERT INTO kill VALUES(2,15,78,1,4,'Flak Cannon',0);
INSERT INTO kill VALUES(2,16,81,0,4,'Pulse Gun',0);
INSERT INTO kill VALUES(2,17,85,4,3,'Minigun',0);
INSERT INTO kill VALUES(2,18,86,4,2,'Minigun',0);
INSERT INTO kill VALUES(2,19,93,0,3,'Pulse Gun',0);
INSERT INTO kill VALUES(2,20,93,2,1,'GES Bio Rifle',0);
INSERT INTO kill VALUES(2,21,95,0,4,'Pulse Gun',0);
INSERT INTO kill VALUES(2,22,106,0,0,'Fell',0);
INSERT INTO kill VALUES(2,23,112,0,1,'Shock Rifle',0);
INSERT INTO kill VALUES(2,24,122,2,0,'Rocket Launcher',0);
INSERT INTO kill VALUES(2,25,122,3,3,'shredded',0);
INSERT INTO kill VALUES(2,26,136,3,1,'Sniper Rifle',0);
INSERT INTO kill VALUES(2,27,141,3,0,'Flak Cannon',0);
INSERT INTO kill VALUES(2,28,144,2,4,'Rocket Launcher',0);
INSERT INTO kill VALUES(2,29,158,1,1,'shredded',0);
INSERT INTO kill VALUES(2,30,158,3,1,'Minigun',0);
INSERT INTO kill VALUES(2,31,158,0,0,'Fell',0);
INSERT INTO kill VALUES(2,32,170,0,4,'Flak Cannon',0);
INSERT INTO kill VALUES(2,33,172,0,1,'Flak Cannon',0);
INSERT INTO kill VALUES(2,34,172,0,2,'Flak Cannon',0);
INSERT INTO kill VALUES(2,35,175,0,0,'FlakDeath',0);
INSERT INTO kill VALUES(2,36,179,1,3,'Impact Hammer',0);
INSERT INTO kill VALUES(2,37,184,3,4,'Rocket Launcher',0);
INSERT INTO kill VALUES(2,38,184,1,4,'Sniper Rifle',0);
INSERT INTO kill VALUES(2,39,185,1,4,'Sniper Rifle',0);
INSERT INTO kill VALUES(2,40,217,1,0,'Sniper Rifle',0);
INSERT INTO kill VALUES(2,41,219,4,1,'Flak Cannon',0);
INSERT INTO kill VALUES(2,42,223,4,1,'Flak Cannon',0);
INSERT INTO kill VALUES(2,43,224,0,4,'Shock Rifle',0);
INSERT INTO kill VALUES(2,44,228,2,4,'Flak Cannon',0);
INSERT INTO kill VALUES(2,45,229,0,3,'Shock Rifle',0);
INSERT INTO kill VALUES(2,46,231,0,4,'Shock Rifle',0);
INSERT INTO kill VALUES(2,47,241,1,3,'Ripper',0);
INSERT INTO kill VALUES(2,48,243,0,4,'Sniper Rifle',0);
INSERT INTO kill VALUES(2,49,250,0,4,'Sniper Rifle',0);
INSERT INTO kill VALUES(2,50,262,0,4,'Sniper Rifle',0);
INSERT INTO kill VALUES(2,51,262,2,1,'Flak Cannon',0);
INSERT INTO kill VALUES(2,52,265,0,4,'Sniper Rifle',0);
INSERT INTO kill VALUES(2,53,266,3,1,'Sniper Rifle',0);
INSERT INTO kill VALUES(2,54,267,2,4,'Flak Cannon',0);
INSERT INTO kill VALUES(2,55,270,3,1,'Sniper Rifle',0);
INSERT INTO kill VALUES(2,56,278,4,4,'Fell',0);
INSERT INTO kill VALUES(2,57,280,0,3,'Shock Rifle',0);
INSERT INTO kill VALUES(3,0,3,3,2,'Enforcer',0);
INSERT INTO kill VALUES(3,1,11,1,4,'Sniper Rifle',0);
INSERT INTO kill VALUES(3,2,18,2,4,'Impact Hammer',0);
INSERT INTO kill VALUES(3,3,19,1,4,'Shock Rifle',0);
INSERT INTO kill VALUES(3,4,26,3,0,'Sniper Rifle',0);
INSERT INTO kill VALUES(3,5,27,1,3,'Ripper',0);
INSERT INTO kill VALUES(3,6,28,1,3,'Ripper',0);
INSERT INTO kill VALUES(3,7,31,0,3,'Shock Rifle',0);
INSERT INTO kill VALUES(3,8,35,2,4,'Minigun',0);
INSERT INTO kill VALUES(3,9,37,3,0,'Pulse Gun',0);
INSERT INTO kill VALUES(3,10,40,2,3,'Minigun',0);
INSERT INTO kill VALUES(3,11,55,0,4,'Flak Cannon',0);
INSERT INTO kill VALUES(3,12,56,1,4,'Ripper',0);
INSERT INTO kill VALUES(3,13,57,2,4,'Minigun',0);
INSERT INTO kill VALUES(3,14,61,4,2,'Rocket Launcher',0);
INSERT INTO kill VALUES(3,15,62,0,4,'Minigun',0);
INSERT INTO kill VALUES(3,16,67,0,3,'Flak Cannon',0);
INSERT INTO kill VALUES(3,17,68,0,3,'Flak Cannon',0);
INSERT INTO kill VALUES(3,18,78,1,1,'Drowned',0);
INSERT INTO kill VALUES(3,19,79,2,4,'Rocket Launcher',0);
INSERT INTO kill VALUES(3,20,82,2,3,'Rocket Launcher',0);
INSERT INTO kill VALUES(3,21,93,4,0,'Minigun',0);
INSERT INTO kill VALUES(3,22,93,3,1,'Rocket Launcher',0);
INSERT INTO kill VALUES(3,23,95,3,1,'Rocket Launcher',0);
INSERT INTO kill VALUES(3,24,98,2,3,'Rocket Launcher',0);
INSERT INTO kill VALUES(3,25,113,1,4,'Shock Rifle',0);
INSERT INTO kill VALUES(3,26,118,0,3,'Ripper',0);
INSERT INTO kill VALUES(3,27,122,0,0,'Fell',0);
INSERT INTO kill VALUES(3,28,131,1,4,'GES Bio Rifle',0);
INSERT INTO kill VALUES(3,29,138,0,3,'Shock Rifle',0);
INSERT INTO kill VALUES(3,30,143,0,3,'Shock Rifle',0);
INSERT INTO kill VALUES(3,31,160,0,3,'Shock Rifle',0);
INSERT INTO kill VALUES(3,32,160,2,3,'Shock Rifle',0);
INSERT INTO kill VALUES(3,33,162,1,4,'Flak Cannon',0);
INSERT INTO kill VALUES(3,34,172,0,4,'Pulse Gun',0);
INSERT INTO kill VALUES(3,35,175,1,4,'Flak Cannon',0);
INSERT INTO kill VALUES(4,0,4,2,1,'Enforcer',0);
INSERT INTO kill VALUES(4,1,12,2,0,'Enforcer',0);
INSERT INTO kill VALUES(4,2,12,1,3,'Impact Hammer',0);
INSERT INTO kill VALUES(4,3,15,2,1,'Enforcer',0);
INSERT INTO kill VALUES(4,4,21,1,3,'Minigun',0);
INSERT INTO kill VALUES(4,5,27,3,0,'Sniper Rifle',0);
INSERT INTO kill VALUES(4,6,29,1,3,'Minigun',0);
INSERT INTO kill VALUES(4,7,48,0,2,'GES Bio Rifle',0);
INSERT INTO kill VALUES(4,8,56,3,1,'Shock Rifle',0);
INSERT INTO kill VALUES(4,9,67,3,0,'Shock Rifle',0);
INSERT INTO kill VALUES(4,10,71,3,1,'Impact Hammer',0);
INSERT INTO kill VALUES(4,11,74,0,2,'GES Bio Rifle',0);
INSERT INTO kill VALUES(4,12,77,3,0,'Shock Rifle',0);
INSERT INTO kill VALUES(4,13,83,1,3,'Ripper',0);
INSERT INTO kill VALUES(4,14,84,2,1,'Shock Rifle',0);
INSERT INTO kill VALUES(4,15,92,2,0,'Shock Rifle',0);
INSERT INTO kill VALUES(4,16,94,3,0,'Pulse Gun',0);
INSERT INTO kill VALUES(4,17,98,0,2,'Ripper',0);
INSERT INTO kill VALUES(4,18,105,0,3,'Ripper',0);
INSERT INTO kill VALUES(4,19,107,2,1,'Rocket Launcher',0);
INSERT INTO kill VALUES(4,20,109,2,1,'Rocket Launcher',0);
INSERT INTO kill VALUES(4,21,142,3,1,'Minigun',0);
INSERT INTO kill VALUES(4,22,149,0,0,'Fell',0);
INSERT INTO kill VALUES(4,23,160,1,2,'Flak Cannon',0);
INSERT INTO kill VALUES(4,24,184,2,1,'Shock Rifle',0);
INSERT INTO kill VALUES(4,25,196,1,3,'Shock Rifle',0);
INSERT INTO kill VALUES(4,26,197,2,1,'Minigun',0);
INSERT INTO kill VALUES(4,27,213,2,1,'Minigun',0);
INSERT INTO kill VALUES(4,28,215,3,3,'Fell',0);
INSERT INTO kill VALUES(4,29,218,3,0,'Enforcer',0);
INSERT INTO kill VALUES(4,30,218,2,1,'Minigun',0);
INSERT INTO kill VALUES(4,31,225,1,3,'Pulse Gun',0);
INSERT INTO kill VALUES(4,32,244,1,3,'Minigun',0);
INSERT INTO kill VALUES(4,33,249,0,3,'Pulse Gun',0);
INSERT INTO kill VALUES(4,34,257,1,3,'Pulse Gun',0);
INSERT INTO kill VALUES(4,35,268,1,3,'Shock Rifle',0);
INSERT INTO kill VALUES(4,36,269,3,1,'Enforcer',0);
INSERT INTO kill VALUES(4,37,292,1,1,'RocketDeath',0);
INSERT INTO kill VALUES(4,38,293,0,3,'Shock Rifle',0);
INSERT INTO kill VALUES(4,39,301,0,3,'Shock Rifle',0);
INSERT INTO kill VALUES(4,40,303,1,3,'Rocket Launcher',0);
INSERT INTO kill VALUES(4,41,304,0,3,'Shock Rifle',0);
INSERT INTO kill VALUES(4,42,314,0,3,'Shock Rifle',0);
INSERT INTO kill VALUES(4,43,330,0,3,'Sniper Rifle',0);
INSERT INTO kill VALUES(4,44,377,0,3,'Minigun',0);
INSERT INTO kill VALUES(4,45,379,0,3,'Minigun',0);
INSERT INTO kill VALUES(4,46,384,1,3,'Rocket Launcher',0);
INSERT INTO kill VALUES(4,47,402,1,3,'Rocket Launcher',0);
INSERT INTO kill VALUES(4,48,405,0,3,'Minigun',0);
INSERT INTO kill VALUES(5,0,5,2,3,'Enforcer',0);
INSERT INTO kill VALUES(5,1,13,0,3,'Enforcer',0);
INSERT INTO kill VALUES(5,2,16,1,0,'Enforcer',0);
INSERT INTO kill VALUES(5,3,26,0,3,'Impact Hammer',0);
INSERT INTO kill VALUES(5,4,28,0,3,'GES Bio Rifle',0);
INSERT INTO kill VALUES(5,5,29,0,1,'Impact Hammer',0);
INSERT INTO kill VALUES(5,6,30,0,1,'GES Bio Rifle',0);
INSERT INTO kill VALUES(5,7,30,2,3,'Enforcer',0);
INSERT INTO kill VALUES(5,8,30,0,3,'GES Bio Rifle',0);
INSERT INTO kill VALUES(5,9,42,0,1,'GES Bio Rifle',0);
INSERT INTO kill VALUES(5,10,51,1,2,'Sniper Rifle',0);
INSERT INTO kill VALUES(5,11,54,2,1,'GES Bio Rifle',0);
INSERT INTO kill VALUES(5,12,57,1,3,'Shock Rifle',1);
INSERT INTO kill VALUES(5,13,60,1,1,'Fell',0);
INSERT INTO kill VALUES(5,14,60,2,3,'GES Bio Rifle',0);
INSERT INTO kill VALUES(5,15,62,0,1,'GES Bio Rifle',0);
INSERT INTO kill VALUES(5,16,68,0,3,'GES Bio Rifle',0);
INSERT INTO kill VALUES(5,17,76,0,3,'GES Bio Rifle',0);
INSERT INTO kill VALUES(5,18,77,2,3,'Chainsaw',0);
INSERT INTO kill VALUES(5,19,82,1,1,'FlakDeath',0);
INSERT INTO kill VALUES(5,20,82,3,0,'Rocket Launcher',0);
INSERT INTO kill VALUES(5,21,87,0,3,'Flak Cannon',0);
INSERT INTO kill VALUES(5,22,87,0,3,'Impact Hammer',0);
INSERT INTO kill VALUES(5,23,103,0,1,'Rocket Launcher',0);
INSERT INTO kill VALUES(5,24,105,3,2,'Flak Cannon',0);
INSERT INTO kill VALUES(5,25,107,0,1,'Pulse Gun',0);
INSERT INTO kill VALUES(5,26,110,0,3,'Pulse Gun',0);
INSERT INTO kill VALUES(5,27,114,2,3,'Flak Cannon',0);
INSERT INTO kill VALUES(5,28,123,0,3,'GES Bio Rifle',0);
INSERT INTO kill VALUES(5,29,131,0,3,'GES Bio Rifle',0);
INSERT INTO kill VALUES(5,30,134,1,2,'GES Bio Rifle',0);
INSERT INTO kill VALUES(5,31,144,3,0,'Ripper',0);
INSERT INTO kill VALUES(5,32,145,3,2,'Ripper',0);
INSERT INTO kill VALUES(5,33,148,1,2,'Enforcer',0);
INSERT INTO kill VALUES(5,34,148,1,2,'Enforcer',0);
INSERT INTO kill VALUES(5,35,154,2,1,'Ripper',0);
INSERT INTO kill VALUES(5,36,162,3,2,'Enforcer',0);
INSERT INTO kill VALUES(5,37,170,2,1,'Minigun',0);
INSERT INTO kill VALUES(5,38,175,0,1,'Pulse Gun',0);
INSERT INTO kill VALUES(5,39,179,2,1,'Minigun',0);
INSERT INTO kill VALUES(5,40,180,3,2,'Double Enforcer',0);
INSERT INTO kill VALUES(5,41,205,2,2,'Fell',0);
INSERT INTO kill VALUES(5,42,208,0,3,'Pulse Gun',0);
INSERT INTO kill VALUES(5,43,211,0,1,'Pulse Gun',0);
INSERT INTO kill VALUES(5,44,215,2,3,'Flak Cannon',0);
INSERT INTO kill VALUES(5,45,225,0,1,'Enforcer',0);
INSERT INTO kill VALUES(5,46,227,3,2,'Rocket Launcher',0);
INSERT INTO kill VALUES(5,47,240,0,2,'Pulse Gun',1);
INSERT INTO kill VALUES(5,48,258,0,0,'Fell',0);
INSERT INTO kill VALUES(5,49,269,3,2,'Flak Cannon',0);
INSERT INTO kill VALUES(5,50,270,1,2,'Flak Cannon',0);
INSERT INTO kill VALUES(5,51,272,1,2,'Flak Cannon',0);
INSERT INTO kill VALUES(5,52,281,3,3,'shredded',0);
INSERT INTO kill VALUES(5,53,281,1,0,'Shock Rifle',0);
INSERT INTO kill VALUES(5,54,283,1,0,'Shock Rifle',0);
INSERT INTO kill VALUES(5,55,284,3,2,'Shock Rifle',0);
INSERT INTO kill VALUES(5,56,292,2,1,'Rocket Launcher',0);
INSERT INTO kill VALUES(5,57,302,0,1,'Pulse Gun',0);
INSERT INTO kill VALUES(5,58,304,3,3,'Fell',0);
INSERT INTO kill VALUES(5,59,307,1,3,'Ripper',1);
INSERT INTO kill VALUES(5,60,322,1,2,'GES Bio Rifle',0);
INSERT INTO kill VALUES(5,61,340,3,2,'Flak Cannon',0);
INSERT INTO kill VALUES(5,62,342,3,0,'Flak Cannon',0);
INSERT INTO kill VALUES(5,63,354,1,0,'Pulse Gun',0);
INSERT INTO kill VALUES(6,0,10,2,3,'Ripper',0);
INSERT INTO kill VALUES(6,1,15,1,2,'Flak Cannon',0);
INSERT INTO kill VALUES(6,2,41,2,2,'Drowned',0);
INSERT INTO kill VALUES(6,3,47,3,2,'Shock Rifle',0);
INSERT INTO kill VALUES(6,4,54,2,1,'Flak Cannon',0);
INSERT INTO kill VALUES(6,5,58,2,3,'Flak Cannon',0);
INSERT INTO kill VALUES(6,6,67,1,2,'Minigun',0);
INSERT INTO kill VALUES(6,7,71,3,0,'GES Bio Rifle',0);
INSERT INTO kill VALUES(6,8,78,3,2,'GES Bio Rifle',0);
INSERT INTO kill VALUES(6,9,94,3,2,'Ripper',0);
INSERT INTO kill VALUES(6,10,102,3,2,'Ripper',0);
INSERT INTO kill VALUES(6,11,104,3,0,'Ripper',0);
INSERT INTO kill VALUES(6,12,109,2,3,'Impact Hammer',0);
INSERT INTO kill VALUES(6,13,110,2,1,'Shock Rifle',0);
INSERT INTO kill VALUES(6,14,116,0,3,'Shock Rifle',0);
INSERT INTO kill VALUES(6,15,128,0,1,'Shock Rifle',0);
INSERT INTO kill VALUES(6,16,134,1,2,'Minigun',0);
INSERT INTO kill VALUES(6,17,136,0,1,'Shock Rifle',0);
INSERT INTO kill VALUES(6,18,140,3,2,'Pulse Gun',0);
INSERT INTO kill VALUES(6,19,143,3,0,'Pulse Gun',0);
INSERT INTO kill VALUES(6,20,149,3,2,'Pulse Gun',0);
INSERT INTO kill VALUES(6,21,156,0,1,'Enforcer',0);
INSERT INTO kill VALUES(6,22,161,0,3,'Shock Rifle',0);
INSERT INTO kill VALUES(6,23,170,3,0,'None',0);
INSERT INTO kill VALUES(6,24,176,3,0,'Sniper Rifle',0);
INSERT INTO kill VALUES(6,25,182,0,1,'Shock Rifle',0);
INSERT INTO kill VALUES(6,26,185,3,4,'Sniper Rifle',0);
INSERT INTO kill VALUES(6,27,193,0,3,'Shock Rifle',0);
INSERT INTO kill VALUES(6,28,201,0,1,'Shock Rifle',0);
INSERT INTO kill VALUES(6,29,203,4,3,'Rocket Launcher',0);
INSERT INTO kill VALUES(6,30,204,0,1,'Shock Rifle',0);
INSERT INTO kill VALUES(6,31,218,3,4,'Flak Cannon',0);
INSERT INTO kill VALUES(6,32,220,1,0,'Shock Rifle',0);
INSERT INTO kill VALUES(6,33,229,3,4,'Flak Cannon',0);
INSERT INTO kill VALUES(6,34,234,4,3,'Flak Cannon',0);
INSERT INTO kill VALUES(6,35,237,1,0,'Shock Rifle',0);
INSERT INTO kill VALUES(6,36,250,4,1,'Flak Cannon',0);
INSERT INTO kill VALUES(6,37,255,3,4,'Enforcer',0);
INSERT INTO kill VALUES(6,38,258,0,3,'Rocket Launcher',0);
INSERT INTO kill VALUES(7,0,17,1,2,'Flak Cannon',0);
INSERT INTO kill VALUES(7,1,18,2,1,'Pulse Gun',0);
INSERT INTO kill VALUES(7,2,19,0,3,'Sniper Rifle',0);
INSERT INTO kill VALUES(7,3,19,0,1,'Rocket Launcher',0);
INSERT INTO kill VALUES(7,4,25,2,1,'Rocket Launcher',0);
INSERT INTO kill VALUES(7,5,36,4,2,'Shock Rifle',0);
INSERT INTO kill VALUES(7,6,61,2,3,'Enforcer',0);
INSERT INTO kill VALUES(7,7,65,3,3,'GrenadeDeath',0);
INSERT INTO kill VALUES(7,8,69,3,1,'Minigun',0);
INSERT INTO kill VALUES(7,9,70,2,0,'Shock Rifle',0);
INSERT INTO kill VALUES(7,10,71,4,3,'Pulse Gun',0);
INSERT INTO kill VALUES(7,11,72,0,4,'Shock Rifle',0);
INSERT INTO kill VALUES(7,12,72,1,4,'Flak Cannon',0);
INSERT INTO kill VALUES(7,13,77,1,4,'Sniper Rifle',0);
INSERT INTO kill VALUES(7,14,77,2,4,'Shock Rifle',0);
INSERT INTO kill VALUES(7,15,77,2,0,'Pulse Gun',0);
INSERT INTO kill VALUES(7,16,98,4,4,'Fell',0);
INSERT INTO kill VALUES(7,17,99,0,4,'Flak Cannon',0);
INSERT INTO kill VALUES(7,18,102,0,3,'Rocket Launcher',0);
INSERT INTO kill VALUES(7,19,108,4,3,'Pulse Gun',0);
INSERT INTO kill VALUES(7,20,109,1,3,'Flak Cannon',0);
INSERT INTO kill VALUES(7,21,110,3,1,'Shock Rifle',0);
INSERT INTO kill VALUES(7,22,121,0,2,'Shock Rifle',0);
INSERT INTO kill VALUES(7,23,122,3,3,'Drowned',0);
INSERT INTO kill VALUES(7,24,125,0,3,'Flak Cannon',0);
INSERT INTO kill VALUES(7,25,129,4,4,'Drowned',0);
INSERT INTO kill VALUES(7,26,135,3,0,'Ripper',0);
INSERT INTO kill VALUES(7,27,135,1,3,'Pulse Gun',0);
INSERT INTO kill VALUES(7,28,137,2,2,'Drowned',0);
INSERT INTO kill VALUES(7,29,152,2,1,'Sniper Rifle',0);
INSERT INTO kill VALUES(7,30,160,2,4,'Rocket Launcher',0);
INSERT INTO kill VALUES(7,31,164,2,4,'Enforcer',0);
INSERT INTO kill VALUES(7,32,172,1,0,'Shock Rifle',0);
INSERT INTO kill VALUES(7,33,192,0,4,'Flak Cannon',0);
INSERT INTO kill VALUES(7,34,195,2,1,'Rocket Launcher',0);
INSERT INTO kill VALUES(7,35,199,2,1,'Shock Rifle',0);
INSERT INTO kill VALUES(7,36,201,0,2,'Enforcer',0);
INSERT INTO kill VALUES(7,37,212,1,2,'Shock Rifle',0);
INSERT INTO kill VALUES(7,38,218,1,0,'Pulse Gun',0);
INSERT INTO kill VALUES(7,39,222,0,2,'Shock Rifle',0);
INSERT INTO kill VALUES(7,40,223,1,0,'Shock Rifle',0);
INSERT INTO kill VALUES(7,41,248,2,0,'Flak Cannon',0);
INSERT INTO kill VALUES(7,42,250,2,2,'shredded',0);
INSERT INTO kill VALUES(7,43,253,1,2,'Rocket Launcher',0);
INSERT INTO kill VALUES(7,44,257,1,2,'Rocket Launcher',0);
INSERT INTO kill VALUES(7,45,260,0,1,'Minigun',0);
INSERT INTO kill VALUES(7,46,315,1,0,'Ripper',0);
INSERT INTO kill VALUES(7,47,322,0,1,'Rocket Launcher',0);
CREATE TABLE imported_file (
    path       TEXT PRIMARY KEY,
    size       INTEGER NOT NULL,
    write_time INTEGER NOT NULL,
    outcome    TEXT NOT NULL,
    game_key   TEXT
) WITHOUT ROWID;
INSERT INTO imported_file VALUES('/tmp/sample-session/User.ini',8215,1796853974,'not a stat log',NULL);
INSERT INTO imported_file VALUES('/tmp/sample-session/games.log',17738,995112000,'game','5abcf7279102cd33016a5ff27dc426e1fa27f38ccc2ca6027328d06d99b3027c');
INSERT INTO imported_file VALUES('/tmp/sample-session/games1.log',43840,995112000,'game','00a8226b4db3e18cf8716e7dc29c9a91758c792c4552643c22494eb00005445c');
INSERT INTO imported_file VALUES('/tmp/sample-session/games2.log',31788,995112000,'game','74b2f7bba95b175ad6577bc8351a985fe98db72c3268bb9ec7d31e9310aa5ed9');
INSERT INTO imported_file VALUES('/tmp/sample-session/games3.log',39452,995112000,'game','a251ad4227a1182ce56261b12096d107a4bfde465c6e517b1edbef8f1f72ddc4');
INSERT INTO imported_file VALUES('/tmp/sample-session/games4.log',47102,995112000,'game','47698625826e7699b74d95579192fc17feea07a13125da993ee28d2ed0aaed7e');
INSERT INTO imported_file VALUES('/tmp/sample-session/games5.log',41320,995112000,'game','983230fc56f46514c2943d3dc1af50fa87da7dd6d23e243f3dc53b83947b303c');
INSERT INTO imported_file VALUES('/tmp/sample-session/games6.log',26360,995112000,'not reported',NULL);
INSERT INTO imported_file VALUES('/tmp/sample-session/games7.log',26922,995112000,'game','f64e03e5129437af36707548d731b492a232399b2ade541b5be18caeb6d05a09');
CREATE INDEX game_by_start ON game (start_local);
CREATE VIEW player_name AS
    SELECT name.id AS name_id, name.name AS name, coalesce(alias.player_id, name.id) AS player_id
    FROM name LEFT JOIN alias ON alias.name_id = name.id;
CREATE INDEX game_player_by_name ON game_player (name_id);
COMMIT;
