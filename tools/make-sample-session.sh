#!/bin/sh
# Makes the sample session examples/session/ with the log generator: eight
# games of a fixed seed (the first six show the six game types, a later one
# ends by a map change) and the User.ini of their bots and local player. The
# same generator makes the same bytes, so the sample can always be made again.
#
# usage: tools/make-sample-session.sh [FOLDER]    (default: examples/session)
# The generator is $LOGGEN, else build/default/tools/loggen, built when missing.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$root/examples/session"}
loggen=${LOGGEN:-"$root/build/default/tools/loggen"}

if [ ! -x "$loggen" ]; then
    (cd "$root" && cmake --preset default >/dev/null && cmake --build --preset default --target loggen)
fi

mkdir -p "$out"
rm -f "$out"/games*.log "$out"/User.ini
"$loggen" --session "$out" --games 8 --seed 1554 --date "2000-08-15 20:00"
