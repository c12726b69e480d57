#include "menus/MenuFrameRegistry.h"

#include "menus/frontend/TutorialListMenuFrame.h"
#include "menus/ingame/GameResultMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrameSteam.h"
#include "ui/MenuFrame.h"

#include <gtest/gtest.h>

namespace {
int g_alive = 0;

struct CountedFrame : MenuFrame {
    CountedFrame() { ++g_alive; }
    ~CountedFrame() override { --g_alive; }
};
struct OtherFrame : CountedFrame {};

using Page = MenuFrameRegistry::Page;
}  // namespace

TEST(MenuFrameRegistry, PagesAreMadeOnceAndRebuiltOnlyAfterDeleteAll)
{
    MenuFrameRegistry::deleteAll();  // nothing made yet: nothing happens
    const int before = g_alive;

    CountedFrame* main = MenuFrameRegistry::slot<CountedFrame>(Page::MainMenu);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(MenuFrameRegistry::slot<CountedFrame>(Page::MainMenu), main);
    EXPECT_EQ(MenuFrameRegistry::existing(Page::MainMenu), main);
    OtherFrame* joy = MenuFrameRegistry::slot<OtherFrame>(Page::JoyCfg);
    EXPECT_NE(static_cast<MenuFrame*>(joy), static_cast<MenuFrame*>(main));
    EXPECT_EQ(g_alive, before + 2);

    MenuFrameRegistry::deleteAll();
    EXPECT_EQ(g_alive, before);
    EXPECT_EQ(MenuFrameRegistry::existing(Page::MainMenu), nullptr);
    EXPECT_EQ(MenuFrameRegistry::existing(Page::JoyCfg), nullptr);
    EXPECT_NE(MenuFrameRegistry::slot<CountedFrame>(Page::MainMenu), nullptr);
    MenuFrameRegistry::deleteAll();
    EXPECT_EQ(g_alive, before);
}

TEST(MenuFrameRegistry, TutorialListResultAndLobbyPagesSurviveTheLanguageRebuild)
{
    // The real pages: other tests may have made them already, later tests
    // use them, and they stay.
    MenuFrame* list = MenuFrameRegistry::tutorialListMenu();
    MenuFrame* result = MenuFrameRegistry::gameResultMenu();
    MenuFrame* lobby = MenuFrameRegistry::steamMenu();
    MenuFrameRegistry::slot<CountedFrame>(Page::Language);
    MenuFrameRegistry::deleteAll();
    EXPECT_EQ(MenuFrameRegistry::existing(Page::Language), nullptr);
    EXPECT_EQ(MenuFrameRegistry::tutorialListMenu(), list);
    EXPECT_EQ(MenuFrameRegistry::gameResultMenu(), result);
    EXPECT_EQ(MenuFrameRegistry::steamMenu(), lobby);
}
