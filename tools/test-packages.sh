#!/bin/sh
# Checks the packages of `make dist`: runs lintian on the Debian package (any
# error fails), unpacks it into a scratch root (dpkg-deb -x, so the system is
# not touched), checks its control data, files and manual pages and runs its
# programs on its own copy of the sample session; unpacks the Windows zip,
# checks that it holds the three programs, the README and the sample session
# and nothing else, and runs its analyser.exe under wine on its sample
# session. Both analysers must print the same report and write the same page
# (up to the page's CR LF line ends on Windows); both velstra programs must
# start and name the same version.
#
#   tools/test-packages.sh [DIST]      (default build/dist)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
dist=$(realpath "${1:-$top/build/dist}")
version=$(sed -n 's/^project(velstra VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
deb=$dist/velstra_${version}_amd64.deb
zip=$dist/velstra-$version-win64.zip

fail() {
    echo "test-packages: $*" >&2
    exit 1
}
for f in "$deb" "$zip"; do [ -f "$f" ] || fail "$f is missing (make dist)"; done
command -v lintian >/dev/null || fail "lintian is missing (make deps)"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/velstra-packages.XXXXXX")
cleanup() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# Copies a sample session into a folder of its own, every log dated 14 July
# 2001 (the page is named after the last log's date).
sample_copy() {
    mkdir -p "$2"
    cp "$1"/* "$2"/
    for log in "$2"/games*.log; do touch -d '2001-07-14 12:00:00 UTC' "$log"; done
}

# ---------------------------------------------------------------- Debian package
control=$(dpkg-deb -f "$deb")
echo "$control" | grep -qx "Package: velstra" || fail "deb: wrong package name"
echo "$control" | grep -qx "Version: $version" || fail "deb: wrong version"
email=$(sed -n 's/.*AUTHOR_EMAIL = "\(.*\)";/\1/p' "$top/common/author_info.h")
echo "$control" | grep -q "^Maintainer: .*<$email>$" || fail "deb: maintainer is not <$email>"
echo "$control" | grep -q "^Depends: .*libc6" || fail "deb: no dependency on the C library"
echo "$control" | grep -q "^Depends: .*libsqlite3-0" || fail "deb: no dependency on SQLite's library"
echo "$control" | grep -qx "Section: utils" || fail "deb: section is not utils"
# Every tag is shown; an error fails. (CI runs as root, which lintian
# advises against on every run: that line is left out.)
status=0
lintian --fail-on error "$deb" >"$scratch/lintian.txt" 2>&1 || status=$?
grep -v 'running with root privileges' "$scratch/lintian.txt" || true
[ "$status" -eq 0 ] || fail "deb: lintian reports errors (above)"

root=$scratch/root
dpkg-deb -x "$deb" "$root"
doc=$root/usr/share/doc/velstra
for f in usr/bin/analyser usr/bin/logconvert usr/bin/velstra usr/share/man/man1/analyser.1.gz \
    usr/share/man/man1/logconvert.1.gz usr/share/man/man1/velstra.1.gz \
    usr/share/doc/velstra/README.md usr/share/doc/velstra/docs/session-page.png \
    usr/share/doc/velstra/docs/games-page.png \
    usr/share/doc/velstra/copyright usr/share/doc/velstra/changelog.gz \
    usr/share/doc/velstra/examples/session/games.log \
    usr/share/doc/velstra/examples/session/User.ini \
    usr/share/doc/velstra/examples/systemd/velstra-update.service \
    usr/share/doc/velstra/examples/systemd/velstra-update.timer \
    usr/share/doc/velstra/examples/cron/velstra-update; do
    [ -f "$root/$f" ] || fail "deb: /$f is missing"
done
for program in analyser logconvert velstra; do
    [ -x "$root/usr/bin/$program" ] || fail "deb: /usr/bin/$program is not executable"
    page=$root/usr/share/man/man1/$program.1.gz
    gzip -dc "$page" | grep -q '^\.SH EXIT STATUS' || fail "deb: the manual page of $program has no exit codes"
    if command -v man >/dev/null; then
        # man reports every roff mistake with --warnings.
        warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "deb: the manual page of $program: $warnings"
    fi
done

linux_run=$scratch/linux
sample_copy "$doc/examples/session" "$linux_run"
status=0
(cd "$linux_run" && "$root/usr/bin/analyser" >console.txt) || status=$?
[ "$status" -eq 0 ] || fail "deb: analyser ended with $status on the sample session"
head -n 1 "$linux_run/console.txt" | grep -qx "VELSTRA v$version" || fail "deb: analyser printed no banner"
[ -s "$linux_run/velstra14072001.html" ] || fail "deb: analyser wrote no page"
[ -s "$linux_run/velstra14072001-games.html" ] || fail "deb: analyser wrote no games page"
grep -q "^Session analysed in .* seconds" "$linux_run/error.log" || fail "deb: analyser's error.log is incomplete"

status=0
(cd "$linux_run" && "$root/usr/bin/logconvert" -v >credits.txt) || status=$?
[ "$status" -eq 0 ] || fail "deb: logconvert -v ended with $status"
head -n 1 "$linux_run/credits.txt" | grep -q "^Programm Version: " || fail "deb: logconvert -v printed no credits"

status=0
"$root/usr/bin/velstra" --version >"$linux_run/velstra-version.txt" </dev/null || status=$?
[ "$status" -eq 0 ] || fail "deb: velstra --version ended with $status"
grep -qF "$version" "$linux_run/velstra-version.txt" || fail "deb: velstra --version does not name $version"

# The nightly job of the examples: the first update imports and builds the
# site, the next finds nothing changed and says nothing.
for night in 1 2; do
    status=0
    "$root/usr/bin/velstra" update --db "$linux_run/history.db" -o "$linux_run/site" "$doc/examples/session" \
        >"$linux_run/update$night.txt" </dev/null || status=$?
    [ "$status" -eq 0 ] || fail "deb: velstra update ended with $status on night $night"
done
grep -q "^7 games added, .*; .*/site: .* written" "$linux_run/update1.txt" ||
    fail "deb: the first velstra update did not build the site: $(cat "$linux_run/update1.txt")"
[ -s "$linux_run/site/index.html" ] || fail "deb: velstra update wrote no index.html"
[ ! -s "$linux_run/update2.txt" ] || fail "deb: velstra update with nothing new printed: $(cat "$linux_run/update2.txt")"

# ---------------------------------------------------------------- Windows zip
top_dir=velstra-$version-win64
expected=$(
    {
        printf '%s\n' "$top_dir/analyser.exe" "$top_dir/logconvert.exe" "$top_dir/velstra.exe" "$top_dir/README.md" \
            "$top_dir/docs/session-page.png" "$top_dir/docs/games-page.png"
        for f in "$top"/examples/session/*; do echo "$top_dir/examples/session/${f##*/}"; done
    } | sort
)
found=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
[ "$found" = "$expected" ] || fail "zip: holds
$found
instead of
$expected"

unzip -q "$zip" -d "$scratch/zip"
windows_run=$scratch/windows
sample_copy "$scratch/zip/$top_dir/examples/session" "$windows_run"

export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1 || fail "wineserver failed to start"
wineboot --init </dev/null >"$scratch/wineboot.log" 2>&1 || fail "wineboot failed: $(cat "$scratch/wineboot.log")"
status=0
(cd "$windows_run" && wine "$scratch/zip/$top_dir/analyser.exe" >console.txt </dev/null) || status=$?
[ "$status" -eq 0 ] || fail "zip: analyser.exe ended with $status on the sample session"
cmp -s "$linux_run/console.txt" "$windows_run/console.txt" || fail "zip: analyser.exe printed another report"
for page in velstra14072001.html velstra14072001-games.html; do
    [ -s "$windows_run/$page" ] || fail "zip: analyser.exe wrote no $page"
    # The same page, written in text mode: CR LF at every line end.
    sed 's/$/\r/' "$linux_run/$page" | cmp -s - "$windows_run/$page" || fail "zip: analyser.exe wrote another $page"
done

status=0
wine "$scratch/zip/$top_dir/velstra.exe" --version >"$windows_run/velstra-version.txt" </dev/null || status=$?
[ "$status" -eq 0 ] || fail "zip: velstra.exe --version ended with $status"
cmp -s "$linux_run/velstra-version.txt" "$windows_run/velstra-version.txt" ||
    fail "zip: velstra.exe --version printed another text than the Linux program"

echo "packages: $(basename "$deb") and $(basename "$zip") install and run the sample session"
