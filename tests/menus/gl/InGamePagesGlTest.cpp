#include "harness/MenuHarness.h"

#include "../entities/TestPlanes.h"
#include "support/entities/SimHost.h"

#include "entities/aircraft/Airplane.h"
#include "modes/GameModeFactory.h"
#include "modes/GameType.h"
#include "modes/progress/ScoreMgr.h"

#include "gamedata/records/MapLists.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/ingame/CampaignFailMenuFrame.h"
#include "menus/ingame/FreeFlightPauseMenuFrame.h"
#include "menus/ingame/InGameLinks.h"
#include "menus/ingame/MPChatMenuFrame.h"
#include "menus/ingame/PauseCampaignMenuFrame.h"
#include "menus/ingame/TutorialPauseMenuFrame.h"
#include "menus/ingame/TutorialWinMenuFrame.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "screens/GameStart.h"
#include "modes/MatchConnections.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/Render2D.h"
#include "screens/GameScreen.h"
#include "screens/LoadingScreen.h"
#include "screens/PauseScreen.h"
#include "screens/Screens.h"
#include "screens/hud/HudMessageQueue.h"
#include "screens/hud/PlaneHud.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteKeyboard.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {
// A game stand-in under the pause screen: a sky whose colour and a bright box
// move every frame it runs, and stand still while the game is paused.
struct MovingGame : IGameScreen {
    void update() override
    {
        if (!gamePaused())
            ++frame;
    }
    void draw() override
    {
        const ScreenMetrics& m = screenMetrics();
        begin2D();
        drawFilledRect(0.0f, 0.0f, static_cast<float>(m.screenWidth), static_cast<float>(m.screenHeight),
                       static_cast<std::uint8_t>(40 + (frame * 37) % 160), 110, 170, 255);
        drawFilledRect(static_cast<float>((frame * 23) % m.screenWidth), static_cast<float>(m.screenHeight / 3),
                       60.0f, 60.0f, 250, 250, 250, 255);
        end2D();
    }
    int frame = 0;
};

// Each pause page over the moving game at a screen size, driven through the
// screens as the game drives them; pictures under build/menus/ingame/.
struct InGamePictures : MenuHarness, testing::WithParamInterface<std::pair<int, int>> {
    void SetUp() override
    {
        MenuHarness::SetUp();
        if (IsSkipped())
            return;
        boot(GetParam().first, GetParam().second);
        MenuFrameRegistry::deleteAll();
        ASSERT_TRUE(MapLists::instance().load());
        setGameConnections(MatchConnections::none());
        gameChoices() = GameChoices{};
        std::filesystem::create_directories(std::string(SKYFRONT_BINARY_DIR) + "/menus/ingame");
        resetScreens();
        updateHook = [] { updateScreens(); };
        drawHook = [] { drawScreens(); };
        touchHook = [](const TouchEvent& event) { dispatchTouchToScreens(event); };
        backHook = [] { dispatchBackToScreens(); };
        inGameLinks().startTutorial = [this](int index) { tutorialStarts.push_back(index); };
        setCurrentScreen(&game);
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            resetInGameLinks();
            clearFrameHistory();
            resetScreens();
            updateHook = drawHook = backHook = nullptr;
            touchHook = nullptr;
            pauseScreen().frame = nullptr;
            setGamePaused(false);
            endMatch();
            MenuFrameRegistry::deleteAll();
            HudMessageQueue::instance().clearAll();
            MapLists::instance().clear();
        }
        MenuHarness::TearDown();
    }
    // The page opens over the paused game as the game's pause opens it.
    void pauseWith(MenuFrame* page)
    {
        pauseScreen().frame = page;
        openPauseScreen();
        setGamePaused(true);
        step();
        ASSERT_EQ(overlayScreen(), &pauseScreen());
        ASSERT_EQ(currentFrame(), page);
    }
    std::string picture(const char* name)
    {
        return savePicture("menus/ingame/" + std::string(name) + "_" + std::to_string(screenWidth()) + "x" +
                           std::to_string(screenHeight()) + ".png");
    }
    // Light blue of the panels' outline: the banner's top edge.
    static bool outline(const Rgba& c) { return c.b > 170 && c.g > 140 && c.r > 100 && c.r < 200; }
    // Every column of the screen has the outline within the rows.
    bool spansWidth(int y0, int y1)
    {
        const std::vector<Rgba> pixels = screenPixels();
        for (int x = 0; x < screenWidth(); ++x) {
            bool found = false;
            for (int y = std::max(0, y0); y < std::min(y1, screenHeight()) && !found; ++y)
                found = outline(pixels[static_cast<std::size_t>(y * screenWidth() + x)]);
            if (!found) {
                ADD_FAILURE() << "no banner edge in column " << x;
                return false;
            }
        }
        return true;
    }
    // Pixels of the pulsing focus tint (red full, green and blue 140 to 200) in the item's box.
    int focusPixels(const MenuItem& item)
    {
        const std::vector<Rgba> pixels = screenPixels();
        int count = 0;
        const int pad = 6;
        for (int y = std::max(0, item.absY - pad); y < std::min(screenHeight(), item.absY + item.height + pad); ++y)
            for (int x = std::max(0, item.absX - pad); x < std::min(screenWidth(), item.absX + item.width + pad); ++x) {
                const Rgba& c = pixels[static_cast<std::size_t>(y * screenWidth() + x)];
                count += c.r > 230 && c.g > 120 && c.g < 215 && c.b > 120 && c.b < 215 && c.r - c.g > 30 ? 1 : 0;
            }
        return count;
    }
    // The gaps before, between and after the buttons differ by two pixels at most.
    void expectEqualGaps(const std::vector<SpriteButton*>& buttons)
    {
        std::vector<int> gaps{buttons.front()->absX};
        for (std::size_t i = 1; i < buttons.size(); ++i)
            gaps.push_back(buttons[i]->absX - (buttons[i - 1]->absX + buttons[i - 1]->width));
        gaps.push_back(screenWidth() - (buttons.back()->absX + buttons.back()->width));
        for (int gap : gaps) {
            EXPECT_GT(gap, 0);
            EXPECT_LE(std::abs(gap - gaps.front()), 2) << "gaps " << testing::PrintToString(gaps);
        }
        for (const SpriteButton* b : buttons)
            EXPECT_EQ(b->absY + b->height + static_cast<int>(2.0f * screenMetrics().uiScale), screenHeight());
    }
    // Pixels that changed between two frames.
    static int changed(const std::vector<Rgba>& a, const std::vector<Rgba>& b)
    {
        int n = 0;
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
            n += std::abs(a[i].r - b[i].r) + std::abs(a[i].g - b[i].g) + std::abs(a[i].b - b[i].b) > 30 ? 1 : 0;
        return n;
    }
    void backResumesTheGame()
    {
        const std::vector<Rgba> paused = screenPixels();
        pressKey(SDL_SCANCODE_ESCAPE);
        EXPECT_EQ(overlayScreen(), nullptr);
        EXPECT_FALSE(gamePaused());
        const std::vector<Rgba> first = screenPixels();
        step();
        EXPECT_GT(changed(first, screenPixels()), screenWidth() * screenHeight() / 4) << "the game runs on";
        EXPECT_GT(changed(paused, first), screenWidth() * screenHeight() / 4) << "the page is gone";
    }
    void clickOn(const MenuItem& item) { click(item.absX + item.width / 2, item.absY + item.height / 2); }

    MovingGame game;
    std::vector<int> tutorialStarts;
};
}  // namespace

TEST_P(InGamePictures, TheCampaignPauseShowsItsPagesOverTheGame)
{
    HudMessageQueue& queue = HudMessageQueue::instance();
    queue.pushNotice(u"Escort the convoy\nto the harbour", 3.0f, false, true);
    queue.pushNotice(u"Enemy fighters inbound from the north", 3.0f, false, true);
    PauseCampaignMenuFrame* page = MenuFrameRegistry::pauseCampaignMenu();
    ObjectiveSnapshot s;
    s.hasPlayer = true;
    ObjectiveSnapshot::Marker waypoint;
    waypoint.objective = true;
    waypoint.kind = 20;
    waypoint.position = {0.0f, 0.0f, 2500.0f};
    ObjectiveSnapshot::Marker ship = waypoint;
    ship.kind = 9;
    ship.team = 1;
    ObjectiveSnapshot::Marker own = ship;
    own.team = 0;
    s.markers = {waypoint, ship, ship, own};
    pauseWith(page);
    page->fillObjectives(s);
    step(3);
    picture("campaign_pause");
    const int L = pauseLineHeight();
    EXPECT_TRUE(spansWidth(5 * L / 2 - 3 * L / 4 - 2, 5 * L / 2 - 3 * L / 4 + 5));
    expectEqualGaps({page->quitButton, page->controlsButton, page->audioButton, page->restartButton,
                     page->resumeButton});
    EXPECT_GT(focusPixels(*page->resumeButton), 20);
    EXPECT_EQ(focusPixels(*page->quitButton), 0);
    // The log page, by its dots.
    clickOn(*page->pageIndicator);
    step(60);
    EXPECT_EQ(page->pageIndicator->currentPage, 1);
    picture("campaign_pause_log");
    // The game stood still behind the page.
    EXPECT_EQ(game.frame, 0);
    backResumesTheGame();
}

TEST_P(InGamePictures, ARestartClickReachesTheLoadingScreen)
{
    PauseCampaignMenuFrame* page = MenuFrameRegistry::pauseCampaignMenu();
    pauseWith(page);
    gameChoices().resume = 1;
    clickOn(*page->restartButton);
    EXPECT_EQ(currentScreen(), &gameLoadingScreen());
    EXPECT_EQ(overlayScreen(), nullptr);
    EXPECT_EQ(gameChoices().resume, 0);
    ASSERT_NE(modeOf(currentMatch()), nullptr);
    EXPECT_EQ(modeOf(currentMatch())->mapRecord(), MapLists::instance().campaignMission(0, 0));
}

TEST_P(InGamePictures, TheFailurePageFocusesRetry)
{
    CampaignFailMenuFrame::showOverGame(0);
    CampaignFailMenuFrame* page = MenuFrameRegistry::campaignFailMenu();
    pauseWith(page);
    step(3);
    picture("campaign_fail");
    const int u = pauseLineHeight();
    EXPECT_TRUE(spansWidth(7 * u / 4 - 2, 7 * u / 4 + 5));
    expectEqualGaps({page->backToCampaignButton, page->retryButton, page->restartButton});
    EXPECT_GT(focusPixels(*page->retryButton), 20);
    EXPECT_EQ(focusPixels(*page->restartButton), 0);
}

TEST_P(InGamePictures, TheFreeFlightAndTutorialPausesOverTheGame)
{
    FreeFlightPauseMenuFrame* flight = MenuFrameRegistry::freeFlightPauseMenu();
    pauseWith(flight);
    step(3);
    picture("free_flight_pause");
    const int L = pauseLineHeight();
    EXPECT_TRUE(spansWidth(5 * L / 2 - 3 * L / 4 - 2, 5 * L / 2 - 3 * L / 4 + 5));
    expectEqualGaps({flight->quitButton, flight->controlsButton, flight->audioButton, flight->resumeButton});
    EXPECT_GT(focusPixels(*flight->resumeButton), 20);
    EXPECT_EQ(focusPixels(*flight->quitButton), 0);
    backResumesTheGame();

    TutorialPauseMenuFrame* tutorial = MenuFrameRegistry::tutorialPauseMenu();
    pauseWith(tutorial);
    step(3);
    picture("tutorial_pause");
    EXPECT_TRUE(spansWidth(5 * L / 2 - 3 * L / 4 - 2, 5 * L / 2 - 3 * L / 4 + 5));
    expectEqualGaps({tutorial->listButton, tutorial->audioButton, tutorial->restartButton, tutorial->resumeButton});
    EXPECT_GT(focusPixels(*tutorial->resumeButton), 20);
    backResumesTheGame();
}

TEST_P(InGamePictures, ANetworkFreeFlightListsItsPlayers)
{
    SimHost host;
    PlaneCfg cfg = testFighter();
    cfg.fullname = "Test Fighter";
    startMatch(createGameMode(static_cast<int>(GameType::FreeFlight)), MatchConnections::none());
    ScoreMgr& scores = ScoreMgr::instance();
    scores.reset(false);
    scores.clearPlayers();
    std::vector<Airplane*> players;
    for (const char16_t* name : {u"Ada", u"Bea", u"Cy"}) {
        players.push_back(host.add(Target::create<Airplane>(host, cfg, 0, std::u16string(name))));
        scores.addPlayer(*players.back());
    }
    modeOf(currentMatch())->setNetwork(true, true, false);
    modeOf(currentMatch())->setPlayerAirplane(players[1]);
    FreeFlightPauseMenuFrame* page = MenuFrameRegistry::freeFlightPauseMenu();
    pauseWith(page);
    step(3);
    picture("free_flight_players");
    ASSERT_TRUE(page->playerList->visible);
    ASSERT_EQ(page->playerList->itemCount(), 3);
    // The local row's text is green; the others are white.
    auto greenIn = [this](const MenuItem& row) {
        const std::vector<Rgba> pixels = screenPixels();
        int n = 0;
        for (int y = row.absY; y < row.absY + row.height; ++y)
            for (int x = row.absX; x < row.absX + row.width; ++x) {
                const Rgba& c = pixels[static_cast<std::size_t>(y * screenWidth() + x)];
                n += c.g > 90 && c.r < 60 && c.b < 60 ? 1 : 0;
            }
        return n;
    };
    EXPECT_EQ(greenIn(*page->playerList->itemAt(0)), 0);
    EXPECT_GT(greenIn(*page->playerList->itemAt(1)), 10);
    EXPECT_EQ(greenIn(*page->playerList->itemAt(2)), 0);
    modeOf(currentMatch())->setPlayerAirplane(nullptr);
    scores.clearPlayers();
}

// An objective of nobody's side, as a map trigger registers it.
struct NeutralObjective : IHudTrigger {
    int kind() const override { return 6; }
    int total() const override { return 4; }
    int done() const override { return 1; }
    bool firstTargetInPlay(int& k, int& v, int& t) const override { k = 3, v = -1, t = 255; return true; }
};

// Typing a chat line over a network match: with the keyboard up the page
// draws the HUD's messages and its objective panel instead of its list.
TEST_P(InGamePictures, TheChatKeyboardKeepsTheHudObjectivePanelInView)
{
    startMatch(createGameMode(static_cast<int>(GameType::FreeForAll)), MatchConnections::none());
    modeOf(currentMatch())->setNetwork(true, true, false);
    planeHud().initPanels(nullptr);
    NeutralObjective objective;
    HudMessageQueue::instance().registerTrigger(&objective);
    HudMessageQueue::instance().pushLong(u"Wingman: Cover me!");
    MPChatMenuFrame* page = MenuFrameRegistry::mpChatMenu();
    page->typeAtOnce = true;
    pauseScreen().frame = page;
    openPauseScreen();
    step(3);
    ASSERT_EQ(currentFrame(), page);
    ASSERT_TRUE(SpriteKeyboard::existing() && SpriteKeyboard::existing()->visible);
    picture("chat_keyboard");
    // The panel's row: its icon in the neutral green, where the moving game
    // below never has that colour.
    const CSprite::Rect row = planeHud().elementRect(nullptr, 199);
    const auto green = [&] {
        const std::vector<Rgba> pixels = screenPixels();
        int n = 0;
        for (int y = std::max(0, static_cast<int>(row.y)); y < std::min(screenHeight(), static_cast<int>(row.y + row.h));
             ++y)
            for (int x = std::max(0, static_cast<int>(row.x)); x < std::min(screenWidth(), static_cast<int>(row.x + row.w));
                 ++x) {
                const Rgba& c = pixels[static_cast<std::size_t>(y * screenWidth() + x)];
                n += c.g > 100 && c.r < 30 && c.b < 30 ? 1 : 0;
            }
        return n;
    };
    // Objectives come only with a campaign's maps, which have no chat: where
    // the full-width keyboard of a small screen covers the panel's place,
    // nothing is lost.
    const bool underKeyboard =
        screenHeight() < 700 && row.y >= static_cast<float>(SpriteKeyboard::existing()->targetY);
    if (!underKeyboard) {
        EXPECT_GT(green(), 20);
    }
    HudMessageQueue::instance().clearAll();
    step(2);
    EXPECT_EQ(green(), 0) << "no objective, no row";
    SpriteKeyboard::existing()->visible = false;
    closeOverlayScreen();
}

TEST_P(InGamePictures, TheFinishedLessonStaysUntilItsNextButton)
{
    tutorialIndex() = 2;
    TutorialWinMenuFrame* win = MenuFrameRegistry::tutorialWinMenu();
    pauseScreen().frame = win;
    openPauseScreen();
    step();   // the overlay opens; the page has not updated yet
    ASSERT_EQ(currentFrame(), win);
    // The page stays over the game, frame after frame, until the player chooses.
    step(60);
    ASSERT_EQ(currentFrame(), win);
    EXPECT_TRUE(tutorialStarts.empty());
    clearTo(clearColor);
    drawScreens();
    picture("tutorial_win");
    EXPECT_EQ(win->nextButton->labelStringId, TutorialWinMenuFrame::kNextStringBase + 2);
    EXPECT_GT(win->nextButton->width, 0);
    win->nextButton->activate();
    step();
    EXPECT_EQ(tutorialStarts, std::vector<int>{3});
    EXPECT_EQ(overlayScreen(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Sizes, InGamePictures,
                         testing::Values(std::make_pair(960, 640), std::make_pair(1920, 1080)),
                         [](const testing::TestParamInfo<std::pair<int, int>>& info) {
                             return std::to_string(info.param.first) + "x" + std::to_string(info.param.second);
                         });
