# shellcheck shell=bash
# Saving onto a full disk, sourced by e2e_window.sh: a fresh editor saves a level onto a small tmpfs, the disk is
# filled, and the next Ctrl+S must warn and leave the level on disk byte for byte as it was, with no temporary file
# left; once there is room again, Ctrl+S saves. Mounting needs root (CI runs as root, and there it must work);
# elsewhere only this scenario is skipped, with the reason.

DISK="" DISK_PROBLEM=""

# Mounts a tmpfs of 1 MiB at $WORK/disk and sets DISK, or sets DISK_PROBLEM to why it cannot.
mount_small_disk() {
    local out
    mkdir -p "$WORK/disk" || { DISK_PROBLEM="cannot make $WORK/disk"; return 1; }
    [ "$(id -u)" = 0 ] || { DISK_PROBLEM="mounting a tmpfs needs root"; return 1; }
    out=$(mount -t tmpfs -o size=1m,mode=0755 gorseed-e2e "$WORK/disk" 2>&1) || { DISK_PROBLEM=$out; return 1; }
    DISK=$WORK/disk
}

unmount_small_disk() {
    [ -z "$DISK" ] || umount "$DISK" || umount -l "$DISK"
    DISK=""
}

# Prints how many non-empty cells the Wall section of level $1 has.
wall_count() {
    awk -F, '/^#/ { wall = /^#Wall/; next } wall { for (i = 1; i <= NF; i++) n += ($i + 0 != 0) } END { print n + 0 }' "$1"
}

full_disk() {
    local level box title on_disk
    if ! mount_small_disk; then
        [ "${CI:-}" = true ] && { fail "full disk: no tmpfs (CI=true: may not be skipped): $DISK_PROBLEM"; return; }
        log "SKIP full disk: no tmpfs: $DISK_PROBLEM"
        return
    fi
    # Only ever fill the small disk.
    mountpoint -q "$DISK" || { fail "full disk: $DISK is not a mount point"; return; }
    level=$DISK/full.map
    start_editor
    focus_editor # a fresh editor: the pencil on the Wall layer
    click_at_cell 1 1 && click_at_cell 2 1
    key ctrl+s
    answer_file_dialog "$level" "full disk: Ctrl+S" || { stop_editor; return; }
    retry 50 "[ -s '$level' ]" || { fail "full disk: the first save wrote nothing"; stop_editor; return; }
    cp "$level" "$OUT/full-before.map"

    # Every block of the disk taken (at most its 1 MiB); then one more wall and Ctrl+S.
    dd if=/dev/zero of="$DISK/filler" bs=4k count=256 2>/dev/null
    focus_editor
    click_at_cell 3 1
    key ctrl+s
    box=$(window_named "Save Map")
    if [ -n "$box" ]; then
        import -window "$box" "$OUT/full-disk-warning.png"
        xdotool windowfocus --sync "$box" && key Return
        expect_closed "$box" "full disk: the warning did not close"
    else
        fail "full disk: a save onto a full disk showed no warning"
    fi
    cmp -s "$level" "$OUT/full-before.map" || fail "full disk: the level on disk changed (see full-before.map)"
    on_disk=$(find "$DISK" -mindepth 1 -maxdepth 1 -printf '%f\n' | sort | xargs)
    [ "$on_disk" = "filler full full.map" ] ||
        fail "full disk: the disk holds '$on_disk', not just the level, its folder and the filler"
    title=$(xdotool getwindowname "$WIN")
    # The third wall is still unsaved.
    [ "$title" = "*Editing: $level - GorseED" ] || fail "full disk: after the failed save the title is '$title'"

    # Room again: the same Ctrl+S saves the three walls.
    rm -f "$DISK/filler"
    focus_editor
    key ctrl+s
    retry 50 "! cmp -s '$level' '$OUT/full-before.map'" || fail "full disk: with room again Ctrl+S saved nothing"
    [ -z "$(popups)" ] || fail "full disk: a save with room showed a window"
    [ "$(wall_count "$level")" = 3 ] || fail "full disk: the level saved with room holds $(wall_count "$level") walls, not 3"
    stop_editor
    unmount_small_disk
}
