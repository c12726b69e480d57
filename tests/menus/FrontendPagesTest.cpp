#include "MenusTestSupport.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/ChooseControlTypePanel.h"
#include "menus/ingame/CustomChatMenuFrame.h"
#include "menus/frontend/CreditsMenuFrame.h"
#include "menus/settings/GraphicsSettingsMenuFrame.h"
#include "menus/frontend/FrontendLinks.h"
#include "menus/frontend/GameSetupMenuFrame.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/frontend/TutorialListMenuFrame.h"
#include "menus/settings/LanguageMenuFrame.h"
#include "menus/settings/OptionsMenuFrame.h"
#include "menus/settings/OtherGameSettingsMenuFrame.h"
#include "gamedata/records/PlaneList.h"
#include "modes/GameMode.h"
#include "modes/GameModeFactory.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/GameType.h"
#include "modes/progress/UnlocksMgr.h"
#include "platform/Language.h"
#include "platform/Pak.h"
#include "screens/GameScreen.h"
#include "screens/QuitGameOverlay.h"
#include "support/TestPak.h"
#include "ui/widgets/MenuAlert.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace {
// A page another part of the game builds, standing in where a link leads.
struct ElsewherePage : MenuFrame {};

struct FrontendPages : PageTest {
    void SetUp() override
    {
        PageTest::SetUp();
        MenuFrameRegistry::deleteAll();
        links = frontendLinks();
        frontendLinks().multiPlayer = [this] { return &multiPlayer; };
        frontendLinks().onlineQuickMatch = [this] { return &online; };
        frontendLinks().campaignList = [this] { return &campaigns; };
        frontendLinks().dogFights = [this] { return &dogFights; };
        settings().tutorialDone.fill(0);
        settings().tutorialPromptAnswered = 0;
        settings().save();
    }
    void TearDown() override
    {
        if (MenuAlert* alert = MenuAlert::existing())
            alert->closed = true;
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        frontendLinks() = links;
        PageTest::TearDown();
    }
    static bool alertOpen() { return MenuAlert::existing() && !MenuAlert::existing()->closed; }
    // The play menu readied as the main menu leads to it, with a recording start.
    PlayMenuFrame& playMenu()
    {
        goToFrame(MenuFrameRegistry::mainMenu());
        PlayMenuFrame& play = *MenuFrameRegistry::playMenu();
        play.launch = [this](int type, int map) { starts.push_back({type, map}); };
        play.mapCount = [this] { return mapCount; };
        goToFrame(&play);
        return play;
    }

    FrontendLinks links;
    ElsewherePage multiPlayer, online, campaigns, dogFights;
    struct Start {
        int type, map;
    };
    std::vector<Start> starts;
    int mapCount = 3;
};
}  // namespace

TEST_F(FrontendPages, EveryGetterHandsOutOnePageUntilDeleteAll)
{
    MainMenuFrame* main = MenuFrameRegistry::mainMenu();
    OptionsMenuFrame* options = MenuFrameRegistry::optionsMenu();
    TutorialListMenuFrame* tutorials = MenuFrameRegistry::tutorialListMenu();
    EXPECT_EQ(MenuFrameRegistry::mainMenu(), main);
    EXPECT_EQ(MenuFrameRegistry::optionsMenu(), options);
    MenuFrameRegistry::deleteAll();
    EXPECT_EQ(MenuFrameRegistry::existing(MenuFrameRegistry::Page::MainMenu), nullptr);
    EXPECT_EQ(MenuFrameRegistry::existing(MenuFrameRegistry::Page::Options), nullptr);
    EXPECT_EQ(MenuFrameRegistry::tutorialListMenu(), tutorials);
    EXPECT_NE(MenuFrameRegistry::mainMenu(), nullptr);
}

TEST_F(FrontendPages, MainMenuAsksBeforeMultiplayerAndTheTutorialAnswerKeepsAsking)
{
    MainMenuFrame& main = *MenuFrameRegistry::mainMenu();
    goToFrame(&main);
    main.onMultiplayer();
    ASSERT_TRUE(alertOpen());
    MenuAlert::instance().onButtonA();   // 1211: the tutorials
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::tutorialListMenu());
    EXPECT_EQ(settings().tutorialPromptAnswered, 0);
    goBack();
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::playMenu());
    goBack();
    EXPECT_EQ(currentFrame(), &main);

    main.onOnlineButton();
    ASSERT_TRUE(alertOpen()) << "the question comes again while unanswered";
    MenuAlert::instance().onButtonB();   // 1212: go on to the page
    EXPECT_EQ(currentFrame(), &online);
    EXPECT_EQ(settings().tutorialPromptAnswered, 1);
    EXPECT_EQ(onDisk().tutorialPromptAnswered, 1);

    goToFrame(&main);
    main.onMultiplayer();
    EXPECT_FALSE(alertOpen());
    EXPECT_EQ(currentFrame(), &multiPlayer);
}

TEST_F(FrontendPages, ADoneFirstTutorialMeansNoQuestion)
{
    settings().tutorialDone[0] = 1;
    settings().save();
    MainMenuFrame& main = *MenuFrameRegistry::mainMenu();
    goToFrame(&main);
    main.onOnlineButton();
    EXPECT_FALSE(alertOpen());
    EXPECT_EQ(currentFrame(), &online);

    PlayMenuFrame& play = playMenu();
    play.onMode3();
    EXPECT_FALSE(alertOpen());
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::gameSetupMenu());
    EXPECT_EQ(settings().skirmishType, static_cast<int>(GameType::TeamDeathmatch));
}

TEST_F(FrontendPages, PlayMenuAsksForAllButFreeFlightLastManStandingAndTutorials)
{
    PlayMenuFrame& play = playMenu();
    const std::vector<MenuAction> asking = {[&] { play.onCampaign(); }, [&] { play.onSurvival(); },
                                            [&] { play.onDogFights(); }, [&] { play.onMode2(); },
                                            [&] { play.onMode3(); },    [&] { play.onMode4(); },
                                            [&] { play.onMode5(); }};
    for (std::size_t i = 0; i < asking.size(); ++i) {
        asking[i]();
        EXPECT_TRUE(alertOpen()) << "button " << i;
        MenuAlert::instance().onButtonA();
        EXPECT_EQ(currentFrame(), MenuFrameRegistry::tutorialListMenu()) << "button " << i;
        EXPECT_EQ(settings().tutorialPromptAnswered, 0);
        goBack();
    }
    openFreeFlightSetup();
    EXPECT_FALSE(alertOpen());
    EXPECT_EQ(settings().skirmishType, static_cast<int>(GameType::FreeFlight));
    goBack();
    play.onMode13();
    EXPECT_FALSE(alertOpen());
    EXPECT_EQ(settings().skirmishType, static_cast<int>(GameType::LastManStanding));
    goBack();
    play.openTutorials();
    EXPECT_FALSE(alertOpen());
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::tutorialListMenu());

    goBack();
    play.onMode4();
    MenuAlert::instance().onButtonB();   // 1212 answers for good
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::gameSetupMenu());
    EXPECT_EQ(settings().skirmishType, static_cast<int>(GameType::CaptureTheFlag));
    EXPECT_EQ(onDisk().tutorialPromptAnswered, 1);
    EXPECT_EQ(onDisk().skirmishType, static_cast<int>(GameType::CaptureTheFlag));
}

TEST_F(FrontendPages, RotatedStartsTakeConsecutiveMapsAndWrap)
{
    PlayMenuFrame& play = playMenu();
    mapChoice().mapRotation = 0;
    settings().skirmishMap = -1;
    settings().skirmishType = static_cast<int>(GameType::FreeForAll);
    for (int i = 0; i < 4; ++i)
        MenuFrameRegistry::gameSetupMenu()->startHandler();
    ASSERT_EQ(starts.size(), 4u);
    // The count of skirmish maps is 3: the first rotated map is 1.
    EXPECT_EQ(starts[0].map, 1);
    EXPECT_EQ(starts[1].map, 2);
    EXPECT_EQ(starts[2].map, 0);
    EXPECT_EQ(starts[3].map, 1);
    EXPECT_EQ(starts[0].type, static_cast<int>(GameType::FreeForAll));

    settings().skirmishMap = 2;
    play.startGame();
    EXPECT_EQ(starts.back().map, 2);
    EXPECT_EQ(mapChoice().mapRotation, 1) << "a chosen map leaves the rotation alone";
}

TEST_F(FrontendPages, SurvivalStartsAtOnceOnTheNextMapAndLeavesTheChoiceOpen)
{
    settings().tutorialPromptAnswered = 1;
    settings().skirmishMap = 1;
    settings().save();
    PlayMenuFrame& play = playMenu();
    mapChoice().mapRotation = 0;
    play.onSurvival();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].type, static_cast<int>(GameType::Survival));
    EXPECT_EQ(starts[0].map, 1);
    EXPECT_EQ(settings().skirmishMap, -1);
    EXPECT_EQ(onDisk().skirmishMap, -1);
    // The next skirmish from the set-up page without a map takes the next one.
    settings().skirmishType = static_cast<int>(GameType::TeamDeathmatch);
    MenuFrameRegistry::gameSetupMenu()->startHandler();
    EXPECT_EQ(starts.back().map, 2);
}

TEST_F(FrontendPages, StartsFillTheMatchTable)
{
    PlayMenuFrame& play = playMenu();
    Settings& s = settings();
    s.skirmishOption = 15;
    s.aiSkill = 0.6f;
    s.skirmishMap = 0;
    const int ffa = Settings::kEntryFFA * Settings::kEntryWords;
    s.skirmishConfig[ffa + 5] = 1234;
    s.skirmishType = static_cast<int>(GameType::CaptureTheFlag);
    play.startGame();
    const std::uint32_t skill = std::bit_cast<std::uint32_t>(0.6f);
    for (int entry : {Settings::kEntryTD, Settings::kEntryDTB, Settings::kEntryCTF}) {
        const std::uint32_t* w = &s.skirmishConfig[entry * Settings::kEntryWords];
        EXPECT_EQ(std::vector<std::uint32_t>(w, w + 6), (std::vector<std::uint32_t>{15, 0, 4, 5, 0, skill}))
            << "entry " << entry;
    }
    const std::uint32_t* f = &s.skirmishConfig[ffa];
    EXPECT_EQ(std::vector<std::uint32_t>(f, f + 6), (std::vector<std::uint32_t>{15, 0, 7, 0, skill, 1234}));

    s.skirmishType = static_cast<int>(GameType::FreeFlight);
    play.startGame();
    for (int entry : {Settings::kEntryTD, Settings::kEntryDTB, Settings::kEntryCTF, Settings::kEntryFFA})
        EXPECT_EQ(s.skirmishConfig[entry * Settings::kEntryWords], 0u) << "entry " << entry;
}

TEST_F(FrontendPages, TutorialsStartWithTheFirstPlaneOnMapOne)
{
    TutorialListMenuFrame& list = *MenuFrameRegistry::tutorialListMenu();
    EXPECT_FALSE(list.entries[TutorialListMenuFrame::kHiddenTutorial]->visible);
    EXPECT_FALSE(list.entries[TutorialListMenuFrame::kHiddenTutorial]->enabled);
    int shown = 0;
    for (TutorialEntry* entry : list.entries)
        shown += entry->visible ? 1 : 0;
    EXPECT_EQ(shown, 5);

    std::vector<int> started;
    auto launch = list.launch;
    list.launch = [&](int type, int map, int index) {
        EXPECT_EQ(type, static_cast<int>(GameType::Tutorial));
        EXPECT_EQ(map, 1);
        started.push_back(index);
    };
    settings().localPlaneId = 5;
    mapChoice().selectedMap = 7;
    list.entries[4]->enabled = true;
    list.entries[4]->activate();
    list.launch = launch;
    EXPECT_EQ(started, std::vector<int>{4});
    EXPECT_EQ(settings().localPlaneId, 0);
    EXPECT_EQ(mapChoice().selectedMap, 1);
    EXPECT_EQ(settings().skirmishType, static_cast<int>(GameType::Tutorial));
}

TEST_F(FrontendPages, ATutorialStartsOnItsReleaseUnlessTheRowMovedUnderIt)
{
    TutorialListMenuFrame& list = *MenuFrameRegistry::tutorialListMenu();
    int started = 0;
    auto launch = list.launch;
    list.launch = [&](int, int, int) { ++started; };
    TutorialEntry& entry = *list.entries[2];
    entry.enabled = true;
    const int cx = entry.absX + entry.width / 2, cy = entry.absY + entry.height / 2;
    entry.onTouchDown(cx, cy);
    entry.absX -= 30;   // the row was dragged under the finger
    EXPECT_FALSE(entry.onTouchUp(cx, cy));
    entry.absX += 30;
    EXPECT_EQ(started, 0);
    // Come up off the entry, the row unmoved: it starts without the click.
    entry.onTouchDown(cx, cy);
    EXPECT_FALSE(entry.onTouchUp(entry.absX + entry.width + 200, cy));
    EXPECT_EQ(started, 1);
    entry.onTouchDown(cx, cy);
    EXPECT_TRUE(entry.onTouchUp(cx, cy));
    EXPECT_EQ(started, 2);
    list.launch = launch;
}

TEST_F(FrontendPages, ControlTypeOptionsBehaveAsRadioButtonsAndOkSaves)
{
    settings().controlType = 1;
    settings().aimAssist = 1;
    ChooseControlTypePanel& panel = *MenuFrameRegistry::chooseControlTypePanel();
    EXPECT_FALSE(panel.options[0]->checked);
    EXPECT_TRUE(panel.options[1]->checked);
    EXPECT_EQ(panel.descriptionString, ChooseControlTypePanel::kDescription1String);
    EXPECT_EQ(panel.focusedItem, panel.options[0]);

    panel.options[0]->activate();
    EXPECT_TRUE(panel.options[0]->checked);
    EXPECT_FALSE(panel.options[1]->checked);
    EXPECT_EQ(panel.descriptionString, ChooseControlTypePanel::kDescription0String);
    EXPECT_EQ(settings().aimAssist, 0);
    EXPECT_FALSE(panel.aimAssistBox->checked);

    panel.options[0]->activate();   // the ticked one again stays ticked
    EXPECT_TRUE(panel.options[0]->checked);
    EXPECT_FALSE(panel.options[1]->checked);

    panel.aimAssistBox->activate();
    EXPECT_EQ(settings().aimAssist, 1);

    panel.onOk();
    EXPECT_EQ(settings().controlType, 0);
    EXPECT_EQ(onDisk().controlType, 0);
    EXPECT_EQ(onDisk().aimAssist, 1);
}

TEST_F(FrontendPages, OptionsHubLeadsToEveryPageAndKeysSkipCustomChatAndGraphics)
{
    goToFrame(MenuFrameRegistry::mainMenu());
    OptionsMenuFrame& hub = *MenuFrameRegistry::optionsMenu();
    goToFrame(&hub);
    EXPECT_EQ(hub.focusedItem, hub.languageButton);
    std::vector<MenuItem*> focusable;
    collectFocusableItems(hub, focusable);
    auto has = [&](MenuItem* item) { return std::find(focusable.begin(), focusable.end(), item) != focusable.end(); };
    EXPECT_FALSE(has(hub.customChatButton));
    EXPECT_FALSE(has(hub.graphicsButton));
    for (MenuItem* item : {hub.languageButton, hub.controlsButton, hub.otherButton, hub.audioButton,
                           hub.creditsButton, hub.howToPlayButton})
        EXPECT_TRUE(has(item));

    const std::vector<std::pair<SpriteButton*, MenuFrame*>> roads = {
        {hub.languageButton, MenuFrameRegistry::languageMenu()},
        {hub.otherButton, MenuFrameRegistry::otherGameSettingsMenu()},
        {hub.creditsButton, MenuFrameRegistry::creditsMenu()},
        {hub.graphicsButton, MenuFrameRegistry::graphicsSettingsMenu()},
    };
    for (const auto& [button, page] : roads) {
        button->fire();
        EXPECT_EQ(currentFrame(), page);
        goBack();
        EXPECT_EQ(currentFrame(), &hub);
    }
    // Each page's back button names the page it returns to: the options.
    for (MenuFrame* page : {static_cast<MenuFrame*>(MenuFrameRegistry::customChatMenu()), roads[0].second,
                            roads[1].second, roads[3].second})
        EXPECT_EQ(page->backButton()->labelStringId, OptionsMenuFrame::kTitleString);
    goBack();
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::mainMenu());
}

TEST_F(FrontendPages, OtherSettingsShowTheStoredFlagAndSaveOnEveryLeave)
{
    OtherGameSettingsMenuFrame& page = *MenuFrameRegistry::otherGameSettingsMenu();
    goToFrame(MenuFrameRegistry::optionsMenu());
    settings().markerDetails = 0;
    goToFrame(&page);
    EXPECT_FALSE(page.markerDetailsBox->checked);
    EXPECT_EQ(page.focusedItem, page.markerDetailsBox);
    page.markerDetailsBox->activate();
    goBack();
    EXPECT_EQ(onDisk().markerDetails, 1);

    removeSaved(Settings::kFileName);
    goToFrame(&page);
    EXPECT_TRUE(page.markerDetailsBox->checked);
    goBack();   // nothing touched: still saved
    EXPECT_TRUE(saved_file_exists(Settings::kFileName));
    EXPECT_EQ(onDisk().markerDetails, 1);
}

TEST_F(FrontendPages, TheSameLanguageChangesNothing)
{
    settings().languageIndex = 0;
    LanguageMenuFrame& page = *MenuFrameRegistry::languageMenu();
    int switches = 0;
    page.switchLanguage = [&](int) { ++switches; };
    removeSaved(Settings::kFileName);
    (void)takeLanguageChanged();
    setMenuActivatedItem(page.flags[0]);
    page.onLanguage();
    setMenuActivatedItem(nullptr);
    EXPECT_EQ(switches, 0);
    EXPECT_FALSE(saved_file_exists(Settings::kFileName));
    EXPECT_FALSE(takeLanguageChanged());
}

TEST_F(FrontendPages, ANewLanguageRebuildsThePagesAndBackLeadsHome)
{
    settings().languageIndex = 0;
    goToFrame(MenuFrameRegistry::mainMenu());
    goToFrame(MenuFrameRegistry::optionsMenu());
    LanguageMenuFrame* before = MenuFrameRegistry::languageMenu();
    goToFrame(before);
    std::vector<int> switched;
    before->switchLanguage = [&](int index) { switched.push_back(index); };
    (void)takeLanguageChanged();
    setMenuActivatedItem(before->flags[2]);
    before->onLanguage();
    setMenuActivatedItem(nullptr);
    EXPECT_EQ(switched, std::vector<int>{2});
    EXPECT_EQ(onDisk().languageIndex, 2);
    EXPECT_EQ(before->flags[2]->scale, LanguageMenuFrame::kCurrentScale);
    EXPECT_EQ(before->flags[0]->scale, LanguageMenuFrame::kFlagScale);
    ASSERT_TRUE(takeLanguageChanged());

    // An open alert and its context must not outlive the pages.
    showQuestionAlert([] {}, [] {});
    rebuildMenusForLanguage();
    EXPECT_FALSE(alertOpen());
    EXPECT_EQ(frameHistoryCount(), 2);
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::languageMenu());
    goBack();
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::optionsMenu());
    goBack();
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::mainMenu());
}

TEST_F(FrontendPages, TheMainMenuHoldsOnlyNoticesOfPlanesForOwningAnotherGame)
{
    MainMenuFrame& main = *MenuFrameRegistry::mainMenu();
    UnlockItem weapon;
    weapon.itemType = 2;
    main.pendingPlane = 3;
    main.onItemUnlocked(weapon, UnlockEventType::HasZubGame, "UNLOCK_MSG");
    EXPECT_EQ(main.pendingPlane, -1);
    UnlockItem plane;
    plane.itemType = static_cast<int>(UnlockItemType::Plane);
    plane.parameterString = "no such plane";
    main.pendingPlane = 3;
    main.onItemUnlocked(plane, UnlockEventType::HasZubGame, "UNLOCK_MSG");
    EXPECT_EQ(main.pendingPlane, -1) << "a plane that cannot be found drops the notice";
    main.pendingPlane = 3;
    main.onItemUnlocked(plane, UnlockEventType::HasZubGame, "");
    EXPECT_EQ(main.pendingPlane, -1);

    // A rebuilt main menu is never told through the freed one.
    UnlocksMgr::instance().setListener(&main);
    MenuFrameRegistry::deleteAll();
    EXPECT_EQ(UnlocksMgr::instance().listener(), nullptr);
}

TEST_F(FrontendPages, EscapeOnTheMainMenuAsksToQuit)
{
    MainMenuFrame& main = *MenuFrameRegistry::mainMenu();
    goToFrame(&main);
    QuitGameOverlay& quit = QuitGameOverlay::instance();
    quit.shown = false;
    dispatchBackKey();
    EXPECT_TRUE(quit.shown);
    EXPECT_EQ(currentFrame(), &main);
    quit.shown = false;
}

namespace {
struct StagedTexts : testing::Test {
    TempDir save, data;
    FileLayerScope scope{save.folder(), data.folder()};
    void SetUp() override { ASSERT_TRUE(mountPak(SKYFRONT_STAGE_DIR "/paks/base.pak")); }
    void TearDown() override
    {
        (void)setLanguageByIndex(0);
        unloadStringTables();
    }
};
}  // namespace

TEST_F(StagedTexts, ALanguageWithoutItsOwnTablesKeepsTheEnglishTexts)
{
    for (int index = 0; index < kLanguageCount; ++index) {
        (void)setLanguageByIndex(index);
        EXPECT_EQ(currentLanguage(), index);
        for (int id : {41, 40, 42, 727, 1210, 403, 384}) {
            const std::u16string& text = getStringByIndex(id);
            EXPECT_FALSE(text.empty()) << "language " << index << " string " << id;
            EXPECT_NE(text, u"DUMMY") << "language " << index << " string " << id;
        }
    }
}

TEST_F(StagedTexts, APlaneUnlockedForAnotherGameWaitsForTheShowcaseWithItsNotice)
{
    ASSERT_TRUE(PlaneList::instance().load());
    const PlaneCfg* plane = PlaneList::instance().findByName("a10");
    ASSERT_NE(plane, nullptr);
    MainMenuFrame& main = *MenuFrameRegistry::mainMenu();
    UnlockItem item;
    item.itemType = static_cast<int>(UnlockItemType::Plane);
    item.parameterString = "a10";
    main.onItemUnlocked(item, UnlockEventType::HasZubGame, "UNLOCK_NEW_PLANE");
    EXPECT_EQ(main.pendingPlane, plane->plane_id);
    EXPECT_EQ(main.noticeText, getStringById("UNLOCK_NEW_PLANE"));
    main.update();   // no showcase plane in the scene yet: the notice waits
    EXPECT_EQ(main.pendingPlane, plane->plane_id);
    main.onItemUnlocked(item, UnlockEventType::Rank, "UNLOCK_NEW_PLANE");
    EXPECT_EQ(main.pendingPlane, -1) << "another deed drops the waiting notice";
    MenuFrameRegistry::deleteAll();
}

namespace {
struct ControlTypeChoice : PageTest {
    void TearDown() override
    {
        setControlTypeChoice(nullptr);
        endMatch();
        PageTest::TearDown();
    }
};
}  // namespace

TEST_F(ControlTypeChoice, AFreshProfileStillAsksAfterTheMenusSettingsCheck)
{
    int shown = 0;
    setControlTypeChoice([&] { ++shown; });
    settings() = Settings{};
    settings().sanitize();   // what the menu screen runs on load
    startMatch(createGameMode(static_cast<int>(GameType::FreeForAll)), MatchConnections::none());
    ASSERT_NE(modeOf(currentMatch()), nullptr);
    EXPECT_FLOAT_EQ(gameScreen().loadStep(), 0.1f);
    EXPECT_EQ(shown, 1);
}

TEST_F(ControlTypeChoice, TheFirstGameWaitsForTheChoiceButATutorialDoesNot)
{
    int shown = 0;
    setControlTypeChoice([&] { ++shown; });
    settings().controlType = 2;
    startMatch(createGameMode(static_cast<int>(GameType::FreeForAll)), MatchConnections::none());
    ASSERT_NE(modeOf(currentMatch()), nullptr);
    EXPECT_FLOAT_EQ(gameScreen().loadStep(), 0.1f);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(settings().controlType, 1);
    EXPECT_EQ(gameScreen().loadCounter(), 0) << "the load stays on its first step";

    settings().controlType = 2;
    std::unique_ptr<GameMode> tutorial = createGameMode(static_cast<int>(GameType::Tutorial));
    if (!tutorial)
        GTEST_SKIP() << "no tutorial game mode to start";
    startMatch(std::move(tutorial), MatchConnections::none());
    (void)gameScreen().loadStep();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(settings().controlType, 2);
}
