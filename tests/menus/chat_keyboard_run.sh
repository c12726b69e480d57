#!/usr/bin/env bash
# The chat typed over a LAN match the game hosts, at 960x640 and 1920x1080:
# the peer joins and talks, T opens the chat page, a tap on its text box
# brings up the keyboard, and with it up the match's messages stay in view:
# the peer's lines, its name in green, in the top-left corner.
# Pictures chat_list_WxH.png and chat_keyboard_WxH.png in the output folder.
set -uo pipefail
game="$1"
peer="$2"
out="$3"
source "$(dirname "$0")/../support/game_tree.sh"
mkdir -p "$out" || fail "no output folder $out"
game_tree "$game" "$out/run"
source "$(dirname "$0")/../support/lan_peers.sh"

# width height y-of-the-control-type-OK
for size in "960 640 470" "1920 1080 690"; do
    read -r w h ok <<<"$size"
    port=$(freeport)
    # The control-type question of a fresh profile first; the text box is
    # centred right of the list, its top at half the height.
    printf '%s\n' "$skip" "150 click $((w / 2)) $ok" "250 click $((w / 2)) $ok" "500 key T" \
        "560 click $((w * 3 / 4 + 10)) $((h / 2 + 27))" >"$out/run/chat.script"
    log="$out/run/game_${w}x${h}.out"
    # A window larger than the test display gets an X server of its own, so
    # that it and its pictures have the size asked for.
    screen=()
    if [ "$w" -gt 1280 ] && command -v xvfb-run >/dev/null; then
        screen=(xvfb-run -a -s "-screen 0 ${w}x${h}x24")
    fi
    "${screen[@]}" "$run" "${common[@]}" -width "$w" -height "$h" -netport "$port" -autohost 2:0 -inputscript "$out/run/chat.script" \
        -frames 640 -dumpframe "540:$out/chat_list_${w}x${h}.png" -dumpframe "620:$out/chat_keyboard_${w}x${h}.png" \
        >"$log" 2>&1 &
    game_pid=$!
    await "$log" "LAN host start" 60 || fail "the game did not host: $(tail -5 "$log")"
    lines=()
    # The peer talks on real time and the game counts frames: on a busy machine
    # the large window's frames come slowly, so the peer talks on until the
    # game is done with it.
    for t in $(seq 3 3 240); do lines+=(--at "$t:chat:Line at $t s"); done
    timeout 300 "$peer" --join "127.0.0.1:$port" --seconds 250 --name Wingman "${lines[@]}" >"$out/run/peer.log" 2>&1 &
    peer_pid=$!
    wait "$game_pid" || fail "the ${w}x${h} run did not end cleanly: $(tail -5 "$log")"
    kill "$peer_pid" 2>/dev/null
    wait "$peer_pid" 2>/dev/null
    grep -q "page shown: MPChatMenuFrame" "$log" || fail "T did not open the chat page at ${w}x${h}"
    python3 - "$out/chat_list_${w}x${h}.png" "$out/chat_keyboard_${w}x${h}.png" "$w" "$h" <<'PY' ||
import sys
from png_pixels import rgb_rows
page, typing = rgb_rows(sys.argv[1]), rgb_rows(sys.argv[2])
w, h = int(sys.argv[3]), int(sys.argv[4])
# The peer's name in the chat lines: green, in the top-left corner.
green = sum(1 for y in range(0, h // 3) for x in range(0, w // 3)
            if typing[y][x][1] > 180 and typing[y][x][0] < 150 and typing[y][x][2] < 150)
differ = sum(1 for y in range(0, h, 4) for x in range(0, w, 4)
             if sum(abs(a - b) for a, b in zip(page[y][x], typing[y][x])) > 120)
print(w, h, "green", green, "differ", differ)
sys.exit(0 if green > 100 and differ > w * h // 16 // 4 else 1)
PY
        fail "at ${w}x${h} the keyboard page shows no chat lines of the match"
done
echo "chat keyboard runs: 2 passed, 0 failed"
