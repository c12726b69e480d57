#include "FakeScreen.h"

#include "platform/File.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "platform/TouchQueue.h"
#include "screens/GameScreen.h"
#include "screens/OKOverlay.h"
#include "screens/PauseScreen.h"
#include "screens/QuitGameOverlay.h"
#include "screens/Screens.h"
#include "ui/MenuHooks.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// The staged fonts, sheets and English texts, at 960 x 640 (UI scale 1).
class Overlays : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(setScreenSize(960, 640));
        setDataRoot(SKYFRONT_STAGE_DIR "/");
        ASSERT_TRUE(setLanguageByCode("EN"));
        resetScreens();
        setOverlayInputFrameHook({});  // an earlier test may have started the screens
        quit.shown = false;
        quit.quit = false;
        quit.needsLayout = true;
        OKOverlay::hide();
    }
    void TearDown() override
    {
        quit.shown = false;
        quit.quit = false;
        OKOverlay::hide();
        resetScreens();
        unloadStringTables();
    }
    void tap(MenuFrame& frame, int x, int y)
    {
        frame.onTouchDown(x, y);
        frame.onTouchUp(x, y);
    }
    QuitGameOverlay& quit = QuitGameOverlay::instance();
};

TEST_F(Overlays, TheQuitQuestionLaysOutOnItsFirstShownFrameAndYesQuits)
{
    quit.update();
    EXPECT_TRUE(quit.needsLayout) << "hidden: no layout";
    quit.show();
    quit.update();
    EXPECT_FALSE(quit.needsLayout);
    EXPECT_EQ(quit.noButton->labelText(), u"No");
    EXPECT_EQ(quit.yesButton->labelText(), u"Yes");
    EXPECT_NE(quit.question->shownText().find(u"quit"), std::u16string_view::npos);
    EXPECT_EQ(quit.focusedItem, quit.noButton);
    EXPECT_EQ(quit.noButton->neighbour(MenuItem::kRight), quit.yesButton);
    EXPECT_LT(quit.noButton->absX, quit.yesButton->absX);

    const SpriteButton& yes = *quit.yesButton;
    tap(quit, yes.absX + yes.width / 2, yes.absY + yes.height / 2);
    EXPECT_TRUE(quit.quit);
    EXPECT_FALSE(quit.shown);
    EXPECT_TRUE(quit.needsLayout) << "laid out again at the next showing";
}

TEST_F(Overlays, ATouchNinePixelsOutsideAButtonPressesItAndElevenDoesNot)
{
    quit.show();
    quit.update();
    const SpriteButton& no = *quit.noButton;
    const int below = no.absY + no.height;
    tap(quit, no.absX + no.width / 2, below + 11);
    EXPECT_TRUE(quit.shown);
    tap(quit, no.absX + no.width / 2, below + 9);
    EXPECT_FALSE(quit.shown);
    EXPECT_FALSE(quit.quit);
}

TEST_F(Overlays, TouchesGoToTheShownQuestionBeforeAnyScreen)
{
    std::vector<std::string> log;
    FakeScreen menu{"menu", log};
    setCurrentScreen(&menu);
    quit.show();
    quit.update();
    TouchEvent down;
    down.kind = TouchEvent::Kind::Down;
    down.id = 1;
    down.x = 5;
    down.y = 5;
    dispatchTouchToScreens(down);
    EXPECT_EQ(log, (std::vector<std::string>{"menu.enter"}));
    EXPECT_EQ(overlayInputFrame(), nullptr) << "the hook is installed by startScreens";
    startScreens();
    EXPECT_EQ(overlayInputFrame(), &quit);

    dispatchBackToScreens();   // the back key answers no
    EXPECT_FALSE(quit.shown);
    EXPECT_FALSE(quit.quit);
    dispatchTouchToScreens(down);
    EXPECT_EQ(log.back(), "menu.down1");
}

TEST_F(Overlays, AHiddenOKMessageIgnoresTouchesAndItsButtonHidesIt)
{
    OKOverlay& ok = OKOverlay::instance();
    const SpriteButton& button = *ok.button;
    const int cx = button.absX + button.width / 2, cy = button.absY + button.height / 2;
    EXPECT_FALSE(ok.onTouchDown(cx, cy));
    EXPECT_FALSE(ok.button->pressed);

    ok.visible = true;
    EXPECT_EQ(ok.button->labelText(), u"OK");
    EXPECT_GE(button.width, OKOverlay::kButtonWidth);
    tap(ok, cx, cy);
    EXPECT_FALSE(ok.visible);
}
}  // namespace

TEST(ModeComics, AComicOpensOnlyThroughTheRegisteredOpener)
{
    SceneModeOverlays overlays;
    EXPECT_FALSE(overlays.openComic("data/comics/a.cfg"));   // nobody to show it
    std::vector<std::string> asked;
    setComicOpener([&](const std::string& path) {
        asked.push_back(path);
        return path == "data/comics/a.cfg";
    });
    EXPECT_TRUE(overlays.openComic("data/comics/a.cfg"));
    EXPECT_FALSE(overlays.openComic("data/comics/b.cfg"));
    setComicOpener({});
    EXPECT_FALSE(overlays.openComic("data/comics/a.cfg"));
    EXPECT_EQ(asked, (std::vector<std::string>{"data/comics/a.cfg", "data/comics/b.cfg"}));
}

TEST(ModePausePages, EachKindOfPauseMenuOpensItsRegisteredPage)
{
    SceneModeOverlays overlays;
    PauseScreen& pause = pauseScreen();
    MenuFrame* const before = pause.frame;
    // Stand-in pages: only their addresses are compared.
    alignas(8) char campaignPage[8], tablePage[8];
    MenuFrame* campaign = reinterpret_cast<MenuFrame*>(campaignPage);
    MenuFrame* table = reinterpret_cast<MenuFrame*>(tablePage);
    setPauseMenuPage(PauseMenu::Campaign, [&] { return campaign; });
    setPauseMenuPage(PauseMenu::Match, [&] { return table; });
    setPauseMenuPage(static_cast<PauseMenu>(99), [&] { return table; });   // ignored

    overlays.openPauseScreen(PauseMenu::Match);
    EXPECT_EQ(pause.frame, table);
    overlays.openPauseScreen(PauseMenu::Campaign);
    EXPECT_EQ(pause.frame, campaign);
    overlays.openPauseScreen(PauseMenu::FreeFlight);   // none registered: the page stays
    EXPECT_EQ(pause.frame, campaign);
    EXPECT_EQ(pauseMenuPage(static_cast<PauseMenu>(99)), nullptr);

    setPauseMenuPage(PauseMenu::Campaign, {});
    setPauseMenuPage(PauseMenu::Match, {});
    resetScreens();
    pause.frame = before;
}
