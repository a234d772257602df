# Sourced by the tests of the real program: a work folder, the program in an X server of its own
# with its selections in a private config folder (vorlund.exe: in the registry of a Wine prefix of
# its own, its folders on C:), tmpfs volumes, bounded waits, checksums.
# The exit trap stops, unmounts and removes all it started, mounted or made, after `exit_hooks`.

set -euo pipefail
shopt -s nullglob

skip_code=77
if [ -z "${VORLUND_TEST_DISPLAY:-}" ]; then
    export VORLUND_TEST_DISPLAY=1
    exec xvfb-run -a -s "-noreset" "$0" "$@"
fi

work= pid= watcher= mounts=() exit_hooks=() windows= launch=()
unset QT_QPA_PLATFORM
# No offers to install Mono or Gecko, and no menu entries written into the home folder.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A session bus of the test's own (VORLUND_TEST_BUS) or none: never the machine's, nor one that Qt
# starts through dbus-launch, which outlives the program and keeps a tracer waiting for it.
[ -n "${VORLUND_TEST_BUS:-}" ] || export DBUS_SESSION_BUS_ADDRESS=disabled:

cleanup() {
    local status=$? i
    stop_program || status=1
    [ -z "$watcher" ] || kill "$watcher" 2>/dev/null || true
    for i in "${exit_hooks[@]}"; do "$i"; done
    { wineserver -k && timeout 60 wineserver -w; } 2>/dev/null || true # a client's, or vorlund.exe's
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" 2>/dev/null || true
    done
    [ -z "$work" ] || rm -rf "$work"
    exit "$status"
}

init_work() {
    program=$(realpath "$1")
    [ -x "$program" ] || { echo "FAIL: no program at '$1'" >&2; exit 1; }
    work=$(mktemp -d "${TMPDIR:-/tmp}/vorlund-test.XXXXXX")
    trap cleanup EXIT
    trap 'exit 130' INT TERM
    mkdir -m 0700 "$work/runtime"
    export WINEPREFIX=$work/prefix # never the user's own, where a real client may wait
    if [[ $program == *.exe ]]; then
        windows=1 launch=(wine)
        mkdir -p "$WINEPREFIX" && wineserver -p </dev/null >/dev/null 2>&1
        timeout -v 300 wineboot --init </dev/null >"$work/wineboot.log" 2>&1 ||
            fail "wineboot failed or ran past 300 s: $(tail -n 5 "$work/wineboot.log")"
        # A crash ends the program, its backtrace in its stderr, instead of a dialog nobody sees.
        timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD \
            /d 0 /f >/dev/null 2>&1 || fail "Wine's crash dialog stays on"
    fi
    new_run "$work"
}

# A fresh run in `folder`: download, destination, working folder, settings, stderr, checksums.
new_run() {
    download=$1/download destination=$1/destination program_cwd=$1/cwd config_home=$1/config
    stderr_log=$1/stderr expected=$1/expected
    [ -z "$windows" ] || destination=$WINEPREFIX/drive_c${1#"$work"}/destination
    mkdir -p "$download" "$destination" "$config_home"
    : >"$stderr_log" && : >"$expected"
    store_folders "$(windows_path "$download")" "$(windows_path "$destination")"
}

# The path as the program reads it: vorlund.exe sees the prefix's drive_c as C:, the root as Z:.
windows_path() {
    [ -n "$windows" ] || { echo "$1" && return; }
    local path=${1#"$WINEPREFIX/drive_c"}
    [ "$path" = "$1" ] && echo "Z:${path//\//\\}" || echo "C:${path//\//\\}"
}

# Stores the program's selections Dir1 and Dir2 for its next start.
store_folders() {
    [ -n "$windows" ] || { printf '[Startup]\nDir1=%s\nDir2=%s\n' "$@" >"$config_home/vlund.conf" && return; }
    local i
    for i in 1 2; do timeout 60 wine reg add 'HKCU\Software\vlund\Startup' /v "Dir$i" /d "${!i}" /f \
        >/dev/null 2>&1 || fail "cannot store Dir$i (or not within a minute)"; done
}

fail() {
    echo "FAIL: $*" >&2
    [ ! -s "${stderr_log:-}" ] || { echo "--- the program's last reports:" && tail -n 20 "$stderr_log"; } >&2
    exit 1
}

skip() { echo "SKIP: $*" && exit "$skip_code"; }

# A tmpfs of `size` at `folder`; the test skips without the right to mount one.
need_tmpfs() {
    mkdir -p "$1" && mount -t tmpfs -o "size=$2,mode=0755" tmpfs "$1" 2>/dev/null ||
        skip "cannot mount a tmpfs at '$1' (needs root or CAP_SYS_ADMIN)"
    mounts+=("$1")
}

need_strace() { strace -qq -o /dev/null true 2>/dev/null || skip "strace missing, or ptrace not allowed"; }

# Starts the program, under `tracer...` when given; `pid` is the program's own process.
start_program() {
    rm -f "$work/pid"
    mkdir -p "$program_cwd"
    (cd "$program_cwd" && export XDG_CONFIG_HOME=$config_home XDG_RUNTIME_DIR=$work/runtime &&
        exec "$@" /bin/sh -c 'echo $$ >"$1" && log=$2 && shift 2 && exec "$@" 2>>"$log"' sh \
            "$work/pid" "$stderr_log" "${launch[@]}" "$program" 2>>"$work/tracer.log") &
    runner=$!
    disown "$runner" # no note of its end on stderr: ended() tells
    wait_until 60 eval '[ -s "$work/pid" ] || ended "$runner"' && [ -s "$work/pid" ] ||
        fail "the program did not start (within a minute)"
    pid=$(<"$work/pid")
}

# SIGKILL unless told otherwise; waits a minute at most until the process (and a tracer) is gone.
stop_program() {
    [ -n "$pid" ] || return 0
    kill "-${1:-KILL}" "$pid" 2>/dev/null || true
    pid=
    wait_until 60 ended "$runner" || { kill -KILL "$runner" &&
        echo "FAIL: the program or its tracer outlived SIG${1:-KILL} by a minute" >&2 && return 1; }
}

# The program's window: each test has an X server of its own.
program_window() {
    xwininfo -root -tree | awk '/"(Form1|Vorlund )/ { print $1; found = 1 } END { exit !found }'
}

# Gone, or a zombie waiting to be reaped.
ended() { local s; ! s=$(cat "/proc/$1/stat" 2>/dev/null) || { s=${s##*) } && [ "${s%% *}" = Z ]; }; }

expect_alive() { [ -n "$pid" ] && ! ended "$pid" || fail "the program is gone ($*)"; }

# Polls `command...` for at most `seconds`: a guard against a hang, long for a loaded machine.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do [ "$SECONDS" -lt "$deadline" ] && sleep 0.05 || return 1; done
}

# The media files directly in `folder`, hidden ones passed over.
media_names() {
    LC_ALL=C find "$1" -mindepth 1 -maxdepth 1 -type f -name '[!.]*' \
        -iregex '.*\.\(mp3\|wma\|mpg\|zip\|jpg\|gif\)' -printf '%f\n'
}

# Notes in $work/copies each temporary copy made in `folder` from now on, however briefly it lived.
watch_copies() {
    inotifywait -m -e create --format %f "$1" </dev/null >"$work/copies" 2>"$work/watch" & watcher=$!
    wait_until 60 grep -q "Watches established" "$work/watch" || fail "cannot watch '$1' for copies"
}

no_temporary_in() { ! compgen -G "$1/.vorlund-*.part" >/dev/null; }

# Nothing left to move from `download`, no temporary copy left in `destination`.
all_moved() { [ -z "$(media_names "$1")" ] && no_temporary_in "$2"; }

# True when the folders hold exactly the files and contents that the checksum list names.
whole_in() {
    local expected=$1 folder
    shift
    diff <(sort "$expected") <(for folder in "$@"; do
        (cd "$folder" && find . -maxdepth 1 -type f -printf '%P\0' | xargs -0r sha256sum --)
    done | sort) >"$work/difference"
}

expect_whole_in() {
    whole_in "$1" "${@:3}" ||
        fail "$2: files missing, changed or unexpected:"$'\n'"$(head -n 20 "$work/difference")"
}

# A file of `bytes` random bytes, its checksum line added to `list`.
random_file() {
    head -c "$2" /dev/urandom >"$1"
    (cd "${1%/*}" && sha256sum -- "${1##*/}") >>"$3"
}

random_between() { echo $((($1) + (RANDOM * 32768 + RANDOM) % (($2) - ($1) + 1))); }
