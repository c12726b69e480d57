#!/usr/bin/env bash
# The kinds' rules between the real game and the peer program on loopback:
#  1. the game hosts a team deathmatch (-autohost 3:0); the peer joins, asks
#     for the other team and must be moved there by the game's answer. It
#     leaves before its respawn: on the fixed frame step the game's clock
#     counts frames, which the software renderer makes slower than the
#     peer's real time, so the peer would wait for the respawn too long and
#     take the host for lost.
#  2. the game hosts last man standing (-autohost 13:0) on its real clock for
#     two peers who crash out of each round: both stay through three rounds,
#     never take the host for lost, and end with the same table.
#  3. the peer hosts a team deathmatch of two minutes (joins close in its
#     last minute) for the game and a second peer. Past half of it the host
#     closes team changes: the game's team page offers no Switch Team and its
#     airplane flies on; the second peer asks anyway and flies on in its team.
set -uo pipefail
pids=()
source "$(dirname "$0")/../support/game_tree.sh"
source "$(dirname "$0")/../support/lan_peers.sh"
lan_run "$@"
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

# 2: rounds of last man standing. The game runs until the peers are done.
common=(-width 1280 -height 720 -lanaddr 127.0.0.1)
port=$(freeport)
game_hosts "$out/lms_host.out" -netport "$port" -autohost 13:0 -inputscript "$out/skip.script" -frames 100000
crashes=()
for t in $(seq 25 5 140); do crashes+=(--at "$t:crash"); done
for wing in Wing1 Wing2; do
    timeout 240 "$peer" --join "127.0.0.1:$port" --seconds 180 --matches 3 --name "$wing" "${crashes[@]}" \
        >"$out/lms_$wing.log" 2>&1 &
    pids+=($!)
    sleep 0.3
done
codes=()
for pid in "${pids[@]}"; do
    wait "$pid"
    codes+=($?)
done
kill "$game_pid" 2>/dev/null
wait "$game_pid" 2>/dev/null
# The final table: scores, teams and the matches played.
table() { sed -n 's/^ *[0-9.]* \(score .*\|team .*\|matches .*\)$/\1/p' "$1"; }
for i in 0 1; do
    wing=$([ "$i" -eq 0 ] && echo Wing1 || echo Wing2)
    log="$out/lms_$wing.log"
    grep -q "host lost" "$log" && fail "$wing took the host for lost: $(grep -v '^[a-z]*:' "$log" | tail -12)"
    [ "${codes[$i]}" -eq 0 ] || fail "$wing ended with code ${codes[$i]}: $(grep -v '^[a-z]*:' "$log" | tail -12)"
    [ "$(grep -c "match ended" "$log")" -ge 3 ] || fail "$wing saw fewer than three rounds end"
    grep -q "^ *[0-9.]* matches 3$" "$log" || fail "$wing did not play three rounds: $(table "$log")"
done
[ "$(table "$out/lms_Wing1.log")" = "$(table "$out/lms_Wing2.log")" ] ||
    fail "the peers' tables differ: $(table "$out/lms_Wing1.log") / $(table "$out/lms_Wing2.log")"

# 3: team changes close past half of a timed match, as the joiners see it;
# the game steps through a pipe as far as the host's match has come.
port=$(freeport)
timeout 200 "$peer" --host --port "$port" --type 3 --minutes 2 --seconds 150 >"$out/closed_host.log" 2>&1 &
host_pid=$!
await "$out/closed_host.log" "hosting" 10 || fail "the peer did not host: $(cat "$out/closed_host.log")"
wing="$out/closed_wing.log"
timeout 200 "$peer" --join "127.0.0.1:$port" --seconds 140 --name Wingman --at 70:team --where 2 >"$wing" 2>&1 &
wing_pid=$!
log="$out/closed_game.out"
piped_game 1280 720 "$out/closed.pipe" -fixeddt 0.0166 -lanaddr 127.0.0.1 -netport "$port" \
    +connect "127.0.0.1:$port" -textboxes -logplayer 30 -frames 20000
printf '%s\n' "$skip" "60 click 640 510" >&3
frame=60
until grep -q "the host closed team changes" "$log"; do
    frame=$((frame + 30))
    [ "$frame" -lt 12000 ] || fail "the host never closed team changes: $(tail -5 "$log")"
    steer_to "$frame"
done
# The pause button opens the team page; Esc closes it again.
printf '%s\n' "$((frame + 10)) click 1243 35" "$((frame + 60)) shot closed_page.png" "$((frame + 70)) key Esc" >&3
steer_to $((frame + 170))
echo "$((frame + 171)) close" >&3
exec 3>&-
wait "$game_pid" || fail "the joined team deathmatch did not end cleanly: $(tail -5 "$log")"
wait "$wing_pid" || fail "the second peer did not see the match through: $(grep -v '^[a-z]*:' "$wing" | tail -8)"
kill "$host_pid" 2>/dev/null
in_order "requested join start: type 3" "the host closed team changes" "page shown: TeamSkirmishEndMenuFrame"
grep -q "| Continue$" "$out/closed_page.png.texts" && ! grep -q "| Switch Team$" "$out/closed_page.png.texts" ||
    fail "the team page offers Switch Team past half of the match: $(grep '^text' "$out/closed_page.png.texts")"
# The airplane flies on through the page and after it: no two places alike.
[ "$(sed -n "s/.*frame \([0-9]*\) player at \([^ ]* [^ ]* [^ ]*\).*/\1 \2/p" "$log" |
    awk -v f="$frame" '$1 >= f { print $2, $3, $4 }' | uniq | wc -l)" -ge 5 ] || fail "the game's airplane left play"
# The second peer, asking anyway, is turned back and flies on in its team.
log="$wing" in_order "the host closed team changes" "asked for team" "where Wingman"
asked=$(sed -n 's/.*asked for team \([01]\).*/\1/p' "$wing" | head -1)
grep -q " team Wingman $((1 - asked))\$" "$wing" || fail "the second peer changed team: $(grep ' team ' "$wing")"

echo PASS
