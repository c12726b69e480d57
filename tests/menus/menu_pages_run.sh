#!/usr/bin/env bash
# The real game under Xvfb reaching the set-up and options pages with
# "-menupage" and driven by "-inputscript": the music slider dragged to its
# start is saved as volume 0; a quality changed and applied ends the game with
# code 0, writes "graphics.cfg" (new quality, vsync 1) and leaves the settings
# file alone, and the next start runs at that quality; damaged bindings are
# kept beside the defaults and the player is told, as are damaged settings,
# their notice alone over the main menu. Pages with controls of
# their own open on their back button, so Enter on arrival leads back. The
# game runs from a tree
# of its own so that its save folder is the test's.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"

# 1: the audio page, the music slider dragged to its start, then back.
cat >"$out/audio.script" <<S
$skip
200 drag 665 417 430 417 20
260 key Esc
S
"$run" "${common[@]}" -menupage audio -inputscript "$out/audio.script" -frames 300 \
    -dumpframe "230:$out/audio_dragged.png" >"$out/audio.out" 2>&1 || fail "the audio run did not end cleanly"
grep -q "page shown: audio" "$out/audio.out" || fail "the audio page was not reached"
grep -q "music 1 volume 0.00" "$out/audio.out" || fail "the music volume was not saved as 0"

# 1b: the Sound page reached by a click on its button on the options page
# opens on its back button: Enter at once leads back to the options page and
# leaves the sound on.
cat >"$out/sound.script" <<S
$skip
200 click 887 262
240 key Enter
S
"$run" "${common[@]}" -menupage options -inputscript "$out/sound.script" -frames 300 >"$out/sound.out" 2>&1 ||
    fail "the sound run did not end cleanly"
log="$out/sound.out"
in_order "page shown: AudioMenuFrame" "sound saved: sound 1 " "page shown: OptionsMenuFrame"
grep -q "sound saved: sound 0" "$log" && fail "Enter on arriving at the Sound page switched the sound off"
# 1c: so do the other pages with controls of their own: Enter on arrival
# leads back to the main menu, with no page opened, no match started.
for page in graphics achievements campaigns dogfights; do
    printf '%s\n%s\n' "$skip" "200 key Enter" >"$out/arrive.script"
    "$run" "${common[@]}" -menupage "$page" -inputscript "$out/arrive.script" -frames 260 >"$out/arrive_$page.out" 2>&1 ||
        fail "the $page arrival run did not end cleanly"
    shown=$(grep -o "page shown: [A-Za-z]*Frame" "$out/arrive_$page.out" | sed 's/page shown: //' | tr '\n' ' ')
    case "$shown" in
    "MainMenuFrame "*"MenuFrame MainMenuFrame ") ;;
    *) fail "Enter on arriving at $page did not lead back alone: $shown" ;;
    esac
    grep -q "dogfight [0-9]* on map" "$out/arrive_$page.out" && fail "Enter on arriving at $page started a dogfight"
done

# 2: the graphics page: quality one step up, then apply.
saves=$(ls -d "$out"/tree/save/*/ | head -1)
before=$(cksum <"$saves/tq2_settings.bin")
cat >"$out/graphics.script" <<S
$skip
200 click 706 325
230 click 640 627
S
"$run" "${common[@]}" -quality 2 -menupage graphics -inputscript "$out/graphics.script" -frames 600 \
    -dumpframe "220:$out/graphics_changed.png" >"$out/graphics.out" 2>&1
code=$?
[ "$code" -eq 0 ] || fail "apply ended the game with code $code"
grep -q "page shown: graphics" "$out/graphics.out" || fail "the graphics page was not reached"
frames=$(grep -c "" "$out/graphics.out")
grep -q "^quality 3" "$saves/graphics.cfg" || fail "graphics.cfg lacks quality 3: $(cat "$saves/graphics.cfg")"
grep -q "^vsync 1" "$saves/graphics.cfg" || fail "graphics.cfg lacks vsync 1"
[ "$(cksum <"$saves/tq2_settings.bin")" = "$before" ] || fail "applying rewrote the settings file"

# 3: the next start runs at the new quality.
"$run" -width 1280 -height 720 -frames 20 >"$out/second.out" 2>&1 || fail "the second start failed"
grep -q "quality 3" "$out/second.out" || fail "the second start did not run at quality 3"
# 4: a damaged "controls.cfg": the defaults apply, the player's file is kept
# as "controls.cfg.bad", and the menus tell so once; the notice's button
# closes it, and the end of the run writes whole bindings again, which the
# next start reads without a word.
printf '<controls><broken' >"$saves/controls.cfg"
rm -f "$saves/controls.cfg.bad"
cat >"$out/damaged.script" <<S
$skip
200 click 330 304
S
"$run" "${common[@]}" -menupage options -inputscript "$out/damaged.script" -frames 300 -textboxes \
    -dumpframe "190:$out/damaged_notice.png" -dumpframe "290:$out/damaged_closed.png" >"$out/damaged.out" 2>&1 ||
    fail "the run with damaged bindings did not end cleanly"
python3 "$support_dir/text_fit.py" "$out/damaged_notice.png.texts" || fail "the bindings notice's text does not fit its box"
grep -q "controls.cfg: not readable XML; the default bindings apply; the damaged file is kept as controls.cfg.bad" \
    "$out/damaged.out" || fail "the damaged bindings were not logged as kept: $(grep controls.cfg "$out/damaged.out")"
[ "$(grep -c 'notice shown: controls reset' "$out/damaged.out")" -eq 1 ] || fail "the notice was not shown once"
[ "$(cat "$saves/controls.cfg.bad")" = "<controls><broken" ] || fail "controls.cfg.bad does not hold the damaged file"
grep -q '<controls version="1">' "$saves/controls.cfg" || fail "the run's end wrote no whole controls.cfg"
n=$(python3 "$pixels" diff "$out/damaged_notice.png" "$out/damaged_closed.png" 430 250 860 470) || fail "no notice pictures"
[ "$n" -ge 2000 ] || fail "the notice was not drawn, or its button did not close it ($n pixels)"
"$run" -width 1280 -height 720 -frames 60 >"$out/after.out" 2>&1 || fail "the start after the notice failed"
if grep -q -e "notice shown" -e "controls.cfg:" "$out/after.out"; then
    fail "the bindings written back were not read quietly: $(grep -e notice -e controls.cfg "$out/after.out")"
fi
[ "$(cat "$saves/controls.cfg.bad")" = "<controls><broken" ] || fail "the kept copy changed"
# A bindings file too large to read (2 MiB) is moved aside whole, told the same
# way; a statistics file with a damaged line is kept beside and told next.
{ printf '<controls version="1">'; head -c 2097152 /dev/zero | tr '\0' ' '; } >"$saves/controls.cfg"
large=$(cksum <"$saves/controls.cfg") && rm -f "$saves/controls.cfg.bad"
stats="$saves/steam_userstats.txt" && cp -p "$stats" "$out/stats.kept" 2>/dev/null
printf 'stat enemy_kills 12\n\001\376 broken\nachievement ACH_FIRST_KILL\n' >"$stats" && rm -f "$stats.bad"
"$run" "${common[@]}" -menupage options -inputscript "$out/damaged.script" -frames 300 \
    -dumpframe "190:$out/large_notice.png" >"$out/large.out" 2>&1 || fail "the run with 2 MiB bindings did not end cleanly"
grep -q 'notice shown: controls reset' "$out/large.out" && [ "$(cksum <"$saves/controls.cfg.bad")" = "$large" ] &&
    [ "$(stat -c %s "$saves/controls.cfg")" -lt 1048576 ] || fail "2 MiB bindings not kept and told: $(grep controls "$out/large.out")"
grep -q 'notice shown: statistics damaged' "$out/large.out" && cmp -s "$stats" "$stats.bad" &&
    grep -q 'steam_userstats.txt: 1 damaged line skipped, the first at line 2; the damaged file is kept as steam_userstats.txt.bad' \
    "$out/large.out" || fail "damaged statistics not kept and told: $(grep -e steam_userstats -e notice "$out/large.out")"
rm -f "$stats" "$stats.bad" && { [ ! -e "$out/stats.kept" ] || mv "$out/stats.kept" "$stats"; }
# 5: the chat slots: a slot still holding its default text takes what the
# on-screen keys type in its place ("HI" by mouse on H, I and OK), and a slot
# whose keyboard is cancelled keeps its default; leaving the page stores
# them, and the next start shows both.
cat >"$out/chat.script" <<S
$skip
200 click 448 280
220 click 685 466
230 click 865 394
240 click 1039 538
270 click 448 360
290 click 78 246
310 key Esc
S
# letters X0 Y0 X1 Y1 FILE: bright text pixels in the box.
letters() {
    python3 -c "import sys; sys.path.insert(0, sys.argv[1]); from png_pixels import rgb_rows
rows = rgb_rows(sys.argv[2]); x0, y0, x1, y1 = (int(v) for v in sys.argv[3:7])
print(sum(1 for row in rows[y0:y1] for p in row[x0:x1] if min(p) > 200))" "$support_dir" "$5" "$1" "$2" "$3" "$4"
}
"$run" "${common[@]}" -menupage customchat -inputscript "$out/chat.script" -frames 340 \
    -dumpframe "300:$out/chat_typed.png" >"$out/chat.out" 2>&1 || fail "the chat slot run did not end cleanly"
"$run" "${common[@]}" -menupage customchat -inputscript <(printf '%s\n' "$skip") -frames 240 \
    -dumpframe "230:$out/chat_again.png" >"$out/chat_again.out" 2>&1 || fail "the chat slot restart failed"
for shot in chat_typed chat_again; do
    # Left of a short text centred in the slot there is no writing; the
    # default text reaches there.
    [ "$(letters 275 265 390 295 "$out/$shot.png")" -le 5 ] || fail "$shot: the typed text was added to the default one"
    [ "$(letters 275 345 390 375 "$out/$shot.png")" -ge 40 ] || fail "$shot: the cancelled slot lost its default text"
    [ "$(letters 400 265 500 295 "$out/$shot.png")" -ge 20 ] || fail "$shot: the typed text is not shown"
done
# 6: damaged settings at 960x640 greet the player over the first main menu,
# whose browse arrows still show: the notice's text keeps to its box, and no
# arrow stands beside the box.
head -c 40 /dev/zero | tr '\0' 'x' >"$saves/tq2_settings.bin"
"$run" -width 960 -height 640 -fixeddt 0.0166 -inputscript <(printf '%s\n' "$skip") -frames 200 -textboxes \
    -dumpframe "190:$out/settings_notice.png" >"$out/settings_notice.out" 2>&1 || fail "the damaged settings run failed"
grep -q "notice shown: settings reset" "$out/settings_notice.out" || fail "no notice of the damaged settings"
grep -q "| MenuAlert$" "$out/settings_notice.png.texts" || fail "the notice's box is not listed"
python3 "$support_dir/text_fit.py" "$out/settings_notice.png.texts" || fail "the settings notice or arrows beside it"
echo "PASS ($frames log lines in the apply run; notice $n pixels)"
