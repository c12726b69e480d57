#include "platform/App.h"
#include "platform/Clock.h"
#include "platform/Options.h"
#include "platform/ScreenMetrics.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {
// Before any screen registers, the loop clears every frame to its fixed colour.
TEST(EmptyScreen, TheLoopRunsWithoutScreensAndClearsToTheEmptyColour)
{
    // Counted start and stop: the other GL tests of this process keep their window.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    {
        App app{AppHooks{}};
        GraphicsConfig config;
        config.width = 320;
        config.height = 240;
        ASSERT_TRUE(app.window().create(config));
        int width = 0, height = 0;
        app.window().drawableSize(width, height);
        ASSERT_TRUE(setScreenSize(width, height));
        for (int pass = 0; pass < 10; ++pass)
            app.runPass();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        // Every pass's tick fed the frame clock.
        EXPECT_GT(frameDelta(), 0.0f);
        EXPECT_LE(frameDelta(), 0.25f);

        // The back buffer is undefined after a swap: clear once more and read it.
        app.drawEmptyScreen();
        GLubyte pixel[4] = {};
        glReadPixels(width / 2, height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_NEAR(pixel[channel], std::lround(kEmptyScreenColour[channel] * 255.0f), 1) << channel;

        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        app.runPass();
        EXPECT_TRUE(app.quitRequested());
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
}  // namespace
