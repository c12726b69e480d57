# Sourced by the scripted runs of the real game. Gives them "fail", the usual
# window and frame-step options ("common"), the clicks that pass the splash
# screens ("skip") and png_pixels on PYTHONPATH; "game_tree GAME OUT" then
# copies the game into a scratch tree of its own under OUT, with the staged
# data and paks linked in, so its save folder is the test's, and sets "stage"
# and "run" (the copy to start).
support_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export PYTHONPATH="$support_dir${PYTHONPATH:+:$PYTHONPATH}"
# Imports of the helpers leave no compiled copies in the source tree.
export PYTHONDONTWRITEBYTECODE=1
pixels="$support_dir/png_pixels.py"

fail() { echo "FAIL: $1"; exit 1; }

# The lowest detail: the world's detail costs most of each frame on the
# software renderer, and a run that checks it asks for its quality itself.
common=(-width 1280 -height 720 -fixeddt 0.0166 -quality 0)
skip=$'5 click 100 700\n10 click 100 700\n15 click 100 700\n20 click 100 700'

game_tree() {
    stage="$(dirname "$(dirname "$1")")"
    rm -rf "$2" && mkdir -p "$2/tree/bin" || fail "no scratch tree at $2"
    cp "$1" "$2/tree/bin/" || fail "the game could not be copied"
    ln -s "$stage/data" "$2/tree/data"
    ln -s "$stage/paks" "$2/tree/paks"
    run="$2/tree/bin/$(basename "$1")"
}

# "piped_game W H PIPE ARGS...": starts the game ("run", in "out") at W x H
# with ARGS, steered through the FIFO PIPE open on descriptor 3, its output
# in "log" and its process in "game_pid".
piped_game() {
    local w="$1" h="$2" pipe="$3" screen=()
    shift 3
    rm -f "$pipe" && mkfifo "$pipe" || fail "no pipe at $pipe"
    # Open for both ends, so that the game's open finds a writer at once.
    exec 3<>"$pipe"
    # A window larger than the test display gets an X server of its own, so
    # that it and its pictures have the size asked for.
    if [ "$w" -gt 1280 ] && command -v xvfb-run >/dev/null; then
        screen=(xvfb-run -a -s "-screen 0 ${w}x${h}x24")
    fi
    # The game gets no copy of the writing end, or it would never see the pipe close.
    (exec 3>&- && cd "$out" && exec "${screen[@]}" "$run" "$@" -width "$w" -height "$h" -inputpipe "$pipe" \
        >"$log" 2>&1) &
    game_pid=$!
}

# "steer_to FRAME", for runs steered through a pipe open on descriptor 3
# (the game's log in "log", its process in "game_pid"): lets the game run up
# to FRAME and waits until it is there.
steer_to() {
    echo "$1 sync" >&3
    local deadline=$((SECONDS + 300))
    until grep -q "test: frame $1 waits for input" "$log"; do
        kill -0 "$game_pid" 2>/dev/null || fail "the run ended before frame $1: $(tail -5 "$log")"
        [ "$SECONDS" -lt "$deadline" ] || fail "the run did not reach frame $1: $(tail -5 "$log")"
        sleep 0.05
    done
}

# "in_order PATTERN...": the run's log ("log") holds lines matching the
# patterns, in this order.
in_order() {
    local from=1 pattern line
    for pattern in "$@"; do
        line=$(tail -n +"$from" "$log" | grep -n -m1 -- "$pattern" | cut -d: -f1)
        [ -n "$line" ] || fail "\"$pattern\" missing or out of order: $(grep -v ALSA "$log" | tail -12)"
        from=$((from + line))
    done
}
