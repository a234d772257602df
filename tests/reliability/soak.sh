#!/usr/bin/env bash
# Runs the real program while a writer behaves like a download client: most files grow as
# "name.dat" over several appends, several at a time, and are renamed to a media name when
# complete; some are written directly under a media name. About once a second the test checks
# that no finished file is missing from both folders; at the end every file must have arrived
# with its exact contents.
#
#   soak.sh [--files N] [--duration SECONDS] [--same-volume] PROGRAM
#
# The bounded run writes 5,000 files over 40 seconds. Given only --duration, the writer keeps
# the same pace (125 files a second) for that long: `soak.sh --duration 600 PROGRAM`.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

run_in_own_display "$@"
usage() { echo "usage: $0 [--files N] [--duration SECONDS] [--same-volume] PROGRAM" >&2; exit 2; }
files=
duration=
same_volume=
while [ $# -gt 1 ]; do
    case $1 in
    --files) files=$2; shift 2 ;;
    --duration) duration=$2; shift 2 ;;
    --same-volume) same_volume=1; shift ;;
    *) usage ;;
    esac
done
[ $# -eq 1 ] || usage
if [ -z "$files" ] && [ -z "$duration" ]; then
    files=5000 duration=40
elif [ -z "$files" ]; then
    files=$((125 * duration))
elif [ -z "$duration" ]; then
    duration=$(((files + 124) / 125))
fi
init_work "$1"

download=$work/download
destination=$work/destination
reference=$work/reference
mkdir -p "$download" "$destination" "$reference"
volumes="across volumes"
if [ -n "$same_volume" ]; then
    volumes="within one volume"
elif ! mount_tmpfs "$download" 256m; then
    echo "note: cannot mount a tmpfs for the download folder; moving within one volume"
    volumes="within one volume"
fi
write_config "$download" "$destination"
completed=$work/completed
: >"$completed"

# Each piece of a file goes to the download folder and to a reference copy that the program
# never sees; the reference is what the destination must match at the end.
append_piece() {
    local name=$1 final=$2 piece=$3
    printf '%s' "$piece" >>"$download/$name"
    printf '%s' "$piece" >>"$reference/$final"
}

writer() {
    local noise
    noise=$(head -c 3000 /dev/urandom | base64 -w0)
    local started=$EPOCHREALTIME
    local growing=() pieces_left=() finals=()
    local i extension final piece k
    for ((i = 1; i <= files || ${#growing[@]} > 0; i++)); do
        if ((i <= files)); then
            extension=${media_extensions[i % ${#media_extensions[@]}]}
            ((i % 7 == 0)) && extension=${extension^^}
            final=soak-$i.$extension
            piece="${noise:RANDOM % 2000:RANDOM % 1000}<$final>"
            if ((i % 10 == 0)); then
                # Written directly under its media name, in one write.
                printf '%s' "$piece" >"$reference/$final"
                printf '%s' "$piece" >"$download/$final"
                echo "$final" >>"$completed"
            else
                growing+=("soak-$i.dat")
                finals+=("$final")
                pieces_left+=($((2 + RANDOM % 5)))
            fi
        fi
        # One more piece for every download in progress; the ones that are complete take
        # their media name.
        local still=() still_finals=() still_left=()
        for k in "${!growing[@]}"; do
            append_piece "${growing[k]}" "${finals[k]}" \
                "${noise:RANDOM % 2000:RANDOM % 1000}<${growing[k]} ${pieces_left[k]}>"
            if ((pieces_left[k] > 1)); then
                still+=("${growing[k]}")
                still_finals+=("${finals[k]}")
                still_left+=($((pieces_left[k] - 1)))
            else
                mv -n "$download/${growing[k]}" "$download/${finals[k]}"
                echo "${finals[k]}" >>"$completed"
            fi
        done
        growing=("${still[@]}")
        finals=("${still_finals[@]}")
        pieces_left=("${still_left[@]}")
        # Keeps to the pace: file i is due i/files of the way through the period.
        if ((i % 25 == 0)); then
            local due_us=$((i * duration * 1000000 / files))
            local now_us=$((${EPOCHREALTIME/./} - ${started/./}))
            ((due_us <= now_us)) || sleep_ms $(((due_us - now_us) / 1000))
        fi
    done
}

start_program
writer &
helpers+=("$!")
writer_pid=$!

samples=0
# A finished file (one the writer had logged before the look) must be in the download folder or
# in the destination. The download folder is read first: a file that leaves it has already taken
# its name in the destination, so it cannot slip between the two reads.
check_nothing_missing() {
    local finished
    finished=$(wc -l <"$completed")
    head -n "$finished" "$completed" | sort >"$work/finished"
    media_names "$download" >"$work/present"
    media_names "$destination" >>"$work/present"
    sort -u -o "$work/present" "$work/present"
    local missing
    missing=$(comm -23 "$work/finished" "$work/present")
    [ -z "$missing" ] || fail "finished files missing from both folders: $(head -n 5 <<<"$missing")"
    samples=$((samples + 1))
}

while kill -0 "$writer_pid" 2>/dev/null; do
    expect_alive "while the writer was writing"
    check_nothing_missing
    sleep 1
done
wait "$writer_pid" || fail "the writer failed"
check_nothing_missing

wait_until $((60 + files / 50)) all_moved "$download" "$destination" ||
    fail "files did not all arrive: $(media_names "$download" | wc -l) left in the download folder"
expect_alive "after the writer finished"
stop_program TERM

checksums "$reference" >"$work/expected"
checksums "$destination" >"$work/actual"
same_checksums "$work/expected" "$work/actual" "destination after the soak"
left=("$download"/* "$download"/.*[!.]*)
[ ${#left[@]} -eq 0 ] || fail "files left in the download folder: ${left[*]##*/}"
moved=$(wc -l <"$work/actual")
reports=$(grep -c '^vorlund: ' "$stderr_log" || true)

echo "soak: $files files written over ${duration} s ($((files - files / 10)) grown as .dat then" \
    "renamed, $((files / 10)) written directly), $moved moved $volumes, $samples samples with" \
    "none missing, files lost: 0, corrupt: 0 ($reports failure lines reported)"
