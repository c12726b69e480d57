#!/usr/bin/env bash
# The real game at quality 3 under Xvfb on a fixed frame step, frames in
# build/effects/top/: a bot match over the harbour flown into the evening sun
# (its glow and light shafts, the lens flare), in which a missile bursts on the
# player's airplane, flashes the view and throws oil over it;
# and the jet mission flown by a pilot whose saved profile has the f16, whose
# guns fire from frame 270 (muzzle flash and smoke, the exhaust's core behind
# the nozzles). The log must show the missile's burst inside the frames
# written, and no frame may be left black where the picture did not reach the
# window.
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
rm -f "$out"/top-*.png
run() {
  local name="$1" frames="$2" script="$3"
  shift 3
  printf "$script" >"$out/$name.txt"
  ( cd "$tree" && SKYFRONT_HEADLESS=1 timeout 600 ./bin/skyfront -width 720 -height 480 -quality 3 -fixeddt 0.05 \
      -frames "$frames" -inputscript "$out/$name.txt" "$@" >"$out/$name-stdout" 2>"$out/$name-stderr" ) ||
    { echo "FAIL: the game did not run: $(tail -5 "$out/$name-stderr")"; exit 1; }
}
# When the missile bursts depends on how the bots fly: a first run finds it,
# a second, the same on the fixed step, writes the frames round it (the sun
# ahead before it, the flash, the oil after it).
run harbour-find 1000 '' -autostart 2:0
found=$(grep -ho "a missile burst on the player's airplane at [0-9.]* s" "$out/harbour-find-stderr" | head -1 | awk '{print $(NF-1)}')
[ -n "$found" ] || { echo "FAIL: no missile burst on the player in 50 s"; exit 1; }
first=$(python3 -c "print(max(4, round($found / 0.05) - 13))")
last=$((first + 52))
dumps=()
for f in $(seq $first 4 $last); do dumps+=(-dumpframe "$f:$out/top-harbour-$f.png"); done
run harbour $((last + 6)) '' -autostart 2:0 "${dumps[@]}"
# The campaign flies the profile's plane: a saved profile that has the f16.
mkdir -p "$tree/save/1"
python3 "$(dirname "$0")/../support/settings_file.py" "$tree/save/1/tq2_settings.bin" 12
dumps=()
for f in 266 280 300 320; do dumps+=(-dumpframe "$f:$out/top-jet-$f.png"); done
run jet 322 '270 keydown Space\n' -autostart 1:c3m1 "${dumps[@]}"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
grep -q "autostart.*ignored\|refused" "$out"/*-stdout "$out"/*-stderr && fail "a game did not start"
grep -q "showcase plane 12" "$out"/jet-stdout "$out"/jet-stderr || fail "the jet mission was not flown in the f16"
burst=$(grep -ho "a missile burst on the player's airplane at [0-9.]* s" "$out/harbour-stderr" | head -1 | awk '{print $(NF-1)}')
if [ -z "$burst" ]; then
  fail "no missile burst on the player"
else
  # On the fixed step a frame is 0.05 s; a second of the oil must be among the frames written.
  frame=$(python3 -c "print(round($burst / 0.05))")
  { [ "$frame" -ge "$first" ] && [ "$frame" -le $((last - 20)) ]; } ||
    fail "the burst came at frame $frame, outside the frames written ($first to $((last - 20)))"
fi
python3 - "$out" <<'PY' || failures=$((failures + 1))
import sys, glob
from png_pixels import rgb_rows as pixels
frames = sorted(glob.glob(sys.argv[1] + '/top-*.png'))
if len(frames) < 18:
    print(f"FAIL: only {len(frames)} frames written"); sys.exit(1)
# The world drawn aside reaches the window: no frame is left black or holes.
bad = []
for path in frames:
    rows = pixels(path)
    dark = sum(1 for r in rows[::4] for p in r[::4] if sum(p) < 12)
    if dark > len(rows[::4]) * len(rows[0][::4]) // 10:
        bad.append(path)
if bad:
    print("FAIL: black in " + ", ".join(bad)); sys.exit(1)
PY
[ "$failures" -eq 0 ] && echo "top-quality frames in $out"
exit "$failures"
