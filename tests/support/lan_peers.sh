# Sourced after game_tree.sh by the runs of the real game against the peer
# program on loopback. The game looks for LAN games on 127.0.0.1 only;
# "freeport" names a free UDP port, "await LOG TEXT SECONDS" waits for a line
# in a log, and "game_hosts LOG OPTION..." starts the game hosting in the
# background (its pid in game_pid) and waits until it serves.
# "lan_run GAME PEER OUT", with a run's own three arguments, sets game, peer
# and out and makes the scratch tree under OUT.
common+=(-lanaddr 127.0.0.1)
lan_run() {
    game="$1"
    peer="$2"
    out="$3"
    game_tree "$game" "$out"
}
freeport() {
    python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
await() {
    for _ in $(seq 1 $(($3 * 4))); do
        grep -q "$2" "$1" 2>/dev/null && return 0
        sleep 0.25
    done
    return 1
}
game_hosts() {
    local log="$1"; shift
    "$run" "${common[@]}" "$@" >"$log" 2>&1 &
    game_pid=$!
    await "$log" "LAN host start" 60 || fail "the game did not host: $(tail -5 "$log")"
}
