#!/bin/sh
# Checks that velstra keeps each game of a folder with the figures its games
# page shows. Every regular file of FOLDER is analysed alone (copied as
# games.log into a folder of its own, `analyser -ni`) and imported into one
# fresh history; then, for each file, the game the import took it for must
# show on the page exactly as the history holds it: the games table's map,
# type, length and end, and every scoreboard row, cell by cell. A file the
# analyser reports no game of must be one the import skipped, and the other
# way round.
#
#   tools/check-history.sh [--analyser PROG] [--velstra PROG] [--keep DIR] FOLDER
#
# The programs default to the default preset's build. Prints one line per
# file that differs and a last line with the counts; exits 0 when every
# game is equal, 1 when one differs, 2 when it cannot run.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
analyser=$top/build/default/analyser/analyser
velstra=$top/build/default/velstra/velstra
keep=
while [ $# -gt 1 ]; do
    case $1 in
        --analyser) analyser=$2; shift 2 ;;
        --velstra) velstra=$2; shift 2 ;;
        --keep) keep=$2; shift 2 ;;
        *) break ;;
    esac
done
[ $# -eq 1 ] || { echo "usage: $0 [--analyser PROG] [--velstra PROG] [--keep DIR] FOLDER" >&2; exit 2; }
folder=$(cd "$1" && pwd) || exit 2
for prog in "$analyser" "$velstra"; do
    [ -x "$prog" ] || { echo "$0: $prog is not built" >&2; exit 2; }
done
# The analyser runs in a folder of its own.
analyser=$(cd "$(dirname "$analyser")" && pwd)/$(basename "$analyser")
command -v sqlite3 >/dev/null || { echo "$0: needs the sqlite3 shell (apt-get install sqlite3)" >&2; exit 2; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/check-history.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
db=$scratch/history.db
# Starts from the file's time are this machine's local time; the page does
# not show them, so the zone does not matter, but a fixed one keeps runs alike.
export TZ=UTC

# The scoreboard and the games table of a page, one cell a field, tab
# apart: "H" and the column names, then "R" and a row's cells, then "G" and
# the games table's map, type, length and end. Tags are dropped, entities
# read, and the winner's badge becomes a last field "winner" (else "-").
page_cells() {
    awk '
    function text(s) {
        gsub(/<[^>]*>/, "", s)
        gsub(/&lt;/, "<", s); gsub(/&gt;/, ">", s); gsub(/&quot;/, "\"", s); gsub(/&#39;/, "\047", s)
        gsub(/&amp;/, "\\&", s)
        return s
    }
    function cells(line, kind,    out, n, parts, k, badge) {
        badge = index(line, "<span class=\"badge\">winner</span>") ? "winner" : "-"
        gsub(/ <span class="badge">winner<\/span>/, "", line)
        n = split(line, parts, /<\/t[dh]>/)
        out = kind
        for (k = 1; k < n; ++k) out = out "\t" text(parts[k])
        if (kind == "R") out = out "\t" badge
        print out
    }
    /<table id="games">/ { games = 1; next }
    games && /^<tr><th scope="row">/ {
        n = split($0, parts, /<\/t[dh]>/)
        print "G\t" text(parts[2]) "\t" text(parts[3]) "\t" text(parts[4]) "\t" text(parts[5])
        games = 0
    }
    /<table class="scoreboard">/ { board = 1; next }
    board && /^<thead>/ { cells($0, "H"); next }
    board && /No players\./ { next }
    board && /^<tr/ { cells($0, "R"); next }
    board && /^<\/tbody>/ { board = 0 }
    ' "$1"
}

# The same, as the history holds game $1.
history_cells() {
    sqlite3 -separator '	' "$db" "
        SELECT 'G', map, type_name, length, end_reason FROM game WHERE id = $1;
        SELECT 'P', gp.place, n.name, gp.crowned, gp.score, gp.net_kills, gp.team, gp.kills, gp.deaths,
               gp.suicides, gp.teamkill_rate, gp.killrate, gp.multikill, gp.lurch, gp.quads, gp.headshots,
               gp.fav_weapon, gp.fav_weapon_kills, gp.fav_victim, gp.fav_victim_kills, gp.flags_captured,
               gp.flags_returned, coalesce(gp.human, -1), coalesce(gp.skill, -1), coalesce(gp.ping, -1)
        FROM game_player gp JOIN name n ON n.id = gp.name_id WHERE gp.game_id = $1 ORDER BY gp.slot;"
}

# Lines of the page that the history does not give, and of the history that
# the page does not show, as "page:" and "history:" lines; none when equal.
compare() {
    awk -F '\t' '
    function fav(name, count) { return count < 1 ? "\342\200\224" : name " (" count ")" }
    function length_of(s) {
        return s >= 3600 ? sprintf("%d:%02d:%02d", s / 3600, s / 60 % 60, s % 60) : sprintf("%d:%02d", s / 60, s % 60)
    }
    function team(t) {
        if (t == "0") return "Red"; if (t == "1") return "Blue"; if (t == "2") return "Green"; if (t == "3") return "Gold"
        if (t == "attacker") return "Attackers"; if (t == "defender") return "Defenders"
        return t
    }
    FILENAME == ARGV[1] {
        if ($1 == "H") { for (k = 2; k <= NF; ++k) column[k - 1] = $k; columns = NF - 1 }
        else if ($1 == "R") page[++rows] = substr($0, 3)
        else if ($1 == "G") games_row = substr($0, 3)
        next
    }
    $1 == "G" { history_games = $2 "\t" $3 "\t" length_of($4) "\t" $5; next }
    $1 == "P" {
        v["#"] = $2; v["Player"] = $3; v["Score"] = $5; v["Frags"] = $6; v["Team"] = team($7)
        v["Kills"] = $8; v["Deaths"] = $9; v["Sui."] = $10; v["TK %"] = $11; v["K/h"] = $12; v["TS"] = $13
        v["Lurch"] = $14; v["Amp"] = $15; v["HS"] = $16; v["Weapon"] = fav($17, $18); v["Victim"] = fav($19, $20)
        v["Caps"] = $21; v["CP"] = $21; v["Ret."] = $22
        v["Species"] = $23 == 1 ? "Human" : $23 == 0 ? "Bot " $24 : "Unstated"
        v["Ping"] = $25 < 0 ? "\342\200\224" : $25
        line = ""
        for (k = 1; k <= columns; ++k) {
            if (!(column[k] in v)) { print "page: an unknown column " column[k]; bad = 1 }
            line = line v[column[k]] "\t"
        }
        history[++players] = line ($4 == 1 ? "winner" : "-")
    }
    END {
        if (games_row != history_games) { print "page:    " games_row; print "history: " history_games }
        for (r = 1; r <= rows || r <= players; ++r)
            if (page[r] != history[r]) { print "page:    " page[r]; print "history: " history[r] }
    }
    ' "$1" "$2"
}

files=0 games=0 equal=0 differ=0 skipped=0
# Every regular file, as velstra takes a folder: hidden ones too.
for file in "$folder"/* "$folder"/.[!.]* "$folder"/..?*; do
    [ -f "$file" ] || continue
    files=$((files + 1))
    name=$(basename "$file")
    alone=$scratch/alone
    rm -rf "$alone"
    mkdir "$alone"
    cp -p "$file" "$alone/games.log"
    (cd "$alone" && "$analyser" -ni >/dev/null 2>&1) || true
    page=$(ls "$alone"/velstra*-games.html 2>/dev/null | head -n 1)
    [ -n "$page" ] && page_cells "$page" >"$scratch/page" || : >"$scratch/page"

    "$velstra" import -v --db "$db" "$file" >/dev/null 2>"$scratch/import" || {
        echo "$name: velstra import failed: $(cat "$scratch/import")"
        differ=$((differ + 1))
        continue
    }
    id=$(sed -n 's/.*: \(added as\|already in the history as\) game \([0-9]*\)$/\2/p' "$scratch/import")
    if [ -z "$id" ]; then
        if grep -q '^R' "$scratch/page"; then
            echo "$name: the analyser reports a game, the import $(sed 's/.*: //' "$scratch/import")"
            differ=$((differ + 1))
        else
            skipped=$((skipped + 1))
        fi
        continue
    fi
    games=$((games + 1))
    history_cells "$id" >"$scratch/history"
    compare "$scratch/page" "$scratch/history" >"$scratch/differences"
    if [ -s "$scratch/differences" ]; then
        echo "$name (game $id):"
        sed 's/^/    /' "$scratch/differences"
        differ=$((differ + 1))
    else
        equal=$((equal + 1))
    fi
done
[ -z "$keep" ] || [ ! -f "$db" ] || cp "$db" "$keep"
echo "$files files: $games games, $equal equal to their page, $differ differ, $skipped skipped"
[ "$differ" -eq 0 ]
