#!/usr/bin/env bash
# The real game under Xvfb on the campaign road, from the campaign list
# ("-menupage campaigns") driven by "-inputscript": by mouse, by keys and by
# the controller to the first mission's briefing, whose map moves a blue
# plane between two frames two seconds apart while the side's flag shows in
# the left panel; fly loads the mission and frames of flight follow. A comic
# opened with "-menupage comic:c1_end" turns its pages by drag and by keys;
# the dogfight list shows its first card, which a press starts wherever it
# comes up. A briefing opened by its mission's name shows its aircraft line in
# Japanese. A mission lost by a crash opens the failure page, whose Resume
# flies it again from its checkpoint; a mission's story comic shows over its
# flight. Pictures go to the output folder.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"

# Pixel checks on the dumped frames, in Python without extra modules.
check() {
    python3 - "$@" <<'PY'
import sys
from png_pixels import rgb_rows as pixels
def blue(rows, x0, x1):
    pts = [(x, y) for y, row in enumerate(rows) for x, (r, g, b) in enumerate(row[x0:x1], x0)
           if 110 < b < 170 and r < 40 and g < 40]
    if not pts: return 0, 0.0, 0.0
    return len(pts), sum(p[0] for p in pts) / len(pts), sum(p[1] for p in pts) / len(pts)
def differ(a, b):
    return sum(1 for ra, rb in zip(a, b) for pa, pb in zip(ra, rb) if sum(abs(u - v) for u, v in zip(pa, pb)) > 60)
what = sys.argv[1]
if what == 'briefing':
    a, b = pixels(sys.argv[2]), pixels(sys.argv[3])
    w = len(a[0])
    na, xa, ya = blue(a, w // 2, w); nb, xb, yb = blue(b, w // 2, w)
    print(f"blue plane pixels {na} at {xa:.0f},{ya:.0f} then {nb} at {xb:.0f},{yb:.0f}")
    # The flag's red and white roundel inside the left panel.
    flag = sum(1 for row in a[140:600] for r, g, bb in row[140:w // 2 - 80] if r > 180 and g < 90 and bb < 90)
    print(f"flag red pixels in the left panel {flag}")
    sys.exit(0 if na > 20 and nb > 20 and abs(xa - xb) + abs(ya - yb) > 5 and flag > 10 else 1)
if what == 'differ':
    n = differ(pixels(sys.argv[2]), pixels(sys.argv[3]))
    print(f"{n} pixels changed")
    sys.exit(0 if n > int(sys.argv[4]) else 1)
if what == 'bright':
    rows = pixels(sys.argv[2])
    # Over the whole picture, or the box X0 Y0 X1 Y1 when given.
    x0, y0, x1, y1 = (int(v) for v in sys.argv[4:8]) if len(sys.argv) > 7 else (0, 0, len(rows[0]), len(rows))
    n = sum(1 for row in rows[y0:y1] for p in row[x0:x1] if sum(p) > 240)
    print(f"{n} bright pixels")
    sys.exit(0 if n > int(sys.argv[3]) else 1)
PY
}

# 1: by mouse: campaign 1 on the map, the focused (first) card, then fly;
# the first start's control-type question is answered with its OK.
cat >"$out/mouse.script" <<S
$skip
200 click 400 395
240 clickfocus
480 clickfocus
550 click 640 588
S
"$run" "${common[@]}" -menupage campaigns -inputscript "$out/mouse.script" -frames 840 \
    -dumpframe "230:$out/mouse_missions.png" -dumpframe "340:$out/briefing_a.png" \
    -dumpframe "460:$out/briefing_b.png" -dumpframe "830:$out/flight.png" >"$out/mouse.out" 2>&1 \
    || fail "the mouse run did not end cleanly"
grep -q "page shown: CampaignMenuFrame" "$out/mouse.out" || fail "the click did not open the mission list"
grep -q "page shown: BriefingMenuFrame" "$out/mouse.out" || fail "the first card did not open its briefing"
check briefing "$out/briefing_a.png" "$out/briefing_b.png" || fail "the briefing map or flag is not right"
grep -q "briefing: fly campaign 0 mission 0 difficulty 1 resume 0" "$out/mouse.out" || fail "fly did not start mission 1"
check differ "$out/briefing_b.png" "$out/flight.png" 200000 || fail "no flight after fly"

# 2: by keys: down from the back button to the first campaign, the focused
# card, fly.
cat >"$out/keys.script" <<S
$skip
190 key Down
200 key Enter
240 key Enter
300 key Enter
S
"$run" "${common[@]}" -menupage campaigns -inputscript "$out/keys.script" -frames 320 \
    -dumpframe "280:$out/keys_briefing.png" >"$out/keys.out" 2>&1 || fail "the key run did not end cleanly"
grep -q "page shown: BriefingMenuFrame" "$out/keys.out" || fail "the keys did not reach the briefing"
grep -q "briefing: fly campaign 0 mission 0" "$out/keys.out" || fail "the key did not fly"

# 3: by the controller.
cat >"$out/pad.script" <<S
$skip
190 pad dpdown
200 pad a
240 pad a
S
"$run" "${common[@]}" -menupage campaigns -inputscript "$out/pad.script" -frames 300 \
    -dumpframe "290:$out/pad_briefing.png" >"$out/pad.out" 2>&1 || fail "the controller run did not end cleanly"
grep -q "page shown: BriefingMenuFrame" "$out/pad.out" || fail "the controller did not reach the briefing"

# 4: a comic turned by a drag, then back and on by keys.
cat >"$out/comic.script" <<S
$skip
200 drag 1000 300 200 300 12
300 key Left
360 key Right
S
"$run" "${common[@]}" -menupage comic:c1_end -inputscript "$out/comic.script" -frames 420 \
    -dumpframe "190:$out/comic_1.png" -dumpframe "290:$out/comic_2.png" >"$out/comic.out" 2>&1 \
    || fail "the comic run did not end cleanly"
[ "$(grep -c "comic page 2 of 2" "$out/comic.out")" -eq 2 ] || fail "the comic did not turn to page 2 by drag and by key"
grep -q "comic page 1 of 2" "$out/comic.out" || fail "the comic did not turn back by key"
check differ "$out/comic_1.png" "$out/comic_2.png" 100000 || fail "the comic's pages look the same"

# 5: the dogfight list; a press on the first card dragged off it and let go
# there still starts that challenge.
printf '%s\n%s\n' "$skip" "215 drag 558 343 300 620 8" >"$out/dogfights.script"
"$run" "${common[@]}" -menupage dogfights -inputscript "$out/dogfights.script" -frames 240 \
    -dumpframe "210:$out/dogfights.png" >"$out/dogfights.out" 2>&1 || fail "the dogfight run did not end cleanly"
grep -q "page shown: dogfights" "$out/dogfights.out" || fail "the dogfight list was not reached"
check bright "$out/dogfights.png" 5000 468 272 648 392 || fail "the dogfight card is not drawn"
grep -q "dogfight 0 on map 0" "$out/dogfights.out" || fail "a press on the card let go off it started nothing"
# 6: a briefing reached by its mission's name, in Japanese (a fresh save
# folder takes the account's language): the aircraft line starts with its
# label, whose full-width colon stands right before the name.
rm -rf "$out/tree/save"
LANG=ja_XX.UTF-8 LC_ALL= LC_MESSAGES= "$run" "${common[@]}" -menupage briefing:c2m3 -inputscript <(echo "$skip") \
    -frames 300 -textboxes -dumpframe "290:$out/briefing_c2m3.png" >"$out/named.out" 2>&1 ||
    fail "the named briefing run did not end cleanly"
grep -q "page shown: briefing:c2m3" "$out/named.out" || fail "the briefing of c2m3 was not reached"
check bright "$out/briefing_c2m3.png" 60000 || fail "the briefing of c2m3 is not drawn"
grep -Eq "^text [0-9]+ \| [0-9. ]+ \| 機体：[^ ]" "$out/briefing_c2m3.png.texts" ||
    fail "the aircraft line is not \"機体：<name>\": $(grep 機体 "$out/briefing_c2m3.png.texts")"
# The runs below read English texts: a fresh save folder again.
rm -rf "$out/tree/save"

# 7: a mission lost by crashing opens the failure page, and its Resume button,
# clicked with the mouse, flies the mission again from its checkpoint. The
# run is steered through a pipe in step with its frames: the foe placed ahead
# of the guns falls and the checkpoint is saved; a push of the stick points
# the nose at the ground.
log="$out/fail.out"
pipe="$out/fail.pipe"
rm -f "$pipe"
mkfifo "$pipe" || fail "no pipe at $pipe"
exec 3<>"$pipe"
(exec 3>&- && cd "$out" && exec "$run" -width 960 -height 640 -quality 0 -fixeddt 0.0166667 -seed 3 \
    -autostart 1:c1m1 -testplace foe -textboxes -inputpipe "$pipe" -frames 3000 >"$log" 2>&1) &
game_pid=$!
printf '%s\n' "200 keydown Space" "360 keyup Space" "365 keydown W" "408 keyup W" >&3
frame=400
until grep -q "page shown: CampaignFailMenuFrame" "$log"; do
    frame=$((frame + 50))
    [ "$frame" -lt 1500 ] || fail "the dive never ended the mission: $(grep -E "crash|achievement event [56]$" "$log" | tail -3)"
    steer_to "$frame"
done
grep -q "checkpoint saved" "$log" || fail "no checkpoint was saved before the crash"
grep -q "the player's airplane crashes" "$log" || fail "the mission was lost without a crash"
grep -q "achievement event 5$" "$log" && fail "the mission was won before the crash"
printf '%s\n' "$((frame + 10)) shot fail_page.png" >&3
steer_to $((frame + 12))
read -r rx ry < <(awk -F'|' '$1 ~ /^text / && $3 ~ /^ *Resume *$/ { split($2, b, " "); printf "%d %d\n", b[1] + b[3] / 2, b[2] + b[4] / 2; exit }' \
    "$out/fail_page.png.texts")
[ -n "${ry:-}" ] || fail "the failure page shows no Resume button"
printf '%s\n' "$((frame + 20)) click $rx $ry" >&3
resumed=$((frame + 20))
until grep -q "mission resumed from its checkpoint" "$log"; do
    resumed=$((resumed + 50))
    [ "$resumed" -lt $((frame + 900)) ] || fail "Resume did not fly the mission again from its checkpoint"
    steer_to "$resumed"
done
grep -q "mission 0 of campaign 0 again (checkpoint 1)" "$log" || fail "Resume did not ask for the checkpoint"
printf '%s\n' "$((resumed + 120)) shot resumed.png" "$((resumed + 130)) close" "$((resumed + 131)) sync" >&3
exec 3>&-
wait "$game_pid" || fail "the failure run did not end cleanly: $(tail -3 "$log")"
rm -f "$pipe"
[ "$(grep -c "page shown: CampaignFailMenuFrame" "$log")" -eq 1 ] || fail "the failure page came again after Resume"
check differ "$out/fail_page.png" "$out/resumed.png" 100000 || fail "no flight after Resume"

# 8: the second campaign's first mission tells its story: a comic shows over
# the mission a second in, and its end button goes back to the flight.
cat >"$out/story.script" <<S
520 key Esc
S
"$run" -width 960 -height 640 -quality 0 -fixeddt 0.0166667 -autostart 1:c2m1 -inputscript "$out/story.script" \
    -frames 640 -dumpframe "500:$out/story_comic.png" -dumpframe "630:$out/story_flight.png" >"$out/story.out" 2>&1 \
    || fail "the story run did not end cleanly"
grep -q "comic data/comics/c2_start.cfg" "$out/story.out" || fail "the mission's comic did not open"
grep -q "page shown: ComicsMenuFrame" "$out/story.out" || fail "the comic page was not shown"
python3 - "$out/story_comic.png" <<'PY' || fail "the comic's picture is not on the screen during the mission"
import sys
from png_pixels import rgb_rows
rows = rgb_rows(sys.argv[1])
# The comic's cream paper round its panels.
paper = sum(1 for row in rows for r, g, b in row if r > 230 and g > 225 and 200 < b < 235)
print("paper", paper)
sys.exit(0 if paper > 20000 else 1)
PY
check differ "$out/story_comic.png" "$out/story_flight.png" 100000 || fail "the flight did not come back after the comic"
echo "PASS"
