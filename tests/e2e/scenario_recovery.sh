# shellcheck shell=bash
# Recovery after a crash, sourced by e2e_window.sh: an editor paints three walls, writes its recovery copy (every
# half second here) and is killed with SIGKILL; the next editor, with the same user data folder, offers the copy
# of "a level never saved", restores it marked changed, and Ctrl+S saves exactly the walls that were painted.

# Prints the cells ("column,row" ...) of the Wall section of level $1 that hold an object.
wall_cells() {
    awk -F, '/^#/ { wall = /^#Wall/; row = 0; next } wall && NF > 1 {
        for (i = 1; i < NF; i++) if ($i + 0 != 0) printf "%d,%d ", i - 1, row; row++ }' "$1" | xargs
}

recovery_after_kill() {
    local home=$WORK/recovery-home level=$WORK/recovered.map copies offer title ref
    local painted="1,1 2,1 3,2"
    EDITOR_HOME=$home RECOVERY_MS=500 start_editor
    focus_editor # a new editor starts on the Wall layer
    click_at_cell 1 1 && click_at_cell 2 1 && click_at_cell 3 2
    park
    copies=$home/GorseED/recovery
    retry 100 "[ \"\$(wall_cells $copies/*.map 2>/dev/null)\" = '$painted' ]" ||
        { fail "recovery: no recovery copy with the painted walls in $copies"; stop_editor; return; }
    kill -KILL "$EDITOR_PID" && wait "$EDITOR_PID" 2>/dev/null
    EDITOR_PID=""

    EDITOR_HOME=$home start_editor
    offer=$(window_named "Recover Level")
    [ -n "$offer" ] || { fail "recovery: the next editor offered no recovery copy"; stop_editor; return; }
    import -window "$offer" "$OUT/recovery-offer.png"
    xdotool windowfocus --sync "$offer" && key Return # Restore
    expect_closed "$offer" "recovery: the offer did not close"
    WIN=$(xdotool search --onlyvisible --pid "$EDITOR_PID" --name 'GorseED$' | head -n 1)
    # The restore runs once the offer has closed.
    retry 300 "[ \"\$(xdotool getwindowname $WIN)\" = '*GorseED' ]" ||
        fail "recovery: the restored level's title is '$(xdotool getwindowname "$WIN")', not '*GorseED'"

    focus_editor
    key ctrl+s
    answer_file_dialog "$level" "recovery: Ctrl+S" || { stop_editor; return; }
    retry 50 "[ -s '$level' ]" || { fail "recovery: the restored level was not saved"; stop_editor; return; }
    [ "$(wall_cells "$level")" = "$painted" ] ||
        fail "recovery: the saved level has walls at '$(wall_cells "$level")', not at the painted '$painted'"
    # The image came from its absolute path in the copy into the level's own texture folder.
    ref=$(grep -a ',Wall,Solid,' "$level" | head -n 1 | cut -d, -f4 | tr -d '\r')
    cmp -s "$WORK/$ref" "$WORK/wd/textures/Wall/${ref#recovered/}" ||
        fail "recovery: the saved level's wall texture '$ref' is not the painted image"
    compgen -G "$copies/*.map" >/dev/null && fail "recovery: a recovery copy is left after the save: $(ls "$copies")"
    stop_editor
}
