#!/usr/bin/env bash
# "Air Show" in the real game: a free-for-all in which -testplace foe holds
# bots ahead of the player's guns one after another. Flown by hand with the
# guns going and the stick pulled and pushed hard in turn, the kills are stunt
# kills and earn "show"; handed to the autopilot with the key, the same kills
# count no stunt and earn nothing. A dogfight fought so is won once the last
# enemy has fallen out of play, not at the hit; in last man standing too the
# shot-down fall before they leave play. Logs and a frame of the fall go to
# the output folder.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
small=(-width 854 -height 480 -quality 0 -fixeddt 0.0166)
failures=0
check() { echo "FAIL: $1"; failures=$((failures + 1)); }
kills() { grep -c "hud: event line: You shot down " "$1"; }
stunts() { grep -c "progress: achievement event 70$" "$1"; }

# By hand: a hard pull (S) and a hard push (W) every other tenth of a second,
# which keeps the nose on the bot ahead.
game_tree "$game" "$out/hand"
{
    echo "300 keydown Space"
    for ((f = 300; f < 2600; f += 10)); do
        printf '%s keydown S\n%s keyup S\n%s keydown W\n%s keyup W\n' "$f" "$((f + 5))" "$((f + 5))" "$((f + 10))"
    done
    echo "2600 keyup Space"
} >"$out/hand.script"
"$run" "${small[@]}" -autostart 2:0 -testplace foe -inputscript "$out/hand.script" -frames 2700 >"$out/hand.out" 2>&1 ||
    check "the hand run did not end cleanly: $(tail -3 "$out/hand.out")"
[ "$(kills "$out/hand.out")" -ge 1 ] || check "the player's hard pulls shot nothing down"
[ "$(stunts "$out/hand.out")" -ge 1 ] || check "no kill in the middle of the player's hard pulls was a stunt"
grep -q 'progress: achievement "show" earned' "$out/hand.out" || check "the player's stunt kill did not earn Air Show"

# The autopilot key once the first bot is held ahead: it fights on its own.
game_tree "$game" "$out/auto"
printf '%s\n' "400 keydown P" "402 keyup P" >"$out/auto.script"
"$run" "${small[@]}" -autostart 2:0 -testplace foe -inputscript "$out/auto.script" -frames 3600 >"$out/auto.out" 2>&1 ||
    check "the autopilot run did not end cleanly: $(tail -3 "$out/auto.out")"
grep -q "the autopilot flies the player's airplane" "$out/auto.out" || check "the autopilot never flew"
[ "$(kills "$out/auto.out")" -ge 1 ] || check "the autopilot shot nothing down"
[ "$(stunts "$out/auto.out")" -eq 0 ] || check "a kill of the autopilot counted as the player's stunt"
grep -q 'progress: achievement "show" earned' "$out/auto.out" && check "the autopilot earned Air Show on its own"
# The dogfight's two enemies held ahead of the guns in turn.
game_tree "$game" "$out/dogfight"
printf '%s\n' "300 keydown Space" "1300 keyup Space" >"$out/dogfight.script"
"$run" "${small[@]}" -autostart 7:0 -testplace foe -inputscript "$out/dogfight.script" -frames 1300 \
    -dumpframe "720:$out/dogfight_fall.png" >"$out/dogfight.out" 2>&1 || check "the dogfight run did not end cleanly"
fall=$(awk '/dogfight: airplane .* shot down at/ {hit = $(NF - 2)} /dogfight won:/ {print $(NF - 1) - hit}' "$out/dogfight.out")
awk -v f="${fall:-0}" 'BEGIN { exit !(f >= 1.0) }' || check "the dogfight was won ${fall:-never} s after the last hit"
echo "dogfight: won ${fall} s after the last hit"
# Last man standing: the player waits out the countdown on the circle round
# the map's spawn point; an airplane shot down in the round is put out at the
# hit, falls, and only then breaks up and leaves play.
game_tree "$game" "$out/lms"
printf '%s\n' "400 keydown Space" "2900 keyup Space" >"$out/lms.script"
"$run" "${small[@]}" -autostart 13:0 -testplace foe -logplayer 10 -inputscript "$out/lms.script" -frames 3000 \
    >"$out/lms.out" 2>&1 || check "the last-man-standing run did not end cleanly"
python3 - "$out/lms.out" <<'PY' || check "last man standing: no start on the circle, or a shot-down airplane left play at the hit"
import re, sys
lines = open(sys.argv[1]).read().splitlines()
start = [float(m.group(1)) for l in lines if (m := re.search(r"waits for the round at .*, (\d+) from the map's spawn point", l))]
assert start and abs(start[0] - 5000) <= 1, "the countdown starts %s from the spawn point" % start
falls = 0
for i, l in enumerate(lines):
    m = re.search(r"last man standing: airplane (\d+) put out at ([\d.]+) s .*, falling", l)
    if not m:
        continue
    gone = [(k, float(n.group(1))) for k, x in enumerate(lines) if (n := re.search(r"airplane %s out of play at ([\d.]+) s" % m.group(1), x))]
    if not gone:
        continue  # still falling when the run ended
    k, t = gone[0]
    assert t - float(m.group(2)) >= 3.5, "airplane %s left play %.2f s after the hit" % (m.group(1), t - float(m.group(2)))
    assert "effects: wreck" in lines[k - 1], "airplane %s left play without breaking up" % m.group(1)
    assert "effects: wreck" not in lines[i + 1], "airplane %s broke up at the hit" % m.group(1)
    falls += 1
print("last man standing: start %.0f from the spawn point, %d falls before leaving play" % (start[0], falls))
assert falls >= 1
PY
echo "by hand: $(kills "$out/hand.out") kills, $(stunts "$out/hand.out") stunts; autopilot: $(kills "$out/auto.out") kills, $(stunts "$out/auto.out") stunts"
[ "$failures" -eq 0 ] && echo "air show: the player's own pull earns it, the autopilot does not"
exit $((failures > 0))
