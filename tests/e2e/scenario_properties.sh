# The "Object Properties" window in the real window, sourced by e2e_window.sh
# (uses its helpers and choose_layer of scenario_editing.sh): a click on a
# placed wall opens it, "PiercedWall" chosen there and OK end up in the saved
# level; a light cell made the centre of a point light fills the square
# around it with light cells, the nearer the brighter, and a click on one of
# them opens its window.
#
# Starts in edit mode with the pencil on the Wall layer, with view columns
# 6-10, rows 1-7 free on the Wall and Lightmap layers. Saves the level as
# $WORK/level.map. Leaves the Lightmap layer current and one properties window
# open beside the editor, so stopping the editor shows that an open
# properties window does not keep it running.

readonly FORM_TITLE="Object Properties"
# Where the properties window is moved to: right of the editor window.
readonly FORM_X=1200 FORM_Y=20

# Prints the id of the visible window titled TITLE once it shows (empty after
# 10 s).
wait_for_window() {
    timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1
}

# Waits until window ID is no longer shown; returns 1 if it stays.
wait_window_gone() {
    local i
    for i in $(seq 1 50); do
        xdotool search --onlyvisible --name "^$FORM_TITLE\$" 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
    return 1
}

# Clicks an object's cell and moves the properties window that opens beside
# the editor; prints its id (empty when none opened).
open_properties_at_cell() {
    click_at_cell "$1" "$2"
    local form
    form=$(wait_for_window "$FORM_TITLE")
    [ -n "$form" ] || return 0
    xdotool windowmove --sync "$form" "$FORM_X" "$FORM_Y" >/dev/null 2>&1
    sleep 0.3
    echo "$form"
}

# Left click at a point of the properties window (its own coordinates).
click_in_form() {
    xdotool mousemove --sync $((FORM_X + $1)) $((FORM_Y + $2)) click 1
}

# Widget centres in the window ("groupLighting" is at 20,180).
form_ok() { click_in_form 274 473; }
form_subtype_combo() { click_in_form 170 141; }
form_emission_field() { click_in_form 125 221; }
form_emitter_check() { click_in_form 48 340; }

# Mean luminance (0-255) of view cell (column, row) of screenshot SHOT.
cell_luminance() {
    convert "$OUT/$1.png" -crop "${CELL}x${CELL}+$((MAP_X + $2 * CELL))+$((MAP_Y + $3 * CELL))" +repage \
        -colorspace Gray -format '%[fx:int(255*mean)]' info:
}

# Whether view cell (column, row) differs between screenshots A and B.
cell_changed() {
    local n
    convert "$OUT/$1.png" -crop "${CELL}x${CELL}+$((MAP_X + $3 * CELL))+$((MAP_Y + $4 * CELL))" +repage "$WORK/a.png"
    convert "$OUT/$2.png" -crop "${CELL}x${CELL}+$((MAP_X + $3 * CELL))+$((MAP_Y + $4 * CELL))" +repage "$WORK/b.png"
    n=$(compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1 >/dev/null)
    [ "${n%%[!0-9]*}" != 0 ]
}

scenario_properties() {
    local form file="$WORK/level.map" i

    # 1. A wall's window: "PiercedWall" chosen, OK, saved.
    click_at_cell 9 1
    form=$(open_properties_at_cell 9 1)
    if [ -z "$form" ]; then
        fail "a click on a placed wall opened no '$FORM_TITLE' window"
    else
        import -window "$form" "$OUT/properties-wall.png"
        form_subtype_combo
        sleep 0.3
        key Down
        key Return
        sleep 0.2
        form_ok
        wait_window_gone "$form" || fail "OK did not close the wall's properties window"
        focus_editor
        key ctrl+s
        local dialog
        dialog=$(wait_for_window "Save Gorse Map")
        if [ -z "$dialog" ]; then
            fail "Ctrl+S showed no save dialog"
        else
            xdotool windowfocus --sync "$dialog"
            xdotool type --delay 10 "$file"
            key Return
            for i in $(seq 1 50); do
                [ -s "$file" ] && break
                sleep 0.1
            done
            grep -q "PiercedWall" "$file" 2>/dev/null ||
                fail "the saved level $file holds no PiercedWall (see $OUT/level.map)"
            cp "$file" "$OUT/level.map" 2>/dev/null
        fi
    fi

    # 2. A light cell made the centre of a point light of radius 2.
    focus_editor
    choose_layer l
    click_at_cell 8 5
    form=$(open_properties_at_cell 8 5)
    if [ -z "$form" ]; then
        fail "a click on a placed light cell opened no '$FORM_TITLE' window"
        return
    fi
    xdotool windowfocus --sync "$form"
    form_emission_field
    key ctrl+a
    xdotool type --delay 10 200
    form_emitter_check
    sleep 0.3
    import -window "$form" "$OUT/properties-light.png"
    settled_screenshot light-centre
    form_ok
    wait_window_gone "$form" || fail "OK did not close the light's properties window"
    wait_for_change light-centre light-square || fail "OK with 'Generate point light emissions' changed nothing"

    # Every cell of the square (6,3)-(10,7) changed, nothing else on the map.
    local column row missing=""
    for row in 3 4 5 6 7; do
        for column in 6 7 8 9 10; do
            cell_changed light-centre light-square "$column" "$row" || missing="$missing ($column,$row)"
        done
    done
    [ -z "$missing" ] || fail "the point light left these cells of its square unchanged:$missing"
    convert "$OUT/light-centre.png" -crop "${MAP_W}x${MAP_H}+${MAP_X}+${MAP_Y}" +repage "$OUT/light-centre-map.png"
    convert "$OUT/light-square.png" -crop "${MAP_W}x${MAP_H}+${MAP_X}+${MAP_Y}" +repage "$OUT/light-square-map.png"
    local x y w h
    read -r x y w h <<<"$(diff_box light-centre-map light-square-map)"
    if [ -z "$x" ] || [ "$x" -lt $((6 * CELL)) ] || [ "$y" -lt $((3 * CELL)) ] ||
        [ $((x + w)) -gt $((11 * CELL)) ] || [ $((y + h)) -gt $((8 * CELL)) ]; then
        fail "the point light changed the map outside its square (box ${w}x$h+$x+$y)"
    fi
    # Levels 200, 100 and 40 from the centre outwards: the lamps get darker.
    local centre inner outer
    centre=$(cell_luminance light-square 8 5)
    inner=$(cell_luminance light-square 7 5)
    outer=$(cell_luminance light-square 6 5)
    log "mean luminance of the light cells from the centre out: $centre $inner $outer"
    [ "$centre" -gt "$inner" ] && [ "$inner" -gt "$outer" ] ||
        fail "the light cells do not get darker away from the centre ($centre, $inner, $outer)"

    # 3. A light cell made by the point light opens its own window.
    form=$(open_properties_at_cell 7 4)
    [ -n "$form" ] || fail "a click on a light cell made by the point light opened no '$FORM_TITLE' window"
}
