# shellcheck shell=bash
# The "Level Problems" window, sourced by e2e_window.sh: a level with the player in a room whose top wall has a
# gap, and no level end, is loaded through the real dialog; F7 lists the missing level end (read back through the
# clipboard with Ctrl+C), and a double-click on the second row, the open wall, brings the gap to the middle of the
# map with a wall on either side.

readonly PROBLEMS_X=20 PROBLEMS_Y=790 # the problems window is moved there, below the editor window

# A 9 x 5 room: walls round it with a gap at (4, 0), the player at (4, 2), no level end.
write_open_level() {
    local walls="1,1,1,1,0,1,1,1,1," side="1,0,0,0,0,0,0,0,1," empty="0,0,0,0,0,0,0,0,0,"
    mkdir -p "$WORK/open" && cp "$WORK/wd/textures/Wall/brick.png" "$WORK/wd/textures/Actor/player.png" "$WORK/open/"
    printf '%s\r\n' "#Wall" "$walls" "$side" "$side" "$side" "1,1,1,1,1,1,1,1,1," "" \
        "#Actor" "$empty" "$empty" "0,0,0,0,2,0,0,0,0," "$empty" "$empty" "" \
        "#Definitions" "1,Wall,Solid,open/brick.png" "2,Actor,Player,open/player.png" >"$WORK/open.map"
}

# Saves window $1 as it is on screen to $OUT/NAME.png ($2).
window_shot() {
    local x y w h
    read -r x y w h <<<"$(xdotool getwindowgeometry --shell "$1" | sed -n 's/^\(X\|Y\|WIDTH\|HEIGHT\)=//p' | xargs)"
    h=$((h < 1000 - y ? h : 1000 - y))
    import -window root -crop "${w}x$h+$x+$y" +repage "$OUT/$2.png"
}

level_problems() {
    local dialog problems copied bx by bw bh mid_c mid_r bg=$WORK/wd/assets/bg64x64.jpg
    write_open_level
    focus_editor
    move_to "$LOAD_MAP_X" "$LOAD_MAP_Y" && xdotool click 1
    dialog=$(window_named "Save Gorse Map")
    [ -n "$dialog" ] || { fail "Load Map showed no file dialog"; return; }
    xdotool windowfocus --sync "$dialog"
    xdotool type --delay 10 "$WORK/open.map"
    key Return
    expect_closed "$dialog" "the load dialog did not close"

    focus_editor
    key F7
    problems=$(window_named "Level Problems")
    [ -n "$problems" ] || { fail "F7 opened no 'Level Problems' window"; return; }
    xdotool windowmove --sync "$problems" "$PROBLEMS_X" "$PROBLEMS_Y" >/dev/null 2>&1
    xdotool windowfocus --sync "$problems"
    sleep 0.3

    # The first row stands selected; End selects the second and last: the change between the two shots is the
    # two rows.
    window_shot "$problems" problems-first
    key End
    sleep 0.3
    window_shot "$problems" problems-last
    read -r bx by bw bh <<<"$(diff_box problems-first problems-last)"
    [ -n "$bh" ] && [ "$bh" -lt 80 ] || { fail "End did not move the selection to the second row (changed: $bw x $bh)"; return; }

    key ctrl+a
    key ctrl+c
    copied=$(retry 20 "timeout 5 xclip -o -selection clipboard 2>/dev/null | grep -q ." &&
        timeout 5 xclip -o -selection clipboard)
    printf '%s\n' "$copied" >"$OUT/problems.txt"
    grep -q "open.map: error: the level has no level end" <<<"$copied" ||
        fail "the problems window does not list the missing level end (it copied: $copied)"
    grep -q "open.map: error: (4, 0) Wall: the player's area is open" <<<"$copied" ||
        fail "the problems window does not list the open wall at (4, 0) (it copied: $copied)"

    # The second row is the lower half of that change.
    xdotool mousemove --sync $((PROBLEMS_X + bx + 40)) $((PROBLEMS_Y + by + bh * 3 / 4)) click --repeat 2 --delay 80 1
    sleep 0.5
    park
    screenshot problem-centred && settle problem-centred
    mid_c=$((MAP_W / 2 / CELL)) mid_r=$((MAP_H / 2 / CELL))
    expect_cells problem-centred "$bg" "the open cell in the middle of the map" "$mid_c,$mid_r"
    expect_cells problem-centred "$WORK/open/brick.png" "the walls on either side of the gap" \
        "$((mid_c - 1)),$mid_r" "$((mid_c + 1)),$mid_r"
    xdotool windowclose "$problems" 2>/dev/null || "$PROBE" close "$problems"
}
