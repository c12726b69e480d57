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
// Ends the program after the current pass through the normal shut-down, but
// without its settings save (applying new graphics must not rewrite them).
void requestQuitKeepingSettings();
bool quitKeepingSettingsRequested();
// Back to no request (tests).
void clearQuitKeepingSettings();

// Options for headless and scripted runs; they change nothing else of a run.
struct TestOptions {
    float fixedFrameDelta = 0.0f;   // seconds of every frame; 0 takes the real clock
    int quitAfterFrames = 0;        // quit through the normal shut-down after so many frames; 0 never
    int seed = 0;                   // "-seed N": a fixed-step run's random sequence starts from N; 0 the usual one
    struct FrameDump {
        int frame = 0;              // 1 is the first frame drawn
        std::string path;           // PNG file; relative to the folder the game was started from
    };
    std::vector<FrameDump> frameDumps;
    // "-autostart TYPE:MAP": a game of that type on that map once the menu has loaded.
    int autostartType = 0;          // 0 none
    int autostartMap = 0;
    std::string autostartMission;   // "-autostart 1:c1m1": the campaign mission's record name
    std::string inputScript;        // "-inputscript FILE": scripted input events; empty for none
    std::string inputPipe;          // "-inputpipe FILE": the same read from a pipe in step with the frames
    std::string menuPage;           // "-menupage NAME": that menu page over the first one; empty for none
    std::vector<FrameDump> laterPages;   // "-pageat N:NAME": the page NAME shown at frame N
    bool textBoxes = false;         // "-textboxes": the texts' and their frames' rectangles beside each picture
    // "-inject N:click@X,Y" and "-inject N:key@NAME" (repeatable): one event
    // at frame N, kept as an input-script line ("N click X Y", "N key NAME").
    std::vector<std::string> injections;
    // "-autohost TYPE:MAP": once the menu has loaded, the LAN create page hosts
    // a game of that type on that map.
    int autohostType = 0;           // 0 none
    int autohostMap = 0;
    // "-netport N" and "-lanaddr ADDR": the LAN games' UDP port and the address
    // discovery and announces go to, so that test runs stay on loopback and apart.
    int netPort = 0;                // 0: the game's own port
    std::string lanAddress;         // empty: the broadcast address
    // "-frametimes FILE": the frame times and their split, written at the end
    // (relative to the folder the game was started from); empty for none.
    std::string frameTimes;
    // "-testplace foe|flag|ship|deck|bridge|building": a placement that lets a
    // scripted run score a kill or a flag capture, see a ship close by, fly
    // past a ship's or a bridge's model or shoot at a building; empty for none.
    std::string testPlace;
    // "-logplayer N": every N frames of play a log line of the frame and the
    // player airplane's position and velocity, for scripts that steer by it; 0 never.
    int logPlayerEvery = 0;
    // "-gldesktop": desktop OpenGL from the start instead of OpenGL ES first.
    bool desktopGl = false;
};

// The input-script line of an "-inject" value; false, with nothing written,
// when the value is not N:click@X,Y or N:key@NAME with a valid frame, point
// or key name.
bool parseInjection(std::string_view value, std::string& scriptLine);

// The command-line option table: "-help", "-width N", "-height N", "-mode N",
// "-quality N", "-vsync N", "-listres" (also with "--"), "+connect a.b.c.d:port", "-roomserver HOST[:PORT]",
// "+connect_lobby ID", "+password TEXT", and the test options "-fixeddt S",
// "-frames N", "-dumpframe N:FILE" (repeatable), "-inputscript FILE", "-inputpipe FILE", "-menupage NAME",
// "-pageat N:NAME" (repeatable), "-textboxes", "-autostart TYPE:MAP" and
// "-inject N:EVENT" (repeatable), "-autohost TYPE:MAP", "-netport N", "-lanaddr ADDR", "-frametimes FILE" and
// "-testplace foe|flag|ship|deck|bridge|building", "-logplayer N".
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
    // "-roomserver HOST[:PORT]": the online room server; 127.0.0.1:11489 unless given.
    const std::string& roomServer() const { return m_roomServer; }
    const TestOptions& testOptions() const { return m_test; }

    // Every option with a line of explanation, for "-help".
    static std::string usage();

private:
    bool m_help = false;
    bool m_listres = false;
    std::optional<int> m_width, m_height, m_mode, m_quality, m_vsync;
    std::string m_connect, m_connectLobby, m_password;
    std::string m_roomServer = "127.0.0.1:11489";
    TestOptions m_test;
};
