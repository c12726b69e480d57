#!/usr/bin/env bash
# LAN games of the real game under Xvfb against the headless peer program on
# loopback, each pair on a free port of its own:
#  1. the LAN list shows the peer's game as a row (its frame differs from the
#     empty list's) and a click joins it: the game starts as a network client;
#  2. the game hosts with -autohost, the peer joins, reaches play, sees the
#     host's airplane and two chat lines from the game's chat page, one
#     chosen from the list and one typed;
#  3. the peer hosts and the game joins with "+connect 127.0.0.1:PORT" and
#     flies (sky at the top of the frame); five chat lines of the host's stand
#     in its event lines, each whole on one line;
#  4. a host that goes away mid-match brings up the notice, whose OK leads
#     back to the LAN list;
#  5. a team match in its last minute turns the game's "+connect" away: the
#     alert says why at once and the host's log names the join.
# Every peer of runs 1-3 must exit 0 within 60 s: the hosts of runs 1 and 3
# serve 57 s, long enough for a game that starts slowly on a busy machine.
# Pictures go to the output folder.
set -uo pipefail
source "$(dirname "$0")/../support/game_tree.sh"
source "$(dirname "$0")/../support/lan_peers.sh"
lan_run "$@"
# A peer run in the background whose exit code and time land in $1.code.
start_peer() {
    local log="$1"; shift
    ( start=$(date +%s); timeout 70 "$peer" "$@" >"$log" 2>&1; code=$?
      echo "$code $(( $(date +%s) - start ))" >"$log.code" ) &
}
peer_ok() {
    wait
    read -r code seconds <"$1.code"
    [ "$code" -eq 0 ] || fail "$2: the peer ended with code $code: $(tail -3 "$1")"
    [ "$seconds" -le 60 ] || fail "$2: the peer took $seconds s"
}
# Pixels of the list's row area that differ strongly between the two frames.
differing() { python3 "$pixels" diff "$1" "$2" 20 200 330 520; }
# Sky at the top of the view: bright and bluish, not a dark menu page.
sky_at_top() {
python3 - "$1" <<'PY'
import sys
from png_pixels import rgb_rows
rows = rgb_rows(sys.argv[1])
s = [0, 0, 0]; n = 0
for y in range(150, 220):
    for x in range(300, 980):
        for k in range(3): s[k] += rows[y][x][k]
        n += 1
r, g, b = (v / n for v in s)
print("sky", round(r), round(g), round(b))
sys.exit(0 if r + g + b > 300 and b >= r - 20 else 1)
PY
}

# 0: the entry and hosting pages as they look.
printf '%s\n' "$skip" >"$out/look.script"
for page in multiplayer lancreate; do
    "$run" "${common[@]}" -menupage "$page" -inputscript "$out/look.script" -frames 200 \
        -dumpframe "190:$out/$page.png" >"$out/$page.out" 2>&1 || fail "the $page page run did not end cleanly"
    grep -q "page shown: $page" "$out/$page.out" || fail "the $page page was not reached"
done

# 1: the LAN list, empty and then with the peer's game; a click on the row joins.
port=$(freeport)
printf '%s\n' "$skip" >"$out/empty.script"
"$run" "${common[@]}" -netport "$port" -menupage lan -inputscript "$out/empty.script" -frames 300 \
    -dumpframe "290:$out/lan_empty.png" >"$out/empty.out" 2>&1 || fail "the empty list run did not end cleanly"
start_peer "$out/host1.log" --host --port "$port" --seconds 59 --name Harbourmaster --at 57:quit
await "$out/host1.log" "hosting" 10 || fail "the peer did not host: $(cat "$out/host1.log")"
printf '%s\n%s\n' "$skip" "300 click 170 360" >"$out/join.script"
"$run" "${common[@]}" -netport "$port" -menupage lan -inputscript "$out/join.script" -frames 700 \
    -dumpframe "290:$out/lan_list.png" -dumpframe "680:$out/lan_joined.png" >"$out/join.out" 2>&1 ||
    fail "the LAN join run did not end cleanly"
peer_ok "$out/host1.log" "LAN join"
n=$(differing "$out/lan_empty.png" "$out/lan_list.png")
[ "${n:-0}" -gt 5000 ] || fail "the list with a game looks like the empty list ($n pixels differ)"
grep -q "LAN join start: type 2 map 0 result 0" "$out/join.out" || fail "the click did not start the client game"
grep -q "players 1" "$out/host1.log" || fail "the host never saw the game join"

# 2: the game hosts, flown by a pilot of rank 5 (the profile's, its control
# type chosen, its name the login name); the peer joins and chats; the game's chat page sends
# "Attack!". The pause button then opens the host's own score table.
port=$(freeport)
mkdir -p "$out/tree/save/1" && python3 "$support_dir/settings_file.py" "$out/tree/save/1/tq2_settings.bin" 0 6=i:1 "p1=t:$(id -un)" p3=b:5
printf '%s\n' "$skip" "500 key T" "540 click 340 112" "620 key T" "660 click 970 387" "700 text Hello there" \
    "740 key Enter" "800 click 1243 35" >"$out/host.script"
game_hosts "$out/host.out" -netport "$port" -autohost 2:0 -inputscript "$out/host.script" -frames 1300 \
    -textboxes -dumpframe "530:$out/chat.png" -dumpframe "880:$out/hosting.png"
start_peer "$out/join2.log" --join "127.0.0.1:$port" --seconds 55 --name Wingman --at 3:chat:Hello \
    --until "Hello there"
wait "$game_pid" || fail "the hosting run did not end cleanly"
peer_ok "$out/join2.log" "autohost"
# The rank travels: the joiner files the host's pilot at rank 5, and the
# host's own row wears rank 5's glyph.
grep -q "rank $(id -un) 5$" "$out/join2.log" || fail "the joiner does not see the host at rank 5: $(grep ' rank ' "$out/join2.log")"
python3 "$support_dir/rank_glyphs.py" "$out/hosting.png.texts" "$(id -un)=5" || fail "the host's table does not show its rank"
grep -q "state 6" "$out/join2.log" || fail "the peer never reached play: $(cat "$out/join2.log")"
grep -q "line $(id -un);: Attack!" "$out/join2.log" || fail "the game's chat line did not reach the peer"
grep -q "line $(id -un);: Hello there" "$out/join2.log" || fail "the typed chat line did not reach the peer"
[ "$(grep -c " where " "$out/join2.log")" -ge 2 ] || fail "the peer did not see the host's airplane"
grep -q "page shown: MPChatMenuFrame" "$out/host.out" || fail "the chat key did not open the chat page"

# 3: the peer hosts; the game joins with +connect and flies, its steering
# chosen before; once it flies the host says five chat lines at once, which
# the joiner's event lines show whole, each on one line, all five.
port=$(freeport)
chats=("Form up on me over the harbour" "Two bandits low at six o'clock" "Break left, I have the leader"
       "Watch the flak by the bridge" "Regroup over the lighthouse")
at=()
for i in "${!chats[@]}"; do at+=(--at "2.$((2 * i + 1)):chat:${chats[$i]}"); done
# The wait for the game to fly delays the quit as much.
start_peer "$out/host3.log" --host --port "$port" --seconds 59 --name Harbourmaster --at 1:await:1 "${at[@]}" \
    --at 40:quit
await "$out/host3.log" "hosting" 10 || fail "the peer did not host: $(cat "$out/host3.log")"
printf '%s\n' "$skip" >"$out/connect.script"
mkdir -p "$out/tree/save/1"
python3 "$support_dir/settings_file.py" "$out/tree/save/1/tq2_settings.bin" 0 6=i:1 17=b:1
shots=()
for f in $(seq 300 20 980); do shots+=(-dumpframe "$f:$out/joined_$f.png"); done
"$run" "${common[@]}" -netport "$port" +connect "127.0.0.1:$port" -inputscript "$out/connect.script" -frames 1000 \
    -textboxes -dumpframe "680:$out/joined.png" "${shots[@]}" >"$out/connect.out" 2>&1 ||
    fail "the +connect run did not end cleanly"
all_five=""
for texts in "$out"/joined_*.png.texts; do
    shown=0
    for line in "${chats[@]}"; do grep -qF "| ;Harbourmas...;: $line" "$texts" && shown=$((shown + 1)); done
    [ "$shown" -eq 5 ] && all_five="$texts"
done
[ -n "$all_five" ] || fail "no picture of the joiner shows the five chat lines whole, each on one line"
peer_ok "$out/host3.log" "+connect"
grep -q "requested join start: type 2 map 0 result 0" "$out/connect.out" || fail "+connect did not start the client game"
grep -q "players 1" "$out/host3.log" || fail "the host never saw the game join"
sky_at_top "$out/joined.png" || fail "the joined game shows no sky at the top"
[ "$(grep -c "joined game is advertised to friends" "$out/connect.out")" -eq 1 ] ||
    fail "the joined game was not advertised exactly once"

# 4: the host goes away in the middle of the match: the notice, and OK leads
# back to the LAN list. Taps on OK until it is there are harmless in flight.
port=$(freeport)
timeout 60 "$peer" --host --port "$port" --seconds 50 --name Harbourmaster >"$out/host4.log" 2>&1 &
host_pid=$!
await "$out/host4.log" "hosting" 10 || fail "the peer did not host: $(cat "$out/host4.log")"
{ printf '%s\n' "$skip"; for f in $(seq 1100 100 1700); do echo "$f click 640 413"; done; } >"$out/lost.script"
"$run" "${common[@]}" -netport "$port" +connect "127.0.0.1:$port" -inputscript "$out/lost.script" -frames 1800 \
    -dumpframe "1790:$out/host_lost_after.png" >"$out/lost.out" 2>&1 &
game_pid=$!
await "$out/host4.log" "players 1" 60 || fail "the game never joined the host that goes away"
kill "$host_pid" 2>/dev/null
wait "$game_pid" || fail "the lost-host run did not end cleanly"
wait "$host_pid" 2>/dev/null
grep -q "page shown: MPServerDisconnectMenuFrame" "$out/lost.out" || fail "no notice of the lost host"
[ "$(grep -c "joined game is advertised to friends" "$out/lost.out")" -eq 1 ] ||
    fail "the joined game was not advertised exactly once"
[ "$(grep -c "advertisement is withdrawn" "$out/lost.out")" -eq 1 ] ||
    fail "the advertisement was not withdrawn exactly once when the host went away"
sed -n '/page shown: MPServerDisconnectMenuFrame/,$p' "$out/lost.out" | grep -q "page shown: MultiPlayerMenuFrameWIFI" ||
    fail "OK on the notice did not lead back to the LAN list"

# 5: a one-minute team match runs once a first joiner plays; the game's join comes in its last minute.
port=$(freeport)
timeout 80 "$peer" --host --port "$port" --type 3 --minutes 1 --seconds 70 --name Harbourmaster --at 1:await:1 \
    >"$out/host5.log" 2>&1 &
host_pid=$!
await "$out/host5.log" "hosting" 10 || fail "the peer did not host: $(cat "$out/host5.log")"
timeout 80 "$peer" --join "127.0.0.1:$port" --seconds 70 --name Wingman >"$out/first5.log" 2>&1 &
first_pid=$!
await "$out/host5.log" "awaited 1" 30 || fail "the first joiner never played: $(cat "$out/first5.log")"
"$run" "${common[@]}" -netport "$port" +connect "127.0.0.1:$port" -inputscript "$out/connect.script" -frames 600 \
    -textboxes -dumpframe "560:$out/refused.png" >"$out/refused.out" 2>&1 || fail "the refused +connect run did not end cleanly"
kill "$host_pid" "$first_pid" 2>/dev/null
wait "$host_pid" "$first_pid" 2>/dev/null
grep -q "| The host takes no new" "$out/refused.png.texts" ||
    fail "the alert does not say why the join was refused: $(grep '^text' "$out/refused.png.texts" | head -5)"
grep -q "turned a join from 127.0.0.1" "$out/host5.log" || fail "the host's log does not name the refused join"
grep -q "requested join start" "$out/refused.out" && fail "the refused join started a game"
echo PASS
