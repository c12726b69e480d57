#!/usr/bin/env bash
# The real game under Xvfb on the pages a new player meets, at the smallest
# and the largest screen it offers, in English and German: every page comes
# up without a missing file (the painting page's photo set among them) and
# leaves a picture under OUT; the mission cards' dots follow a drag; the
# painting page shows the plane's photo. "tutorial" instead plays the HUD
# lesson by input script to its completion page, which must stay up until
# the player picks the next lesson; on the way the camera button, the speed
# dial and the radar pulse in the steps that name them. "pages LANG..." looks
# at the pages in those languages only (English brings the photo and the
# drag), so that the languages can run side by side.
set -uo pipefail
game="$1"
out="$2"
mode="${3:-pages}"
shift $(($# < 3 ? $# : 3))
languages=("$@")
[ $# -gt 0 ] || languages=(en_US.UTF-8 de_DE.UTF-8)
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out/game"

# run NAME LANG WIDTH HEIGHT FRAMES [game options...]: one start from a fresh
# save folder in the language the environment asks for, at the lowest detail
# (the world behind the pages and under the lesson is not what is checked,
# and its detail costs most of each frame on the software renderer). A window
# larger than the usual test display gets an X server of its own, so the
# window and its pictures have the size asked for.
run() {
    local name="$1" lang="$2" w="$3" h="$4" frames="$5"
    shift 5
    local screen=()
    if [ "$w" -gt 1280 ] && command -v xvfb-run >/dev/null; then
        screen=(xvfb-run -a -s "-screen 0 ${w}x${h}x24")
    fi
    rm -rf "$out/game/tree/save"
    LANG="$lang" LC_ALL= LC_MESSAGES= "${screen[@]}" "$run" -width "$w" -height "$h" -fixeddt 0.0166 -quality 0 \
        -frames "$frames" "$@" >"$out/$name.out" 2>&1 || fail "the $name run did not end cleanly"
    if grep -E "cannot read|missing|not found" "$out/$name.out" | grep -v "pak ../paks" >"$out/$name.missing"; then
        fail "the $name run lacks files: $(head -3 "$out/$name.missing")"
    fi
}

if [ "$mode" = tutorial ]; then
    # The drag lesson, then the camera key until the lesson moves on; the
    # lesson then plays itself to its end and opens the completion page.
    { echo "1200 drag 420 300 700 450 40"; for f in $(seq 1260 30 1800); do echo "$f key C"; done
      echo "7790 key Enter"; } >"$out/tutorial.script"
    # On the way the HUD shows what each step names pulsing: the camera
    # button once the drag is done, the speed dial, and the radar in its
    # step, each drawn highlighted, in three pictures a few frames apart.
    shots=(camera:1250 dial:2000 radar:3800)
    args=()
    for shot in "${shots[@]}"; do
        f="${shot#*:}" name="$out/tutorial_${shot%:*}"
        args+=(-dumpframe "$f:${name}_a.png" -dumpframe "$((f + 6)):${name}_b.png" -dumpframe "$((f + 13)):${name}_c.png")
    done
    run tutorial en_US.UTF-8 960 640 7900 -autostart 9:0 -inputscript "$out/tutorial.script" -textboxes "${args[@]}" \
        -dumpframe "7700:$out/tutorial_complete_960x640.png"
    grep -q "page shown: TutorialWinMenuFrame" "$out/tutorial.out" || fail "the completion page never opened"
    python3 - "$out" <<'PY' || fail "a part the HUD lesson names does not pulse"
import sys
from png_pixels import rgb_rows
out = sys.argv[1]
# The frame the HUD lists for the part, drawn highlighted; between the two
# pictures the part's colour changes somewhere in its box.
kinds = {"camera": "HudButton highlighted", "dial": "HudDial highlighted", "radar": "HudRadar highlighted"}
ok = True
for name, kind in kinds.items():
    boxes = [line.split(" | ")[1] for line in open(f"{out}/tutorial_{name}_a.png.texts")
             if line.startswith("frame ") and line.rstrip("\n").endswith("| " + kind)]
    if not boxes:
        print(f"{name}: no {kind}")
        ok = False
        continue
    x, y, w, h = (round(float(v)) for v in boxes[0].split())
    a = rgb_rows(f"{out}/tutorial_{name}_a.png")
    changed = 0
    for later in "bc":
        b = rgb_rows(f"{out}/tutorial_{name}_{later}.png")
        changed = max([changed] + [abs(a[j][i][2] - b[j][i][2]) for j in range(y, y + h) for i in range(x, x + w)
                                   if a[j][i][0] > 150 and a[j][i][1] > 120])
    print(f"{name}: {kind} at {x},{y} {w}x{h}, its light parts' blue changes by {changed}")
    ok = ok and changed > 30
sys.exit(0 if ok else 1)
PY
    # Until the Enter at the end the page stays: the lesson's frame shows its
    # bands, and only the Enter starts the next lesson, once.
    band=$(python3 - "$out/tutorial_complete_960x640.png" <<'PY'
import sys
from png_pixels import rgb_rows
rows = rgb_rows(sys.argv[1])
# The top band's dark plate over the scene: nearly every pixel of a row inside it is dark.
print(sum(1 for x in range(40, 920, 4) if sum(rows[50][x]) < 200))
PY
)
    [ "$band" -gt 180 ] || fail "the completion page was not up before the player chose ($band dark pixels)"
    starts=$(grep -c "match of type 9 connected" "$out/tutorial.out")
    [ "$starts" -eq 2 ] || fail "expected the lesson and the next one started by the player, saw $starts starts"
    grep -q "tutorial 2: " "$out/tutorial.out" || fail "the next button did not start the next lesson"
    echo "PASS"
    exit 0
fi

skip_script="$out/skip.script"
printf '%s\n' "$skip" >"$skip_script"
for lang in "${languages[@]}"; do
    code="${lang%%_*}"
    for size in 960x640 1920x1080; do
        w="${size%x*}" h="${size#*x}"
        for page in main play missions:1 profile painting options language; do
            name="${page%%:*}_${code}_$size"
            run "$name" "$lang" "$w" "$h" 200 -menupage "$page" -inputscript "$skip_script" \
                -dumpframe "190:$out/$name.png"
            grep -q "page shown: $page" "$out/$name.out" || fail "$page did not show at $size in $code"
        done
    done
done
[[ " ${languages[*]} " == *" en_US.UTF-8 "* ]] || { echo "PASS"; exit 0; }

# The painting page's photo in the top right corner: its light frame and the
# photo's evening sky inside it.
python3 - "$out/painting_en_960x640.png" <<'PY' || fail "the painting page shows no photo"
import sys
from png_pixels import rgb_rows
rows = rgb_rows(sys.argv[1])
frame = sky = 0
for y in range(85, 210):
    for x in range(760, 950):
        r, g, b = rows[y][x]
        frame += abs(r - 0xBB) < 12 and abs(g - 0xDA) < 12 and abs(b - 0xF3) < 12
        sky += abs(r - 84) < 30 and abs(g - 128) < 30 and abs(b - 189) < 30
print("frame", frame, "sky", sky)
sys.exit(0 if frame > 200 and sky > 200 else 1)
PY

# A drag of one card to the left: the dots follow to a later card.
cat >"$out/drag.script" <<S
$skip
200 drag 700 380 240 380 20
S
run dots_drag en_US.UTF-8 960 640 300 -menupage missions:1 -inputscript "$out/drag.script" \
    -dumpframe "290:$out/missions_dragged_en_960x640.png"
grep -Eq "mission dots on card [1-9]" "$out/dots_drag.out" || fail "the dots stayed on the first card after the drag"
echo "PASS"
