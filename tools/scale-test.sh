#!/bin/sh
# The site's scale test: ten years of a busy server. 100,000 generated games
# in 100 folders of 1,000 (loggen --size 6k --encoding 8 --end limit), GAMES
# games an evening (default 10), imported into one history; then a full
# build of the site into an empty folder (hyperfine, warm), its peak memory,
# and a build after one more evening of 10 games.
#
#   tools/scale-test.sh [GAMES]     (work in build/scale; about 1 GB of logs)
#
# The logs and the history are made once and kept for the next run.
set -eu
per=${1:-10}
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/default"
work="$top/build/scale/$per"
for tool in hyperfine /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "scale-test: $tool is missing (apt-get install hyperfine time)" >&2; exit 1; }
done
cmake --preset default >/dev/null
cmake --build --preset default --target loggen velstra >/dev/null
loggen="$build/tools/loggen"
velstra="$build/velstra/velstra"
mkdir -p "$work/logs"

# Folder i starts on its own day, after the evenings of the folders before.
i=0
while [ $i -lt 100 ]; do
    if [ ! -d "$work/logs/f$i" ]; then
        day=$(date -u -d "2001-01-01 + $((i * 1000 / per + i)) days" +%Y-%m-%d)
        "$loggen" --session "$work/logs/f$i" --games 1000 --size 6k --encoding 8 --end limit \
            --evening-games "$per" --date "$day 20:00" --seed $((i + 1)) >/dev/null 2>&1
    fi
    i=$((i + 1))
done
if [ ! -f "$work/history.db" ]; then
    echo "importing 100,000 games:"
    /usr/bin/time -f "  %e s, %M KB peak" "$velstra" import --db "$work/history.db" "$work"/logs/f*
fi
ls -l "$work/history.db"

echo "a full build into an empty folder:"
hyperfine --warmup 1 --runs 3 --prepare "rm -rf '$work/site'" "'$velstra' site --db '$work/history.db' -o '$work/site'"
rm -rf "$work/site"
/usr/bin/time -f "  %e s, %U s user, %S s system, %M KB peak" "$velstra" site --db "$work/history.db" -o "$work/site"

echo "after one more evening of 10 games:"
day=$(date -u -d "2001-01-01 + $((100 * 1000 / per + 101)) days" +%Y-%m-%d)
rm -rf "$work/evening"
"$loggen" --session "$work/evening" --games 10 --size 6k --encoding 8 --end limit --evening-games 10 \
    --date "$day 20:00" --seed 1001 >/dev/null 2>&1
cp "$work/history.db" "$work/history-plus.db"
"$velstra" import --db "$work/history-plus.db" "$work/evening"
rm -rf "$work/site-before"
cp -a "$work/site" "$work/site-before"
hyperfine --warmup 1 --runs 5 --prepare "rm -rf '$work/site' && cp -a '$work/site-before' '$work/site'" \
    "'$velstra' site --db '$work/history-plus.db' -o '$work/site'"
rm -rf "$work/site"
cp -a "$work/site-before" "$work/site"
/usr/bin/time -f "  %e s, %M KB peak" "$velstra" site --db "$work/history-plus.db" -o "$work/site"
