#include "platform/sys/App.h"
#include "platform/Log.h"
#include "platform/sys/MessageBox.h"

#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/File.h"
#include "platform/FrameProfile.h"
#include "platform/Input.h"
#include "platform/Language.h"
#include "platform/Options.h"
#include "platform/Pak.h"
#include "platform/Random.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/Steam.h"
#include "platform/Text.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <SDL.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {
// The game's own private memory now, in KiB; 0 where unknown: the resident
// pages no file holds (the heap, the stacks, the GL's buffers and generated
// code, the library data the loader wrote to), as the system counts them in
// "Anonymous" of /proc/self/smaps_rollup. The pages of the libraries' code and
// constants are left out: they are shared, and come back from their files.
long privateKiB()
{
    long pages = 0;
#ifdef __linux__
    // Without the C library's buffers: the watcher below must not allocate.
    const int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[128];
    const ssize_t n = ::read(fd, text, sizeof(text) - 1);
    ::close(fd);
    if (n <= 0)
        return 0;
    text[n] = '\0';
    // Resident pages less those of files and shared memory.
    long size = 0, resident = 0, shared = 0;
    if (std::sscanf(text, "%ld %ld %ld", &size, &resident, &shared) == 3 && resident >= shared)
        pages = resident - shared;
    pages *= sysconf(_SC_PAGESIZE) / 1024;
#endif
    return pages;
}
// The most private memory of a timed run. The system keeps no high-water mark
// of it, and a load or a shader build can peak and let go inside one frame:
// a watcher looks every few milliseconds, beside the look after every frame.
class PrivatePeak {
public:
    ~PrivatePeak() { stop(); }
    void start()
    {
        if (m_watcher.joinable())
            return;
        m_stop = false;
        m_watcher = std::thread([this] {
            while (!m_stop.load()) {
                note();
                std::this_thread::sleep_for(std::chrono::milliseconds(4));
            }
        });
    }
    void stop()
    {
        m_stop = true;
        if (m_watcher.joinable())
            m_watcher.join();
    }
    void note()
    {
        const long now = privateKiB();
        long seen = m_peakKiB.load();
        while (now > seen && !m_peakKiB.compare_exchange_weak(seen, now)) {
        }
    }
    long peakKiB() const { return m_peakKiB.load(); }

private:
    std::atomic<long> m_peakKiB{0};
    std::atomic<bool> m_stop{false};
    std::thread m_watcher;
};
PrivatePeak g_privatePeak;
}  // namespace

namespace {
// A common twin-stick USB pad that SDL's own table lacks (vendor 0x0079,
// product 0x0006), sold under many names.
constexpr const char* kExtraControllerMapping =
    "03000000790000000600000010010000,Generic USB Joystick,"
    "a:b2,b:b1,x:b3,y:b0,back:b8,start:b9,leftshoulder:b4,rightshoulder:b5,"
    "lefttrigger:b6,righttrigger:b7,leftstick:b10,rightstick:b11,"
    "leftx:a0,lefty:a1,rightx:a3,righty:a4,"
    "dpup:h0.1,dpdown:h0.4,dpleft:h0.8,dpright:h0.2,platform:Linux,";

void startInputDevices()
{
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_HAPTIC | SDL_INIT_GAMECONTROLLER) != 0)
        logWarning("platform", "controllers unavailable: %s", SDL_GetError());
    if (SDL_GameControllerAddMapping(kExtraControllerMapping) < 0)
        logWarning("platform", "controller mapping refused: %s", SDL_GetError());
}

// Data paths are relative to the executable's folder, wherever the game was started from.
void enterExecutableFolder()
{
    char* base = SDL_GetBasePath();
    if (!base) {
        logWarning("platform", "cannot find the executable's folder: %s", SDL_GetError());
        return;
    }
    if (chdir(base) != 0)
        logWarning("platform", "cannot enter %s", base);
    SDL_free(base);
}

void openSaveFolder()
{
    setDataRoot("../");
    const std::string folder = "../save/" + std::to_string(steam().accountId()) + "/";
    if (!makeFolderPath(folder))
        logWarning("platform", "cannot create the save folder %s: nothing will be saved", folder.c_str());
    setSaveFolder(folder);
}

void mountBasePak()
{
    const std::string pak = dataRoot() + "paks/base.pak";
    if (!mountPak(pak))
        return;  // mountPak has said why
}

std::string currentFolder()
{
    char buffer[4096];
    return getcwd(buffer, sizeof(buffer)) ? std::string(buffer) : std::string();
}

// A closed terminal (hang-up), Ctrl+C and a termination request all end the
// game through the normal shut-down, so every one of them saves. A signal the
// game was started with ignored (nohup) stays ignored.
volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void onStopSignal(int signal)
{
    g_stopSignal = signal;
}

void catchStopSignals()
{
    for (const int signal : {SIGHUP, SIGINT, SIGTERM}) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

void call(const std::function<void()>& hook)
{
    if (hook)
        hook();
}
}  // namespace

App::App(AppHooks hooks) : m_hooks(std::move(hooks)), m_events(m_hooks) {}

int App::run(int argc, char** argv)
{
    const int early = startUp(argc, argv);
    if (early >= 0)
        return early;
    if (!startGame()) {
        closeWithoutSaving();
        return static_cast<int>(ExitCode::NoGameData);
    }
    while (!quitRequested())
        runPass();
    shutDown();
    return m_failedExit != 0 ? m_failedExit : static_cast<int>(ExitCode::Normal);
}

int App::startUp(int argc, char** argv)
{
    // Asking for help starts nothing and writes nothing.
    OptionTable options;
    if (argc > 1)
        options.parse(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
    if (options.helpRequested()) {
        std::fputs(OptionTable::usage().c_str(), stdout);
        return static_cast<int>(ExitCode::Normal);
    }
    steam().init();
    installMessageBoxPresenter();
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        logWarning("platform", "SDL cannot start: %s", SDL_GetError());
        return static_cast<int>(ExitCode::NoSdl);
    }
    catchStopSignals();  // after SDL, which installs its own for two of them
    startInputDevices();
    const std::string startFolder = currentFolder();
    m_startFolder = startFolder;
    enterExecutableFolder();
    openSaveFolder();
    steam().loadStats();
    mountBasePak();

    gatherDisplayModes();
    if (options.listResolutionsRequested()) {
        std::fputs(formatDisplayModes(displayModes()).c_str(), stdout);
        quitSdl();
        return static_cast<int>(ExitCode::Normal);
    }
    m_test = options.testOptions();
    m_roomServer = options.roomServer();
    for (TestOptions::FrameDump& dump : m_test.frameDumps)
        if (!dump.path.starts_with('/') && !startFolder.empty())
            dump.path = startFolder + "/" + dump.path;
    if (!m_test.frameTimes.empty() && !m_test.frameTimes.starts_with('/') && !startFolder.empty())
        m_test.frameTimes = startFolder + "/" + m_test.frameTimes;
    if (!m_test.inputScript.empty()) {
        if (!m_test.inputScript.starts_with('/') && !startFolder.empty())
            m_test.inputScript = startFolder + "/" + m_test.inputScript;
        InputScriptError error;
        if (!loadInputScript(m_test.inputScript, m_scriptEvents, error)) {
            std::fprintf(stderr, "input script %s: line %d: %s\n", m_test.inputScript.c_str(), error.line,
                         error.message.c_str());
            logWarning("platform", "input script %s: line %d: %s", m_test.inputScript.c_str(), error.line,
                       error.message.c_str());
            quitSdl();
            return static_cast<int>(ExitCode::BadInputScript);
        }
    }
    if (!m_test.inputPipe.empty()) {
        if (!m_test.inputPipe.starts_with('/') && !startFolder.empty())
            m_test.inputPipe = startFolder + "/" + m_test.inputPipe;
        if (!m_pipe.open(m_test.inputPipe)) {
            std::fprintf(stderr, "input pipe %s cannot be opened\n", m_test.inputPipe.c_str());
            quitSdl();
            return static_cast<int>(ExitCode::BadInputScript);
        }
    }
    for (const std::string& line : m_test.injections) {
        std::vector<ScriptEvent> injected;
        InputScriptError error;
        if (readInputScript(line, injected, error))
            m_scriptEvents.insert(m_scriptEvents.end(), injected.begin(), injected.end());
    }
    // The script's events and the injected ones, in frame order.
    std::stable_sort(m_scriptEvents.begin(), m_scriptEvents.end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
    if (!options.connect().empty())
        steam().queueJoinRequest(options.connect());
    steam().setLobbyRequest(options.connectLobby(), options.password());

    GraphicsConfig& graphics = startupGraphics();
    graphics = loadGraphicsConfig();
    options.applyTo(graphics);
    logInfo("platform", "graphics: %dx%d mode %d quality %d vsync %d", graphics.width, graphics.height,
                 graphics.mode, graphics.quality, graphics.vsync);
    if (!m_window.create(graphics, m_test.desktopGl)) {
        quitSdl();
        return static_cast<int>(ExitCode::NoWindow);
    }
    int width = 0, height = 0;
    m_window.drawableSize(width, height);
    if (!setScreenSize(width, height))
        setScreenSize(graphics.width, graphics.height);

    m_events.devices().openAll();
    if (!m_scriptEvents.empty() || m_pipe.isOpen()) {
        m_script.start(std::move(m_scriptEvents), SDL_GetWindowID(m_window.handle()));
        m_events.setScriptOnly(true);
    }
    if (m_hooks.startRenderer && !m_hooks.startRenderer()) {
        call(m_hooks.stopRenderer);
        m_window.close();
        quitSdl();
        return static_cast<int>(ExitCode::NoWindow);
    }
    return -1;
}

bool App::startGame()
{
    resetFrameClock();
    // A run on a fixed frame step is a test run: the same seed makes it repeatable.
    if (m_test.fixedFrameDelta > 0.0f) {
        seedRandom(0x5EED1234u + static_cast<std::uint32_t>(m_test.seed), 0x0BADF00Du);
        Clock::setFixedTime(m_fixedClock);
        m_events.setScriptedFocusOnly(true);
    }
    else
        seedRandomFromClock();
    if (m_hooks.loadGameData && !m_hooks.loadGameData())
        return false;
    const bool firstStart = !Settings::fileSaved();
    (void)settings().load();  // a damaged file has said so; a missing one is the first start
    if (firstStart) {
        settings().nameAfterAccount(utf8ToWide(steam().personaName()));
        logInfo("platform", "first start: the pilot is named \"%s\" after the account",
                wideToUtf8(settings().playerName).c_str());
    }
    call(m_hooks.startSound);
    call(m_hooks.showFirstScreen);
    (void)controls().load();  // a bad file has said why; a missing one is the first start
    // The first frames of a scene compile the GL's programs: not counted.
    if (!m_test.frameTimes.empty()) {
        frameProfile().start(kFrameTimesWarmUp);
        g_privatePeak.start();
    }
    return true;
}

void App::closeWithoutSaving()
{
    m_events.devices().closeAll();
    call(m_hooks.stopRenderer);
    call(m_hooks.stopSound);
    m_window.close();
    quitSdl();
}


void App::writeFrameTimes()
{
    FrameProfile& profile = frameProfile();
    if (!profile.running())
        return;
    profile.stop();
    std::string report = profile.report();
    // What the run drew at, the most it held and what it holds at the end, for
    // the benchmarks' memory figures.
    int width = 0, height = 0;
    m_window.drawableSize(width, height);
    g_privatePeak.stop();
    g_privatePeak.note();
    char line[128];
    std::snprintf(line, sizeof(line), "window %dx%d\npeak_private_mib %.1f\nprivate_mib %.1f\n", width, height,
                  g_privatePeak.peakKiB() / 1024.0, privateKiB() / 1024.0);
    report += line;
    std::FILE* out = std::fopen(m_test.frameTimes.c_str(), "w");
    if (!out || std::fputs(report.c_str(), out) < 0)
        logWarning("platform", "the frame times cannot be written to %s", m_test.frameTimes.c_str());
    if (out)
        std::fclose(out);
    logInfo("platform", "frame times: %d frames, median %.2f ms", profile.wholeFrames(), profile.wholeFrameMedianMs());
}

void App::shutDown()
{
    writeFrameTimes();
    if (!quitKeepingSettingsRequested())
        saveSettingsAndControls(settings(), controls());
    m_events.devices().closeAll();
    call(m_hooks.stopRenderer);  // GL names go while the context still lives
    // The sound device and its threads go while everything they reach still
    // lives, not among the static objects destroyed after main returns.
    call(m_hooks.stopSound);
    m_window.close();
    quitSdl();
}

void App::quitSdl()
{
    // What still holds SDL's objects lets go of them first: SDL frees them as it quits.
    m_script.releasePad();
    SDL_Quit();
}

bool App::quitRequested() const
{
    return g_stopSignal != 0 || m_failedExit != 0 || quitKeepingSettingsRequested() || m_events.quitRequested() || (m_hooks.quitConfirmed && m_hooks.quitConfirmed()) ||
           (m_test.quitAfterFrames > 0 && m_framesDrawn >= m_test.quitAfterFrames);
}

void App::setTestOptions(TestOptions options)
{
    m_test = std::move(options);
}

void App::dumpRequestedFrames()
{
    for (const TestOptions::FrameDump& dump : m_test.frameDumps) {
        if (dump.frame != m_framesDrawn)
            continue;
        if (!m_hooks.saveFrame || !m_hooks.saveFrame(dump.path))
            logWarning("platform", "frame %d could not be written to %s", dump.frame, dump.path.c_str());
    }
}


void App::runPass()
{
    FrameProfile& profile = frameProfile();
    profile.beginFrame();
    call(m_hooks.ensureQuitOverlay);
    if (m_pipe.isOpen())
        readInputPipe(m_framesDrawn + 1);
    if (m_script.active())
        m_script.pushFrame(m_framesDrawn + 1, m_hooks.focusedItemCentre);
    takeScriptShots(m_framesDrawn + 1);
    m_events.pump();
    call(m_hooks.updateQuitOverlay);
    if (m_hooks.drawScreens)
        m_hooks.drawScreens();
    else
        drawEmptyScreen();
    ++m_framesDrawn;
    if (!m_test.frameTimes.empty())
        g_privatePeak.note();
    dumpRequestedFrames();  // before the swap leaves the back buffer undefined
    {
        ProfileScope swap(FrameLib::Swap);
        m_window.swap();
    }
    afterFrameTick();
    m_events.dispatchTouches();
    input().endFrame();
    profile.endFrame();
}

void App::readInputPipe(int frame)
{
    std::vector<ScriptEvent> events;
    InputPipe::Wait got = m_pipe.poll(events);
    if (got == InputPipe::Wait::Silent)
        got = InputPipe::Wait::Ready;  // nothing new yet is no fault
    if (got != InputPipe::Wait::BadLine && !m_pipe.heardAll(frame)) {
        // The writer steers by what the game logged: it answers this line.
        logInfo("test", "frame %d waits for input", frame);
        got = m_pipe.waitFor(frame, kInputPipeSilence, events);
    }
    if (!events.empty())
        m_script.append(std::move(events));
    if (got == InputPipe::Wait::BadLine) {
        const InputScriptError& error = m_pipe.error();
        std::fprintf(stderr, "input pipe %s: line %d: %s\n", m_pipe.path().c_str(), error.line, error.message.c_str());
        m_failedExit = static_cast<int>(ExitCode::BadInputScript);
    } else if (got == InputPipe::Wait::Silent) {
        std::fprintf(stderr, "input pipe %s: nothing came for %.0f s before frame %d; the game quits\n",
                     m_pipe.path().c_str(), kInputPipeSilence, frame);
        m_failedExit = static_cast<int>(ExitCode::InputPipeSilent);
    }
}

void App::takeScriptShots(int frame)
{
    for (std::string& name : m_script.takeShots())
        m_test.frameDumps.push_back({frame, m_startFolder.empty() ? name : m_startFolder + "/" + name});
}

void App::setPacedToWallClock(bool on)
{
    if (on && !m_paced) {
        m_paceFixedStart = m_fixedClock;
        m_paceWallStart = std::chrono::steady_clock::now();
    }
    m_paced = on;
}

void App::afterFrameTick()
{
    if (m_test.fixedFrameDelta > 0.0f) {
        // A steady clock of fixed periods: the frame clock's average is then exact.
        m_fixedClock += m_test.fixedFrameDelta;
        if (m_paced) {
            const double wall =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - m_paceWallStart).count();
            const double ahead = (m_fixedClock - m_paceFixedStart) - wall;
            if (ahead > 0.0) {
                SDL_Delay(static_cast<Uint32>(std::min(ahead, 0.25) * 1000.0));
            } else if (ahead < -0.25) {
                // Fallen behind: go on from here rather than rush to catch up.
                m_paceFixedStart = m_fixedClock;
                m_paceWallStart = std::chrono::steady_clock::now();
            }
        }
        advanceFrameClock(m_fixedClock);
        Clock::setFixedTime(m_fixedClock);
    } else {
        advanceFrameClock(Clock::nowPrecise());
    }
    m_events.dispatchTouches();
    call(m_hooks.updateScreens);
    call(m_hooks.updateSound);
    call(m_hooks.updateAchievementPopups);
    // No room-client step here: the online pages poll it within their own
    // update, where what it reports is acted on in the same frame.
    if (takeLanguageChanged())
        call(m_hooks.rebuildMenusForLanguage);
}

void App::drawEmptyScreen()
{
    if (m_hooks.clearScreen)
        m_hooks.clearScreen(kEmptyScreenColor[0], kEmptyScreenColor[1], kEmptyScreenColor[2]);
}
