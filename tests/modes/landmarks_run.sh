#!/usr/bin/env bash
# Landmarks in the real game under Xvfb: a free flight on two maps, each
# with -testplace landmark putting the player's airplane over the map's
# landmark of the lowest number. The game's own check shows its notice,
# counts its event and earns the achievement named after that landmark and
# no other; the saved achievements hold that one alone. Logs go to the
# output folder.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
small=(-width 640 -height 360 -quality 0 -fixeddt 0.0166)

# map slot, its first landmark's number, the achievement and its name's text
fly() {
    local slot="$1" number="$2" steam="$3" notice="$4"
    game_tree "$game" "$out/map$slot"
    local log="$out/map$slot.out"
    "$run" "${small[@]}" -autostart "10:$slot" -testplace landmark -frames 560 \
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
