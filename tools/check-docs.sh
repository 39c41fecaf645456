#!/bin/sh
# Checks that the documents say what a newcomer needs: the README's "Needs"
# paragraph names every package `make check` installs; the README and the
# analyser's manual page explain every figure of the report; both manual
# pages say which files are taken for game logs and that ".tmp" logs are not
# read; the analyser's manual page and the package's description say that it
# writes two pages. The manual pages are checked as man shows them.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

fail() {
    echo "check-docs: $*" >&2
    exit 1
}
# Whether the text $1 holds the words $2 (white space folded to one blank).
says() {
    printf '%s' "$1" | tr -s ' \t\n' '   ' | grep -qF -- "$2"
}
command -v man >/dev/null || fail "man is missing (make deps)"
shown() {
    MANWIDTH=1000 man -l "$1" 2>/dev/null
}

needs=$(sed -n '/^Needs:/,/^$/p' README.md)
for package in $(sh tools/install-deps.sh --list); do
    says "$needs" "\`$package\`" || fail "README.md: the Needs paragraph does not name \`$package\`"
done

figures=$(sed -n '/^## What the figures mean$/,/^## /p' README.md)
analyser=$(shown man/analyser.1)
analyser_figures=$(printf '%s\n' "$analyser" | sed -n '/^WHAT THE FIGURES MEAN$/,/^[A-Z]/p')
for figure in place Winner handycap model killed death fav_weapon fav_victim killrate score ping AS-factor \
    sucided TS-factor "used Quad" Lurch-factor "captured flag" "returned flag"; do
    says "$figures" "$figure" || fail "README.md: \"What the figures mean\" does not explain $figure"
    says "$analyser_figures" "$figure" || fail "man/analyser.1: WHAT THE FIGURES MEAN does not explain $figure"
done
says "$figures" ".tmp" || fail "README.md: \"What the figures mean\" does not say what .tmp logs are"
says "$figures" "taken for a game log" || fail "README.md: \"What the figures mean\" does not say which files are game logs"

for page in man/analyser.1 man/logconvert.1; do
    text=$(shown "$page")
    says "$text" "never finished" || fail "$page does not say that .tmp logs are games the server never finished"
    says "$text" "taken for a game log" || fail "$page does not say that every .log file is taken for a game log"
done
says "$analyser" "writes two HTML pages" || fail "man/analyser.1 does not say that the analyser writes two pages"
says "$(sed -n '/CPACK_PACKAGE_DESCRIPTION$/,/")$/p' cmake/packaging.cmake)" "two HTML pages" ||
    fail "cmake/packaging.cmake: the package's description does not say that the analyser writes two pages"
echo "documents: complete"
