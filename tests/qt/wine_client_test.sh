#!/usr/bin/env bash
# Runs the real program with a private Wine prefix that holds a stand-in client at
# C:\Program Files\KaZaA Lite\klrun.exe, its folder spelled in another letter case, and checks from
# outside: the client starts, and not while a window of its title is open; without the client, or
# without wine, nothing starts, the program runs on and says why once.
#
#   wine_client_test.sh PROGRAM CLIENT.EXE
source "$(dirname "$0")/../support/real_program.sh"
[ -f "$2" ] || { echo "SKIP: no stand-in client (it needs MinGW-w64 at build time)"; exit "$skip_code"; }
command -v wine >/dev/null || { echo "SKIP: no wine on PATH"; exit "$skip_code"; }
init_work "$1"
# No offers to install Mono or Gecko, and no menu entries written into the home folder.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
stop_wine() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}
exit_hooks+=(stop_wine)

started() { [ -e "$installed/started" ]; }
# A started client has its path in its command line from its exec on, and leaves its note before
# it ends; the program shows its window only after the start.
expect_no_client() {
    [ "$(pgrep -fc -- "$work/.*/klrun\.exe")" = 0 ] && ! started || fail "a client started $1"
    expect_alive "$1"
    stop_program TERM
    [ -z "${2:-}" ] || [ "$(grep -c "$2" "$stderr_log")" = 1 ] || fail "no single reason given $1"
}
run_program() {
    start_program "$@"
    wait_until 60 program_window >/dev/null || fail "the program's window did not show"
}

mkdir -p "$work/download" "$work/destination" "$work/no-wine"
write_config "$work/download" "$work/destination"
wineboot --init </dev/null >"$work/wineboot.log" 2>&1 || fail "wineboot: $(cat "$work/wineboot.log")"
installed="$WINEPREFIX/drive_c/Program Files/kazaa lite"
mkdir -p "$installed"
cp "$2" "$installed/klrun.exe"

run_program
wait_until 60 started || fail "the client did not start"
stop_program TERM
rm "$installed/started"

xmessage -title "Kazaa Lite" -timeout 120 "a client's window" &
client_window=$!
close_client_window() { kill "$client_window" 2>/dev/null || true; }
exit_hooks+=(close_client_window)
wait_until 60 eval 'xwininfo -root -tree | grep -q "\"Kazaa Lite\""' || fail "no window to find"
run_program
expect_no_client "while its window was open"
close_client_window

stop_wine
run_program env PATH="$work/no-wine"
expect_no_client "without wine on PATH" "no 'wine' command on PATH"
rm "$installed/klrun.exe"
run_program
expect_no_client "without its file" 'no such file in the Wine prefix'
echo "wine client: started through wine, not while its window was open; none without wine or file"
