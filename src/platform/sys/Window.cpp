#include "platform/sys/Window.h"
#include "platform/Log.h"

#include "platform/Options.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

namespace {
Window* g_current = nullptr;
std::vector<DisplayMode> g_displayModes;
}  // namespace

void gatherDisplayModes()
{
    g_displayModes = listDisplayModes();
}

const std::vector<DisplayMode>& displayModes()
{
    return g_displayModes;
}

std::vector<DisplayMode> listDisplayModes()
{
    std::vector<DisplayMode> modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(0, i, &mode) != 0 || mode.w <= 0 || mode.h <= 0)
            continue;
        modes.push_back({mode.w, mode.h});
    }
    // SDL lists a size once per refresh rate and pixel format.
    std::sort(modes.begin(), modes.end(), [](const DisplayMode& a, const DisplayMode& b) {
        return a.width != b.width ? a.width > b.width : a.height > b.height;
    });
    modes.erase(std::unique(modes.begin(), modes.end(),
                            [](const DisplayMode& a, const DisplayMode& b) {
                                return a.width == b.width && a.height == b.height;
                            }),
                modes.end());
    return modes;
}

std::string formatDisplayModes(const std::vector<DisplayMode>& modes)
{
    std::string text;
    for (const DisplayMode& mode : modes)
        text += std::to_string(mode.width) + "x" + std::to_string(mode.height) + "\n";
    return text;
}

Window::~Window()
{
    close();
}

void clampToDisplay(GraphicsConfig& config, const std::vector<DisplayMode>& modes)
{
    int widest = 0, tallest = 0;
    for (const DisplayMode& mode : modes) {
        widest = std::max(widest, mode.width);
        tallest = std::max(tallest, mode.height);
    }
    if (widest <= 0 || tallest <= 0 || (config.width <= widest && config.height <= tallest))
        return;
    const int width = std::min(config.width, widest), height = std::min(config.height, tallest);
    logWarning("platform", "a window of %dx%d is larger than the display's %dx%d: using %dx%d", config.width,
               config.height, widest, tallest, width, height);
    config.width = width;
    config.height = height;
}

bool Window::create(const GraphicsConfig& asked, bool desktopFirst)
{
    close();
    GraphicsConfig config = asked;
    clampToDisplay(config, displayModes().empty() ? listDisplayModes() : displayModes());
    if (desktopFirst) {
        if (!tryCreate(config, false)) {
            logWarning("platform", "cannot create the window or its desktop OpenGL context: %s", SDL_GetError());
            return false;
        }
    } else if (!tryCreate(config, true)) {
        logWarning("platform", "OpenGL ES 2.0 context failed (%s); trying desktop OpenGL", SDL_GetError());
        if (!tryCreate(config, false)) {
            logWarning("platform", "cannot create the window or its OpenGL context: %s", SDL_GetError());
            return false;
        }
    }
    SDL_GL_SetSwapInterval(config.vsync ? 1 : 0);  // a driver that refuses keeps its own
    g_current = this;
    return true;
}

bool Window::tryCreate(const GraphicsConfig& config, bool es)
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK,
                        es ? SDL_GL_CONTEXT_PROFILE_ES : SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, es ? 0 : 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);  // shadow volumes

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
    if (config.mode == 1)
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    else if (config.mode == 2)
        flags |= SDL_WINDOW_FULLSCREEN;
    // Not resizable: menu pages are laid out once for the size they start with.
    m_window = SDL_CreateWindow("Skyfront", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, config.width,
                                config.height, flags);
    if (!m_window)
        return false;
    m_context = SDL_GL_CreateContext(m_window);
    if (!m_context) {
        SDL_DestroyWindow(m_window);
        m_window = nullptr;
        return false;
    }
    m_es = es;
    return true;
}

void Window::close()
{
    if (g_current == this)
        g_current = nullptr;
    if (m_context)
        SDL_GL_DeleteContext(m_context);
    if (m_window)
        SDL_DestroyWindow(m_window);
    m_context = nullptr;
    m_window = nullptr;
}

void Window::swap()
{
    if (m_window)
        SDL_GL_SwapWindow(m_window);
}

void Window::drawableSize(int& width, int& height) const
{
    width = height = 0;
    if (m_window)
        SDL_GL_GetDrawableSize(m_window, &width, &height);
}

Window* Window::current()
{
    return g_current;
}
