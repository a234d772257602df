#!/usr/bin/env bash
# Kills the real program with SIGKILL at random moments while it moves large files across
# volumes (download folder on a tmpfs, destination on the disk), restarts it each time, and
# checks at the end that every file arrived exactly once and whole, that no temporary copy is
# left behind, and that the download folder holds no media file.
#
#   crash.sh [--kills N] [--verbose] PROGRAM
set -euo pipefail
source "$(dirname "$0")/lib.sh"

run_in_own_display "$@"
kills=60
verbose=
while [ $# -gt 1 ]; do
    case $1 in
    --kills) kills=$2; shift 2 ;;
    --verbose) verbose=1; shift ;;
    *) echo "usage: $0 [--kills N] [--verbose] PROGRAM" >&2; exit 2 ;;
    esac
done
[ $# -eq 1 ] || { echo "usage: $0 [--kills N] [--verbose] PROGRAM" >&2; exit 2; }
init_work "$1"
if ! strace -qq -o /dev/null true 2>/dev/null; then
    echo "SKIP: strace cannot trace here (not installed, or ptrace is not allowed)"
    exit "$skip_code"
fi

download=$work/download
destination=$work/destination
need_tmpfs "$download" 512m
mkdir -p "$destination"
write_config "$download" "$destination"
expected=$work/expected
: >"$expected"

# A partial download: it must stay where it is, unchanged.
head -c 100000 /dev/urandom >"$download/partial.dat"
partial_sum=$(sha256sum <"$download/partial.dat")

files=0
bytes=0
# Keeps a few large files waiting, so that every restart finds copying to do. Written while the
# program is down, so that it never sees half of one.
top_up() {
    local waiting
    waiting=$(media_names "$download" | wc -l)
    while [ "$waiting" -lt 3 ]; do
        files=$((files + 1))
        local extension=${media_extensions[files % ${#media_extensions[@]}]}
        [ $((files % 3)) -eq 0 ] && extension=${extension^^}
        local size
        size=$(random_between $((2 << 20)) $((32 << 20)))
        random_file "$download/crash-$files.$extension" "$size" "$expected"
        bytes=$((bytes + size))
        waiting=$((waiting + 1))
    done
}

# Each run is traced for the calls that mark the steps of a move; one of them is slowed down, in
# turn, so that the random kills also land in the short steps (the rename, the deletion).
steps=(openat copy_file_range fsync renameat2 unlink unlinkat)
slowed=("" fsync renameat2 "unlink,unlinkat")
traced_start() {
    local slow=$1 delay_ms=$2
    local tracer=(strace -f --seccomp-bpf -y -qq -o "$work/trace" -e "trace=$(IFS=,; echo "${steps[*]}")")
    [ -z "$slow" ] || tracer+=(-e "inject=$slow:delay_enter=${delay_ms}ms")
    start_program "${tracer[@]}" --
}

copying=0 flushing=0 renaming=0 deleting=0 elsewhere=0
# Where the kill landed: the last step the trace shows for the two folders, and whether the
# kill cut it off (" = ?", or "<unfinished ...>" when it came during a slowed call's delay).
classify_kill() {
    local step
    step=$(awk -v download="$download/" -v destination="$destination" '
        index($0, download) || index($0, destination) { last = $0; last_pid = $1; next }
        $1 == last_pid && / resumed>/ && last ~ /<unfinished \.\.\.>$/ {
            sub(/<unfinished \.\.\.>$/, "", last)
            last = last $0
        }
        END {
            cut = last ~ /( = \?|<unfinished \.\.\.>)$/
            temporary = last ~ /\.vorlund-[0-9a-f]*\.part/
            if (last ~ /openat\(/ && temporary && last ~ /O_CREAT/) print "copying"
            else if (last ~ /openat\(/ && !temporary && last !~ /O_DIRECTORY/) print "copying"
            else if (last ~ /copy_file_range\(/) print "copying"
            else if (last ~ /fsync\(/ && temporary) print "flushing"
            else if (last ~ /fsync\(/) print "deleting"
            else if (last ~ /renameat2\(/ && temporary) print (cut ? "renaming" : "deleting")
            else if (last ~ /unlink(at)?\(/ && !temporary && cut) print "deleting"
            else print "elsewhere"
        }' "$work/trace")
    [ -z "$verbose" ] || echo "kill $kill_number (slowed: ${slow:-none}): $step"
    case $step in
    copying) copying=$((copying + 1)) ;;
    flushing) flushing=$((flushing + 1)) ;;
    renaming) renaming=$((renaming + 1)) ;;
    deleting) deleting=$((deleting + 1)) ;;
    *) elsewhere=$((elsewhere + 1)) ;;
    esac
}

temporaries() { (cd "$destination" && printf '%s\n' .vorlund-*.part); }
has_new_temporary() {
    local part
    for part in "$destination"/.vorlund-*.part; do
        [[ $'\n'$1$'\n' == *$'\n'${part##*/}$'\n'* ]] || return 0
    done
    return 1
}

for ((kill_number = 1; kill_number <= kills; kill_number++)); do
    top_up
    slow=${slowed[kill_number % ${#slowed[@]}]}
    delay_ms=$(random_between 40 160)
    left_over=$(temporaries)
    traced_start "$slow" "$delay_ms"
    if [ $((kill_number % 5)) -eq 0 ]; then
        # Anywhere: starting up, listing, between files.
        sleep_ms "$(random_between 0 2500)"
    else
        wait_until 10 has_new_temporary "$left_over" || true
        sleep_ms "$(random_between 0 $((60 + 2 * delay_ms)))"
    fi
    program_alive || fail "the program ended by itself before kill $kill_number"
    stop_program KILL
    classify_kill
done

start_program
wait_until 300 all_moved "$download" "$destination" ||
    fail "the files did not all arrive after the last restart"
expect_alive "after the last restart"
stop_program TERM

checksums "$destination" >"$work/actual"
same_checksums "$expected" "$work/actual" "destination after $kills kills"
has_no_media "$download" || fail "media files left in the download folder"
has_no_interrupted_copy "$download" || fail "a temporary copy is left in the download folder"
has_no_interrupted_copy "$destination" || fail "a temporary copy is left in the destination"
[ "$(sha256sum <"$download/partial.dat")" = "$partial_sum" ] || fail "the partial download changed"
[ ! -e "$destination/partial.dat" ] || fail "the partial download was moved"

echo "crash: $kills kills survived (copying $copying, flushing $flushing," \
    "renaming $renaming, deleting $deleting, elsewhere $elsewhere);" \
    "$files files ($((bytes >> 20)) MiB) moved across volumes, files lost: 0, corrupt: 0," \
    "temporaries left: 0"
