#!/usr/bin/env bash
# The real game under Xvfb driven by "-inputscript" through the player's own
# pages: the key set-up reached from the controls page rebinds a key in
# "controls.cfg", and by keys alone shows the waiting button red; the
# profile takes a typed name and leads to the painting, where the dragged
# sliders turn the menu plane's painted parts magenta and the row is stored
# on leaving; the weapon page opened from the statistics
# panel stores a loadout; the virtual controller's stick moves its meter on
# the controller page. A second start shows what the first one saved.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"

# 1: controls, its set-up button, the second binding of Pitch Down, the K key;
# the second binding of Pitch Up and the virtual controller's X button; back twice.
cat >"$out/keys.script" <<S
$skip
200 click 792 476
240 click 716 340
270 key K
300 click 716 296
330 pad x
360 key Esc
390 key Esc
S
"$run" "${common[@]}" -menupage controls -inputscript "$out/keys.script" -frames 440 \
    -dumpframe "250:$out/setkeys_capture.png" >"$out/keys.out" 2>&1 || fail "the key set-up run did not end cleanly"
grep -q "page shown: SetKeysMenuFrame" "$out/keys.out" || fail "the key set-up was not reached from the controls page"
grep -q "binding 3.1 set: kind 4 code 20" "$out/keys.out" || fail "K was not bound to Pitch Down"
grep -q "binding 2.1 set: kind 2 code 2" "$out/keys.out" || fail "the controller's X was not bound to Pitch Up"
saves=$(ls -d "$out"/tree/save/*/ | head -1)
grep -q '<action name="Pitch_Down" kind1="4" code1="[0-9]*" kind2="4" code2="20"' "$saves/controls.cfg" ||
    fail "controls.cfg lacks the new binding: $(grep Pitch_Down "$saves/controls.cfg" | head -1)"
grep -q '<action name="Pitch_Up" kind1="4" code1="[0-9]*" kind2="2" code2="2"' "$saves/controls.cfg" ||
    fail "controls.cfg lacks the controller binding: $(grep Pitch_Up "$saves/controls.cfg" | head -1)"

# 1b: the key set-up by keys alone: Down focuses a binding and Enter waits for
# a key there; the waiting button is opaque red though it holds the focus.
# N (bound to nothing yet) binds it, and the button, still focused, pulses again with no red left.
cat >"$out/bykeys.script" <<S
$skip
200 key Down
230 key Enter
270 key N
S
"$run" "${common[@]}" -menupage setkeys -inputscript "$out/bykeys.script" -frames 330 -textboxes \
    -dumpframe "250:$out/bykeys_waiting.png" -dumpframe "258:$out/bykeys_waiting2.png" \
    -dumpframe "320:$out/bykeys_bound.png" >"$out/bykeys.out" 2>&1 || fail "the keys-only set-up run did not end cleanly"
grep -Eq "binding [0-9]+\.0 set: kind 4 code 23" "$out/bykeys.out" || fail "N was not bound by keys alone"
# The box of the button that shows N, from the texts' list beside the picture.
read -r bx by bw bh < <(python3 - "$out/bykeys_bound.png.texts" <<'PY'
import sys
frames, owner = {}, None
for line in open(sys.argv[1], encoding="utf-8"):
    head, _, rest = line.rstrip("\n").partition(" | ")
    words = head.split()
    if words[0] == "frame":
        frames[words[1]] = [int(float(v)) for v in rest.split(" | ")[0].split()]
    elif words[0] == "text" and rest.split(" | ")[-1] == "N":
        owner = words[1]
if owner in frames:
    print(*frames[owner])
PY
)
[ -n "${bh:-}" ] || fail "no binding button shows N"
area=("$bx" "$by" "$((bx + bw))" "$((by + bh))")
for shot in waiting waiting2; do
    red=$(python3 "$pixels" red "$out/bykeys_$shot.png" "${area[@]}")
    [ "$red" -gt 300 ] || fail "the focused button waiting for a key is not red ($shot: $red pixels)"
done
red=$(python3 "$pixels" red "$out/bykeys_bound.png" "${area[@]}")
pink=$(python3 "$pixels" pink "$out/bykeys_bound.png" "${area[@]}")
[ "$red" -eq 0 ] && [ "$pink" -gt 300 ] || fail "once bound the focused button stays red ($red red, $pink focus pixels)"

# 2: the profile: a new name typed, then the painting with saturation up and
# the hue at magenta; back stores the row, back again leaves the profile.
cat >"$out/profile.script" <<S
$skip
200 click 830 700
230 key Backspace
232 key Backspace
234 key Backspace
236 key Backspace
238 key Backspace
245 text Maverick
260 key Enter
300 click 1140 700
360 drag 1178 537 1178 262 20
400 drag 495 510 742 510 20
470 key Esc
500 key Esc
S
"$run" "${common[@]}" -menupage profile -inputscript "$out/profile.script" -frames 540 \
    -dumpframe "340:$out/painting_before.png" -dumpframe "460:$out/painting_magenta.png" \
    >"$out/profile.out" 2>&1 || fail "the profile run did not end cleanly"
grep -q 'pilot name now "Maverick"' "$out/profile.out" || fail "the typed name was not taken"
grep -q "page shown: PlanePaintingMenuFrame" "$out/profile.out" || fail "the painting was not reached"
grep -Eq "paint of plane [0-9]+ stored: (29[0-9]|30[0-9]|31[0-9]) 1.00" "$out/profile.out" ||
    fail "no magenta row stored: $(grep 'paint of plane' "$out/profile.out")"
before=$(python3 "$pixels" magenta "$out/painting_before.png" 300 200 1000 485)
after=$(python3 "$pixels" magenta "$out/painting_magenta.png" 300 200 1000 485)
[ "$before" -lt 50 ] || fail "magenta before painting: $before"
[ "$after" -gt 500 ] || fail "the plane's painted parts did not turn magenta: $after pixels"

# 3: the weapon page from the statistics panel; the third rocket card chosen.
cat >"$out/weapons.script" <<S
$skip
200 click 210 297
240 click 706 412
290 key Esc
S
"$run" "${common[@]}" -inputscript "$out/weapons.script" -frames 330 \
    -dumpframe "280:$out/weapons_chosen.png" >"$out/weapons.out" 2>&1 || fail "the weapon run did not end cleanly"
grep -q "page shown: WeaponSelectionMenuFrame" "$out/weapons.out" || fail "the weapon page was not opened from the panel"
grep -Eq "loadout [0-9]+ -1" "$out/weapons.out" || fail "no loadout stored: $(grep loadout "$out/weapons.out")"

# 4: the controller page; the virtual controller's left stick pushed right.
cat >"$out/pad.script" <<S
$skip
5 axis leftx 0
200 axis leftx 32767
S
"$run" "${common[@]}" -menupage joycfg -inputscript "$out/pad.script" -frames 260 \
    -dumpframe "190:$out/joycfg_rest.png" -dumpframe "240:$out/joycfg_moved.png" >"$out/pad.out" 2>&1 ||
    fail "the controller run did not end cleanly"
grep -q "page shown: joycfg" "$out/pad.out" || fail "the controller page was not reached"
moved=$(python3 "$pixels" diff "$out/joycfg_rest.png" "$out/joycfg_moved.png" 430 190 720 250)
[ "$moved" -gt 10 ] || fail "the axis meter did not move ($moved pixels)"

# 5: the next start shows the saved name and keeps the new binding.
cat >"$out/again.script" <<S
$skip
S
"$run" "${common[@]}" -menupage profile -inputscript "$out/again.script" -frames 120 >"$out/again.out" 2>&1 ||
    fail "the second start failed"
grep -q 'profile of "Maverick"' "$out/again.out" || fail "the name was not saved in the settings file"
grep -q 'kind2="4" code2="20"' "$saves/controls.cfg" || fail "the binding was lost"
echo "PASS"
