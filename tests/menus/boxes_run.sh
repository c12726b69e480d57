#!/usr/bin/env bash
# The real game under Xvfb at 960x640 and 1920x1080, driven by the mouse:
# - the main menu's Quit button opens the quit question, whose box hides the
#   menu world moving behind it, and "No" takes it away again;
# - the first-start question before Multiplayer keeps its close button (a
#   cross, lit by the focus) inside its box, and a click on it closes it;
# - in a free-for-all the HUD's pause button opens the score table, and
#   clicks on a bot's colour swatch (the last box of its row) colour it
#   orange, then purple, and back in flight that pilot's HUD marker shows
#   the colour;
# - at 960x640 a click on the locked second mission card opens nothing, while
#   one on the first card opens its briefing;
# - at 960x640 and 1280x720 a click on the main menu's left touch strip, just
#   above the bar and clear of the tier arrows and dots, browses the planes;
# - at 960x640 the map row, wider than the screen, shows an arrow at the end
#   it goes on past, and clicks on the arrows page it to its other end.
# Pictures go to the output folder.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"

# One size: WIDTH HEIGHT and where the clicks land (the buttons keep their
# size at both: quit, no, multiplayer, the question's close, the HUD's pause, the table's resume).
sizes=(
    "960 640 890,575 427,368 398,575 170,264 925,35 797,600"
    "1920 1080 1369,1009 907,587 877,1009 650,484 1883,36 1565,1040"
)

boxes() {
    python3 - "$@" <<'PY'
import sys
from png_pixels import rgb_rows as pixels
quit_a, quit_b, after_no, alert, after_back = (pixels(p) for p in sys.argv[1:6])
h, w = len(quit_a), len(quit_a[0])

def warm(p):
    return p[0] > 190 and 130 < p[1] < 190 and p[2] < 90

def warm_border(img):
    # The question boxes stand centred on the screen with a warm outline:
    # from the centre out to it along the middle row and column.
    cx, cy = w // 2, h // 2
    def edge(dx, dy):
        x, y = cx, cy
        while 0 <= x < w and 0 <= y < h:
            if warm(img[y][x]):
                return x if dx else y
            x, y = x + dx, y + dy
        return None
    left, right, top, bottom = edge(-1, 0), edge(1, 0), edge(0, -1), edge(0, 1)
    if None in (left, right, top, bottom) or abs((cx - left) - (right - cx)) > 12:
        return None
    return left, top, right, bottom

ok = True
box = warm_border(quit_a)
if not box:
    print("no quit box"); sys.exit(1)
x0, y0, x1, y1 = box
def changed(x0, y0, x1, y1, inside):
    # Inside: the box's two side strips, clear of the pulsing focus frame of
    # the buttons in its middle.
    n = c = 0
    for y in range(0, h, 2):
        for x in range(0, w, 2):
            within = x0 <= x <= x1 and y0 <= y <= y1
            if within != inside or (inside and x0 + 90 < x < x1 - 90):
                continue
            n += 1
            c += sum(abs(u - v) for u, v in zip(quit_a[y][x], quit_b[y][x])) > 6
    return c / max(n, 1)
inner, outer = changed(x0 + 8, y0 + 8, x1 - 8, y1 - 8, True), changed(x0 - 4, y0 - 4, x1 + 4, y1 + 4, False)
print(f"quit box {box}: changed inside {inner:.4f}, outside {outer:.4f}")
ok &= outer > 0.01 and inner < 0.001
gone = warm_border(after_no)
print(f"after no: {gone}")
ok &= gone is None

box = warm_border(alert)
if not box:
    print("no question box"); sys.exit(1)
ax0, ay0, ax1, ay1 = box
# The focused close button's pink cross within the box's left part.
back = [(x, y) for y in range(max(ay0 - 40, 0), ay1 - 60) for x in range(max(ax0 - 40, 0), (ax0 + ax1) // 2)
        if alert[y][x][0] > 200 and 100 < alert[y][x][1] < 175 and 100 < alert[y][x][2] < 175
        and alert[y][x][0] - alert[y][x][1] > 60]
if len(back) < 20:
    print("no close cross"); sys.exit(1)
bx0, by0 = min(x for x, _ in back), min(y for _, y in back)
bx1, by1 = max(x for x, _ in back), max(y for _, y in back)
print(f"question box {box}, close cross {(bx0, by0, bx1, by1)}")
ok &= ax0 + 4 < bx0 and bx1 < (ax0 + ax1) // 2 and ay0 + 4 < by0 and by1 < ay1 - 4
gone = warm_border(after_back)
print(f"after back: {gone}")
ok &= gone is None
sys.exit(0 if ok else 1)
PY
}

# The grey swatch of the second row (the first bot): its centre.
swatch() {
    python3 - "$1" <<'PY'
import sys
from png_pixels import rgb_rows as pixels
img = pixels(sys.argv[1])
pts = [(x, y) for y, row in enumerate(img) for x, p in enumerate(row) if p == (128, 128, 128)]
rows = []
for x, y in sorted(pts, key=lambda p: p[1]):
    if not rows or y > rows[-1][-1][1] + 1:
        rows.append([])
    rows[-1].append((x, y))
if len(rows) < 2:
    sys.exit(1)
r = rows[1]
print((min(x for x, _ in r) + max(x for x, _ in r)) // 2, (min(y for _, y in r) + max(y for _, y in r)) // 2)
PY
}

coloured() {
    python3 - "$@" <<'PY'
import sys
from png_pixels import rgb_rows as pixels
img, cx, cy = pixels(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
want = tuple(int(v) for v in sys.argv[4].split(","))
n = sum(1 for y in range(cy - 6, cy + 7) for x in range(cx - 10, cx + 11)
        if sum(abs(a - b) for a, b in zip(img[y][x], want)) < 30)
print(f"swatch at {cx},{cy} in {want}: {n} pixels")
sys.exit(0 if n > 60 else 1)
PY
}

# The purple of the swatch in the HUD's marker labels: none before, some after.
marker() {
    python3 - "$@" <<'PY'
import sys
from png_pixels import rgb_rows as pixels
def purple(path):
    return sum(1 for row in pixels(path) for p in row if sum(abs(a - b) for a, b in zip(p, (148, 0, 211))) < 40)
before, after = purple(sys.argv[1]), purple(sys.argv[2])
print(f"purple marker pixels: {before} before, {after} after")
sys.exit(0 if before < 10 and after > 100 else 1)
PY
}

for size in "${sizes[@]}"; do
    set -- $size
    w=$1 h=$2 quit=${3/,/ } no=${4/,/ } multi=${5/,/ } back=${6/,/ } pause=${7/,/ } resume=${8/,/ }
    tag="${w}x${h}"
    # A window larger than the usual test display gets an X server of its own.
    screen=()
    if [ "$w" -gt 1280 ] && command -v xvfb-run >/dev/null; then
        screen=(xvfb-run -a -s "-screen 0 ${w}x${h}x24")
    fi
    rm -rf "$out/tree/save"
    cat >"$out/menu.script" <<S
250 click $quit
360 click $no
420 click $multi
500 click $back
S
    "${screen[@]}" "$run" -width "$w" -height "$h" -fixeddt 0.0166 -inputscript "$out/menu.script" -frames 580 \
        -dumpframe "300:$out/quit_a_$tag.png" -dumpframe "340:$out/quit_b_$tag.png" \
        -dumpframe "400:$out/after_no_$tag.png" -dumpframe "480:$out/question_$tag.png" \
        -dumpframe "560:$out/after_back_$tag.png" >"$out/menu_$tag.out" 2>&1 || fail "$tag: the menu run did not end cleanly"
    grep -q "page shown: QuitGameOverlay" "$out/menu_$tag.out" || fail "$tag: Quit did not ask"
    grep -q "page shown: MultiPlayer" "$out/menu_$tag.out" && fail "$tag: closing the question went on to multiplayer"
    boxes "$out/quit_a_$tag.png" "$out/quit_b_$tag.png" "$out/after_no_$tag.png" "$out/question_$tag.png" \
        "$out/after_back_$tag.png" || fail "$tag: the quit box or the question's close button is not right"

    # The score table by the HUD's pause button, then two clicks on a swatch.
    rm -rf "$out/tree/save"
    echo "300 click $pause" >"$out/pause.script"
    "${screen[@]}" "$run" -width "$w" -height "$h" -fixeddt 0.0166 -autostart 2:0 -inputscript "$out/pause.script" -frames 410 \
        -dumpframe "400:$out/table_$tag.png" >"$out/table_$tag.out" 2>&1 || fail "$tag: the match did not run"
    grep -q "page shown: SkirmishEndMenuFrame" "$out/table_$tag.out" || fail "$tag: the pause button did not open the table"
    at=$(swatch "$out/table_$tag.png") || fail "$tag: no grey swatch on the table"
    set -- $at
    rm -rf "$out/tree/save"
    printf '300 click %s\n420 click %s %s\n480 click %s %s\n540 click %s\n' "$pause" "$1" "$2" "$1" "$2" "$resume" \
        >"$out/pause.script"
    "${screen[@]}" "$run" -width "$w" -height "$h" -fixeddt 0.0166 -autostart 2:0 -inputscript "$out/pause.script" \
        -frames 600 -dumpframe "290:$out/flight_before_$tag.png" -dumpframe "460:$out/swatch_1_$tag.png" \
        -dumpframe "520:$out/swatch_2_$tag.png" -dumpframe "580:$out/flight_after_$tag.png" >"$out/swatch_$tag.out" 2>&1 \
        || fail "$tag: the match did not run"
    coloured "$out/swatch_1_$tag.png" "$1" "$2" 255,165,0 || fail "$tag: one click did not make the swatch orange"
    coloured "$out/swatch_2_$tag.png" "$1" "$2" 148,0,211 || fail "$tag: a second click did not make it purple"
    marker "$out/flight_before_$tag.png" "$out/flight_after_$tag.png" || fail "$tag: the pilot's HUD marker did not take the colour"
done
# The locked card, then the open one, each from a fresh start on the mission page.
for card in "locked 790,400" "open 380,400"; do
    set -- $card
    rm -rf "$out/tree/save"
    echo "250 click ${2/,/ }" >"$out/card.script"
    "$run" -width 960 -height 640 -fixeddt 0.0166 -menupage missions:1 -inputscript "$out/card.script" -frames 330 \
        -dumpframe "320:$out/card_$1.png" >"$out/card_$1.out" 2>&1 || fail "the $1 card run did not end cleanly"
    grep -q "page shown: missions:1" "$out/card_$1.out" || fail "no mission page"
done
grep -q "page shown: BriefingMenuFrame" "$out/card_locked.out" && fail "the locked card opened a briefing"
grep -q "page shown: BriefingMenuFrame" "$out/card_open.out" || fail "the open card did not open its briefing"
# The main menu's left strip, tapped at the screen's left edge, clear of the
# tier button over it: a plane move, and another plane shown.
for tap in "960 640 12,474" "1280 720 12,550"; do
    set -- $tap
    rm -rf "$out/tree/save"
    echo "250 click ${3/,/ }" >"$out/strip.script"
    "$run" -width "$1" -height "$2" -fixeddt 0.0166 -inputscript "$out/strip.script" -frames 330 \
        -dumpframe "320:$out/strip_$1x$2.png" >"$out/strip_$1x$2.out" 2>&1 || fail "$1x$2: the strip run did not end cleanly"
    log="$out/strip_$1x$2.out"
    in_order "menus: showcase plane " "showcase move 2" "menus: showcase plane "
    [ "$(grep -c 'menus: showcase plane ' "$log")" -ge 2 ] || fail "$1x$2: the strip's tap showed no other plane"
done
# The map row: its right arrow at first, both after a page, the left alone at
# the end; the last map's name whole on the screen there, no map chosen.
rm -rf "$out/tree/save"
printf '%s\n' "260 click 925 256" "300 click 925 256" "340 click 925 256" "380 click 925 256" "420 click 925 256" \
    >"$out/row.script"
"$run" -width 960 -height 640 -fixeddt 0.0166 -menupage setup -inputscript "$out/row.script" -frames 520 -textboxes \
    -dumpframe "250:$out/row_start.png" -dumpframe "290:$out/row_paged.png" -dumpframe "510:$out/row_end.png" \
    >"$out/row.out" 2>&1 || fail "the map row run did not end cleanly"
grep -q "set-up start" "$out/row.out" && fail "a click on the map row's arrow chose a map"
python3 - "$out" <<'PY' || fail "the map row's arrows do not show where it goes on"
import sys
def arrows(name):
    xs = []
    for line in open(f"{sys.argv[1]}/{name}.png.texts"):
        if line.startswith("frame ") and line.rstrip().endswith("| StripArrow"):
            xs.append("left" if float(line.split(" | ")[1].split()[0]) < 480 else "right")
    return sorted(xs)
def names(name):
    return [line.split(" | ") for line in open(f"{sys.argv[1]}/{name}.png.texts") if line.startswith("text ")]
shown = {n: arrows(n) for n in ("row_start", "row_paged", "row_end")}
print("arrows", shown)
last = [box for _, box, text in names("row_end") if text.strip() == "Storm Front"]
print("last map's name at", last)
whole = last and all(0 <= float(b.split()[0]) and float(b.split()[0]) + float(b.split()[2]) <= 960 for b in last)
sys.exit(0 if shown == {"row_start": ["right"], "row_paged": ["left", "right"], "row_end": ["left"]} and whole else 1)
PY
python3 "$support_dir/text_fit.py" "$out/row_start.png.texts" "$out/row_end.png.texts" ||
    fail "a map's name meets the row's arrows"
echo "question boxes, the score table's swatches, a locked card, the main menu's strip and the map row in the game: ok"
