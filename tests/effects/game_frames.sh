#!/usr/bin/env bash
# The real game in a bot match under Xvfb, its guns held from frame 300: frames dumped to build/effects/game/
# and searched for the aircraft effects' colours (a jet's violet-blue flame,
# a bright thin trail, tracer or contrail against the sky). Fails when firing adds none.
# Then the Visitor fires its heat ray at the harbour's oil tanks: its beam and the dust it throws up.
set -uo pipefail
export PYTHONPATH="$(cd "$(dirname "$0")/../support" && pwd)${PYTHONPATH:+:$PYTHONPATH}"
export PYTHONDONTWRITEBYTECODE=1
game="$1"
out="$2"
tree="$(dirname "$(dirname "$game")")"
mkdir -p "$out"
rm -f "$out"/frame_*.png
# The guns fire from frame 300 on, while the player still flies (a bot shoots
# it down some seconds later); frame 290 is the same flight before it. On
# a fixed frame step the match is the same every run.
printf '300 keydown Space\n300 mousedown 580 294\n' >"$out/fire.txt"
dumps=()
for f in 290 320 340 360 380; do dumps+=(-dumpframe "$f:$out/frame_$f.png"); done
( cd "$tree" && timeout 600 "$game" -width 720 -height 480 -fixeddt 0.05 -frames 390 -autostart 2:0 -inputscript "$out/fire.txt" \
    "${dumps[@]}" >"$out/stdout" 2>"$out/stderr" ) || { echo "FAIL: the game did not run"; exit 1; }
# Frames of the menu would prove nothing: the match must have started.
if grep -q "autostart.*ignored" "$out/stdout" "$out/stderr"; then echo "FAIL: no match started"; exit 1; fi
python3 - "$out" <<'PY' || { echo "FAIL: firing added no aircraft effects"; exit 1; }
import sys, glob
from png_pixels import rgb_rows as pixels
counts = {}
for path in sorted(glob.glob(sys.argv[1] + '/frame_*.png')):
    rows = pixels(path)
    found = 0
    for y in range(3, len(rows) - 3):
        for x, (r, g, b) in enumerate(rows[y]):
            flame = b > g + 50 and r > g + 20
            # A thin bright line: brighter than the sky three rows above and below.
            up, down = rows[y - 3][x], rows[y + 3][x]
            line = min(r, g, b) > 170 and sum((r, g, b)) > sum(up) + 45 and sum((r, g, b)) > sum(down) + 45
            found += flame or line
    counts[path] = found
# The HUD's own bright strokes are in every frame: only what the guns add counts.
base = counts.pop(min(counts))
gain = max(counts.values()) - base
print(f"effect pixels: before firing {base}, firing {sorted(counts.values())}")
sys.exit(0 if gain >= 20 else 1)
PY

# The special tier's heat ray in the same match: the Visitor, put level at the
# harbour's oil tanks, fires from frame 150 and its beam throws up dust where
# it strikes. The same run without firing is the picture to compare with; on
# the fixed step both are the same up to the first shot.
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out/visitor"
mkdir -p "$out/visitor/tree/save/1"
python3 "$support_dir/settings_file.py" "$out/visitor/tree/save/1/tq2_settings.bin" 16 || fail "no Visitor profile"
printf '150 keydown Space\n' >"$out/visitor/fire.txt"
: >"$out/visitor/hold.txt"
for shots in fire hold; do
    ( cd "$out/visitor/tree" && timeout 600 "$run" -width 720 -height 480 -fixeddt 0.05 -frames 188 -autostart 2:0 \
        -testplace building -inputscript "$out/visitor/$shots.txt" -dumpframe "186:$out/visitor_$shots.png" \
        >"$out/visitor/$shots.out" 2>&1 ) || fail "the Visitor's $shots run did not run"
    grep -q "showcase plane 16" "$out/visitor/$shots.out" || fail "the $shots run did not fly the Visitor"
    grep -q "heads for building" "$out/visitor/$shots.out" || fail "the $shots run never reached the tanks"
done
python3 - "$out/visitor_fire.png" "$out/visitor_hold.png" <<'PY' || fail "no beam or no dust where the heat ray strikes"
import sys
from png_pixels import rgb_rows
fire, hold = rgb_rows(sys.argv[1]), rgb_rows(sys.argv[2])
beam = dust = 0
for y in range(len(fire)):
    for x in range(len(fire[0])):
        p, q = fire[y][x], hold[y][x]
        if sum(p) - sum(q) <= 30:
            continue
        if p[1] > p[0] + 20:
            beam += 1  # the green beam
        elif 320 <= x < 400 and 200 <= y < 275:
            dust += 1  # a puff, dust-coloured or white, about the sight where the beam ends
print("heat ray: beam pixels", beam, "dust pixels", dust)
sys.exit(0 if beam >= 100 and dust >= 20 else 1)
PY
