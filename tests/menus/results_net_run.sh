#!/usr/bin/env bash
# A joined LAN match that its host ends: the peer program hosts a free-for-all
# with a one-kill limit and shoots the game's airplane down as soon as it is
# in play. The game, joined with "+connect", must show the end table with the
# server's line, leave it for the result page, which names the match's map and
# server under its rows, and continue back to the LAN list.
# Then a joined team deathmatch: the game, on the team other than the peer
# host's, opens its team page and clicks Switch Team with the mouse. Its
# airplane goes down, the host moves it to its own team, and the game's HUD
# shows the new friends and foes: every insignia in view before and after
# wears the colour its team has against the player's team of the moment,
# and nothing counts the switch as a collision. The steep-climb warning of
# the airplane that was climbing at the switch does not stay over the
# countdown to the new one.
# Then a joined last man standing whose countdown deaths do not count.
# Then a destroy-the-base round joined while it runs: the bases' health
# bars show the host's whole health, not a quarter of it.
# Last, a joined free-for-all paused by the pause button while the airplane
# earns an achievement: its pop-up slides in over the page.
# Pictures: net_table.png, net_result.png, net_lan.png, team_before.png,
# team_climb.png, team_page.png, team_wait.png, team_wait2.png,
# team_after.png, lms_table.png, lms_result.png, dtb_bases.png,
# pause_page.png, pause_page2.png and pause_after.png in the output folder.
set -uo pipefail
game="$1"
peer="$2"
out="$3"
source "$(dirname "$0")/../support/game_tree.sh"
mkdir -p "$out" || fail "no output folder $out"
run_dir="$out/net_run"
game_tree "$game" "$run_dir"
source "$(dirname "$0")/../support/lan_peers.sh"
# "peer_hosts DIR OPTION...": the peer program hosts on a free port ("port"),
# logging to DIR/host.log; its process in "peer_pid". A run that fails early
# does not leave it hosting on.
peer_hosts() {
    local dir="$1"; shift
    port=$(freeport)
    timeout 200 "$peer" --host --port "$port" --name Harbourmaster "$@" >"$dir/host.log" 2>&1 &
    peer_pid=$!
    trap 'kill "$peer_pid" 2>/dev/null' EXIT
    await "$dir/host.log" "hosting" 10 || fail "the peer did not host: $(cat "$dir/host.log")"
}
# "play_joined DIR WHAT LINE... -- OPTION...": the game joins the peer's
# host on "port" with the options, logging to DIR/game.out ("log"); its
# input script passes the splash screens and the first start's question of
# the control type (its OK), then plays LINE.... The host is stopped after.
play_joined() {
    local dir="$1" what="$2" lines=()
    shift 2
    while [ "$#" -gt 0 ] && [ "$1" != "--" ]; do lines+=("$1"); shift; done
    shift
    printf '%s\n' "$skip" "60 click 640 510" "${lines[@]}" >"$dir/joiner.script"
    log="$dir/game.out"
    "$run" "${common[@]}" -netport "$port" +connect "127.0.0.1:$port" -inputscript "$dir/joiner.script" "$@" \
        >"$log" 2>&1 || fail "the joined $what run did not end cleanly: $(tail -5 "$log")"
    kill "$peer_pid" 2>/dev/null
    wait "$peer_pid" 2>/dev/null
    trap - EXIT
}
# "labelled_boxes TEXTS LABEL": "x y w h" of each button or box that a
# -textboxes list shows reading LABEL.
labelled_boxes() {
    python3 - "$1" "$2" <<'PY'
import sys
boxes, texts = {}, {}
for line in open(sys.argv[1]):
    parts = [p.strip() for p in line.split("|")]
    if line.startswith("frame "):
        boxes[parts[0].split()[1]] = parts[1]
    elif line.startswith("text "):
        texts.setdefault(parts[0].split()[1], parts[2])
for i, text in texts.items():
    if text == sys.argv[2] and i in boxes:
        print(boxes[i])
PY
}
peer_hosts "$run_dir" --seconds 80 --score-limit 1 --at 3:destroy

# The first start asks for the control type: its OK. The table opens a few
# hundred frames later; Enter on its leave button, then Enter once the count
# is done.
cat >"$run_dir/net.script" <<S
$skip
60 click 640 510
800 key Enter
1150 key Enter
S
"$run" "${common[@]}" -netport "$port" +connect "127.0.0.1:$port" -inputscript "$run_dir/net.script" -frames 1300 \
    -dumpframe "780:$out/net_table.png" -dumpframe "1100:$out/net_result.png" -dumpframe "1290:$out/net_lan.png" \
    >"$run_dir/game.out" 2>&1 || fail "the joined run did not end cleanly: $(tail -5 "$run_dir/game.out")"
wait "$peer_pid"
peer_code=$?
log="$run_dir/game.out"

grep -q "destroyed $(id -un)" "$run_dir/host.log" || fail "the host never shot the game's airplane down: $(cat "$run_dir/host.log")"
grep -q "match ended" "$run_dir/host.log" || fail "the host's match did not end on its score limit"
[ "$peer_code" -eq 0 ] || fail "the peer ended with code $peer_code: $(tail -3 "$run_dir/host.log")"
grep -q "requested join start: type 2 map 0" "$log" || fail "+connect did not start the client game"
# The lines must come in this order.
in_order "requested join start" "pause screen opened (menu 1)" "match over after .*: headline 74" \
    "page shown: SkirmishEndMenuFrame" "the finished match is left for its result" "game result:" \
    "network game result lines: Map: [A-Za-z].* / Server: Harbourmaster" "page shown: MultiPlayerMenuFrameWIFI"

# The table shows the server's line under the time box and two rows; the
# result page is not the table, carries the insignia and has text on the
# two lines after its rows.
python3 - "$out/net_table.png" "$out/net_result.png" <<'PY' || fail "the pictures do not show the table and the result"
import sys
from png_pixels import rgb_rows
table, result = rgb_rows(sys.argv[1]), rgb_rows(sys.argv[2])
def bright(rows, x0, y0, x1, y1):
    return sum(1 for y in range(y0, y1) for x in range(x0, x1) if sum(rows[y][x]) > 600)
server = bright(table, 480, 108, 800, 132)
rows_text = bright(table, 370, 200, 840, 290)
differ = sum(1 for y in range(0, 720, 4) for x in range(0, 1280, 4)
             if sum(abs(a - b) for a, b in zip(table[y][x], result[y][x])) > 120)
insignia = sum(1 for y in range(120, 400) for x in range(190, 420)
               if result[y][x][0] > 150 and result[y][x][1] > 190 and result[y][x][2] > 220)
network_lines = bright(result, 730, 215, 1110, 280)
print("server", server, "rows", rows_text, "differ", differ, "insignia", insignia, "network lines", network_lines)
ok = server > 150 and rows_text > 400 and differ > 2500 and insignia > 400 and network_lines > 150
sys.exit(0 if ok else 1)
PY

# 2: the joiner's team switch by the team page's button.
team_dir="$out/team_run"
game_tree "$game" "$team_dir"
peer_hosts "$team_dir" --type 3 --seconds 100
# In play by frame 300. The player pulls the nose up past the steep-climb
# warning's angle and holds it there; the pause button opens the team page
# and the click is on Switch Team, while the airplane still climbs.
play_joined "$team_dir" "team match" "400 keydown S" "434 keyup S" "440 click 1243 35" "500 click 836 681" -- \
    -frames 1300 -textboxes -dumpframe "380:$out/team_before.png" -dumpframe "436:$out/team_climb.png" \
    -dumpframe "480:$out/team_page.png" -dumpframe "560:$out/team_wait.png" -dumpframe "650:$out/team_wait2.png" \
    -dumpframe "1250:$out/team_after.png"
# The event line comes with the host's word that the airplane changed team.
in_order "requested join start: type 3" "pause screen opened (menu 3)" "page shown: TeamSkirmishEndMenuFrame" \
    "event line: $(id -un) joined team"
# The click lands on the button that reads Switch Team.
labelled_boxes "$out/team_page.png.texts" "Switch Team" | awk '$1 <= 836 && 836 < $1 + $3 && $2 <= 681 && 681 < $2 + $4 { hit = 1 }
    END { exit !hit }' || fail "the click at 836 681 is not on Switch Team"
# The warning of the climbing airplane goes with it: the countdown to the
# new one stands alone on the bottom line, as the player reads it and as
# the frames show it (no warning red where the warning stood).
python3 - "$out/team_climb.png" "$out/team_wait.png" "$out/team_wait2.png" <<'PY' ||
import sys
from png_pixels import rgb_rows
def texts(path):
    return [line.split(" | ") for line in open(path + ".texts") if line.startswith("text ")]
def red(path, box):
    rows = rgb_rows(path)
    x, y, w, h = (round(float(v)) for v in box.split())
    return sum(1 for j in range(y, y + h) for i in range(x, x + w) if rows[j][i][0] > 180 and rows[j][i][1] < 120
               and rows[j][i][2] < 110)
warned = [t for t in texts(sys.argv[1]) if t[2].startswith("Too steep!")]
if not warned:
    sys.exit("the climb drew no warning: %s" % [t[2].strip() for t in texts(sys.argv[1])])
box = warned[0][1]
print("warning at", box, "red there in the climb", red(sys.argv[1], box))
ok = red(sys.argv[1], box) > 500
for path in sys.argv[2:]:
    drawn = [t[2].strip() for t in texts(path)]
    waits = [t for t in drawn if t.startswith("Back in the air in")]
    print(path, "countdown", waits, "warning drawn", [t for t in drawn if t.startswith("Too steep!")],
          "red", red(path, box))
    ok = ok and waits and not any(t.startswith("Too steep!") for t in drawn) and red(path, box) < 50
sys.exit(0 if ok else 1)
PY
    fail "the steep-climb warning stays over the countdown after the switch"
python3 - "$out/team_before.png" "$out/team_after.png" <<'PY' || fail "the HUD does not show the new friends and foes"
import sys
from png_pixels import rgb_rows
# The insignia's friend and foe colours. The game lists each insignia it drew
# with the marker's team and the player's: where the airplane comes back
# decides what is in view, so each insignia is judged by its own team.
FRIEND, FOE = (42, 107, 216), (216, 52, 42)
def near(p, colour, tol=8):
    return all(abs(a - b) <= tol for a, b in zip(p, colour))
def judge(path):
    rows = rgb_rows(path)
    right = wrong = 0
    teams = set()
    for line in open(path + ".texts"):
        head, _, rest = line.partition(" | ")
        box, _, kind = rest.strip().partition(" | ")
        words = kind.split()
        if not head.startswith("frame ") or words[:1] != ["marker"]:
            continue
        team, player = int(words[2]), int(words[4])
        teams.add(player)
        x, y, w, h = (round(float(v)) for v in box.split())
        cells = [rows[j][i] for j in range(max(y, 0), min(y + h, len(rows)))
                 for i in range(max(x, 0), min(x + w, len(rows[0])))]
        friend = sum(1 for p in cells if near(p, FRIEND))
        foe = sum(1 for p in cells if near(p, FOE))
        # Two insignia one over the other say nothing.
        if max(friend, foe) < 20 or min(friend, foe) * 3 > max(friend, foe):
            continue
        if (friend > foe) == (team == player):
            right += 1
        else:
            wrong += 1
    return right, wrong, teams
b, a = judge(sys.argv[1]), judge(sys.argv[2])
print("insignia right, wrong, player's team before", b, "after", a)
sys.exit(0 if b[0] > 0 and a[0] > 0 and b[1] == 0 and a[1] == 0 and len(b[2]) == 1 and len(a[2]) == 1
         and b[2] != a[2] else 1)
PY
# The switch is no crash: no collision counted, no achievement for one,
# neither in the log nor in the statistics file the account keeps (which
# is written only when something was earned or counted).
grep -q "achievement event 45" "$log" && fail "the team switch counted a collision"
grep -q "fatalattraction" "$log" && fail "the team switch earned Fatal Attraction"
stats=$(find "$team_dir/tree" -name steam_userstats.txt | head -1)
[ -z "$stats" ] || ! grep -q "fatalattraction" "$stats" || fail "the statistics file holds Fatal Attraction: $(cat "$stats")"
# 3: last man standing, joined. The host shoots the game's airplane down
# twice while the round's countdown runs and once in the round, then ends.
# Only the round's death counts, alike on the host, in the game's end table
# and on its result page (one death's 2 points, times 3 in a network game).
# The game steps through a pipe as far as the match has come, since the
# host keeps to real time.
lms_dir="$out/lms_run"
game_tree "$game" "$lms_dir"
# The round's countdown runs 20 seconds from the join, and an airplane shot
# down is back some 12 seconds later: the first shot comes as soon as the
# airplane is in play (a late join delays all three alike), so that the
# second keeps clear of the round's start.
peer_hosts "$lms_dir" --type 13 --seconds 120 --at 1:destroy --at 13:destroy --at 30:destroy
pipe="$lms_dir/input.pipe"
log="$lms_dir/game.out"
mkfifo "$pipe" || fail "no pipe at $pipe"
exec 3<>"$pipe"
(exec 3>&- && cd "$out" && exec "$run" "${common[@]}" -netport "$port" +connect "127.0.0.1:$port" -inputpipe "$pipe" \
    -textboxes -frames 20000 >"$log" 2>&1) &
game_pid=$!
printf '%s\n' "$skip" "60 click 640 510" >&3
# "steer_until LINE WHAT": steps on half a second at a time until the log
# holds LINE; the frame reached in "frame".
steer_until() {
    until grep -q "$1" "$log"; do
        frame=$((frame + 30))
        [ "$frame" -lt 12000 ] || fail "$2 never came: $(tail -5 "$log")"
        steer_to "$frame"
    done
}
frame=60
steer_until "page shown: SkirmishEndMenuFrame" "the last-man-standing table"
printf '%s\n' "$((frame + 20)) shot lms_table.png" >&3
# The host leaves once its match is over; the game's notice of it leads on
# to the result page.
steer_until "page shown: MPServerDisconnectMenuFrame" "the notice of the host's leaving"
# Its OK button, found in the notice's picture, is clicked.
printf '%s\n' "$((frame + 10)) shot lms_lost.png" >&3
steer_to $((frame + 12))
read -r okx oky < <(labelled_boxes "$out/lms_lost.png.texts" OK | awk 'NR == 1 { printf "%d %d\n", $1 + $3 / 2, $2 + $4 / 2 }')
[ -n "${oky:-}" ] || fail "the notice of the host's leaving shows no OK button"
printf '%s\n' "$((frame + 20)) click $okx $oky" "$((frame + 160)) shot lms_result.png" "$((frame + 170)) close" \
    "$((frame + 171)) sync" >&3
exec 3>&-
wait "$game_pid" || fail "the joined last-man-standing run did not end cleanly: $(tail -5 "$log")"
kill "$peer_pid" 2>/dev/null
wait "$peer_pid" 2>/dev/null
trap - EXIT
python3 - "$lms_dir/host.log" "$log" "$out/lms_table.png.texts" "$out/lms_result.png.texts" "$(id -un)" <<'PY' ||
import re, sys
host, game, me = open(sys.argv[1]).read(), open(sys.argv[2]).read(), sys.argv[5]
# A machine slow to load the map takes the host's shots later; which fell in
# the countdown is told by the host's round notice, and the match is over
# once its round has its last man.
start = float(re.search(r"^ *([0-9.]+) notice Last man standing", host, re.M).group(1))
end = float(re.search(r"^ *([0-9.]+) match ended", host, re.M).group(1))
shots = [float(t) for t in re.findall(r"^ *([0-9.]+) destroyed " + re.escape(me) + "$", host, re.M)]
countdown, round_ = sum(1 for t in shots if t < start), sum(1 for t in shots if start <= t <= end)
def texts(path):
    return [line.split(" | ")[2].strip() for line in open(path) if line.startswith("text ")]
table, result = texts(sys.argv[3]), texts(sys.argv[4])
# The table's row: name, score, deaths, plane. One death against a pilot of
# the same rank costs 2 points, times 3 in a network game.
row = table[table.index(me):table.index(me) + 3] if me in table else []
host_row = re.search(r"score " + re.escape(me) + r" (-?[0-9]+) (-?[0-9]+)$", host, re.M)
print("deaths in the countdown", countdown, "in the round", round_, "host", host_row and host_row.groups(),
      "table row", row, "result", result)
points = "-%d" % (6 * round_)
sys.exit(0 if countdown >= 1 and round_ >= 1 and host_row and host_row.groups() == ("0", str(round_))
         and row[1:] == ["0", str(round_)] and "0/" + points in result
         and "game result: %s points" % points in game else 1)
PY
    fail "the host, the table or the result page counts the countdown's deaths, or none fell in it"

# 4: destroy the base, joined mid-round. A peer joins first so that the
# host's round starts; the game joins once the bases are open.
dtb_dir="$out/dtb_run"
game_tree "$game" "$dtb_dir"
peer_hosts "$dtb_dir" --type 5 --seconds 90
timeout 120 "$peer" --join "127.0.0.1:$port" --name Wingman --seconds 80 >"$dtb_dir/wing.log" 2>&1 &
wing_pid=$!
await "$dtb_dir/host.log" "bases open" 40 || fail "the host's round never started: $(tail -5 "$dtb_dir/host.log")"
play_joined "$dtb_dir" "destroy-the-base" -- -frames 700 -textboxes -dumpframe "640:$out/dtb_bases.png"
kill "$wing_pid" 2>/dev/null
wait "$wing_pid" 2>/dev/null
grep -q "requested join start: type 5" "$dtb_dir/game.out" || fail "the game did not join the destroy-the-base match"
grep -q "bases closed" "$dtb_dir/host.log" && fail "a base fell on the host: the round restarted"
python3 - "$out/dtb_bases.png" "$dtb_dir/host.log" <<'PY' || fail "the bases' health bars do not show the host's health"
import re, sys
from png_pixels import rgb_rows
rows = rgb_rows(sys.argv[1])
# Every base stands whole on the host (40 tenths of its 4.0).
healths = [int(h) for h in re.findall(r"base health .* ([0-9]+)$", open(sys.argv[2]).read(), re.M)]
bars = []
for line in open(sys.argv[1] + ".texts"):
    parts = [p.strip() for p in line.split("|")]
    if line.startswith("frame ") and len(parts) > 2 and parts[2].startswith("health bar"):
        x, y, w, h = (round(float(v)) for v in parts[1].split())
        # Filled cells are red or green, the rest is the bar's grey; an
        # airplane's name may be written over part of the bar, so a column
        # counts by what shows of it anywhere and a column all under the
        # letters not at all.
        cols = [[rows[j][i] for j in range(max(y, 0), min(y + h, len(rows)))]
                for i in range(max(x, 0), min(x + w, len(rows[0])))]
        fill = lambda r, g, b: max(r, g) > 40 and min(r, g) * 3 < max(r, g) and b * 3 < max(r, g)
        grey = lambda r, g, b: max(r, g, b) < 140 and max(r, g, b) - min(r, g, b) < 25
        filled = sum(1 for c in cols if any(fill(*p) for p in c))
        empty = sum(1 for c in cols if not any(fill(*p) for p in c) and any(grey(*p) for p in c))
        bars.append((float(parts[2].split()[-1]), filled / max(filled + empty, 1), (filled + empty) / max(w, 1)))
print("host's base health", healths, "bars (said, drawn, seen)", bars)
sys.exit(0 if healths and set(healths) == {40} and bars and all(said > 0.99 and drawn > 0.85 and seen > 0.3
                                                               for said, drawn, seen in bars) else 1)
PY
# 5: a joined free-for-all whose pause page the player opens with the pause
# button. The airplane, put over the map's first landmark meanwhile, earns
# its achievement under the page: the pop-up slides in over the page at the
# lower right, whole inside the screen, over the page's rows and clear of its
# buttons. The player log marks the frames, so the run knows the pop-up was
# earned before the first picture of the page.
# The player's profile holds rank 5 and the host's pilot rank 2: the page's
# rows wear each pilot's own rank glyph, the host's as its records tell it.
pause_dir="$out/pause_run"
game_tree "$game" "$pause_dir"
mkdir -p "$pause_dir/tree/save/1" && python3 "$support_dir/settings_file.py" "$pause_dir/tree/save/1/tq2_settings.bin" 0 "p1=t:$(id -un)" p3=b:5
peer_hosts "$pause_dir" --type 2 --seconds 60 --rank 2
play_joined "$pause_dir" "paused" "300 click 1243 35" "600 click 1054 681" -- -frames 700 -testplace landmark \
    -logplayer 10 -textboxes -dumpframe "520:$out/pause_page.png" -dumpframe "590:$out/pause_page2.png" \
    -dumpframe "640:$out/pause_after.png"
in_order "requested join start: type 2" "pause screen opened (menu 1)" "test placement: .* over landmark" \
    'achievement "pacificwreck" earned' "test: frame 510 "
python3 "$support_dir/rank_glyphs.py" "$out/pause_page.png.texts" "$(id -un)=5" "Harbourmaster=2" ||
    fail "the pause page's rows do not wear the pilots' ranks"
labelled_boxes "$out/pause_page2.png.texts" "Continue" | awk '$1 <= 1054 && 1054 < $1 + $3 && $2 <= 681 && 681 < $2 + $4 { hit = 1 }
    END { exit !hit }' || fail "the click at 1054 681 is not on Continue"
stats=$(find "$pause_dir/tree" -name steam_userstats.txt | head -1)
[ -n "$stats" ] && grep -q "pacificwreck" "$stats" || fail "the account did not keep \"pacificwreck\""
python3 - "$out/pause_page.png" "$out/pause_page2.png" <<'PY' ||
import sys
def texts(path):
    out = []
    for line in open(path + ".texts"):
        if line.startswith("text "):
            parts = line.split(" | ")
            # A wrapped text's lines come joined by "\\n".
            out.append((tuple(float(v) for v in parts[1].split()), " ".join(parts[2].strip().split("\\n"))))
    return out
name = "Harbour Bay: the sunken wreck"
ok = True
for path in sys.argv[1:]:
    shown = texts(path)
    popup = [box for box, t in shown if t == name]
    buttons = [box for box, t in shown if t in ("Continue", "Leave")]
    print(path, "pop-up name at", popup, "buttons at", buttons)
    # On the page, at the lower right, inside the screen and above the buttons.
    ok = ok and bool(buttons) and len(popup) == 1 and all(
        x > 640 and 480 < y < 640 and x + w <= 1280 and y + h <= min(by for _, by, _, _ in buttons)
        for x, y, w, h in popup)
sys.exit(0 if ok else 1)
PY
    fail "the achievement's pop-up was not drawn whole over the pause page"
echo PASS
