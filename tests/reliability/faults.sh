#!/usr/bin/env bash
# Puts the real program through faults of the disk, the folders, the files and the settings
# store, one fresh run each. After each: the program still runs, it reported on its standard
# error ("vorlund: ...") the failures it reports, and every file is whole in one of the two
# folders (checksums).
#
#   faults.sh PROGRAM [FAULT...]      (all faults when none is named; --list names them)
set -euo pipefail
source "$(dirname "$0")/lib.sh"

all_faults=(
    destination_full destination_removed destination_replaced_by_file download_removed
    source_removed name_taken name_taken_across_volumes open_writer open_writer_across_volumes
    settings_directory settings_garbage settings_read_only drive_not_present
    long_and_non_ascii_names non_utf8_name many_files
)

if [ "${1:-}" = --list ]; then
    printf '%s\n' "${all_faults[@]}"
    exit 0
fi
run_in_own_display "$@"
[ $# -ge 1 ] || { echo "usage: $0 PROGRAM [FAULT...] | --list" >&2; exit 2; }
init_work "$1"
shift
faults=("$@")
[ ${#faults[@]} -gt 0 ] || faults=("${all_faults[@]}")

# A fresh download folder, destination, working folder, settings folder and error log for each
# fault; `download` and `destination` may be mounted over by the fault.
begin_fault() {
    stop_program TERM
    fault_dir=$work/$1
    download=$fault_dir/download
    destination=$fault_dir/destination
    config_home=$fault_dir/config
    program_cwd=$fault_dir/cwd
    stderr_log=$fault_dir/stderr
    expected=$fault_dir/expected
    mkdir -p "$download" "$destination" "$config_home" "$program_cwd"
    : >"$stderr_log"
    : >"$expected"
}

# Mounts a tmpfs the fault needs, or marks the fault skipped.
need_mount() {
    mount_tmpfs "$@" || { fault_skipped=1; return 1; }
}

# Writes a file of random contents and notes its checksum among the expected ones.
new_file() {
    random_file "$1" "$2" "$expected"
}

expect_whole_in() {
    checksums_of "$@" >"$fault_dir/actual"
    same_checksums "$expected" "$fault_dir/actual" "$current_fault"
}

expect_report() {
    wait_until 20 has_report "$1" || fail "no report holding '$1' on standard error"
}

all_arrived() {
    all_moved "$download" "$destination"
}

has_interrupted_copy() {
    ! has_no_interrupted_copy "$destination"
}

fault_destination_full() {
    need_mount "$destination" 8m || return 0
    new_file "$download/a.mp3" $((3 << 20))
    new_file "$download/b.mp3" $((3 << 20))
    new_file "$download/c.mp3" $((3 << 20))
    write_config "$download" "$destination"
    start_program
    expect_report "No space left on device"
    wait_passes 3
    expect_alive "with the destination full"
    [ "$(reports_of "No space left on device")" -eq 1 ] ||
        fail "the full destination was reported more than once while it lasted"
    has_no_interrupted_copy "$destination" || fail "a temporary copy is left in the full destination"
    expect_whole_in "$download" "$destination"

    mkdir -p "$fault_dir/kept"
    mv "$destination"/* "$fault_dir/kept/"
    wait_until 20 all_arrived || fail "the file did not move once there was room"
    expect_whole_in "$fault_dir/kept" "$destination"
    details="reported once, moved once there was room"
}

fault_destination_removed() {
    new_file "$download/a.mp3" 100000
    write_config "$download" "$destination"
    start_program
    wait_until 20 all_arrived || fail "a.mp3 did not arrive"
    mv "$destination" "$fault_dir/away"
    new_file "$download/b.mp3" 200000
    expect_report "'$destination'"
    wait_passes 2
    expect_alive "with the destination removed"
    [ ! -e "$destination" ] || fail "the removed destination was made again"
    expect_whole_in "$download" "$fault_dir/away"

    mkdir "$destination"
    wait_until 20 all_arrived || fail "b.mp3 did not move once the destination was back"
    expect_whole_in "$fault_dir/away" "$destination"
    details="reported, moved once the folder was back"
}

fault_destination_replaced_by_file() {
    new_file "$download/a.mp3" 100000
    write_config "$download" "$destination"
    start_program
    wait_until 20 all_arrived || fail "a.mp3 did not arrive"
    mv "$destination" "$fault_dir/away"
    printf 'not a folder' >"$destination"
    new_file "$download/b.mp3" 200000
    expect_report "'$destination'"
    wait_passes 2
    expect_alive "with a file in the destination's place"
    [ "$(cat "$destination")" = "not a folder" ] || fail "the file in the destination's place changed"
    expect_whole_in "$download" "$fault_dir/away"

    rm "$destination"
    mv "$fault_dir/away" "$destination"
    wait_until 20 all_arrived || fail "b.mp3 did not move once the destination was back"
    expect_whole_in "$destination"
    details="reported, moved once the folder was back"
}

fault_download_removed() {
    write_config "$download" "$destination"
    start_program
    wait_passes 1
    mv "$download" "$fault_dir/away"
    new_file "$fault_dir/away/a.mp3" 100000
    expect_report "'$download'"
    wait_passes 2
    expect_alive "with the download folder removed"
    mv "$fault_dir/away" "$download"
    wait_until 20 all_arrived || fail "a.mp3 did not move once the download folder was back"
    expect_whole_in "$destination"
    details="reported, moved once the folder was back"
}

# Sources deleted by the test while a pass runs: those listed but not yet copied are the ones
# that vanish between the listing and the copy.
fault_source_removed() {
    need_mount "$download" 256m || return 0
    local i names=()
    for ((i = 10; i < 50; i++)); do
        new_file "$download/f$i.mp3" "$(random_between $((2 << 20)) $((6 << 20)))"
        names+=("f$i.mp3")
    done
    write_config "$download" "$destination"
    start_program
    cp "$expected" "$fault_dir/all"
    wait_until 20 has_interrupted_copy || fail "no copy started"
    local deleted=0 name
    for ((i = ${#names[@]} - 1; i >= ${#names[@]} - 12; i--)); do
        name=${names[i]}
        if rm "$download/$name" 2>/dev/null; then
            grep -vF "  $name" "$expected" >"$fault_dir/still" || true
            mv "$fault_dir/still" "$expected"
            deleted=$((deleted + 1))
        fi
    done
    wait_until 30 all_arrived || fail "the other files did not all arrive"
    wait_passes 1
    expect_alive "after sources were deleted"
    has_no_interrupted_copy "$destination" || fail "a temporary copy is left"
    # A deleted file that was copied before it went may have arrived: whole, then.
    checksums "$destination" >"$fault_dir/actual"
    local missing corrupt extra
    read -r missing corrupt extra < <(compare_checksums "$expected" "$fault_dir/actual")
    if [ "$missing" -ne 0 ] || [ "$corrupt" -ne 0 ]; then
        fail "$missing files missing, $corrupt with other contents"
    fi
    local arrived
    for ((i = ${#names[@]} - 12; i < ${#names[@]}; i++)); do
        arrived=$destination/${names[i]}
        [ ! -e "$arrived" ] || grep -qF "$(sha256sum <"$arrived" | cut -c1-64)" "$fault_dir/all" ||
            fail "${names[i]} arrived with contents it never had"
    done
    [ "$deleted" -eq 0 ] || has_report "No such file or directory" ||
        fail "$deleted sources vanished during the pass and nothing was reported"
    details="$deleted of 12 sources deleted during a pass, $((${#names[@]} - deleted)) moved whole"
}

# Names taken in the destination: the same contents drop the source, other contents keep both.
check_name_taken() {
    printf 'old a' >"$destination/a.mp3"
    printf 'same b' >"$destination/b.mp3"
    printf 'old c' >"$destination/c.mp3"
    printf 'old c2' >"$destination/c (2).mp3"
    printf 'old E' >"$destination/E.mp3"
    printf 'new a' >"$download/a.mp3"
    printf 'same b' >"$download/b.mp3"
    printf 'new c' >"$download/c.mp3"
    printf 'new e' >"$download/e.mp3"
    checksums "$destination" >"$expected"
    (cd "$download" && cp a.mp3 "$fault_dir/a (2).mp3" && cp c.mp3 "$fault_dir/c (3).mp3" &&
        cp e.mp3 "$fault_dir/e.mp3")
    (cd "$fault_dir" && sha256sum "a (2).mp3" "c (3).mp3" e.mp3) >>"$expected"
    write_config "$download" "$destination"
    start_program
    wait_until 20 all_arrived || fail "the files did not all move"
    expect_alive "with names taken"
    expect_whole_in "$destination"
    details="'a (2).mp3' and 'c (3).mp3' beside the old ones, the identical b.mp3 dropped $1"
}

fault_name_taken() {
    check_name_taken "(within one volume)"
}

fault_name_taken_across_volumes() {
    need_mount "$download" 16m || return 0
    check_name_taken "(across volumes)"
}

# A download client that keeps writing a file after it took its media name. Within one volume
# the move is a rename, and the writer's later data lands in the moved file.
# A file still open for writing: renamed within one volume it takes its writer along; across
# volumes it must stay until the writer closes it, since a copy would miss what comes after.
check_open_writer() {
    local where=$1
    head -c $((1 << 20)) /dev/urandom >"$fault_dir/first"
    head -c $((1 << 20)) /dev/urandom >"$fault_dir/second"
    cat "$fault_dir/first" "$fault_dir/second" >"$fault_dir/w.mp3"
    (cd "$fault_dir" && sha256sum w.mp3) >"$expected"
    write_config "$download" "$destination"
    start_program
    local writer
    exec {writer}>"$download/w.mp3"
    cat "$fault_dir/first" >&"$writer"
    if [ "$where" = across ]; then
        wait_passes 3
        [ ! -e "$destination/w.mp3" ] || fail "a file still open for writing was copied away"
        ls -A "$destination" | grep -q . && fail "something was left in the destination while copying"
        grep -q 'open for writing\|busy' "$stderr_log" ||
            fail "the user was not told that the file is still being written"
    else
        wait_until 20 test -e "$destination/w.mp3" || fail "the open file was not moved"
    fi
    cat "$fault_dir/second" >&"$writer"
    exec {writer}>&-
    wait_until 20 all_arrived || fail "the file did not settle"
    wait_passes 2
    expect_alive "with a file open for writing"
    local have
    have=$(stat -c %s "$destination/w.mp3")
    [ "$have" -eq $((2 << 20)) ] ||
        fail "the writer's data after the move was lost: the destination holds $have of" \
            "$((2 << 20)) bytes; the rest went to the source, which the move had deleted"
    expect_whole_in "$destination"
    details="the writer's data arrived whole ($where)"
}

fault_open_writer() {
    check_open_writer "within one volume"
}

fault_open_writer_across_volumes() {
    need_mount "$download" 16m || return 0
    check_open_writer across
}

# No selection can be read: both lists show the working folder, so nothing may move.
check_nothing_moves_from_the_working_folder() {
    new_file "$program_cwd/here.mp3" 1000
    new_file "$program_cwd/Here too.JPG" 1000
    start_program
    wait_passes 3
    expect_alive "$1"
    expect_whole_in "$program_cwd"
}

fault_settings_directory() {
    mkdir "$config_home/vlund.conf"
    printf 'keep' >"$config_home/vlund.conf/inside"
    check_nothing_moves_from_the_working_folder "with vlund.conf a folder"
    [ "$(cat "$config_home/vlund.conf/inside")" = keep ] || fail "the folder vlund.conf changed"
    details="started with no selections, nothing moved, the folder left alone"
}

fault_settings_garbage() {
    head -c 4096 /dev/urandom >"$config_home/vlund.conf"
    check_nothing_moves_from_the_working_folder "with random bytes in vlund.conf"
    stop_program TERM

    # Garbage around the selections, and values of the wrong kind.
    {
        printf 'no section=\n=\n;;; a comment\n%%%%\x01\x02\n'
        printf '[Startup]\nDir1=%s\nDir2=%s\n' "$download" "$destination"
        printf 'Drive1=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x7fjunk)\nDrive2=a, b, c\n'
        printf '[Startup\n=\n==\nDir1\n'
        head -c 512 /dev/urandom | tr -d '['
    } >"$config_home/vlund.conf"
    : >"$expected"
    new_file "$download/g.mp3" 5000
    start_program
    wait_until 20 all_arrived || fail "the selections amid the garbage were not used"
    expect_alive "with garbage around the selections"
    expect_whole_in "$destination"
    details="random bytes: nothing moved; garbage around the selections: they still work"
}

fault_settings_read_only() {
    need_mount "$download" 16m || return 0
    need_mount "$config_home" 1m || return 0
    # The stored drive differs from the working folder's, so that starting up stores it anew.
    write_config "$download" "$destination" "Drive1=$download"
    mount -o remount,ro "$config_home" || { fault_skipped=1; return 0; }
    new_file "$download/r.mp3" 5000
    start_program
    expect_report "$config_home/vlund.conf"
    wait_until 20 all_arrived || fail "r.mp3 did not move"
    expect_alive "with a read-only settings store"
    expect_whole_in "$destination"
    details="reported, files still moved"
}

fault_drive_not_present() {
    write_config "$download" "$destination" 'Drive1=Q:\' "Drive2=$fault_dir/no such drive"
    new_file "$download/d.mp3" 5000
    start_program
    wait_until 20 all_arrived || fail "d.mp3 did not move"
    expect_alive "with stored drives not present"
    expect_whole_in "$destination"

    # The stored download folder lies on a drive that is not mounted now.
    stop_program TERM
    mkdir -p "$fault_dir/drive"
    need_mount "$fault_dir/drive" 1m || return 0
    mkdir "$fault_dir/drive/downloads"
    new_file "$fault_dir/drive/downloads/on drive.mp3" 5000
    unmount "$fault_dir/drive"
    write_config "$fault_dir/drive/downloads" "$destination" "Drive1=$fault_dir/drive"
    new_file "$program_cwd/in working folder.mp3" 5000
    start_program
    wait_passes 3
    expect_alive "with the stored download folder's drive gone"
    grep -vF "on drive.mp3" "$expected" >"$fault_dir/still" || true
    mv "$fault_dir/still" "$expected"
    expect_whole_in "$program_cwd" "$destination"
    local fallback="stayed in the working folder"
    [ -e "$program_cwd/in working folder.mp3" ] || fallback="moved from the working folder"
    details="stored drives Q:\\ and a missing one: files still moved; the download folder's drive"
    details+=" gone: a media file $fallback, nothing lost"
}

fault_long_and_non_ascii_names() {
    need_mount "$download" 16m || return 0
    local long_ascii long_utf8 name
    long_ascii=$(printf 'L%.0s' {1..251}).mp3
    long_utf8=$(printf 'é%.0s' {1..125})x.mp3
    if [ ${#long_ascii} -ne 255 ] || [ "$(printf '%s' "$long_utf8" | wc -c)" -ne 255 ]; then
        fail "the long names are not 255 bytes"
    fi
    local names=(
        "$long_ascii" "$long_utf8" "Ünïcødé 日本語 🎵.mp3" "Ελληνικά.WMA" "кириллица.Zip"
        "name with  spaces.gif" "-leading dash.mp3" "semi;colon.jpg" "tab	in name.mp3"
        $'new\nline.mp3' 'back\slash.mp3' "quote's \"both\".mpg" "*star?.mp3" "[brackets].mp3"
    )
    for name in "${names[@]}"; do
        new_file "$download/$name" "$(random_between 1 100000)"
    done
    write_config "$download" "$destination"
    start_program
    wait_until 20 all_arrived || fail "the files did not all move: $(media_names "$download")"
    expect_whole_in "$destination"

    # The long name taken by other contents: the newcomer gives up the end of its stem to make
    # room for its number, and both are kept.
    local numbered
    numbered=$(printf 'L%.0s' {1..247})" (2).mp3"
    random_file "$download/$long_ascii" 2000 "$fault_dir/second"
    sed "s|  $long_ascii\$|  $numbered|" "$fault_dir/second" >>"$expected"
    wait_until 20 all_arrived || fail "the second file under the 255-byte name did not move"
    wait_passes 1
    expect_alive "with long and non-ASCII names"
    expect_whole_in "$destination"
    details="${#names[@]} names moved across volumes; a second file under the 255-byte name"
    details+=" arrived as '${numbered:0:3}...${numbered: -8}'"
}


# A name that is not valid UTF-8, as an old client may write it (Latin-1).
fault_non_utf8_name() {
    need_mount "$download" 16m || return 0
    new_file "$download/caf"$'\xe9'".mp3" 5000
    write_config "$download" "$destination"
    start_program
    wait_passes 3
    expect_alive "with a name that is not UTF-8"
    has_no_media "$download" ||
        fail "'caf\\xe9.mp3' (a name that is not valid UTF-8) is still in the download folder" \
            "after 3 passes, and $(grep -c '^vorlund: ' "$stderr_log" || true) failures were reported"
    expect_whole_in "$destination"
    details="moved"
}

fault_many_files() {
    local count=40000 i
    for ((i = 0; i < count; i++)); do
        printf '%s %s' "$i" "$RANDOM$RANDOM" >"$download/many-$i.${media_extensions[i % 6]}"
    done
    for ((i = 0; i < 1000; i++)); do
        printf 'partial %s' "$i" >"$download/many-$i.dat"
    done
    checksums "$download" >"$expected"
    write_config "$download" "$destination"
    start_program
    wait_until 240 has_no_media "$download" ||
        fail "$(media_names "$download" | wc -l) of $count files still in the download folder"
    wait_passes 1
    expect_alive "with $count files in one folder"
    checksums_of "$download" "$destination" >"$fault_dir/actual"
    same_checksums "$expected" "$fault_dir/actual" "$current_fault"
    local partials=("$download"/*.dat)
    [ ${#partials[@]} -eq 1000 ] || fail "partial downloads moved: ${#partials[@]} of 1000 left"
    details="$count files moved within one volume, 1000 partial downloads left in place"
}

tried=0
skipped=0
files_checked=0
for current_fault in "${faults[@]}"; do
    declare -F "fault_$current_fault" >/dev/null || fail "no fault named '$current_fault'"
    begin_fault "$current_fault"
    details=
    fault_skipped=
    "fault_$current_fault"
    if [ -n "$fault_skipped" ]; then
        echo "fault $current_fault: SKIP (cannot mount a tmpfs here)"
        skipped=$((skipped + 1))
        continue
    fi
    expect_alive "at the end"
    stop_program TERM
    files_checked=$((files_checked + $(wc -l <"$expected")))
    tried=$((tried + 1))
    echo "fault $current_fault: ok ($details)"
done


echo "faults: $tried tried ($skipped skipped), program alive after each, $files_checked files" \
    "checked, files lost: 0"
[ "$tried" -gt 0 ] || exit "$skip_code"
