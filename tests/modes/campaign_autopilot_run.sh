#!/usr/bin/env bash
# The first campaign mission in the real game with the autopilot key pressed
# as soon as the mission flies: the autopilot keeps the player's airplane in
# the air with its wingmen until the mission is won. Three sorties, each at
# its own frame step and its own moment of the key; logs under the output
# folder, with a frame of each sortie under the autopilot.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"
failures=0
check() { echo "FAIL: $1"; failures=$((failures + 1)); }

for sortie in "0.05 200 2400" "0.04 260 3000" "0.0333 300 3600"; do
    set -- $sortie
    name="sortie-$2"
    printf '%s keydown P\n%s keyup P\n' "$2" "$(($2 + 2))" >"$out/$name.txt"
    "$run" -width 640 -height 480 -quality 0 -fixeddt "$1" -autostart 1:c1m1 -frames "$3" \
        -inputscript "$out/$name.txt" -dumpframe "$(($2 + 300)):$out/$name.png" >"$out/$name.out" 2>&1 ||
        check "$name did not end cleanly: $(tail -3 "$out/$name.out")"
    grep -q "the autopilot flies the player's airplane" "$out/$name.out" || check "$name: the autopilot never flew"
    # Achievement events: 5 the mission won, 6 the mission failed.
    grep -q "achievement event 6$" "$out/$name.out" && check "$name: the player was shot down under the autopilot"
    grep -q "achievement event 5$" "$out/$name.out" || check "$name: the mission was not won"
    [ -s "$out/$name.png" ] || check "$name: no frame under the autopilot"
done
[ "$failures" -eq 0 ] && echo "campaign autopilot: all sorties won"
exit $((failures > 0))
