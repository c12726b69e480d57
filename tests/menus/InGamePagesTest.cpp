#include "StagedPageTest.h"

#include "../entities/TestPlanes.h"
#include "support/entities/SimHost.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/records/MapLists.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/CampaignMenuFrame.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/frontend/TutorialListMenuFrame.h"
#include "menus/ingame/CampaignFailMenuFrame.h"
#include "menus/ingame/FreeFlightPauseMenuFrame.h"
#include "menus/ingame/InGameLinks.h"
#include "menus/ingame/PauseCampaignMenuFrame.h"
#include "menus/ingame/PauseCampaignSlider.h"
#include "menus/ingame/TutorialPauseMenuFrame.h"
#include "menus/ingame/TutorialWinMenuFrame.h"
#include "menus/settings/AudioMenuFrame.h"
#include "menus/settings/ControlsMenuFrame.h"
#include "menus/settings/OptionsMenuFrame.h"
#include "modes/GameMode.h"
#include "modes/GameModeFactory.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/GameType.h"
#include "modes/kinds/GameModeCampaign.h"
#include "modes/progress/ScoreMgr.h"
#include "platform/Language.h"
#include "platform/StringTable.h"
#include "render/2d/SpriteSets.h"
#include "screens/GameScreen.h"
#include "screens/LoadingScreen.h"
#include "screens/PauseScreen.h"
#include "screens/Screens.h"
#include "screens/hud/GameHud.h"
#include "screens/hud/HudMarkers.h"
#include "screens/hud/HudMessageQueue.h"
#include "ui/widgets/HMenuItemsSlider.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteLabel.h"

#include <memory>
#include <string>
#include <vector>

namespace {
// A screen that only counts what the screen switching does to it.
struct CountingScreen : IGameScreen {
    void draw() override {}
    void update() override {}
    void onEnter() override { ++entered; }
    void onLeave() override { ++left; }
    void onResume() override { ++resumed; }
    int entered = 0, left = 0, resumed = 0;
};

// The pages over a game: the game screen current with the pause screen open
// above it, the menu screen a stand-in, the staged texts and map lists, and
// the game starts replaced by recorders.
struct InGamePages : StagedPageTest {
    void SetUp() override
    {
        StagedPageTest::SetUp();
        if (HasFatalFailure())
            return;
        gameChoices() = GameChoices{};
        resetScreens();
        setScreenHooks({&pause, &menus});
        setCurrentScreen(&game);
        openPauseScreen();
        updateScreens();   // the pause screen opens
        ASSERT_EQ(overlayScreen(), &pause);
        setGamePaused(true);
        InGameLinks& links = inGameLinks();
        links.startCampaignMission = [this] { missionStarts.push_back(gameChoices().resume); };
        links.startTutorial = [this](int index) { tutorialStarts.push_back(index); };
        links.multiPlayer = [this] { return &multiPlayerPage; };
        links.lanGames = [this] { return &lanPage; };
        links.onlineRooms = [this] { return &onlinePage; };
        HudMessageQueue::instance().clearAll();
        HudElementList::instance().clear();
        tutorialIndex() = 0;
    }
    void TearDown() override
    {
        resetInGameLinks();
        inGameLinks().multiPlayer = inGameLinks().lanGames = inGameLinks().onlineRooms = nullptr;
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        endMatch();
        ScoreMgr::instance().clearPlayers();
        pauseScreen().frame = nullptr;
        setGamePaused(false);
        resetScreens();
        setScreenHooks({});
        HudMessageQueue::instance().clearAll();
        HudElementList::instance().clear();
        StagedPageTest::TearDown();
    }
    // The page shown on the pause screen, as the game's pause opens it.
    template <typename Page>
    Page* showPaused(Page* page)
    {
        clearFrameHistory();
        goToFrame(page);
        return page;
    }
    // Makes a mode of the type current (no level).
    GameMode* modeOfType(GameType type)
    {
        startMatch(createGameMode(static_cast<int>(type)), MatchConnections::none());
        return modeOf(currentMatch());
    }
    // The history from the current page back to the first, by going back.
    std::vector<MenuFrame*> historyBack()
    {
        std::vector<MenuFrame*> pages{currentFrame()};
        while (frameHistoryCount() > 0) {
            goBack();
            pages.push_back(currentFrame());
        }
        return pages;
    }
    void expectResumed()
    {
        EXPECT_EQ(overlayScreen(), nullptr);
        EXPECT_EQ(game.resumed, 1);
        EXPECT_FALSE(gamePaused());
    }

    CountingScreen game, pause, menus;
    MenuFrame multiPlayerPage, lanPage, onlinePage;
    std::vector<int> missionStarts, tutorialStarts;
};

using Marker = ObjectiveSnapshot::Marker;

Marker goal(int kind, int team, Vec3 at = {})
{
    Marker m;
    m.objective = true;
    m.kind = kind;
    m.team = team;
    m.position = at;
    return m;
}

ObjectiveSnapshot withPlayer(int team)
{
    ObjectiveSnapshot s;
    s.hasPlayer = true;
    s.playerTeam = team;
    return s;
}
}  // namespace

// ---- The campaign pause: objectives and the log ----

TEST_F(InGamePages, ObjectivesCountTheSidesAndTheEnemyClassesInRowOrder)
{
    PauseCampaignMenuFrame* page = MenuFrameRegistry::pauseCampaignMenu();
    ASSERT_NE(page, nullptr);
    ObjectiveSnapshot s = withPlayer(0);
    s.markers = {goal(0, 0), goal(9, 255), goal(0, 1), goal(9, 1), goal(10, 1), goal(11, 1), goal(4, 1),
                 goal(5, 1), goal(8, 1), goal(2, 1)};
    Marker unflagged = goal(0, 1);
    unflagged.objective = false;
    s.markers.push_back(unflagged);
    page->fillObjectives(s);
    const std::vector<std::u16string> expected = {
        u"Friendly units to protect: 2", u"Enemy targets left: 8", u"    1 x Aircraft carriers", u"    2 x Ships",
        u"    1 x Aircraft",           u"    2 x Ground vehicles", u"    1 x Submarines"};
    EXPECT_EQ(page->objectiveTexts(), expected);

    // Enemies of the kinds without a class of their own: the total only.
    s.markers = {goal(1, 1), goal(2, 1), goal(3, 1), goal(6, 1), goal(7, 1)};
    page->fillObjectives(s);
    EXPECT_EQ(page->objectiveTexts(), std::vector<std::u16string>{u"Enemy targets left: 5"});

    // No player airplane: every flagged marker but a waypoint is on the player's side.
    ObjectiveSnapshot alone;
    alone.markers = {goal(0, 1), goal(11, 3), goal(20, 1, {1000.0f, 0.0f, 0.0f}), goal(4, 255)};
    page->fillObjectives(alone);
    EXPECT_EQ(page->objectiveTexts(), std::vector<std::u16string>{u"Friendly units to protect: 3"});
}

TEST_F(InGamePages, WaypointRowsShowTheDistanceLessTheRadiusInFeetOrMetres)
{
    PauseCampaignMenuFrame* page = MenuFrameRegistry::pauseCampaignMenu();
    ObjectiveSnapshot s = withPlayer(0);
    s.playerPosition = {100.0f, 50.0f, -20.0f};
    Marker waypoint = goal(PauseCampaignMenuFrame::kWaypointKind, 255, {100.0f, 50.0f + 600.0f, -20.0f + 800.0f});
    waypoint.radius = 1.0f;
    s.markers = {waypoint};
    page->fillObjectives(s);
    // 999 x 3.2808399 = 3277.56 feet.
    EXPECT_EQ(page->objectiveTexts(), std::vector<std::u16string>{u"Next waypoint: 3278 FT"});
    s.metric = true;
    page->fillObjectives(s);
    EXPECT_EQ(page->objectiveTexts(), std::vector<std::u16string>{u"Next waypoint: 999 M"});
    // Inside its radius the distance goes below zero.
    s.markers[0].position = s.playerPosition + Vec3{10.0f, 0.0f, 0.0f};
    s.markers[0].radius = 50.0f;
    page->fillObjectives(s);
    EXPECT_EQ(page->objectiveTexts(), std::vector<std::u16string>{u"Next waypoint: -40 M"});
    s.metric = false;
    page->fillObjectives(s);
    EXPECT_EQ(page->objectiveTexts(), std::vector<std::u16string>{u"Next waypoint: -131 FT"});
}

TEST_F(InGamePages, TheObjectivesReadTheFlaggedHudMarkersOfTheRunningGame)
{
    HudMarkers& markers = HudElementList::instance().markers;
    auto waypoint = std::make_unique<HudMarker>();
    waypoint->always = true;
    waypoint->kind = HudMarkers::kWaypointKind;
    waypoint->info.position = {1.0f, 2.0f, 3.0f};
    waypoint->info.radius = 40.0f;
    auto plain = std::make_unique<HudMarker>();
    plain->kind = 9;
    plain->team = 1;
    markers.list().push_back(std::move(waypoint));
    markers.list().push_back(std::move(plain));
    settings().metricUnits = 1;
    const ObjectiveSnapshot s = ObjectiveSnapshot::read();
    ASSERT_EQ(s.markers.size(), 2u);
    EXPECT_TRUE(s.markers[0].objective);
    EXPECT_EQ(s.markers[0].kind, 20);
    EXPECT_EQ(s.markers[0].position.x, 1.0f);
    EXPECT_EQ(s.markers[0].position.z, 3.0f);
    EXPECT_EQ(s.markers[0].radius, 40.0f);
    EXPECT_FALSE(s.markers[1].objective);
    EXPECT_EQ(s.markers[1].team, 1);
    EXPECT_FALSE(s.hasPlayer);
    EXPECT_TRUE(s.metric);
}

TEST_F(InGamePages, AMissionsGoalsAreTheMarkersItMarks)
{
    SimHost host;
    const PlaneCfg cfg = testFighter();
    Airplane* goalPlane = host.add(Target::create<Airplane>(host, cfg, 1, std::u16string(u"Red")));
    Airplane* other = host.add(Target::create<Airplane>(host, cfg, 1, std::u16string(u"Blue")));
    gameHud().addMarker(*goalPlane, 0, 1, true);
    gameHud().addMarker(*other, 0, 1, true);
    gameHud().markObjective(*goalPlane);
    PauseCampaignMenuFrame* page = MenuFrameRegistry::pauseCampaignMenu();
    ObjectiveSnapshot s = ObjectiveSnapshot::read();
    s.hasPlayer = true;
    page->fillObjectives(s);
    EXPECT_EQ(page->objectiveTexts(), (std::vector<std::u16string>{u"Enemy targets left: 1", u"    1 x Aircraft"}));
}

TEST_F(InGamePages, TheLogShowsEachNoticeOnOneLineAndEndsWithDots)
{
    PauseCampaignMenuFrame* page = MenuFrameRegistry::pauseCampaignMenu();
    // Nothing flagged and nothing said: only the headings.
    page->fillObjectives(withPlayer(0));
    EXPECT_TRUE(page->objectiveTexts().empty());
    EXPECT_TRUE(page->logTexts().empty());
    EXPECT_EQ(page->objectivesHeading->shownText(), u"Objectives");
    EXPECT_EQ(page->logHeading->shownText(), u"Radio log");

    HudMessageQueue& queue = HudMessageQueue::instance();
    queue.pushNotice(u"Bandits\nat six", 3.0f, false, true);
    queue.pushNotice(u"Bridge down", 3.0f, false, true);
    ASSERT_EQ(queue.noticeHistory().size(), 2u);
    page->fillObjectives(withPlayer(0));
    const std::vector<std::u16string> log = page->logTexts();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].find(u'\n'), std::u16string::npos);
    EXPECT_NE(log[0].find(u"Bandits at six"), std::u16string::npos);
    EXPECT_EQ(log[2], u". . .");
    // The stored history itself has lost its line feeds.
    EXPECT_EQ(queue.noticeHistory()[0]->text.find(u'\n'), std::u16string::npos);
    // The history goes with the rest of the queue.
    queue.clearAll();
    EXPECT_TRUE(queue.noticeHistory().empty());
}

TEST_F(InGamePages, TheCampaignPauseFillsItsListsOnlyInAMission)
{
    HudMessageQueue::instance().pushNotice(u"Radio check", 3.0f, false, true);
    PauseCampaignMenuFrame* page = MenuFrameRegistry::pauseCampaignMenu();
    modeOfType(GameType::FreeForAll);
    showPaused(page);
    EXPECT_TRUE(page->logTexts().empty());
    EXPECT_EQ(page->focusedItem, page->resumeButton);
    modeOfType(GameType::Campaign);
    page->onShow();
    EXPECT_EQ(page->logTexts().size(), 2u);
    EXPECT_EQ(page->focusedItem, page->resumeButton);
}

TEST_F(InGamePages, TheCampaignPausePagesSlideWithTheirDots)
{
    PauseCampaignMenuFrame* page = showPaused(MenuFrameRegistry::pauseCampaignMenu());
    EXPECT_EQ(page->slider->edgeLimit, page->slider->width / 5);
    EXPECT_EQ(page->pageIndicator->pageCount, 2);
    page->onPageChanged(page->logPage);
    EXPECT_EQ(page->pageIndicator->currentPage, 1);
    page->onPageChanged(page->objectivesPage);
    EXPECT_EQ(page->pageIndicator->currentPage, 0);
    // The dots' right half leads to the log page.
    page->pageIndicator->onNext();
    for (int i = 0; i < 120; ++i)
        page->update();
    EXPECT_EQ(page->slider->currentItem(), page->logPage);
    EXPECT_EQ(page->pageIndicator->currentPage, 1);
    // Only the current page shows on the screen.
    EXPECT_LE(page->objectivesPage->absX + page->objectivesPage->width, 0);
    EXPECT_GE(page->logPage->absX, 0);
    EXPECT_LE(page->logPage->absX + page->logPage->width, page->width);
}

// ---- Resume, restart, retry and the ways back to the menus ----

TEST_F(InGamePages, EscapeAndResumeCloseEveryPausePage)
{
    std::vector<std::pair<MenuFrame*, SpriteButton*>> pages;
    PauseCampaignMenuFrame* campaign = MenuFrameRegistry::pauseCampaignMenu();
    FreeFlightPauseMenuFrame* flight = MenuFrameRegistry::freeFlightPauseMenu();
    TutorialPauseMenuFrame* tutorial = MenuFrameRegistry::tutorialPauseMenu();
    pages = {{campaign, campaign->resumeButton}, {flight, flight->resumeButton}, {tutorial, tutorial->resumeButton}};
    for (auto [page, resume] : pages) {
        for (const bool byEscape : {true, false}) {
            game.resumed = 0;
            openPauseScreen();
            updateScreens();
            setGamePaused(true);
            showPaused(page);
            EXPECT_EQ(page->focusedItem, resume);
            if (byEscape)
                dispatchBackKey();
            else
                resume->fire();
            expectResumed();
            EXPECT_EQ(missionStarts.size() + tutorialStarts.size(), 0u);
        }
    }
}

TEST_F(InGamePages, RestartStartsFromTheBeginningAndRetryFromTheCheckpoint)
{
    CampaignFailMenuFrame* fail = MenuFrameRegistry::campaignFailMenu();
    showPaused(fail);
    EXPECT_EQ(fail->focusedItem, fail->retryButton);
    fail->retryButton->fire();
    expectResumed();
    ASSERT_EQ(missionStarts, std::vector<int>{1});
    EXPECT_EQ(gameChoices().resume, 1);

    // A restart after that resume starts from the beginning, from either page.
    openPauseScreen();
    updateScreens();
    PauseCampaignMenuFrame* pause = showPaused(MenuFrameRegistry::pauseCampaignMenu());
    pause->restartButton->fire();
    EXPECT_EQ(missionStarts, (std::vector<int>{1, 0}));
    EXPECT_EQ(gameChoices().resume, 0);
    gameChoices().resume = 1;
    showPaused(fail)->restartButton->fire();
    EXPECT_EQ(missionStarts, (std::vector<int>{1, 0, 0}));
}

TEST_F(InGamePages, TheFailurePageShowsTheMissionsReasonOrTheLostAircraft)
{
    CampaignFailMenuFrame::showOverGame(0);
    CampaignFailMenuFrame* fail = MenuFrameRegistry::campaignFailMenu();
    EXPECT_EQ(pauseScreen().frame, fail);
    EXPECT_EQ(fail->headline->shownText(), u"Mission failed");
    EXPECT_EQ(fail->reason->shownText(), u"Your aircraft was lost.");
    CampaignFailMenuFrame::showOverGame(229);
    EXPECT_EQ(fail->reason->stringId, 229);
    CampaignFailMenuFrame::showOverGame(-1);
    EXPECT_EQ(fail->reason->stringId, CampaignFailMenuFrame::kDefaultReasonString);
}

TEST_F(InGamePages, LeavingAMissionLeadsThroughMainPlayAndTheMissionList)
{
    modeOfType(GameType::Campaign);
    showPaused(MenuFrameRegistry::pauseCampaignMenu())->quitButton->fire();
    EXPECT_EQ(currentScreen(), &menus);
    EXPECT_EQ(game.left, 1);
    EXPECT_EQ(historyBack(), (std::vector<MenuFrame*>{MenuFrameRegistry::campaignMenu(), MenuFrameRegistry::playMenu(),
                                                      MenuFrameRegistry::mainMenu()}));

    // The failure page's way back does the same.
    setCurrentScreen(&game);
    openPauseScreen();
    updateScreens();
    showPaused(MenuFrameRegistry::campaignFailMenu())->backToCampaignButton->fire();
    EXPECT_EQ(currentScreen(), &menus);
    EXPECT_EQ(overlayScreen(), nullptr);
    EXPECT_EQ(historyBack(), (std::vector<MenuFrame*>{MenuFrameRegistry::campaignMenu(), MenuFrameRegistry::playMenu(),
                                                      MenuFrameRegistry::mainMenu()}));
}

TEST_F(InGamePages, LeavingAFreeFlightLeadsBackToWhereItWasStarted)
{
    struct Road {
        bool network, hosting, online;
        std::vector<MenuFrame*> expected;
    };
    const std::vector<Road> roads = {
        {false, false, false, {MenuFrameRegistry::playMenu(), MenuFrameRegistry::mainMenu()}},
        {true, true, false, {&lanPage, &multiPlayerPage, MenuFrameRegistry::mainMenu()}},
        {true, false, false, {&lanPage, &multiPlayerPage, MenuFrameRegistry::mainMenu()}},
        {true, false, true, {&onlinePage, &multiPlayerPage, MenuFrameRegistry::mainMenu()}},
    };
    for (const Road& road : roads) {
        setCurrentScreen(&game);
        openPauseScreen();
        updateScreens();
        GameMode* mode = modeOfType(GameType::FreeFlight);
        mode->setNetwork(road.network, road.hosting, road.online);
        FreeFlightPauseMenuFrame* page = showPaused(MenuFrameRegistry::freeFlightPauseMenu());
        pauseScreen().frame = page;
        page->quitButton->fire();
        EXPECT_TRUE(mode->playStopped);
        EXPECT_EQ(currentScreen(), &menus);
        EXPECT_EQ(overlayScreen(), nullptr);
        EXPECT_EQ(pauseScreen().frame, nullptr);
        EXPECT_EQ(historyBack(), road.expected) << road.network << road.hosting << road.online;
    }
}

TEST_F(InGamePages, ControlsAndSoundOpenOverThePauseAndLeadBack)
{
    PauseCampaignMenuFrame* page = showPaused(MenuFrameRegistry::pauseCampaignMenu());
    page->controlsButton->fire();
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::controlsMenu());
    // Its back button names the pause page it returns to, not the options.
    ResizableButton& back = *MenuFrameRegistry::controlsMenu()->backButton();
    EXPECT_EQ(back.labelStringId, PauseCampaignMenuFrame::kTitleString);
    goBack();
    EXPECT_EQ(currentFrame(), page);
    EXPECT_EQ(page->focusedItem, page->resumeButton);
    page->audioButton->fire();
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::audioMenu());
    goBack();
    TutorialPauseMenuFrame* tutorial = showPaused(MenuFrameRegistry::tutorialPauseMenu());
    tutorial->audioButton->fire();
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::audioMenu());
    goBack();
    EXPECT_EQ(currentFrame(), tutorial);
    EXPECT_EQ(overlayScreen(), &pause);
    // Reached from the options again, it names them.
    MenuFrameRegistry::optionsMenu()->openControls();
    EXPECT_EQ(back.labelStringId, ControlsMenuFrame::kBackString);
}

// ---- The free-flight player list ----

TEST_F(InGamePages, TheFreeFlightListNumbersThePlayersAndGreensTheLocalOne)
{
    SimHost host;
    const PlaneCfg cfg = [] {
        PlaneCfg p = testFighter();
        p.fullname = "Test Fighter";
        return p;
    }();
    std::vector<Airplane*> players;
    for (const char16_t* name : {u"Ada", u"Bea", u"Cy"})
        players.push_back(host.add(Target::create<Airplane>(host, cfg, 0, std::u16string(name))));
    players[2]->planeRecord = nullptr;   // a player whose plane is not known here
    GameMode* mode = modeOfType(GameType::FreeFlight);
    ScoreMgr& scores = ScoreMgr::instance();
    scores.reset(false);
    scores.clearPlayers();
    for (Airplane* a : players)
        scores.addPlayer(*a);
    mode->setPlayerAirplane(players[1]);

    // Alone: no list.
    FreeFlightPauseMenuFrame* page = showPaused(MenuFrameRegistry::freeFlightPauseMenu());
    EXPECT_FALSE(page->playerList->visible);
    EXPECT_TRUE(page->playerRows().empty());

    mode->setNetwork(true, true, false);
    page->onShow();
    ASSERT_TRUE(page->playerList->visible);
    std::vector<std::u16string> expected;
    int green = 0, n = 0;
    for (const Airplane* a : scores.group(0).players) {
        ++n;
        expected.push_back(std::u16string(u"") + char16_t(u'0' + n) + u". " + a->pilotName + u" - " +
                           (a == players[2] ? u"" : std::u16string(cfg.name.begin(), cfg.name.end())));
    }
    EXPECT_EQ(page->playerRows(), expected);
    for (const MenuItem* item : page->playerList->drawList()) {
        const auto* row = static_cast<const SpriteLabel*>(item);
        const Color4 c = row->textColor, local = FreeFlightPauseMenuFrame::kLocalRowColor;
        const bool isGreen = row->useTextColor && c.r == local.r && c.g == local.g && c.b == local.b && c.a == local.a;
        green += isGreen ? 1 : 0;
        if (isGreen) {
            EXPECT_NE(row->shownText().find(u"Bea"), std::u16string::npos);
        }
    }
    EXPECT_EQ(green, 1);
    mode->setPlayerAirplane(nullptr);
    scores.clearPlayers();
}

// ---- Tutorials ----

TEST_F(InGamePages, FinishedLessonsChainToTheNextAndTheLastToTheMissions)
{
    TutorialWinMenuFrame* win = MenuFrameRegistry::tutorialWinMenu();
    const std::vector<std::pair<int, int>> chain = {{0, 2}, {1, 2}, {2, 3}, {3, 4}, {4, 5}};
    for (auto [done, next] : chain) {
        tutorialStarts.clear();
        tutorialIndex() = done;
        showPaused(win);
        EXPECT_TRUE(win->nextButton->visible);
        EXPECT_EQ(win->nextButton->labelStringId, TutorialWinMenuFrame::kNextStringBase + done);
        // The page waits for the player, then its next button leads on.
        for (int frame = 0; frame < 120; ++frame)
            win->update();
        EXPECT_TRUE(tutorialStarts.empty()) << done << ": the page moved on by itself";
        EXPECT_EQ(tutorialIndex(), done);
        win->nextButton->activate();
        EXPECT_EQ(tutorialStarts, std::vector<int>{next}) << done;
        EXPECT_EQ(tutorialIndex(), next);
    }
    tutorialStarts.clear();
    tutorialIndex() = 5;
    showPaused(win);
    EXPECT_EQ(win->nextButton->labelStringId, TutorialWinMenuFrame::kNextFallbackString);
    win->update();
    EXPECT_EQ(currentScreen(), &game) << "the last lesson's page waits too";
    win->nextButton->activate();
    EXPECT_TRUE(tutorialStarts.empty());
    EXPECT_EQ(currentScreen(), &menus);
    EXPECT_EQ(historyBack(), (std::vector<MenuFrame*>{MenuFrameRegistry::campaignMenu(), MenuFrameRegistry::playMenu(),
                                                      MenuFrameRegistry::mainMenu()}));
    // Back from a lesson before the last: the tutorial list.
    setCurrentScreen(&game);
    tutorialIndex() = 3;
    showPaused(win)->backToMenus();
    EXPECT_EQ(historyBack(), (std::vector<MenuFrame*>{MenuFrameRegistry::tutorialListMenu(),
                                                      MenuFrameRegistry::playMenu(), MenuFrameRegistry::mainMenu()}));
}

TEST_F(InGamePages, TheTutorialPauseRestartsTheSameLessonOrLeadsToTheList)
{
    tutorialIndex() = 3;
    TutorialPauseMenuFrame* page = showPaused(MenuFrameRegistry::tutorialPauseMenu());
    EXPECT_EQ(page->focusedItem, page->resumeButton);
    page->restartButton->fire();
    EXPECT_EQ(tutorialStarts, std::vector<int>{3});
    expectResumed();

    openPauseScreen();
    updateScreens();
    showPaused(page)->listButton->fire();
    EXPECT_EQ(currentScreen(), &menus);
    EXPECT_EQ(overlayScreen(), nullptr);
    EXPECT_EQ(historyBack(), (std::vector<MenuFrame*>{MenuFrameRegistry::tutorialListMenu(),
                                                      MenuFrameRegistry::playMenu(), MenuFrameRegistry::mainMenu()}));
}

TEST_F(InGamePages, EveryRoadStartsTutorialsOnTheTutorialMap)
{
    resetInGameLinks();
    settings().skirmishType = 2;
    for (const int index : {0, 2, 4, 5}) {
        setCurrentScreen(&game);
        inGameLinks().startTutorial(index);
        ASSERT_NE(modeOf(currentMatch()), nullptr) << index;
        EXPECT_EQ(modeOf(currentMatch())->mapRecord(), MapLists::instance().skirmishMap(1)) << index;
        EXPECT_EQ(currentScreen(), &gameLoadingScreen());
        EXPECT_EQ(tutorialIndex(), index);
        EXPECT_EQ(settings().skirmishType, static_cast<int>(GameType::Tutorial));
        endMatch();
    }
}

TEST_F(InGamePages, ARestartFliesTheMissionBeingFlown)
{
    resetInGameLinks();
    const MapInfoCfg* record = MapLists::instance().campaignMission(1, 2);
    ASSERT_NE(record, nullptr);
    GameMode* flown = modeOfType(GameType::Campaign);
    flown->setMapRecord(record);
    flown->difficulty = 2;
    gameChoices().resume = 1;
    showPaused(MenuFrameRegistry::pauseCampaignMenu())->restartButton->fire();
    auto* again = dynamic_cast<GameModeCampaign*>(modeOf(currentMatch()));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->mapRecord(), record);
    EXPECT_EQ(again->difficulty, 2);
    EXPECT_EQ(again->resumeValue, 0);
    EXPECT_EQ(currentScreen(), &gameLoadingScreen());
}

// The page outlives games: the first pause of each mission, after a restart as
// in the next mission, opens on the objectives whatever page the last was left
// on; within one mission it stays where the player left it.
TEST_F(InGamePages, EachMissionsFirstPauseOpensOnItsObjectives)
{
    resetInGameLinks();
    GameMode* flown = modeOfType(GameType::Campaign);
    flown->setMapRecord(MapLists::instance().campaignMission(1, 1));
    PauseCampaignMenuFrame* page = showPaused(MenuFrameRegistry::pauseCampaignMenu());
    const auto expectPage = [&](MenuPanel* shown, int dot) {
        EXPECT_EQ(page->slider->currentItem(), shown);
        EXPECT_EQ(page->pageIndicator->currentPage, dot);
    };
    const auto swipeToLog = [&] {
        page->pageIndicator->onNext();
        for (int i = 0; i < 120; ++i)
            page->update();
        expectPage(page->logPage, 1);
    };
    expectPage(page->objectivesPage, 0);
    swipeToLog();
    showPaused(page);
    expectPage(page->logPage, 1);

    page->restartButton->fire();
    ASSERT_NE(modeOf(currentMatch()), flown);
    openPauseScreen();
    updateScreens();
    showPaused(page);
    expectPage(page->objectivesPage, 0);

    swipeToLog();
    modeOfType(GameType::Campaign)->setMapRecord(MapLists::instance().campaignMission(0, 0));
    showPaused(page);
    expectPage(page->objectivesPage, 0);
}
