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
small=(-width 640 -height 360 -quality 0 -fixeddt 0.0166)
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
grep -q "hud: event line: .* was shot down by " "$out/td.out" || fail "no shot-down line reached the HUD"

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

# The first mission of the first campaign counts its own start beside the level's.
"$run" "${small[@]}" -autostart 1:c1m1 -frames 240 >"$out/campaign.out" 2>&1 ||
    fail "the campaign run did not end cleanly: $(tail -5 "$out/campaign.out")"
counted "$out/campaign.out" 131 || fail "the first mission's start was not counted"
counted "$out/campaign.out" 2 || fail "the mission's level start was not counted"
echo "play reports reach the achievements, the statistics and the HUD: ok"
