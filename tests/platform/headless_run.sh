#!/usr/bin/env bash
# Runs the real game executable on the display the caller provides (Xvfb with
# Mesa under ./check): the option texts, the exit codes, a run of the empty
# loop ended by SIGTERM, and the start-up graphics values. The executable is
# copied into a temporary tree so that its save folder is a scratch one.
set -u
exe="$1"
stage="$(cd "$(dirname "$exe")/.." && pwd)"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/bin"
cp "$exe" "$tree/bin/skyfront"
for part in data paks; do
  if [ -e "$stage/$part" ]; then ln -s "$stage/$part" "$tree/$part"; fi
done
game="$tree/bin/skyfront"
save="$tree/save/$(( $(id -u) + 1 ))"
export SKYFRONT_HEADLESS=1 LIBGL_ALWAYS_SOFTWARE=1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Asking for help starts nothing: no SDL (an unusable video driver does not
# matter) and no save folder.
out="$(SDL_VIDEODRIVER=nosuchdriver "$game" -help 2>/dev/null)" || fail "-help exited with $?"
[ -e "$tree/save" ] && fail "-help created the save folder"
for option in -help -width -height -mode -quality -vsync -listres "+connect " +connect_lobby +password; do
  grep -q -- "$option" <<<"$out" || fail "-help does not name $option"
done

out="$("$game" -listres 2>/dev/null)" || fail "-listres exited with $?"
grep -Eq '^[0-9]+x[0-9]+$' <<<"$out" || fail "-listres printed no display mode: $out"

SDL_VIDEODRIVER=nosuchdriver "$game" 2>/dev/null
code=$?; [ "$code" -eq 2 ] || fail "an unusable video driver gave $code, not 2"
SDL_VIDEODRIVER=dummy "$game" 2>/dev/null
code=$?; [ "$code" -eq 3 ] || fail "a video driver without OpenGL gave $code, not 3"

# Starts the game, waits until its window and context exist, lets the loop run,
# then ends it with a signal (SIGTERM unless SIGNAL says otherwise): the exit
# must be 0, through the normal shut-down. The game is started with the signal
# at its default, as from a terminal (a script's background job ignores SIGINT).
run_until_term() {
  local signal="${SIGNAL:-TERM}"
  env --default-signal="$signal" "$game" "$@" 2>"$tree/stderr" &
  local pid=$! waited=0
  until grep -q 'OpenGL' "$tree/stderr" 2>/dev/null; do
    if ! kill -0 "$pid" 2>/dev/null || [ "$waited" -ge 600 ]; then break; fi
    sleep 0.1; waited=$((waited + 1))
  done
  sleep 1
  kill -0 "$pid" 2>/dev/null || fail "the game ended before SIG$signal ($*): $(cat "$tree/stderr")"
  kill -"$signal" "$pid" 2>/dev/null
  wait "$pid"
  local code=$?
  [ "$code" -eq 0 ] || fail "the game exited with $code after SIG$signal ($*): $(cat "$tree/stderr")"
}

mkdir -p "$save"
printf 'width 800\nheight 600\nmode 9\nquality -1\n' >"$save/graphics.cfg"
run_until_term
grep -q 'graphics: 800x600 mode 0 quality 2 vsync 1' "$tree/stderr" ||
  fail "out-of-range graphics.cfg values were not replaced: $(cat "$tree/stderr")"

if grep -q 'controller mapping refused' "$tree/stderr"; then fail "the added controller mapping was refused"; fi
if [ -e "$stage/paks/base.pak" ] && grep -q 'not mounted' "$tree/stderr"; then
  fail "the staged base.pak was not mounted: $(cat "$tree/stderr")"
fi
[ -s "$save/tq2_settings.bin" ] || fail "no settings file was written at the end"
[ -s "$save/controls.cfg" ] || fail "no controls.cfg was written at the end"

# A closed terminal, an interrupt and a termination all save the same way.
for signal in HUP INT TERM; do
  rm -f "$save/tq2_settings.bin" "$save/controls.cfg"
  SIGNAL=$signal run_until_term -width 320 -height 240
  [ -s "$save/tq2_settings.bin" ] || fail "no settings file was written after SIG$signal"
  [ -s "$save/controls.cfg" ] || fail "no controls.cfg was written after SIG$signal"
done

# Damaged settings and bindings: one log line each, and both damaged files
# are kept beside the new ones.
printf 'SKSTdamaged' >"$save/tq2_settings.bin"
printf '<controls><broken' >"$save/controls.cfg"
rm -f "$save/tq2_settings.bin.bad" "$save/controls.cfg.bad"
run_until_term -width 320 -height 240
[ "$(grep -c 'tq2_settings.bin' "$tree/stderr")" -eq 1 ] ||
  fail "a damaged settings file did not give one log line: $(cat "$tree/stderr")"
[ "$(grep -c 'controls.cfg' "$tree/stderr")" -eq 1 ] ||
  fail "a damaged controls.cfg did not give one log line: $(cat "$tree/stderr")"
[ "$(cat "$save/tq2_settings.bin.bad" 2>/dev/null)" = "SKSTdamaged" ] ||
  fail "the damaged settings file was not kept as tq2_settings.bin.bad"
[ "$(cat "$save/controls.cfg.bad" 2>/dev/null)" = "<controls><broken" ] ||
  fail "the damaged controls.cfg was not kept as controls.cfg.bad"

# Every kept name taken (as a full disk or a read-only folder fails the copy):
# the damaged settings and bindings are left as they are through the run and
# its end's save, and the log says so.
for f in tq2_settings.bin controls.cfg; do
  for n in '' $(seq 1 99); do printf 'older' >"$save/$f.bad$n"; done
done
printf 'SKSTbeyond' >"$save/tq2_settings.bin"
printf '<controls><beyond' >"$save/controls.cfg"
run_until_term -width 320 -height 240
[ "$(cat "$save/tq2_settings.bin")" = "SKSTbeyond" ] || fail "a damaged settings file that could not be kept was written over"
[ "$(cat "$save/controls.cfg")" = "<controls><beyond" ] || fail "a damaged controls.cfg that could not be kept was written over"
[ "$(grep -c 'could not be kept and is left as it is' "$tree/stderr")" -eq 2 ] ||
  fail "the damage that could not be kept was not logged: $(cat "$tree/stderr")"
rm -f "$save"/*.bad*

# Settings, graphics and statistics too large to read are moved aside whole before the end's save.
files="tq2_settings.bin graphics.cfg steam_userstats.txt"
for f in $files; do head -c 3000000 /dev/urandom >"$save/$f"; done
sums=$(cd "$save" && cksum $files | cut -d' ' -f1,2) && rm -f "$save"/*.bad
run_until_term -width 320 -height 240
[ "$(cd "$save" && cksum ${files// /.bad }.bad | cut -d' ' -f1,2)" = "$sums" ] || fail "too large, not kept: $(ls -l "$save")"

# The second run reads the first run's settings back.
run_until_term -width 1024 -height 768 -quality 3
grep -q 'graphics: 1024x768 mode 0 quality 3 vsync 1' "$tree/stderr" ||
  fail "the command line did not override graphics.cfg: $(cat "$tree/stderr")"
if grep -q -e 'tq2_settings.bin not read' -e 'settings blocks read back valid' "$tree/stderr"; then
  fail "the settings file written at the end did not load back whole: $(cat "$tree/stderr")"
fi

# The test options: a fixed step, a frame count that ends the run normally,
# and a frame written as PNG (relative to the folder the game starts from).
# A window smaller than the menus fit is made the smallest they do, and told.
( cd "$tree" && "$game" -width 320 -height 240 -fixeddt 0.02 -frames 12 -dumpframe 3:shot.png 2>"$tree/stderr" )
code=$?; [ "$code" -eq 0 ] || fail "-frames 12 exited with $code: $(cat "$tree/stderr")"
header="$(od -An -tx1 -N24 "$tree/shot.png" 2>/dev/null | tr -d ' \n')"
# PNG signature, then the header chunk with width 720 and height 480.
[ "$header" = "89504e470d0a1a0a0000000d49484452000002d0000001e0" ] ||
  fail "-dumpframe wrote no 720x480 PNG for a 320x240 window: $header"
grep -q "option -width 320: the menus need a window of at least 720 x 480; using 720" "$tree/stderr" ||
  fail "the too small window was not told: $(grep -i width "$tree/stderr")"
out="$("$game" -help 2>/dev/null)"
grep -q "the smallest window the menus fit is 720 x 480" <<<"$out" || fail "-help does not say the smallest window"
grep -q 'Test options' <<<"$out" || fail "-help lists no test options"
for type in '1 campaign' '2 free-for-all' '9 tutorial' '13 last man standing'; do
  grep -q -- "$type" <<<"$out" || fail "-help does not name the -autostart type \"$type\""
done

# An aircraft list with no aircraft (the save folder's copy is read first)
# stops the start-up with a message instead of a game without planes.
mkdir -p "$save/data/planes"
printf '# emptied\n' >"$save/data/planes/planes.lst"
( cd "$tree" && "$game" -width 320 -height 240 -frames 3 2>"$tree/stderr" )
code=$?; [ "$code" -eq 1 ] || fail "an empty aircraft list gave exit code $code, not 1"
grep -q 'No aircraft could be loaded' "$tree/stderr" || fail "no message for the empty aircraft list: $(cat "$tree/stderr")"
rm -r "$save/data"

# Without its pak the game says the pak is missing, in one line.
rm -f "$tree/paks"
run_until_term -width 320 -height 240
[ "$(grep -c 'base.pak' "$tree/stderr")" -eq 1 ] || fail "a missing pak did not give one log line: $(cat "$tree/stderr")"
grep -q 'base.pak: missing' "$tree/stderr" || fail "a missing pak is not reported as missing: $(cat "$tree/stderr")"

[ "$failures" -eq 0 ] && echo "headless run: all checks passed"
exit $(( failures > 0 ))
