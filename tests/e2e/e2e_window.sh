#!/usr/bin/env bash
# End-to-end test of the real GorseED window under its own Xvfb, driven with real X input (xdotool) and watched
# from outside: screenshots (ImageMagick) and the pointer's cursor (x11probe).
#   e2e_window.sh GORSEED_BINARY DATA_DIR OUTPUT_DIR X11PROBE_BINARY
# Exit 0 passed, 1 failed, 77 skipped (no X server could be started; never when CI=true).
# UPDATE_SCREENSHOT=1 also copies the editor's screenshot to docs/screenshot.png.
set -uo pipefail

EDITOR_BIN=${1:?usage: e2e_window.sh GORSEED_BINARY DATA_DIR OUTPUT_DIR X11PROBE_BINARY}
DATA_DIR=${2:?} OUT=${3:?} PROBE=${4:-}
SOURCE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
readonly CELL=64 # the zoom slider is at 4 at start
XVFB_PID="" EDITOR_PID="" WORK="" FAILURES=0

log() { printf 'e2e: %s\n' "$*"; }
fail() { printf 'e2e: FAIL: %s\n' "$*" >&2; FAILURES=$((FAILURES + 1)); }
die() { printf 'e2e: FAIL: %s\n' "$*" >&2; exit 1; }
skip() { [ "${CI:-}" = true ] && die "$* (CI=true: the test may not be skipped)"; log "SKIP: $*"; exit 77; }
cleanup() {
    for pid in $EDITOR_PID $XVFB_PID; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    unmount_small_disk
    [ -z "$WORK" ] || rm -rf "$WORK"
}
trap cleanup EXIT
# Evaluates the command line $2 until it succeeds, at most $1 times 0.1 s apart.
retry() { local _t; for ((_t = 0; _t < $1; _t++)); do eval "$2" && return 0; sleep 0.1; done; return 1; }

start_x() {
    for tool in Xvfb xdotool xclip import compare convert; do
        command -v "$tool" >/dev/null || skip "$tool is not installed (run scripts/install-deps.sh)"
    done
    [ -x "$PROBE" ] || skip "x11probe was not built (libx11-dev and libxfixes-dev missing?)"
    # Xvfb picks a free display number and writes it to fd 3.
    Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$WORK/displayfd" >"$OUT/xvfb.log" 2>&1 &
    XVFB_PID=$!
    retry 100 "[ -s $WORK/displayfd ]" || { cat "$OUT/xvfb.log" >&2; skip "Xvfb did not start"; }
    export DISPLAY=":$(tr -dc 0-9 <"$WORK/displayfd")"
}

# Starts the editor in a fresh copy of the working directory; sets WIN and its geometry WIN_X, WIN_Y, WIN_W, WIN_H.
# Each editor gets a user data folder of its own (so no recovery copy of another run is offered), unless
# EDITOR_HOME names one; RECOVERY_MS sets how often it writes its recovery copy.
start_editor() {
    local home=${EDITOR_HOME:-$(mktemp -d "$WORK/home.XXXXXX")}
    cp -r "$DATA_DIR/." "$WORK/wd/" || die "cannot copy $DATA_DIR"
    (cd "$WORK/wd" && XDG_DATA_HOME=$home GORSEED_RECOVERY_INTERVAL_MS=${RECOVERY_MS:-} QT_QPA_PLATFORM=xcb \
        exec "$EDITOR_BIN" >"$OUT/editor.log" 2>&1) &
    EDITOR_PID=$!
    WIN=$(timeout 60 xdotool search --sync --onlyvisible --pid "$EDITOR_PID" | head -n 1)
    [ -n "$WIN" ] || { cat "$OUT/editor.log" >&2; die "the editor showed no window within 60 s"; }
    read -r WIN_X WIN_Y WIN_W WIN_H <<<"$(xdotool getwindowgeometry --shell "$WIN" |
        sed -n 's/^\(X\|Y\|WIDTH\|HEIGHT\)=//p' | xargs)"
}

# Closes the window as a window manager's close button does, discarding unsaved changes when the editor asks;
# the editor must then exit with status 0 (under the sanitizers a leak or error report makes it non-zero).
stop_editor() {
    "$PROBE" close "$WIN" || fail "could not send the close request"
    retry 300 "! kill -0 $EDITOR_PID 2>/dev/null || { discard_changes; false; }" ||
        { fail "the editor did not exit within 30 s of closing"; return; }
    local status=0
    wait "$EDITOR_PID" || status=$?
    EDITOR_PID=""
    [ "$status" = 0 ] && return
    cat "$OUT/editor.log" >&2
    # LeakSanitizer's own tracer sometimes crashes at exit under Xvfb ("Tracer caught signal 11"); that is the
    # tool failing, not a leak, so it is told but not counted. A leak report or any other error still fails.
    if grep -q 'LeakSanitizer has encountered a fatal error' "$OUT/editor.log" &&
        ! grep -q -E 'ERROR: (LeakSanitizer: detected|AddressSanitizer)|runtime error' "$OUT/editor.log"; then
        log "LeakSanitizer's tracer failed as the editor exited; no leak was reported"
        return
    fi
    fail "the editor exited with status $status after closing"
}

# Answers "Discard" to the editor's question about unsaved changes; fails when it is not asking.
discard_changes() {
    local question
    question=$(xdotool search --onlyvisible --pid "$EDITOR_PID" --name '^Unsaved Changes$' 2>/dev/null | head -n 1)
    [ -n "$question" ] && xdotool windowfocus --sync "$question" && key alt+d
}
focus_editor() { xdotool windowfocus --sync "$WIN" || fail "could not focus the editor window"; } # no WM does it
key() { xdotool key --clearmodifiers "$1"; }
move_to() { xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + $2)); } # window coordinates
move_to_cell() { move_to $((MAP_X + $1 * CELL + CELL / 2)) $((MAP_Y + $2 * CELL + CELL / 2)); }
click_at_cell() { move_to_cell "$1" "$2" && xdotool click "${3:-1}"; }
park() { move_to $((MAP_X / 2)) $((WIN_H / 2)); } # onto the gallery, off the map and every control
# Leaves the map and comes back onto cell (3,2), so the map shows the current tool's cursor again.
reenter_map() { park && sleep 0.2 && move_to_cell 3 2 && sleep 0.3; }
# Prints the editor's visible windows other than the main one (popups, dialogs).
popups() { xdotool search --onlyvisible --pid "$EDITOR_PID" | grep -vx "$WIN"; }

# Left-drags through the centres of view cells (column row column row ...), half a cell (h) a step.
drag() {
    local hc=$((2 * $1)) hr=$((2 * $2))
    shift 2
    move_to_cell $((hc / 2)) $((hr / 2))
    xdotool mousedown 1
    while [ $# -ge 2 ]; do
        hc=$((hc + (2 * $1 > hc) - (2 * $1 < hc))) hr=$((hr + (2 * $2 > hr) - (2 * $2 < hr)))
        move_to $((MAP_X + (hc + 1) * CELL / 2)) $((MAP_Y + (hr + 1) * CELL / 2))
        [ "$hc $hr" = "$((2 * $1)) $((2 * $2))" ] && shift 2
    done
    xdotool mouseup 1
}

# Saves the editor window as it is on screen to $OUT/NAME.png.
screenshot() { import -window root -crop "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}" +repage "$OUT/$1.png"; }
same() { [ "$(compare -metric AE "$OUT/$1.png" "$OUT/$2.png" null: 2>&1)" = 0 ]; }
# Re-takes screenshot NAME until two shots in a row are equal.
settle() {
    retry 50 "sleep 0.2; screenshot $1.next; same $1 $1.next || ! mv '$OUT/$1.next.png' '$OUT/$1.png'" &&
        rm "$OUT/$1.next.png"
}
# Parks the pointer and re-takes screenshot NAME ($2) until it differs from BASE ($1) and has settled, else
# fails: "$3 changed nothing". Given view cells C0 R0 C1 R1 ($4-$7), the change must fill exactly their box.
expect_change() {
    park
    retry 100 "screenshot $2 && ! same $1 $2" && settle "$2" || { fail "$3 changed nothing"; return; }
    [ $# -eq 7 ] || return 0
    local want="$((MAP_X + $4 * CELL)) $((MAP_Y + $5 * CELL)) $((($6 - $4 + 1) * CELL)) $((($7 - $5 + 1) * CELL))" got
    got=$(diff_box "$1" "$2")
    [ "$got" = "$want" ] || fail "$3 changed box '$got' (x y w h), not exactly cells ($4,$5)-($6,$7): '$want'"
}
# Prints "X Y W H", the bounding box of the pixels in which two screenshots differ (nothing when equal).
diff_box() {
    convert "$OUT/$1.png" "$OUT/$2.png" -compose difference -composite -threshold 0 -format '%@' info:- |
        sed -n 's/^\([0-9]*\)x\([0-9]*\)+\([0-9]*\)+\([0-9]*\)$/\3 \4 \1 \2/p'
}
# Prints "X Y R G B" per pixel of crop GEOMETRY ($2) of screenshot SHOT ($1).
pixels() {
    convert "$OUT/$1.png" -crop "$2" +repage -depth 8 txt:- | awk -F'[ ,:()]+' 'NR > 1 { print $1, $2, $3, $4, $5 }'
}

# Finds the map widget in start.png: from a point inside it (the map fills the right part of the window) the
# runs of dark pixels, down and across, out to the light window background.
find_map() {
    local cx=$((WIN_W * 3 / 5)) cy=$((WIN_H * 2 / 5)) top bottom left right
    read -r top bottom <<<"$(pixels start "1x$WIN_H+$cx+0" | dark_run 2 "$cy")"
    read -r left right <<<"$(pixels start "${WIN_W}x1+0+$cy" | dark_run 1 "$cx")"
    MAP_X=${left:-0} MAP_Y=${top:-0} MAP_W=$((${right:-0} - ${left:-0} + 1)) MAP_H=$((${bottom:-0} - ${top:-0} + 1))
}
# Prints "FIRST LAST", the run of non-light pixels through position $2 of field $1 in "X Y R G B" lines.
dark_run() {
    awk -v f="$1" -v s="$2" '{ light[$f] = $3 >= 224 && $4 >= 224 && $5 >= 224 } END {
        for (lo = s; (lo - 1) in light && !light[lo - 1]; lo--) {}
        for (hi = s; (hi + 1) in light && !light[hi + 1]; hi++) {}
        if (!light[s]) print lo, hi }'
}
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
# Prints the id of the visible window titled $1 once it shows (nothing after $2 seconds, 10 unless given).
window_named() { timeout "${2:-10}" xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
# Fails with MESSAGE ($2) unless window $1 closes.
expect_closed() { retry 50 "! popups | grep -qx $1" || fail "$2"; }
# Types NAME ($1) into the editor's file dialog (the save and the load dialog share its caption) and presses Enter;
# fails, saying what opened it ($2), and returns non-zero when no dialog shows or it does not close.
answer_file_dialog() {
    local dialog
    # The first file dialog of an editor may take long to show under the sanitizers.
    dialog=$(window_named "Save Gorse Map" 30)
    [ -n "$dialog" ] || { fail "$2 showed no file dialog"; return 1; }
    xdotool windowfocus --sync "$dialog"
    xdotool type --delay 10 "$1"
    key Return
    retry 50 "! popups | grep -qx $dialog" || { fail "$2: the file dialog did not close"; return 1; }
}
# Re-enters the map and fails with MESSAGE ($2) unless the cursor shows image $1 (or is a "cross").
expect_cursor() { local seen; reenter_map; seen=$("$PROBE" cursor "$1" 2>&1) || fail "$2: $seen"; }

# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/scenario_files.sh"
# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/scenario_strokes.sh"
# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/scenario_fulldisk.sh"
# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/scenario_recovery.sh"
# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/scenario_clipboard.sh"
# shellcheck source-path=SCRIPTDIR
source "$(dirname "${BASH_SOURCE[0]}")/scenario_seeing.sh"

# "S" switches to select mode and "E" back to edit mode with the pencil: the mode row changes on screen and the
# map's cursor goes from the pencil to a cross and back.
scenario_mode_keys() {
    expect_cursor "$PENCIL" "at start the cursor over the map is not assets/pencil.png"
    # A key that is no shortcut leaves the window as it was: what follows sees the keys, not noise.
    key x
    sleep 0.5
    screenshot after-x
    same start after-x || fail "pressing 'x' changed the window"

    key s
    if retry 100 "screenshot select-mode && ! same start select-mode" && settle select-mode; then
        local x y w h
        read -r x y w h <<<"$(diff_box start select-mode)"
        # The mode row below the map changes (which buttons it checks and greys is tested in process).
        [ "$y" -gt $((MAP_Y + MAP_H)) ] && [ $((y + h)) -lt "$WIN_H" ] && [ "$x" -gt "$MAP_X" ] ||
            fail "'s' changed the window outside the mode row below the map (box ${w}x$h+$x+$y)"
    else
        fail "pressing 's' changed nothing in the window"
    fi
    expect_cursor cross "in select mode the cursor over the map is not a cross"

    key e
    retry 100 "screenshot edit-mode && same start edit-mode" || fail "'e' did not bring back the window as at start"
    expect_cursor "$PENCIL" "after 'e' the cursor over the map is not assets/pencil.png"
}

main() {
    [ -x "$EDITOR_BIN" ] || die "no editor binary at $EDITOR_BIN"
    mkdir -p "$OUT" && rm -f "$OUT"/*.png "$OUT"/*.log || die "cannot create $OUT"
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/gorseed-e2e.XXXXXX") && mkdir "$WORK/wd" || die "cannot make a temporary dir"
    PENCIL=$WORK/wd/assets/pencil.png
    start_x
    start_editor
    title=$(xdotool getwindowname "$WIN")
    [ "$title" = GorseED ] || fail "the window title is '$title', expected 'GorseED'"
    [ "${WIN_W}x$WIN_H" = 1124x768 ] || fail "the window size is ${WIN_W}x$WIN_H, expected 1124x768"
    move_to $((WIN_W / 40)) $((WIN_H / 2)) # on the gallery's frame, away from every control
    focus_editor
    screenshot start && settle start || fail "the window did not settle after start"
    cp "$OUT/start.png" "$OUT/editor.png"
    find_map
    [ "$MAP_W" -ge 400 ] && [ "$MAP_H" -ge 4 ] || die "could not find the map in start.png (${MAP_W}x$MAP_H)"
    log "window $WIN on $DISPLAY; map at $MAP_X,$MAP_Y size ${MAP_W}x$MAP_H"

    # The concerns only real X input shows: real shortcuts, fast strokes, real
    # file dialogs and a full disk. The rest is tested in process (tests/tst_*).
    scenario_mode_keys
    off_map_strokes_and_held_ctrl # saves strokes.map
    load_level
    stop_editor
    start_editor # a fresh editor again, for cut and paste
    clipboard_keys
    stop_editor
    start_editor # the sample level, the overview and the eye of the walls; takes the README's screenshot
    seeing_level
    stop_editor
    full_disk # in an editor of its own
    recovery_after_kill # two editors of its own

    if [ "${UPDATE_SCREENSHOT:-}" = 1 ]; then
        mkdir -p "$SOURCE_ROOT/docs" && cp "$OUT/editor.png" "$SOURCE_ROOT/docs/screenshot.png" &&
            log "copied it to $SOURCE_ROOT/docs/screenshot.png"
    fi
    [ "$FAILURES" = 0 ] || { log "$FAILURES check(s) failed; screenshots and logs in $OUT"; exit 1; }
    log "all checks passed; the editor's screenshot: $OUT/editor.png"
}

main
