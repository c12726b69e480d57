#pragma once
#include "platform/sys/AppHooks.h"
#include "platform/sys/EventPump.h"
#include "platform/sys/InputScriptPlayer.h"
#include "platform/InputPipe.h"
#include "platform/Options.h"
#include "platform/sys/Window.h"

#include <chrono>

// The empty screen's color (RGB 0..1): a dusk blue, so a running loop with no
// screens yet is told apart from a dead window.
constexpr float kEmptyScreenColor[3] = {0.12f, 0.20f, 0.32f};

// Exit codes of the program.
enum class ExitCode : int { Normal = 0, NoGameData = 1, NoSdl = 2, NoWindow = 3, BadInputScript = 4, InputPipeSilent = 5 };

// The program: start-up in its fixed order, the main loop, shut-down.
class App {
public:
    explicit App(AppHooks hooks);
    App(const App&) = delete;             // the event pump refers to m_hooks
    App& operator=(const App&) = delete;

    // The whole run; the exit code main returns: 2 when SDL cannot start, 3
    // when the window or GL context cannot be made, 4 when the "-inputscript"
    // file or a "-inputpipe" line is bad (or the pipe cannot be opened), 5 when
    // the pipe's writer sent nothing for kInputPipeSilence seconds of real
    // time, 0 otherwise (also after "-help" and "-listres").
    int run(int argc, char** argv);

    // One pass of the main loop, in its order. Public so that a test can run
    // passes without a window (nothing is drawn then).
    void runPass();
    // The after-frame tick: frame clock, touch dispatch, screens, sound,
    // achievement pop-ups, room client, language rebuild.
    void afterFrameTick();

    // True once the window was asked to close or the quit overlay confirmed.
    bool quitRequested() const;
    // Clears the whole drawable to kEmptyScreenColor through the renderer's
    // hook; nothing before the renderer started.
    void drawEmptyScreen();
    // The command line's test options; start-up sets them, tests may too.
    void setTestOptions(TestOptions options);
    const TestOptions& testOptions() const { return m_test; }
    // "-roomserver HOST[:PORT]" as given (127.0.0.1:11489 unless given).
    const std::string& roomServer() const { return m_roomServer; }
    int framesDrawn() const { return m_framesDrawn; }
    EventPump& events() { return m_events; }
    // On a fixed frame step, whether the frames keep to the wall clock: set
    // while a network match runs, whose peers live in real time and would
    // otherwise be outrun (a joiner waiting on its own fast clock for the
    // host's word takes the host for lost).
    void setPacedToWallClock(bool on);
    Window& window() { return m_window; }

private:
    int startUp(int argc, char** argv);   // -1 to go on into the loop, else the exit code
    bool startGame();   // false when the game data cannot be loaded
    void closeWithoutSaving();
    void shutDown();
    void quitSdl();
    void dumpRequestedFrames();
    void writeFrameTimes();  // the "-frametimes" report, when asked for
    static constexpr int kFrameTimesWarmUp = 30;
    // A piped script's writer that sends nothing for this long is taken for dead.
    static constexpr double kInputPipeSilence = 10.0;
    void readInputPipe(int frame);
    void takeScriptShots(int frame);

    AppHooks m_hooks;
    EventPump m_events;
    Window m_window;
    TestOptions m_test;
    std::string m_roomServer;
    InputScriptPlayer m_script;
    std::vector<ScriptEvent> m_scriptEvents;
    InputPipe m_pipe;
    std::string m_startFolder;
    int m_failedExit = 0;   // an exit code once the run must end in error
    int m_framesDrawn = 0;
    double m_fixedClock = 0.0;
    bool m_paced = false;
    double m_paceFixedStart = 0.0;
    std::chrono::steady_clock::time_point m_paceWallStart;
};
