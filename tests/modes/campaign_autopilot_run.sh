#!/usr/bin/env bash
# The first campaign mission in the real game as a new player flies it: the
# airplane flown by hand for 30 s (each sortie its own way: straight, a long
# turn with the throttle up, a roll and pull with the guns going), then the
# autopilot key. The autopilot takes over wherever the hand flight left the
# airplane and keeps it in the air with its wingmen until the mission is won,
# and its kills earn no stunt; when it fights it uses its rockets or missiles
# too, not the guns alone. Beside them a pilot bails out of his burning
# airplane, which flies on without him: the mission is lost once he has come
# down under his parachute. Three sorties side by side, each at its own
# frame step and its own seed; logs under the output folder, with a frame of
# each sortie under the autopilot.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"
failures=0
check() { echo "FAIL: $1"; failures=$((failures + 1)); }

# Frame step, the autopilot key's frame (30 s in), frames in all, hand flight, seed.
sorties=(
    "0.05 600 3800 straight 1"
    "0.04 750 4700 turn 2"
    "0.0333 900 5700 pull 3"
)
hand() {  # the hand flight of a sortie before the key, in frames of its step
    local step="$1" kind="$2"
    f() { python3 -c "print(round($1 / $step))"; }
    case "$kind" in
    turn) printf '%s keydown LShift\n%s keyup LShift\n%s keydown Q\n%s keyup Q\n' \
        "$(f 1)" "$(f 3)" "$(f 5)" "$(f 15)" ;;
    pull) printf '%s keydown A\n%s keyup A\n%s keydown S\n%s keyup S\n%s keydown Space\n%s keyup Space\n' \
        "$(f 2.5)" "$(f 2.9)" "$(f 2.9)" "$(f 4.5)" "$(f 10)" "$(f 29.5)" ;;
    esac
}
pids=()
for sortie in "${sorties[@]}"; do
    set -- $sortie
    name="sortie-$4"
    { hand "$1" "$4"; printf '%s keydown P\n%s keyup P\n' "$2" "$(($2 + 2))"; } >"$out/$name.txt"
    mkdir -p "$out/$name" && cp -r "$out/tree" "$out/$name/" 2>/dev/null
    "$out/$name/tree/bin/$(basename "$game")" -width 640 -height 480 -quality 0 -fixeddt "$1" -seed "$5" -autostart 1:c1m1 \
        -frames "$3" -inputscript "$out/$name.txt" -dumpframe "$(($2 + 300)):$out/$name.png" >"$out/$name.out" 2>&1 &
    pids+=($!)
done
# The bail-out: the Eject key (J) once the airplane burns; the page of a
# lost mission follows the parachute's six seconds, not the airplane's end.
name=bailout
echo "700 key J" >"$out/$name.txt"
mkdir -p "$out/$name" && cp -r "$out/tree" "$out/$name/" 2>/dev/null
"$out/$name/tree/bin/$(basename "$game")" -width 720 -height 480 -quality 0 -fixeddt 0.0166 -autostart 1:c1m1 \
    -testplace burning -frames 1400 -inputscript "$out/$name.txt" -dumpframe "1350:$out/$name.png" >"$out/$name.out" 2>&1 &
bailout_pid=$!
i=0
wins=0
for sortie in "${sorties[@]}"; do
    set -- $sortie
    name="sortie-$4"
    wait "${pids[$i]}" || check "$name did not end cleanly: $(tail -3 "$out/$name.out")"
    i=$((i + 1))
    log="$out/$name.out"
    grep -q "the autopilot flies the player's airplane" "$log" || check "$name: the autopilot never flew"
    # The hand flight is over before the key: the airplane is still flying then.
    grep -q "achievement event 6$" "$log" && check "$name: the mission was lost (shot down or crashed)"
    grep -q "achievement event 5$" "$log" || check "$name: the mission was not won"
    # Event 70: a stunt kill, which the autopilot's kills are not.
    grep -q "achievement event 70$" "$log" && check "$name: the autopilot earned a stunt kill"
    [ -s "$out/$name.png" ] || check "$name: no frame under the autopilot"
    # Events 41 and 38 after the key: the player's gun bursts and launches.
    used=$(sed -n "/the autopilot flies the player's airplane/,\$p" "$log" | grep -c -E "achievement event (41|38)$")
    launches=$(sed -n "/the autopilot flies the player's airplane/,\$p" "$log" | grep -c "achievement event 38$")
    [ "$used" -gt 0 ] && [ "$launches" -eq 0 ] && check "$name: the autopilot fought with its guns alone"
    grep -q "achievement event 5$" "$log" && wins=$((wins + 1))
done
log="$out/bailout.out"
wait "$bailout_pid" || check "the bail-out did not end cleanly: $(tail -3 "$log")"
made=$(grep -n -m1 "modes: parachute 0 made" "$log" | cut -d: -f1)
down=$(grep -n -m1 "the player's pilot is down under his parachute" "$log" | cut -d: -f1)
failed=$(grep -n -m1 "page shown: CampaignFailMenuFrame" "$log" | cut -d: -f1)
if [ -z "$made" ] || [ -z "$down" ] || [ -z "$failed" ] || [ "$made" -ge "$down" ] || [ "$down" -ge "$failed" ]; then
    check "the bail-out did not end the mission when the pilot came down: $(grep -v ALSA "$log" | tail -6)"
fi
echo "campaign autopilot: $wins of ${#sorties[@]} seeded sorties won"
[ "$failures" -eq 0 ] && echo "campaign autopilot: all sorties won"
exit $((failures > 0))
