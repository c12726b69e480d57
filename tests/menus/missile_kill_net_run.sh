#!/usr/bin/env bash
# The game joins a free-for-all that the peer program hosts ("+connect") and
# the host's pilot fires small guided missiles at the game's airplane until
# it has shot it down twice. The game must hear that it was shot down by the
# host, not that it crashed, and the host must count the kills: the host
# keeps the damage its missiles did however the game's own state reports its
# health. Each time the airplane falls before it leaves play, on both sides:
# the host's message at the hit, the joiner's own once it is down, and only
# then the wait for the respawn. Logs under the output folder.
set -uo pipefail
source "$(dirname "$0")/../support/game_tree.sh"
source "$(dirname "$0")/../support/lan_peers.sh"
lan_run "$@"
port=$(freeport)
# A first start names the game's pilot after the login.
pilot=$(id -un | cut -c1-19)
missiles=()
for t in $(seq 8 2 70); do missiles+=(--at "$t:missile:$pilot:9"); done
timeout 140 "$peer" --host --port "$port" --type 2 --seconds 120 --name Hostess --score-limit 2 --where 0.5 \
    "${missiles[@]}" >"$out/host.log" 2>&1 &
peer_pid=$!
trap 'kill "$peer_pid" 2>/dev/null' EXIT
await "$out/host.log" "hosting" 10 || fail "the peer did not host: $(cat "$out/host.log")"
# The first start asks for the control type: its OK.
printf '%s\n%s\n' "$skip" "60 click 640 510" >"$out/skip.script"
"$run" "${common[@]}" -netport "$port" +connect "127.0.0.1:$port" -inputscript "$out/skip.script" -frames 5000 -logplayer 10 \
    >"$out/game.out" 2>&1 || fail "the joined run did not end cleanly: $(tail -5 "$out/game.out")"
wait "$peer_pid"
code=$?
grep -q "missile 9 at $pilot" "$out/host.log" || fail "the host fired no missile at the game: $(cat "$out/host.log")"
grep -q "match ended" "$out/host.log" || fail "the host's match did not end on the second kill: $(grep -v where "$out/host.log" | tail -12)"
[ "$code" -eq 0 ] || fail "the peer ended with code $code: $(tail -5 "$out/host.log")"
grep -q " score Hostess 2 0$" "$out/host.log" || fail "the host did not count both kills: $(grep ' score ' "$out/host.log")"
# The first death on both sides: the host's message at the hit, the joiner's
# once its airplane is down (after a fall of some seconds, in play and
# sinking on both sides meanwhile), then the respawn after the host's delay.
python3 - "$out/host.log" "$out/game.out" "$pilot" <<'PY' || fail "the shot-down airplane did not fall before it left play"
import re, sys
host, game, pilot = open(sys.argv[1]).read().splitlines(), open(sys.argv[2]).read().splitlines(), sys.argv[3]
def at(pattern):
    for line in host:
        if re.search(pattern, line):
            return float(line.split()[0])
    sys.exit("host log has no line %r" % pattern)
hit = at(r"death message sent: airplane \d+ \(%s\) destroyed \(cause 5" % re.escape(pilot))
down = at(r"death message heard: airplane \d+ \(%s\) death over" % re.escape(pilot))
heights = [(float(l.split()[0]), int(l.split()[-1])) for l in host if re.search(r" where %s -?\d+ -?\d+ -?\d+$" % re.escape(pilot), l)]
falling = [y for t, y in heights if hit < t < down]
back = [t for t, y in heights if t > down]
print("host: hit %.2f, down %.2f, heights in the fall %s, back at %s" % (hit, down, falling, back[:1]))
assert 3.5 <= down - hit <= 30, "the fall on the host took %.2f s" % (down - hit)
# Out of control it rolls and sinks (some tens of units) until it breaks up.
assert len(falling) >= 4 and min(falling) < falling[0] - 30, "the host saw no fall"
assert back and back[0] - down >= 4, "the respawn did not wait after the fall"
# The joiner: heard the hit, fell, said it was down; its player log sank in between.
lines = [l for l in game if "death message" in l or " player at " in l]
i = next(k for k, l in enumerate(lines) if re.search(r"death message heard: airplane \d+ destroyed \(cause 5", l))
j = next(k for k, l in enumerate(lines) if k > i and re.search(r"death message sent: airplane \d+ death over", l))
ys = [float(l.split(" player at ")[1].split()[1]) for l in lines[i:j] if " player at " in l]
print("joiner: heights in the fall", [round(y) for y in ys[::6]])
assert len(ys) >= 10 and min(ys) < ys[0] - 30, "the joiner saw no fall"
PY
grep -q "event line: You were shot down by.*Hostess" "$out/game.out" ||
    fail "the game did not hear who shot it down: $(grep 'event line' "$out/game.out")"
grep -q "event line: You crashed" "$out/game.out" && fail "the game took the missile's kill for a crash"
# Health on the host only goes down until the first kill.
python3 - "$out/host.log" "$pilot" <<'PY' || fail "the game's health went back up on the host: $(grep "health $pilot" "$out/host.log")"
import sys
last = 10
for line in open(sys.argv[1]):
    if "death message sent" in line and " destroyed " in line:
        break
    parts = line.split()
    if len(parts) == 4 and parts[1] == "health" and parts[2] == sys.argv[2]:
        value = int(parts[3])
        if value > last:
            sys.exit(1)
        last = value
PY
echo PASS
