#!/usr/bin/env bash
# The information and set-up pages of the real game under Xvfb, each opened
# with "-menupage" and driven by "-inputscript" with keys, mouse and the
# virtual controller. Every drive is checked against a frame of the same run
# before the input, or against a run without it: the picture must change
# where the input acts. The game runs from a tree of its own.
set -uo pipefail
game="$1"
out="$2"
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
# The first clicks pass the splash screens.
skip=$'5 click 100 700\n10 click 100 700\n15 click 100 700\n20 click 100 700'

# drive NAME PAGE FRAMES SCRIPT-LINES: runs PAGE with the splash clicks and
# the lines, frames "before" at 190 and "after" at FRAMES-10.
drive() {
    local name="$1" page="$2" frames="$3" lines="$4"
    printf '%s\n%s\n' "$skip" "$lines" >"$out/$name.script"
    "$run" "${common[@]}" -menupage "$page" -inputscript "$out/$name.script" -frames "$frames" \
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

# A run that only looks: the page must not move by itself, so that the
# drives' changes are theirs.
for page in achievements howtoplay; do
    drive "${page}_still" "$page" 300 ""
    n=$(python3 "$pixels" diff "$out/${page}_still_before.png" "$out/${page}_still_after.png" 0 100 1280 600)
    [ "$n" -lt 200 ] || fail "$page changes by itself ($n pixels)"
done

# Achievements: the focused pager turned by Enter and by the controller's A.
drive ach_keys achievements 300 "200 key Enter"
changed ach_keys 0 100 1280 600 2000
drive ach_pad achievements 300 "200 pad a"
changed ach_pad 0 100 1280 600 2000

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

echo "PASS"
