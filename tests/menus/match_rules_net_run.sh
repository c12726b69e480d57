#!/usr/bin/env bash
# The kinds' rules between the real game and the peer program on loopback:
#  1. the game hosts a team deathmatch (-autohost 3:0); the peer joins, asks
#     for the other team and must be moved there by the game's answer;
#  2. the game hosts last man standing (-autohost 13:0) for two peers who
#     crash out of each round: both stay through two rounds, never take the
#     host for lost, and end with the host's table.
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

# 1: a team switch asked by the peer, decided by the game.
port=$(freeport)
"$run" "${common[@]}" -netport "$port" -autohost 3:0 -inputscript "$out/skip.script" -frames 1800 \
    >"$out/team_host.out" 2>&1 &
game_pid=$!
await "$out/team_host.out" "LAN host start" 60 || fail "the game did not host: $(tail -5 "$out/team_host.out")"
timeout 90 "$peer" --join "127.0.0.1:$port" --seconds 24 --name Wingman --at 6:team --at 22:quit \
    >"$out/team_peer.log" 2>&1
code=$?
wait "$game_pid" || fail "the team deathmatch host run did not end cleanly"
[ "$code" -eq 0 ] || fail "the peer ended with code $code: $(tail -5 "$out/team_peer.log")"
grep -q "state 6" "$out/team_peer.log" || fail "the peer never reached play: $(cat "$out/team_peer.log")"
asked=$(sed -n 's/.*asked for team \([01]\).*/\1/p' "$out/team_peer.log" | head -1)
[ -n "$asked" ] || fail "the peer never asked for a team: $(cat "$out/team_peer.log")"
grep -q " team Wingman $asked\$" "$out/team_peer.log" ||
    fail "the game did not move the peer to team $asked: $(grep ' team ' "$out/team_peer.log")"

# 2: last man standing, two rounds, both peers there for each.
port=$(freeport)
"$run" "${common[@]}" -netport "$port" -autohost 13:0 -inputscript "$out/skip.script" -frames 20000 \
    >"$out/lms_host.out" 2>&1 &
game_pid=$!
await "$out/lms_host.out" "LAN host start" 60 || fail "the game did not host: $(tail -5 "$out/lms_host.out")"
crashes=()
for t in $(seq 24 3 250); do crashes+=(--at "$t:crash"); done
for name in Wing1 Wing2; do
    ( timeout 300 "$peer" --join "127.0.0.1:$port" --seconds 260 --name "$name" --matches 2 "${crashes[@]}" \
        >"$out/lms_$name.log" 2>&1; echo $? >"$out/lms_$name.code" ) &
    sleep 1
done
for name in Wing1 Wing2; do
    while [ ! -f "$out/lms_$name.code" ]; do sleep 1; done
done
kill "$game_pid" 2>/dev/null
wait "$game_pid" 2>/dev/null
for name in Wing1 Wing2; do
    log="$out/lms_$name.log"
    [ "$(cat "$out/lms_$name.code")" -eq 0 ] || fail "$name ended with code $(cat "$out/lms_$name.code"): $(tail -8 "$log")"
    grep -q "host lost" "$log" && fail "$name took the host for lost: $(tail -8 "$log")"
    [ "$(grep -c "match ended" "$log")" -ge 2 ] || fail "$name did not stay for two rounds: $(tail -8 "$log")"
done
diff <(grep -E '^ *[0-9.]+ (score|team|matches) ' "$out/lms_Wing1.log" | sed 's/^ *[0-9.]* //') \
     <(grep -E '^ *[0-9.]+ (score|team|matches) ' "$out/lms_Wing2.log" | sed 's/^ *[0-9.]* //') >"$out/lms_tables.diff" ||
    fail "the two peers ended with different tables: $(cat "$out/lms_tables.diff")"
echo PASS
