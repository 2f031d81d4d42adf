# shellcheck shell=bash
# Mouse editing in the real window, sourced by e2e_window.sh (uses its
# helpers): the pencil paints a dragged row of cells, the right button erases
# one of them, and the flood fill fills a walled room on the Floor layer.
#
# Starts in edit mode with the pencil on the Wall layer and an empty map at
# the zero origin (it paints in view columns 1-5, rows 1-7). Leaves walls and floors on the map, the
# Wall layer current and the pencil chosen.

# The gallery lists a layer's textures by name and selects the first.
readonly WALL_TEXTURE=textures/Wall/brick.png
readonly FLOOR_TEXTURE=textures/Floor/grass.png

# Fails unless each listed view cell ("column,row") of screenshot SHOT shows
# IMAGE, pixel for pixel up to rounding (all cells compared in one strip).
expect_cells() {
    local shot=$1 image=$2 what=$3 crops=() cell n
    shift 3
    for cell in "$@"; do
        crops+=("(" -clone 0 -crop "${CELL}x${CELL}+$((MAP_X + ${cell%,*} * CELL))+$((MAP_Y + ${cell#*,} * CELL))" +repage ")")
    done
    n=$(convert "$OUT/$shot.png" "${crops[@]}" -delete 0 +append "(" "$image" -duplicate $(($# - 1)) +append ")" \
        -fuzz 3% -metric AE -compare -format '%[distortion]' info: 2>&1)
    [ "$n" = 0 ] || fail "$shot: cells $* do not all show $what ${image#"$WORK"/wd/} ($n pixels differ)"
}

# Fails unless the pixels in which screenshots A and B differ fill exactly
# the box of view cells from (c0, r0) to (c1, r1).
expect_change_in_cells() {
    local want="$((MAP_X + $3 * CELL)) $((MAP_Y + $4 * CELL)) $((($5 - $3 + 1) * CELL)) $((($6 - $4 + 1) * CELL))"
    local got
    got=$(diff_box "$1" "$2")
    [ "$got" = "$want" ] || fail "$1 -> $2: changed box '$got' (x y w h), expected cells ($3,$4)-($5,$6) = '$want'"
}

# Left-drags through the centres of the given view cells (column row column
# row ...) in steps of half a cell, like a hand drawing a path.
drag_through_cells() {
    local pc=$1 pr=$2 c r i steps
    shift 2
    move_to_cell "$pc" "$pr"
    xdotool mousedown 1
    while [ $# -ge 2 ]; do
        c=$1 r=$2
        shift 2
        steps=$((2 * ($(abs $((c - pc))) + $(abs $((r - pr))))))
        for i in $(seq 1 "$steps"); do
            move_to $((MAP_X + CELL / 2 + (pc * steps + (c - pc) * i) * CELL / steps)) \
                $((MAP_Y + CELL / 2 + (pr * steps + (r - pr) * i) * CELL / steps))
        done
        pc=$c pr=$r
    done
    xdotool mouseup 1
}

# Moves the pointer off the map, onto the gallery, so no button looks hovered
# (not to where reenter_map_at_cell goes: mousemove --sync to the pointer's
# own position waits in vain).
park_pointer() {
    move_to $((MAP_X / 2)) $((WIN_H / 2 + CELL / 2))
}

# Sets the layer combo box with real input: a click on it (the first box
# framed in dark grey in the left column) opens its list, where the layer's
# initial letter and Return choose it.
choose_layer() {
    local x=$((MAP_X / 2)) top bottom i
    read -r top bottom <<<"$(convert "$OUT/start.png" -crop "1x$((WIN_H / 4))+$x+0" +repage -depth 8 txt:- |
        awk -F'[ ,:()]+' 'NR > 1 && $3 * 299 + $4 * 587 + $5 * 114 < 190000 { print $2 }' | head -n 2 | xargs)"
    [ -n "$bottom" ] || { fail "no layer combo box found in start.png"; return 1; }
    move_to "$x" $(((top + bottom) / 2))
    xdotool click 1
    for i in $(seq 1 50); do
        [ "$(xdotool search --onlyvisible --pid "$EDITOR_PID" | grep -cvx "$WIN")" -ge 1 ] && break
        sleep 0.1
    done
    [ "$i" -lt 50 ] || { fail "a click on the layer combo box opened no list"; return 1; }
    key "$1"
    key Return
    park_pointer
}

scenario_editing() {
    local wall=$WORK/wd/$WALL_TEXTURE floor=$WORK/wd/$FLOOR_TEXTURE bg=$WORK/wd/assets/bg64x64.jpg
    park_pointer
    screenshot edit-empty
    expect_cells edit-empty "$bg" "(before painting) the background" 0,1 1,1 5,1 6,1 3,2 1,3 3,5 5,7

    # 1. A pencil drag along row 1 paints exactly the cells passed over.
    drag_cells 1 1 5 1
    park_pointer
    wait_for_change edit-empty edit-row || fail "a pencil drag changed nothing"
    expect_cells edit-row "$wall" "the wall texture" 1,1 2,1 3,1 4,1 5,1
    expect_change_in_cells edit-empty edit-row 1 1 5 1

    # 2. The right button erases one cell; it looks like a never painted one.
    click_at_cell 3 1 3
    park_pointer
    wait_for_change edit-row edit-erased || fail "a right click on a wall changed nothing"
    expect_change_in_cells edit-row edit-erased 3 1 3 1
    convert "$OUT/edit-erased.png" -crop "${CELL}x${CELL}+$((MAP_X + 3 * CELL))+$((MAP_Y + 2 * CELL))" +repage "$WORK/never.png"
    expect_cells edit-erased "$WORK/never.png" "what the never painted cell (3,2) shows:" 3,1
    expect_cells edit-erased "$wall" "the wall texture" 2,1 4,1

    # 3. A ring of walls around the 3x3 room (2,4)-(4,6), drawn in one drag.
    drag_through_cells 1 3 5 3 5 7 1 7 1 4
    park_pointer
    wait_for_change edit-erased edit-ring || fail "drawing the ring changed nothing"
    expect_change_in_cells edit-erased edit-ring 1 3 5 7
    expect_cells edit-ring "$wall" "the wall texture" 1,3 3,3 5,3 5,5 5,7 3,7 1,7 1,5
    expect_cells edit-ring "$bg" "the background" 2,4 3,5 4,6

    # On the Floor layer the walls stay, tinted blue (no longer reddish brick).
    choose_layer f
    wait_for_change edit-ring floor-layer || fail "choosing the Floor layer changed nothing"
    local r g b
    read -r r g b <<<"$(convert "$OUT/floor-layer.png" -crop "${CELL}x${CELL}+$((MAP_X + CELL))+$((MAP_Y + 3 * CELL))" \
        -format '%[fx:int(255*mean.r)] %[fx:int(255*mean.g)] %[fx:int(255*mean.b)]' info:)"
    [ "$b" -gt $((r + 30)) ] && [ "$b" -gt $((g + 30)) ] ||
        fail "on the Floor layer the wall at (1,3) is not tinted blue (mean colour $r $g $b)"

    # The "Flood fill" radio button: the fourth part of the tool row that
    # scenario_mode_keys saw change on 's' (Edit, Select, Pencil, Flood fill,
    # Edit selection), in start.png -> select-mode.png.
    local x1 x2 y h
    read -r _ y _ h <<<"$(diff_box start select-mode)"
    read -r x1 x2 _ <<<"$(sed -n 4p "$OUT/select-mode-changes.txt" 2>/dev/null)"
    [ -n "$x2" ] && [ -n "$h" ] || { fail "cannot locate 'Flood fill' (needs scenario_mode_keys first)"; return; }
    move_to $(((x1 + x2) / 2)) $((y + h / 2))
    xdotool click 1
    park_pointer
    wait_for_change floor-layer floor-bucket || fail "a click on 'Flood fill' changed nothing"

    # A fill inside the room floors exactly its nine cells.
    click_at_cell 3 5
    park_pointer
    wait_for_change floor-bucket floor-filled || fail "a flood fill inside the room changed nothing"
    expect_change_in_cells floor-bucket floor-filled 2 4 4 6
    expect_cells floor-filled "$floor" "the floor texture" 2,4 3,4 4,4 2,5 3,5 4,5 2,6 3,6 4,6

    # A fill outside any room stops with a modal message and changes nothing.
    click_at_cell 8 5
    local msg="" i
    for i in $(seq 1 50); do
        msg=$(xdotool search --onlyvisible --pid "$EDITOR_PID" | grep -vx "$WIN" | head -n 1)
        [ -n "$msg" ] && break
        sleep 0.1
    done
    if [ -z "$msg" ]; then
        fail "a flood fill outside any room showed no message"
    else
        sleep 0.3
        import -window "$msg" "$OUT/fill-message.png"
        xdotool windowfocus --sync "$msg"
        key Return
        for i in $(seq 1 50); do
            xdotool search --onlyvisible --pid "$EDITOR_PID" | grep -qvx "$WIN" || break
            sleep 0.1
        done
        [ "$i" -lt 50 ] || fail "Return did not close the flood fill's message"
    fi
    park_pointer
    wait_until_equal floor-filled floor-unbounded ||
        fail "a flood fill outside any room changed the window ($(pixels_differing floor-filled floor-unbounded) pixels)"

    # Back to the Wall layer and the pencil: floors hidden, walls untinted.
    focus_editor
    choose_layer w
    key e
    wait_for_change floor-unbounded edit-end || fail "choosing the Wall layer again changed nothing"
    expect_cells edit-end "$wall" "the wall texture" 1,3 2,1
    expect_cells edit-end "$bg" "the background (floors hidden)" 3,5
    reenter_map_at_cell 8 5
    cursor_shows "$WORK/wd/assets/pencil.png" || fail "after 'e' the cursor is not the pencil: $(cat "$OUT/cursor-check.log")"
    park_pointer
}
