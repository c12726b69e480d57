#!/usr/bin/env bash
# A hosted last man standing restarted in the real game: the game hosts
# (-autohost 13:0) on its real clock, two peers join and crash out of the
# first round, so the game's pilot is the last one standing. The end table
# opens over the end tune and the orbit round the player's airplane; ten
# seconds later the host starts the next match, which must close the table,
# put the view back to the chosen one and stop the tune: the log says so,
# and the frames before and after show it (table over the orbit, then the
# chase view with the horizon and no table). The peers stay for the second
# match and see it start. Pictures: before.png and after.png in the output
# folder (the other frames, dumped every 45, are dropped).
set -uo pipefail
pids=()
source "$(dirname "$0")/../support/game_tree.sh"
source "$(dirname "$0")/../support/lan_peers.sh"
lan_run "$@"
mkdir -p "$out/frames"
rm -f "$out"/frames/*.png
printf '%s\n%s\n' "$skip" "60 click 640 510" >"$out/skip.script"

dumps=()
for f in $(seq 300 45 12000); do dumps+=(-dumpframe "$f:$out/frames/$f.png"); done
common=(-width 1280 -height 720 -quality 0 -lanaddr 127.0.0.1)
port=$(freeport)
game_hosts "$out/host.out" -netport "$port" -autohost 13:0 -inputscript "$out/skip.script" -logplayer 30 \
    -frames 100000 "${dumps[@]}"
trap 'kill "$game_pid" "${pids[@]}" 2>/dev/null' EXIT
for wing in Wing1 Wing2; do
    timeout 200 "$peer" --join "127.0.0.1:$port" --seconds 150 --matches 2 --name "$wing" --at 32:crash \
        >"$out/$wing.log" 2>&1 &
    pids+=($!)
    sleep 0.3
done
log="$out/host.out"
await "$log" "match reset: view mode" 1 >/dev/null
# The second reset is the next match (the first came with the level).
for _ in $(seq 1 600); do
    [ "$(grep -c "match reset: view mode" "$log")" -ge 2 ] && break
    sleep 0.25
done
[ "$(grep -c "match reset: view mode" "$log")" -ge 2 ] || fail "the host never started a next match: $(grep -v ALSA "$log" | tail -15)"
# Some seconds of the new match (six lines of the player's log: slower on a
# busy machine), then the game and the peers may go.
after_reset() {
    local at
    at=$(grep -n "match reset: view mode 6" "$log" | head -1 | cut -d: -f1)
    [ -n "$at" ] && tail -n +"$at" "$log" | grep -c "frame [0-9]*"
}
for _ in $(seq 1 240); do
    [ "$(after_reset)" -ge 6 ] 2>/dev/null && break
    sleep 0.25
done
kill "$game_pid" 2>/dev/null
wait "$game_pid" 2>/dev/null
for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
trap - EXIT

grep -q "crashed" "$out/Wing1.log" || fail "Wing1 never crashed: $(tail -5 "$out/Wing1.log")"
grep -q "match ended" "$out/Wing1.log" || fail "Wing1 never saw the match end"
# In order: the end table over the end tune and the orbit, then the next
# match closes it, the view back to the chosen one and the tune silent.
from=1
in_order() {
    local pattern line
    for pattern in "$@"; do
        line=$(tail -n +"$from" "$log" | grep -n -m1 -- "$pattern" | cut -d: -f1)
        [ -n "$line" ] || fail "\"$pattern\" missing or out of order: $(grep -v ALSA "$log" | tail -20)"
        from=$((from + line))
    done
}
in_order "match reset: view mode" "pause screen opened (menu 1)" "page shown: SkirmishEndMenuFrame" \
    "match reset: view mode 6 to 0, music playing to silent" "overlay closed by the game"
grep -q "page shown: GameResultMenuFrame" "$log" && fail "the next match left for the result page"

# The frames: the last one dumped before the reset and one about two
# seconds after it, found by the frame numbers the player's log gives.
reset_line=$(grep -n "match reset: view mode 6" "$log" | head -1 | cut -d: -f1)
frame_before=$(head -n "$reset_line" "$log" | grep -o "frame [0-9]*" | tail -1 | cut -d' ' -f2)
frame_after=$(tail -n +"$reset_line" "$log" | grep -o "frame [0-9]*" | sed -n 5p | cut -d' ' -f2)
[ -n "$frame_before" ] && [ -n "$frame_after" ] || fail "no player log round the reset"
pick() {  # the dumped frame nearest below the number
    local f=$(( 300 + (($1 - 300) / 45) * 45 ))
    while [ "$f" -ge 300 ] && [ ! -f "$out/frames/$f.png" ]; do f=$((f - 45)); done
    echo "$out/frames/$f.png"
}
before=$(pick "$frame_before")
after=$(pick "$((frame_after + 60))")
[ -f "$before" ] && [ -f "$after" ] || fail "the frames round the reset were not dumped ($frame_before, $frame_after)"
cp "$before" "$out/before.png"
cp "$after" "$out/after.png"
echo "frames: before $before, after $after"
[ -n "${KEEP_FRAMES:-}" ] || rm -rf "$out/frames"

# Before: the table's dark panel over the middle. After: no panel, a sky
# brighter than the ground below it (the horizon of the chase view).
python3 - "$out/before.png" "$out/after.png" <<'PY' || fail "the pictures do not show the table closed and the chase view back"
import sys
from png_pixels import rgb_rows
before, after = rgb_rows(sys.argv[1]), rgb_rows(sys.argv[2])
h, w = len(after), len(after[0])
def mean(rows, x0, y0, x1, y1):
    px = [sum(rows[y][x]) / 3 for y in range(y0, y1, 2) for x in range(x0, x1, 2)]
    return sum(px) / len(px)
def changed(a, b, x0, y0, x1, y1):
    n = t = 0
    for y in range(y0, y1, 3):
        for x in range(x0, x1, 3):
            t += 1
            n += sum(abs(p - q) for p, q in zip(a[y][x], b[y][x])) > 90
    return n / t
top = mean(after, 0, 0, w, h // 5)
bottom = mean(after, 0, h * 4 // 5, w, h)
middle = changed(before, after, w // 4, h // 4, w * 3 // 4, h * 3 // 4)
print("after: sky %.0f ground %.0f; middle changed %.2f" % (top, bottom, middle))
sys.exit(0 if top > bottom + 10 and middle > 0.3 else 1)
PY
echo PASS
