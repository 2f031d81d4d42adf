# shellcheck shell=bash
# Strokes that leave the map and a Ctrl released while the save dialog has the keyboard, sourced by
# e2e_window.sh. Needs a fresh editor (nothing saved yet): the pencil on the Wall layer and an empty map.

# Prints grid row $3 of section $2 ("Wall", "Door", ...) of level file $1, as written ("0,7,0,").
grid_rows() { awk -v s="#$2" 'BEGIN { RS = "\r\n" } $0 == s { on = 1; next } on && $0 == "" { exit } on' "$1"; }

off_map_strokes_and_held_ctrl() {
    local file=$WORK/strokes.map cols=$(((MAP_W + CELL - 1) / CELL)) rows=$(((MAP_H + CELL - 1) / CELL))
    local first=$((cols - 4)) expected="" c r
    focus_editor
    park
    screenshot strokes-empty && settle strokes-empty
    # One fast move from a cell near the right edge to far right of the window, and one from a cell near the
    # bottom to far below it: every shown cell between is painted, nothing beyond the map's edge.
    move_to_cell "$first" 2 && xdotool mousedown 1
    xdotool mousemove --sync $((WIN_X + WIN_W + 150)) $((WIN_Y + MAP_Y + 2 * CELL + CELL / 2)) mouseup 1
    expect_change strokes-empty strokes-right "a stroke off the right edge"
    move_to_cell 2 $((rows - 3)) && xdotool mousedown 1
    xdotool mousemove --sync $((WIN_X + MAP_X + 2 * CELL + CELL / 2)) $((WIN_Y + WIN_H + 150)) mouseup 1
    expect_change strokes-right strokes-down "a stroke off the bottom edge"

    # Ctrl+S with Ctrl let go while the save dialog is open: the Door layer must not stay current.
    xdotool keydown ctrl key s
    window_named "Save Gorse Map" >/dev/null
    xdotool keyup ctrl
    answer_file_dialog "$file" "Ctrl+S" || return
    focus_editor
    click_at_cell 5 5 # after the dialog, a plain click paints the Wall layer
    expect_change strokes-down strokes-clicked "a click after the save dialog"
    key ctrl+s
    retry 100 "[ \"\$(grid_rows $file Wall | sed -n 6p | cut -d, -f6)\" -gt 0 ] 2>/dev/null" ||
        fail "the object clicked at (5,5) after the save dialog is not a wall of the saved level"
    cp "$file" "$OUT/strokes.map" 2>/dev/null
    grep -q ',Door,' "$file" && fail "a click after Ctrl was released in the save dialog made a door (see strokes.map)"

    for ((c = 0; c < cols; c++)); do expected+="$([ "$c" -ge "$first" ] && echo x || echo 0),"; done
    [ "$(grid_rows "$file" Wall | sed -n 3p | sed 's/[1-9][0-9]*/x/g')" = "$expected" ] ||
        fail "the stroke off the right edge did not paint exactly columns $first-$((cols - 1)) of row 2"
    [ "$(grid_rows "$file" Wall | wc -l)" = "$rows" ] ||
        fail "the level has $(grid_rows "$file" Wall | wc -l) rows: the map shows $rows (a stroke went off the map)"
    for ((r = rows - 3; r < rows; r++)); do
        [ "$(grid_rows "$file" Wall | sed -n "$((r + 1))p" | cut -d, -f3)" -gt 0 ] 2>/dev/null ||
            fail "the stroke off the bottom edge left row $r of column 2 empty"
    done
}
