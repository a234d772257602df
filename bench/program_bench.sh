#!/usr/bin/env bash
# Runs the real program in a virtual X display with a destination folder of many media files and
# reports: the time from start to the first shown window, the CPU from start until its first
# passes were done, the peak memory, the CPU the idle program uses, and the CPU it uses while five
# downloads a second finish and are moved in, next to `find DEST -maxdepth 1 -iname '*.mp3' |
# wc -l`, all measured from outside the program. Each figure but the moves' stands beside the
# floor's, measured in the same run: a plain window whose one-second timer sets its caption
# (bench/plain_window_*.cpp); the start-up's CPU also beside one read of the destination by a
# program that does nothing else (bench/read_folder_*.cpp, the median of three runs, its own
# start included). Given a Windows build, it runs vorlund.exe and the floors under Wine, in a
# prefix of their own, and also gives the CPU of their wineserver.
# Usage: bench/program_bench.sh BUILD-FOLDER [FILES] [SECONDS] [FOLDER]
set -euo pipefail
build=$(realpath "$1")
files=${2:-100000}
idle=${3:-20}
base=${4:-${TMPDIR:-/tmp}}
source_dir=$(dirname "$(realpath "$0")")

work=$(mktemp -d "$base/vorlund-bench-XXXXXX")
pids=()
cleanup() {
    # First, while their server still runs: Wine's own processes outlive a killed server.
    [ -z "${wineserver:-}" ] || wineserver -k 2>/dev/null || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/download" "$work/destination" "$work/config"
(cd "$work/destination" && seq -f 'track%.0f.mp3' 1 "$files" | xargs touch)

display=:$((200 + RANDOM % 100))
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
unset QT_QPA_PLATFORM
# Its own settings, a Wine prefix of its own where no client waits to be started, and no session
# bus: one that Qt starts itself through dbus-launch outlives the run.
export XDG_CONFIG_HOME=$work/config WINEPREFIX=$work/prefix DBUS_SESSION_BUS_ADDRESS=disabled:

if [ -f "$build/win32/vorlund.exe" ]; then
    system="Windows, under Wine"
    export WINEDEBUG=-all WINELOADER=/usr/lib/wine/wine64
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    mkdir -p "$WINEPREFIX"
    wineserver -f -p </dev/null >/dev/null 2>&1 &
    pids+=($!)
    wineserver=$!
    wineboot --init </dev/null >/dev/null 2>&1
    windows() { printf 'Z:%s' "${1//\//\\}"; }
    for key in "Dir1 download" "Dir2 destination"; do
        set -- $key
        "$WINELOADER" reg add 'HKCU\Software\vlund\Startup' /v "$1" /t REG_SZ \
            /d "$(windows "$work/$2")" /f >/dev/null 2>&1
    done
    c++ -O2 -o "$work/first_window" "$source_dir/first_window.cpp" $(pkg-config --cflags --libs xcb)
    first_window=$work/first_window
    program=("$WINELOADER" "$build/win32/vorlund.exe")
    floor=("$WINELOADER" "$build/bench/plain_window.exe")
    reader=("$WINELOADER" "$build/bench/read_folder.exe" "$(windows "$work/destination")")
else
    system=Linux
    printf '[Startup]\nDir1=%s\nDir2=%s\n' "$work/download" "$work/destination" \
        >"$work/config/vlund.conf"
    first_window=$build/bench/first_window
    program=("$build/qt/vorlund")
    floor=("$build/bench/plain_window")
    reader=("$build/bench/read_folder" "$work/destination")
fi
# Idle means the folders did not change lately (see the folder watch).
sleep 2.5

hz=$(getconf CLK_TCK)
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# Returns once process $1 spent under 20 ms of CPU in each of three seconds: the first passes
# read the folders.
settle() {
    local last now quiet=0
    last=$(ticks "$1")
    for _ in $(seq 300); do
        sleep 1
        now=$(ticks "$1")
        if [ $((now - last)) -gt $((hz / 50)) ]; then quiet=0; else quiet=$((quiet + 1)); fi
        [ $quiet -lt 3 ] || return 0
        last=$now
    done
}
# CPU milliseconds a second of process $1 (and of the wineserver) while "$2" runs.
cpu_while() {
    local before=$(ticks "$1") server_before=$(ticks "${wineserver:-$1}") start=$(date +%s%N)
    eval "$2"
    local seconds=$(awk -v n=$(($(date +%s%N) - start)) 'BEGIN { print n / 1e9 }')
    awk -v t=$(($(ticks "$1") - before)) -v w=$(($(ticks "${wineserver:-$1}") - server_before)) \
        -v hz="$hz" -v s="$seconds" -v wine="${wineserver:+1}" 'BEGIN {
        printf "%.1f ms of CPU a second", 1000 * t / hz / s
        if (wine) printf " (wineserver: %.1f ms)", 1000 * w / hz / s }'
}
arrivals() {
    for i in $(seq $((idle * 5))); do
        printf 'ID3' >"$work/download/arrival$i.dat"
        mv "$work/download/arrival$i.dat" "$work/download/arrival$i.mp3"
        sleep 0.2
    done
}

# Once before measuring: the first window of a Wine session also starts its desktop.
read -r _ floor_pid < <("$first_window" "${floor[@]}" 2>/dev/null)
kill "$floor_pid"
read -r floor_ms floor_pid < <("$first_window" "${floor[@]}" 2>/dev/null)
pids+=("$floor_pid")
settle "$floor_pid"
floor_start_cpu=$(ticks "$floor_pid")
floor_idle=$(cpu_while "$floor_pid" "sleep $idle")
kill "$floor_pid"
TIMEFORMAT='%U %S'
read_ms=$(for _ in 1 2 3; do
    cpu=$( { time "${reader[@]}" >/dev/null; } 2>&1)
    awk -v t="$cpu" 'BEGIN { split(t, a, " "); printf "%.0f\n", 1000 * (a[1] + a[2]) }'
done | sort -n | sed -n 2p)

read -r startup_ms pid < <("$first_window" "${program[@]}" 2>/dev/null)
pids+=("$pid")
settle "$pid"
start_cpu=$(ticks "$pid")
program_idle=$(cpu_while "$pid" "sleep $idle")
program_arrivals=$(cpu_while "$pid" arrivals)
peak_kib=$(awk '/VmHWM/ { print $2 }' "/proc/$pid/status")
sleep 2 # the last arrivals move
find_cpu=$( { time find "$work/destination" -maxdepth 1 -iname '*.mp3' | wc -l >/dev/null; } 2>&1)
moved=$(find "$work/destination" -maxdepth 1 -name 'arrival*.mp3' | wc -l)

echo "program ($system) with $files media files in the destination"
echo "  start-up to the first shown window: $startup_ms ms; floor: $floor_ms ms"
start_ms=$((1000 * start_cpu / hz)) floor_start_ms=$((1000 * floor_start_cpu / hz))
echo "  CPU from its start until its first passes were done: $start_ms ms; floor: $floor_start_ms" \
    "ms; one read of the destination: $read_ms ms, so $(awk -v p="$start_ms" -v f="$floor_start_ms" \
    -v r="$read_ms" 'BEGIN { printf "%.2f", r ? (p - f) / r : 0 }') reads beyond the floor"
echo "  peak memory (VmHWM): $((peak_kib / 1024)) MiB"
echo "  idle over $idle s: $program_idle; floor: $floor_idle"
echo "  five arrivals a second over $idle s: $program_arrivals, $moved of $((idle * 5)) moved;" \
    "find: $(awk -v f="$find_cpu" 'BEGIN { split(f, t, " "); printf "%.0f", 1000 * (t[1] + t[2]) }') ms"
[ "$moved" -eq $((idle * 5)) ] # a benchmark whose program moved nothing measured nothing
