#pragma once
#include <string>
#include <vector>

struct GraphicsConfig;
struct SDL_Window;

// A display mode the screen offers.
struct DisplayMode {
    int width = 0;
    int height = 0;
};

// The modes of the first display, each size once, largest first; empty when
// SDL's video is not started or reports none.
std::vector<DisplayMode> listDisplayModes();
// Gathers the list once at start-up, after SDL's video has started.
void gatherDisplayModes();
// The list gathered at start-up; empty before.
const std::vector<DisplayMode>& displayModes();
// One "WxH" line per mode, for "-listres".
std::string formatDisplayModes(const std::vector<DisplayMode>& modes);
// The window size cut to the largest width and height the modes offer (each
// on its own), logged when cut; unchanged when the list is empty. A window
// larger than the display only costs memory and time per frame.
void clampToDisplay(GraphicsConfig& config, const std::vector<DisplayMode>& modes);

// The game's one window with its GL context. An OpenGL ES 2.0 context is asked
// for first (a later ES version is fine); when that fails, a desktop context.
// Entry points come through libepoxy.
class Window {
public:
    Window() = default;
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // False, with the reason logged and nothing left open, when neither
    // context can be made. Mode 1 covers the desktop; mode 2 switches the
    // display to width x height. The swap interval follows vsync. The size
    // is first cut to the display (clampToDisplay over displayModes()).
    [[nodiscard]] bool create(const GraphicsConfig& config, bool desktopFirst = false);
    // Closes the window and its context; create may be called again.
    void close();
    void swap();
    // The size in pixels GL draws into.
    void drawableSize(int& width, int& height) const;
    bool isOpenGLES() const { return m_es; }
    SDL_Window* handle() const { return m_window; }

    // The window that exists now, null before create and after destruction.
    static Window* current();

private:
    bool tryCreate(const GraphicsConfig& config, bool es);

    SDL_Window* m_window = nullptr;
    void* m_context = nullptr;    // SDL_GLContext
    bool m_es = false;
};
