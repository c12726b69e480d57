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
common+=(-lanaddr 127.0.0.1)
freeport() {
    python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
await() {
    for _ in $(seq 1 $(($3 * 4))); do
        grep -q "$2" "$1" 2>/dev/null && return 0
        sleep 0.25
    done
    return 1
}
# The first start asks for the control type: its OK.
printf '%s\n%s\n' "$skip" "60 click 640 510" >"$out/skip.script"

port=$(freeport)
"$run" "${common[@]}" -netport "$port" -autohost 3:0 -inputscript "$out/skip.script" -frames 1800 \
    >"$out/team_host.out" 2>&1 &
game_pid=$!
await "$out/team_host.out" "LAN host start" 60 || fail "the game did not host: $(tail -5 "$out/team_host.out")"
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
