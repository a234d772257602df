#!/usr/bin/env bash
# Runs the real program in a real X window (the caller gives the display, e.g. xvfb-run), with
# its selections stored in a temporary config folder, and checks from outside that files
# dropped into the download folder arrive, that the selections are stored, and that the
# window's title ticks.
set -euo pipefail
program=$1

work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$work/stderr" ] && cat "$work/stderr" >&2; exit 1; }

mkdir -p "$work/config" "$work/download" "$work/destination" "$work/cwd"
cat > "$work/config/vlund.conf" <<CONF
[Startup]
Dir1=$work/download
Dir2=$work/destination
CONF

cd "$work/cwd"
unset QT_QPA_PLATFORM
XDG_CONFIG_HOME=$work/config "$program" 2>"$work/stderr" &
pid=$!

# Until the window is up.
window=
for _ in $(seq 100); do
    window=$(xwininfo -root -tree 2>/dev/null | awk '/"(Form1|Vorlund )/ { print $1; exit }')
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "no window appeared"

printf 'song' > "$work/download/a.mp3"
printf 'picture' > "$work/download/Photo.JPG"
printf 'partial' > "$work/download/b.dat"
for _ in $(seq 100); do
    [ -f "$work/destination/a.mp3" ] && [ -f "$work/destination/Photo.JPG" ] && break
    sleep 0.1
done
[ "$(cat "$work/destination/a.mp3" 2>/dev/null)" = song ] || fail "a.mp3 did not arrive whole"
[ "$(cat "$work/destination/Photo.JPG" 2>/dev/null)" = picture ] || fail "Photo.JPG did not arrive"
[ ! -e "$work/download/a.mp3" ] || fail "a.mp3 is still in the download folder"
[ -f "$work/download/b.dat" ] || fail "the partial download was touched"

title() { xprop -id "$window" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
first=$(title)
case $first in "Vorlund "*) ;; *) fail "title is '$first'" ;; esac
# The next tick, however slowly a loaded machine brings it.
for _ in $(seq 100); do
    second=$(title)
    [ "$first" != "$second" ] && break
    sleep 0.1
done
[ "$first" != "$second" ] || fail "the title did not tick: '$first'"

grep -qx "Dir1=$work/download" "$work/config/vlund.conf" || fail "Dir1 not stored"
grep -qx "Dir2=$work/destination" "$work/config/vlund.conf" || fail "Dir2 not stored"
kill -0 "$pid" || fail "the program is gone"
echo "end-to-end: files arrived, selections stored, title ticks ('$first' -> '$second')"
