#!/usr/bin/env bash
# The account in the real game under the display the caller provides: a first
# start names the pilot after the login, a later start keeps the saved name;
# another of our games installed (the account's statistics file says so, and a
# games-detection list in the save folder names it) unlocks its plane once,
# with the main menu's notice, which a second start does not show again.
# Frames and logs go to the folder given second.
set -u
source "$(dirname "$0")/../support/game_tree.sh"
game_tree "$1" "$2"
out="$2"
save="$out/tree/save/$(( $(id -u) + 1 ))"
export SKYFRONT_HEADLESS=1 LIBGL_ALWAYS_SOFTWARE=1 ALSOFT_DRIVERS=null
login="$(id -un)"

# Past the logo and the menu's load; the notice waits for the showcase plane.
start_game() {
  local name="$1"
  ( cd "$out/tree" && "$run" -width 800 -height 600 -fixeddt 0.02 -frames 520 \
      -dumpframe "500:$out/$name.png" >"$out/$name.log" 2>&1 )
  local code=$?
  [ "$code" -eq 0 ] || fail "$name: the game exited with $code"
}

# Another game of ours is installed: its id in the list and in the account's file.
mkdir -p "$save/data"
printf '4242 com.example.othergame\n' >"$save/data/gamesdetection.lst"
printf 'stat flights 3\ninstalled 4242\n' >"$save/steam_userstats.txt"

start_game first
grep -q "first start: the pilot is named \"$login\" after the account" "$out/first.log" ||
  fail "the first start did not name the pilot after the login $login: $(grep -i pilot "$out/first.log")"
notices="$(grep -c 'the main menu shows the unlock of plane' "$out/first.log")"
[ "$notices" -eq 1 ] || fail "the installed game's plane was not announced once (seen $notices times)"
grep -q '^installed 4242$' "$save/steam_userstats.txt" ||
  fail "the account's file lost its installed game"

start_game second
if grep -q 'first start' "$out/second.log"; then fail "the second start named the pilot again"; fi
if grep -q 'the main menu shows the unlock of plane' "$out/second.log"; then
  fail "the plane already unlocked was announced again"
fi

# Without the game installed nothing is unlocked.
rm -rf "$out/tree/save"
mkdir -p "$save/data"
printf '4242 com.example.othergame\n' >"$save/data/gamesdetection.lst"
start_game none
if grep -q 'the main menu shows the unlock of plane' "$out/none.log"; then
  fail "a listed game that is not installed unlocked its plane"
fi
