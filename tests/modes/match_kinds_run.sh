#!/usr/bin/env bash
# Every kind of game started in the real game under Xvfb, each match's
# connections read from the line the game logs when it makes the match: the
# game's own HUD, camera, achievements, score keeper, tutorial HUD, scene,
# HUD messages, overlays and end pages, and the network game (none alone,
# the server when the game hosts, the client when it joined), and the tune
# the map's trigger starts. Every run shows the menu flight first. Logs go to the output folder.
set -uo pipefail
source "$(dirname "$0")/../support/game_tree.sh"
source "$(dirname "$0")/../support/lan_peers.sh"
lan_run "$@"
own="hud=GameHud camera=SceneModeCamera progress=GameProgress scores=ScoreMgr tutorial=TutorialHudBridge"
own+=" scene=SceneModeServices messages=HudMessages overlays=SceneModeOverlays endPages=CampaignEndPages"
# The log has a match of the type made with the game's own connections and that network.
connected() {
    grep -q "match of type $2 connected: $own network=$3\$" "$1" ||
        fail "$4: no match of type $2 with the game's connections and $3: $(grep "match of type" "$1")"
}

# The map's own tune started by its trigger once play runs.
tune() {
    grep -q "map music \"data/sounds/music/$2.mp3\", looping" "$1" ||
        fail "$3: the map's tune $2 never started: $(grep "music" "$1")"
}

# Alone: the skirmish kinds, free flight, a campaign mission and a tutorial.
# Menu flight 8, free-for-all 2, team deathmatch 3, capture the flag 4,
# destroy the base 5, survival 6, dogfight 7, last man standing 13,
# free flight 10, tutorial 9 and the first mission (campaign 1). The matches
# on Harbour Bay fight to the combat tune, the tutorial over the training
# field and the mission's flight out to the calm one.
for road in "2:0 2 into_the_fray" "3:0 3 into_the_fray" "4:0 4 into_the_fray" "5:0 5 into_the_fray" \
    "6:0 6 into_the_fray" "7:0 7 into_the_fray" "13:0 13 into_the_fray" "10:0 10 into_the_fray" \
    "9:0 9 high_patrol" "1:c1m1 1 high_patrol"; do
    set -- $road
    "$run" "${common[@]}" -autostart "$1" -frames 360 >"$out/kind_$2.out" 2>&1 || fail "the $1 run did not end cleanly"
    connected "$out/kind_$2.out" 8 NoNetwork "the menu flight before $1"
    connected "$out/kind_$2.out" "$2" NoNetwork "-autostart $1"
    grep -q "connections .* are empty" "$out/kind_$2.out" && fail "-autostart $1: a match was refused"
    tune "$out/kind_$2.out" "$3" "-autostart $1"
done

# A first start asks for the control type before its first game: its OK.
printf '%s\n' "$skip" "60 click 640 510" "120 click 640 510" >"$out/first.script"

# Hosted: the game hosts a free-for-all and the peer joins it.
port=$(freeport)
game_hosts "$out/host.out" -netport "$port" -autohost 2:0 -inputscript "$out/first.script" -frames 1000
# The joiner leaves before the match ends, which it reports as a failure:
# what counts is that it reached play.
timeout 60 "$peer" --join "127.0.0.1:$port" --seconds 12 --name Wingman >"$out/join.log" 2>&1
wait "$game_pid" || fail "the hosting run did not end cleanly"
connected "$out/host.out" 2 NetworkGameServer "the hosted match"
tune "$out/host.out" into_the_fray "the hosted match"
grep -q "state 6" "$out/join.log" || fail "the peer never reached play in the hosted match"

# Joined: the peer hosts, the game joins with +connect.
port=$(freeport)
timeout 60 "$peer" --host --port "$port" --seconds 40 --name Harbourmaster --at 38:quit >"$out/peerhost.log" 2>&1 &
peer_pid=$!
await "$out/peerhost.log" "hosting" 10 || fail "the peer did not host: $(cat "$out/peerhost.log")"
"$run" "${common[@]}" -netport "$port" +connect "127.0.0.1:$port" -inputscript "$out/first.script" -frames 600 \
    >"$out/connect.out" 2>&1 || fail "the +connect run did not end cleanly"
kill "$peer_pid" 2>/dev/null
wait "$peer_pid" 2>/dev/null
connected "$out/connect.out" 2 NetworkGameClient "the joined match"
tune "$out/connect.out" into_the_fray "the joined match"
grep -q "players 1" "$out/peerhost.log" || fail "the peer host never saw the game join"
echo "every kind of match has the game's connections: ok"
