# shellcheck shell=bash
# Undo and redo with real keys, sourced by e2e_window.sh: Ctrl+Z empties the cells of a pencil stroke on screen,
# Ctrl+Shift+Z and Ctrl+Y paint them again. Needs the pencil on the Wall layer and an empty map, and leaves them so.

undo_redo_keys() {
    local wall=$WORK/wd/textures/Wall/brick.png bg=$WORK/wd/assets/bg64x64.jpg cells="1,2 2,2 3,2 4,2"
    focus_editor
    park
    screenshot undo-empty
    drag 1 2 4 2
    expect_change undo-empty undo-stroke "a pencil stroke" 1 2 4 2
    # shellcheck disable=SC2086 # one argument per cell
    expect_cells undo-stroke "$wall" "the wall texture" $cells
    local previous=undo-stroke step keys
    for step in ctrl+z:undone ctrl+shift+z:redone ctrl+z:undone-again ctrl+y:redone-again ctrl+z:undone-last; do
        keys=${step%%:*}
        key "$keys"
        expect_change "$previous" "undo-${step#*:}" "$keys"
        previous=undo-${step#*:}
        # shellcheck disable=SC2086
        if [ "$keys" = ctrl+z ]; then
            expect_cells "$previous" "$bg" "the background after $keys" $cells
        else
            expect_cells "$previous" "$wall" "the wall texture after $keys" $cells
        fi
    done
}
