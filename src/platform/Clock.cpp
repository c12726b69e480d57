#include "platform/Clock.h"

#include <chrono>
#include <cmath>

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr double kFirstPeriod = 1.0 / 60.0;
constexpr double kSnapTargets[] = {1.0 / 60.0, 1.0 / 45.0, 1.0 / 30.0};
constexpr double kSnapTolerance = 0.10;

SteadyClock::time_point clockStart()
{
    static const SteadyClock::time_point start = SteadyClock::now();
    return start;
}

double snapPeriod(double average)
{
    for (double target : kSnapTargets)
        if (std::fabs(average - target) <= target * kSnapTolerance)
            return target;
    return average;
}

FrameClock g_frameClock;
float g_frameDelta = static_cast<float>(kFirstPeriod);
float g_gameStep = static_cast<float>(kFirstPeriod);
float g_timeScale = 1.0f;
double g_fixedTime = -1.0;

}  // namespace

float Clock::now() { return static_cast<float>(g_fixedTime >= 0.0 ? g_fixedTime : nowPrecise()); }

void Clock::setFixedTime(double seconds) { g_fixedTime = seconds; }

double Clock::nowPrecise()
{
    const SteadyClock::time_point start = clockStart();
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

void Clock::timeOfDay(TimeStamp& out)
{
    static const SteadyClock::time_point start = SteadyClock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start).count();
    const auto whole = static_cast<std::uint64_t>(ms);
    out.seconds = static_cast<std::uint32_t>(whole / 1000);
    out.microseconds = static_cast<std::uint32_t>(whole % 1000) * 1000u;
}

void FrameClock::reset()
{
    m_periods.fill(kFirstPeriod);
    m_next = 0;
    m_last = 0.0;
    m_started = false;
}

float FrameClock::tick(double nowSeconds)
{
    double period = kFirstPeriod;
    if (m_started) {
        period = nowSeconds - m_last;
        // Also catches a time that is not a number.
        if (!(period >= 0.0))
            period = 0.0;
        if (period > kMaxPeriod)
            period = kMaxPeriod;
    }
    m_started = true;
    m_last = nowSeconds;
    m_periods[m_next] = period;
    m_next = (m_next + 1) % kHistory;
    double sum = 0.0;
    for (double p : m_periods)
        sum += p;
    return static_cast<float>(snapPeriod(sum / kHistory));
}

float frameDelta() { return g_frameDelta; }
void setFrameDelta(float seconds) { g_frameDelta = seconds; }
float gameStep() { return g_gameStep; }
float timeScale() { return g_timeScale; }

void setTimeScale(float scale) { g_timeScale = scale > 0.0f ? scale : 0.0f; }

void advanceFrameClock(double nowSeconds)
{
    g_gameStep = g_frameClock.tick(nowSeconds) * g_timeScale;
    g_frameDelta = g_gameStep;
}

void resetFrameClock()
{
    g_frameClock.reset();
    g_frameDelta = g_gameStep = static_cast<float>(kFirstPeriod);
}
