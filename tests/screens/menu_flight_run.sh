#!/usr/bin/env bash
# The real game's main menu over a minute of its flight under Xvfb: the menu
# airplane's pilot flies the menu map's loop, and the camera circling it keeps
# sky in the upper part of every frame. Frames every five seconds in the
# output folder.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"

# 30 frames a second of game time: 1800 frames are a minute of flight after
# the splash screens and the menu's load.
dumps=()
shots=()
for second in $(seq 5 5 60); do
    frame=$((300 + second * 30))
    dumps+=(-dumpframe "$frame:$out/menu_${second}s.png")
    shots+=("$out/menu_${second}s.png")
done
# The clicks that pass the splash screens, in this smaller window.
printf '5 click 50 350\n10 click 50 350\n15 click 50 350\n20 click 50 350\n' >"$out/skip.script"
( cd "$out/tree" && timeout 900 "$run" -width 640 -height 360 -fixeddt 0.0333 -frames 2120 \
    -inputscript "$out/skip.script" "${dumps[@]}" >"$out/log.txt" 2>&1 ) || fail "the game did not run to its end"
grep -q "page shown: MainMenuFrame" "$out/log.txt" || fail "no main menu"

# Sky: bright, and no greener than it is blue, in a band between the title
# strip and the plane, right of the statistics panel. The ground below the
# horizon is darker and green or brown.
python3 - "${shots[@]}" <<'PY' || fail "a menu frame lost its sky"
import sys
from png_pixels import rgb_rows
bad = []
for path in sys.argv[1:]:
    rows = rgb_rows(path)
    h, w = len(rows), len(rows[0])
    samples = [(x, y) for y in range(h // 8, h // 4, 3) for x in range(int(w * 0.62), w - 10, 5)]
    sky = sum(1 for x, y in samples if sum(rows[y][x]) > 500 and rows[y][x][2] >= rows[y][x][1] - 12)
    share = sky / len(samples)
    print(path.rsplit("/", 1)[-1], "sky share", round(share, 2))
    if share < 0.6:
        bad.append(path)
sys.exit(1 if bad else 0)
PY
echo "ok: ${#shots[@]} menu frames keep their sky"
