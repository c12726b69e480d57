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

# The game is steered through a pipe in step with its frames, and steps on
# only as far as the lines of the match have come: a chat line shows for two
# seconds of game time, and the peer talks on real time, so pictures taken
# at fixed frames catch the lines only when the machine's speed happens to fit.
pipe="$out/run/input.pipe"
peer_lines() { grep -c "hud: event line: Wingman: Line at" "$log"; }
# "steer_until_a_line FRAME": steps from FRAME until a new line of the peer's
# reached the HUD; leaves the frame the game waits at in "frame".
steer_until_a_line() {
    local before
    before=$(peer_lines)
    frame=$1
    while [ "$(peer_lines)" -le "$before" ]; do
        frame=$((frame + 5))
        [ "$frame" -lt 4000 ] || fail "no line of the peer's reached the HUD at ${w}x${h}"
        steer_to "$frame"
    done
}

# width height y-of-the-control-type-OK
for size in "960 640 470" "1920 1080 690"; do
    read -r w h ok <<<"$size"
    port=$(freeport)
    log="$out/run/game_${w}x${h}.out"
    rm -f "$pipe" "$out/chat_list_${w}x${h}.png" "$out/chat_keyboard_${w}x${h}.png"
    piped_game "$w" "$h" "$pipe" "${common[@]}" -netport "$port" -autohost 2:0 -frames 6000
    # The control-type question of a fresh profile first.
    printf '%s\n' "$skip" "150 click $((w / 2)) $ok" "250 click $((w / 2)) $ok" "300 sync" >&3
    await "$log" "LAN host start" 60 || fail "the game did not host: $(tail -5 "$log")"
    lines=()
    for t in $(seq 3 3 240); do lines+=(--at "$t:chat:Line at $t s"); done
    timeout 300 "$peer" --join "127.0.0.1:$port" --seconds 250 --name Wingman "${lines[@]}" >"$out/run/peer.log" 2>&1 3>&- &
    peer_pid=$!
    # Once the peer talks, T opens the chat page; a tap on its text box, centred
    # right of the list with its top at half the height, brings up the keyboard.
    steer_until_a_line 300
    printf '%s\n' "$frame key T" "$((frame + 40)) shot chat_list_${w}x${h}.png" \
        "$((frame + 60)) click $((w * 3 / 4 + 10)) $((h / 2 + 27))" >&3
    # With the keyboard up, the next line of the match shows above it.
    steer_until_a_line $((frame + 100))
    printf '%s\n' "$((frame + 10)) shot chat_keyboard_${w}x${h}.png" "$((frame + 20)) close" "$((frame + 21)) sync" >&3
    exec 3>&-
    wait "$game_pid" || fail "the ${w}x${h} run did not end cleanly: $(tail -5 "$log")"
    kill "$peer_pid" 2>/dev/null
    wait "$peer_pid" 2>/dev/null
    rm -f "$pipe"
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
