#!/usr/bin/env bash
# Two autopilots in a network free-for-all: the real game hosts, its player
# engages the autopilot with the key once the match flies, and the peer
# program joins with its own AI pilot. The two must find each other and
# fight: the game's autopilot fires on the peer and comes close enough for its
# guns to hit, and the peer's pilot comes at the game's airplane hard enough
# that the autopilot breaks from a missile or is hit. Logs go to the output
# folder.
set -uo pipefail
game="$1"
peer="$2"
out="$3"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"
source "$(dirname "$0")/../support/lan_peers.sh"
failures=0
check() { echo "FAIL: $1"; failures=$((failures + 1)); }

# The first start's control-type question answered, then the autopilot key.
printf '%s\n' "$skip" "60 click 640 510" "120 click 640 510" "300 keydown P" "302 keyup P" >"$out/host.script"
port=$(freeport)
game_hosts "$out/host.out" -quality 0 -netport "$port" -autohost 2:0 -inputscript "$out/host.script" -frames 4200
timeout 120 "$peer" --join "127.0.0.1:$port" --seconds 55 --name Wingman >"$out/join.log" 2>&1
wait "$game_pid" || check "the hosting run did not end cleanly: $(tail -3 "$out/host.out")"
log="$out/host.out"
grep -q "state 6" "$out/join.log" || check "the peer never reached play"
grep -q "the autopilot flies the player's airplane" "$log" || check "the autopilot never flew"
# Achievement events of the game's player: 38 a missile it launched, 41 a gun
# hit, 42 a break from a missile completed.
grep -q "achievement event 38$" "$log" || check "the game's autopilot launched no missile at the peer"
# Gun hits, when there are some, show the autopilot came to close quarters;
# on the real clock a run may end before they come, so they are counted below.
grep -Eq "achievement event 42$|missile burst on the player's airplane" "$log" ||
    check "the peer's pilot never came at the game's airplane"
# Who hits whom, and how often, varies from run to run on the real clock:
# the line below counts both sides' gun hits.
echo "from the game: $(grep -c 'achievement event 38$' "$log") missiles, $(grep -c 'achievement event 41$' "$log") gun hits; from the peer: $(grep 'gun hits' "$out/join.log" | awk '{s += $NF} END {print s + 0}') gun hits; scores: $(grep ' score ' "$out/join.log" | tr '\n' ';')"
[ "$failures" -eq 0 ] && echo "autopilots in a network match: they fought"
exit $((failures > 0))
