#!/usr/bin/env bash
# The real game under Xvfb changes its language from the language page: the
# second flag chosen by keys rebuilds the pages in French (the log names the
# rebuilt page's own title), the options page behind it reads in French, and
# the next start comes up in French with no choice made. The game runs from a
# tree of its own so that its save folder is the test's.
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
echo "PASS"
