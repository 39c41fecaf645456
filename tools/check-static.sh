#!/bin/sh
# Fails on any clang-format difference in the project's sources and on any
# clang-tidy finding in the programs' own code (the tests are formatted but
# not tidied: the test macros trip checks meant for product code); then the
# checks of the documents.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# clang-tidy reads the compile commands of the default preset.
[ -f build/default/compile_commands.json ] || cmake --preset default >/dev/null
git ls-files 'analyser/*.cpp' 'common/*.cpp' 'history/*.cpp' 'html/*.cpp' 'logconvert/*.cpp' 'ratings/*.cpp' 'site/*.cpp' 'tools/*.cpp' 'velstra/*.cpp' |
    xargs -P 2 -n 4 clang-tidy --quiet -p build/default 2>/dev/null
sh tools/check-docs.sh
echo "static checks: clean"
