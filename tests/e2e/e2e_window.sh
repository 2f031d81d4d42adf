#!/usr/bin/env bash
# End-to-end test of the real GorseED window under its own Xvfb, driven with
# real X input (xdotool) and observed from outside the process: screenshots
# (ImageMagick) and the pointer's cursor image (x11probe).
#
#   e2e_window.sh GORSEED_BINARY DATA_DIR OUTPUT_DIR X11PROBE_BINARY
#
# Exit codes: 0 passed, 1 failed, 77 skipped (no X server could be started;
# never a skip when CI=true). UPDATE_SCREENSHOT=1 also copies the editor's
# screenshot to docs/screenshot.png in the source tree.
#
# The helpers below (start_x, start_editor, key, move_to_cell, click_at_cell,
# drag_cells, screenshot, pixel_at, ...) are meant to be reused by further
# scenarios: add a function scenario_<name> and call it from main.

set -uo pipefail

EDITOR_BIN=${1:?usage: e2e_window.sh GORSEED_BINARY DATA_DIR OUTPUT_DIR X11PROBE_BINARY}
DATA_DIR=${2:?data directory missing}
OUT=${3:?output directory missing}
PROBE=${4:-}
SOURCE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

readonly WINDOW_TITLE="GorseED"
readonly WINDOW_WIDTH=1124
readonly WINDOW_HEIGHT=768
readonly CELL=64 # zoom slider at 4 at start

XVFB_PID=""
EDITOR_PID=""
WIN=""
WIN_X=0 WIN_Y=0 WIN_W=0 WIN_H=0
MAP_X=0 MAP_Y=0 MAP_W=0 MAP_H=0 # map widget, in window coordinates
WORK=""
FAILURES=0

log() { printf 'e2e: %s\n' "$*"; }

fail() {
    printf 'e2e: FAIL: %s\n' "$*" >&2
    FAILURES=$((FAILURES + 1))
}

# A fatal problem: stop here.
die() {
    printf 'e2e: FAIL: %s\n' "$*" >&2
    exit 1
}

# Nothing to test against: skip, except in CI where X must work.
skip_or_die() {
    if [ "${CI:-}" = "true" ]; then
        die "$* (CI=true: the end-to-end test may not be skipped)"
    fi
    printf 'e2e: SKIP: %s\n' "$*"
    exit 77
}

cleanup() {
    if [ -n "$EDITOR_PID" ] && kill -0 "$EDITOR_PID" 2>/dev/null; then
        kill "$EDITOR_PID" 2>/dev/null
        wait "$EDITOR_PID" 2>/dev/null
    fi
    if [ -n "$XVFB_PID" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    [ -n "$WORK" ] && rm -rf "$WORK"
}
trap cleanup EXIT

# ---------------------------------------------------------------- X server

# Starts a private Xvfb on a display number it picks itself (-displayfd) and
# exports DISPLAY for it.
start_x() {
    command -v Xvfb >/dev/null || skip_or_die "Xvfb is not installed (run scripts/install-deps.sh)"
    local tool
    for tool in xdotool import compare convert; do
        command -v "$tool" >/dev/null || skip_or_die "$tool is not installed (run scripts/install-deps.sh)"
    done
    [ -n "$PROBE" ] && [ -x "$PROBE" ] || skip_or_die "x11probe was not built (libx11-dev and libxfixes-dev missing?)"

    local fdfile="$WORK/displayfd"
    : >"$fdfile"
    Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$fdfile" >"$OUT/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        if [ -s "$fdfile" ]; then break; fi
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$fdfile" ]; then
        cat "$OUT/xvfb.log" >&2
        skip_or_die "Xvfb did not start"
    fi
    export DISPLAY=":$(tr -dc '0-9' <"$fdfile")"
    log "Xvfb running on $DISPLAY"
}

# ---------------------------------------------------------------- editor

# Starts the editor in a fresh copy of the default working directory and waits
# for its window; sets WIN and the window geometry.
start_editor() {
    cp -r "$DATA_DIR/." "$WORK/wd/" || die "cannot copy $DATA_DIR"
    (cd "$WORK/wd" && QT_QPA_PLATFORM=xcb exec "$EDITOR_BIN" >"$OUT/editor.log" 2>&1) &
    EDITOR_PID=$!
    # The window of this process; its title is checked by scenario_window.
    WIN=$(timeout 60 xdotool search --sync --onlyvisible --pid "$EDITOR_PID" | head -n 1)
    if [ -z "$WIN" ]; then
        cat "$OUT/editor.log" >&2
        die "the editor showed no window within 60 s"
    fi
    read_window_geometry
    log "editor window $WIN at $WIN_X,$WIN_Y size ${WIN_W}x$WIN_H"
}

read_window_geometry() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    WIN_X=$X WIN_Y=$Y WIN_W=$WIDTH WIN_H=$HEIGHT
}

# Closes the window the way a window manager's close button does and checks
# that the editor then exits cleanly (under the sanitizers a leak or error
# report makes the exit code non-zero).
stop_editor() {
    "$PROBE" close "$WIN" || fail "could not send the close request"
    local i
    for i in $(seq 1 300); do
        kill -0 "$EDITOR_PID" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$EDITOR_PID" 2>/dev/null; then
        fail "the editor did not exit within 30 s of closing its window"
        return
    fi
    local status=0
    wait "$EDITOR_PID" || status=$?
    EDITOR_PID=""
    if [ "$status" -ne 0 ]; then
        cat "$OUT/editor.log" >&2
        fail "the editor exited with status $status after its window was closed"
    else
        log "editor closed and exited with status 0"
    fi
}

# ---------------------------------------------------------------- input

# Gives the window the keyboard focus (there is no window manager to do it).
focus_editor() {
    xdotool windowfocus --sync "$WIN" || fail "could not focus the editor window"
}

# Presses and releases one key in the focused editor, e.g. key s, key ctrl+s.
key() {
    xdotool key --clearmodifiers "$1"
}

# Moves the pointer to window coordinates.
move_to() {
    xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + $2))
}

# Moves the pointer to the centre of a view cell of the map (column, row).
move_to_cell() {
    move_to $((MAP_X + $1 * CELL + CELL / 2)) $((MAP_Y + $2 * CELL + CELL / 2))
}

# Left click (or the given button) on a view cell of the map.
click_at_cell() {
    move_to_cell "$1" "$2"
    xdotool click "${3:-1}"
}

abs() { echo $(($1 < 0 ? -$1 : $1)); }

# Drags with the left button (or the given button) from one view cell to
# another, passing through the cells in between in steps of half a cell.
drag_cells() {
    local c0=$1 r0=$2 c1=$3 r1=$4 button=${5:-1}
    local x0=$((MAP_X + c0 * CELL + CELL / 2)) y0=$((MAP_Y + r0 * CELL + CELL / 2))
    local x1=$((MAP_X + c1 * CELL + CELL / 2)) y1=$((MAP_Y + r1 * CELL + CELL / 2))
    local steps=$((2 * ($(abs $((c1 - c0))) + $(abs $((r1 - r0)))) + 1))
    move_to "$x0" "$y0"
    xdotool mousedown "$button"
    local i
    for i in $(seq 1 "$steps"); do
        move_to $((x0 + (x1 - x0) * i / steps)) $((y0 + (y1 - y0) * i / steps))
    done
    xdotool mouseup "$button"
}

# Moves the pointer off the map (onto the gallery's frame) and back onto the
# given cell, so the map shows the current tool's cursor again.
reenter_map_at_cell() {
    move_to $((MAP_X / 2)) $((WIN_H / 2))
    sleep 0.2
    move_to_cell "$1" "$2"
    sleep 0.3
}

# ---------------------------------------------------------------- looking

# Saves the editor window as it is on screen to $OUT/NAME.png.
screenshot() {
    import -window root -crop "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}" +repage "$OUT/$1.png"
}

# Prints "R G B" of the pixel at window coordinates X Y of a screenshot.
pixel_at() {
    convert "$OUT/$1.png" -crop "1x1+$2+$3" +repage -depth 8 txt:- |
        sed -n 's/^0,0: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

# Prints the number of pixels in which two screenshots differ.
pixels_differing() {
    local n
    n=$(compare -metric AE "$OUT/$1.png" "$OUT/$2.png" null: 2>&1 >/dev/null)
    printf '%s\n' "${n%%[!0-9]*}"
}

# Prints "X Y W H", the bounding box of the pixels in which two screenshots
# differ (empty output when they are equal).
diff_box() {
    convert "$OUT/$1.png" "$OUT/$2.png" -compose difference -composite \
        -threshold 0 -format '%@' info:- |
        sed -n 's/^\([0-9]*\)x\([0-9]*\)+\([0-9]*\)+\([0-9]*\)$/\3 \4 \1 \2/p'
}

# Prints one line "FIRST_X LAST_X BRIGHTNESS_CHANGE" per group of changed
# columns (groups apart by 8 or more unchanged columns) inside the box
# "X Y W H" of two screenshots; the change is the sum over the group's pixels
# of the luminance in AFTER minus that in BEFORE (positive: got lighter).
changed_column_groups() {
    local before=$1 after=$2 x y w h
    read -r x y w h <<<"$3"
    paste -d' ' \
        <(convert "$OUT/$before.png" -crop "${w}x${h}+${x}+${y}" +repage -depth 8 txt:- |
            awk -F'[ ,:()]+' 'NR > 1 { print $1, int(($3 * 299 + $4 * 587 + $5 * 114) / 1000) }') \
        <(convert "$OUT/$after.png" -crop "${w}x${h}+${x}+${y}" +repage -depth 8 txt:- |
            awk -F'[ ,:()]+' 'NR > 1 { print int(($3 * 299 + $4 * 587 + $5 * 114) / 1000) }') |
        awk -v x0="$x" -v w="$w" '
            $3 != $2 { changed[$1] = 1; change[$1] += $3 - $2 }
            END {
                for (c = 0; c <= w + 8; c++) {
                    if (c in changed) {
                        if (!open) { first = c; sum = 0; open = 1 }
                        sum += change[c]; last = c
                    } else if (open && c - last >= 8) {
                        print first + x0, last + x0, sum; open = 0
                    }
                }
            }'
}

# Takes screenshot NAME until it differs from BASE and has settled (two equal
# shots in a row); returns 1 if nothing changed within the time limit.
wait_for_change() {
    local base=$1 name=$2 i
    for i in $(seq 1 50); do
        screenshot "$name"
        if [ "$(pixels_differing "$base" "$name")" != 0 ]; then
            sleep 0.3
            screenshot "$name.settled"
            if [ "$(pixels_differing "$name" "$name.settled")" = 0 ]; then
                rm -f "$OUT/$name.settled.png"
                return 0
            fi
        fi
        sleep 0.2
    done
    return 1
}

# Takes screenshot NAME until it equals REF; returns 1 if it never does.
wait_until_equal() {
    local ref=$1 name=$2 i
    for i in $(seq 1 50); do
        screenshot "$name"
        [ "$(pixels_differing "$ref" "$name")" = 0 ] && return 0
        sleep 0.2
    done
    return 1
}

# Takes screenshot NAME after the screen has stayed the same for a moment.
settled_screenshot() {
    local name=$1 i
    screenshot "$name"
    for i in $(seq 1 50); do
        sleep 0.3
        screenshot "$name.next"
        if [ "$(pixels_differing "$name" "$name.next")" = 0 ]; then
            rm -f "$OUT/$name.next.png"
            return 0
        fi
        mv "$OUT/$name.next.png" "$OUT/$name.png"
    done
    return 1
}

# Prints "FIRST LAST", the stretch of non-background pixels around START in
# lines of "position R G B".
dark_stretch() {
    awk -v start="$1" '
        { light[$1] = ($2 >= 224 && $3 >= 224 && $4 >= 224) }
        END {
            if (light[start]) exit 1
            for (lo = start; (lo - 1) in light && !light[lo - 1]; lo--) {}
            for (hi = start; (hi + 1) in light && !light[hi + 1]; hi++) {}
            print lo, hi
        }'
}

# Finds the map widget in a screenshot: walks from a point inside it (the map
# fills the right part of the window) out to the light window background.
find_map() {
    local shot=$1 cx=$((WIN_W * 3 / 5)) cy=$((WIN_H * 2 / 5)) top bottom left right
    read -r top bottom <<<"$(convert "$OUT/$shot.png" -crop "1x${WIN_H}+${cx}+0" +repage -depth 8 txt:- |
        awk -F'[ ,:()]+' 'NR > 1 { print $2, $3, $4, $5 }' | dark_stretch "$cy")"
    read -r left right <<<"$(convert "$OUT/$shot.png" -crop "${WIN_W}x1+0+${cy}" +repage -depth 8 txt:- |
        awk -F'[ ,:()]+' 'NR > 1 { print $1, $3, $4, $5 }' | dark_stretch "$cx")"
    MAP_X=${left:-0} MAP_Y=${top:-0}
    MAP_W=$((${right:-0} - MAP_X + 1)) MAP_H=$((${bottom:-0} - MAP_Y + 1))
    log "map widget at $MAP_X,$MAP_Y size ${MAP_W}x$MAP_H"
}

# The pointer's cursor shows the image file (same pixels, hot spot centred)?
cursor_shows() {
    "$PROBE" cursor-is "$1" >"$OUT/cursor-check.log" 2>&1
}

# The pointer's cursor is a cross: its opaque pixels lie on the two lines
# through the hot spot, with arms in all four directions. Saves it as NAME.png.
cursor_is_cross() {
    local geometry xhot yhot
    geometry=$("$PROBE" cursor "$OUT/$1.png") || return 1
    read -r _ _ xhot yhot <<<"$geometry"
    convert "$OUT/$1.png" -depth 8 txt:- |
        awk -F'[ ,:()]+' -v hx="$xhot" -v hy="$yhot" '
            NR > 1 && $6 >= 128 {
                dx = $1 - hx; dy = $2 - hy
                adx = dx < 0 ? -dx : dx; ady = dy < 0 ? -dy : dy
                if (adx <= 3 || ady <= 3) on++; else off++
                if (ady <= 3 && dx <= -4) left++
                if (ady <= 3 && dx >= 4) right++
                if (adx <= 3 && dy <= -4) up++
                if (adx <= 3 && dy >= 4) down++
            }
            END {
                printf "cursor %s: %d opaque pixels on the cross, %d off it, arms %d %d %d %d\n",
                    FILENAME, on, off, left, right, up, down
                exit !(on > 0 && off * 10 <= on && left && right && up && down)
            }' >"$OUT/cursor-check.log"
}

# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/scenario_editing.sh"
# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/scenario_properties.sh"

# ---------------------------------------------------------------- scenarios

scenario_window() {
    local title
    title=$(xdotool getwindowname "$WIN")
    [ "$title" = "$WINDOW_TITLE" ] || fail "window title is '$title', expected '$WINDOW_TITLE'"
    if [ "$WIN_W" -ne "$WINDOW_WIDTH" ] || [ "$WIN_H" -ne "$WINDOW_HEIGHT" ]; then
        fail "window size is ${WIN_W}x$WIN_H, expected ${WINDOW_WIDTH}x$WINDOW_HEIGHT"
    fi
    # The X server's own view of the window, independent of xdotool.
    local xw xh
    xw=$(xwininfo -id "$WIN" | awk '/^ *Width:/ { print $2 }')
    xh=$(xwininfo -id "$WIN" | awk '/^ *Height:/ { print $2 }')
    [ "$xw" = "$WINDOW_WIDTH" ] && [ "$xh" = "$WINDOW_HEIGHT" ] ||
        fail "xwininfo reports ${xw}x$xh, expected ${WINDOW_WIDTH}x$WINDOW_HEIGHT"
}

# The map shows the 64-pixel background tile, repeated once per cell.
scenario_background() {
    local tile="$WORK/wd/assets/bg64x64.jpg"
    convert "$OUT/start.png" -crop "${CELL}x${CELL}+${MAP_X}+${MAP_Y}" +repage "$OUT/map-tile-0-0.png"
    convert "$OUT/start.png" -crop "${CELL}x${CELL}+$((MAP_X + CELL))+$((MAP_Y + CELL))" +repage "$OUT/map-tile-1-1.png"
    local err
    for shot in map-tile-0-0 map-tile-1-1; do
        # Both decoders read the same JPEG; allow for rounding only.
        err=$(compare -metric RMSE "$tile" "$OUT/$shot.png" null: 2>&1 | sed -n 's/.*(\([0-9.e-]*\)).*/\1/p')
        awk -v e="$err" 'BEGIN { exit !(e != "" && e < 0.01) }' ||
            fail "$shot does not show assets/bg64x64.jpg (normalised RMSE $err)"
    done
}

# "S" switches to select mode and "E" back to edit mode with the pencil: the
# mode row changes on screen and the map's cursor goes from the pencil image
# to a cross and back.
scenario_mode_keys() {
    move_to_cell 3 2
    sleep 0.3
    cursor_shows "$WORK/wd/assets/pencil.png" ||
        fail "at start the cursor over the map is not assets/pencil.png: $(cat "$OUT/cursor-check.log")"
    "$PROBE" cursor "$OUT/cursor-edit.png" >/dev/null

    # A key that is no shortcut leaves the window as it was: the comparison
    # below sees the keys' effect, not noise.
    key x
    sleep 0.5
    screenshot after-x
    [ "$(pixels_differing start after-x)" = 0 ] || fail "pressing 'x' changed the window"

    key s
    if ! wait_for_change start select-mode; then
        fail "pressing 's' changed nothing in the window"
    else
        local x y w h
        read -r x y w h <<<"$(diff_box start select-mode)"
        log "'s' changed $(pixels_differing start select-mode) pixels in box ${w}x$h+$x+$y"
        # Only the mode and tool row below the map changes; map and gallery stay.
        if [ "$y" -le $((MAP_Y + MAP_H)) ] || [ $((y + h)) -ge "$WIN_H" ] || [ "$x" -le "$MAP_X" ]; then
            fail "'s' changed the window outside the mode row below the map (box ${w}x$h+$x+$y)"
        fi
        # Left to right: "Edit [E]" loses its dot (lighter), "Select [S]" gets
        # it (darker), "Pencil" and "Flood fill" grey out (lighter) and "Edit
        # selection" becomes enabled (darker text).
        changed_column_groups start select-mode "$x $y $w $h" >"$OUT/select-mode-changes.txt"
        local groups
        groups=$(awk '{ printf "%s%s", sep, ($3 > 0 ? "lighter" : "darker"); sep = " " }' "$OUT/select-mode-changes.txt")
        log "changed parts of the row, left to right: $groups"
        case "$groups" in
        "lighter darker lighter lighter darker") ;;
        *) fail "after 's' the row does not show select mode (Select on, Pencil and Flood fill greyed out, Edit selection enabled) (changes left to right: $groups; see select-mode-changes.txt)" ;;
        esac
    fi
    reenter_map_at_cell 3 2
    cursor_is_cross cursor-select || fail "in select mode the cursor over the map is not a cross: $(cat "$OUT/cursor-check.log")"
    cursor_shows "$WORK/wd/assets/pencil.png" && fail "in select mode the cursor over the map is still the pencil"

    key e
    wait_until_equal start edit-mode || fail "pressing 'e' did not bring back the window as it was at start ($(pixels_differing start edit-mode) pixels differ)"
    reenter_map_at_cell 3 2
    cursor_shows "$WORK/wd/assets/pencil.png" ||
        fail "after 'e' the cursor over the map is not assets/pencil.png: $(cat "$OUT/cursor-check.log")"
}

# ---------------------------------------------------------------- main

main() {
    [ -x "$EDITOR_BIN" ] || die "no editor binary at $EDITOR_BIN"
    [ -d "$DATA_DIR/assets" ] && [ -d "$DATA_DIR/textures" ] || die "$DATA_DIR has no assets/ and textures/"
    mkdir -p "$OUT" || die "cannot create $OUT"
    rm -f "$OUT"/*.png "$OUT"/*.log
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/gorseed-e2e.XXXXXX") || die "cannot create a temporary directory"
    mkdir -p "$WORK/wd"

    start_x
    start_editor
    scenario_window
    # Park the pointer on the gallery's frame, away from every control.
    move_to $((WIN_W / 40)) $((WIN_H / 2))
    focus_editor
    settled_screenshot start || fail "the window did not settle after start"
    cp "$OUT/start.png" "$OUT/editor.png"
    find_map start
    [ "$MAP_W" -ge 400 ] && [ "$MAP_H" -ge 4 ] || die "could not find the map in start.png (${MAP_W}x$MAP_H)"
    scenario_background
    scenario_mode_keys
    scenario_editing # leaves walls and floors on the map
    scenario_properties # leaves a properties window open beside the editor
    stop_editor

    log "screenshot of the editor: $OUT/editor.png"
    if [ "${UPDATE_SCREENSHOT:-}" = 1 ]; then
        mkdir -p "$SOURCE_ROOT/docs"
        cp "$OUT/editor.png" "$SOURCE_ROOT/docs/screenshot.png"
        log "copied it to $SOURCE_ROOT/docs/screenshot.png"
    fi
    if [ "$FAILURES" -ne 0 ]; then
        log "$FAILURES check(s) failed; screenshots and logs in $OUT"
        exit 1
    fi
    log "all checks passed"
}

main
