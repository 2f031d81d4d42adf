# shellcheck shell=bash
# The "Object Properties" window, sourced by e2e_window.sh: "PiercedWall" chosen for a wall is saved; a light cell
# made a point light's centre fills the square around it with light cells, the nearer the brighter, and one of
# those opens its own window. Needs the pencil on the Wall layer and view columns 6-10, rows 1-7 free.

readonly FORM_X=1200 FORM_Y=20 # the properties window is moved there, right of the editor window

# Prints the id of the visible window titled $1 once it shows (nothing after 10 s).
window_named() { timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
click_in_form() { xdotool mousemove --sync $((FORM_X + $1)) $((FORM_Y + $2)) click 1; }
# Fails with MESSAGE ($2) unless window $1 closes.
expect_closed() { retry 50 "! popups | grep -qx $1" || fail "$2"; }
# Clicks the object at view cell ($1,$2), "$3", and sets FORM to the properties window that opens, moved aside.
open_properties() {
    click_at_cell "$1" "$2"
    FORM=$(window_named "Object Properties")
    [ -n "$FORM" ] || { fail "a click on $3 opened no 'Object Properties' window"; return 1; }
    xdotool windowmove --sync "$FORM" "$FORM_X" "$FORM_Y" >/dev/null 2>&1
    sleep 0.3
}

pierced_wall() {
    local file=$WORK/level.map dialog
    click_at_cell 9 1 # the pencil places a wall; a click on it opens its window
    open_properties 9 1 "a placed wall" || return
    click_in_form 170 141 # the subtype combo box; Down picks PiercedWall, the next subtype
    sleep 0.3
    key Down
    key Return
    sleep 0.2
    click_in_form 274 473 # OK
    expect_closed "$FORM" "OK did not close the wall's properties window"
    focus_editor
    key ctrl+s
    dialog=$(window_named "Save Gorse Map")
    [ -n "$dialog" ] || { fail "Ctrl+S showed no save dialog"; return; }
    xdotool windowfocus --sync "$dialog"
    xdotool type --delay 10 "$file"
    key Return
    retry 50 "grep -q PiercedWall $file 2>/dev/null" || fail "the saved level holds no PiercedWall (see level.map)"
    cp "$file" "$OUT/level.map" 2>/dev/null
}

point_light() {
    local outer inner centre cells
    focus_editor
    choose_layer l
    click_at_cell 8 5 # the pencil places a light cell
    open_properties 8 5 "a placed light cell" || return
    xdotool windowfocus --sync "$FORM"
    click_in_form 125 221 # the emission level
    key ctrl+a
    xdotool type --delay 10 200
    click_in_form 48 355 # "Generate point light emissions"
    sleep 0.3
    import -window "$FORM" "$OUT/properties-light.png"
    screenshot light-centre
    settle light-centre
    click_in_form 274 473 # OK
    expect_closed "$FORM" "OK did not close the light's properties window"
    expect_change light-centre light-square "OK with 'Generate point light emissions'"
    # Radius 2: every cell of the square (6,3)-(10,7) changes, nothing else on the map.
    cells=$(convert "$OUT/light-centre.png" "$OUT/light-square.png" -compose difference -composite \
        -crop "${MAP_W}x$MAP_H+$MAP_X+$MAP_Y" +repage -crop "${CELL}x$CELL" -format '%[max] %X %Y\n' info: |
        awk -v c="$CELL" '$1 > 0 { print $2 / c "," $3 / c }' | sort -t, -k1n -k2n | xargs)
    [ "$cells" = "$(echo {6..10},{3..7})" ] || fail "the point light changed cells $cells, not the square (6,3)-(10,7)"
    # Levels 200, 100 and 40 from the centre outwards: the lamps get darker.
    read -r outer inner centre <<<"$(convert "$OUT/light-square.png" -colorspace Gray \
        -crop "$((3 * CELL))x$CELL+$((MAP_X + 6 * CELL))+$((MAP_Y + 5 * CELL))" +repage -crop "${CELL}x$CELL" \
        -format '%[fx:int(255*mean)] ' info:)"
    [ "$centre" -gt "$inner" ] && [ "$inner" -gt "$outer" ] ||
        fail "the light cells do not get darker away from the centre ($centre, $inner, $outer)"
    open_properties 7 4 "a light cell made by the point light"
}
