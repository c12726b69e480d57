#!/usr/bin/env bash
# The real game under Xvfb reaching the set-up and options pages with
# "-menupage" and driven by "-inputscript": the music slider dragged to its
# start is saved as volume 0; a quality changed and applied ends the game with
# code 0, writes "graphics.cfg" (new quality, vsync 1) and leaves the settings
# file alone, and the next start runs at that quality; damaged bindings are
# kept beside the defaults and the player is told. The game runs from a tree
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
200 click 358 332
S
"$run" "${common[@]}" -menupage options -inputscript "$out/damaged.script" -frames 300 \
    -dumpframe "190:$out/damaged_notice.png" -dumpframe "290:$out/damaged_closed.png" >"$out/damaged.out" 2>&1 ||
    fail "the run with damaged bindings did not end cleanly"
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
echo "PASS ($frames log lines in the apply run; notice $n pixels)"
