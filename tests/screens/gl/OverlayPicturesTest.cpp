// The quit question and the OK message drawn over the loading screen's
// colour, written to build/screens/*.png for a look and checked by pixels.
#include "GlTestContext.h"

#include "platform/File.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/SpriteSets.h"
#include "render/assets/ImageWriter.h"
#include "screens/OKOverlay.h"
#include "screens/QuitGameOverlay.h"
#include "screens/Screens.h"
#include "ui/widgets/SpriteButton.h"

#include <filesystem>

namespace {
constexpr Rgba kBackground{20, 30, 40, 255};

struct OverlayPictures : GlTest {
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        setDataRoot(std::string(SKYFRONT_STAGE_DIR) + "/");
        ASSERT_TRUE(setScreenSize(960, 640));
        setSpriteLoadScale(screenMetrics().spriteScale);
        ASSERT_TRUE(setLanguageByIndex(0));
        useTarget(960, 640);
        std::filesystem::create_directories(SKYFRONT_BINARY_DIR "/screens");
        resetScreens();
    }
    void TearDown() override
    {
        QuitGameOverlay::instance().shown = false;
        OKOverlay::hide();
        GlTest::TearDown();
    }
    void save(const char* name)
    {
        std::vector<std::uint8_t> rgba;
        gfx().readPixels(0, 0, 960, 640, rgba);
        EXPECT_TRUE(writePngFile(std::string(SKYFRONT_BINARY_DIR "/screens/") + name, 960, 640, rgba));
    }
    // Screen coordinates (y down) to the target's rows.
    Rgba at(int x, int y) { return pixel(x, 639 - y); }
};

TEST_F(OverlayPictures, TheQuitQuestionShowsItsPanelAndButtonsOnlyWhileShown)
{
    QuitGameOverlay& quit = QuitGameOverlay::instance();
    clearTo(kBackground);
    drawScreens();
    EXPECT_TRUE(rgbNear(at(480, 320), kBackground)) << "hidden: nothing drawn";

    quit.show();
    quit.update();
    clearTo(kBackground);
    drawScreens();
    save("quit_overlay.png");
    const SpriteButton& no = *quit.noButton;
    const Rgba button = at(no.absX + no.width / 2, no.absY + no.height / 4);
    EXPECT_FALSE(rgbNear(button, kBackground, 20)) << button;
    EXPECT_TRUE(rgbNear(at(5, 5), kBackground)) << "the screen around the panel is left alone";
}

TEST_F(OverlayPictures, TheOKMessageDrawsItsPanelWhileVisible)
{
    OKOverlay& ok = OKOverlay::instance();
    ok.visible = true;
    clearTo(kBackground);
    drawScreens();
    save("ok_overlay.png");
    const Rgba panel = at(480, 320 - 100);
    EXPECT_FALSE(rgbNear(panel, kBackground, 10)) << panel;
    OKOverlay::hide();
    clearTo(kBackground);
    drawScreens();
    EXPECT_TRUE(rgbNear(at(480, 220), kBackground));
}
}  // namespace
