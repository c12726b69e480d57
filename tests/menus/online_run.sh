#!/usr/bin/env bash
# The real game under Xvfb on the online room browser, against the stand-in
# room server on 127.0.0.1: an empty server shows the empty list; a server
# with three rooms shows three cards (the frame must differ from the empty
# one), a click opens a room's lobby with its player; a private room is not
# listed and a room's plane filter refuses another plane; a server that goes away
# sends the player to the main menu with the failed-or-lost connection
# message, and so does an address where no server listens. With the
# peer program given: a room whose game it hosts is joined and flown, a
# room opened on the create page leads into its host's game, and the room
# that "+connect_lobby" names is joined with the "+password" given, while a
# wrong password or a room number that is none says why not. Last, a game
# of one's own after the online page leaves the room server when it ends.
set -uo pipefail
game="$1"
server="$2"
out="$3"
peer="${4:-}"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"
pid=""
peerpid=""
# The peer hosts serve for as long as a slow machine needs; whatever is left ends here.
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; [ -n "$peerpid" ] && kill "$peerpid" 2>/dev/null' EXIT

# Starts the stand-in server with the rooms given; sets pid and port.
start_server() {
    # The last server's log goes first: read before the new server opens the
    # file, it would name the old server's port.
    rm -f "$out/server.out"
    "$server" -port 0 "$@" >"$out/server.out" 2>&1 &
    pid=$!
    port=""
    for _ in $(seq 600); do
        port=$(sed -n 's/.*listening on port \([0-9]*\).*/\1/p' "$out/server.out" 2>/dev/null)
        [ -n "$port" ] && return 0
        sleep 0.05
    done
    fail "the stand-in room server did not start"
}
stop_server() { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; pid=""; }
# Starts the peer program hosting a free-for-all on map $1, its log in $2;
# sets peerpid and hostport, or fails with $3.
start_peer_host() {
    "$peer" --host --port 0 --type 2 --map "$1" --expect 1 --seconds 600 --name Peerhost >"$out/$2" 2>&1 &
    peerpid=$!
    hostport=""
    for _ in $(seq 1200); do
        hostport=$(sed -n 's/.* port \([0-9]*\)$/\1/p' "$out/$2" | head -1)
        [ -n "$hostport" ] && [ "$hostport" != 0 ] && return 0
        sleep 0.05
    done
    fail "$3"
}

# 1: no rooms.
start_server
printf '%s\n' "$skip" >"$out/empty.script"
"$run" "${common[@]}" -roomserver "127.0.0.1:$port" -menupage online -inputscript "$out/empty.script" \
    -frames 260 -dumpframe "240:$out/online_empty.png" >"$out/empty.out" 2>&1 || fail "the empty run did not end cleanly"
grep -q "page shown: MultiPlayerMenuFrameOnline" "$out/empty.out" || fail "the online page was not reached"
stop_server

# 1b: the server sends the player out of the room (message 27, after three
# bytes it does not know): the page steps back and the notice says what
# happened.
start_server -script unknown
"$run" "${common[@]}" -roomserver "127.0.0.1:$port" -menupage online -inputscript "$out/empty.script" \
    -frames 300 -textboxes -dumpframe "290:$out/online_sent_back.png" >"$out/sent_back.out" 2>&1 ||
    fail "the sent-back run did not end cleanly"
stop_server
sed -n 's/^text [-0-9]* | [0-9. ]* | //p' "$out/online_sent_back.png.texts" | sed 's/\\n/ /g' |
    grep -qx "You are out of the room: the room server sent you back to the room list." ||
    fail "no notice that the server sent the player back: $(grep '^text' "$out/online_sent_back.png.texts" | tail -3)"

# 2: three rooms, then the lobby of the first card.
start_server -room "Harbour brawl:2:0:3" -room "Ridge run:3:2:12" -room "Last light:13:3:6"
cat >"$out/rooms.script" <<S
$skip
250 click 245 330
S
"$run" "${common[@]}" -roomserver "127.0.0.1:$port" -menupage online -inputscript "$out/rooms.script" \
    -frames 320 -dumpframe "240:$out/online_rooms.png" -dumpframe "310:$out/online_lobby.png" \
    >"$out/rooms.out" 2>&1 || fail "the rooms run did not end cleanly"
stop_server
changed=$(python3 "$pixels" diff "$out/online_empty.png" "$out/online_rooms.png" 60 110 1220 580)
[ "$changed" -gt 20000 ] || fail "the list frame matches the empty list ($changed pixels differ)"
lobby=$(python3 "$pixels" diff "$out/online_rooms.png" "$out/online_lobby.png" 60 110 1220 580)
[ "$lobby" -gt 20000 ] || fail "the click opened no lobby ($lobby pixels differ)"

# 2b: the rooms' own rules, as the stand-in server keeps them: a private
# room stays off the list, and a room for the F-86 alone refuses the
# player's P-51 with the reason and starts no game.
start_server -room "Jets only:2:0:3:1:8" -room "Hidden hangar:2:0:3:0:0:private"
cat >"$out/filter.script" <<S
$skip
250 click 245 330
290 click 270 335
S
"$run" "${common[@]}" -roomserver "127.0.0.1:$port" -menupage online -inputscript "$out/filter.script" \
    -frames 360 -dumpframe "350:$out/online_filter.png" >"$out/filter.out" 2>&1 ||
    fail "the filter run did not end cleanly"
stop_server
grep -q "room listed: Jets only" "$out/filter.out" || fail "the open room was not listed"
grep -q "room listed: Hidden hangar" "$out/filter.out" && fail "the private room was listed"
grep -q "joining room Jets only refused by its plane filter 1:8" "$out/filter.out" ||
    fail "the plane filter did not refuse the join"
grep -q "starting a game" "$out/filter.out" && fail "a refused join started a game"

# 2b': a room for no special aircraft says so on its card and in its lobby,
# in the player's words, and turns away a pilot who flies the Visitor.
profile="$out/tree/save/1/tq2_settings.bin"
[ -f "$profile" ] && mv "$profile" "$profile.keep"
mkdir -p "$(dirname "$profile")"
python3 "$support_dir/settings_file.py" "$profile" 16 || fail "no Visitor profile"
start_server -room "No strangers:2:0:3:3:3"
"$run" "${common[@]}" -roomserver "127.0.0.1:$port" -menupage online -inputscript "$out/filter.script" -textboxes \
    -frames 360 -dumpframe "240:$out/online_special_card.png" -dumpframe "280:$out/online_special_lobby.png" \
    >"$out/special.out" 2>&1 || fail "the special-tier run did not end cleanly"
stop_server
rm -f "$profile"
[ -f "$profile.keep" ] && mv "$profile.keep" "$profile"
for shot in online_special_card online_special_lobby; do
    grep -q '| No Special Aircraft$' "$out/$shot.png.texts" ||
        fail "$shot: the room's rule is not shown: $(grep '^text' "$out/$shot.png.texts" | cut -c1-60 | tail -8)"
done
grep -q "joining room No strangers refused by its plane filter 3:3" "$out/special.out" ||
    fail "the Visitor was let into a room for no special aircraft"
grep -q "starting a game" "$out/special.out" && fail "a refused join started a game"

# 2c: the room panel of a Storm Front room at 960x640 and 1920x1080, its
# card clicked where the list shows it: the map's picture lies wholly on the
# screen and in its panel and shows the storm's lightning.
start_server -room "Storm run:2:5:3"
pipe="$out/panel.pipe"
for size in 960x640 1920x1080; do
    w="${size%x*}" h="${size#*x}"
    log="$out/panel_$size.out"
    piped_game "$w" "$h" "$pipe" -fixeddt 0.0166 -textboxes -roomserver "127.0.0.1:$port" -menupage online -frames 3000
    printf '%s\n' "$skip" "240 shot panel_list_$size.png" >&3
    steer_to 245
    card=$(python3 - "$out/panel_list_$size.png.texts" <<'PY'
import sys
for line in open(sys.argv[1], encoding="utf-8"):
    if line.startswith("text ") and line.rstrip("\n").endswith("| Storm run"):
        x, y, bw, bh = (float(v) for v in line.split(" | ")[1].split())
        print(int(x + bw / 2), int(y + bh / 2))
PY
)
    [ -n "$card" ] || fail "at $size the list shows no Storm run room"
    printf '%s\n' "250 click $card" "320 shot panel_$size.png" "330 close" "331 sync" >&3
    exec 3>&-
    wait "$game_pid" || fail "the $size panel run did not end cleanly: $(tail -3 "$log")"
    python3 - "$out/panel_$size.png" <<'PY' || fail "at $size the room panel's map picture is off the screen or not Storm Front's"
import sys
from png_pixels import rgb_rows
from text_fit import read
screen, read_frames, _ = read(sys.argv[1] + ".texts")
screen = screen[2:]
frames = {f: (parent, box, kind) for f, (parent, _, box, kind) in read_frames.items()}
# The picture: the panel's first sprite of the map pictures' 3:2 shape.
pictures = [(p, b) for p, b, kind in frames.values()
            if kind == "SpriteButton" and p >= 0 and b[3] > 60 and abs(b[2] / b[3] - 1.5) < 0.01]
if not pictures:
    sys.exit("no map picture")
parent, (x, y, bw, bh) = pictures[0]
px, py, pw, ph = frames[parent][1]
inside = x >= 0 and y >= 0 and x + bw <= screen[0] and y + bh <= screen[1]
in_panel = x >= px and y >= py and x + bw <= px + pw and y + bh <= py + ph
rows = rgb_rows(sys.argv[1])
bolt = sum(1 for r in rows[int(y):int(y + bh)] for p in r[int(x):int(x + bw)]
           if p[0] > 200 and 170 < p[1] < 230 and p[2] < 140)
print(sys.argv[1], (x, y, bw, bh), "bolt pixels", bolt)
sys.exit(0 if inside and in_panel and bolt > 50 else 1)
PY
done
rm -f "$pipe"
stop_server


start_server -room "Harbour brawl:2:0:3"
( sleep 4; kill "$pid" 2>/dev/null ) &
printf '%s\n' "$skip" >"$out/drop.script"
"$run" "${common[@]}" -roomserver "127.0.0.1:$port" -menupage online -inputscript "$out/drop.script" \
    -frames 1200 -textboxes -dumpframe "1199:$out/online_dropped.png" >"$out/drop.out" 2>&1
wait
pid=""
grep -A50 "page shown: MultiPlayerMenuFrameOnline" "$out/drop.out" | grep -q "page shown: MainMenuFrame" ||
    fail "a dropped server did not lead back to the main menu"
# 3b: the same address with nothing listening there any more: the server
# cannot be reached, and the player meets the same message on the
# multiplayer page over the main menu.
"$run" "${common[@]}" -roomserver "127.0.0.1:$port" -menupage online -inputscript "$out/drop.script" \
    -frames 300 -textboxes -dumpframe "290:$out/online_unreached.png" >"$out/unreached.out" 2>&1 ||
    fail "the unreached run did not end cleanly"
log="$out/unreached.out"
in_order "page shown: MultiPlayerMenuFrameOnline" "page shown: MainMenuFrame" "page shown: MultiPlayerMenuFrame$"
for shot in online_dropped online_unreached; do
    # The message's lines, wrapped in the box, joined again.
    sed -n 's/^text [-0-9]* | [0-9. ]* | //p' "$out/$shot.png.texts" | sed 's/\\n/ /g' |
        grep -qx "The connection to the server could not be made or was lost. Check your network and try again." ||
        fail "$shot: no failed-or-lost connection message: $(grep '^text' "$out/$shot.png.texts" | tail -3)"
done
# 4: a room whose game a peer program hosts: its lobby, the join, the game.
if [ -n "$peer" ]; then
    start_peer_host 0 peer.out "the peer host did not start"
    start_server -hostport "$hostport" -room "Harbour brawl:2:0:3"
    cat >"$out/join.script" <<S
$skip
250 click 245 330
290 click 270 335
380 click 640 510
S
    "$run" "${common[@]}" -roomserver "127.0.0.1:$port" -menupage online -inputscript "$out/join.script" \
        -frames 700 -dumpframe "280:$out/online_join_lobby.png" -dumpframe "690:$out/online_joined.png" \
        >"$out/join.out" 2>&1 || fail "the join run did not end cleanly"
    stop_server
    kill "$peerpid" 2>/dev/null
    wait "$peerpid" 2>/dev/null
    grep -q "starting a game of type 2 on map 0" "$out/join.out" || fail "the joined room's game did not start"
    grep -q "joined the game" "$out/peer.out" || fail "the peer host never saw the game join"
    sky=$(python3 - "$out/online_joined.png" <<P
import sys
sys.path.insert(0, "$(dirname "$pixels")")
from png_pixels import rgb_rows
rows = rgb_rows(sys.argv[1])
top = [p for row in rows[:60] for p in row]
print(sum(1 for r, g, b in top if b > 90 and b >= r))
P
)
    [ "$sky" -gt 20000 ] || fail "the joined frame has no sky at the top ($sky sky pixels)"

    # 5: a room opened on the create page is joined like any other: the
    # free-for-all button, the set-up page's start, then the host's game.
    start_peer_host 1 peer2.out "the second peer host did not start"
    start_server -hostport "$hostport"
    # On the way the room's filters page gets "No special aircraft", which the
    # server must be sent with the room.
    cat >"$out/create.script" <<S
$skip
250 click 1100 650
300 click 852 213
340 click 600 504
380 click 100 53
420 click 213 480
470 key Enter
S
    "$run" "${common[@]}" -roomserver "127.0.0.1:$port" -menupage online -inputscript "$out/create.script" \
        -frames 820 -dumpframe "290:$out/online_create_page.png" -dumpframe "370:$out/online_create_filters.png" \
        -dumpframe "810:$out/online_created.png" >"$out/create.out" 2>&1 || fail "the create run did not end cleanly"
    stop_server
    kill "$peerpid" 2>/dev/null
    wait "$peerpid" 2>/dev/null
    grep -q "page shown: MPCreateOnlineMenuFrame" "$out/create.out" || fail "the create page was not reached"
    grep -q "page shown: GameSetupMenuFrame" "$out/create.out" || fail "the set-up page was not reached"
    grep -q "page shown: MPOnlineFiltersMenuFrame" "$out/create.out" || fail "the filters page was not reached"
    grep -q "created room .*, plane rule 3:3" "$out/server.out" || fail "the room was not created for no special aircraft"
    grep -q "starting a game of type 2 on map 1" "$out/create.out" || fail "the created room's game did not start"
    grep -q "joined the game" "$out/peer2.out" || fail "the peer host never saw the room's creator join"
fi
# 6: the main menu's Online button is a quick match ("Not now" on the
# tutorial question first): the server offers its open room at once and the
# game joins it without the list.
if [ -n "$peer" ]; then
    start_peer_host 0 peer3.out "the third peer host did not start"
    start_server -hostport "$hostport" -room "Harbour brawl:2:0:3"
    cat >"$out/quick.script" <<S
$skip
250 click 230 650
300 click 397 517
S
    "$run" "${common[@]}" -roomserver "127.0.0.1:$port" -inputscript "$out/quick.script" \
        -frames 700 -dumpframe "690:$out/online_quick.png" >"$out/quick.out" 2>&1 ||
        fail "the quick-match run did not end cleanly"
    stop_server
    kill "$peerpid" 2>/dev/null
    wait "$peerpid" 2>/dev/null
    grep -q "starting a game of type 2 on map 0" "$out/quick.out" || fail "the quick match joined no game"
    grep -q "joined the game" "$out/peer3.out" || fail "the peer host never saw the quick match join"
fi
# 6b: "+connect_lobby N" joins room N without the list, with the password of
# "+password"; a wrong or missing password, a number no room has and an id
# beyond the room numbers say why not, and start no game.
if [ -n "$peer" ]; then
    start_peer_host 0 peer4.out "the fourth peer host did not start"
    start_server -hostport "$hostport" -room "Harbour brawl:2:0:3" -room "Locked gate:2:0:3:0:0:password=kestrel"
    printf '%s\n' "$skip" "300 click 640 510" "420 click 640 510" >"$out/lobby.script"
    log="$out/lobby.out"
    "$run" "${common[@]}" -roomserver "127.0.0.1:$port" +connect_lobby 2 +password kestrel \
        -inputscript "$out/lobby.script" -frames 700 >"$log" 2>&1 || fail "the +connect_lobby run did not end cleanly"
    in_order "joining the requested room 2" "starting a game of type 2 on map 0"
    grep -q "joined the game" "$out/peer4.out" || fail "the peer host never saw the room's joiner"
    n=0
    for args in "2 +password heron|password does not" "2|password does not" "9|no online room" "70000|no online room"; do
        n=$((n + 1))
        "$run" "${common[@]}" -roomserver "127.0.0.1:$port" +connect_lobby ${args%|*} -inputscript "$out/empty.script" \
            -frames 400 -textboxes -dumpframe "390:$out/online_refused$n.png" >"$out/refused$n.out" 2>&1 || fail "run $n"
        # The notice's words, which wrap where its window ends.
        ! grep -q "starting a game" "$out/refused$n.out" && sed -n 's/^text [^|]*|[^|]*| //p' \
            "$out/online_refused$n.png.texts" | sed 's/\\n/ /g' | grep -q "${args#*|}" || fail "$args: no notice why"
    done
    grep -c "refused a room" "$out/server.out" | grep -qx 3 || fail "the server refused other than three joins"
    stop_server
    kill "$peerpid" 2>/dev/null
    wait "$peerpid" 2>/dev/null
fi
# 7: a game of one's own after the online page leaves the room server when
# it ends: the page keeps its connection, and the game's end says goodbye
# (request 16) as the game screen is left for the result, as its log tells.
start_server
cat >"$out/leave.script" <<S
$skip
300 key Enter
500 click 640 588
600 click 640 588
1100 key Esc
1180 click 183 681
S
"$run" "${common[@]}" -roomserver "127.0.0.1:$port" -menupage online -pageat 200:setup \
    -inputscript "$out/leave.script" -frames 1400 >"$out/leave.out" 2>&1 || fail "the leaving run did not end cleanly"
stop_server
log="$out/leave.out"
in_order "page shown: MultiPlayerMenuFrameOnline" "starting a game of type 2" "page shown: SkirmishEndMenuFrame" \
    "page shown: GameResultMenuFrame" "the room server is left with the game"
grep -q "left (request 16)" "$out/server.out" || fail "the room server never heard the player leave"
echo "PASS (list $changed, lobby $lobby pixels changed)"
