#!/usr/bin/env bash
# Kills the real program (or vorlund.exe under Wine) at random moments while it moves large files
# from a tmpfs to the disk, restarting it each time: at the end every file arrived once and whole,
# and nothing else is left. At most KILLS kills; after SECONDS it stops at the next kill once it
# made 15, so that a loaded machine makes it test less rather than run out of time.
#   crash.sh PROGRAM [KILLS] [SECONDS]
source "$(dirname "$0")/../support/real_program.sh"

kills=${2:-60} seconds=${3:-120} least_kills=15
init_work "$1"
[ -n "$windows" ] || need_strace
need_tmpfs "$download" 512m
watch_copies "$destination"
random_file "$download/partial.dat" 100000 "$work/partial"

# Keeps three large files waiting, written while the program is down so it never sees half of one.
files=0 bytes=0 extensions=(mp3 wma mpg zip jpg gif)
top_up() {
    local extension size
    while [ "$(media_names "$download" | wc -l)" -lt 3 ]; do
        files=$((files + 1))
        extension=${extensions[files % 6]}
        [ $((files % 3)) -ne 0 ] || extension=${extension^^}
        size=$(random_between $((2 << 20)) $((32 << 20)))
        bytes=$((bytes + size))
        random_file "$download/crash-$files.$extension" "$size" "$expected"
    done
}

# A move's short steps (flush, rename, deletion) are traced, and slowed in turn so that kills land
# in them too.
steps=fsync,renameat2,unlink,unlinkat
slowed=("" fsync renameat2 "unlink,unlinkat")

# False when a temporary copy in trace `$1` was renamed before it was flushed to disk.
flushed_before_renamed() {
    awk 'function copy() { match($0, /\.vorlund-[^/"<>]+\.part/); return substr($0, RSTART, RLENGTH) }
         /fsync\([0-9]+<[^>]*\.vorlund-[^/"<>]+\.part>/ { flushed[copy()] = 1 }
         /renameat2\([^"]*"\.vorlund-[^/"<>]+\.part"/ && !(copy() in flushed) { print; bad = 1 }
         END { exit bad }' "$1"
}

for ((kill_number = 1; kill_number <= kills && (kill_number <= least_kills || SECONDS < seconds);
    kill_number++)); do
    [ $((kill_number % 10)) -ne 1 ] || echo "crash: kill $kill_number of at most $kills, $SECONDS s"
    top_up
    slow=${slowed[kill_number % ${#slowed[@]}]}
    delay_ms=$(random_between 40 160)
    tracer=(strace -f --seccomp-bpf -qq -y -o "$work/trace" -e "trace=$steps")
    [ -z "$slow" ] || tracer+=(-e "inject=$slow:delay_enter=${delay_ms}ms")
    tracer+=(--)
    # Wine renames and deletes in its server, out of the traced program's sight.
    [ -z "$windows" ] || tracer=()
    copies=$(wc -l <"$work/copies")
    start_program "${tracer[@]}"
    if [ $((kill_number % 5)) -eq 0 ]; then
        pause_ms=$(random_between 0 2500) # anywhere: starting up, listing, between files
    else
        wait_until 60 eval '[ $(wc -l <"$work/copies") -gt $copies ]' ||
            fail "no copy before kill $kill_number;" "window: $(xwininfo -root -tree | grep -o '"Vorlund [^"]*"');" \
                "download: $(ls -A "$download");" "destination: $(ls -A "$destination")"
        pause_ms=$(random_between 0 $((60 + 2 * delay_ms)))
    fi
    sleep "$((pause_ms / 1000)).$(printf '%03d' $((pause_ms % 1000)))"
    expect_alive "it ended by itself before kill $kill_number"
    stop_program KILL
    [ -n "$windows" ] || flushed_before_renamed "$work/trace" || fail "a copy took its name before it was flushed"
done
kills=$((kill_number - 1))

start_program
wait_until 300 all_moved "$download" "$destination" ||
    fail "the files did not all arrive after the last restart"
expect_alive "after the last restart"
stop_program TERM

expect_whole_in "$expected" "destination after $kills kills" "$destination"
expect_whole_in "$work/partial" "download folder: the partial download alone" "$download"

echo "crash: $kills kills survived; $files files ($((bytes >> 20)) MiB) moved across volumes," \
    "lost: 0, corrupt: 0"
