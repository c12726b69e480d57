#!/usr/bin/env bash
# The real game under Xvfb paused and resumed by the back key: a free flight
# started with "-autostart 10:0" and the first mission with "-autostart
# 1:c1m1", that one in Japanese once its waypoint is set. The frame during the
# pause shows the pause page with its title band over the darkened game (the
# mission's objectives in the player's language and units); a frame after the
# second back shows the game without it. The pause's Controls button leads to
# a controls page whose back button names the pause page. Survival's score
# table held by Tab has the achievement pop-up over it. Pictures go to the
# output folder.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"

# Back, a wait, back again.
printf '%s\n' "300 key Esc" "420 key Esc" >"$out/free_flight.script"
printf '%s\n' "900 key Esc" "1020 key Esc" >"$out/campaign.script"

check() {
    python3 - "$@" <<'PY'
import sys
from png_pixels import rgb_rows as pixels
paused, after = pixels(sys.argv[1]), pixels(sys.argv[2])
h, w = len(paused), len(paused[0])
# The title band: the top rows dark behind the title, across the width.
band = [p for row in paused[2:20] for p in row[100:w - 100]]
dark = sum(1 for r, g, b in band if r + g + b < 150) / len(band)
# The page's light outline along the banner's edge, in nearly every column.
def outlined(rows):
    cols = 0
    for x in range(0, w, 4):
        if any(100 < rows[y][x][0] < 200 and rows[y][x][1] > 140 and rows[y][x][2] > 170 and
               rows[y + 3][x][2] < rows[y][x][2] - 40 for y in range(25, 70)):
            cols += 1
    return cols / len(range(0, w, 4))
changed = sum(1 for ra, rb in zip(paused, after) for pa, pb in zip(ra, rb)
              if sum(abs(u - v) for u, v in zip(pa, pb)) > 60) / (w * h)
print(f"dark band {dark:.2f}, banner edge columns {outlined(paused):.2f} then {outlined(after):.2f}, changed {changed:.2f}")
sys.exit(0 if dark > 0.9 and outlined(paused) > 0.9 and outlined(after) < 0.5 and changed > 0.25 else 1)
PY
}

for road in "10:0 FreeFlightPauseMenuFrame free_flight en 300" "1:c1m1 PauseCampaignMenuFrame campaign ja 900"; do
    set -- $road
    # A fresh save folder takes the account's language.
    rm -rf "$out/tree/save"
    LANG="$4_XX.UTF-8" LC_ALL= LC_MESSAGES= "$run" "${common[@]}" -autostart "$1" -inputscript "$out/$3.script" \
        -frames $(($5 + 200)) -textboxes -dumpframe "$(($5 + 60)):$out/$3_paused.png" \
        -dumpframe "$(($5 + 180)):$out/$3_after.png" >"$out/$3.out" 2>&1 || fail "the $3 run did not end cleanly"
    grep -q "page shown: $2" "$out/$3.out" || fail "back did not open the $3 pause page"
    check "$out/$3_paused.png" "$out/$3_after.png" || fail "the $3 pause page or the game after it is not right"
done
# The waypoint's distance in the unit the HUD's height dial names in Japanese.
grep -Eq "^text -?[0-9]+ \| [0-9. ]+ \| 次のウェイポイント：[0-9]+ フィート$" "$out/campaign_paused.png.texts" ||
    fail "the waypoint row is not in Japanese feet: $(grep -E 'ウェイポイント|FT' "$out/campaign_paused.png.texts")"
# The free flight's pause by keys to its Controls button: the controls page's
# back button names the pause page, where back returns.
rm -rf "$out/tree/save"
printf '%s\n' "300 key Esc" "330 key Left" "340 key Left" "350 key Enter" "420 key Esc" >"$out/controls.script"
"$run" "${common[@]}" -autostart 10:0 -inputscript "$out/controls.script" -frames 460 -textboxes \
    -dumpframe "400:$out/controls_in_game.png" >"$out/controls.out" 2>&1 || fail "the controls run did not end cleanly"
[ "$(grep -o 'page shown: [A-Za-z]*' "$out/controls.out" | tail -3 | tr '\n' ' ')" = \
    "page shown: FreeFlightPauseMenuFrame page shown: ControlsMenuFrame page shown: FreeFlightPauseMenuFrame " ] ||
    fail "the pause's Controls button and back did not lead there and back: $(grep 'page shown' "$out/controls.out")"
back=$(awk -F' [|] ' '/^frame [0-9]+ -1 leaf .*ResizableButton$/ { split($1, w, " "); id = w[2] }
    /^text / { split($1, w, " "); if (w[2] == id && id != "") print $3 }' "$out/controls_in_game.png.texts" | head -1)
[ "$back" = "Free Flight" ] || fail "the controls page's back button reads \"$back\", not the pause page's name"
# Survival's score table held by Tab while its first achievement's pop-up
# shows: the pop-up lies over the table, its name drawn after the table's rows.
rm -rf "$out/tree/save"
printf '%s\n' "280 keydown Tab" "420 keyup Tab" >"$out/held.script"
"$run" -width 960 -height 640 -fixeddt 0.0166 -quality 0 -autostart 6:0 -inputscript "$out/held.script" -frames 380 \
    -textboxes -dumpframe "300:$out/held_scores.png" -dumpframe "360:$out/held_scores2.png" >"$out/held.out" 2>&1 ||
    fail "the held scores run did not end cleanly"
log="$out/held.out"
in_order 'achievement "ridedietogether" earned' "page 1 held over the HUD"
for shot in held_scores held_scores2; do
    python3 - "$out/$shot.png.texts" <<'PY' || fail "$shot: the pop-up is not drawn over the held score table"
import sys
texts = [line.split(" | ")[2].strip() for line in open(sys.argv[1]) if line.startswith("text ")]
at = [i for i, t in enumerate(texts) if t.startswith("Ride or Die")]
rows = [i for i, t in enumerate(texts) if t in ("SCORE", "DEATHS", "PLANE", "P-51D")]
print(sys.argv[1], "pop-up at", at, "table texts at", rows, "of", len(texts))
sys.exit(0 if at and rows and min(at) > max(rows) else 1)
PY
done

# Games one after another in one process, each second game set beside the
# same game started fresh at 960x640: the relief mission (c2m2) left on its
# pause's radio log by Restart, then quit with its countdown running; a team
# deathmatch, left with the large radar; a free-for-all; the HUD lesson quit
# at its first step, with the dials and radar hidden; a free-for-all. The
# HUD's labels, the radar's place, the countdown, the pause's first page and
# each map's tune are those of a fresh start.
rm -rf "$out/tree/save"
small=(-width 960 -height 640 -fixeddt 0.0166)
printf '%s\n' "424 key Esc" "470 drag 700 350 150 350 20" "560 click 634 610" "760 key Esc" "800 click 80 610" \
    "860 key Esc" "900 click 827 484" "940 click 234 482" "980 click 470 256" "1300 key R" "1340 key Esc" \
    "1380 click 63 601" "1440 key Enter" "1500 click 131 240" "1540 click 470 256" "1900 key Esc" \
    "1940 click 118 601" "2000 key Enter" "2060 click 912 54" "2120 click 300 383" "2400 key Esc" \
    "2440 click 123 610" "2500 key Esc" "2560 click 131 240" "2600 click 470 256" >"$out/sequence.script"
log="$out/sequence.out"
"$run" "${small[@]}" -autostart 1:c2m2 -inputscript "$out/sequence.script" -frames 2910 -textboxes \
    -dumpframe "400:$out/seq_mission.png" -dumpframe "550:$out/seq_log_page.png" \
    -dumpframe "780:$out/seq_restarted_pause.png" -dumpframe "1290:$out/seq_tdm.png" \
    -dumpframe "1320:$out/seq_tdm_large_radar.png" -dumpframe "1890:$out/seq_ffa.png" \
    -dumpframe "2390:$out/seq_lesson.png" -dumpframe "2900:$out/seq_ffa_after_lesson.png" >"$log" 2>&1 ||
    fail "the sequence run did not end cleanly: $(tail -3 "$log")"
for fresh in "3:0 tdm" "2:0 ffa"; do
    set -- $fresh
    "$run" "${small[@]}" -autostart "$1" -frames 310 -textboxes -dumpframe "300:$out/fresh_$2.png" \
        >"$out/fresh_$2.out" 2>&1 || fail "the fresh $2 run did not end cleanly"
done
# Every game of the sequence played its map's tune, the restarted mission too.
in_order "match of type 1 " "map music \"data/sounds/music/high_patrol.mp3\"" "match of type 1 " \
    "map music \"data/sounds/music/high_patrol.mp3\"" "match of type 3 " "map music \"data/sounds/music/into_the_fray" \
    "match of type 2 " "map music \"data/sounds/music/into_the_fray" "match of type 9 " \
    "tutorial 0: step 1" "map music \"data/sounds/music/high_patrol.mp3\"" "match of type 2 " \
    "map music \"data/sounds/music/into_the_fray"
python3 - "$out" <<'PY' || fail "a game after another is not as the same game started fresh"
import re, sys
out = sys.argv[1]
def texts(name):
    rows = []
    for line in open(f"{out}/{name}.png.texts", encoding="utf-8"):
        m = re.match(r"text (-?\d+) \| ([-\d.]+) ([-\d.]+) [-\d.]+ [-\d.]+ \| (.*)$", line.rstrip("\n"))
        if m:
            rows.append((int(m[1]), float(m[2]), float(m[3]), m[4]))
    return rows
def labels(name):
    # The HUD's own words; names, counts and clocks change from game to game.
    return sorted(t for i, x, y, t in texts(name) if i == -1 and ";" not in t and re.search(r"[A-Za-z]{2}|^[NESW]$", t))
def north(name):
    return [(x, y) for i, x, y, t in texts(name) if i == -1 and t == "N"]
def has(name, text):
    return any(t == text for i, x, y, t in texts(name))
ok = True
def expect(cond, what):
    global ok
    print(("ok: " if cond else "FAIL: ") + what)
    ok = ok and cond
expect(has("seq_mission", "Time left:"), "the mission's countdown runs before it is left")
expect(has("seq_log_page", "Radio log"), "the pause was swiped to its radio log")
expect(has("seq_restarted_pause", "Objectives") and not has("seq_restarted_pause", "Radio log"),
       "the restarted mission's pause opens on its objectives")
expect(north("seq_tdm_large_radar") != north("seq_tdm"), "the radar key made the radar large")
for second, fresh in (("seq_tdm", "fresh_tdm"), ("seq_ffa", "fresh_ffa"), ("seq_lesson", None),
                      ("seq_ffa_after_lesson", "fresh_ffa")):
    if fresh is None:
        expect("MPH" not in labels(second), "the lesson hides the speed dial at its first step")
        continue
    expect(labels(second) == labels(fresh), f"{second} shows the HUD's words of {fresh}: {labels(second)}")
    expect(not has(second, "Time left:"), f"{second} has no countdown")
    a, b = north(second), north(fresh)
    expect(len(a) == 1 and len(b) == 1 and abs(a[0][0] - b[0][0]) < 3 and abs(a[0][1] - b[0][1]) < 3,
           f"{second}'s radar stands where {fresh}'s does: {a} {b}")
sys.exit(0 if ok else 1)
PY
echo "pause pages in the game, and games one after another: ok"
