#!/usr/bin/env bash
# The real game under Xvfb on a fresh save folder, from the main menu over the
# menu flight into a game: by keys (play, free flight, the set-up page and its
# start), by controller (the same road), and by mouse clicks through the
# tutorial question to a free-for-all; each run ends in frames of flight, sky
# above and ground or sea below. Then the options hub, the other settings and
# the language page by controller with a change of language and back twice,
# and Escape on the main menu answered "yes", which ends the game with code 0.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"

# Sky in the upper view, ground or sea in the lower: not the menus' dark pages.
flying() {
python3 - "$1" <<'PY'
import sys
from png_pixels import rgb_rows
rows = rgb_rows(sys.argv[1])
def mean(y0, y1):
    s = [0, 0, 0]; n = 0
    for y in range(y0, y1):
        for x in range(300, 460):
            for k in range(3): s[k] += rows[y][x][k]
            n += 1
    return [v / n for v in s]
sky, ground = mean(150, 200), mean(600, 650)
print("sky", [round(v) for v in sky], "ground", [round(v) for v in ground])
ok = sum(sky) > 300 and sum(ground) < sum(sky) - 60
sys.exit(0 if ok else 1)
PY
}

# 1: keys. Play, down from the campaign to survival, left to last man
# standing, up to free flight, the set-up
# page's focused random map starts.
# A first start asks for the control type before its first game: its OK.
cat >"$out/keys.script" <<S
$skip
200 key Enter
230 key Down
240 key Left
250 key Up
260 key Enter
320 key Enter
430 click 640 588
S
"$run" "${common[@]}" -inputscript "$out/keys.script" -frames 900 -dumpframe "190:$out/keys_main.png" \
    -dumpframe "235:$out/keys_play.png" -dumpframe "300:$out/keys_setup.png" -dumpframe "380:$out/keys_control_type.png" \
    -dumpframe "890:$out/keys_flight.png" >"$out/keys.out" 2>&1 || fail "the keys run did not end cleanly"
grep -q "page shown: ChooseControlTypePanel" "$out/keys.out" || fail "keys: the first game did not ask for the control type"
grep -q "control type [01] chosen" "$out/keys.out" || fail "keys: no control type chosen"
# The panel covers the screen: no sky, its dark box in the middle.
python3 - "$out/keys_control_type.png" <<'PY' || fail "keys: the control-type panel is not on screen"
import sys
from png_pixels import rgb_rows
rows = rgb_rows(sys.argv[1])
lit = sum(1 for y in range(0, 720, 8) for x in range(0, 1280, 8) if sum(rows[y][x]) > 360)
sky = sum(1 for x in range(300, 460, 4) if rows[170][x][2] > 150 and rows[170][x][2] > rows[170][x][0] + 40)
print("lit", lit, "sky", sky)
sys.exit(0 if sky == 0 and lit > 50 else 1)
PY
grep -q "page shown: MainMenuFrame" "$out/keys.out" || fail "keys: no main menu"
grep -q "page shown: PlayMenuFrame" "$out/keys.out" || fail "keys: no play menu"
grep -q "page shown: GameSetupMenuFrame" "$out/keys.out" || fail "keys: no set-up page"
grep -q "play start: type 10 map 1 result 0" "$out/keys.out" || fail "keys: free flight did not start on map 1"
flying "$out/keys_flight.png" || fail "keys: the last frame is not flight"

# 2: the same road by controller.
rm -rf "$out/tree/save"
cat >"$out/pad.script" <<S
$skip
200 pad a
230 pad dpdown
240 pad dpleft
250 pad dpup
260 pad a
320 pad a
430 click 640 588
S
"$run" "${common[@]}" -inputscript "$out/pad.script" -frames 900 -dumpframe "890:$out/pad_flight.png" \
    >"$out/pad.out" 2>&1 || fail "the controller run did not end cleanly"
grep -q "play start: type 10 map 1 result 0" "$out/pad.out" || fail "controller: free flight did not start"
flying "$out/pad_flight.png" || fail "controller: the last frame is not flight"

# 3: mouse clicks: play, free-for-all, "Not now" on the tutorial question,
# then a map of the set-up page starts.
rm -rf "$out/tree/save"
cat >"$out/mouse.script" <<S
$skip
200 click 394 650
260 click 228 285
300 click 396 517
360 click 470 300
470 click 640 588
S
# Bots fight this match and may shoot the idle player down: one frame of
# flight among several will do.
dumps=()
for f in 640 700 760 820 880 940; do dumps+=(-dumpframe "$f:$out/mouse_flight_$f.png"); done
"$run" "${common[@]}" -inputscript "$out/mouse.script" -frames 950 -dumpframe "290:$out/mouse_question.png" \
    "${dumps[@]}" >"$out/mouse.out" 2>&1 || fail "the mouse run did not end cleanly"
grep -q "play start: type 2 map 0 result 0" "$out/mouse.out" || fail "mouse: the free-for-all did not start on the first map"
seen=0
for f in 640 700 760 820 880 940; do flying "$out/mouse_flight_$f.png" && seen=1 && break; done
[ "$seen" -eq 1 ] || fail "mouse: no frame of flight"

# 4: options (right past multiplayer and the profile), other settings and
# language by controller; a new language
# rebuilds the pages and back leads to options and the main menu; Escape and
# "yes" end the game before its last frame.
rm -rf "$out/tree/save"
cat >"$out/options.script" <<S
$skip
200 pad dpright
204 pad dpright
208 pad dpright
212 pad a
260 pad dpright
270 pad dpright
280 pad a
330 pad a
340 pad b
380 pad a
430 pad dpright
440 pad a
500 pad b
540 pad b
580 key Esc
620 pad dpright
630 pad a
S
"$run" "${common[@]}" -inputscript "$out/options.script" -frames 900 -dumpframe "320:$out/options_other.png" \
    -dumpframe "480:$out/options_language.png" -dumpframe "610:$out/options_quit.png" \
    -dumpframe "890:$out/options_after_quit.png" >"$out/options.out" 2>&1
code=$?
[ "$code" -eq 0 ] || fail "the options run ended with code $code"
pages=$(grep -o "page shown: [A-Za-z]*" "$out/options.out" | sed 's/page shown: //' | tr '\n' ' ')
expected="MainMenuFrame OptionsMenuFrame OtherGameSettingsMenuFrame OptionsMenuFrame LanguageMenuFrame MainMenuFrame OptionsMenuFrame LanguageMenuFrame OptionsMenuFrame MainMenuFrame QuitGameOverlay "
[ "$pages" = "$expected" ] || fail "options: pages were: $pages"
grep -q "pages rebuilt in language 1" "$out/options.out" || fail "options: no rebuild in language 1"
[ ! -e "$out/options_after_quit.png" ] || fail "options: \"yes\" did not end the game"
echo "PASS"
