#!/usr/bin/env bash
# The information and set-up pages of the real game under Xvfb, each opened
# with "-menupage" and driven by "-inputscript" with keys, mouse and the
# virtual controller. Every drive is checked against a frame of the same run
# before the input, or against a run without it: the picture must change
# where the input acts. Settings changed by controller are checked in the
# files and log lines they leave and in a second start. The game runs from a
# tree of its own.
set -uo pipefail
game="$1"
out="$2"
part="${3:-all}"   # pages, maprow, settings or all
here="$(cd "$(dirname "$0")" && pwd)"
pixels="$here/../support/png_pixels.py"
stage="$(dirname "$(dirname "$game")")"
rm -rf "$out" && mkdir -p "$out/tree/bin"
cp "$game" "$out/tree/bin/"
ln -s "$stage/data" "$out/tree/data"
ln -s "$stage/paks" "$out/tree/paks"
run="$out/tree/bin/$(basename "$game")"
fail() { echo "FAIL: $1"; exit 1; }
common=(-width 1280 -height 720 -fixeddt 0.0166)
# The lowest detail where the pages are checked, not the world behind them,
# whose detail costs most of each frame on the software renderer; the
# graphics page's runs open at the detail of the player's settings.
low=(-quality 0)
# The first clicks pass the splash screens.
skip=$'5 click 100 700\n10 click 100 700\n15 click 100 700\n20 click 100 700'

# drive NAME PAGE FRAMES SCRIPT-LINES: runs PAGE with the splash clicks and
# the lines, frames "before" at 190 and "after" at FRAMES-10.
drive() {
    local name="$1" page="$2" frames="$3" lines="$4"
    printf '%s\n%s\n' "$skip" "$lines" >"$out/$name.script"
    "$run" "${common[@]}" "${low[@]}" -menupage "$page" -inputscript "$out/$name.script" -frames "$frames" \
        -dumpframe "190:$out/${name}_before.png" -dumpframe "$((frames - 10)):$out/${name}_after.png" \
        >"$out/$name.out" 2>&1 || fail "$name: the run did not end cleanly"
    grep -q "page shown: $page" "$out/$name.out" || fail "$name: the page $page was not reached"
}
# changed NAME X0 Y0 X1 Y1 MIN: at least MIN pixels of the box differ
# strongly between the two frames of run NAME (or of two files).
changed() {
    local a="$out/$1_before.png" b="$out/$1_after.png"
    local n
    n=$(python3 "$pixels" diff "$a" "$b" "$2" "$3" "$4" "$5") || fail "$1: frames unreadable"
    [ "$n" -ge "$6" ] || fail "$1: only $n pixels changed in $2,$3-$4,$5 (at least $6 expected)"
    echo "$1: $n pixels changed"
}

# bright FILE X0 Y0 X1 Y1: pixels of the box near white (menu text).
bright() {
    python3 -c "import sys; sys.path.insert(0, sys.argv[1]); from png_pixels import rgb_rows
rows = rgb_rows(sys.argv[2]); x0, y0, x1, y1 = (int(v) for v in sys.argv[3:7])
print(sum(1 for row in rows[y0:y1] for p in row[x0:x1] if min(p) > 215))" "$here/../support" "$@" ||
        fail "$1 unreadable"
}
# pages NAME: the pages the run showed, in order, by their class names.
pages() {
    grep -o "page shown: [A-Za-z]*Frame" "$out/$1.out" | sed 's/page shown: //' | tr '\n' ' '
}
# script NAME LINES: the splash clicks and the lines as the run's script.
script() {
    printf '%s\n%s\n' "$skip" "$2" >"$out/$1.script"
}

# play NAME PAGE FRAMES DUMPS...: runs PAGE with the script NAME, frames
# dumped at the given numbers as NAME_<frame>.png; the exit code in "code".
play() {
    local name="$1" page="$2" frames="$3"
    shift 3
    local dumps=() f
    for f in "$@"; do dumps+=(-dumpframe "$f:$out/${name}_$f.png"); done
    "$run" "${common[@]}" "${extra[@]}" -menupage "$page" -inputscript "$out/$name.script" -frames "$frames" \
        "${dumps[@]}" >"$out/$name.out" 2>&1
    code=$?
}
# differ A B X0 Y0 X1 Y1: strongly different pixels of two dumps (names without .png).
differ() {
    python3 "$pixels" diff "$out/$1.png" "$out/$2.png" "$3" "$4" "$5" "$6" || fail "$1 or $2 unreadable"
}
# at_least / at_most WHAT N LIMIT: a count checked against its limit.
at_least() { [ "$2" -ge "$3" ] || fail "$1: $2 (at least $3 expected)"; echo "$1: $2"; }
at_most() { [ "$2" -le "$3" ] || fail "$1: $2 (at most $3 expected)"; echo "$1: $2"; }
extra=()
title=(540 25 740 85)
apply=(400 605 880 650)

# The information pages: achievements, how-to-play, set-up paging and the
# credits dragged.
info_pages() {
    # A run that only looks: the page must not move by itself, so that the
    # drives' changes are theirs.
    for page in achievements howtoplay; do
        drive "${page}_still" "$page" 300 ""
        n=$(python3 "$pixels" diff "$out/${page}_still_before.png" "$out/${page}_still_after.png" 0 100 1280 600)
        [ "$n" -lt 200 ] || fail "$page changes by itself ($n pixels)"
    done

    # Achievements: the page opens on its back button; down to the pager,
    # which Enter and the controller's A turn, on the page.
    drive ach_keys achievements 300 $'200 key Down\n230 key Enter'
    changed ach_keys 0 100 1280 600 2000
    drive ach_pad achievements 300 $'200 pad dpdown\n230 pad a'
    changed ach_pad 0 100 1280 600 2000
    for name in ach_keys ach_pad; do
        [ "$(pages "$name")" = "MainMenuFrame AchievementsMenuFrame " ] || fail "$name: pages were $(pages "$name")"
    done

    # How to play: the pages turned by Enter, by the controller's A and by a
    # click on the right half of the page dots.
    drive help_keys howtoplay 300 "200 key Enter"
    changed help_keys 0 100 1280 600 2000
    drive help_pad howtoplay 300 $'200 pad a\n240 pad a'
    changed help_pad 0 100 1280 600 2000
    drive help_mouse howtoplay 300 "200 click 900 670"
    changed help_mouse 0 100 1280 600 2000

    # The game set-up page by controller: the focus walks the map strip, which
    # pages along under it.
    drive setup_pad setup 300 $'200 pad dpdown\n210 pad dpright\n220 pad dpright\n230 pad dpright'
    changed setup_pad 0 225 1280 380 20000

    # Credits: a drag moves the text against a run that was left alone.
    drive credits_still credits 300 ""
    drive credits_drag credits 300 "200 drag 640 500 640 300 20"
    n=$(python3 "$pixels" diff "$out/credits_still_after.png" "$out/credits_drag_after.png" 0 0 1280 720)
    [ "$n" -ge 1000 ] || fail "credits: the drag moved nothing ($n pixels)"
    echo "credits_drag: $n pixels changed"
}

# The map row at the smallest screen and a large one, on the play menu's
# set-up page and on the one the online create page opens (its Free-for-All
# button clicked): at 1920x1080 every card lies wholly on the screen and
# the time dial below the row; at 960x640 the first card does, and the last
# once the strip is dragged to its end. A click on the last card chooses it.
# The game is steered through a pipe, so that each click goes where the
# picture just before it shows the button.
map_row() {
    local common   # the shared helpers' window options stay the map row's own
    source "$here/../support/game_tree.sh"
    local size road w h pipe shot
    for size in 960x640 1920x1080; do
        for road in setup onlinecreate; do
            w="${size%x*}" h="${size#*x}"
            name="row_${road}_$size"
            log="$out/$name.out"
            pipe="$out/$name.pipe"
            piped_game "$w" "$h" "$pipe" -fixeddt 0.0166 -quality 0 -menupage "$road" -textboxes -frames 3000
            printf '%s\n' "$skip" >&3
            frame=200
            if [ "$road" = onlinecreate ]; then
                printf '%s\n' "$frame shot ${name}_create.png" >&3
                steer_to $((frame + 5))
                printf '%s\n' "$((frame + 10)) click $(row_check "$out/${name}_create.png.texts" button Free-for-All)" >&3
                frame=$((frame + 100))
            fi
            printf '%s\n' "$frame shot ${name}_first.png" >&3
            steer_to $((frame + 5))
            row_check "$out/${name}_first.png.texts" "$([ "$w" -ge 1920 ] && echo whole || echo first)" ||
                fail "$name: the map row does not fit ($(tail -1 "$out/row_check.out"))"
            shot="${name}_first.png"
            if [ "$w" -lt 1920 ]; then
                # Drags right to left across the cards' row until the strip's end.
                local y
                y=$(row_check "$out/${name}_first.png.texts" rowy)
                printf '%s\n' "$((frame + 10)) drag $((w - 60)) $y 60 $y 20" "$((frame + 40)) drag $((w - 60)) $y 60 $y 20" \
                    "$((frame + 160)) shot ${name}_end.png" >&3
                frame=$((frame + 160))
                steer_to $((frame + 5))
                shot="${name}_end.png"
                row_check "$out/$shot.texts" last || fail "$name: the strip's end leaves its last card cut"
            fi
            printf '%s\n' "$((frame + 10)) click $(row_check "$out/$shot.texts" button "Storm Front")" \
                "$((frame + 60)) close" "$((frame + 61)) sync" >&3
            exec 3>&-
            wait "$game_pid" || fail "$name: the run did not end cleanly: $(tail -3 "$log")"
            rm -f "$pipe"
            [ "$(grep -c "map chosen" "$log")" -eq 1 ] && grep -q "map chosen: 5" "$log" ||
                fail "$name: the drag and the click on Storm Front did not choose it alone"
            if [ "$road" = setup ]; then
                grep -q "set-up start: type [0-9]* map 5" "$log" || fail "$name: Storm Front did not start"
            fi
            echo "$name: the row fits and its last card is chosen"
        done
    done
}
# row_check TEXTS WHAT: whole (seven cards on the screen, the dial below
# them), first or last (that end's card on the screen), rowy (the cards'
# middle height) or button NAME (the middle of the button labelled NAME).
row_check() {
    python3 - "$@" >"$out/row_check.out" <<'PY' && tail -1 "$out/row_check.out"
import sys
from text_fit import read
path, what = sys.argv[1], sys.argv[2]
screen, read_frames, texts = read(path)
frames = {f: (box, kind) for f, (_, _, box, kind) in read_frames.items()}
def on_screen(b):
    return b[0] >= 0 and b[1] >= 0 and b[0] + b[2] <= screen[2] and b[1] + b[3] <= screen[3]
cards = sorted((b for b, kind in frames.values() if kind == "SpriteButtonR"), key=lambda b: b[0])
named = {text: frames[f][0] for f, _, text in texts if f in frames}
if what == "button":
    b = named.get(sys.argv[3])
    if not b:
        sys.exit("no button " + sys.argv[3])
    print(int(b[0] + b[2] / 2), int(b[1] + b[3] / 2))
elif what == "rowy":
    print(int(cards[0][1] + cards[0][3] / 2))
elif what == "whole":
    dial = [b for b, kind in frames.values() if kind == "SpriteButton" and b[0] < screen[2] / 2]
    ok = len(cards) == 7 and all(on_screen(b) for b in cards) and dial and dial[0][1] >= cards[0][1] + cards[0][3]
    print("cards", [tuple(b) for b in cards], "dial", dial)
    sys.exit(0 if ok else 1)
else:
    b = cards[0] if what == "first" else cards[-1]
    label = "Random map" if what == "first" else "Storm Front"
    print(what, b, named.get(label))
    sys.exit(0 if on_screen(b) and named.get(label) == b else 1)
PY
}

# The settings pages by controller and the credits road from the options page.
settings_pages() {
    # The controller never reaches the graphics button of the options page:
    # down to credits, right past how-to-play as far as it goes, A.
    script gfx_nopad $'200 pad dpdown\n210 pad dpright\n220 pad dpright\n230 pad dpright\n240 pad dpright\n250 pad a'
    play gfx_nopad options 300
    [ "$code" -eq 0 ] || fail "gfx_nopad: the run did not end cleanly"
    case "$(pages gfx_nopad)" in
    *GraphicsSettingsMenuFrame*) fail "gfx_nopad: the controller reached the graphics page: $(pages gfx_nopad)" ;;
    esac
    # The graphics page by controller once the mouse has opened it from the
    # options page: from its back button down to the mode box and up to the
    # quality box; quality one step up and the mode changed show apply; both
    # step back to what the page opened with, which hides apply again (the
    # window's own size is listed and shown), and the controller's back leads
    # to the options page without writing "graphics.cfg".
    script gfx_pad $'200 click 937 530\n240 pad dpdown\n250 pad dpup\n270 pad dpright\n280 pad dpdown\n290 pad dpright\n320 pad dpleft\n330 pad dpup\n340 pad dpleft\n370 pad b'
    play gfx_pad options 400 190 260 300 360 390
    [ "$code" -eq 0 ] || fail "gfx_pad: the run did not end cleanly"
    [ "$(pages gfx_pad)" = "MainMenuFrame OptionsMenuFrame GraphicsSettingsMenuFrame OptionsMenuFrame " ] ||
        fail "gfx_pad: pages were $(pages gfx_pad)"
    at_most "gfx_pad: apply text before a change" "$(bright "$out/gfx_pad_260.png" "${apply[@]}")" 20
    at_least "gfx_pad: quality box stepped" "$(differ gfx_pad_260 gfx_pad_300 575 310 690 340)" 150
    at_least "gfx_pad: mode box stepped" "$(differ gfx_pad_260 gfx_pad_300 540 400 740 430)" 150
    at_least "gfx_pad: apply text after the change" "$(bright "$out/gfx_pad_300.png" "${apply[@]}")" 300
    at_most "gfx_pad: quality box stepped back" "$(differ gfx_pad_260 gfx_pad_360 575 310 690 340)" 20
    at_most "gfx_pad: mode box stepped back" "$(differ gfx_pad_260 gfx_pad_360 540 400 740 430)" 20
    at_most "gfx_pad: apply hidden after the steps back" "$(bright "$out/gfx_pad_360.png" "${apply[@]}")" 20
    at_most "gfx_pad: back on options (title)" "$(differ gfx_pad_190 gfx_pad_390 "${title[@]}")" 30
    saves=$(ls -d "$out"/tree/save/*/ | head -1)
    [ ! -e "$saves/graphics.cfg" ] || fail "gfx_pad: leaving without apply wrote graphics.cfg"
    # By keys: Down and Up reach the quality box, Right steps it and shows
    # apply, Escape leaves.
    script gfx_keys $'192 key Down\n196 key Up\n200 key Right\n240 key Esc'
    play gfx_keys graphics 260 190 230 250
    [ "$code" -eq 0 ] || fail "gfx_keys: the run did not end cleanly"
    at_least "gfx_keys: quality box stepped" "$(differ gfx_keys_190 gfx_keys_230 575 310 690 340)" 150
    at_least "gfx_keys: apply text after the change" "$(bright "$out/gfx_keys_230.png" "${apply[@]}")" 300
    at_least "gfx_keys: the page left" "$(differ gfx_keys_230 gfx_keys_250 "${title[@]}")" 300
    [ ! -e "$saves/graphics.cfg" ] || fail "gfx_keys: leaving without apply wrote graphics.cfg"

    # The graphics page by controller, opened directly: down and up to the
    # quality box, quality up, down past
    # mode and resolution to apply, A applies: the game ends with code 0 before
    # its last frame, "graphics.cfg" holds quality 3 and vsync 1, the settings
    # file stays as it was.
    before=$(cksum <"$saves/tq2_settings.bin")
    script gfx_apply $'180 pad dpdown\n190 pad dpup\n200 pad dpright\n210 pad dpdown\n220 pad dpdown\n230 pad dpdown\n260 pad a'
    extra=(-quality 2)
    play gfx_apply graphics 400 250 390
    extra=()
    [ "$code" -eq 0 ] || fail "gfx_apply: apply ended the game with code $code"
    [ ! -e "$out/gfx_apply_390.png" ] || fail "gfx_apply: the game went on after apply"
    # The quit road closes the sound output before the program ends.
    grep -q "sound: output closed" "$out/gfx_apply.out" || fail "gfx_apply: the sound output was not closed at the quit"
    grep -q "^quality 3" "$saves/graphics.cfg" || fail "gfx_apply: graphics.cfg lacks quality 3"
    grep -q "^vsync 1" "$saves/graphics.cfg" || fail "gfx_apply: graphics.cfg lacks vsync 1"
    [ "$(cksum <"$saves/tq2_settings.bin")" = "$before" ] || fail "gfx_apply: applying rewrote the settings file"
    echo "gfx_apply: applied by the controller's A, quality 3 and vsync 1 written, code 0"
    rm -f "$saves/graphics.cfg"
    extra=("${low[@]}")

    # The controls page by controller from the options page: down from the
    # joystick box to "Invert pitch", A checks it; left to "Flip controls" and
    # down to the sensitivity slider, A steps it; back saves both. A second start shows both changed
    # against a start before the drive, and nothing else in the options row.
    script ctl_still ""
    play ctl_still controls 200 190
    script ctl_pad $'200 pad dpright\n210 pad a\n260 pad dpdown\n270 pad a\n280 pad dpleft\n290 pad dpdown\n300 pad a\n340 pad b'
    play ctl_pad options 370 250 330 360
    [ "$code" -eq 0 ] || fail "ctl_pad: the run did not end cleanly"
    [ "$(pages ctl_pad)" = "MainMenuFrame OptionsMenuFrame ControlsMenuFrame OptionsMenuFrame " ] ||
        fail "ctl_pad: pages were $(pages ctl_pad)"
    grep -q "INVERT_ACTIVE 1" "$out/ctl_pad.out" || fail "ctl_pad: invert pitch was not on when the page was left"
    at_least "ctl_pad: invert box checked" "$(differ ctl_pad_250 ctl_pad_330 552 334 590 372)" 100
    at_least "ctl_pad: slider stepped" "$(differ ctl_pad_250 ctl_pad_330 360 470 690 515)" 100
    script ctl_again ""
    play ctl_again controls 200 190
    at_least "ctl_again: invert box stored" "$(differ ctl_still_190 ctl_again_190 552 334 590 372)" 100
    at_least "ctl_again: sensitivity stored" "$(differ ctl_still_190 ctl_again_190 360 470 690 515)" 100
    at_most "ctl_again: flip box unchanged" "$(differ ctl_still_190 ctl_again_190 410 330 455 375)" 10
    # The same box by keys: Down and Enter clear it again, Escape leaves.
    script ctl_keys $'200 key Down\n210 key Enter\n240 key Esc'
    play ctl_keys controls 260 190 230
    [ "$code" -eq 0 ] || fail "ctl_keys: the run did not end cleanly"
    grep -q "INVERT_ACTIVE 0" "$out/ctl_keys.out" || fail "ctl_keys: invert pitch was still on when the page was left"
    at_least "ctl_keys: invert box cleared" "$(differ ctl_keys_190 ctl_keys_230 552 334 590 372)" 100

    # Credits from the options page and back: by controller (down, A; B), by
    # keys (Down, Enter; Esc, then again and Enter on the focused back button)
    # and by mouse (the credits button, then the back button).
    credits_road() {
        local name="$1" expected="$2"
        [ "$code" -eq 0 ] || fail "$name: the run did not end cleanly"
        [ "$(pages "$name")" = "$expected" ] || fail "$name: pages were $(pages "$name")"
        at_least "$name: credits shown" "$(differ "${name}_190" "${name}_250" "${title[@]}")" 300
    }
    script cr_pad $'200 pad dpdown\n210 pad a\n260 pad dpdown\n270 pad b'
    play cr_pad options 310 190 250 300
    credits_road cr_pad "MainMenuFrame OptionsMenuFrame CreditsMenuFrame OptionsMenuFrame "
    at_most "cr_pad: back on options (title)" "$(differ cr_pad_190 cr_pad_300 "${title[@]}")" 30
    script cr_keys $'200 key Down\n210 key Enter\n260 key Esc\n300 key Down\n310 key Enter\n350 key Enter'
    play cr_keys options 400 190 250 340 390
    credits_road cr_keys "MainMenuFrame OptionsMenuFrame CreditsMenuFrame OptionsMenuFrame CreditsMenuFrame OptionsMenuFrame "
    at_least "cr_keys: credits again" "$(differ cr_keys_190 cr_keys_340 "${title[@]}")" 300
    at_most "cr_keys: back on options (title)" "$(differ cr_keys_190 cr_keys_390 "${title[@]}")" 30
    script cr_mouse $'200 click 343 537\n260 click 83 53'
    play cr_mouse options 310 190 250 300
    credits_road cr_mouse "MainMenuFrame OptionsMenuFrame CreditsMenuFrame OptionsMenuFrame "
    at_most "cr_mouse: back on options (title)" "$(differ cr_mouse_190 cr_mouse_300 "${title[@]}")" 30
    # The control type the first game asks for is changed here by mouse, as
    # its question promises: the Arcade box of the fourth panel.
    script arcade $'220 click 670 530'
    "$run" -width 960 -height 640 -fixeddt 0.0166 -menupage controls -inputscript "$out/arcade.script" -frames 260 \
        -dumpframe "200:$out/arcade_before.png" -dumpframe "250:$out/arcade_after.png" >"$out/arcade.out" 2>&1 ||
        fail "arcade: the run did not end cleanly"
    grep -q "control type 1 chosen" "$out/arcade.out" || fail "arcade: the Arcade box did not change the control type"
    changed arcade 650 510 690 550 50
}

case "$part" in
    pages) info_pages ;;
    maprow) map_row ;;
    settings) settings_pages ;;
    *) info_pages; map_row; settings_pages ;;
esac
echo "PASS"
