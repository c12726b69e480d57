#!/usr/bin/env bash
# The real game under Xvfb in a bot match on a fixed frame step: the bots
# shoot each other down and, early on, the player, whose burning wreck the
# camera then watches; after the respawn the player ejects with the eject key
# and hangs under a parachute. Frames go to build/effects/game/ as
# wrecks-NNNN.png; the log must show wrecks and the parachute made and ended
# and the player's own wreck watched by the camera, the frames a sky over the
# sea.
set -uo pipefail
export PYTHONPATH="$(cd "$(dirname "$0")/../support" && pwd)${PYTHONPATH:+:$PYTHONPATH}"
export PYTHONDONTWRITEBYTECODE=1
game="$1"
out="$2"
stage="$(cd "$(dirname "$game")/.." && pwd)"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/bin" "$out"
cp "$game" "$tree/bin/skyfront"
for part in data paks; do ln -s "$stage/$part" "$tree/$part"; done
rm -f "$out"/wrecks-*.png
# The eject key once the new airplane's cool-down is over (a few tries, in
# case the match runs a little differently; the shot-down player falls for
# some seconds before the respawn wait begins).
printf '445 keydown J\n446 keyup J\n500 keydown J\n501 keyup J\n560 keydown J\n561 keyup J\n600 keydown J\n601 keyup J\n640 keydown J\n641 keyup J\n700 keydown J\n701 keyup J\n' >"$out/wrecks-eject.txt"
dumps=()
for f in $(seq 200 4 340) $(seq 360 20 1000); do dumps+=(-dumpframe "$f:$out/wrecks-$f.png"); done
( cd "$tree" && SKYFRONT_HEADLESS=1 timeout 600 ./bin/skyfront -width 720 -height 480 -fixeddt 0.05 -frames 1000 \
    -autostart 2:0 -inputscript "$out/wrecks-eject.txt" "${dumps[@]}" >"$out/wrecks-stdout" 2>"$out/wrecks-stderr" ) ||
  { echo "FAIL: the game did not run: $(tail -5 "$out/wrecks-stderr")"; exit 1; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
grep -q "autostart.*ignored" "$out/wrecks-stdout" "$out/wrecks-stderr" && fail "no match started"
made=$(grep -o 'wreck [0-9]* of' "$out/wrecks-stderr" | awk '{print $2}')
[ "$(echo "$made" | wc -w)" -ge 2 ] || fail "fewer than two wrecks: $(grep -v ALSA "$out/wrecks-stderr" | tail -5)"
for id in $made; do
  grep -q "wreck $id ended" "$out/wrecks-stderr" || fail "wreck $id never ended"
done
grep -q 'wreck [0-9]* watched by the camera' "$out/wrecks-stderr" || fail "the camera never watched the player's wreck"
chutes=$(grep -o 'parachute [0-9]* made' "$out/wrecks-stderr" | awk '{print $2}')
[ -n "$chutes" ] || fail "the eject key made no parachute"
for id in $chutes; do
  grep -q "parachute $id ended" "$out/wrecks-stderr" || fail "parachute $id never ended"
done
python3 - "$out" <<'PY' || failures=$((failures + 1))
import sys, glob
from png_pixels import rgb_rows as pixels
frames = sorted(glob.glob(sys.argv[1] + '/wrecks-*.png'), key=lambda p: int(p.rsplit('-', 1)[1][:-4]))
if len(frames) < 60:
    print(f"FAIL: only {len(frames)} frames written"); sys.exit(1)
# The match under way: a sky band under the HUD, darker sea or land at the bottom.
rows = pixels(frames[0])
h = len(rows)
sky = sum(1 for r, g, b in rows[h // 4] if b > 90 and r > 90) / len(rows[0])
ground = sum(1 for row in rows[-h // 8:] for r, g, b in row if r + g + b < 330) / (len(rows[0]) * (h // 8))
print(f"{len(frames)} frames; sky {sky:.2f}, ground {ground:.2f}")
sys.exit(0 if sky > 0.6 and ground > 0.6 else 1)
PY
[ "$failures" -eq 0 ] && echo "game wrecks: all checks passed"
exit $(( failures > 0 ))
