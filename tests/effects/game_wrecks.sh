#!/usr/bin/env bash
# The real game under Xvfb in the first campaign mission, whose escort shoots
# down a raider early on: frames dumped every second to build/effects/game/
# as wrecks-NNNN.png; the log must show a wreck made and, within the run,
# ended, and the frames a sky over the ground.
set -uo pipefail
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
import sys, zlib, struct, glob
def pixels(path):
    data = open(path, 'rb').read()
    w, h, depth, kind = struct.unpack('>IIBB', data[16:26])
    idat, i = b'', 8
    while i < len(data):
        n, = struct.unpack('>I', data[i:i+4]); t = data[i+4:i+8]
        if t == b'IDAT': idat += data[i+8:i+8+n]
        i += 12 + n
    raw, bpp = zlib.decompress(idat), {2: 3, 6: 4}[kind]
    rows, prev, stride = [], bytearray(w * bpp), w * bpp
    for y in range(h):
        f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0; b = prev[x]; c = prev[x - bpp] if x >= bpp else 0
            p = a + b - c; pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            pred = [0, a, b, (a + b) // 2, a if pa <= pb and pa <= pc else (b if pb <= pc else c)][f]
            line[x] = (line[x] + pred) & 255
        rows.append([tuple(line[x:x + 3]) for x in range(0, stride, bpp)]); prev = line
    return rows
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
