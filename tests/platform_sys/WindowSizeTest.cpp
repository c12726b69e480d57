#include "platform/sys/Window.h"
#include "platform/Log.h"
#include "platform/Options.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

// The widest and the tallest mode bound each side on its own: a display
// that offers 1920x1080 and 1600x1200 fits a 1920x1200 window.
TEST(WindowSize, AnAskedSizeIsCutToWhatTheDisplayOffers)
{
    std::vector<std::string> lines;
    setLogCapture([&](LogLevel, const std::string&, const std::string& m) { lines.push_back(m); });
    const std::vector<DisplayMode> modes{{1920, 1080}, {1600, 1200}, {800, 600}};
    GraphicsConfig config;
    config.width = config.height = 16384;
    clampToDisplay(config, modes);
    EXPECT_EQ(config.width, 1920);
    EXPECT_EQ(config.height, 1200);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("16384x16384"), std::string::npos) << lines[0];

    config.width = 1920;
    config.height = 1201;
    clampToDisplay(config, modes);
    EXPECT_EQ(config.height, 1200);
    config.width = 1920;
    config.height = 1200;
    clampToDisplay(config, modes);
    EXPECT_EQ(config.width, 1920);
    EXPECT_EQ(lines.size(), 2u) << "a size that fits says nothing";

    // No modes known: nothing to cut to.
    config.width = 5000;
    clampToDisplay(config, {});
    EXPECT_EQ(config.width, 5000);
    setLogCapture({});
}

// The real window on the test display (1280x1024): asked for 16384 pixels a
// side, it is made no larger than the screen.
TEST(WindowSize, AWindowOf16384PixelsASideIsMadeTheDisplaysSize)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        GTEST_SKIP() << "no display: " << SDL_GetError();
    const std::vector<DisplayMode> modes = listDisplayModes();
    if (modes.empty()) {
        // A video driver without a screen (no X display) offers no modes to cut to.
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        GTEST_SKIP() << "the video driver offers no display modes";
    }
    int widest = 0, tallest = 0;
    for (const DisplayMode& m : modes)
        widest = std::max(widest, m.width), tallest = std::max(tallest, m.height);
    {
        GraphicsConfig config;
        config.width = config.height = 16384;
        Window window;
        ASSERT_TRUE(window.create(config));
        int width = 0, height = 0;
        SDL_GetWindowSize(window.handle(), &width, &height);
        EXPECT_GT(width, 0);
        EXPECT_LE(width, widest);
        EXPECT_LE(height, tallest);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
