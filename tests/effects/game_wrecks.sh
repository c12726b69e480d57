#!/usr/bin/env bash
# The real game under Xvfb in the first campaign mission, whose escort shoots
# down a raider early on: frames dumped every second to build/effects/game/
# as wrecks-NNNN.png; the log must show a wreck made and, within the run,
# ended, and the frames a sky over the ground.
set -uo pipefail
export PYTHONPATH="$(cd "$(dirname "$0")/../support" && pwd)${PYTHONPATH:+:$PYTHONPATH}"
game="$1"
out="$2"
stage="$(cd "$(dirname "$game")/.." && pwd)"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/bin" "$out"
cp "$game" "$tree/bin/skyfront"
for part in data paks; do ln -s "$stage/$part" "$tree/$part"; done
rm -f "$out"/wrecks-*.png
dumps=()
for f in $(seq 300 20 1480); do dumps+=(-dumpframe "$f:$out/wrecks-$f.png"); done
( cd "$tree" && SKYFRONT_HEADLESS=1 timeout 600 ./bin/skyfront -width 640 -height 480 -fixeddt 0.05 -frames 1500 \
    -autostart 1:c1m1 "${dumps[@]}" >"$out/wrecks-stdout" 2>"$out/wrecks-stderr" ) ||
  { echo "FAIL: the game did not run: $(tail -5 "$out/wrecks-stderr")"; exit 1; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
made=$(grep -o 'wreck [0-9]* of' "$out/wrecks-stderr" | awk '{print $2}')
[ -n "$made" ] || fail "no wreck was made: $(grep -v ALSA "$out/wrecks-stderr" | tail -5)"
for id in $made; do
  grep -q "wreck $id ended" "$out/wrecks-stderr" || fail "wreck $id never ended"
done
python3 - "$out" <<'PY' || failures=$((failures + 1))
import sys, glob
from png_pixels import rgb_rows as pixels
frames = sorted(glob.glob(sys.argv[1] + '/wrecks-*.png'), key=lambda p: int(p.rsplit('-', 1)[1][:-4]))
if len(frames) < 50:
    print(f"FAIL: only {len(frames)} frames written"); sys.exit(1)
# The first frame of the mission: a blue sky band under the HUD, darker ground at the bottom.
rows = pixels(frames[0])
h = len(rows)
sky = sum(1 for r, g, b in rows[h // 4] if b > 120 and b >= r + 10) / len(rows[0])
ground = sum(1 for row in rows[-h // 8:] for r, g, b in row if not (b > 120 and b >= r + 10)) / (len(rows[0]) * (h // 8))
print(f"{len(frames)} frames; sky {sky:.2f}, ground {ground:.2f}")
sys.exit(0 if sky > 0.6 and ground > 0.6 else 1)
PY
[ "$failures" -eq 0 ] && echo "game wrecks: all checks passed"
exit $(( failures > 0 ))
