#!/usr/bin/env bash
# What play reports reaches the player in the real game under Xvfb. A
# free-for-all on the first map with the player's airplane on the autopilot
# (its P key), which fights the bots: the log shows the level start and the
# player's kill counted, the saved account statistics hold the kill, at least
# one play achievement is earned and saved, and the kill's line reaches the
# HUD's long-message list. Then the first campaign mission's start counts its
# own event. Logs and the pictures go to the output folder.
set -uo pipefail
game="$1"
out="$2"
frames="${3:-3600}"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"

# The autopilot takes over once the match runs.
printf '%s\n' "120 key P" >"$out/autopilot.script"
dumps=()
for f in $(seq 600 300 "$frames"); do
    dumps+=(-dumpframe "$f:$out/ffa_$f.png")
done
"$run" "${common[@]}" -autostart 2:0 -inputscript "$out/autopilot.script" -frames "$frames" "${dumps[@]}" \
    >"$out/ffa.out" 2>&1 || fail "the free-for-all run did not end cleanly: $(tail -5 "$out/ffa.out")"
grep -q "progress: achievement event 1$" "$out/ffa.out" || fail "the level start was not counted"
grep -q "progress: achievement event 2$" "$out/ffa.out" || fail "the streaks' level start was not counted"
grep -q "progress: achievement event 15$" "$out/ffa.out" || fail "no airplane kill of the player was counted"
grep -q "progress: achievement event 14$" "$out/ffa.out" || fail "no kill of the player was counted"
grep -q "hud: event line: You shot down " "$out/ffa.out" || fail "no kill line of the player reached the HUD"
saves=$(ls -d "$out"/tree/save/*/ | head -1)
stats="$saves/steam_userstats.txt"
[ -s "$stats" ] || fail "no account statistics were saved"
grep -Eq "^stat enemy_kills [1-9][0-9]*$" "$stats" || fail "the saved statistics hold no kill: $(cat "$stats")"
grep -q "^achievement " "$stats" || fail "no play achievement was earned: $(cat "$stats")"
grep -q 'progress: achievement ".*" earned' "$out/ffa.out" || fail "the log names no earned achievement"

# The first mission of the first campaign counts its start beside the level's.
"$run" "${common[@]}" -autostart 1:c1m1 -frames 240 >"$out/campaign.out" 2>&1 ||
    fail "the campaign run did not end cleanly: $(tail -5 "$out/campaign.out")"
grep -q "progress: achievement event 131$" "$out/campaign.out" || fail "the first mission's start was not counted"
grep -q "progress: achievement event 2$" "$out/campaign.out" || fail "the mission's level start was not counted"
echo "play reports reach the achievements, the statistics and the HUD: ok"
