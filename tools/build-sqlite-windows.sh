#!/bin/sh
# Builds SQLite for the Windows programs: a static library for mingw-w64,
# compiled from Debian's own sqlite3 source package (with Debian's patches),
# so that the Windows history is the same SQLite as the Linux one and nothing
# comes from anywhere but the machine's own Debian archive.
#
# The source comes through apt: a deb-src entry is added for the release the
# machine runs, with the address of the machine's own deb entry (so no host
# name is kept in the project), then `apt-get source sqlite3`. The amalgamation
# (one sqlite3.c) is generated with tclsh and cross-compiled.
#
#   tools/build-sqlite-windows.sh [OUT]     (default build/sqlite-windows)
#
# Writes OUT/lib/libsqlite3.a and OUT/include/sqlite3.h; the work files stay in
# OUT/work. A second run with the same compiler flags does nothing. Needs root
# for apt-get, unless the packages and the deb-src entry are there already.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/build/sqlite-windows}
mkdir -p "$out"
out=$(realpath "$out")
work=$out/work

cc=x86_64-w64-mingw32-gcc-posix
ar=x86_64-w64-mingw32-ar
# Thread-safe, as Debian builds it for Linux; extensions are never loaded.
cflags="-O2 -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION"
# Which build the library is, to tell whether it must be built again.
stamp_text="$cc $cflags"

fail() {
    echo "build-sqlite-windows: $*" >&2
    exit 1
}

if [ -f "$out/lib/libsqlite3.a" ] && [ -f "$out/include/sqlite3.h" ] &&
    [ "$(cat "$out/stamp" 2>/dev/null)" = "$stamp_text" ]; then
    echo "SQLite for Windows: already built in $out"
    exit 0
fi

# tclsh generates the amalgamation; the host compiler builds the generators
# it runs (lemon, mkkeywordhash); dpkg-dev unpacks the source package.
sh "$top/tools/install-deps.sh" tcl dpkg-dev gcc make gcc-mingw-w64-x86-64-posix ||
    fail "the packages above are needed"

# The deb-src twin of every deb entry of this release: deb822 stanzas and
# classic one-line entries alike. An entry of another release (a vendor's
# archive for "nodistro" or "cloud-sdk-bookworm") is left out, and so is a
# stanza that has its deb-src already.
release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$release" ] || fail "/etc/os-release names no release (VERSION_CODENAME)"
source_stanzas() {
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        case $f in */velstra-sqlite-source.sources) continue ;; esac
        awk -v rel="$release" '
            function flush() {
                if (deb && ours && enabled && !src) printf "Types: deb-src\n%s\n", body
                deb = 0; src = 0; ours = 0; enabled = 1; body = ""
            }
            BEGIN { enabled = 1 }
            /^[ \t]*$/ { flush(); next }
            /^#/ { next }
            tolower($1) == "types:" { for (i = 2; i <= NF; i++) { if ($i == "deb") deb = 1; if ($i == "deb-src") src = 1 }; next }
            tolower($1) == "enabled:" { if (tolower($2) == "no") enabled = 0 }
            tolower($1) == "suites:" { for (i = 2; i <= NF; i++) if ($i == rel || index($i, rel "-") == 1) ours = 1 }
            { body = body $0 "\n" }
            END { flush() }' "$f"
    done
}
source_lines() {
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        case $f in */velstra-sqlite-source.list) continue ;; esac
        # deb [options] URI SUITE COMPONENT...
        awk -v rel="$release" '
            $1 != "deb" { next }
            {
                i = 2
                if ($2 ~ /^\[/) {
                    while ($i !~ /\]$/ && i < NF) i++
                    i++
                }
                suite = $(i + 1)
                if (suite == rel || index(suite, rel "-") == 1) { sub(/deb/, "deb-src"); print }
            }' "$f"
    done
}

# Writes FILE with TEXT unless it holds it already; an empty TEXT removes it.
put_entry() {
    if [ -z "$2" ]; then
        rm -f "$1"
    elif [ "$(cat "$1" 2>/dev/null)" != "$2" ]; then
        printf '%s\n' "$2" >"$1"
    fi
}

fetch_source() {
    rm -rf "$work/source"
    mkdir -p "$work/source"
    (cd "$work/source" && apt-get source -qq sqlite3 >"$work/apt-source.log" 2>&1)
}

if [ ! -f "$work/source/done" ]; then
    if [ "$(id -u)" -eq 0 ]; then
        stanzas=$(source_stanzas)
        lines=$(source_lines)
        [ -n "$stanzas$lines" ] || fail "no deb entry for $release in /etc/apt/sources.list or sources.list.d"
        # Only the new entries are read again: the machine's own lists are
        # left as they are, and a slow or broken vendor archive cannot stop us.
        parts=$work/apt-parts
        rm -rf "$parts"
        mkdir -p "$parts"
        put_entry /etc/apt/sources.list.d/velstra-sqlite-source.sources "$stanzas"
        put_entry /etc/apt/sources.list.d/velstra-sqlite-source.list "$lines"
        put_entry "$parts/velstra-sqlite-source.sources" "$stanzas"
        put_entry "$parts/velstra-sqlite-source.list" "$lines"
        apt-get update -qq -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$parts" \
            -o APT::Get::List-Cleanup=0 >"$work/apt-update.log" 2>&1 ||
            fail "apt-get update of the deb-src entries failed: $(cat "$work/apt-update.log")"
    fi
    if ! fetch_source; then
        [ "$(id -u)" -eq 0 ] ||
            fail "apt-get source sqlite3 failed; run as root to add the deb-src entry: $(cat "$work/apt-source.log")"
        fail "apt-get source sqlite3 failed: $(cat "$work/apt-source.log")"
    fi
    touch "$work/source/done"
fi
dsc=$(ls "$work/source"/sqlite3_*.dsc)
tree=$(find "$work/source" -mindepth 1 -maxdepth 1 -type d -name 'sqlite3-*')
[ -n "$tree" ] && [ -f "$tree/configure" ] || fail "no unpacked source tree in $work/source"

# The amalgamation alone: its make target runs only the generators it needs.
amalgamation=$work/amalgamation
if [ ! -f "$amalgamation/sqlite3.c" ] || [ ! -f "$amalgamation/sqlite3.h" ]; then
    rm -rf "$amalgamation"
    mkdir -p "$amalgamation"
    (cd "$amalgamation" && "$tree/configure" --disable-tcl >configure.log 2>&1) ||
        fail "configure failed: $(tail -n 20 "$amalgamation/configure.log")"
    (cd "$amalgamation" && make -j 2 sqlite3.c >make.log 2>&1) ||
        fail "make sqlite3.c failed: $(tail -n 20 "$amalgamation/make.log")"
fi

rm -rf "$out/lib" "$out/include" "$out/stamp"
mkdir -p "$out/lib" "$out/include"
"$cc" $cflags -c "$amalgamation/sqlite3.c" -o "$work/sqlite3.o" || fail "$cc failed on sqlite3.c"
"$ar" rcs "$out/lib/libsqlite3.a" "$work/sqlite3.o"
cp "$amalgamation/sqlite3.h" "$out/include/sqlite3.h"
printf '%s\n' "$stamp_text" >"$out/stamp"
echo "SQLite for Windows: $(basename "$dsc" .dsc) built in $out"
