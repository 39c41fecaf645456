#!/bin/sh
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer), writes their seeds, runs the committed corpus (fuzz/corpus/)
# and every seed through each target and then fuzzes each for SECONDS. Any
# finding fails the run; the crashing input is left in
# build/fuzz/work/findings/. The run works on a copy of the corpus, so the
# repository stays as it is.
#
#   tools/run-fuzzers.sh [SECONDS]           (default 20 per target)
#   tools/run-fuzzers.sh --merge [SECONDS]   then merge what the run found
#                                            back into fuzz/corpus/
#
# --merge keeps only the inputs that reach code the committed corpus does not
# (libFuzzer's -merge=1, by edges alone: a new loop count is no reason for a
# file), cut to CORPUS_MAX_LEN bytes (default 16384).
set -eu
merge=no
if [ "${1:-}" = "--merge" ]; then
    merge=yes
    shift
fi
seconds=${1:-20}
max_len=${CORPUS_MAX_LEN:-16384}
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
# The generator comes from the normal build (it needs no instrumentation).
cmake --preset default >/dev/null
cmake --build --preset default --target loggen >/dev/null
loggen=build/default/tools/loggen

work="$top/build/fuzz/work"
rm -rf "$work"
mkdir -p "$work/seeds/game" "$work/seeds/user_ini" "$work/seeds/convert" "$work/seeds/import" "$work/findings"

# Seeds: the sample session and small generated games of every type, end and
# form (16-bit with and without byte-order mark, 8-bit with CR LF and LF).
cp examples/session/games*.log "$work/seeds/game/"
cp examples/session/User.ini "$work/seeds/user_ini/"
seed=1
for type in dm ttg ctf dom as lms; do
    for end in limit timelimit mapchange; do
        g="$work/seeds/game/$type-$end"
        "$loggen" --type "$type" --end "$end" --seed "$seed" --size 12k -o "$g-16.log" 2>/dev/null
        "$loggen" --type "$type" --end "$end" --seed "$seed" --size 12k --no-bom -o "$g-16-nobom.log" 2>/dev/null
        "$loggen" --type "$type" --end "$end" --seed "$seed" --size 8k --encoding 8 --lf -o "$g-8.log" 2>/dev/null
        "$loggen" --type "$type" --end "$end" --seed "$seed" --size 4k --encoding 8 --players 0 --bots 2 \
            -o "$g-8-bots.log" 2>/dev/null
        seed=$((seed + 1))
    done
done
for n in 1 2 3; do
    "$loggen" --session "$work/session$n" --games 1 --seed "$((seed + n))" --players "$n" 2>/dev/null
    cp "$work/session$n/User.ini" "$work/seeds/user_ini/generated$n.ini"
done
cp "$work/seeds/game/"*-limit-16.log "$work/seeds/game/"*-limit-8.log "$work/seeds/convert/"
# An import stores a game of every type, end and form, and skips the rest.
cp "$work/seeds/game/"*.log "$work/seeds/import/"

# A merge starts the target again by the path it was started with: every
# path is absolute.
status=0
for target in game user_ini convert import; do
    fuzzer="$top/build/fuzz/fuzz/fuzz_$target"
    corpus="$work/corpus/$target"
    mkdir -p "$corpus"
    # An import reads the same logs as the analysis of a game: it starts
    # from the games the analysis found too, and knows the same words.
    words=$target
    starts=$target
    if [ "$target" = import ]; then
        words=game
        starts="import game"
    fi
    for from in $starts; do
        if [ -d "fuzz/corpus/$from" ]; then cp -R "fuzz/corpus/$from/." "$corpus/"; fi
    done
    dict=""
    if [ -f "fuzz/fuzz_$words.dict" ]; then dict="-dict=$top/fuzz/fuzz_$words.dict"; fi
    echo "fuzz_$target: $(ls "$corpus" | wc -l) corpus files and the seeds, then $seconds s"
    if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=600000 -print_final_stats=0 -artifact_prefix="$work/findings/$target-" ${dict:+"$dict"} \
        "$corpus" "$work/seeds/$target" >"$work/$target.out" 2>&1; then
        echo "fuzz_$target: FINDING, see $work/$target.out and $work/findings/" >&2
        tail -40 "$work/$target.out" >&2
        status=1
    else
        grep -E '^Done [0-9]+ runs' "$work/$target.out" || true
    fi
    if [ "$merge" = yes ]; then
        committed="$top/fuzz/corpus/$target"
        mkdir -p "$committed"
        before=$(ls "$committed" | wc -l)
        if ! "$fuzzer" -merge=1 -use_counters=0 -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
            "$committed" "$corpus" "$work/seeds/$target" >"$work/$target.merge" 2>&1 ||
            ! grep -q '^MERGE-INNER' "$work/$target.merge"; then
            echo "fuzz_$target: the merge failed, see $work/$target.merge" >&2
            status=1
        fi
        echo "fuzz_$target: fuzz/corpus/$target had $before files, has $(ls "$committed" | wc -l)"
    fi
done
exit $status
