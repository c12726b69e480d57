#!/usr/bin/env bash
# The real game under Xvfb at 960x640 in English, German, Japanese and
# Korean, from a fresh save folder in the language the environment asks for:
#  - the campaign map writes each campaign's name in the player's language
#    (the name area of a button differs between every two languages and
#    holds text in each);
#  - the first mission card keeps a gap between the mission's number and its
#    title;
#  - Host a Game's lines pass beside the game-name box, not through it;
#  - the LAN list (the peer program hosting a team game) and the online room
#    list (the stand-in room server) write the mode's name in the icon's plate.
# Pictures go to OUT: campaigns_*.png, missions_*.png, host_*.png, lan_*.png,
# online_*.png.
set -uo pipefail
game="$1"
peer="$2"
server="$3"
out="$4"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out/game"
source "$(dirname "$0")/../support/lan_peers.sh"
peerpid=""
serverpid=""
trap '[ -n "$peerpid" ] && kill "$peerpid" 2>/dev/null; [ -n "$serverpid" ] && kill "$serverpid" 2>/dev/null' EXIT

port=$(freeport)
"$peer" --host --port "$port" --type 3 --seconds 400 --name Harbourmaster >"$out/peer.log" 2>&1 &
peerpid=$!
await "$out/peer.log" "hosting" 20 || fail "the peer did not host: $(cat "$out/peer.log")"
"$server" -port 0 -room "Flag day:4:1" -room "Harbour brawl:2:0:3" >"$out/server.out" 2>&1 &
serverpid=$!
await "$out/server.out" "listening on port" 20 || fail "the room server did not start"
roomport=$(sed -n 's/.*listening on port \([0-9]*\).*/\1/p' "$out/server.out")

printf '%s\n' "$skip" >"$out/skip.script"
# show NAME LANG PAGE FRAMES [options...]: one page from a fresh save folder.
show() {
    local name="$1" lang="$2" page="$3" frames="$4"
    shift 4
    rm -rf "$out/game/tree/save"
    LANG="$lang" LC_ALL= LC_MESSAGES= "$run" -width 960 -height 640 -fixeddt 0.0166 -lanaddr 127.0.0.1 \
        -frames "$frames" -menupage "$page" -inputscript "$out/skip.script" "$@" \
        -dumpframe "$((frames - 10)):$out/$name.png" >"$out/$name.out" 2>&1 || fail "the $name run did not end cleanly"
    grep -q "page shown: $page" "$out/$name.out" || fail "$page did not show for $name"
}

codes=()
for lang in en_US de_DE ja_JP ko_KR; do
    code="${lang%%_*}"
    codes+=("$code")
    show "campaigns_$code" "$lang.UTF-8" campaigns 200
    show "missions_$code" "$lang.UTF-8" missions:1 200
    show "host_$code" "$lang.UTF-8" lancreate 200
    show "lan_$code" "$lang.UTF-8" lan 300 -netport "$port"
    show "online_$code" "$lang.UTF-8" online 260 -roomserver "127.0.0.1:$roomport"
done

python3 - "$out" "${codes[@]}" <<'PY' || fail "the pictures are not right"
import sys
from png_pixels import rgb_rows
out, codes = sys.argv[1], sys.argv[2:]
ok = True
def load(name):
    return rgb_rows(f"{out}/{name}.png")
def bright(rows, x0, y0, x1, y1):
    return sum(1 for y in range(y0, y1) for x in range(x0, x1) if sum(rows[y][x]) > 600)
def light_blue(rows, x0, y0, x1, y1):
    return sum(1 for y in range(y0, y1) for x in range(x0, x1)
               if rows[y][x][2] > 150 and rows[y][x][1] > 120 and rows[y][x][2] >= rows[y][x][0])
def differ(a, b, x0, y0, x1, y1):
    return sum(1 for y in range(y0, y1) for x in range(x0, x1)
               if sum(abs(p - q) for p, q in zip(a[y][x], b[y][x])) > 120)
def check(good, what):
    global ok
    print(("ok   " if good else "FAIL ") + what)
    ok = ok and good

# The campaign map: the name area of the third campaign's button, right of its number disc.
name_area = (612, 194, 812, 250)
maps = {c: load(f"campaigns_{c}") for c in codes}
for c in codes:
    n = bright(maps[c], *name_area)
    check(n > 60, f"{c}: the third campaign's name is written ({n} bright pixels)")
for i, a in enumerate(codes):
    for b in codes[i + 1:]:
        n = differ(maps[a], maps[b], *name_area)
        check(n > 60, f"{a}/{b}: the campaign names differ ({n} pixels)")

# The first mission card's top line: text columns, then a gap of 10 pixels
# or more between the number and the title.
for c in codes:
    rows = load(f"missions_{c}")
    cols = [x for x in range(175, 595) if any(sum(rows[y][x]) > 540 for y in range(220, 244))]
    gap = max((b - a for a, b in zip(cols, cols[1:])), default=0)
    check(len(cols) > 40 and gap >= 10, f"{c}: the card's number and title are {gap} pixels apart")

# Host a Game: nothing of the lines inside the name box's ends; the lines drawn beside it.
for c in codes:
    rows = load(f"host_{c}")
    inside = light_blue(rows, 305, 148, 380, 190) + light_blue(rows, 580, 148, 655, 190)
    beside = light_blue(rows, 180, 90, 300, 225) + light_blue(rows, 660, 90, 780, 225)
    check(inside < 15 and beside > 60, f"{c}: host lines {inside} pixels in the name box, {beside} beside it")

# The plates under the mode icons of the LAN row and of the first online room.
for c in codes:
    n = bright(load(f"lan_{c}"), 95, 300, 245, 326)
    check(n > 40, f"{c}: the LAN row's plate names the mode ({n} bright pixels)")
    n = bright(load(f"online_{c}"), 168, 238, 322, 266)
    check(n > 40, f"{c}: the online room's plate names the mode ({n} bright pixels)")
sys.exit(0 if ok else 1)
PY
grep -q "players\|hosting" "$out/peer.log" || fail "the peer log is empty"
echo "PASS"
