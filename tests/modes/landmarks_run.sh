#!/usr/bin/env bash
# Landmarks in the real game under Xvfb: a free flight on two maps, each
# with -testplace landmark putting the player's airplane over the map's
# landmark of the lowest number (or the highest). The game's own check shows its notice,
# counts its event and earns the achievement named after that landmark and
# no other; the saved achievements hold that one alone. Logs go to the
# output folder.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
small=(-width 854 -height 480 -quality 0 -fixeddt 0.0166)

# map slot, its first (or last) landmark's number, the achievement, its name's text
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
fly 4 38 channelrunway "Cliff Coast: the coastal airfield" lastlandmark
echo "the first landmark of two maps and the table's last earn their achievements: ok"

# LOG SAVES EVENT NAME: the event counted, the achievement earned and saved.
earned() {
    grep -q "progress: achievement event $3\$" "$1" || fail "$1: event $3 not counted"
    grep -q "progress: achievement \"$4\" earned" "$1" || fail "$1: $4 not earned"
    grep -q "^achievement $4\$" "$2/steam_userstats.txt" || fail "$1: $4 not saved: $(cat "$2/steam_userstats.txt")"
}
account=$(($(id -u) + 1))

# Through a tunnel of Long Valley at the bore's height, no crash: "daredevil".
game_tree "$game" "$out/tunnel"
"$run" "${small[@]}" -autostart 10:3 -testplace tunnel -frames 560 -dumpframe "432:$out/tunnel_outside.png" \
    -dumpframe "455:$out/tunnel_inside.png" >"$out/tunnel.out" 2>&1 || fail "the tunnel run did not end cleanly"
grep -q "passes through the tunnel" "$out/tunnel.out" && ! grep -q "airplane crashes" "$out/tunnel.out" || fail "no pass"
earned "$out/tunnel.out" "$out/tunnel/tree/save/$account" 47 daredevil

# Harbour Bay's enemy carrier or submarine sunk by the Il-2, the counts one short in the profile and
# statistics: the last kill earns "sinkme" or "nemonemesis", saved with the statistic.
tallies=0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,4,9
sink() {
    game_tree "$game" "$out/$1"
    local saves="$out/$1/tree/save/$account" && mkdir -p "$out/$1/tree/save/$account"
    python3 "$support_dir/settings_file.py" "$saves/tq2_settings.bin" 13 "p21=w:$tallies"
    printf 'stat carrier_kills 4\nstat submarine_kills 9\n' >"$saves/steam_userstats.txt"
    # Placed at frame 423; then a pair of rockets and a bomb every 15 frames.
    for f in $(seq 430 15 1000); do printf '%s key F\n%s key G\n' "$f" "$((f + 7))"; done >"$out/$1.script"
    "$run" "${small[@]}" -autostart 10:0 -testplace "$1" -inputscript "$out/$1.script" -frames 1000 \
        -dumpframe "450:$out/$1_aimed.png" >"$out/$1.out" 2>&1 || fail "the $1 run did not end cleanly"
    grep -q "the ship the player aimed at is down" "$out/$1.out" || fail "the $1 did not sink"
    grep -q "hud: event line: You shot down $5 *\$" "$out/$1.out" ||
        fail "the kill line does not name the $1: $(grep 'event line' "$out/$1.out")"
    earned "$out/$1.out" "$saves" "$2" "$3"
    grep -q "^stat $4\$" "$saves/steam_userstats.txt" || fail "the saved statistics miss $4"
}
sink carrier 18 sinkme "carrier_kills 5" "Aircraft Carrier"
sink submarine 19 nemonemesis "submarine_kills 10" Submarine

# Slow over the own carrier's after deck: the wires catch the airplane, which rests on the deck.
game_tree "$game" "$out/landing"
"$run" "${small[@]}" -logplayer 20 -autostart 10:0 -testplace landing -frames 700 \
    -dumpframe "680:$out/landing_on_deck.png" >"$out/landing.out" 2>&1 || fail "the landing run did not end cleanly"
grep -q "frame 700 player at \S* 1[3-5]\.[0-9]* \S* moving -\?0\.000 -\?0\.000 -\?0\.000" "$out/landing.out" ||
    fail "the airplane does not rest on the deck: $(grep "frame 700 player" "$out/landing.out")"
