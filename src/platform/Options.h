#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The window and quality chosen at start: defaults, then "graphics.cfg" in the
// save folder, then the command line.
struct GraphicsConfig {
    int width = 1280;    // pixels, 320..16384
    int height = 720;    // pixels, 240..16384
    int mode = 0;        // 0 a window, 1 a desktop-size borderless window, 2 full screen
    int quality = 2;     // 0..3
    int vsync = 1;       // 0 or 1: swap interval
};

// "graphics.cfg" text: "key value" lines, '#' starts a comment. A value that is
// unreadable or out of its range is replaced by that key's default; unknown keys
// and malformed lines are skipped. Each fault is logged.
GraphicsConfig parseGraphicsConfig(std::string_view text);
std::string formatGraphicsConfig(const GraphicsConfig& config);

// The start-up values the window is made from; the graphics page reads and
// replaces them before it saves.
GraphicsConfig& startupGraphics();
// "graphics.cfg" of the save folder over the defaults; the defaults alone when
// the file is missing (it is not created at start-up).
GraphicsConfig loadGraphicsConfig();
// Writes "graphics.cfg" into the save folder from the start-up values, with
// vsync 1, replacing the old file atomically. False when it could not be written.
[[nodiscard]] bool saveGraphicsConfig();

// Options for headless and scripted runs; they change nothing else of a run.
struct TestOptions {
    float fixedFrameDelta = 0.0f;   // seconds of every frame; 0 takes the real clock
    int quitAfterFrames = 0;        // quit through the normal shut-down after so many frames; 0 never
    struct FrameDump {
        int frame = 0;              // 1 is the first frame drawn
        std::string path;           // PNG file; relative to the folder the game was started from
    };
    std::vector<FrameDump> frameDumps;
    // "-autostart TYPE:MAP": a game of that type on that map once the menu has loaded.
    int autostartType = 0;          // 0 none
    int autostartMap = 0;
    std::string inputScript;        // "-inputscript FILE": scripted input events; empty for none
};

// The command-line option table: "-help", "-width N", "-height N", "-mode N",
// "-quality N", "-vsync N", "-listres" (also with "--"), "+connect a.b.c.d:port",
// "+connect_lobby ID", "+password TEXT", and the test options "-fixeddt S",
// "-frames N", "-dumpframe N:FILE" (repeatable), "-inputscript FILE" and "-autostart TYPE:MAP".
class OptionTable {
public:
    // The arguments after the program name. Unknown options and missing or
    // unreadable values are logged and ignored.
    void parse(std::span<const char* const> args);
    // Sets the values given on the command line; one out of its range is
    // reported and the config keeps its value.
    void applyTo(GraphicsConfig& config) const;

    bool helpRequested() const { return m_help; }
    bool listResolutionsRequested() const { return m_listres; }
    // Empty when the option was not given.
    const std::string& connect() const { return m_connect; }
    const std::string& connectLobby() const { return m_connectLobby; }
    const std::string& password() const { return m_password; }
    const TestOptions& testOptions() const { return m_test; }

    // Every option with a line of explanation, for "-help".
    static std::string usage();

private:
    bool m_help = false;
    bool m_listres = false;
    std::optional<int> m_width, m_height, m_mode, m_quality, m_vsync;
    std::string m_connect, m_connectLobby, m_password;
    TestOptions m_test;
};
