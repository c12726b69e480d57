#!/usr/bin/env bash
# The real game under Xvfb tours the main menu, the play menu, the campaign
# map, the mission cards, the skirmish map choice, the dogfight cards, the
# options, controls and key set-up pages, how to play, the result page and
# every page of the achievements (turned by clicks on its dots) and the
# tutorial list with every lesson done, in every language at 960x640 and
# 1920x1080, one start per language and size; then the first mission of the
# campaign: its opening notice, the climb warning of an airplane pulled up
# hard, the pause page the HUD's pause button opens under the mouse, and the
# HUD with the mouse as control device, its buttons tagged with keys. Each
# picture comes with the rectangles of its texts and of the buttons, boxes,
# panels and plates they belong to ("-textboxes"). The test fails when a text
# leaves its frame (an achievement's name its row, a mission card's text its
# band, a lesson's name its strip, a HUD message its plate) or the screen,
# meets another text or runs over a button, box or mark that is not its own,
# or when the achievement pages did not show every row. Pictures under OUT.
# "text_fit_run.sh GAME OUT [LANG...]": only those languages (two-letter codes).
set -uo pipefail
game="$1"
out="$2"
shift 2
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out/game"

langs=("$@")
[ ${#langs[@]} -gt 0 ] || langs=(en fr de es it pt zh ja ko ru)
# Each page gets 18 frames of 0.05 s to come in and settle.
pages=(main play campaigns missions:1 tutorials setup dogfights options controls setkeys howtoplay result)
skip_script="$out/skip.script"

screen_for() {
    screen=()
    if [ "$1" -gt 1280 ] && command -v xvfb-run >/dev/null; then
        screen=(xvfb-run -a -s "-screen 0 ${1}x${2}x24")
    fi
}

# Per size, from one short English run: the achievement rows, their pages
# and where the right half of the page dots is, which turns to the next page.
declare -A ach_rows ach_pages ach_click
for size in 960x640 1920x1080; do
    w="${size%x*}" h="${size#*x}"
    screen_for "$w" "$h"
    printf '%s\n' "$skip" >"$skip_script"
    rm -rf "$out/game/tree/save"
    probe="$out/achprobe_$size.png"
    LANG=en_XX.UTF-8 LC_ALL= LC_MESSAGES= "${screen[@]}" "$run" -width "$w" -height "$h" -fixeddt 0.05 -quality 0 \
        -frames 72 -textboxes -inputscript "$skip_script" -pageat 60:achievements -dumpframe "70:$probe" \
        >"$out/achprobe_$size.out" 2>&1 || fail "the achievements run at $size did not end cleanly"
    read -r n_rows n_pages < <(sed -n 's/.*achievements: \([0-9]*\) rows on \([0-9]*\) pages.*/\1 \2/p' \
        "$out/achprobe_$size.out" | tail -1)
    [ -n "${n_pages:-}" ] && [ "$n_pages" -ge 1 ] || fail "the achievements page told no page count at $size"
    ach_rows[$size]=$n_rows ach_pages[$size]=$n_pages
    ach_click[$size]=$(awk -F' [|] ' '$3 == "SpritePageIndicator" { split($2, b, " ");
        printf "%d %d", b[1] + b[3] * 0.75, b[2] + b[4] / 2 }' "$probe.texts")
    [ -n "${ach_click[$size]}" ] || [ "$n_pages" -eq 1 ] || fail "no page dots on the achievements page at $size"
done

# A profile that has done every lesson and flies with arcade steering, where
# the climb warning shows; further settings as given (7=i:2 the mouse).
fresh_profile() {
    rm -rf "$out/game/tree/save"
    mkdir -p "$out/game/tree/save/1"
    python3 "$support_dir/settings_file.py" "$out/game/tree/save/1/tq2_settings.bin" 0 6=i:1 17=b:1 \
        p23=B:1,1,1,1,1,1,0,0,0,0 "$@"
}

# "flight_texts CODE SIZE": the first mission. The opening notice at 5 s;
# the nose pulled up from 15 s until the warning shows; a click on the HUD's
# pause button in the top right corner at 25 s and the pause page.
flight_texts() {
    local code="$1" size="$2" w h
    w="${size%x*}" h="${size#*x}"
    local notice="$out/notice_${code}_$size.png" climb="$out/climb_${code}_$size.png" pause="$out/pause_${code}_$size.png"
    printf '%s\n' "$skip" "300 keydown S" "330 keyup S" "500 click $((w - 37)) 36" >"$skip_script"
    fresh_profile
    rm -f "$notice.texts" "$climb.texts" "$pause.texts"
    LANG="${code}_XX.UTF-8" LC_ALL= LC_MESSAGES= "${screen[@]}" "$run" -width "$w" -height "$h" -fixeddt 0.05 \
        -quality 0 -autostart 1:c1m1 -frames 560 -textboxes -inputscript "$skip_script" -dumpframe "100:$notice" \
        -dumpframe "312:$climb" -dumpframe "550:$pause" >"$out/flight_${code}_$size.out" 2>&1 ||
        fail "the $code flight at $size did not end cleanly"
    grep -q "page shown: PauseCampaignMenuFrame" "$out/flight_${code}_$size.out" ||
        fail "the click on the HUD's pause button did not pause the $code flight at $size"
    # The notice stands on its plate in the upper half, the warning on its
    # own in the lower half.
    for shot in "$notice:upper" "$climb:lower"; do
        awk -F' [|] ' -v half="$((h / 2))" -v want="${shot##*:}" '$1 ~ /^frame/ && $3 == "HudMessage" {
            split($1, f, " "); split($2, b, " "); plate[f[2]] = (b[2] + b[4] / 2 < half) ? "upper" : "lower" }
            $1 ~ /^text/ { split($1, t, " "); if (plate[t[2]] == want) found = 1 } END { exit !found }' "${shot%:*}.texts" ||
            fail "no HUD message on its plate in the ${shot##*:} half of ${shot%:*} ($code at $size)"
    done
    python3 "$support_dir/text_fit.py" "$notice.texts" "$climb.texts" "$pause.texts" || return 1
    # With the mouse as control device the HUD's buttons carry their keys'
    # tags: each stands on the screen, clear of every button, icon and count.
    local mouse="$out/mouse_${code}_$size.png"
    printf '%s\n' "$skip" >"$skip_script"
    fresh_profile 7=i:2
    rm -f "$mouse.texts"
    LANG="${code}_XX.UTF-8" LC_ALL= LC_MESSAGES= "${screen[@]}" "$run" -width "$w" -height "$h" -fixeddt 0.05 \
        -quality 0 -autostart 1:c1m1 -frames 310 -textboxes -inputscript "$skip_script" -dumpframe "300:$mouse" \
        >"$out/mouse_${code}_$size.out" 2>&1 || fail "the $code flight with the mouse at $size did not end cleanly"
    grep -q "| HudKeyTag$" "$mouse.texts" || fail "no key tags on the HUD with the mouse ($code at $size)"
    python3 "$support_dir/text_fit.py" "$mouse.texts"
}

faults=0
for code in "${langs[@]}"; do
    for size in 960x640 1920x1080; do
        w="${size%x*}" h="${size#*x}"
        args=() shots=()
        frame=60
        printf '%s\n' "$skip" >"$skip_script"
        for page in "${pages[@]}"; do
            name="${page%%:*}_${code}_$size"
            [ "$page" = main ] || args+=(-pageat "$frame:$page")
            args+=(-dumpframe "$((frame + 18)):$out/$name.png")
            shots+=("$out/$name.png.texts")
            frame=$((frame + 20))
            if [ "$page" = howtoplay ]; then
                # Two steps right: the third help page, whose last line ends
                # near the panel's bottom rim, once the pages have slid.
                printf '%s\n' "$frame key Right" "$((frame + 20)) key Right" >>"$skip_script"
                rim_shot="$out/howtoplay3_${code}_$size.png"
                args+=(-dumpframe "$((frame + 60)):$rim_shot")
                frame=$((frame + 62))
            fi
        done
        # The achievements, one picture per page, a click on the dots between
        # (the pages turn at once; the first gets the others' time to come in).
        args+=(-pageat "$frame:achievements")
        frame=$((frame + 10))
        ach_shots=()
        for ((p = 0; p < ach_pages[$size]; ++p)); do
            [ "$p" -eq 0 ] || printf '%s\n' "$frame click ${ach_click[$size]}" >>"$skip_script"
            ach_shots+=("$out/achievements${p}_${code}_$size.png.texts")
            args+=(-dumpframe "$((frame + 8)):${ach_shots[-1]%.texts}")
            frame=$((frame + 10))
        done
        shots+=("${ach_shots[@]}")
        screen_for "$w" "$h"
        fresh_profile
        rm -f "${shots[@]}" "$rim_shot.texts"
        LANG="${code}_XX.UTF-8" LC_ALL= LC_MESSAGES= "${screen[@]}" "$run" -width "$w" -height "$h" -fixeddt 0.05 \
            -quality 0 -frames "$frame" -textboxes -inputscript "$skip_script" "${args[@]}" \
            >"$out/${code}_$size.out" 2>&1 || fail "the $code run at $size did not end cleanly"
        for page in "${pages[@]:1}"; do
            grep -q "page shown: $page" "$out/${code}_$size.out" || fail "$page was not shown in $code at $size"
        done
        python3 "$support_dir/text_fit.py" "${shots[@]}" || faults=$((faults + 1))
        # Every row was on one of the pages.
        named=$(cat "${ach_shots[@]}" | awk -F' [|] ' '$1 ~ /^frame/ && $3 == "AchItem" { split($1, f, " "); row[f[2]] = 1 }
            $1 ~ /^text/ { split($1, t, " "); if (t[2] in row) print $3 } $1 ~ /^screen/ { delete row }' | sort -u | wc -l)
        [ "$named" -eq "${ach_rows[$size]}" ] ||
            fail "the achievement pages showed $named of ${ach_rows[$size]} names in $code at $size"
        python3 "$support_dir/text_fit.py" --rim 6 "$rim_shot.texts" || faults=$((faults + 1))
        flight_texts "$code" "$size" || faults=$((faults + 1))
    done
done
[ "$faults" -eq 0 ] || fail "texts out of their frames in $faults of the runs (pictures and .texts under $out)"
echo "PASS"
