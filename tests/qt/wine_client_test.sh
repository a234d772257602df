#!/usr/bin/env bash
# Runs the real program with a private Wine prefix that holds a stand-in client at
# C:\Program Files\KaZaA Lite\klrun.exe, its folder spelled in another letter case, and checks from
# outside: the client starts once and not again while its window is open; without the client, or
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

client_window_shown() { xwininfo -root -tree | grep -q '"Kazaa Lite"'; }
starts() { cat "$installed/starts" 2>/dev/null | wc -l; }
# A started client has its path in its command line from its exec on, and the program shows its
# window only after the exec: so once the window shows, this count is final.
running_clients() { pgrep -fc -- "$work/.*/klrun\.exe" || true; }
# Starts the program (under `env...`) and waits for its window.
run_program() {
    start_program "$@"
    wait_until 60 program_window >/dev/null || fail "the program's window did not show"
}
# Without a client started, the program runs on and gives `reason` once.
expect_no_client() {
    [ "$(running_clients)" = 0 ] || fail "a client started $1"
    expect_alive "$1"
    stop_program TERM
    [ "$(grep -c "$2" "$stderr_log")" = 1 ] || fail "no single reason given $1"
}

mkdir -p "$work/download" "$work/destination" "$work/no-wine"
write_config "$work/download" "$work/destination"
wineboot --init </dev/null >"$work/wineboot.log" 2>&1 || fail "wineboot: $(cat "$work/wineboot.log")"
installed="$WINEPREFIX/drive_c/Program Files/kazaa lite"
mkdir -p "$installed"
cp "$2" "$installed/klrun.exe"

run_program
wait_until 60 client_window_shown || fail "the client's window did not show"
stop_program TERM
[ "$(starts)" = 1 ] || fail "the client started $(starts) times, not once"

run_program
[ "$(running_clients)" = 1 ] || fail "the client was started again while its window was open"
stop_program TERM

stop_wine
run_program env PATH="$work/no-wine"
expect_no_client "without wine on PATH" "no 'wine' command on PATH"
rm "$installed/klrun.exe"
run_program
expect_no_client "without its file" 'no such file in the Wine prefix'
echo "wine client: started once through wine, not again while open; none without wine or file"
