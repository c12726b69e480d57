#include "platform/FrameProfile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace {
constexpr const char* kLibNames[kFrameLibs] = {"simulation", "ai",   "mode",  "hud",   "effects", "world",
                                               "entities",   "post", "menus", "swap", "other"};

void add(FrameProfile::Time& to, const FrameProfile::Time& from)
{
    to.wallMs += from.wallMs;
    to.cpuMs += from.cpuMs;
    to.mainMs += from.mainMs;
}

FrameProfile::Time scaled(const FrameProfile::Time& t, int count)
{
    if (count <= 0)
        return {};
    return {t.wallMs / count, t.cpuMs / count, t.mainMs / count};
}

void addPass(std::vector<FrameProfile::PassTotal>& passes, const char* name, FrameLib lib,
             const FrameProfile::Time& time, double draws, double fragments)
{
    for (FrameProfile::PassTotal& p : passes) {
        if (p.name == name && p.lib == lib) {
            add(p.time, time);
            p.draws += draws;
            p.fragments += fragments;
            return;
        }
    }
    passes.push_back({name, lib, time, draws, fragments});
}
}  // namespace

const char* frameLibName(FrameLib lib)
{
    const int i = static_cast<int>(lib);
    return i >= 0 && i < kFrameLibs ? kLibNames[i] : "other";
}

FrameProfile& frameProfile()
{
    static FrameProfile profile;
    return profile;
}

void FrameProfile::start(int warmUp)
{
    std::function<void()> sync = std::move(m_sync);
    std::function<Time()> clock = std::move(m_clock);
    std::function<double(bool)> counter = std::move(m_counter);
    *this = FrameProfile{};
    m_sync = std::move(sync);
    m_clock = std::move(clock);
    m_counter = std::move(counter);
    m_running = true;
    m_warmUpFrames = m_warmUp = std::max(warmUp, 0);
}

void FrameProfile::markCounted(const char* screen)
{
    m_frameCounted = true;
    if (m_screen == screen)
        return;
    m_screen = screen;
    m_warmUp = m_warmUpFrames;
    m_splitCount = 0;
    m_libs = {};
    m_passes.clear();
    m_wholeWall.clear();
    m_wholeCpu.clear();
    m_wholeMain.clear();
}

void FrameProfile::stop()
{
    m_running = false;
    m_split = false;
    m_stack.clear();
}

FrameProfile::Time FrameProfile::readClocks() const
{
    if (m_clock)
        return m_clock();
    Time t;
    t.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
    timespec cpu{};
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu) == 0)
        t.cpuMs = static_cast<double>(cpu.tv_sec) * 1000.0 + static_cast<double>(cpu.tv_nsec) / 1.0e6;
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu) == 0)
        t.mainMs = static_cast<double>(cpu.tv_sec) * 1000.0 + static_cast<double>(cpu.tv_nsec) / 1.0e6;
    return t;
}

void FrameProfile::beginFrame()
{
    if (!m_running)
        return;
    ++m_frameIndex;
    m_frameCounted = false;
    m_stack.clear();
    m_draws = 0;
    m_frameLibs = {};
    m_framePasses.clear();
    m_split = m_frameIndex % 2 == 0;
    if (m_split && m_sync)
        m_sync();
    // What the GL shaded before the frame is nobody's.
    if (m_split && m_counter)
        m_fragmentsCounted = m_counter(true) >= 0.0;
    m_frameStart = m_last = readClocks();
}

void FrameProfile::charge(const Time& now, bool countOn)
{
    const Time spent{now.wallMs - m_last.wallMs, now.cpuMs - m_last.cpuMs, now.mainMs - m_last.mainMs};
    m_last = now;
    double fragments = 0.0;
    if (m_counter && m_fragmentsCounted) {
        fragments = std::max(m_counter(countOn), 0.0);
        // Reading the count waits on the GL: that is no pass's time.
        m_last = readClocks();
    }
    const FrameLib lib = m_stack.empty() ? FrameLib::Other : m_stack.back().lib;
    const char* pass = m_stack.empty() || !m_stack.back().pass ? frameLibName(lib) : m_stack.back().pass;
    add(m_frameLibs[static_cast<int>(lib)], spent);
    addPass(m_framePasses, pass, lib, spent, m_draws, fragments);
    m_draws = 0;
}

void FrameProfile::enter(FrameLib lib, const char* pass)
{
    if (!m_split)
        return;
    if (m_sync)
        m_sync();
    charge(readClocks());
    m_stack.push_back({lib, pass});
}

void FrameProfile::leave()
{
    if (!m_split || m_stack.empty())
        return;
    if (m_sync)
        m_sync();
    charge(readClocks());
    m_stack.pop_back();
}

void FrameProfile::endFrame()
{
    if (!m_running)
        return;
    const Time now = readClocks();
    const bool split = m_split;
    if (split)
        charge(now, false);
    m_split = false;
    m_stack.clear();
    if (!m_frameCounted)
        return;
    if (m_warmUp > 0) {
        --m_warmUp;
        return;
    }
    if (!split) {
        m_wholeWall.push_back(now.wallMs - m_frameStart.wallMs);
        m_wholeCpu.push_back(now.cpuMs - m_frameStart.cpuMs);
        m_wholeMain.push_back(now.mainMs - m_frameStart.mainMs);
        return;
    }
    ++m_splitCount;
    for (int i = 0; i < kFrameLibs; ++i)
        add(m_libs[i], m_frameLibs[i]);
    for (const PassTotal& p : m_framePasses)
        addPass(m_passes, p.name, p.lib, p.time, p.draws, p.fragments);
}

FrameProfile::Time FrameProfile::wholeFrameMean() const
{
    Time sum;
    for (std::size_t i = 0; i < m_wholeWall.size(); ++i)
        add(sum, {m_wholeWall[i], m_wholeCpu[i], m_wholeMain[i]});
    return scaled(sum, wholeFrames());
}

double FrameProfile::wholeFrameMedianMs() const
{
    if (m_wholeWall.empty())
        return 0.0;
    std::vector<double> sorted = m_wholeWall;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : 0.5 * (sorted[n / 2 - 1] + sorted[n / 2]);
}

FrameProfile::Time FrameProfile::libMean(FrameLib lib) const
{
    const int i = static_cast<int>(lib);
    return i >= 0 && i < kFrameLibs ? scaled(m_libs[i], m_splitCount) : Time{};
}

std::vector<FrameProfile::PassTotal> FrameProfile::passMeans() const
{
    std::vector<PassTotal> means = m_passes;
    for (PassTotal& p : means) {
        p.time = scaled(p.time, m_splitCount);
        p.draws = m_splitCount > 0 ? p.draws / m_splitCount : 0.0;
        p.fragments = m_splitCount > 0 ? p.fragments / m_splitCount : 0.0;
    }
    std::stable_sort(means.begin(), means.end(),
                     [](const PassTotal& a, const PassTotal& b) { return a.time.cpuMs > b.time.cpuMs; });
    return means;
}

std::string FrameProfile::report() const
{
    std::string out;
    char line[160];
    const Time whole = wholeFrameMean();
    const double median = wholeFrameMedianMs();
    std::snprintf(line, sizeof(line), "screen %s\nframes %d\nsplit_frames %d\n", m_screen[0] ? m_screen : "none",
                  wholeFrames(), splitFrames());
    out += line;
    std::snprintf(line, sizeof(line),
                  "frame_ms %.3f\nframe_median_ms %.3f\nframe_cpu_ms %.3f\nframe_main_cpu_ms %.3f\nfps %.2f\n",
                  whole.wallMs, median, whole.cpuMs, whole.mainMs, median > 0.0 ? 1000.0 / median : 0.0);
    out += line;
    // The split frames' shares: wall and process CPU milliseconds per frame,
    // and for the passes their draw calls and the main thread's own CPU (the
    // GL's vertex work and binning, which no other thread shares).
    for (int i = 0; i < kFrameLibs; ++i) {
        const Time t = libMean(static_cast<FrameLib>(i));
        std::snprintf(line, sizeof(line), "lib %-12s %8.3f %8.3f\n", kLibNames[i], t.wallMs, t.cpuMs);
        out += line;
    }
    // Fragments shaded a frame, where the GL counts them (-1 where not).
    for (const PassTotal& p : passMeans()) {
        std::snprintf(line, sizeof(line), "pass %-16s %-11s %8.3f %8.3f %6.0f %8.3f %10.0f\n", p.name,
                      frameLibName(p.lib), p.time.wallMs, p.time.cpuMs, p.draws, p.time.mainMs,
                      m_fragmentsCounted ? p.fragments : -1.0);
        out += line;
    }
    return out;
}
