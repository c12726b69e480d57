#include "platform/sys/App.h"
#include "platform/Clock.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {
// Before any screen registers, each pass clears through the renderer's hook to
// the fixed color; once screens draw, they replace the clear.
TEST(EmptyScreen, PassesClearToTheEmptyColorUntilScreensDraw)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
    {
        std::vector<std::array<float, 3>> clears;
        int drawn = 0;
        AppHooks hooks;
        hooks.clearScreen = [&](float r, float g, float b) { clears.push_back({r, g, b}); };
        App app{std::move(hooks)};
        for (int pass = 0; pass < 3; ++pass)
            app.runPass();
        ASSERT_EQ(clears.size(), 3u);
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_FLOAT_EQ(clears[0][channel], kEmptyScreenColor[channel]);
        // Every pass's tick fed the frame clock.
        EXPECT_GT(frameDelta(), 0.0f);
        EXPECT_LE(frameDelta(), 0.25f);

        AppHooks drawing;
        drawing.clearScreen = [&](float, float, float) { clears.push_back({}); };
        drawing.drawScreens = [&] { ++drawn; };
        App withScreens{std::move(drawing)};
        withScreens.runPass();
        EXPECT_EQ(drawn, 1);
        EXPECT_EQ(clears.size(), 3u);

        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        app.runPass();
        EXPECT_TRUE(app.quitRequested());
    }
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}
}  // namespace
