#!/usr/bin/env bash
# Contacts and bursts on the models themselves, in the real game under Xvfb:
# - the player's airplane sent low across a destroyer's after deck (inside the
#   model's box, under its mast) and under the target bridge's deck between
#   its piers flies on past them;
# - a missile fired level into a building bursts on it as in the air (the log
#   line, and the frames building-NNNN.png around the burst).
# Logs and pictures go to the output folder.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"
failures=0
check() { echo "FAIL: $1"; failures=$((failures + 1)); }
small=(-width 640 -height 360 -quality 0 -fixeddt 0.0166 -logplayer 2)

# The frame of the placement and the player's positions after it: the pass
# must carry the airplane 250 units on along its heading from where it was
# put, at the height it was put, in one life.
passed() {
    python3 - "$1" <<'PY'
import re, sys
lines = open(sys.argv[1]).read().splitlines()
placed = [i for i, l in enumerate(lines) if 'test placement: the player' in l]
if not placed:
    sys.exit('no placement')
pos = []
for l in lines[placed[0]:]:
    m = re.search(r'frame (\d+) player at (\S+) (\S+) (\S+)', l)
    if m:
        pos.append(tuple(float(v) for v in m.groups()))
if len(pos) < 20:
    sys.exit('too few positions after the placement')
f0, x0, y0, z0 = pos[0]
for f, x, y, z in pos[1:]:
    step = ((x - x0) ** 2 + (z - z0) ** 2) ** 0.5
    if abs(y - y0) > 3.0:
        sys.exit('frame %d: the airplane left its height: %.1f against %.1f' % (f, y, y0))
    if step > 250.0:
        print('past it at frame %d, %.1f units on, height %.1f' % (f, step, y))
        sys.exit(0)
    if step > 30.0 * (f - f0):
        sys.exit('frame %d: the airplane jumped (a respawn?)' % f)
sys.exit('the airplane did not get 250 units on')
PY
}

# A destroyer of the third campaign's blockade.
"$run" "${small[@]}" -autostart 1:c3m3 -testplace deck -frames 700 >"$out/deck.out" 2>&1 ||
    check "the deck run did not end cleanly: $(tail -3 "$out/deck.out")"
grep -q "test placement: the player's airplane crosses ship" "$out/deck.out" || check "no ship's deck to cross"
why=$(passed "$out/deck.out") || check "the pass over the deck: $why"
echo "deck: $why"

# The bridge of the first campaign's fourth mission.
"$run" "${small[@]}" -autostart 1:c1m4 -testplace bridge -frames 700 >"$out/bridge.out" 2>&1 ||
    check "the bridge run did not end cleanly: $(tail -3 "$out/bridge.out")"
grep -q "test placement: the player's airplane flies under bridge" "$out/bridge.out" || check "no bridge to fly under"
why=$(passed "$out/bridge.out") || check "the pass under the bridge: $why"
echo "bridge: $why"

# A missile at a building of the first skirmish map in free flight.
shots=()
for f in BURST_FRAMES; do shots+=(-dumpframe "$f:$out/building-$f.png"); done
printf '%s\n' "FIRE_FRAME key F" >"$out/building.script"
"$run" "${small[@]}" -autostart 10:0 -testplace building -inputscript "$out/building.script" -frames 700 \
    "${shots[@]}" >"$out/building.out" 2>&1 || check "the building run did not end cleanly: $(tail -3 "$out/building.out")"
grep -q "test placement: the player's airplane heads for building" "$out/building.out" || check "no building to fly at"
grep -q "entities: a missile burst on a building" "$out/building.out" || check "the missile did not burst on the building"
for f in BURST_FRAMES; do [ -s "$out/building-$f.png" ] || check "frame $f not written"; done
[ "$failures" -eq 0 ] && echo "contacts and bursts on the models: all checks passed"
