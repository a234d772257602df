#!/usr/bin/env bash
# Runs the real program in an X window, with a stand-in client in a private Wine prefix at
# C:\Program Files\KaZaA Lite\klrun.exe (the folder spelled in another case): the title ticks, a
# screen reader (AT-SPI) finds each control named, keys alone choose (the destination removed, its
# parent next), the client starts minimised but not while a window of its title is open, and
# without it or without wine the program runs on and says why once.
#   end_to_end_test.sh PROGRAM [CLIENT.EXE]
source "$(dirname "$0")/../support/real_program.sh"
[ -n "${VORLUND_TEST_BUS:-}" ] || VORLUND_TEST_BUS=1 exec dbus-run-session -- "$0" "$@"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 # no screen reader runs to turn it on
init_work "$1"
stop_wine() { wineserver -k 2>/dev/null || true; timeout -v 60 wineserver -w || true; }
installed="$WINEPREFIX/drive_c/Program Files/kazaa lite"
mkdir -p "$installed" "$work/no-wine"
if [ -f "${2:-}" ] && command -v wine >/dev/null; then
    timeout -v 300 wineboot --init </dev/null >"$work/wineboot.log" 2>&1 ||
        fail "wineboot failed or ran past 300 s: $(cat "$work/wineboot.log")"
    cp "$2" "$installed/klrun.exe"
fi

started() { [ -e "$installed/started" ]; }
run_program() {
    start_program "$@"
    wait_until 60 program_window >/dev/null || fail "the program's window did not show"
}
# A started client has its path in its command line from its exec on, and leaves its note before
# it ends; the program shows its window only after the start.
expect_no_client() {
    [ "$(pgrep -fc -- "$work/.*/klrun\.exe")" = 0 ] && ! started || fail "a client started $1"
    expect_alive "$1"
    stop_program TERM
    [ -z "${2:-}" ] || [ "$(grep -c "$2" "$stderr_log")" = 1 ] || fail "no single reason given $1"
}

mkdir "$destination/sub"
run_program
window=$(program_window)
title() { xprop -id "$window" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
first=$(title)
ticked() { [ "$(title)" != "$first" ]; }
wait_until 60 ticked || fail "the title did not tick: '$first'"
echo "end-to-end: title ticks ('$first' -> '$(title)')"

# Whether each pattern matches a line role|name|label|description of what a screen reader reads.
reads() {
    /usr/bin/python3 - "$@" >"$work/read" <<'PY'
import pyatspi, re, sys
def label(node):
    return "".join(relation.getTarget(0).name for relation in node.getRelationSet()
                   if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY)
app = next(app for app in pyatspi.Registry.getDesktop(0) if app and app.name == "vorlund")
lines = ["|".join([node.getRoleName(), node.name, label(node), node.description])
         for node in pyatspi.findAllDescendants(app, lambda node: True)]
print(*lines, sep="\n")
sys.exit(not all(any(re.fullmatch(want.replace("|", r"\|"), line) for line in lines)
                 for want in sys.argv[1:]))
PY
}
rm -r "$download"
columns=('Kies download directory' 'Kies bestemming voor downloads')
wait_until 60 reads 'frame|Vorlund .*||' "list|${columns[0]}||" "combo box|.*|${columns[0]}|" \
    "combo box|.*|${columns[1]}|" "list|${columns[1]}||" 'text|Downloads in progress||' \
    'text|Files downloaded and moved||' "list item|destination||level [0-9]+" \
    "notification|cannot read the folder '$download': No such file or directory|.*" ||
    fail "a screen reader reads:"$'\n'"$(cat "$work/read")"
mkdir "$download"
xdotool windowfocus --sync "$window" key Tab Tab Tab End Return
wait_until 60 grep -qx "Dir2=$destination/sub" "$config_home/vlund.conf" || fail "Enter: not opened"
rmdir "$destination/sub" # gone: once its parent is chosen, the passes must go on there
xdotool key BackSpace
wait_until 60 grep -qx "Dir2=$destination" "$config_home/vlund.conf" || fail "Backspace: no parent"
printf c >"$download/c.mp3"
wait_until 60 all_moved "$download" "$destination" || fail "not moved into the folder chosen next"
[ -f "$installed/klrun.exe" ] || skip "the client's start: no wine, or no stand-in"
wait_until 60 started || fail "the client did not start"
grep -qx "show 2" "$installed/started" || fail "the client was not started minimised"
stop_program TERM
rm "$installed/started"

xmessage -title "Kazaa Lite" -timeout 120 "a client's window" 2>/dev/null &
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
echo "client: started minimised through wine, not while its window was open; none without wine or file"
