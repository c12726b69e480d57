#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Where a frame's time goes, for the "-frametimes" test option and the frame
// benchmark. Off unless started: a scope then costs one test of a flag.
//
// The frames alternate between two kinds once started. A whole frame is timed
// untouched, so its time is what the player gets. A split frame drains the GL
// at every scope boundary (the sync hook), so the pixels a pass queued are
// paid inside that pass instead of at the next flush; its sum is larger than
// a whole frame, and only its shares are meant to be compared.
enum class FrameLib : std::uint8_t {
    Simulation = 0, AI, Mode, Hud, Effects, World, Entities, PostProcess, Menus, Swap, Other,
};
inline constexpr int kFrameLibs = 11;
const char* frameLibName(FrameLib lib);

class FrameProfile {
public:
    struct Time {
        double wallMs = 0.0, cpuMs = 0.0;  // cpu: the whole process, every thread
        double mainMs = 0.0;               // cpu of the calling (main) thread alone
    };
    struct PassTotal {
        const char* name = "";
        FrameLib lib = FrameLib::Other;
        Time time;
        double draws = 0.0;      // draw calls the pass made
        double fragments = 0.0;  // fragments it shaded, where the GL counts them
    };

    // Counts only frames that marked themselves (markCounted) after the first
    // warmUp of them, which pay the GL's program compiles.
    void start(int warmUp);
    void stop();
    bool running() const { return m_running; }
    // Drains the GPU's queued work; empty leaves the split frames unsynced.
    void setSync(std::function<void()> sync) { m_sync = std::move(sync); }
    // The fragments the GL shaded since its last call, then counting on only
    // when asked to; -1 where it cannot count. Called at the split frames'
    // boundaries after the sync. Empty: no fragments in the report.
    void setFragmentCounter(std::function<double(bool more)> counter) { m_counter = std::move(counter); }
    // Reads the wall and CPU clocks; empty reads the steady clock and the
    // process's CPU time. Tests step their own.
    void setClock(std::function<Time()> clock) { m_clock = std::move(clock); }

    void beginFrame();
    void endFrame();
    // This frame shows what is measured, a screen with a scene: it counts
    // once warmed up. A frame of another screen than the last starts the
    // count afresh, so the report holds the last screen shown (the game
    // after an autostart, else the menu).
    void markCounted(const char* screen);
    const char* countedScreen() const { return m_screen; }

    // The exclusive time of the innermost open scope; names are static texts
    // ("terrain"), compared by address.
    void enter(FrameLib lib, const char* pass);
    void leave();
    bool splitting() const { return m_split; }
    // One draw call of the GL, counted for the innermost open scope.
    void countDraw()
    {
        if (m_split)
            ++m_draws;
    }

    int wholeFrames() const { return static_cast<int>(m_wholeWall.size()); }
    int splitFrames() const { return m_splitCount; }
    // Means over the counted whole frames; the median of their wall times.
    Time wholeFrameMean() const;
    double wholeFrameMedianMs() const;
    // Means per counted split frame.
    Time libMean(FrameLib lib) const;
    std::vector<PassTotal> passMeans() const;
    // The report "-frametimes" writes: one "key value..." line each.
    std::string report() const;

private:
    struct Open {
        FrameLib lib;
        const char* pass;
    };
    void charge(const Time& now, bool countOn = true);
    Time readClocks() const;

    bool m_running = false, m_split = false, m_frameCounted = false;
    const char* m_screen = "";
    int m_draws = 0;
    int m_warmUpFrames = 0, m_warmUp = 0, m_frameIndex = 0, m_splitCount = 0;
    std::function<void()> m_sync;
    std::function<Time()> m_clock;
    std::function<double(bool)> m_counter;
    bool m_fragmentsCounted = false;
    Time m_frameStart, m_last;
    std::vector<Open> m_stack;
    // This frame's split, committed only when the frame counts.
    std::array<Time, kFrameLibs> m_frameLibs{}, m_libs{};
    std::vector<PassTotal> m_framePasses, m_passes;
    std::vector<double> m_wholeWall, m_wholeCpu, m_wholeMain;
};

FrameProfile& frameProfile();

// Times its lifetime under the library and pass; nothing when not splitting.
class ProfileScope {
public:
    explicit ProfileScope(FrameLib lib, const char* pass = nullptr)
    {
        if (frameProfile().splitting()) {
            m_on = true;
            frameProfile().enter(lib, pass);
        }
    }
    ~ProfileScope()
    {
        if (m_on)
            frameProfile().leave();
    }
    ProfileScope(const ProfileScope&) = delete;
    ProfileScope& operator=(const ProfileScope&) = delete;

private:
    bool m_on = false;
};
