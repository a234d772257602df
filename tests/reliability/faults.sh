#!/usr/bin/env bash
# Puts the real program through what only real file systems show, one fresh run each: a
# destination that really fills up, the destination's volume gone during a copy and back later,
# and downloads still being written. After each the program still runs and every file is whole
# in one of the two folders.
#   faults.sh PROGRAM [FAULT...]      (all faults when none is named)
source "$(dirname "$0")/../support/real_program.sh"

init_work "$1"
faults=("${@:2}")
# vorlund.exe meets Windows writers in vorlund_exe_test: a shell's writer shares everything there.
[ $# -gt 1 ] || { faults=(destination_full volume_gone) && [ -n "$windows" ] || faults+=(writer); }

fault_destination_full() {
    need_tmpfs "$destination" 8m
    for name in a b c; do random_file "$download/$name.mp3" $((3 << 20)) "$expected"; done
    start_program
    wait_until 120 grep -q -i "No space left on device\|Disk full" "$stderr_log" || fail "the full disk was not reported"
    # Passes go on trying: between two tries, every file is whole and no temporary copy is left.
    wait_until 60 whole_in "$expected" "$download" "$destination" ||
        expect_whole_in "$expected" "with the destination full" "$download" "$destination"

    mkdir "$fault_dir/kept"
    mv "$destination"/* "$fault_dir/kept/"
    wait_until 120 all_moved "$download" "$destination" || fail "not moved once there was room"
    expect_whole_in "$expected" "once there was room" "$fault_dir/kept" "$destination"
    details="reported, moved once there was room"
}

# The destination's volume goes during a copy and comes back: a mount point unmounted, whose bare
# folder must stay empty; for vorlund.exe a drive letter removed. Meanwhile nothing leaves the
# download folder; once it is back, the moves resume by themselves.
fault_volume_gone() {
    local volume=$fault_dir/volume i left reads=()
    need_tmpfs "$volume" 256m
    if [ -n "$windows" ]; then
        destination=$volume/destination && mkdir "$destination"
        store_folders "$(windows_path "$download")" 'V:\destination'
        volume_away() { rm "$WINEPREFIX/dosdevices/v:"; }
        volume_back() { ln -s "$volume" "$WINEPREFIX/dosdevices/v:"; }
    else
        volume_away() { umount -l "$destination"; }
        volume_back() { mount --bind "$volume" "$destination" && mounts+=("$destination"); }
    fi
    volume_back
    for ((i = 0; i < 4; i++)); do random_file "$download/v$i.mp3" $((6 << 20)) "$expected"; done
    # Each read of a file to move waits 100 ms, so that a copy is under way when the volume goes;
    # Wine reads files in the program's own process too, while its server's pipes stay fast.
    need_strace && watch_copies "$destination"
    for i in "$download"/*; do reads+=(-P "$i"); done
    start_program strace -f --seccomp-bpf -qq -o /dev/null -e trace=read,copy_file_range \
        -e inject=read,copy_file_range:delay_enter=100ms "${reads[@]}" --
    wait_until 120 test -s "$work/copies" || fail "no copy started"
    volume_away
    wait_until 60 grep -q "is not there\|'V:" "$stderr_log" || fail "the missing volume was not told"
    left=$(media_names "$download")
    sleep 3
    [ -n "$windows" ] || [ -z "$(ls -A "$destination")" ] || fail "written into the bare folder"
    [ "$(media_names "$download")" = "$left" ] || fail "the download folder changed meanwhile"

    volume_back
    wait_until 120 all_moved "$download" "$destination" || fail "not moved once the volume was back"
    expect_whole_in "$expected" "once the volume was back" "$destination"
    details="gone during a copy: nothing moved meanwhile, all moved once it was back"
}

# Downloads that their writers hold open and write slowly under their final names, into a
# destination on the same volume and on another: each stays, with nothing reported, until its
# writer closes it, then arrives whole.
fault_writer() {
    local into i writer
    need_tmpfs "$fault_dir/other" 64m
    head -c $((12 << 16)) /dev/urandom >"$fault_dir/data"
    for into in "$destination" "$fault_dir/other"; do
        stop_program TERM
        store_folders "$download" "$into"
        start_program
        # This shell is the writer: the file is open for writing through each check.
        exec {writer}>"$download/written.mp3"
        for ((i = 0; i < 12; i++)); do
            dd if="$fault_dir/data" bs=64k skip=$i count=1 status=none >&"$writer"
            sleep 0.25
            [ ! -e "$into/written.mp3" ] || fail "moved into '$into' while it was written"
            ! grep "written" "$stderr_log" || fail "a file still written was reported"
        done
        exec {writer}>&-
        echo "$(sha256sum <"$fault_dir/data" | cut -d' ' -f1)  written.mp3" >"$expected"
        wait_until 60 all_moved "$download" "$into" || fail "not moved once written"
        expect_whole_in "$expected" "once written" "$into"
    done
    details="stayed while written, on one volume and across; moved whole once closed"
}

for fault in "${faults[@]}"; do
    declare -F "fault_$fault" >/dev/null || fail "no fault named '$fault'"
    stop_program TERM
    fault_dir=$work/$fault
    new_run "$fault_dir"
    "fault_$fault"
    [ -z "$pid" ] || expect_alive "at the end of $fault" # unless the fault started none
    echo "fault $fault: ok ($details)"
done
echo "faults: ${#faults[@]} tried, the program alive after each, no file lost"
