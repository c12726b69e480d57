#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// Clocks of the program, all from the steady clock: they never jump with the
// wall clock and never wrap.
namespace Clock {

// Seconds since the first clock reading of the program, as a float: fine for
// blinking and timeouts, but its steps grow to about 8 ms after a day of running.
// On a fixed frame step it reads the step's own time (setFixedTime).
float now();
// A run on a fixed frame step: now() returns this time, which the main loop
// advances each frame, so held touches and the scene clock repeat from run to
// run. A negative time goes back to the steady clock.
void setFixedTime(double seconds);
// The same in double precision, for measuring frame periods.
double nowPrecise();

struct TimeStamp {
    std::uint32_t seconds = 0;
    std::uint32_t microseconds = 0;  // whole milliseconds x 1000
};
// Time since the first call of timeOfDay, at millisecond resolution. No failure.
void timeOfDay(TimeStamp& out);

}  // namespace Clock

// Turns the times of successive frame ends into the frame step: each raw period
// is held to 0..0.25 s (a loading hitch must not give one huge step), the last
// six periods are averaged, and the average is snapped to 1/60, 1/45 or 1/30 s
// when it lies within 10 % of one of them. The first frame counts 1/60 s.
class FrameClock {
public:
    static constexpr std::size_t kHistory = 6;
    static constexpr double kMaxPeriod = 0.25;

    FrameClock() { reset(); }
    void reset();
    // The time of this frame's end in seconds (any fixed origin); returns the
    // step in seconds, before the time scale.
    float tick(double nowSeconds);

private:
    std::array<double, kHistory> m_periods{};
    std::size_t m_next = 0;
    double m_last = 0.0;
    bool m_started = false;
};

// The one frame step in seconds that every per-frame computation reads: the
// frame clock's step times the time scale. The scene sets it to 0 for a few
// updates while play is stopped and restores it.
float frameDelta();
void setFrameDelta(float seconds);
// The same step, which only the frame clock writes: the countdowns of the
// game modes read it, so they do not see the scene's temporary 0.
float gameStep();
// 1 normally, 5 while the HUD's fast-forward zone is held, 0 to freeze.
// Negative or not-a-number scales are taken as 0.
float timeScale();
void setTimeScale(float scale);

// Feeds the program's frame clock with the time of this frame's end (the main
// loop passes Clock::nowPrecise()) and sets frameDelta and gameStep.
void advanceFrameClock(double nowSeconds);
// Starts the program's frame clock afresh, as at start-up.
void resetFrameClock();
