#!/usr/bin/env bash
# Runs the real program in a virtual X display with a destination folder of many media files and
# reports: the time from start to the first shown window, the peak memory, the CPU the idle
# program uses, and the CPU it uses while five downloads a second finish and are moved in, next
# to `find DEST -maxdepth 1 -iname '*.mp3' | wc -l`, all measured from outside the program.
# Usage: bench/program_bench.sh BUILD-FOLDER [FILES] [SECONDS] [FOLDER]
set -euo pipefail
build=$(realpath "$1")
files=${2:-100000}
idle=${3:-20}
base=${4:-${TMPDIR:-/tmp}}

work=$(mktemp -d "$base/vorlund-bench-XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/download" "$work/destination" "$work/config"
(cd "$work/destination" && seq -f 'track%.0f.mp3' 1 "$files" | xargs touch)
printf '[Startup]\nDir1=%s\nDir2=%s\n' "$work/download" "$work/destination" > "$work/config/vlund.conf"
# Idle means the folders did not change lately (see the folder watch).
sleep 2.5

display=:$((200 + RANDOM % 100))
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done

unset QT_QPA_PLATFORM
# Its own settings, and a Wine prefix of its own where no client waits to be started.
export XDG_CONFIG_HOME=$work/config WINEPREFIX=$work/prefix
read -r startup_ms pid < <("$build/bench/first_window" "$build/qt/vorlund" 2>/dev/null)
pids+=("$pid")

sleep 3 # the first passes read the folders
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
before=$(ticks)
sleep "$idle"
after=$(ticks)
hz=$(getconf CLK_TCK)

# Downloads finishing: five a second, each written under a partial name, then renamed.
before_arrivals=$(ticks)
for i in $(seq $((idle * 5))); do
    printf 'ID3' > "$work/download/arrival$i.dat"
    mv "$work/download/arrival$i.dat" "$work/download/arrival$i.mp3"
    sleep 0.2
done
after_arrivals=$(ticks)
peak_kib=$(awk '/VmHWM/ { print $2 }' "/proc/$pid/status")
TIMEFORMAT='%U %S'
find_cpu=$( { time find "$work/destination" -maxdepth 1 -iname '*.mp3' | wc -l >/dev/null; } 2>&1)

echo "program with $files media files in the destination"
echo "  start-up to the first shown window: $startup_ms ms"
echo "  peak memory (VmHWM): $((peak_kib / 1024)) MiB"
awk -v t=$((after - before)) -v hz="$hz" -v s="$idle" \
    'BEGIN { printf "  idle CPU over %d s: %.2f %% of one core\n", s, 100 * t / hz / s }'
awk -v t=$((after_arrivals - before_arrivals)) -v hz="$hz" -v s="$idle" -v find="$find_cpu" \
    'BEGIN { split(find, f, " "); printf "  five arrivals a second over %d s: %.1f ms of CPU a second; find: %.0f ms\n", s, 1000 * t / hz / s, 1000 * (f[1] + f[2]) }'
