#!/usr/bin/env bash
# The real game in a bot match under Xvfb: the autopilot key hands the player's
# airplane to the autopilot and its view, and back; a held missile trigger
# hands the view to the new missile, and letting go gives it back. Frames in
# the output folder: the AUTO button off and on, the autopilot's view, the
# missile's view.
set -uo pipefail
game="$1"
out="$2"
tree="$(dirname "$(dirname "$game")")"
mkdir -p "$out"
rm -f "$out"/frame_*.png
cat >"$out/input.txt" <<'IN'
150 keydown P
151 keyup P
180 keydown P
181 keyup P
190 keydown F
230 keyup F
IN
dumps=()
for f in 140 170 205 220 250; do dumps+=(-dumpframe "$f:$out/frame_$f.png"); done
( cd "$tree" && timeout 600 "$game" -width 640 -height 480 -fixeddt 0.05 -frames 300 -autostart 2:0 \
    -inputscript "$out/input.txt" "${dumps[@]}" >"$out/stdout" 2>"$out/stderr" ) || { echo "FAIL: the game did not run"; exit 1; }
log="$out/log.txt"
cat "$out/stdout" "$out/stderr" >"$log"
if grep -q "autostart.*ignored" "$log"; then echo "FAIL: no match started"; exit 1; fi
fail=0
expect() {
    if grep -q "$1" "$log"; then echo "ok: $1"; else echo "FAIL: no \"$1\" in the log"; fail=1; fi
}
expect "the autopilot flies the player's airplane"
expect "the player flies again"
expect "the view follows the player's missile"
expect "the view is the player's own again"
for f in 140 170 220; do [ -s "$out/frame_$f.png" ] || { echo "FAIL: frame $f not written"; fail=1; }; done
exit $fail
