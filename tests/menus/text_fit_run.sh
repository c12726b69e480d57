#!/usr/bin/env bash
# The real game under Xvfb tours the main menu, the play menu, the campaign
# map, the mission cards, the skirmish map choice, the dogfight cards, the
# options, controls and key set-up pages, how to play and the result page in
# every language at 960x640 and 1920x1080, one start per language and size,
# and writes each page's picture with the rectangles of its texts and of the
# buttons, boxes and panels they belong to ("-textboxes"). The test fails
# when a text leaves its frame or the screen, meets another text or runs
# over a button or box that is not its own. Pictures under OUT.
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
pages=(main play campaigns missions:1 setup dogfights options controls setkeys howtoplay result)
skip_script="$out/skip.script"

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
        screen=()
        if [ "$w" -gt 1280 ] && command -v xvfb-run >/dev/null; then
            screen=(xvfb-run -a -s "-screen 0 ${w}x${h}x24")
        fi
        rm -rf "$out/game/tree/save"
        rm -f "${shots[@]}" "$rim_shot.texts"
        LANG="${code}_XX.UTF-8" LC_ALL= LC_MESSAGES= "${screen[@]}" "$run" -width "$w" -height "$h" -fixeddt 0.05 \
            -quality 0 -frames "$frame" -textboxes -inputscript "$skip_script" "${args[@]}" \
            >"$out/${code}_$size.out" 2>&1 || fail "the $code run at $size did not end cleanly"
        for page in "${pages[@]:1}"; do
            grep -q "page shown: $page" "$out/${code}_$size.out" || fail "$page was not shown in $code at $size"
        done
        python3 "$support_dir/text_fit.py" "${shots[@]}" || faults=$((faults + 1))
        python3 "$support_dir/text_fit.py" --rim 6 "$rim_shot.texts" || faults=$((faults + 1))
    done
done
[ "$faults" -eq 0 ] || fail "texts out of their frames in $faults of the runs (pictures and .texts under $out)"
echo "PASS"
