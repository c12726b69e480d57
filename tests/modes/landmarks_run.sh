#!/usr/bin/env bash
# Landmarks in the real game under Xvfb: a free flight on two maps, each
# with -testplace landmark putting the player's airplane over the map's
# landmark of the lowest number (and once of the highest). The game's own
# check shows its notice, counts its event and earns the achievement named
# after that landmark and no other; the saved achievements hold that one
# alone. Then a tunnel flown through and a carrier and a submarine sunk earn
# theirs. Logs and pictures go to the output folder.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
small=(-width 640 -height 360 -quality 0 -fixeddt 0.0166)

# map slot, its first (or with lastlandmark its last) landmark's number, the
# achievement and its name's text
fly() {
    local slot="$1" number="$2" steam="$3" notice="$4" place="${5:-landmark}"
    game_tree "$game" "$out/map$slot"
    local log="$out/map$slot.out"
    "$run" "${small[@]}" -autostart "10:$slot" -testplace "$place" -frames 560 \
        -dumpframe "520:$out/map${slot}_landmark.png" >"$log" 2>&1 ||
        fail "the flight on map $slot did not end cleanly: $(tail -5 "$log")"
    grep -q "test placement: the player's airplane over landmark $number\$" "$log" ||
        fail "map $slot: the airplane was not put over landmark $number: $(grep "test placement" "$log")"
    grep -q "hud: notice: $notice\$" "$log" || fail "map $slot: the notice \"$notice\" did not show"
    grep -q "progress: achievement event $((73 + number))\$" "$log" || fail "map $slot: landmark event not counted"
    local earned
    earned=$(grep -o 'progress: achievement "[a-z0-9]*" earned' "$log")
    [ "$earned" = "progress: achievement \"$steam\" earned" ] ||
        fail "map $slot: not \"$steam\" alone was earned: $earned"
    local stats
    stats="$(ls -d "$out/map$slot"/tree/save/*/ | head -1)/steam_userstats.txt"
    [ "$(grep '^achievement ' "$stats")" = "achievement $steam" ] ||
        fail "map $slot: the saved achievements are not \"$steam\" alone: $(cat "$stats")"
}

fly 0 0 pacificwreck "Harbour Bay: the sunken wreck"
fly 4 10 channelradaruk "Cliff Coast: the English radar masts"
echo "a landmark on each of two maps earns its own achievement: ok"
# The table's last landmark counts like its first.
fly 4 38 channelrunway "Cliff Coast: the coastal airfield" lastlandmark
echo "the last landmark of the table earns its achievement: ok"

# Through a tunnel of Long Valley: the airplane flies the bore at its height
# without a crash, counts the fly-through and earns "daredevil", saved.
game_tree "$game" "$out/tunnel"
log="$out/tunnel.out"
"$run" "${small[@]}" -logplayer 2 -autostart 10:3 -testplace tunnel -frames 560 \
    -dumpframe "432:$out/tunnel_outside.png" -dumpframe "455:$out/tunnel_inside.png" \
    >"$log" 2>&1 || fail "the tunnel flight did not end cleanly: $(tail -5 "$log")"
grep -q "test placement: the player's airplane passes through the tunnel" "$log" ||
    fail "no tunnel to fly through: $(grep "test placement\|map entities" "$log")"
! grep -q "the player's airplane crashes" "$log" || fail "the airplane crashed in the tunnel: $(grep crashes "$log")"
grep -q "progress: achievement event 47\$" "$log" || fail "the fly-through was not counted"
grep -q 'progress: achievement "daredevil" earned' "$log" || fail "daredevil was not earned"
stats="$(ls -d "$out/tunnel"/tree/save/*/ | head -1)/steam_userstats.txt"
grep -q "^achievement daredevil\$" "$stats" || fail "the saved achievements miss daredevil: $(cat "$stats")"
echo "a tunnel flown through earns daredevil: ok"

# Sinking on Harbour Bay in the Il-2 with the counts one short of the targets
# in the profile and the statistics: the rockets and bombs fired at the enemy
# carrier, or at the enemy submarine, sink it; that kill earns "sinkme" or
# "nemonemesis", saved with the statistic it mirrors.
tallies=$(python3 -c 'print(",".join("4" if i == 18 else "9" if i == 19 else "0" for i in range(20)))')
sink() {
    local kind="$1" event="$2" steam="$3" stat="$4" count="$5"
    game_tree "$game" "$out/$kind"
    local log="$out/$kind.out" saves="$out/$kind/tree/save/1"
    mkdir -p "$saves"
    python3 "$(dirname "$0")/../support/settings_file.py" "$saves/tq2_settings.bin" 13 "p21=w:$tallies"
    printf 'stat carrier_kills 4\nstat submarine_kills 9\n' >"$saves/steam_userstats.txt"
    # The placement comes at frame 423; then a pair of rockets and a bomb every 15 frames.
    : >"$out/$kind.script"
    for f in $(seq 430 15 1000); do printf '%s key F\n%s key G\n' "$f" "$((f + 7))" >>"$out/$kind.script"; done
    "$run" "${small[@]}" -autostart 10:0 -testplace "$kind" -inputscript "$out/$kind.script" -frames 1000 \
        -dumpframe "436:$out/${kind}_aimed.png" >"$log" 2>&1 ||
        fail "the $kind run did not end cleanly: $(tail -5 "$log")"
    grep -q "test placement: the player's airplane aims at $kind" "$log" || fail "no enemy $kind to aim at"
    grep -q "test placement: the ship the player aimed at is down" "$log" || fail "the $kind did not sink"
    grep -q "progress: achievement event $event\$" "$log" || fail "the $kind's sinking was not counted"
    grep -q "progress: achievement \"$steam\" earned" "$log" || fail "$steam was not earned"
    grep -q "^achievement $steam\$" "$saves/steam_userstats.txt" ||
        fail "the saved achievements miss $steam: $(cat "$saves/steam_userstats.txt")"
    grep -q "^stat $stat $count\$" "$saves/steam_userstats.txt" ||
        fail "the saved statistics miss $stat $count: $(cat "$saves/steam_userstats.txt")"
    echo "the enemy $kind sunk earns $steam: ok"
}
sink carrier 18 sinkme carrier_kills 5
sink submarine 19 nemonemesis submarine_kills 10

# The deck of the player's own carrier on Harbour Bay: come in slow over its
# after end and the wires catch the airplane, which stands there at rest, the
# landing counted, and no crash.
game_tree "$game" "$out/landing"
log="$out/landing.out"
"$run" "${small[@]}" -logplayer 20 -autostart 10:0 -testplace landing -frames 700 \
    -dumpframe "680:$out/landing_on_deck.png" >"$log" 2>&1 ||
    fail "the landing run did not end cleanly: $(tail -5 "$log")"
deck=$(sed -n "s/.*test placement: the player's airplane comes in over the deck of carrier .* at \(\S*\) \(\S*\) \(\S*\)$/\1 \2 \3/p" "$log")
[ -n "$deck" ] || fail "no carrier of the player's side to land on"
sed -n "/comes in over the deck/,\$p" "$log" | grep -q "progress: achievement event 10\$" || fail "the landing was not counted"
! grep -q "the player's airplane crashes" "$log" || fail "the airplane crashed on the carrier: $(grep crashes "$log" | head -1)"
python3 - "$log" $deck <<'PY' || fail "the airplane does not stand on the deck"
import re, sys
x, y, z = (float(v) for v in sys.argv[2:5])
last = [l for l in open(sys.argv[1]) if re.search(r'frame 700 player at', l)]
m = re.search(r'player at (\S+) (\S+) (\S+) moving (\S+) (\S+) (\S+)', last[0]) if last else None
if not m:
    sys.exit('no position at frame 700')
px, py, pz, vx, vy, vz = (float(v) for v in m.groups())
# At rest on the deck: where it came in along the ship, a little lower.
if abs(vx) + abs(vy) + abs(vz) > 0.1 or not (y - 4.0 < py < y) or abs(px - x) + abs(pz - z) > 40.0:
    sys.exit('frame 700: at %.1f %.1f %.1f moving %.1f %.1f %.1f' % (px, py, pz, vx, vy, vz))
PY
echo "the own carrier's deck takes the airplane: ok"
