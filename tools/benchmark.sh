#!/bin/sh
# Times the analyser against reading the same files, on two kinds of
# session, and measures its peak memory and its time on hostile games.
#
#   tools/benchmark.sh [runs] [real log]   (default 10 timed runs of each command)
#
# - generated: 100 games of 400k (16-bit), of the stock weapons and items;
# - add-on: 60 games as large as a game can be (about 480,000 characters), on
#   a server whose add-ons log weapons and items the analyser does not know
#   (loggen --mods): every such kill or pick-up is an error.log message;
# - with a real log given (a 16-bit ngLog file of your own, say one of a
#   server that runs mods): 60 games of its events after game_start,
#   repeated to about 480,000 characters, written to a temporary folder
#   outside the project and removed at the end.
# Each session's commands are timed in one hyperfine run, with warm-up runs
# first, on the same files, from the page cache; error.log and the pages are
# removed, and written data synced, before every run. Two readers set the
# scale: cat, and cksum, which reads with one buffer for all files. On a
# virtual machine where touching fresh memory is slow, cat (a new buffer
# per file) can take several times as long as cksum; compare with both.
# Then the peak resident memory for 10 and for 1,000 games, which must be
# the same, and the time of games built to make a pass that rescans the text
# slow.
# The history: importing the generated session into a fresh history, and
# again into one that holds it all already, timed in one hyperfine run with
# the analyser on the same folder; the history's size per game; and the peak
# memory of importing 1,000, 5,000 and 10,000 games (100 sessions of 100
# games of natural length, each session's humans named anew): it grows while
# SQLite's page cache fills (8 MB at most), then stays.
# The site: built from those 10,000 games, timed; and its peak memory for
# two histories of the same 100 evenings, 6 games an evening against 50,
# which must stay close: it grows with the players and evenings, not games.
# Builds the default preset first; the generated sessions are written
# to build/bench/.
set -eu

runs=${1:-10}
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/default"
bench="$top/build/bench"

real_log=${2:-}
for tool in hyperfine /usr/bin/time iconv; do
    command -v "$tool" >/dev/null || { echo "benchmark: $tool is missing (apt-get install hyperfine time)" >&2; exit 1; }
done
cmake --preset default >/dev/null
cmake --build --preset default --target analyser loggen velstra >/dev/null
analyser="$build/analyser/analyser"
loggen="$build/tools/loggen"
velstra="$build/velstra/velstra"
mkdir -p "$bench"

# make_session NAME OPTIONS...: the session in build/bench/NAME, made once.
make_session() {
    name=$1
    shift
    if [ ! -f "$bench/$name/options" ] || [ "$(cat "$bench/$name/options")" != "$*" ]; then
        rm -rf "${bench:?}/$name"
        "$loggen" --session "$bench/$name" "$@" >/dev/null 2>&1
        echo "$*" >"$bench/$name/options"
    fi
}

# time_session NAME [DIR]: cat, cksum and the analyser, in one hyperfine run.
time_session() {
    dir=${2:-$bench/$1}
    files=$(cd "$dir" && ls games*.log | sort -V | tr '\n' ' ')
    bytes=$(cd "$dir" && cat $files | wc -c)
    (cd "$dir" && hyperfine -N --warmup 3 --runs "$runs" --prepare "sh -c 'rm -f error.log velstra*.html; sync'" \
        --export-csv "$bench/$1.csv" --command-name cat "cat $files" --command-name cksum "cksum $files" \
        --command-name analyser "$analyser -ni" >"$bench/$1.hyperfine.txt" 2>&1) ||
        { cat "$bench/$1.hyperfine.txt" >&2; exit 1; }
    lines=$(cd "$dir" && rm -f error.log && "$analyser" -ni >/dev/null && wc -l <error.log)
    awk -F, -v name="$1" -v bytes="$bytes" -v lines="$lines" -v games="$(echo $files | wc -w)" '
        $1 == "cat" { cat = $4 } $1 == "cksum" { sum = $4 } $1 == "analyser" { an = $4; user = $5; sys = $6 }
        END {
            printf "%s: %d games, %d bytes, %d error.log lines\n", name, games, bytes, lines
            printf "  median: cat %.1f ms, cksum %.1f ms, analyser %.1f ms (user %.1f ms, system %.1f ms)\n",
                cat * 1000, sum * 1000, an * 1000, user * 1000, sys * 1000
            printf "  ratio:  %.2f times cat, %.2f times cksum\n", an / cat, an / sum
            printf "  input:  %.0f MB/s\n", bytes / an / 1e6
        }' "$bench/$1.csv"
}

# time_import NAME: the analyser, a fresh import and an import of logs all
# known already, in one hyperfine run on the session's folder.
time_import() {
    dir=$bench/$1
    fresh=$bench/$1-fresh.db
    known=$bench/$1-known.db
    rm -f "$known" "$known-wal" "$known-shm"
    (cd "$dir" && rm -f error.log velstra*.html && "$velstra" import --db "$known" . >/dev/null)
    (cd "$dir" && hyperfine -N --warmup 3 --runs "$runs" \
        --prepare "sh -c 'rm -f error.log velstra*.html \"$fresh\" \"$fresh-wal\" \"$fresh-shm\"; sync'" \
        --export-csv "$bench/$1-import.csv" --command-name analyser "$analyser -ni" \
        --command-name fresh "$velstra import --db $fresh ." --command-name known "$velstra import --db $known ." \
        >"$bench/$1-import.hyperfine.txt" 2>&1) || { cat "$bench/$1-import.hyperfine.txt" >&2; exit 1; }
    games=$(cd "$dir" && ls games*.log | wc -l)
    awk -F, -v name="$1" -v size="$(wc -c <"$known")" -v games="$games" '
        $1 == "analyser" { an = $4 } $1 == "fresh" { fresh = $4; user = $5; sys = $6 } $1 == "known" { known = $4 }
        END {
            printf "%s, imported into a history:\n", name
            printf "  median: analyser %.1f ms, fresh import %.1f ms (user %.1f ms, system %.1f ms), all known %.1f ms\n",
                an * 1000, fresh * 1000, user * 1000, sys * 1000, known * 1000
            printf "  ratio:  fresh %.2f times the analyser, all known %.2f times\n", fresh / an, known / an
            printf "  history: %d bytes, %.1f kB per game\n", size, size / games / 1024
        }' "$bench/$1-import.csv"
}

# import_peak_kb SESSIONS: the peak memory of importing that many of the
# sessions many-1 ... into a fresh history.
import_peak_kb() {
    db=$bench/many.db
    rm -f "$db" "$db-wal" "$db-shm"
    /usr/bin/time -v "$velstra" import --db "$db" $(seq -f "$bench/many-%g" 1 "$1") 2>&1 >/dev/null |
        awk -F': ' '/Maximum resident set size/ { print $2 }'
}

# real_session LOG DIR: 60 games of the log's events after game_start,
# repeated to about 480,000 characters, with the log's own header.
real_session() {
    iconv -f UTF-16LE -t UTF-8 "$1" | LC_ALL=C awk -v dir="$2" '
        { sub(/\r$/, ""); if (started) body = body $0 "\r\n"; else head = head $0 "\r\n" }
        /\tgame_start/ { started = 1 }
        END {
            if (body == "") { print "benchmark: no events after game_start in the log" > "/dev/stderr"; exit 1 }
            end = "9999.00\tgame_end\ttimelimit\r\n"
            text = head
            while (length(text) + length(body) + length(end) < 480000) text = text body
            printf "%s", text end > (dir "/game.txt")
        }'
    iconv -f UTF-8 -t UTF-16LE "$2/game.txt" >"$2/games.log"
    rm "$2/game.txt"
    for g in $(seq 1 59); do cp "$2/games.log" "$2/games$g.log"; done
}

peak_kb() {
    (cd "$bench/$1" && rm -f error.log velstra*.html &&
        /usr/bin/time -v "$analyser" -ni 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ { print $2 }')
}

# Games of about 500,000 characters built to make a pass that reads the
# text again per line, or per pair of lines, slow: thousands of Assault team
# lines, skill lines before the only connect line, renames back and forth,
# a pick-up and a kill on every other line, one line as long as the text.
hostile_games() {
    awk -v dir="$bench/hostile" 'BEGIN {
        size = 500000
        head = "0.00\tinfo\tGame_Version\t436\n0.00\tmap\tName\tDM-Test.unr\n0.00\tmap\tTitle\tTest\n"
        dm = head "0.00\tgame\tGameName\tTournament DeathMatch\n0.00\tgame\tFragLimit\t20\n"
        end = "599.00\tgame_end\tx\n"
        a = "0.00\tplayer\tConnect\tA\t0\tFalse\n0.00\tplayer\tIsABot\t0\tFalse\n0.00\tplayer\tSkill\t0\t1.000000\n"
        b = "0.00\tplayer\tConnect\tB\t1\tFalse\n0.00\tplayer\tIsABot\t1\tFalse\n0.00\tplayer\tSkill\t1\t1.000000\n"

        t = head "0.00\tgame\tGameName\tAssault\n0.00\tgame\tFragLimit\t20\n"
        for (i = 0; length(t) < size / 2; i++) t = t "1.00\tassault_attacker\ta" i "\n"
        for (i = 0; length(t) + 60 < size; i++) t = t "2.00\tplayer\tTeamchange\t" (i % 16) "\tt" i "\n"
        write("assault", t end)

        t = dm
        while (length(t) < size - 200) t = t "0.00\tplayer\tSkill\t0\t1.0\n"
        write("skills", t a end)

        t = dm a
        while (length(t) < size - 100) t = t "1.00\tplayer\tRename\tBeta\t0\n1.00\tplayer\tRename\tA\t0\n"
        write("renames", t end)

        t = dm a b "1.00\tgame_start\n"
        while (length(t) < size - 100) t = t "3.00\titem_get\tShock Core\t1\n4.00\tkill\t1\tShock Rifle\t0\tShock Rifle\tx\n"
        write("events", t end)

        t = "0.00\tinfo\t"
        while (length(t) < size - 30) t = t "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk"
        write("one_line", t "\tgame_end\tx\n")
    }
    function write(name, text) {
        system("mkdir -p \"" dir "/" name "\"")
        printf "%s", text > (dir "/" name "/games.log")
        close(dir "/" name "/games.log")
    }'
}

echo "writing the sessions into $bench ..."
make_session generated --games 100 --size 400k --seed 20001 --end limit
make_session add-on --games 60 --size 940k --seed 20002 --end limit --mods
make_session ten --games 10 --size 20k --seed 20001 --end limit
make_session thousand --games 1000 --size 20k --seed 20001 --end limit
[ -d "$bench/hostile" ] || hostile_games
for s in $(seq 1 100); do make_session "many-$s" --games 100 --seed $((30000 + s)) --end limit --varied-names; done

time_session generated
time_session add-on
if [ -n "$real_log" ]; then
    real_dir=$(mktemp -d "${TMPDIR:-/tmp}/velstra-bench.XXXXXX")
    trap 'rm -rf "$real_dir"' EXIT
    real_session "$real_log" "$real_dir"
    time_session real "$real_dir"
fi
echo "peak memory: $(peak_kb ten) kB for 10 games, $(peak_kb thousand) kB for 1000 games (of 20k)," \
    "$(peak_kb generated) kB for the generated and $(peak_kb add-on) kB for the add-on session"

time_import generated
many_1000=$(import_peak_kb 10)
many_5000=$(import_peak_kb 50)
many_10000=$(import_peak_kb 100)
games=$("$velstra" games --db "$bench/many.db" | wc -l)
echo "import peak memory: $many_1000 kB for 1,000 games, $many_5000 kB for 5,000, $many_10000 kB for $games;" \
    "history $(wc -c <"$bench/many.db") bytes, $(($(wc -c <"$bench/many.db") / games)) bytes per game"

# site_peak_kb HISTORY: the peak memory of writing its site.
site_peak_kb() {
    rm -rf "$bench/site"
    /usr/bin/time -v "$velstra" site --db "$1" -o "$bench/site" 2>&1 >/dev/null |
        awk -F': ' '/Maximum resident set size/ { print $2 }'
}
(cd "$bench" && hyperfine -N --warmup 1 --runs 5 --prepare "rm -rf site" --export-csv site.csv \
    "$velstra site --db many.db -o site" >/dev/null 2>&1)
awk -F, 'NR == 2 { printf "site of the 10,000 games: %.2f s (mean of 5)\n", $2 }' "$bench/site.csv"
for n in 6 50; do
    for s in $(seq 1 100); do
        make_session "evening-$n-$s" --games "$n" --seed $((50000 + s)) --end limit \
            --date "$(date -u -d "2001-01-01 + $s days" +%F) 20:00"
    done
    db=$bench/evenings-$n.db
    rm -f "$db" "$db-wal" "$db-shm"
    "$velstra" import --db "$db" "$bench"/evening-"$n"-* >/dev/null
done
echo "site peak memory, 100 evenings: $(site_peak_kb "$bench/evenings-6.db") kB for 600 games," \
    "$(site_peak_kb "$bench/evenings-50.db") kB for 5,000"

echo "hostile games (one game each, about 500,000 characters):"
for game in assault skills renames events one_line; do
    (cd "$bench/hostile/$game" && hyperfine -N --warmup 1 --runs 3 --prepare "sh -c 'rm -f error.log velstra*.html; sync'" \
        --export-csv "$bench/hostile-$game.csv" "$analyser -ni" >/dev/null 2>&1)
    awk -F, -v game="$game" 'NR == 2 { printf "  %-9s %.1f ms\n", game, $4 * 1000 }' "$bench/hostile-$game.csv"
done
