#!/bin/sh
# Checks that the documents say what a newcomer needs: the README's "Needs"
# paragraph names every package `make check` installs.
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

needs=$(sed -n '/^Needs:/,/^$/p' README.md)
for package in $(sh tools/install-deps.sh --list); do
    says "$needs" "\`$package\`" || fail "README.md: the Needs paragraph does not name \`$package\`"
done

echo "documents: complete"
