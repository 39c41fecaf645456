#!/bin/sh
# Times the analyser on a session of large generated 16-bit games against
# reading the same files with cat, and measures its peak memory.
#
#   tools/benchmark.sh [games] [size] [runs]
#
# games: games in the timed session (default 200); size: bytes per log, with
# k or m (default 400k); runs: timed runs of each command (default 5).
# Builds the default preset first. The session is written to build/bench/.
set -eu

games=${1:-200}
size=${2:-400k}
runs=${3:-5}

top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/default"
bench="$top/build/bench"

cmake --preset default >/dev/null
cmake --build --preset default --target analyser loggen >/dev/null
analyser="$build/analyser/analyser"
loggen="$build/tools/loggen"

now_ns() { date +%s%N; }

# Median of the numbers on standard input.
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

make_session() {  # folder games size
    rm -rf "$1"
    "$loggen" --session "$1" --games "$2" --size "$3" --seed 20001 --end limit >/dev/null
}

# Peak resident memory of one analyser run, in kB.
peak_kb() {
    (cd "$1" && rm -f error.log velstra*.html &&
        /usr/bin/time -v "$analyser" -ni 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ { print $2 }')
}

echo "writing $games games of about $size each ..."
make_session "$bench/session" "$games" "$size"
bytes=$(cat "$bench"/session/games*.log | wc -c)
cat "$bench"/session/games*.log >/dev/null  # warm the cache

: >"$bench/cat.times"
: >"$bench/analyser.times"
i=0
while [ "$i" -lt "$runs" ]; do
    t0=$(now_ns)
    cat "$bench"/session/games*.log >/dev/null
    t1=$(now_ns)
    (cd "$bench/session" && rm -f error.log velstra*.html && "$analyser" -ni >/dev/null)
    t2=$(now_ns)
    echo $(((t1 - t0) / 1000)) >>"$bench/cat.times"
    echo $(((t2 - t1) / 1000)) >>"$bench/analyser.times"
    i=$((i + 1))
done
cat_us=$(median <"$bench/cat.times")
analyser_us=$(median <"$bench/analyser.times")

echo "input:            $games games, $bytes bytes"
echo "cat median:       $cat_us us"
echo "analyser median:  $analyser_us us"
awk -v a="$analyser_us" -v c="$cat_us" -v b="$bytes" 'BEGIN {
    printf "ratio:            %.2f (analyser / cat)\n", a / c
    printf "input rate:       %.1f MB/s\n", b / a
}'
echo "peak memory:      $(peak_kb "$bench/session") kB ($games games)"

# Memory must not grow with the number of games: 10 against 1000 small ones.
make_session "$bench/ten" 10 20k
make_session "$bench/thousand" 1000 20k
echo "peak memory:      $(peak_kb "$bench/ten") kB (10 games of 20k)"
echo "peak memory:      $(peak_kb "$bench/thousand") kB (1000 games of 20k)"
