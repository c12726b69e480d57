#include "harness/MenuHarness.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/ChooseControlTypePanel.h"
#include "menus/frontend/FrontendLinks.h"
#include "menus/frontend/GameSetupMenuFrame.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/frontend/TutorialListMenuFrame.h"
#include "menus/settings/LanguageMenuFrame.h"
#include "menus/settings/OptionsMenuFrame.h"
#include "menus/settings/OtherGameSettingsMenuFrame.h"
#include "modes/GameType.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteLabel.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {
// Each page at the smallest and a large screen; pictures under build/menus/frontend/.
struct FrontendPagesGl : MenuHarness, testing::WithParamInterface<std::pair<int, int>> {
    void SetUp() override
    {
        MenuHarness::SetUp();
        if (IsSkipped())
            return;
        MenuFrameRegistry::deleteAll();
        boot(GetParam().first, GetParam().second);
        std::filesystem::create_directories(std::string(SKYFRONT_BINARY_DIR) + "/menus/frontend");
        settings().tutorialDone.fill(0);
        settings().tutorialPromptAnswered = 1;
        settings().languageIndex = 0;
        languageRebuild = rebuildMenusForLanguage;
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            clearFrameHistory();
            MenuFrameRegistry::deleteAll();
        }
        MenuHarness::TearDown();
    }
    std::string size() const { return std::to_string(GetParam().first) + "x" + std::to_string(GetParam().second); }
    void picture(const std::string& name) { savePicture("menus/frontend/" + name + "_" + size() + ".png"); }
    // Pixels far enough from the clear colour to be drawn content, in a rectangle.
    int drawnIn(int x0, int y0, int w, int h)
    {
        const std::vector<Rgba> pixels = screenPixels();
        int count = 0;
        for (int y = std::max(0, y0); y < std::min(screenHeight(), y0 + h); ++y)
            for (int x = std::max(0, x0); x < std::min(screenWidth(), x0 + w); ++x) {
                const Rgba& c = pixels[static_cast<std::size_t>(y * screenWidth() + x)];
                count += std::abs(c.r - clearColor.r) + std::abs(c.g - clearColor.g) + std::abs(c.b - clearColor.b) > 60;
            }
        return count;
    }
    int drawnOn(const MenuItem& item) { return drawnIn(item.absX, item.absY, item.width, item.height); }
    bool onScreen(const MenuItem& item)
    {
        return item.absX >= 0 && item.absY >= 0 && item.absX + item.width <= screenWidth() &&
               item.absY + item.height <= screenHeight();
    }
    void click(const MenuItem& item) { MenuHarness::click(item.absX + item.width / 2, item.absY + item.height / 2); }
};
}  // namespace

TEST_P(FrontendPagesGl, MainAndPlayMenusDrawAndAreDrivenByKeys)
{
    MainMenuFrame& main = *MenuFrameRegistry::mainMenu();
    goToFrame(&main);
    step(30);
    picture("main");
    for (SpriteButton* button : {main.onlineButton, main.playButton, main.multiplayerButton, main.profileButton,
                                 main.optionsButton, main.quitButton}) {
        EXPECT_TRUE(onScreen(*button)) << button->absX << "," << button->absY;
        EXPECT_GT(drawnOn(*button), button->width * button->height / 3);
    }
    // Every button stands apart from the next.
    EXPECT_LT(main.onlineButton->absX + main.onlineButton->width, main.playButton->absX);
    EXPECT_EQ(main.focusedItem, main.playButton);

    pressKey(SDL_SCANCODE_RETURN);
    step(30);
    PlayMenuFrame& play = *MenuFrameRegistry::playMenu();
    ASSERT_EQ(currentFrame(), &play);
    picture("play");
    for (SpriteButton* button : {play.campaignButton, play.survivalButton, play.dogFightsButton, play.ffaButton,
                                 play.freeFlightButton, play.lmsButton, play.ctfButton, play.dtbButton, play.tdButton,
                                 play.tutorialsButton}) {
        EXPECT_TRUE(onScreen(*button)) << button->absX << "," << button->absY;
        EXPECT_GT(drawnOn(*button), button->width * button->height / 4);
    }
    // Panels do not overlap.
    EXPECT_LE(play.leftPanel->absX + play.leftPanel->width, play.centrePanel->absX);
    EXPECT_LE(play.centrePanel->absX + play.centrePanel->width, play.rightPanel->absX);
    EXPECT_EQ(play.connectorLines.size(), 4u);

    // Down the left column by keys to free flight, which opens the set-up page.
    play.focusedItem = play.ffaButton;
    pressKey(SDL_SCANCODE_DOWN);
    step(2);
    EXPECT_EQ(play.focusedItem, play.freeFlightButton);
    pressKey(SDL_SCANCODE_RETURN);
    step(30);
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::gameSetupMenu());
    EXPECT_EQ(settings().skirmishType, static_cast<int>(GameType::FreeFlight));
    picture("setup_freeflight");
    pressKey(SDL_SCANCODE_ESCAPE);
    step(10);
    EXPECT_EQ(currentFrame(), &play);
    pressKey(SDL_SCANCODE_ESCAPE);
    step(10);
    EXPECT_EQ(currentFrame(), &main);
}

TEST_P(FrontendPagesGl, TutorialListShowsFiveLessonsAndTheDoneMark)
{
    settings().tutorialDone[0] = 1;
    // A page of its own: the kept one was built for the other screen size.
    TutorialListMenuFrame list;
    goToFrame(&list);
    step(30);
    picture("tutorials");
    EXPECT_EQ(list.focusedItem, list.entries[0]->enabled ? static_cast<MenuItem*>(list.entries[0]) : list.backButton());
    const TutorialEntry& first = *list.entries[0];
    EXPECT_GT(drawnOn(first), first.width * first.height / 2);
    // The done mark is green, beside the name in the dark band.
    const float a = screenMetrics().uiScale;
    const int markX = first.absX + static_cast<int>(20.0f * a), markY = first.absY + first.height - static_cast<int>(105.0f * a);
    const Rgba mark = screenPixel(markX + static_cast<int>(22.0f * a), markY + static_cast<int>(8.0f * a));
    EXPECT_GT(mark.g, mark.r + 40) << "done mark at " << markX << "," << markY;
    const TutorialEntry& third = *list.entries[2];
    const Rgba none = screenPixel(third.absX + static_cast<int>(42.0f * a), markY + static_cast<int>(8.0f * a));
    EXPECT_LT(none.g, none.r + 40) << "no mark on a lesson not done";
    // Page steps move the row one entry at a time until its right end, then no more.
    const bool overflows = list.row->contentWidth > list.row->width;
    list.scrollRight();
    step(20);
    EXPECT_EQ(list.row->scrollX < 0.0f, overflows);
    for (int i = 0; i < 8; ++i) {
        list.scrollRight();
        step(20);
    }
    const float scrolled = list.row->scrollX;
    EXPECT_LE(scrolled, std::max(0.0f, static_cast<float>(list.row->width - list.row->contentWidth)));
    list.scrollRight();
    step(20);
    EXPECT_EQ(list.row->scrollX, scrolled);
    const TutorialEntry& last = *list.entries[5];
    EXPECT_LE(last.absX + last.width, screenWidth()) << "the last lesson can be brought into view";
    picture("tutorials_end");
    clearFrameHistory();
}

TEST_P(FrontendPagesGl, OptionsOtherSettingsAndLanguageByKeysWithARebuild)
{
    goToFrame(MenuFrameRegistry::mainMenu());
    OptionsMenuFrame& hub = *MenuFrameRegistry::optionsMenu();
    goToFrame(&hub);
    step(30);
    picture("options");
    for (SpriteButton* b : {hub.languageButton, hub.controlsButton, hub.otherButton, hub.audioButton,
                            hub.creditsButton, hub.howToPlayButton, hub.customChatButton, hub.graphicsButton}) {
        EXPECT_TRUE(onScreen(*b));
        EXPECT_GT(drawnOn(*b), b->width * b->height / 3);
    }
    // Keys never land on the custom-chat or graphics buttons (the mouse reaches them).
    hub.focusedItem = hub.howToPlayButton;
    pressKey(SDL_SCANCODE_RIGHT);
    step(2);
    EXPECT_NE(hub.focusedItem, hub.graphicsButton);
    EXPECT_NE(hub.focusedItem, hub.customChatButton);
    hub.focusedItem = hub.otherButton;
    pressKey(SDL_SCANCODE_RETURN);
    step(30);
    OtherGameSettingsMenuFrame& other = *MenuFrameRegistry::otherGameSettingsMenu();
    ASSERT_EQ(currentFrame(), &other);
    picture("other_settings");
    const bool before = settings().markerDetails != 0;
    pressKey(SDL_SCANCODE_RETURN);
    step(2);
    pressKey(SDL_SCANCODE_ESCAPE);
    step(10);
    EXPECT_EQ(settings().markerDetails != 0, !before);
    EXPECT_EQ(currentFrame(), &hub);

    hub.focusedItem = hub.languageButton;
    pressKey(SDL_SCANCODE_RETURN);
    step(30);
    LanguageMenuFrame* language = MenuFrameRegistry::languageMenu();
    ASSERT_EQ(currentFrame(), language);
    picture("language");
    for (SpriteButton* flag : language->flags)
        EXPECT_GT(drawnOn(*flag), flag->width * flag->height / 4);
    // Right to the second flag, then choose it: the page comes back rebuilt.
    EXPECT_EQ(language->focusedItem, language->flags[0]);
    pressKey(SDL_SCANCODE_RIGHT);
    step(2);
    EXPECT_EQ(language->focusedItem, language->flags[1]);
    pressKey(SDL_SCANCODE_RETURN);
    step(10);
    EXPECT_EQ(settings().languageIndex, 1);
    EXPECT_EQ(currentLanguage(), 1);
    ASSERT_NE(currentFrame(), nullptr);
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::languageMenu());
    step(20);
    picture("language_rebuilt");
    EXPECT_EQ(MenuFrameRegistry::languageMenu()->flags[1]->scale, LanguageMenuFrame::kCurrentScale);
    // The rebuilt page's keys start again on the first flag.
    EXPECT_EQ(MenuFrameRegistry::languageMenu()->focusedItem, MenuFrameRegistry::languageMenu()->flags[0]);
    pressKey(SDL_SCANCODE_ESCAPE);
    step(10);
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::optionsMenu());
    pressKey(SDL_SCANCODE_ESCAPE);
    step(10);
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::mainMenu());
    (void)setLanguageByIndex(0);
}

TEST_P(FrontendPagesGl, ControlTypePanelCoversTheScreenAndTakesTheMouse)
{
    settings().controlType = 1;
    ChooseControlTypePanel& panel = *MenuFrameRegistry::chooseControlTypePanel();
    goToFrame(&panel);
    step(20);
    picture("controltype");
    EXPECT_GT(drawnOn(*panel.options[0]), 0);
    EXPECT_GT(drawnOn(*panel.okButton), panel.okButton->width * panel.okButton->height / 3);
    for (MenuItem* item : std::initializer_list<MenuItem*>{panel.title, panel.optionsPanel, panel.descriptionPanel,
                                                            panel.hint, panel.okButton})
        EXPECT_TRUE(onScreen(*item));
    click(*panel.options[0]);
    step(5);
    EXPECT_TRUE(panel.options[0]->checked);
    EXPECT_FALSE(panel.options[1]->checked);
    picture("controltype_full");
}

INSTANTIATE_TEST_SUITE_P(Sizes, FrontendPagesGl, testing::Values(std::make_pair(960, 640), std::make_pair(1920, 1080)),
                         [](const testing::TestParamInfo<std::pair<int, int>>& info) {
                             return "W" + std::to_string(info.param.first);
                         });
