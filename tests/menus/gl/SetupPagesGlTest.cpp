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
#include "render/2d/SpriteBatch.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/HMenuItemsSlider.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteLabel.h"
#include "ui/widgets/SpriteSlider.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

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

TEST_F(SetupPages, AProgressBarLeavesItsColumnClipped)
{
    struct HalfDone : KTAchievement {
        explicit HalfDone(Achievements& owner) : KTAchievement(owner, 4, 280) {}
        void onEvent(int) override {}
        float progress() const override { return 0.5f; }
    } half(achievements());
    AchItem row(half, 280, 500);
    row.layout(100, 100);
    ASSERT_TRUE(row.showsBar());
    SpriteBatch& batch = spriteBatch();
    batch.discard();
    batch.pushClipRect();
    batch.setClipRect(90.0f, 90.0f, 300.0f, 60.0f);
    const ClipRect column = batch.clipRect();
    const int depth = batch.clipDepth();
    row.draw();
    EXPECT_FLOAT_EQ(batch.clipRect().x, column.x);
    EXPECT_FLOAT_EQ(batch.clipRect().y, column.y);
    EXPECT_FLOAT_EQ(batch.clipRect().w, column.w);
    EXPECT_FLOAT_EQ(batch.clipRect().h, column.h);
    EXPECT_EQ(batch.clipDepth(), depth);
    EXPECT_FALSE(batch.cropping());
    // Icon, bar, fill and name in one texture run each, none drawn yet.
    EXPECT_GT(batch.pendingQuads(), 3);
    batch.discard();
    batch.popClipRect();
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

namespace {
// The help pages at three screen sizes: every picture a page names is drawn
// where it stands and leaves the page's texts readable.
struct HelpPictures : MenuHarness, testing::WithParamInterface<std::pair<int, int>> {
    void SetUp() override
    {
        MenuHarness::SetUp();
        boot(GetParam().first, GetParam().second);
        std::filesystem::create_directories(std::string(SKYFRONT_BINARY_DIR) + "/menus/setup");
    }
    std::string size() const { return std::to_string(GetParam().first) + "x" + std::to_string(GetParam().second); }
};

void collect(const MenuItem* item, std::vector<const SpriteButton*>& pictures, std::vector<const SpriteLabel*>& texts)
{
    if (const auto* picture = dynamic_cast<const SpriteButton*>(item); picture && picture->isFrameButton())
        pictures.push_back(picture);
    else if (const auto* text = dynamic_cast<const SpriteLabel*>(item); text && text->hasText())
        texts.push_back(text);
    if (item->isContainer())
        for (const MenuItem* child : static_cast<const MenuContainer*>(item)->drawList())
            collect(child, pictures, texts);
}

bool overlap(const MenuItem& a, const MenuItem& b)
{
    return a.absX < b.absX + b.width && b.absX < a.absX + a.width && a.absY < b.absY + b.height &&
           b.absY < a.absY + a.height;
}
}  // namespace

TEST_P(HelpPictures, EveryPictureOfTheHelpShowsBesideItsTexts)
{
    HowToPlayMenuFrame help;
    goToFrame(&help);
    step(10);
    int shown = 0;
    for (int p = 0; p < kHelpPageCount; ++p) {
        SCOPED_TRACE("help page " + std::to_string(p + 1));
        help.pager->scrollToIndex(p);
        help.onPageChanged(p);
        step(40);
        const MenuItem* page = help.pager->itemAt(p);
        std::vector<const SpriteButton*> pictures;
        std::vector<const SpriteLabel*> texts;
        collect(page, pictures, texts);
        if (pictures.empty())
            continue;
        savePicture("menus/setup/howtoplay_" + std::to_string(p + 1) + "_" + size() + ".png");
        for (const SpriteButton* picture : pictures) {
            ASSERT_GT(picture->width, 20) << "frame " << picture->frame << " is missing";
            ASSERT_GT(picture->height, 20) << "frame " << picture->frame << " is missing";
            EXPECT_GE(picture->absX, page->absX) << "frame " << picture->frame;
            EXPECT_LE(picture->absX + picture->width, page->absX + page->width) << "frame " << picture->frame;
            for (const SpriteLabel* text : texts)
                EXPECT_FALSE(overlap(*picture, *text))
                    << "frame " << picture->frame << " at " << picture->absX << "," << picture->absY << " "
                    << picture->width << "x" << picture->height << " covers a text at " << text->absX << ","
                    << text->absY << " " << text->width << "x" << text->height;
        }
        for (const SpriteButton* a : pictures)
            for (const SpriteButton* b : pictures)
                EXPECT_TRUE(a == b || !overlap(*a, *b)) << "frames " << a->frame << " and " << b->frame;
        // Drawn: hiding a picture changes a good share of its pixels. The
        // page scrolls first to show the whole picture.
        auto* scrolled = const_cast<MenuContainer*>(static_cast<const MenuContainer*>(page));
        for (const SpriteButton* picture : pictures) {
            auto* shownPicture = const_cast<SpriteButton*>(picture);
            scrolled->scrollToItem(shownPicture);
            step(40);
            const std::vector<Rgba> with = screenPixels();
            shownPicture->visible = false;
            step(1);
            const std::vector<Rgba> without = screenPixels();
            shownPicture->visible = true;
            EXPECT_GE(picture->absY, page->absY) << "frame " << picture->frame << " not scrolled into view";
            EXPECT_LE(picture->absY + picture->height, page->absY + page->height)
                << "frame " << picture->frame << " not scrolled into view";
            int changed = 0, area = 0;
            for (int y = std::max(picture->absY, 0); y < std::min(picture->absY + picture->height, screenHeight()); ++y)
                for (int x = std::max(picture->absX, 0); x < std::min(picture->absX + picture->width, screenWidth());
                     ++x) {
                    const Rgba& a = with[static_cast<std::size_t>(y * screenWidth() + x)];
                    const Rgba& b = without[static_cast<std::size_t>(y * screenWidth() + x)];
                    changed += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 30 ? 1 : 0;
                    ++area;
                }
            EXPECT_GT(changed, area / 20) << "frame " << picture->frame << " of set "
                                          << (picture->sprite == getSprite(2) ? 2 : 7);
            ++shown;
        }
        step(1);
    }
    // Pages 3, 4, 5, 6, 8, 10, 11 and 12 hold 15 pictures.
    EXPECT_EQ(shown, 15);
}

INSTANTIATE_TEST_SUITE_P(Sizes, HelpPictures,
                         testing::Values(std::make_pair(960, 640), std::make_pair(1280, 720),
                                         std::make_pair(1920, 1080)),
                         [](const testing::TestParamInfo<std::pair<int, int>>& info) {
                             return "W" + std::to_string(info.param.first);
                         });
