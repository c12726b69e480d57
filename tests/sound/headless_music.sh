#!/usr/bin/env bash
# The game on the caller's display (Xvfb under ./check) with no audio device:
# it starts its sound system on the null output, reaches the main loop with
# the menu music playing, and ends with 0 on SIGTERM.
set -u
exe="$1"
stage="$(cd "$(dirname "$exe")/.." && pwd)"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/bin"
cp "$exe" "$tree/bin/skyfront"
for part in data paks; do
  if [ -e "$stage/$part" ]; then ln -s "$stage/$part" "$tree/$part"; fi
done
export SKYFRONT_HEADLESS=1 LIBGL_ALWAYS_SOFTWARE=1
# No output driver opens a device here, whatever the machine has.
export ALSOFT_DRIVERS=nosuchdriver
"$tree/bin/skyfront" 2>"$tree/stderr" &
pid=$!
waited=0
until grep -q 'sound: music' "$tree/stderr" 2>/dev/null; do
  if ! kill -0 "$pid" 2>/dev/null || [ "$waited" -ge 600 ]; then break; fi
  sleep 0.1; waited=$((waited + 1))
done
sleep 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
kill -0 "$pid" 2>/dev/null || fail "the game ended before SIGTERM: $(cat "$tree/stderr")"
kill -TERM "$pid" 2>/dev/null
wait "$pid"
code=$?
[ "$code" -eq 0 ] || fail "the game exited with $code: $(cat "$tree/stderr")"
grep -q 'sound: output: null output' "$tree/stderr" || fail "no null output: $(cat "$tree/stderr")"
grep -q 'sound: music playing' "$tree/stderr" || fail "the menu music was not playing: $(cat "$tree/stderr")"
[ "$failures" -eq 0 ] && echo "headless music: all checks passed"
exit $(( failures > 0 ))
