#!/usr/bin/env bash
# Runs the real program (in a real X window: the caller gives the display, e.g. xvfb-run) with a
# private Wine prefix that holds a stand-in client at C:\Program Files\KaZaA Lite\klrun.exe, its
# folder spelled in another letter case, and checks from outside: the client starts once and not
# again while its window is open; without the client, or without wine, nothing starts and the
# program runs on.
#
#   wine_client_test.sh PROGRAM CLIENT.EXE WORK-FOLDER
set -euo pipefail
program=$1
client=$2
[ -f "$client" ] || { echo "SKIP: no stand-in client (it needs MinGW-w64 at build time)"; exit 77; }
command -v wine >/dev/null || { echo "SKIP: no wine on PATH"; exit 77; }

mkdir -p "$3"
work=$(mktemp -d "$(realpath "$3")/wine-client.XXXXXX")
# No offers to install Mono or Gecko, and no menu entries written into the home folder.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
pid=
stop_program() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        pid=
    fi
}
stop_wine() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}
cleanup() {
    stop_program
    stop_wine
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$work/stderr" ] && cat "$work/stderr" >&2; exit 1; }
# Waits on an event, however slowly a loaded machine brings it.
wait_until() {
    local what=$1
    shift
    for _ in $(seq 600); do
        "$@" && return 0
        sleep 0.1
    done
    fail "$what"
}
program_window_shown() {
    local window
    for window in $(xwininfo -root -tree | awk '/"(Form1|Vorlund )/ { print $1 }'); do
        xprop -id "$window" _NET_WM_PID | grep -qx "_NET_WM_PID(CARDINAL) = $pid" && return 0
    done
    return 1
}
client_window_shown() { xwininfo -root -tree | grep -q '"Kazaa Lite"'; }
starts() { cat "$installed/starts" 2>/dev/null | wc -l; }
# A started client has its path in its command line from its exec on, and the program shows its
# window only after the exec: so once the window shows, this count is final.
running_clients() { pgrep -fc -- "$work/.*/klrun\.exe" || true; }

run_program() {
    XDG_CONFIG_HOME=$work/config "$@" "$program" 2>>"$work/stderr" &
    pid=$!
    wait_until "the program's window did not show" program_window_shown
}

mkdir -p "$work/config" "$work/download" "$work/destination" "$work/no-wine"
printf '[Startup]\nDir1=%s\nDir2=%s\n' "$work/download" "$work/destination" >"$work/config/vlund.conf"
cd "$work"
unset QT_QPA_PLATFORM
wineboot --init </dev/null >"$work/wineboot.log" 2>&1 || fail "wineboot: $(cat "$work/wineboot.log")"
installed="$WINEPREFIX/drive_c/Program Files/kazaa lite"
mkdir -p "$installed"
cp "$client" "$installed/klrun.exe"

run_program env
wait_until "the client's window did not show" client_window_shown
stop_program
[ "$(starts)" = 1 ] || fail "the client started $(starts) times, not once"

run_program env
[ "$(running_clients)" = 1 ] || fail "the client was started again while its window was open"
stop_program

stop_wine
run_program env PATH="$work/no-wine"
[ "$(running_clients)" = 0 ] || fail "a client started without wine on PATH"
kill -0 "$pid" || fail "the program is gone without wine"
stop_program
[ "$(grep -c "no 'wine' command on PATH" "$work/stderr")" = 1 ] || fail "no single reason given"

rm "$installed/klrun.exe"
run_program env
[ "$(running_clients)" = 0 ] || fail "a client started without its file"
kill -0 "$pid" || fail "the program is gone without the client"
stop_program
[ "$(grep -c 'no such file in the Wine prefix' "$work/stderr")" = 1 ] || fail "no single reason given"
echo "wine client: started once through wine, not again while open; none without wine or file"
