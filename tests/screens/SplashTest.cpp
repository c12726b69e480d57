#include "FakeScreen.h"

#include "platform/Clock.h"
#include "screens/LoadingScreen.h"
#include "screens/Screens.h"
#include "screens/SplashesScreen.h"

#include <gtest/gtest.h>

namespace {
constexpr float kStep = 1.0f / 60.0f;

class Splash : public testing::Test {
protected:
    void SetUp() override
    {
        resetScreens();
        ScreenHooks hooks;
        hooks.menuScreen = &menu;
        setScreenHooks(hooks);
        splash = SplashesScreen{};
        setCurrentScreen(&splash);
        setFrameDelta(kStep);
    }
    void TearDown() override
    {
        resetScreens();
        setScreenHooks({});
    }
    // Runs frames until `seconds` of splash time have passed.
    void runFor(float seconds)
    {
        for (int frames = static_cast<int>(seconds / kStep + 0.5f); frames > 0; --frames)
            updateScreens();
    }
    std::vector<std::string> log;
    FakeScreen menu{"menu", log};
    SplashesScreen splash;
};

TEST_F(Splash, TheLogoFadesInHoldsAndHandsOverToTheMenuLoadAfterItsTimes)
{
    runFor(0.65f);   // 0.05 s of black, then half of the 1.2 s fade
    EXPECT_EQ(splash.phase(), SplashesScreen::Phase::FadeIn);
    const Color4 tint = splash.tint();
    EXPECT_NEAR(tint.r, 127, 5);
    EXPECT_EQ(tint.r, tint.a);
    EXPECT_EQ(tint.g, tint.b);

    runFor(1.0f);
    EXPECT_EQ(splash.phase(), SplashesScreen::Phase::Hold);
    EXPECT_EQ(splash.tint().a, 255);

    runFor(3.25f - 1.65f - 2.0f * kStep);
    EXPECT_EQ(currentScreen(), &splash) << "not before 3.25 s";
    runFor(5.0f * kStep);   // the phase changes may each take a frame
    EXPECT_EQ(currentScreen(), &menuLoadingScreen());
    EXPECT_EQ(menuLoadingScreen().next(), &menu);
    EXPECT_FALSE(menuLoadingScreen().started());
    EXPECT_FALSE(splash.isLoaded());
}

TEST_F(Splash, ATapOrTheBackKeySkipsAtOnce)
{
    runFor(0.3f);
    splash.onTouchDown(1, 10, 10);
    EXPECT_EQ(currentScreen(), &menuLoadingScreen());

    SetUp();
    runFor(0.1f);
    splash.onBack();
    EXPECT_EQ(currentScreen(), &menuLoadingScreen());
}

TEST_F(Splash, NoFullColorFlashWhenTheFadeStarts)
{
    for (int frame = 0; frame < 10; ++frame) {
        updateScreens();
        if (splash.phase() == SplashesScreen::Phase::FadeIn) {
            EXPECT_LT(splash.tint().a, 40);
            return;
        }
    }
    FAIL() << "the fade never started";
}
}  // namespace
