#!/usr/bin/env bash
# The map's own entities in the real game: a free-for-all, free flight and
# destroy the base on the first skirmish map each log the runways, roads and
# ground units they built (two flak guns, two ships, three tanks and four
# trucks by each airfield). In destroy the
# base the player's autopilot then flies at the enemy's base: the frames under
# the output folder (dtb-NNNN.png) show its airfield, the base, the flak and
# their markers.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"
failures=0
check() { echo "FAIL: $1"; failures=$((failures + 1)); }

# The autopilot key once the match runs. The lowest detail: the log is what
# is checked, and the frames only need to show where the autopilot flew.
printf '300 keydown P\n302 keyup P\n' >"$out/autopilot.txt"
for road in "2:0 ffa 240" "10:0 free 240" "5:0 dtb 2400"; do
    set -- $road
    extra=()
    if [ "$2" = dtb ]; then
        extra=(-inputscript "$out/autopilot.txt")
        for f in 1200 2000 2400; do extra+=(-dumpframe "$f:$out/dtb-$f.png"); done
    fi
    "$run" -width 960 -height 540 -quality 0 -fixeddt 0.05 -autostart "$1" -frames "$3" "${extra[@]}" >"$out/$2.out" 2>&1 ||
        check "the $1 run did not end cleanly: $(tail -3 "$out/$2.out")"
    line=$(grep -o 'map entities: .*' "$out/$2.out" | tail -1)
    if [[ "$line" =~ ([0-9]+)\ runways,\ [0-9]+\ tunnels,\ ([0-9]+)\ roads,\ ([0-9]+)\ ground ]]; then
        runways=${BASH_REMATCH[1]} roads=${BASH_REMATCH[2]} units=${BASH_REMATCH[3]}
        [ "$runways" -gt 0 ] || check "-autostart $1: no runway ($line)"
        [ "$roads" -gt 0 ] || check "-autostart $1: no road ($line)"
        [ "$units" -eq $((11 * runways)) ] ||
            check "-autostart $1: not two flak guns, two ships, three tanks and four trucks an airfield ($line)"
    else
        check "-autostart $1 built no map entities: $(tail -3 "$out/$2.out")"
    fi
done
for f in 1200 2000 2400; do
    [ -s "$out/dtb-$f.png" ] || check "frame $f of destroy the base not written"
done
[ "$failures" -eq 0 ] && echo "map entities: all checks passed"
exit $(( failures > 0 ))
