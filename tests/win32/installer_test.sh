#!/usr/bin/env bash
# Checks the Windows packages in a Wine session of their own: the zip holds vorlund.exe alone; a
# silent install puts the program, its Start menu entry and its uninstall key in place, and the
# program moves a file; a silent uninstall takes all three away; the selections stay.
# Usage: installer_test.sh SETUP.EXE PORTABLE.ZIP
set -euo pipefail
setup=$(realpath "$1")
zip=$(realpath "$2")
session=$(dirname "$(realpath "$0")")/../support/wine-session
work=$(mktemp -d)
trap '"$session" stop "$work"; rm -rf "$work"' EXIT
in_wine() { timeout -v 120 "$session" run "$work" "$@"; } # says what it stopped
fail() { echo "FAIL: $*" >&2; exit 1; }
# Polls for at most a minute: the uninstaller runs on in a copy of itself after it returns.
eventually() { for _ in $(seq 600); do "$@" && return 0; sleep 0.1; done; return 1; }

[ "$(unzip -Z1 "$zip")" = vorlund.exe ] || fail "the zip holds $(unzip -Z1 "$zip" | tr '\n' ' ')"
timeout -v 400 "$session" start "$work" >/dev/null
selections='HKCU\Software\vlund\Startup'
mkdir -p "$work/download" "$work/destination"
in_wine wine reg add "$selections" /v Dir1 /d "Z:${work//\//\\}\\download" /f >/dev/null
in_wine wine reg add "$selections" /v Dir2 /d "Z:${work//\//\\}\\destination" /f >/dev/null
stored() { in_wine wine reg query "$selections" 2>/dev/null | tr -d '\r'; }
before=$(stored)

installed=$work/prefix/drive_c/Program\ Files/vorlund
shortcut=$work/prefix/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/vorlund.lnk
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\vorlund'
has_key() { in_wine wine reg query "$key" /v UninstallString >/dev/null 2>&1; }

in_wine wine "$setup" /S
[ -f "$installed/vorlund.exe" ] || fail "vorlund.exe is not in Program Files"
[ -f "$shortcut" ] || fail "no Start menu entry"
has_key || fail "no uninstall key"
[ "$(stored)" = "$before" ] || fail "the install changed the selections"

printf 'song' >"$work/download/a.mp3"
in_wine wine "$installed/vorlund.exe" &
program=$!
eventually [ -f "$work/destination/a.mp3" ] || fail "the installed program moved nothing"
[ "$(cat "$work/destination/a.mp3")" = song ] || fail "the file did not arrive whole"
in_wine wine taskkill /im vorlund.exe >/dev/null
wait "$program" || fail "the program did not end when asked"
before=$(stored)

in_wine wine "$installed/uninstall.exe" /S
uninstalled() { [ ! -e "$installed" ] && [ ! -e "$shortcut" ] && ! has_key; }
eventually uninstalled || true
[ ! -e "$installed" ] || fail "Program Files\\vorlund is left: $(ls "$installed")"
[ ! -e "$shortcut" ] || fail "the Start menu entry is left"
! has_key || fail "the uninstall key is left"
[ "$(stored)" = "$before" ] || fail "the uninstall changed the selections"
echo "windows packages: zip holds vorlund.exe; installed, moved a file, uninstalled; selections kept"
