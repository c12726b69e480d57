#include "harness/MenuHarness.h"

#include "menus/frontend/AchievementsMenuFrame.h"
#include "menus/frontend/CreditsMenuFrame.h"
#include "menus/frontend/GameSetupMenuFrame.h"
#include "menus/frontend/HowToPlayMenuFrame.h"
#include "menus/settings/AudioMenuFrame.h"
#include "menus/settings/ControlsMenuFrame.h"
#include "menus/settings/GraphicsSettingsMenuFrame.h"
#include "modes/progress/Achievements.h"
#include "platform/Settings.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/HMenuItemsSlider.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteSlider.h"

#include <filesystem>
#include <memory>

namespace {
struct SetupPages : MenuHarness {
    void SetUp() override
    {
        MenuHarness::SetUp();
        boot(1280, 720);
        std::filesystem::create_directories(std::string(SKYFRONT_BINARY_DIR) + "/menus/setup");
    }
    // Shows the page for a second and writes its picture.
    void show(MenuFrame& page, const char* name)
    {
        goToFrame(&page);
        step(60);
        savePicture(std::string("menus/setup/") + name + ".png");
    }
    // Pixels that differ from the backdrop enough to be drawn content.
    int drawnPixels()
    {
        int count = 0;
        for (const Rgba& c : screenPixels())
            count += (c.r + c.g + c.b) > 200 ? 1 : 0;
        return count;
    }
};
}  // namespace

TEST_F(SetupPages, SetupPageDrawsAndTakesKeysAndMouse)
{
    GameSetupMenuFrame page({{11, 1, -1}, {11, 2, -1}, {11, 3, -1}, {11, 4, -1}, {11, 5, -1}, {11, 6, -1}});
    int started = 0;
    page.startHandler = [&] { ++started; };
    show(page, "setup");
    EXPECT_GT(drawnPixels(), 2000);
    // The random map has the focus: the select key starts.
    pressKey(SDL_SCANCODE_RETURN);
    step(2);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(settings().skirmishMap, -1);
    // A click on the third map's button.
    MenuItem* third = page.mapStrip->itemAt(4);
    click(third->absX + third->width / 2, third->absY + third->height / 2);
    step(2);
    EXPECT_EQ(settings().skirmishMap, 2);
}

TEST_F(SetupPages, OptionPagesDraw)
{
    ControlsMenuFrame controlsPage;
    show(controlsPage, "controls");
    EXPECT_GT(drawnPixels(), 2000);
    SpriteCheckbox* mouse = controlsPage.deviceBoxes[2];
    click(mouse->absX + mouse->width / 2, mouse->absY + mouse->height / 2);
    step(2);
    EXPECT_EQ(settings().controlDevice, 2);
    savePicture("menus/setup/controls_mouse.png");

    GraphicsSettingsMenuFrame graphicsPage({{1920, 1080}, {1280, 720}, {800, 600}});
    show(graphicsPage, "graphics");
    graphicsPage.qualityBox->stepRight();
    step(10);
    EXPECT_TRUE(graphicsPage.applyShown());
    savePicture("menus/setup/graphics_changed.png");

    AudioMenuFrame audioPage;
    show(audioPage, "audio");
    EXPECT_GT(drawnPixels(), 2000);
    // The music thumb dragged to the start of its track.
    SpriteSlider& music = *audioPage.musicVolume;
    const int y = music.absY + music.height / 2;
    const int x = music.absX + music.thumbPosition() + music.halfThumb;
    mouseDown(x, y);
    step(1);
    for (int i = 1; i <= 10; ++i) {
        mouseMove(x - i * 40, y);
        step(1);
    }
    mouseUp(x - 400, y);
    step(30);
    EXPECT_FLOAT_EQ(settings().musicVolume, 0.0f) << "slider at " << music.absX << "," << music.absY << " "
                                                  << music.width << "x" << music.height << " thumb " << x;
}

TEST_F(SetupPages, InformationPagesDraw)
{
    settings().achievementDone.fill(0);
    for (int i : {0, 1, 2, 5, 8})
        settings().achievementDone[i] = 1;
    achievements().buildTable();
    AchievementsMenuFrame achievementsPage;
    show(achievementsPage, "achievements");
    EXPECT_GT(drawnPixels(), 2000);

    HowToPlayMenuFrame help;
    show(help, "howtoplay");
    EXPECT_GT(drawnPixels(), 2000);
    help.pager->scrollToIndex(kHelpPageCount);
    help.onPageChanged(kHelpPageCount);
    step(30);
    savePicture("menus/setup/howtoplay_ranks.png");
}

TEST_F(SetupPages, CreditsRiseFortyPixelsInTwoSeconds)
{
    CreditsMenuFrame credits;
    goToFrame(&credits);
    step(60);
    const float before = credits.scrollY;
    savePicture("menus/setup/credits_0.png");
    step(120);
    savePicture("menus/setup/credits_2s.png");
    EXPECT_NEAR(before - credits.scrollY, 40.0f, 1.0f);
}
