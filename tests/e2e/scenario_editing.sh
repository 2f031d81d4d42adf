# shellcheck shell=bash
# Mouse editing, sourced by e2e_window.sh: the pencil paints a dragged row of cells, the right button erases one,
# the flood fill floors a walled room on the Floor layer. Starts in edit mode with the pencil on the Wall layer
# and an empty map; paints in view columns 1-5, rows 1-7 and leaves the Wall layer and the pencil chosen.

# Fails unless each view cell "column,row" ($4...) of screenshot SHOT ($1) shows IMAGE ($2, described by $3),
# pixel for pixel up to rounding (all cells compared in one strip).
expect_cells() {
    local shot=$1 image=$2 what=$3 crops=() cell n
    shift 3
    for cell in "$@"; do
        crops+=("(" -clone 0 -crop "${CELL}x$CELL+$((MAP_X + ${cell%,*} * CELL))+$((MAP_Y + ${cell#*,} * CELL))" ")")
    done
    n=$(convert "$OUT/$shot.png" "${crops[@]}" -delete 0 +repage +append \
        "(" "$image" -duplicate $(($# - 1)) +append ")" -fuzz 3% -metric AE -compare -format '%[distortion]' info: 2>&1)
    [ "$n" = 0 ] || fail "$shot: cells $* do not all show $what ${image#"$WORK"/wd/} ($n pixels differ)"
}

# Chooses a layer with real input: a click on the layer combo box (the first box framed in dark grey in the
# left column) opens its list, where the layer's initial letter ($1) and Return choose it.
choose_layer() {
    local x=$((MAP_X / 2)) top bottom
    read -r top bottom <<<"$(pixels start "1x$((WIN_H / 4))+$x+0" |
        awk '$3 * 299 + $4 * 587 + $5 * 114 < 190000 { print $2 }' | head -n 2 | xargs)"
    [ -n "$bottom" ] || { fail "no layer combo box found in start.png"; return 1; }
    move_to "$x" $(((top + bottom) / 2))
    xdotool click 1
    retry 50 'popups >/dev/null' || { fail "a click on the layer combo box opened no list"; return 1; }
    key "$1"
    key Return
}

scenario_editing() {
    local wall=$WORK/wd/textures/Wall/brick.png floor=$WORK/wd/textures/Floor/grass.png # first in each gallery
    local bg=$WORK/wd/assets/bg64x64.jpg r g b x1 x2 y h msg
    park
    screenshot edit-empty
    expect_cells edit-empty "$bg" "the background tile" 0,0 0,1 1,1 5,1 6,1 3,2 1,3 3,5 5,7

    # A pencil drag along row 1 paints exactly the cells passed over.
    drag 1 1 5 1
    expect_change edit-empty edit-row "a pencil drag" 1 1 5 1
    expect_cells edit-row "$wall" "the wall texture" 1,1 2,1 3,1 4,1 5,1

    # The right button erases one cell: it looks like a never painted one again.
    click_at_cell 3 1 3
    expect_change edit-row edit-erased "a right click on a wall" 3 1 3 1
    expect_cells edit-erased "$bg" "the background" 3,1
    expect_cells edit-erased "$wall" "the wall texture" 2,1 4,1

    # A ring of walls around the 3x3 room (2,4)-(4,6), drawn in one drag.
    drag 1 3 5 3 5 7 1 7 1 4
    expect_change edit-erased edit-ring "drawing the ring" 1 3 5 7
    expect_cells edit-ring "$wall" "the wall texture" 1,3 3,3 5,3 5,5 5,7 3,7 1,7 1,5
    expect_cells edit-ring "$bg" "the background" 2,4 3,5 4,6

    # On the Floor layer the walls stay, tinted blue (no longer reddish brick).
    choose_layer f
    expect_change edit-ring floor-layer "choosing the Floor layer"
    read -r r g b <<<"$(convert "$OUT/floor-layer.png" -crop "${CELL}x$CELL+$((MAP_X + CELL))+$((MAP_Y + 3 * CELL))" \
        -format '%[fx:int(255*mean.r)] %[fx:int(255*mean.g)] %[fx:int(255*mean.b)]' info:)"
    [ "$b" -gt $((r + 30)) ] && [ "$b" -gt $((g + 30)) ] ||
        fail "on the Floor layer the wall at (1,3) is not tinted blue (mean colour $r $g $b)"

    # "Flood fill" is the upper half of the fourth part of the tool row that changed on 's' (Edit, Select, Pencil
    # over Line, Flood fill over Rectangle, Edit selection).
    read -r x1 x2 _ <<<"$(sed -n 4p "$OUT/select-mode-changes.txt" 2>/dev/null)"
    [ -n "$x2" ] || { fail "cannot locate 'Flood fill' (needs scenario_mode_keys first)"; return; }
    read -r _ y _ h <<<"$(convert "$OUT/start.png" "$OUT/select-mode.png" -crop "$((x2 - x1 + 1))x$WIN_H+$x1+0" +repage \
        -compose difference -composite -threshold 0 -format '%@' info:- |
        sed -n 's/^\([0-9]*\)x\([0-9]*\)+\([0-9]*\)+\([0-9]*\)$/\3 \4 \1 \2/p')"
    [ -n "$h" ] || { fail "cannot locate 'Flood fill' in the tool row"; return; }
    move_to $(((x1 + x2) / 2)) $((y + h / 4))
    xdotool click 1
    expect_change floor-layer floor-bucket "a click on 'Flood fill'"

    # A fill inside the room floors exactly its nine cells.
    click_at_cell 3 5
    expect_change floor-bucket floor-filled "a flood fill inside the room" 2 4 4 6
    expect_cells floor-filled "$floor" "the floor texture" 2,4 3,4 4,4 2,5 3,5 4,5 2,6 3,6 4,6

    # A fill outside any room stops with a modal message and changes nothing.
    click_at_cell 8 5
    msg=$(retry 50 popups | head -n 1)
    if [ -z "$msg" ]; then
        fail "a flood fill outside any room showed no message"
    else
        sleep 0.3
        import -window "$msg" "$OUT/fill-message.png"
        xdotool windowfocus --sync "$msg"
        key Return
        retry 50 '! popups >/dev/null' || fail "Return did not close the flood fill's message"
    fi
    park
    retry 100 "screenshot floor-unbounded && same floor-filled floor-unbounded" ||
        fail "a flood fill outside any room changed the window (see floor-unbounded.png)"

    # Back to the Wall layer and the pencil: floors hidden, walls untinted.
    focus_editor
    choose_layer w
    key e
    expect_change floor-unbounded edit-end "choosing the Wall layer again"
    expect_cells edit-end "$wall" "the wall texture" 1,3 2,1
    expect_cells edit-end "$bg" "the background (floors hidden)" 3,5
    expect_cursor "$PENCIL" "after 'e' the cursor is not the pencil"
}
