#!/usr/bin/env bash
# Runs the real program in a real X window with its selections in a temporary config folder, and
# checks from outside that media files dropped into the download folder arrive whole, that others
# stay, and that the window's title ticks.
source "$(dirname "$0")/../support/real_program.sh"
init_work "$1"
download=$work/download destination=$work/destination
mkdir -p "$download" "$destination"
write_config "$download" "$destination"
start_program
wait_until 60 program_window >/dev/null || fail "no window appeared"
window=$(program_window)

printf song >"$download/a.mp3"
printf picture >"$download/Photo.JPG"
printf partial >"$download/b.dat"
wait_until 60 all_moved "$download" "$destination" || fail "not moved: $(media_names "$download")"
[ "$(cat "$destination/a.mp3")$(cat "$destination/Photo.JPG")" = songpicture ] ||
    fail "the files did not arrive whole"
[ -f "$download/b.dat" ] || fail "the partial download was touched"

title() { xprop -id "$window" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
first=$(title)
[[ $first == "Vorlund "* ]] || fail "title is '$first'"
ticked() { [ "$(title)" != "$first" ]; }
wait_until 60 ticked || fail "the title did not tick: '$first'"
expect_alive "at the end"
echo "end-to-end: files arrived, title ticks ('$first' -> '$(title)')"
