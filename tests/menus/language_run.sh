#!/usr/bin/env bash
# The real game under Xvfb changes its language from the language page: the
# second flag chosen by keys rebuilds the pages in French (the log names the
# rebuilt page's own title), the options page behind it reads in French, and
# the next start comes up in French with no choice made; there a mouse click
# on a flag switches to Italian, and the rebuilt page's keys start on the
# English flag. The game runs from a tree of its own so that its save folder
# is the test's.
set -uo pipefail
game="$1"
out="$2"
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$game" "$out"

# 1: a fresh start shows the options page in English.
"$run" "${common[@]}" -menupage options -frames 240 -dumpframe "230:$out/options_en.png" >"$out/en.out" 2>&1 ||
    fail "the English run did not end cleanly"
grep -q "texts in EN" "$out/en.out" || fail "the first start did not load the English texts"

# 2: the language page; right to the second flag, Enter, then back to options.
cat >"$out/choose.script" <<S
$skip
200 key Right
210 key Enter
300 key Esc
S
"$run" "${common[@]}" -menupage language -inputscript "$out/choose.script" -frames 400 \
    -dumpframe "290:$out/language_fr.png" -dumpframe "390:$out/options_fr.png" >"$out/choose.out" 2>&1 ||
    fail "the choosing run did not end cleanly"
grep -q 'pages rebuilt in language 1 (FR): "Langue"' "$out/choose.out" ||
    fail "no rebuild in French: $(grep 'pages rebuilt' "$out/choose.out")"
grep -q "texts in FR" "$out/choose.out" || fail "the French texts were not loaded"
pages=$(grep -o "page shown: [A-Za-z]*" "$out/choose.out" | sed 's/page shown: //' | tr '\n' ' ')
case "$pages" in
*"LanguageMenuFrame OptionsMenuFrame "*) ;;
*) fail "back from the rebuilt language page did not lead to options: $pages" ;;
esac

# 3: the next start, with no choice made, is in French from the first page.
"$run" "${common[@]}" -menupage options -frames 240 -dumpframe "230:$out/options_restart.png" >"$out/restart.out" 2>&1 ||
    fail "the restart did not end cleanly"
grep -q "texts in FR" "$out/restart.out" || fail "the choice did not survive the restart"
grep -q "texts in EN" "$out/restart.out" && fail "the restart loaded the English texts"
# The same page on the same frame: only the texts differ from the English one.
python3 - "$out/options_en.png" "$out/options_restart.png" <<'PY' || fail "the options page looks the same in French"
import sys
from png_pixels import rgb_rows
a, b = rgb_rows(sys.argv[1]), rgb_rows(sys.argv[2])
changed = sum(1 for y in range(0, len(a), 2) for x in range(0, len(a[0]), 2)
              if sum(abs(p - q) for p, q in zip(a[y][x], b[y][x])) > 90)
print("changed", changed)
sys.exit(0 if changed > 200 else 1)
PY
# 4: the language page in French; a mouse click on the Italian flag (the
# fifth of the upper row) rebuilds the pages in Italian. The rebuilt page's
# keys start on the first flag, so Enter there chooses English; Escape leads
# to the options page, now in English.
cat >"$out/click.script" <<S
$skip
200 click 1039 263
300 key Enter
360 key Esc
S
"$run" "${common[@]}" -menupage language -inputscript "$out/click.script" -frames 440 \
    -dumpframe "290:$out/language_it.png" >"$out/click.out" 2>&1 || fail "the clicking run did not end cleanly"
log="$out/click.out"
in_order 'pages rebuilt in language 4 (IT): "Lingua"' 'pages rebuilt in language 0 (EN): "Language"'
grep -q "texts in IT" "$out/click.out" || fail "the Italian texts were not loaded"
[ "$(grep -c 'pages rebuilt' "$out/click.out")" -eq 2 ] ||
    fail "the click and Enter on the first flag did not make two rebuilds: $(grep 'pages rebuilt' "$out/click.out")"
pages=$(grep -o "page shown: [A-Za-z]*" "$out/click.out" | sed 's/page shown: //' | tr '\n' ' ')
case "$pages" in
*"LanguageMenuFrame OptionsMenuFrame MainMenuFrame"*) fail "Escape left the options page too: $pages" ;;
*"LanguageMenuFrame OptionsMenuFrame "*) ;;
*) fail "back from the rebuilt language page did not lead to options: $pages" ;;
esac
# Against the French page on the same frame of its run: the title and the
# marked flag differ.
python3 - "$out/language_fr.png" "$out/language_it.png" <<'PY' || fail "the page after the click looks like the French one"
import sys
from png_pixels import rgb_rows
a, b = rgb_rows(sys.argv[1]), rgb_rows(sys.argv[2])
def changed(x0, y0, x1, y1):
    return sum(1 for y in range(y0, y1, 2) for x in range(x0, x1, 2)
               if sum(abs(p - q) for p, q in zip(a[y][x], b[y][x])) > 90)
title, flags = changed(0, 0, 1280, 110), changed(0, 130, 1280, 720)
print("title", title, "flags", flags)
sys.exit(0 if title > 100 and flags > 200 else 1)
PY
echo "PASS"
