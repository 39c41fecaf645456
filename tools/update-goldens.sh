#!/bin/sh
# Rewrites the expected files of every golden session (tests/golden/*/expected,
# and the sites of tests/golden/*/expected-site) from what the programs do now. Review the change with git diff: every line
# that moved must be one you meant to move.
#
#   tools/update-goldens.sh [SESSION...]   (default: all of them)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
cmake --preset default >/dev/null
cmake --build --preset default -j 2 >/dev/null
filter='Sessions/GoldenSession.*:Sites/GoldenSite.*'
if [ $# -gt 0 ]; then
    filter=$(for s in "$@"; do printf 'Sessions/GoldenSession.MatchesTheExpectedFiles/%s:Sites/GoldenSite.*/%s:' "$s" "$s"; done)
fi
VELSTRA_UPDATE_GOLDENS=1 build/default/tests/unit_tests --gtest_filter="$filter" --gtest_brief=1
git status --short tests/golden
