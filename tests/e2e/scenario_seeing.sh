# shellcheck shell=bash
# Seeing the whole level, sourced by e2e_window.sh: the sample level of data/ is loaded through the real dialog,
# which opens in levels/; F8 opens the overview, where a click centres the map on the east room and a drag of the
# rectangle pans it back; Ctrl+H hides the walls and shows them again. The last picture, the level with the
# Layers panel and the overview beside it, is the README's screenshot.

readonly OVERVIEW_X=1140 OVERVIEW_Y=60 # the overview window is moved there, right of the editor window

seeing_level() {
    local overview wall=$WORK/wd/levels/sample/brick.png bg=$WORK/wd/assets/bg64x64.jpg
    local scale mid_c mid_r east_c east_r
    focus_editor
    move_to "$LOAD_MAP_X" "$LOAD_MAP_Y" && xdotool click 1
    # A bare name: the dialog must have opened in levels/.
    answer_file_dialog sample.map "Load Map" || return
    park
    screenshot seeing-loaded && settle seeing-loaded
    expect_cells seeing-loaded "$wall" "the sample level's walls" 0,0 1,0 8,1

    focus_editor
    key F8
    overview=$(window_named "Overview")
    [ -n "$overview" ] || { fail "F8 opened no 'Overview' window"; return; }
    xdotool windowmove --sync "$overview" "$OVERVIEW_X" "$OVERVIEW_Y" >/dev/null 2>&1
    sleep 0.5
    # The level is 26 x 8 cells in a 360 x 300 window: 360 / 26 pixels a cell, the picture centred upright.
    scale=$((360 * 1000 / 26))
    ov_at() { # overview cell column row -> screen point of its centre
        printf '%s %s' $((OVERVIEW_X + ($1 * scale + scale / 2) / 1000)) \
            $((OVERVIEW_Y + (300 * 1000 - 8 * scale) / 2000 + ($2 * scale + scale / 2) / 1000))
    }
    # A click on the east room's cell (22, 4) brings it to the middle of the map: the east wall (25, 0) then
    # stands three columns right of the middle and four rows up.
    # shellcheck disable=SC2046
    xdotool mousemove --sync $(ov_at 22 4) click 1
    mid_c=$((MAP_W / 2 / CELL)) mid_r=$((MAP_H / 2 / CELL))
    east_c=$((mid_c + 3)) east_r=$((mid_r - 4))
    expect_change seeing-loaded seeing-east "a click in the overview"
    [ "$east_r" -ge 0 ] && expect_cells seeing-east "$wall" "the east room's walls" "$east_c,$east_r"
    # Dragging the rectangle 22 cells left (and 4 up) puts the west room back at the map's top-left corner.
    # shellcheck disable=SC2046
    xdotool mousemove --sync $(ov_at 22 4) mousedown 1
    # shellcheck disable=SC2046
    xdotool mousemove --sync $(ov_at 12 2) mousemove --sync $(ov_at "$mid_c" "$mid_r") mouseup 1
    expect_change seeing-east seeing-dragged "dragging the overview's rectangle"
    expect_cells seeing-dragged "$wall" "the west room's walls" 0,0 1,0 8,1

    focus_editor
    key ctrl+h
    expect_change seeing-dragged seeing-hidden "Ctrl+H"
    expect_cells seeing-hidden "$bg" "the background where the hidden walls are" 0,0 1,0 8,1
    key ctrl+h
    expect_change seeing-hidden seeing-shown "Ctrl+H again"
    expect_cells seeing-shown "$wall" "the walls shown again" 0,0 1,0 8,1
    park
    import -window root -crop "$((OVERVIEW_X + 370))x${WIN_H}+0+0" +repage "$OUT/editor.png"
}
