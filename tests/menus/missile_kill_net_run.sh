#!/usr/bin/env bash
# The game joins a team match that the peer program hosts ("+connect") and
# the host's pilot fires small guided missiles at the game's airplane until
# one shoots it down. The game must hear that it was shot down by the host,
# not that it crashed, and the host must count the kill: the host keeps the
# damage its missiles did however the game's own state reports its health.
# Logs under the output folder.
set -uo pipefail
source "$(dirname "$0")/../support/game_tree.sh"
source "$(dirname "$0")/../support/lan_peers.sh"
lan_run "$@"
port=$(freeport)
# A first start names the game's pilot after the login.
pilot=$(id -un | cut -c1-19)
missiles=()
for t in $(seq 8 2 70); do missiles+=(--at "$t:missile:$pilot:9"); done
timeout 120 "$peer" --host --port "$port" --type 3 --seconds 100 --name Hostess --score-limit 1 "${missiles[@]}" \
    >"$out/host.log" 2>&1 &
peer_pid=$!
trap 'kill "$peer_pid" 2>/dev/null' EXIT
await "$out/host.log" "hosting" 10 || fail "the peer did not host: $(cat "$out/host.log")"
# The first start asks for the control type: its OK.
printf '%s\n%s\n' "$skip" "60 click 640 510" >"$out/skip.script"
"$run" "${common[@]}" -netport "$port" +connect "127.0.0.1:$port" -inputscript "$out/skip.script" -frames 2400 \
    >"$out/game.out" 2>&1 || fail "the joined run did not end cleanly: $(tail -5 "$out/game.out")"
wait "$peer_pid"
code=$?
grep -q "missile 9 at $pilot" "$out/host.log" || fail "the host fired no missile at the game: $(cat "$out/host.log")"
grep -q "match ended" "$out/host.log" || fail "the host's match did not end on the kill: $(grep -v where "$out/host.log" | tail -12)"
[ "$code" -eq 0 ] || fail "the peer ended with code $code: $(tail -5 "$out/host.log")"
grep -q " score Hostess 1 0$" "$out/host.log" || fail "the host did not count the kill: $(grep ' score ' "$out/host.log")"
grep -q "event line: You were shot down by.*Hostess" "$out/game.out" ||
    fail "the game did not hear who shot it down: $(grep 'event line' "$out/game.out")"
grep -q "event line: You crashed" "$out/game.out" && fail "the game took the missile's kill for a crash"
# Health on the host only goes down until the kill.
python3 - "$out/host.log" "$pilot" <<'PY' || fail "the game's health went back up on the host: $(grep "health $pilot" "$out/host.log")"
import sys
last = 10
for line in open(sys.argv[1]):
    parts = line.split()
    if len(parts) == 4 and parts[1] == "health" and parts[2] == sys.argv[2]:
        value = int(parts[3])
        if value > last:
            sys.exit(1)
        last = value
PY
echo PASS
