#!/bin/sh
# Runs the end-to-end tests against the Windows programs under wine: the test
# program of the native build drives analyser.exe and logconvert.exe instead
# of its own programs (VELSTRA_ANALYSER, VELSTRA_LOGCONVERT) and expects the
# same bytes, except that the session page, written in text mode, ends its
# lines in CR LF on Windows (VELSTRA_PAGE_CRLF). Checks first that the .exe
# files need no DLL beside them. Then velstra.exe (SQLite linked in) imports a
# generated session into a fresh history, twice, and lists its games: it must
# print what the Linux program prints from the same logs, and each program
# must read the other's history.
#
#   tools/test-windows.sh [UNIT_TESTS] [WINDOWS_BUILD]
#   (defaults: build/default/tests/unit_tests and build/windows)
set -eu
set -f  # the test filters hold "*"
top=$(cd "$(dirname "$0")/.." && pwd)
unit_tests=${1:-$top/build/default/tests/unit_tests}
windows=${2:-$top/build/windows}
analyser=$windows/analyser/analyser.exe
logconvert=$windows/logconvert/logconvert.exe
velstra=$windows/velstra/velstra.exe
# The Linux programs of the same build as the test program.
native=$(dirname "$unit_tests")/..
native_velstra=$native/velstra/velstra
loggen=$native/tools/loggen

for f in "$unit_tests" "$analyser" "$logconvert" "$velstra" "$native_velstra" "$loggen"; do
    [ -x "$f" ] || { echo "test-windows: $f is missing (make build windows)" >&2; exit 1; }
done
# The tests run the programs from scratch folders.
unit_tests=$(realpath "$unit_tests")
analyser=$(realpath "$analyser")
logconvert=$(realpath "$logconvert")
velstra=$(realpath "$velstra")
native_velstra=$(realpath "$native_velstra")
loggen=$(realpath "$loggen")
for tool in wine wineboot wineserver x86_64-w64-mingw32-objdump; do
    command -v "$tool" >/dev/null || { echo "test-windows: $tool is missing (make deps)" >&2; exit 1; }
done

# Self-contained: the programs import only DLLs that every Windows has.
for exe in "$analyser" "$logconvert" "$velstra"; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
        case $(echo "$dll" | tr 'A-Z' 'a-z') in
        kernel32.dll | msvcrt.dll | user32.dll | advapi32.dll | api-ms-win-*) ;;
        *) echo "test-windows: $exe needs $dll beside it" >&2; exit 1 ;;
        esac
    done
done

# The tests that run the programs. Whole suites where every test does; the
# others by name. Left out, because Windows rightly differs there:
# - LogConvertListing.NamesComeInByteOrderWhateverTheCreationOrder: its
#   UTF-8 name "é.log" is listed in the Windows code page (one byte, 0xE9).
# - LogConvertListing.UpperCaseExtensionIsFoundAndErrorLogComparedExactly:
#   "ERROR.LOG" and "error.log" are one file on Windows.
# - LogConvertFailures.ADanglingLinkIsAFileNotFound and
#   LogConvertRenames.ATargetThatCannotBeOpenedIsNotReplacedEither: a
#   dangling symbolic link is a POSIX thing; wine does not show it at all.
suites="AnalyserCli.* AnalyserSession.* Sessions/GoldenSession.* LogConvertCommandLine.* LogConvertExamples.* LogConvertListing.*
LogConvertFailures.* LogConvertRenames.*"
named="HostileRun.FormatDirectivesInNamesArePrintedAsText HostileRun.GarbageFilesEndTheSessionCleanly
HostileRun.UnwritableErrorLogAndPageLoseNothing LogGen.AnalyserReadsAGeneratedSession
SampleSessionScript.AnalyserReadsEveryGame SessionPage.BrowserShowsFifteenColumnsAndHostileNamesAsText
SessionReport.MapLineAndImageOnlyWhenEveryGameHadOneMap
SessionReport.NoImageSwitchLeavesNoImageTag SessionReport.FlagGamesOnlyShowTheFlagColumns
SessionReport.UnknownGameTypeIsNamedSo SessionReport.RedMarksTheBestHumansUnderEachColumnsCondition
SessionReport.LowestTeamKillRateIsRed SessionReport.NoRedCellWithoutHumans
SessionReport.APlayerRanksBeforeTheFreeSlotsWhateverHisScore SessionReport.SkinImagesAreNamedBeforeTheFirstSlash
SessionReport.PageIsNamedAfterTheLastLogsDate SessionReport.FolderWhereThePageCannotBeCreated
SessionReport.HostileTextsAreEscaped"
excluded="LogConvertListing.NamesComeInByteOrderWhateverTheCreationOrder
LogConvertListing.UpperCaseExtensionIsFoundAndErrorLogComparedExactly
LogConvertFailures.ADanglingLinkIsAFileNotFound LogConvertRenames.ATargetThatCannotBeOpenedIsNotReplacedEither"

# A renamed test would silently drop out of a filter: every name must exist.
listed=$("$unit_tests" --gtest_list_tests | awk '/^[^ ]/ { suite = $1 } /^  / { print suite $1 }')
for name in $named $excluded; do
    echo "$listed" | grep -qx "$name" || { echo "test-windows: no test $name" >&2; exit 1; }
done
for suite in $suites; do
    echo "$listed" | grep -q "^${suite%\*}" || { echo "test-windows: no suite $suite" >&2; exit 1; }
done
filter=$(echo $suites $named | tr ' ' ':')-$(echo $excluded | tr ' ' ':')

scratch=$(mktemp -d "${TMPDIR:-/tmp}/velstra-wine.XXXXXX")
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# A server that stays up for the whole run: one started by the first program
# of a test would hold that test's output pipe open after the program ended.
mkdir -p "$WINEPREFIX"
if ! wineserver -p </dev/null >"$scratch/wineserver.log" 2>&1; then
    echo "test-windows: wineserver failed:" >&2
    cat "$scratch/wineserver.log" >&2
    exit 1
fi
if ! wineboot --init </dev/null >"$scratch/wineboot.log" 2>&1; then
    echo "test-windows: wineboot failed:" >&2
    cat "$scratch/wineboot.log" >&2
    exit 1
fi

# Both C libraries read this zone alike (3 hours east of UTC, no daylight
# saving); a zone name from the tz database means nothing to Windows' own.
# Not UTC, so that a listing in UTC instead of local time shows.
export TZ=EAT-3
export VELSTRA_ANALYSER="wine '$analyser'" VELSTRA_LOGCONVERT="wine '$logconvert'" VELSTRA_PAGE_CRLF=1
"$unit_tests" --gtest_filter="$filter" --gtest_brief=1 >"$scratch/tests.log" 2>&1 || {
    cat "$scratch/tests.log"
    exit 1
}
tail -n 1 "$scratch/tests.log" | sed 's/^/windows programs under wine: /'

# ---------------------------------------------------------------- the history
fail() {
    echo "test-windows: $*" >&2
    exit 1
}
version=$(sed -n 's/^project(velstra VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
unset VELSTRA_DB
history=$scratch/history
mkdir -p "$history"
cd "$history"

status=0
wine "$velstra" --version >version.txt </dev/null || status=$?
[ "$status" -eq 0 ] || fail "velstra.exe --version ended with $status"
grep -qF "$version" version.txt || fail "velstra.exe --version does not name $version: $(cat version.txt)"

# Four finished games.
"$loggen" --session logs --games 4 --seed 20 --end limit --no-user-ini --date "2001-07-14 22:50" >/dev/null 2>&1 ||
    fail "loggen could not write a session"

# Runs velstra.exe (windows) or the Linux program (linux) with ARGS; its
# standard output goes to NAME.txt, its exit code must be 0.
run() {
    side=$1 name=$2
    shift 2
    status=0
    if [ "$side" = windows ]; then
        wine "$velstra" "$@" >"$name.txt" </dev/null || status=$?
    else
        "$native_velstra" "$@" >"$name.txt" </dev/null || status=$?
    fi
    [ "$status" -eq 0 ] || fail "$side: velstra $* ended with $status"
}
for side in windows linux; do
    run $side $side-import import --db $side.db logs
    run $side $side-again import --db $side.db logs
    run $side $side-games games --db $side.db
done
grep -q "^4 games added" windows-import.txt || fail "velstra.exe import: $(cat windows-import.txt)"
grep -q "^0 games added, 4 already in the history" windows-again.txt || fail "velstra.exe import again: $(cat windows-again.txt)"
[ "$(grep -c . windows-games.txt)" -ge 4 ] || fail "velstra.exe games lists fewer than 4 games: $(cat windows-games.txt)"
for what in import again games; do
    # sed -n l shows what differs unseen: a CR, a byte of another code page.
    cmp -s windows-$what.txt linux-$what.txt || fail "velstra.exe ($what) printed
$(sed -n l windows-$what.txt)
where the Linux program printed
$(sed -n l linux-$what.txt)"
done
# One file format: each program lists the other's history as its own.
run linux linux-reads-windows games --db windows.db
run windows windows-reads-linux games --db linux.db
cmp -s linux-reads-windows.txt linux-games.txt || fail "the Linux program lists the history of velstra.exe otherwise"
cmp -s windows-reads-linux.txt linux-games.txt || fail "velstra.exe lists the history of the Linux program otherwise"
echo "velstra.exe under wine: a generated session imported twice and listed as the Linux program does"
