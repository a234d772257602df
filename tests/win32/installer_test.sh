#!/usr/bin/env bash
# Checks the Windows packages in a Wine prefix and Xvfb of their own: the zip holds vorlund.exe
# alone; a silent install puts the program, its Start menu entry and its uninstall key in place,
# and the program moves a file; a silent uninstall takes all three away; the selections stay.
# Usage: installer_test.sh SETUP.EXE PORTABLE.ZIP
set -euo pipefail
setup=$(realpath "$1")
zip=$(realpath "$2")

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
xvfb=
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

[ "$(unzip -Z1 "$zip")" = vorlund.exe ] || fail "the zip holds $(unzip -Z1 "$zip" | tr '\n' ' ')"

Xvfb -displayfd 3 -nolisten tcp 3>"$work/display" </dev/null >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
wineboot --init >/dev/null 2>&1

selections='HKCU\Software\vlund\Startup'
mkdir -p "$work/download" "$work/destination"
wine reg add "$selections" /v Dir1 /d "Z:${work//\//\\}\\download" /f >/dev/null
wine reg add "$selections" /v Dir2 /d "Z:${work//\//\\}\\destination" /f >/dev/null
stored() { wine reg query "$selections" 2>/dev/null | tr -d '\r'; }
before=$(stored)

installed=$WINEPREFIX/drive_c/Program\ Files/vorlund
shortcut=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/vorlund.lnk
uninstallKey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\vorlund'

wine "$setup" /S
wineserver -w
[ -f "$installed/vorlund.exe" ] || fail "vorlund.exe is not in Program Files"
[ -f "$shortcut" ] || fail "no Start menu entry"
wine reg query "$uninstallKey" /v UninstallString >/dev/null 2>&1 || fail "no uninstall key"
[ "$(stored)" = "$before" ] || fail "the install changed the selections"

printf 'song' > "$work/download/a.mp3"
wine "$installed/vorlund.exe" &
program=$!
for _ in $(seq 300); do [ -f "$work/destination/a.mp3" ] && break; sleep 0.1; done
[ "$(cat "$work/destination/a.mp3" 2>/dev/null)" = song ] || fail "the installed program moved nothing"
wineserver -k
wait "$program" || true
before=$(stored)

wine "$installed/uninstall.exe" /S
wineserver -w
[ ! -e "$installed" ] || fail "Program Files\\vorlund is left: $(ls "$installed")"
[ ! -e "$shortcut" ] || fail "the Start menu entry is left"
! wine reg query "$uninstallKey" >/dev/null 2>&1 || fail "the uninstall key is left"
[ "$(stored)" = "$before" ] || fail "the uninstall changed the selections"
echo "windows packages: zip holds vorlund.exe; installed, moved a file, uninstalled; selections kept"
