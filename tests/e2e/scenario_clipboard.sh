# shellcheck shell=bash
# Cut and paste with real keys, sourced by e2e_window.sh: a walled room is selected, cut with Ctrl+X, pasted with
# Ctrl+V where a click puts it, the paste and the cut are undone with Ctrl+Z twice, the cut redone with
# Ctrl+Shift+Z, undone and redone with Ctrl+Y, and the level saved: the file holds what the map shows. Needs a fresh editor (nothing saved yet)
# with the pencil on the Wall layer and an empty map.

# Fails unless the map part of screenshots $1 and $2 is the same ($3 says when).
expect_same_map() {
    local crop="${MAP_W}x$MAP_H+$MAP_X+$MAP_Y"
    [ "$(compare -metric AE "$OUT/$1.png[$crop]" "$OUT/$2.png[$crop]" null: 2>&1)" = 0 ] ||
        fail "$3: the map differs from $1.png (see $2.png)"
}

# Fails unless the map part of screenshots $1 and $2 differs in exactly the box of view cells C0 R0 C1 R1 ($4-$7);
# $3 says what changed it. (The Edit buttons and the status line change too.)
expect_map_box() {
    local crop="${MAP_W}x$MAP_H+$MAP_X+$MAP_Y" got want="$(($4 * CELL)) $(($5 * CELL)) $((($6 - $4 + 1) * CELL)) $((($7 - $5 + 1) * CELL))"
    got=$(convert "$OUT/$1.png" "$OUT/$2.png" -crop "$crop" +repage -compose difference -composite -threshold 0 \
        -format '%@' info:- | sed -n 's/^\([0-9]*\)x\([0-9]*\)+\([0-9]*\)+\([0-9]*\)$/\3 \4 \1 \2/p')
    [ "$got" = "$want" ] || fail "$3 changed the map in box '$got' (x y w h in the map), not exactly cells ($4,$5)-($6,$7)"
}

clipboard_keys() {
    local file=$WORK/clipboard.map wall=$WORK/wd/textures/Wall/brick.png bg=$WORK/wd/assets/bg64x64.jpg
    local ring="1,1 2,1 3,1 1,2 3,2 1,3 2,3 3,3" moved="5,2 6,2 7,2 5,3 7,3 5,4 6,4 7,4"
    focus_editor
    park
    screenshot clip-empty && settle clip-empty
    drag 1 1 3 1 3 3 1 3 1 2
    click_at_cell 6 0 # a wall that stays where it is
    expect_change clip-empty clip-room "drawing the room"
    key s
    sleep 0.5 # a button's shortcut clicks it a moment later
    drag 1 1 3 3 # selects the room
    park
    screenshot clip-selected && settle clip-selected
    key ctrl+x
    expect_change clip-selected clip-cut "Ctrl+X on the selected room"
    expect_map_box clip-selected clip-cut "Ctrl+X on the selected room" 1 1 3 3
    # shellcheck disable=SC2086 # one argument per cell
    expect_cells clip-cut "$bg" "the background after the cut" $ring
    key ctrl+v
    move_to_cell 4 1
    move_to_cell 5 2
    sleep 0.3
    xdotool click 1
    expect_change clip-cut clip-pasted "Ctrl+V and a click at (5,2)"
    expect_map_box clip-cut clip-pasted "Ctrl+V and a click at (5,2)" 5 2 7 4
    key ctrl+z
    expect_change clip-pasted clip-undo1 "the first Ctrl+Z"
    expect_same_map clip-cut clip-undo1 "Ctrl+Z after the paste"
    key ctrl+z
    expect_change clip-undo1 clip-undo2 "the second Ctrl+Z"
    # shellcheck disable=SC2086
    expect_cells clip-undo2 "$wall" "the wall texture after undoing the cut" $ring
    # shellcheck disable=SC2086
    expect_cells clip-undo2 "$bg" "the background where the paste was undone" $moved
    key ctrl+shift+z
    expect_change clip-undo2 clip-redo "Ctrl+Shift+Z"
    expect_same_map clip-cut clip-redo "Ctrl+Shift+Z redoing the cut"
    key ctrl+z
    expect_change clip-redo clip-undo3 "Ctrl+Z after the redo"
    key ctrl+y
    expect_change clip-undo3 clip-redo2 "Ctrl+Y"
    expect_same_map clip-cut clip-redo2 "Ctrl+Y redoing the cut"

    key ctrl+s
    answer_file_dialog "$file" "Ctrl+S" || return
    retry 100 "[ -s $file ]" || { fail "the level was not saved to $file"; return; }
    cp "$file" "$OUT/clipboard.map"
    # What the map shows: one wall at (6,0), nothing else.
    expect_cells clip-redo2 "$wall" "the wall that stayed" 6,0
    [ "$(grid_rows "$file" Wall | tr -d '\r')" = "0,0,0,0,0,0,$(grid_rows "$file" Wall | cut -d, -f7)," ] &&
        [ "$(grid_rows "$file" Wall | cut -d, -f7)" -gt 0 ] 2>/dev/null ||
        fail "the saved Wall layer is not what the map shows: one wall at (6,0) (see clipboard.map)"
    [ "$(awk 'BEGIN { RS = "\r\n" } /^#Definitions/ { on = 1; next } on && NF' "$file" | wc -l)" = 1 ] ||
        fail "the saved level defines more than the one wall the map shows (see clipboard.map)"
}
