#pragma once
#include <array>
#include <cstdint>

// What the host tells joining and playing clients about the running match
// beyond the players' records, decoded (the match layer holds the bytes).
// The layout names the kind of game that sends it and what it carries.
struct ServerData {
    enum class Layout : int {
        None = 0,      // the mode sends nothing
        Time = 1,      // the elapsed match time
        Flags = 2,     // time, each team's flag carrier and which flags are home
        Rounds = 3,    // time and the round timer
        LastStand = 4, // time, the round timer, whether play stopped and the restart count-down
        Waves = 5,     // time, the wave timer and the wave
    };
    static constexpr int kNoCarrier = 0xFFFF;

    Layout layout = Layout::None;
    float elapsed = 0.0f;  // seconds; what is not a number reads as 0
    float timer = 0.0f;    // the round or wave timer
    std::array<int, 2> carriers{kNoCarrier, kNoCarrier};  // airplane id per team's flag
    std::uint8_t flagsHome = 0;  // bit per team
    bool playStopped = false;
    float restartCountdown = 0.0f;
    int wave = 0;
};
