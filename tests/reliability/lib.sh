# shellcheck shell=bash
# Shared by the reliability tests (sourced, not run): a temporary work folder, the real program
# started in its own X server with its selections in a private config folder, file systems
# mounted for the test, bounded polls and checksums. Everything started or mounted here is
# stopped, unmounted and removed by the exit trap.

set -euo pipefail
shopt -s nullglob

skip_code=77
media_extensions=(mp3 wma mpg zip jpg gif)

# Each script runs in an X server of its own, so that no window opens on the user's screen.
run_in_own_display() {
    if [ -z "${VORLUND_RELIABILITY_DISPLAY:-}" ]; then
        export VORLUND_RELIABILITY_DISPLAY=1
        exec xvfb-run -a -s "-noreset" "$0" "$@"
    fi
}

work=
pid=
helpers=()
mounts=()

cleanup() {
    local status=$?
    stop_program
    local helper
    for helper in "${helpers[@]}"; do
        kill "$helper" 2>/dev/null || true
        wait "$helper" 2>/dev/null || true
    done
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" 2>/dev/null || true
    done
    [ -n "$work" ] && rm -rf "$work"
    exit "$status"
}

# Makes the work folder; `program` is the vorlund executable. The program runs in
# `program_cwd` with its settings in `config_home`; a test may point both elsewhere.
init_work() {
    program=$(realpath "$1")
    [ -x "$program" ] || { echo "FAIL: no program at '$1'" >&2; exit 1; }
    work=$(mktemp -d "${TMPDIR:-/tmp}/vorlund-reliability.XXXXXX")
    trap cleanup EXIT
    trap 'exit 130' INT TERM
    config_home=$work/config
    program_cwd=$work/cwd
    mkdir -p "$config_home" "$program_cwd"
    mkdir -m 0700 "$work/runtime"
    stderr_log=$work/stderr
    : >"$stderr_log"
}

fail() {
    echo "FAIL: $*" >&2
    if [ -s "${stderr_log:-/dev/null}" ]; then
        echo "--- the program's standard error (last lines):" >&2
        tail -n 20 "$stderr_log" >&2
    fi
    exit 1
}

# A tmpfs of `size` at `folder`; false when this machine does not allow mounting.
mount_tmpfs() {
    local folder=$1 size=$2
    mkdir -p "$folder"
    mount -t tmpfs -o "size=$size,mode=0755" tmpfs "$folder" 2>/dev/null || return 1
    mounts+=("$folder")
}

# The same, or skip the whole test with the reason.
need_tmpfs() {
    if ! mount_tmpfs "$@"; then
        echo "SKIP: cannot mount a tmpfs at '$1' (needs root or CAP_SYS_ADMIN): a second volume is needed"
        exit "$skip_code"
    fi
}

unmount() {
    umount "$1"
    local kept=() folder
    for folder in "${mounts[@]}"; do
        [ "$folder" = "$1" ] || kept+=("$folder")
    done
    mounts=("${kept[@]}")
}

# Stores the two selections (and any further lines) the way the program keeps them.
write_config() {
    local download=$1 destination=$2
    shift 2
    {
        echo "[Startup]"
        echo "Dir1=$download"
        echo "Dir2=$destination"
        local line
        for line in "$@"; do echo "$line"; done
    } >"$config_home/vlund.conf"
}

# Starts the program, under `tracer...` (e.g. strace and its options) when given; `pid` is the
# program's own process either way.
start_program() {
    rm -f "$work/pid"
    (cd "$program_cwd" && export XDG_CONFIG_HOME=$config_home XDG_RUNTIME_DIR=$work/runtime &&
        exec "$@" /bin/sh -c 'echo $$ >"$1" && exec "$2" 2>>"$3"' sh "$work/pid" "$program" \
            "$stderr_log" 2>>"$work/tracer.log") &
    runner=$!
    until [ -s "$work/pid" ]; do
        kill -0 "$runner" 2>/dev/null || fail "the program did not start"
        sleep 0.01
    done
    pid=$(<"$work/pid")
}

# SIGKILL unless told otherwise; waits for the process (and a tracer) to be gone.
stop_program() {
    local signal=${1:-KILL}
    if [ -n "$pid" ]; then
        kill "-$signal" "$pid" 2>/dev/null || true
        wait "$runner" 2>/dev/null || true
        pid=
    fi
}

# Alive and not a zombie that is waiting to be reaped.
program_alive() {
    [ -n "$pid" ] || return 1
    local stat
    stat=$(<"/proc/$pid/stat") 2>/dev/null || return 1
    stat=${stat##*) }
    [ "${stat%% *}" != Z ]
}

expect_alive() {
    program_alive || fail "the program is gone ($*)"
}

# Polls `command...` until it succeeds, for at most `seconds`.
wait_until() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

is_media_name() {
    local name=${1,,} extension
    for extension in "${media_extensions[@]}"; do
        [[ $name == *."$extension" ]] && return 0
    done
    return 1
}

# The media files directly in `folder`, one name a line; like the program, it passes over hidden
# files (dot files).
media_names() {
    local path
    for path in "$1"/*; do
        [ -f "$path" ] && is_media_name "${path##*/}" && printf '%s\n' "${path##*/}"
    done
    return 0
}

has_no_media() {
    local path
    for path in "$1"/*; do
        [ -f "$path" ] && is_media_name "${path##*/}" && return 1
    done
    return 0
}

has_no_interrupted_copy() {
    local paths=("$1"/.vorlund-*.part)
    [ "${#paths[@]}" -eq 0 ]
}

# Nothing left to move: no media file in `download`, no temporary copy in `destination`.
all_moved() {
    has_no_media "$1" && has_no_interrupted_copy "$2"
}

# "checksum  name" for every file directly in `folder`, sorted by name; the names are escaped
# by sha256sum where they hold a newline or a backslash, the same way on both sides.
checksums() {
    (cd "$1" && find . -mindepth 1 -maxdepth 1 -type f -printf '%P\0' | sort -z |
        xargs -0r sha256sum --) | sort
}

# "missing corrupt unexpected": how the files listed in `actual` differ from `expected`.
compare_checksums() {
    awk '
        function parse(line) {
            escaped = substr(line, 1, 1) == "\\"
            if (escaped) line = substr(line, 2)
            hash = substr(line, 1, 64)
            name = (escaped ? "\\" : "") substr(line, 67)
        }
        NR == FNR { parse($0); want[name] = hash; next }
        {
            parse($0); seen[name] = 1
            if (!(name in want)) extra++
            else if (want[name] != hash) corrupt++
        }
        END {
            for (name in want) if (!(name in seen)) missing++
            print missing + 0, corrupt + 0, extra + 0
        }' "$1" "$2"
}

# Fails unless `actual` lists exactly the files and contents of `expected`.
same_checksums() {
    local expected=$1 actual=$2 what=$3 missing corrupt extra
    read -r missing corrupt extra < <(compare_checksums "$expected" "$actual")
    if [ "$missing" -ne 0 ] || [ "$corrupt" -ne 0 ] || [ "$extra" -ne 0 ]; then
        echo "--- expected / actual checksums ($what):" >&2
        diff <(sort "$expected") <(sort "$actual") | head -n 20 >&2 || true
        fail "$what: $missing missing, $corrupt with other contents, $extra unexpected"
    fi
}

# A file of `bytes` random bytes; its "checksum  name" line is added to `list`, with the name
# escaped the way sha256sum escapes it.
random_file() {
    local path=$1 bytes=$2 list=$3 sum name=${1##*/} escaped=
    sum=$(head -c "$bytes" /dev/urandom | tee "$path" | sha256sum)
    if [[ $name == *[$'\n\\']* ]]; then
        name=${name//\\/\\\\}
        name=${name//$'\n'/\\n}
        escaped='\'
    fi
    printf '%s%s  %s\n' "$escaped" "${sum%% *}" "$name" >>"$list"
}

# A random number in [low, high].
random_between() {
    echo $((($1) + (RANDOM * 32768 + RANDOM) % (($2) - ($1) + 1)))
}

# Sleeps `milliseconds`.
sleep_ms() {
    sleep "$(printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)))"
}

# Checksums of the files in several folders together (their names must not clash).
checksums_of() {
    local folder
    for folder in "$@"; do checksums "$folder"; done | sort
}

# The program's window, found by its ticking title.
window_title() {
    local window
    window=$(xwininfo -root -tree 2>/dev/null | awk '/"Vorlund / { print $1; exit }')
    [ -n "$window" ] || return 0
    xprop -id "$window" _NET_WM_NAME 2>/dev/null |
        sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'
}

# Waits until the program has started `count` more passes: its title is set anew by each pass
# and shows the seconds.
wait_passes() {
    local count=$1 seen last title
    last=$(window_title)
    for ((seen = 0; seen < count;)); do
        local deadline=$((SECONDS + 10))
        until title=$(window_title) && [ -n "$title" ] && [ "$title" != "$last" ]; do
            [ "$SECONDS" -lt "$deadline" ] || fail "the program's title stopped ticking"
            sleep 0.1
        done
        last=$title
        seen=$((seen + 1))
    done
}

# How many of the program's reports ("vorlund: ..." lines on its standard error) hold `text`.
reports_of() {
    grep -F -- "$1" "$stderr_log" | grep -c '^vorlund: ' || true
}

has_report() {
    [ "$(reports_of "$1")" -gt 0 ]
}
