# shellcheck shell=bash
# Loading a level through the real file dialog, sourced by e2e_window.sh: the wall that
# off_map_strokes_and_held_ctrl clicked at view cell (5,5) and saved in strokes.map, erased here, is back once
# that level is loaded.

readonly LOAD_MAP_X=100 LOAD_MAP_Y=676 # the "Load Map" button, in window coordinates

load_level() {
    local wall=$WORK/wd/textures/Wall/brick.png bg=$WORK/wd/assets/bg64x64.jpg
    [ -f "$WORK/strokes.map" ] || { fail "there is no saved level to load"; return; }
    focus_editor
    click_at_cell 5 5 3 # the right button erases the wall the level holds there
    park
    screenshot before-load && settle before-load
    expect_cells before-load "$bg" "the background (wall erased)" 5,5

    move_to "$LOAD_MAP_X" "$LOAD_MAP_Y" && xdotool click 1
    # The erased wall is an unsaved change: the editor asks first.
    retry 50 discard_changes || fail "loading over an unsaved change asked nothing"
    answer_file_dialog "$WORK/strokes.map" "Load Map" || return
    park
    expect_change before-load after-load "loading the saved level"
    expect_cells after-load "$wall" "the loaded wall" 5,5
}
