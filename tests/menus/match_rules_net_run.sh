#!/usr/bin/env bash
# A team switch between the real game and the peer program on loopback: the
# game hosts a team deathmatch (-autohost 3:0); the peer joins, asks for the
# other team and must be moved there by the game's answer. It leaves before
# its respawn: under the software renderer the game's clock runs slower than
# the peer's, which would wait for the respawn too long and take the host
# for lost.
set -uo pipefail
game="$1"
peer="$2"
out="$3"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"
source "$(dirname "$0")/../support/lan_peers.sh"
# The first start asks for the control type: its OK.
printf '%s\n%s\n' "$skip" "60 click 640 510" >"$out/skip.script"

port=$(freeport)
game_hosts "$out/team_host.out" -netport "$port" -autohost 3:0 -inputscript "$out/skip.script" -frames 1800
timeout 90 "$peer" --join "127.0.0.1:$port" --seconds 24 --name Wingman --at 6:team --at 9:quit \
    >"$out/team_peer.log" 2>&1
code=$?
wait "$game_pid" || fail "the team deathmatch host run did not end cleanly"
[ "$code" -eq 0 ] || fail "the peer ended with code $code: $(tail -5 "$out/team_peer.log")"
grep -q "state 6" "$out/team_peer.log" || fail "the peer never reached play: $(cat "$out/team_peer.log")"
asked=$(sed -n 's/.*asked for team \([01]\).*/\1/p' "$out/team_peer.log" | head -1)
[ -n "$asked" ] || fail "the peer never asked for a team: $(cat "$out/team_peer.log")"
grep -q " team Wingman $asked\$" "$out/team_peer.log" ||
    fail "the game did not move the peer to team $asked: $(grep ' team ' "$out/team_peer.log")"

echo PASS
