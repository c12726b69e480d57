#!/usr/bin/env bash
# What play reports reaches the player, in the real game under Xvfb: the
# achievement events the game logs as it counts them, the account statistics
# and achievements it saves, and the HUD's event lines it logs as it shows
# them. Logs and pictures go to the output folder.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"
small=(-width 720 -height 480 -quality 0 -fixeddt 0.0166)
counted() { grep -q "progress: achievement event $2\$" "$1"; }

# A team deathmatch: the level start's two events, the player's missile
# launch (F), and the shot-down lines of the match on the HUD.
# The picture shows the first of them on the HUD.
printf '%s\n' "300 key F" >"$out/td.script"
"$run" "${small[@]}" -autostart 3:0 -inputscript "$out/td.script" -frames 2100 -dumpframe "1800:$out/td_line.png" \
    >"$out/td.out" 2>&1 ||
    fail "the team deathmatch run did not end cleanly: $(tail -5 "$out/td.out")"
counted "$out/td.out" 1 || fail "the level start was not counted"
counted "$out/td.out" 2 || fail "the streaks' level start was not counted"
counted "$out/td.out" 38 || fail "the player's missile launch was not counted"
# Between two other pilots the line stands apart by two spaces on each side.
grep -q "hud: event line: .*[^ ]  was shot down by  [^ ]" "$out/td.out" || fail "no shot-down line between two others reached the HUD"

# Survival: its start earns "ridedietogether"; the player bails out (J) once
# the first wave is in the air: the ejection is counted, its line shows, and
# the saved account statistics hold it and the achievement.
printf '%s\n' "1000 key J" >"$out/srv.script"
"$run" "${small[@]}" -autostart 6:0 -inputscript "$out/srv.script" -frames 1500 -dumpframe "1030:$out/srv_eject.png" \
    >"$out/srv.out" 2>&1 || fail "the survival run did not end cleanly: $(tail -5 "$out/srv.out")"
counted "$out/srv.out" 50 || fail "the survival start was not counted"
counted "$out/srv.out" 12 || fail "the player's ejection was not counted"
grep -q "hud: event line: You bailed out" "$out/srv.out" || fail "no ejection line reached the HUD"
grep -q 'progress: achievement "ridedietogether" earned' "$out/srv.out" || fail "no play achievement was earned"
saves=$(ls -d "$out"/tree/save/*/ | head -1)
stats="$saves/steam_userstats.txt"
[ -s "$stats" ] || fail "no account statistics were saved"
grep -q "^stat eject_count 1$" "$stats" || fail "the saved statistics hold no ejection: $(cat "$stats")"
grep -q "^achievement ridedietogether$" "$stats" || fail "the saved achievements miss the earned one: $(cat "$stats")"

# The HUD's long-message panel (darker than the sky behind the kill line)
# in the top left of the 720x480 frame, under the dials' plate: true when a
# later picture shows it where the first, before any kill, does not.
panel_shown() {
    python3 - "$@" <<'PY'
import sys
from png_pixels import rgb_rows
first = rgb_rows(sys.argv[1])
for path in sys.argv[2:]:
    rows = rgb_rows(path)
    dark = sum(1 for y in range(106, 140) for x in range(22, 106) if sum(first[y][x]) - sum(rows[y][x]) > 60)
    if dark > 34 * 84 // 3:
        sys.exit(0)
sys.exit(1)
PY
}

# A team deathmatch in which the player's guns shoot down three bots, each
# held ahead of them in turn by -testplace foe, in one life: every kill is
# counted, its line shows on the HUD, the streak earns "rookie", and the saved
# account statistics hold the kills and the achievement.
game_tree "$game" "$out/kill"
printf '%s\n' "400 keydown Space" "2700 keyup Space" >"$out/kill.script"
shots=()
for f in 600 650 700 750 800 850 900; do shots+=(-dumpframe "$f:$out/kill_$f.png"); done
"$run" "${small[@]}" -autostart 3:0 -testplace foe -inputscript "$out/kill.script" -frames 2800 "${shots[@]}" \
    >"$out/kill.out" 2>&1 || fail "the kill run did not end cleanly: $(tail -5 "$out/kill.out")"
[ "$(grep -c "hud: event line: You shot down " "$out/kill.out")" -eq 3 ] ||
    fail "not three kill lines reached the HUD: $(grep "event line" "$out/kill.out")"
[ "$(grep -c "progress: achievement event 15\$" "$out/kill.out")" -eq 3 ] || fail "not three airplane kills were counted"
counted "$out/kill.out" 41 || fail "no hit of the player's guns was counted"
grep -q 'progress: achievement "rookie" earned' "$out/kill.out" || fail "three kills in one life did not earn rookie"
stats="$(ls -d "$out"/kill/tree/save/*/ | head -1)/steam_userstats.txt"
grep -q "^stat enemy_kills 3$" "$stats" || fail "the saved statistics miss the kills: $(cat "$stats")"
grep -q "^achievement rookie$" "$stats" || fail "the saved achievements miss rookie: $(cat "$stats")"
panel_shown "$out"/kill_*.png || fail "no picture of the run shows the kill line's panel"

# A team deathmatch in which -testplace burningfoe puts an enemy ahead, on
# fire as a heavy hit leaves it: for the first 5 s of the fire its label
# carries a second line, "On fire" in red, and then the label goes on alone.
dumps=()
for frame in $(seq 380 20 1000); do dumps+=(-dumpframe "$frame:$out/fire_$frame.png"); done
"$run" "${small[@]}" -autostart 3:0 -testplace burningfoe -textboxes -frames 1010 "${dumps[@]}" >"$out/fire.out" 2>&1 ||
    fail "the burning foe's run did not end cleanly: $(tail -5 "$out/fire.out")"
grep -q "test placement: airplane [0-9]* burns" "$out/fire.out" || fail "no enemy was set on fire ahead of the player"
python3 - "$out" "$(dirname "$0")/../support" <<'CHECK' || fail "the burning enemy's label did not show its red line for its first 5 s"
import glob, re, sys
sys.path.insert(0, sys.argv[2])
import png_pixels
shown, after = [], []
for path in sorted(glob.glob(sys.argv[1] + "/fire_*.png.texts"), key=lambda p: int(re.search(r"_(\d+)\.png", p).group(1))):
    frame = int(re.search(r"_(\d+)\.png", path).group(1))
    texts = [line.rstrip("\n").split(" | ", 2) for line in open(path, encoding="utf-8") if line.startswith("text ")]
    fire = [[float(v) for v in box.split()] for _, box, text in texts if text == "On fire"]
    labels = [text for _, _, text in texts if "%" in text]
    if fire:
        x, y, w, h = fire[0]
        image = png_pixels.read_png(path[:-6])
        box = (int(x), int(y), int(x + w) + 1, int(y + h) + 1)
        red = sum(1 for px, py in png_pixels.region(image, box)
                  if (lambda r, g, b: r > 200 and g < 60 and b < 60)(*png_pixels.pixel(image, px, py)))
        if red == 0:
            sys.exit("%s: the line is not red" % path)
        shown.append(frame)
    elif labels and shown:
        after.append(frame)
if not shown:
    sys.exit("no picture shows the line")
# Drawn from the fire's start for 5 s (300 frames), one picture in 20 frames.
if shown[-1] - shown[0] > 300 or not after or after[0] < shown[-1]:
    sys.exit("the line showed in frames %s, the label alone in %s" % (shown, after))
print("the red line in frames %d to %d, the label alone from %d" % (shown[0], shown[-1], after[0]))
CHECK

# Capture the flag: -testplace flag puts the player over the enemy flag,
# which the game's touch rule gives it, and then over its own flag, where the
# game's capture rule scores: both notices show, the capture is counted and
# "captureflag" is earned and saved.
game_tree "$game" "$out/ctf"
: >"$out/ctf.script"
"$run" "${small[@]}" -autostart 4:0 -testplace flag -inputscript "$out/ctf.script" -frames 700 \
    -dumpframe "450:$out/ctf_taken.png" -dumpframe "550:$out/ctf_captured.png" >"$out/ctf.out" 2>&1 ||
    fail "the capture-the-flag run did not end cleanly: $(tail -5 "$out/ctf.out")"
grep -q "hud: notice: You have the enemy flag" "$out/ctf.out" || fail "the taken flag's notice did not show"
grep -q "hud: notice: You captured the flag" "$out/ctf.out" || fail "the capture's notice did not show"
counted "$out/ctf.out" 25 || fail "the capture was not counted"
stats="$(ls -d "$out"/ctf/tree/save/*/ | head -1)/steam_userstats.txt"
grep -q "^achievement captureflag$" "$stats" || fail "the saved achievements miss captureflag: $(cat "$stats")"

# Capture the flag again, -testplace flagaway: with the enemy flag the player
# flies past the arena's edge and an enemy's missile comes after it. The
# carrier's line to turn back and "Incoming missile!" both show, the line
# standing above the warning, not across it.
game_tree "$game" "$out/away"
dumps=()
for frame in $(seq 420 5 640); do dumps+=(-dumpframe "$frame:$out/away_$frame.png"); done
"$run" "${small[@]}" -autostart 4:0 -testplace flagaway -textboxes -inputscript "$out/ctf.script" -frames 660 \
    "${dumps[@]}" >"$out/away.out" 2>&1 || fail "the flag carry out of the arena did not end cleanly: $(tail -5 "$out/away.out")"
grep -q "carries the enemy flag out of the arena, a missile behind it" "$out/away.out" ||
    fail "the player's airplane did not carry the flag out of the arena under a missile"
python3 - "$out" <<'CHECK' || fail "no picture shows the carrier's line and the missile warning apart"
import glob, sys
both = 0
for path in sorted(glob.glob(sys.argv[1] + "/away_*.png.texts")):
    boxes = {}
    for line in open(path, encoding="utf-8"):
        if line.startswith("text "):
            _, box, text = line.rstrip("\n").split(" | ", 2)
            boxes[text] = [float(v) for v in box.split()]
    line, warning = boxes.get("Turn back: the flag goes home outside the arena"), boxes.get("Incoming missile!")
    if line and warning:
        both += 1
        if line[1] + line[3] > warning[1] + 1.0:
            sys.exit("%s: the carrier's line %s runs across the warning %s" % (path, line, warning))
print("%d pictures show the carrier's line over the missile warning" % both)
sys.exit(0 if both else 1)
CHECK

# The first mission of the first campaign counts its own start beside the level's.
"$run" "${small[@]}" -autostart 1:c1m1 -frames 240 >"$out/campaign.out" 2>&1 ||
    fail "the campaign run did not end cleanly: $(tail -5 "$out/campaign.out")"
counted "$out/campaign.out" 131 || fail "the first mission's start was not counted"
counted "$out/campaign.out" 2 || fail "the mission's level start was not counted"
echo "play reports reach the achievements, the statistics and the HUD: ok"
