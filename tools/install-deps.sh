#!/bin/sh
# Installs the packages the build and the tests need, when they are missing.
# Uses apt-get when run as root; otherwise only reports what is missing.
#
#   tools/install-deps.sh              everything `make check` needs
#   tools/install-deps.sh PACKAGE...   only these (`make windows`, `make dist`)
#   tools/install-deps.sh --list       print the packages of `make check`
set -eu

# The history is an SQLite file (libsqlite3-dev); tools/check-history.sh and
# the tests that run it read it with the sqlite3 shell. The Windows programs are
# built with mingw-w64, their SQLite from Debian's source package (dpkg-dev
# unpacks it, tcl generates its one-file form), and tested under wine; the
# packages are made with CPack (dpkg-dev for the .deb's dependencies, zip)
# and checked with unzip, man and lintian. The fuzzers need clang's runtime
# libraries; the unversioned package follows Debian's default clang.
packages="cmake g++ make libgtest-dev libsqlite3-dev sqlite3 chromium clang libclang-rt-dev clang-tidy clang-format time
g++-mingw-w64-x86-64-posix tcl wine wine64 dpkg-dev zip unzip man-db lintian tidy"
if [ "${1:-}" = "--list" ]; then
    printf '%s\n' $packages
    exit 0
fi
[ $# -gt 0 ] && packages="$*"

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    echo "installing:$missing"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
else
    echo "missing packages:$missing (run as root, or install them with apt-get)" >&2
    exit 1
fi
