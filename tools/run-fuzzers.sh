#!/bin/sh
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer), writes their seeds, runs every seed through each target and then
# fuzzes each for SECONDS. Any finding fails the run; the crashing input is
# left in build/fuzz/findings/.
#
#   tools/run-fuzzers.sh [SECONDS]      (default 20 per target)
set -eu
seconds=${1:-20}
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
mkdir -p "$work/seeds/game" "$work/seeds/user_ini" "$work/seeds/convert" "$work/findings"

# Seeds: the sample session and small generated games of every type and form.
cp examples/session/games*.log "$work/seeds/game/"
cp examples/session/User.ini "$work/seeds/user_ini/"
seed=1
for type in dm ttg ctf dom as lms; do
    "$loggen" --type "$type" --seed "$seed" --size 12k -o "$work/seeds/game/$type-16.log" 2>/dev/null
    "$loggen" --type "$type" --seed "$seed" --size 8k --encoding 8 --lf -o "$work/seeds/game/$type-8.log" 2>/dev/null
    seed=$((seed + 1))
done
"$loggen" --session "$work/session" --games 2 --seed 9 2>/dev/null
cp "$work/session/User.ini" "$work/seeds/user_ini/generated.ini"
cp "$work/seeds/game/"*-16.log "$work/seeds/convert/"

# The targets change into a scratch folder before they read their arguments:
# every path they are given is absolute.
status=0
for target in game user_ini convert; do
    corpus="$work/corpus/$target"
    mkdir -p "$corpus"
    dict=""
    if [ -f "fuzz/fuzz_$target.dict" ]; then dict="-dict=$top/fuzz/fuzz_$target.dict"; fi
    echo "fuzz_$target: seeds, then $seconds s"
    if ! build/fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=600000 -print_final_stats=0 -artifact_prefix="$work/findings/$target-" ${dict:+"$dict"} \
        "$corpus" "$work/seeds/$target" >"$work/$target.out" 2>&1; then
        echo "fuzz_$target: FINDING, see $work/$target.out and $work/findings/" >&2
        tail -40 "$work/$target.out" >&2
        status=1
    else
        grep -E '^Done [0-9]+ runs' "$work/$target.out" || true
    fi
done
exit $status
