#include "MenusTestSupport.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/FrontendLinks.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/ingame/CustomChatMenuFrame.h"
#include "menus/ingame/MPChatMenuFrame.h"
#include "menus/ingame/MPServerDisconnectMenuFrame.h"
#include "menus/multiplayer/MPCreateWiFiMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrameSteam.h"
#include "menus/multiplayer/MultiPlayerMenuFrameWIFI.h"
#include "menus/multiplayer/MultiPlayerServersMenuFrame.h"
#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/GameType.h"
#include "net/match/NetMessage.h"
#include "net/match/NetworkGameHandler.h"
#include "net/room/RoomClient.h"
#include "platform/Language.h"
#include "platform/Steam.h"
#include "screens/GameScreen.h"
#include "screens/PauseScreen.h"
#include "screens/Screens.h"
#include "screens/hud/GameHud.h"
#include "support/modes/ModeHarness.h"
#include "ui/widgets/MenuAlert.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteEditBox.h"
#include "ui/widgets/SpriteLabel.h"

#include <arpa/inet.h>

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace {
struct ElsewherePage : MenuFrame {};

struct MultiplayerPages : PageTest {
    void SetUp() override
    {
        PageTest::SetUp();
        MenuFrameRegistry::deleteAll();
        links = frontendLinks();
        frontendLinks().onlineRooms = [this] { return &online; };
        RoomClient::fixedServer = -1;
    }
    void TearDown() override
    {
        if (MenuAlert* alert = MenuAlert::existing())
            alert->closed = true;
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        frontendLinks() = links;
        RoomClient::fixedServer = -1;
        PageTest::TearDown();
    }
    static bool alertShows(int stringId)
    {
        const MenuAlert* alert = MenuAlert::existing();
        return alert && !alert->closed && alert->textLabel && alert->textLabel->shownText() == getStringByIndex(stringId);
    }
    // The create page with a recording host start and game start.
    MPCreateWiFiMenuFrame& createPage(bool socketFree = true)
    {
        MPCreateWiFiMenuFrame& page = *MenuFrameRegistry::mpCreateWiFiMenu();
        page.mapCount = [] { return 4; };
        page.startServer = [this, socketFree](int clients) {
            serverStarts.push_back(clients);
            return socketFree;
        };
        page.launch = [this](int type, int map) { launches.push_back({type, map}); };
        goToFrame(MenuFrameRegistry::mainMenu());
        goToFrame(&page);
        return page;
    }

    FrontendLinks links;
    ElsewherePage online;
    std::vector<int> serverStarts;
    struct Launch {
        int type, map;
    };
    std::vector<Launch> launches;
};

// A host's description as a LAN answer carries it.
std::vector<std::uint8_t> description(int type, int map, std::u16string name = u"Harbour", int players = 3)
{
    ServerInfo info;
    info.clear();
    info.setName(name);
    info.bytes[ServerInfo::GameType] = static_cast<std::uint8_t>(type);
    info.bytes[ServerInfo::MapIndex] = static_cast<std::uint8_t>(map);
    info.bytes[ServerInfo::MaxPlayers] = 8;
    info.bytes[ServerInfo::PlayerCount] = static_cast<std::uint8_t>(players);
    return {info.bytes.begin(), info.bytes.end()};
}

MultiPlayerMenuFrameWIFI& lanPage()
{
    MultiPlayerMenuFrameWIFI& page = *MenuFrameRegistry::wifiMenu();
    page.mapCount = [] { return 4; };
    page.measure = [](std::u16string_view text) { return 10.0f * static_cast<float>(text.size()); };
    return page;
}

void runFrames(MenuFrame& page, float seconds)
{
    setFrameDelta(0.25f);
    for (float t = 0.0f; t < seconds; t += 0.25f)
        page.update();
    setFrameDelta(1.0f / 60.0f);
}
}  // namespace

// ---- hosting: the description, the match table and the start ----

TEST_F(MultiplayerPages, HostingFillsTheDescriptionByteForByte)
{
    Settings& s = settings();
    s.skirmishType = 2;
    s.skirmishMap = 3;
    s.skirmishOption = 12;
    s.setSkirmishWord(Settings::kEntryHost, 3, 5);
    s.skirmishConfig[Settings::kWeaponRuleWord] = 9;
    MPCreateWiFiMenuFrame& page = createPage();
    const std::u16string longName = u"The Very Long Name Of A Friendly Game";
    page.nameBox->setText(longName);
    page.hostGame();

    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].type, 2);
    EXPECT_EQ(launches[0].map, 3);
    EXPECT_EQ(serverStarts, std::vector<int>{7});
    std::array<std::uint8_t, ServerInfo::kSize> expected{};
    for (std::size_t i = 0; i < 31; ++i)
        expected[2 * i] = static_cast<std::uint8_t>(longName[i]);
    expected[64] = 2, expected[65] = 3, expected[66] = 8, expected[67] = 0, expected[69] = 1;
    expected[70] = 12, expected[71] = 5, expected[85] = 0;
    expected[94] = 456 & 0xFF, expected[95] = 456 >> 8;
    expected[102] = 789456 & 0xFF, expected[103] = (789456 >> 8) & 0xFF, expected[104] = 789456 >> 16;
    EXPECT_EQ(netGlobals().serverInfo.bytes, expected);
    EXPECT_EQ(mapChoice().selectedMap, 3);
    EXPECT_EQ(s.defaultRoomName, longName);
    EXPECT_EQ(s.skirmishWord(Settings::kEntryHost, 0), 12u);
    EXPECT_EQ(s.skirmishWord(Settings::kEntryHost, 2), 8u);
    EXPECT_EQ(s.skirmishConfig[Settings::kWeaponRuleWord], 0u);
    // The free-for-all's own entry takes the host's option pair.
    EXPECT_EQ(s.skirmishWord(Settings::kEntryFFA, 0), 12u);
}

TEST_F(MultiplayerPages, TeamFlagsPlayerLimitsAndTheDuelAsATeamMatch)
{
    MPCreateWiFiMenuFrame& page = createPage();
    Settings& s = settings();
    s.skirmishMap = 0;
    const int teamed[] = {3, 4, 5}, loose[] = {2, 10, 13};
    for (int type : teamed) {
        s.skirmishType = type;
        page.hostGame();
        EXPECT_EQ(netGlobals().serverInfo.bytes[ServerInfo::TeamFlag], 1) << type;
        EXPECT_EQ(netGlobals().serverInfo.bytes[ServerInfo::MaxPlayers], 8) << type;
    }
    for (int type : loose) {
        s.skirmishType = type;
        page.hostGame();
        EXPECT_EQ(netGlobals().serverInfo.bytes[ServerInfo::TeamFlag], 0) << type;
    }
    s.skirmishType = 12;
    serverStarts.clear();
    page.hostGame();
    const ServerInfo& info = netGlobals().serverInfo;
    EXPECT_EQ(info.bytes[ServerInfo::GameType], 3);
    EXPECT_EQ(info.bytes[ServerInfo::MaxPlayers], 2);
    EXPECT_EQ(info.bytes[ServerInfo::ScoreLimit], 3);
    EXPECT_EQ(info.bytes[ServerInfo::TeamFlag], 1);
    EXPECT_EQ(s.skirmishType, 3);
    EXPECT_EQ(serverStarts, std::vector<int>{1});
    EXPECT_EQ(launches.back().type, 3);

    // An empty name leaves the name bytes empty.
    page.nameBox->setText(u"");
    page.hostGame();
    EXPECT_EQ(netGlobals().serverInfo.bytes[0], 0);
    EXPECT_EQ(netGlobals().serverInfo.bytes[1], 0);
}

TEST_F(MultiplayerPages, SurvivalIsHostedAtOnceOnTheRotationForFourPlayers)
{
    MPCreateWiFiMenuFrame& page = createPage();
    MPCreateWiFiMenuFrame::lanRotation() = 3;
    settings().skirmishMap = 2;
    page.onSurvival();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].type, 6);
    EXPECT_EQ(launches[0].map, 0);  // (3 + 1) mod 4
    EXPECT_EQ(settings().skirmishMap, -1);
    EXPECT_EQ(netGlobals().serverInfo.bytes[ServerInfo::MaxPlayers], 4);
    EXPECT_EQ(netGlobals().serverInfo.bytes[ServerInfo::TeamFlag], 0);
    EXPECT_EQ(serverStarts, std::vector<int>{3});
    // The next rotated host takes the next map of this page's own rotation.
    settings().skirmishType = 2;
    page.hostGame();
    EXPECT_EQ(launches[1].map, 1);
}

TEST_F(MultiplayerPages, AHostWithoutItsSocketStartsNoGameAndSaysSo)
{
    MPCreateWiFiMenuFrame& page = createPage(false);
    settings().skirmishType = 2;
    page.hostGame();
    EXPECT_TRUE(launches.empty());
    EXPECT_TRUE(alertShows(MPCreateWiFiMenuFrame::kHostFailedString));
}

TEST_F(MultiplayerPages, TheRoomNameIsKeptOnLeavingCutTo63)
{
    MPCreateWiFiMenuFrame& page = createPage();
    page.nameBox->setText(std::u16string(80, u'x'));
    goBack();
    EXPECT_EQ(settings().defaultRoomName.size(), 63u);
    (void)page;
}

// ---- the LAN list ----

TEST_F(MultiplayerPages, LanRowsOnlyForKnownGamesOncePerPlace)
{
    MultiPlayerMenuFrameWIFI& page = lanPage();
    EXPECT_TRUE(page.addRow(description(3, 1), 0));
    EXPECT_FALSE(page.addRow(description(3, 1), 0));  // the same host answering again
    EXPECT_EQ(page.rowCount(), 1);
    EXPECT_FALSE(page.addRow(description(2, 4), 1));   // no such map here
    EXPECT_FALSE(page.addRow(description(12, 0), 2));  // no LAN game of that type
    EXPECT_FALSE(page.addRow(description(7, 0), 3));
    std::vector<std::uint8_t> shortOne = description(2, 0);
    shortOne.resize(60);
    EXPECT_FALSE(page.addRow(shortOne, 4));
    EXPECT_EQ(page.rowCount(), 1);

    // A name without its end stops at 31 units.
    std::vector<std::uint8_t> noEnd = description(13, 2);
    for (std::size_t i = 0; i < 64; i += 2)
        noEnd[i] = 'A', noEnd[i + 1] = 0;
    ASSERT_TRUE(page.addRow(noEnd, 5));
    EXPECT_EQ(page.row(1)->game.name, std::u16string(31, u'A'));
    EXPECT_EQ(page.row(1)->game.players, 3);
    EXPECT_EQ(MultiPlayerMenuFrameWIFI::MPServerMenuEntry::iconFrame(13), 55);
    EXPECT_EQ(MultiPlayerMenuFrameWIFI::MPServerMenuEntry::iconFrame(9), 36);
}

TEST_F(MultiplayerPages, SearchingStopsAfterTenSecondsAndARefreshMeanwhileDoesNothing)
{
    MultiPlayerMenuFrameWIFI& page = lanPage();
    goToFrame(MenuFrameRegistry::mainMenu());
    goToFrame(&page);
    EXPECT_EQ(page.listState, MultiPlayerMenuFrameWIFI::Searching);
    runFrames(page, 4.0f);
    page.refresh();
    EXPECT_NEAR(page.stateTimer, 6.0f, 0.01f);  // not started again
    EXPECT_TRUE(page.searchingFlag->visible);
    const std::u16string searching = page.statusLabel->shownText().data();
    EXPECT_EQ(searching.substr(0, searching.find(u'\n')), getStringByIndex(884));
    runFrames(page, 6.25f);
    EXPECT_EQ(page.listState, MultiPlayerMenuFrameWIFI::Listing);
    EXPECT_FALSE(page.searchingFlag->visible);
    EXPECT_EQ(page.statusLabel->shownText(), getStringByIndex(887));
    // The first answer ends a new search at once.
    page.refresh();
    EXPECT_TRUE(page.addRow(description(2, 0), 0));
    EXPECT_EQ(page.listState, MultiPlayerMenuFrameWIFI::Listing);
    EXPECT_FALSE(page.statusLabel->visible);
}

TEST_F(MultiplayerPages, AClickedRowJoinsAndGivesUpAfterThirtySeconds)
{
    MultiPlayerMenuFrameWIFI& page = lanPage();
    std::vector<int> started;
    page.launch = [&](int type, int) { started.push_back(type); };
    goToFrame(MenuFrameRegistry::mainMenu());
    goToFrame(&page);
    ASSERT_EQ(page.listState, MultiPlayerMenuFrameWIFI::Searching);
    ASSERT_TRUE(page.addRow(description(2, 0), 0));
    page.searchingFlag->visible = true;  // a search still showing
    page.row(0)->activate();
    EXPECT_FALSE(page.searchingFlag->visible);
    EXPECT_EQ(page.listState, MultiPlayerMenuFrameWIFI::Joining);
    EXPECT_TRUE(page.busyOverlay->visible);
    runFrames(page, 29.5f);
    EXPECT_EQ(page.listState, MultiPlayerMenuFrameWIFI::Joining);
    runFrames(page, 0.75f);
    EXPECT_EQ(page.listState, MultiPlayerMenuFrameWIFI::Listing);
    EXPECT_FALSE(page.busyOverlay->visible);
    EXPECT_TRUE(alertShows(MultiPlayerMenuFrameWIFI::kJoinFailedString));
    EXPECT_TRUE(started.empty());
}

TEST_F(MultiplayerPages, LongMapNamesEndInDotsWithinTheirRoom)
{
    const auto measure = [](std::u16string_view text) { return 10.0f * static_cast<float>(text.size()); };
    const std::u16string cut = MultiPlayerMenuFrameWIFI::fitWithEllipsis(u"Archipelago of the Northern Sea", 120.0f, measure);
    EXPECT_EQ(cut, u"Archipela...");
    EXPECT_LE(measure(cut), 120.0f);
    EXPECT_EQ(MultiPlayerMenuFrameWIFI::fitWithEllipsis(u"Harbour", 120.0f, measure), u"Harbour");
    EXPECT_EQ(MultiPlayerMenuFrameWIFI::fitWithEllipsis(u"Harbour", 20.0f, measure), u"...");
}

// ---- the entry pages ----

TEST_F(MultiplayerPages, TheChosenServerHoldsUntilTheOnlineButtonAndBothBacksLeadHome)
{
    goToFrame(MenuFrameRegistry::mainMenu());
    MultiPlayerMenuFrame& entry = *MenuFrameRegistry::multiPlayerMenu();
    entry.dataFilesModified = [] { return false; };
    goToFrame(&entry);
    entry.onServers();
    MultiPlayerServersMenuFrame& servers = *MenuFrameRegistry::multiPlayerServersMenu();
    ASSERT_EQ(currentFrame(), &servers);
    servers.serverButtons[3]->activate();
    EXPECT_EQ(RoomClient::fixedServer.load(), 6);
    EXPECT_EQ(currentFrame(), &online);
    servers.serverButtons[1]->activate();
    EXPECT_EQ(RoomClient::fixedServer.load(), 1);

    goToFrame(&servers);
    servers.onBack();
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::mainMenu());
    goToFrame(&entry);
    entry.onOnline();
    EXPECT_EQ(RoomClient::fixedServer.load(), -1);
    EXPECT_EQ(currentFrame(), &online);
    goToFrame(&entry);
    EXPECT_TRUE(entry.onEscape());
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::mainMenu());
}

TEST_F(MultiplayerPages, ChangedDataFilesKeepThePlayerOffline)
{
    MultiPlayerMenuFrame& entry = *MenuFrameRegistry::multiPlayerMenu();
    entry.dataFilesModified = [] { return true; };
    goToFrame(&entry);
    RoomClient::fixedServer = 2;
    entry.onOnline();
    EXPECT_EQ(currentFrame(), &entry);
    EXPECT_TRUE(alertShows(MultiPlayerMenuFrame::kModifiedDataString));
    EXPECT_EQ(RoomClient::fixedServer.load(), 2);
    entry.onLan();
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::wifiMenu());
}

TEST_F(MultiplayerPages, ARequestedJoinWaitsWhileTheLobbyPageIsBusyAndAFailureEndsHome)
{
    NetworkGameHandler handler;
    MultiPlayerMenuFrameSteam& lobby = *MenuFrameRegistry::steamMenu();
    lobby.showMenuScreen = [] {};
    std::vector<int> started;
    lobby.launch = [&](int type, int) { started.push_back(type); };
    Steam::ServerAddress unused{};
    ASSERT_TRUE(parseServerAddress("127.0.0.1:9", unused));
    ASSERT_TRUE(steam().queueJoinRequest("127.0.0.1:9"));
    steam().runCallbacks();
    lobby.state = MultiPlayerMenuFrameSteam::Waiting;
    EXPECT_FALSE(lobby.takeRequest());
    EXPECT_NE(steam().requestedServer().port, 0u);

    lobby.state = MultiPlayerMenuFrameSteam::Idle;
    ASSERT_TRUE(lobby.takeRequest());
    EXPECT_EQ(currentFrame(), &lobby);
    EXPECT_EQ(frameHistoryCount(), 1);
    lobby.update();  // connects
    EXPECT_EQ(steam().requestedServer().port, 0u);
    EXPECT_EQ(lobby.state, MultiPlayerMenuFrameSteam::Waiting);
    EXPECT_EQ(handler.roomJoinState, 4);
    handler.roomJoinState = 0;  // the handler gave up
    lobby.update();
    EXPECT_EQ(lobby.state, MultiPlayerMenuFrameSteam::Idle);
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::mainMenu());
    EXPECT_TRUE(alertShows(MultiPlayerMenuFrameSteam::kJoinFailedString));
    EXPECT_TRUE(started.empty());
    handler.disconnect();
}

// ---- completed joins start the host's game ----

namespace {
// The network game's transport as a script: connected on demand, the host's
// messages queued by the test.
struct ScriptedTransport : MatchTransport {
    std::deque<std::vector<std::uint8_t>> inbox;
    bool isConnected = false;
    bool startServer(int) override { return true; }
    bool startClient() override { return true; }
    void connectTo(std::uint32_t, std::uint16_t) override {}
    void broadcastDiscovery() override {}
    void setAccepting(bool) override {}
    bool connected() const override { return isConnected; }
    bool peerConnected(int) const override { return isConnected; }
    int queueReliable(const std::uint8_t*, std::size_t, int) override { return 0; }
    int sendUnreliable(const std::uint8_t*, std::size_t, int) override { return 0; }
    int take(int& peer, std::uint8_t* out, std::size_t capacity) override
    {
        if (inbox.empty() || inbox.front().size() > capacity)
            return 0;
        peer = 0;
        std::copy(inbox.front().begin(), inbox.front().end(), out);
        const int n = static_cast<int>(inbox.front().size());
        inbox.pop_front();
        return n;
    }
    std::vector<LanTransport::FoundServer> foundServers() const override { return {}; }
    void stop() override {}

    // The host's welcome and its join answer for a game of that type on that map.
    void answerJoin(int type, int map)
    {
        isConnected = true;
        std::vector<std::uint8_t> out(netmsg::kMaxMessage);
        out.resize(static_cast<std::size_t>(netmsg::WelcomeMsg{}.encode(out)));
        inbox.push_back(out);
        netmsg::JoinCompleteMsg join;
        join.gameType = type;
        join.mapIndex = map;
        join.playerId = 1;
        out.assign(netmsg::kMaxMessage, 0);
        out.resize(static_cast<std::size_t>(join.encode(out)));
        inbox.push_back(out);
    }
};

struct CompletedJoins : MultiplayerPages {
    void SetUp() override
    {
        MultiplayerPages::SetUp();
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
        netGlobals().makeTransport = [this](const std::uint8_t*, std::size_t, MatchTransport::Callbacks) {
            auto made = std::make_unique<ScriptedTransport>();
            transport = made.get();
            return std::unique_ptr<MatchTransport>(std::move(made));
        };
        handler = std::make_unique<NetworkGameHandler>();
    }
    void TearDown() override
    {
        handler.reset();
        netGlobals().makeTransport = nullptr;
        MultiplayerPages::TearDown();
    }
    ModeHarness harness;
    std::unique_ptr<NetworkGameHandler> handler;
    ScriptedTransport* transport = nullptr;
    std::vector<Launch> started;
};
}  // namespace

TEST_F(CompletedJoins, ARequestedJoinPlaysTheHostsGameNotTheLastOnePlayedHere)
{
    settings().skirmishType = 2;
    MultiPlayerMenuFrameSteam& lobby = *MenuFrameRegistry::steamMenu();
    lobby.state = MultiPlayerMenuFrameSteam::Idle;
    lobby.showMenuScreen = [] {};
    lobby.launch = [this](int type, int map) { started.push_back({type, map}); };
    ASSERT_TRUE(steam().queueJoinRequest("127.0.0.1:47000"));
    steam().runCallbacks();
    ASSERT_TRUE(lobby.takeRequest());
    lobby.update();
    ASSERT_NE(transport, nullptr);
    transport->answerJoin(4, 1);
    lobby.update();  // the handler reads the join
    lobby.update();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].type, 4);
    EXPECT_EQ(started[0].map, 1);
    EXPECT_EQ(lobby.state, MultiPlayerMenuFrameSteam::Idle);
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::mainMenu());
    EXPECT_EQ(frameHistoryCount(), 0);
}

TEST_F(CompletedJoins, AJoinedLanRowStartsTheAnnouncedGame)
{
    MultiPlayerMenuFrameWIFI& page = lanPage();
    page.launch = [this](int type, int map) { started.push_back({type, map}); };
    goToFrame(MenuFrameRegistry::mainMenu());
    goToFrame(&page);
    ASSERT_NE(transport, nullptr);
    NetworkGameClient::DiscoveredGame found;
    const std::vector<std::uint8_t> bytes = description(13, 2);
    std::copy(bytes.begin(), bytes.end(), found.info.begin());
    handler->client.discoveredGames.push_back(found);
    page.update();
    ASSERT_EQ(page.rowCount(), 1);
    page.row(0)->activate();
    EXPECT_EQ(handler->lanJoinState, 3);
    transport->answerJoin(13, 2);
    page.update();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].type, 13);
    EXPECT_EQ(started[0].map, 2);
}

// ---- chat ----

TEST_F(MultiplayerPages, ChatLinesAreStoredCutTo19AndSaved)
{
    CustomChatMenuFrame& page = *MenuFrameRegistry::customChatMenu();
    goToFrame(MenuFrameRegistry::mainMenu());
    goToFrame(&page);
    page.editors[0]->setText(u"Twenty-five characters!!!");
    page.editors[5]->setText(u"");
    goBack();
    EXPECT_EQ(settings().chatPresets[0], u"Twenty-five charact");
    EXPECT_EQ(settings().chatPresets[0].size(), 19u);
    const Settings read = onDisk();
    EXPECT_EQ(read.chatPresets[0], settings().chatPresets[0]);
    EXPECT_EQ(read.chatPresets[5], u"");
}

struct ChatOverAMatch : MultiplayerPages {
    void SetUp() override
    {
        MultiplayerPages::SetUp();
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
        // The game's own pause, as the running game gives the mode.
        harness.overlays = &sceneModeOverlays();
        mode = harness.start(static_cast<int>(GameType::FreeForAll), harness.firstSkirmishMap());
        ASSERT_NE(mode, nullptr);
        mode->setNetwork(true, true, false);
        page = MenuFrameRegistry::mpChatMenu();
        page->closeOverlay = [this] { ++closes; };
    }
    void TearDown() override
    {
        harness.finish();
        MultiplayerPages::TearDown();
    }
    std::vector<std::u16string> longLines() const
    {
        std::vector<std::u16string> lines;
        for (const RecordingHud::Pushed& p : harness.hud.pushed)
            if (p.isLong)
                lines.push_back(p.text);
        return lines;
    }
    ModeHarness harness;
    GameMode* mode = nullptr;
    MPChatMenuFrame* page = nullptr;
    int closes = 0;
};

TEST_F(ChatOverAMatch, RowsSendTheirLineToTheLogAndThePlayersThenClose)
{
    settings().chatPresets[2] = u"";
    goToFrame(page);
    ASSERT_EQ(page->rowCount(), 14);
    EXPECT_TRUE(page->row(6)->isSpacer());
    EXPECT_TRUE(page->row(13)->isSpacer());
    EXPECT_FALSE(page->row(6)->focusable);
    // An empty preset still makes a full row and sends its empty line.
    MPChatMenuFrame::NetMsgEntry& empty = *page->row(9);
    EXPECT_FALSE(empty.isSpacer());
    EXPECT_EQ(empty.height, page->row(0)->height);
    empty.activate();
    EXPECT_EQ(closes, 1);
    ASSERT_EQ(harness.posted().names.back(), "chat");
    ASSERT_FALSE(longLines().empty());

    page->row(0)->activate();
    EXPECT_EQ(page->row(0)->text, getStringByIndex(156));
    EXPECT_EQ(closes, 2);
    const std::u16string last = longLines().back();
    EXPECT_EQ(last.substr(last.size() - page->row(0)->text.size()), page->row(0)->text);
    // A spacer sends nothing.
    const std::size_t calls = harness.posted().names.size();
    page->row(6)->activate();
    EXPECT_EQ(harness.posted().names.size(), calls);
}

TEST_F(ChatOverAMatch, WithoutAListenerOrAnAirplaneTheChatStillCloses)
{
    mode->leaveNetworkGame();
    goToFrame(page);
    page->sendLine(u"Hello");
    EXPECT_EQ(closes, 1);
    ASSERT_FALSE(longLines().empty());
    EXPECT_NE(longLines().back().find(u"Hello"), std::u16string::npos);

    // The player's airplane gone: nothing to write, and no crash.
    harness.finish();
    page->sendLine(u"Anyone?");
    EXPECT_EQ(closes, 2);
}

TEST_F(ChatOverAMatch, TheChatActionOpensTheChatOnlyOverANetworkMatch)
{
    setChatOpener(openChatOverGame);
    pauseScreen().frame = nullptr;
    gameHud().openChat(true);
    EXPECT_EQ(pauseScreen().frame, page);
    EXPECT_TRUE(page->typeAtOnce);
    EXPECT_EQ(overlayQueueSize(), 1u);
    resetScreens();

    // Alone, the same action pauses the game the way the back key does: the
    // mode's pause, which holds the game.
    mode->setNetwork(false, false, false);
    pauseScreen().frame = nullptr;
    page->typeAtOnce = false;
    gameHud().openChat(true);
    EXPECT_NE(pauseScreen().frame, page);
    EXPECT_FALSE(page->typeAtOnce);
    EXPECT_EQ(overlayQueueSize(), 1u);
    EXPECT_TRUE(gamePaused());
    setGamePaused(false);
    resetScreens();
    setChatOpener({});
}

TEST_F(MultiplayerPages, StockLinesMissingFromTheTableReadDummy)
{
    MPChatMenuFrame& page = *MenuFrameRegistry::mpChatMenu();
    page.closeOverlay = [] {};
    goToFrame(&page);
    if (stringCount() == 0) {
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(page.row(i)->text, u"DUMMY");
    }
    EXPECT_TRUE(page.onEscape());
}

// ---- the lost-host notice ----

TEST_F(MultiplayerPages, TheNoticeLeadsFromFreeFlightBackToTheMenusItCameFrom)
{
    std::string error;
    ModeHarness harness;
    ASSERT_TRUE(harness.mountData(error)) << error;
    MPServerDisconnectMenuFrame& notice = *MenuFrameRegistry::mpServerDisconnectMenu();
    notice.showMenuScreen = [] {};
    ElsewherePage result;
    notice.gameResult = [&] { return &result; };

    // Free flight alone: main menu, then the play menu.
    GameMode* mode = harness.start(static_cast<int>(GameType::FreeFlight), harness.firstSkirmishMap());
    ASSERT_NE(mode, nullptr);
    goToFrame(&notice);
    notice.onOk();
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::playMenu());
    EXPECT_EQ(frameHistoryCount(), 1);
    EXPECT_EQ(mode->listener(), nullptr);

    // A LAN client in free flight: the handler reset, back to the LAN list.
    NetworkGameHandler handler;
    handler.lanJoinState = 3;
    handler.client.state = NetworkGameClient::Playing;
    harness.finish();
    harness.network = &handler.client;
    mode = harness.start(static_cast<int>(GameType::FreeFlight), harness.firstSkirmishMap());
    harness.network = nullptr;
    ASSERT_NE(mode, nullptr);
    mode->setNetwork(true, false, false);
    goToFrame(&notice);
    notice.onOk();
    EXPECT_EQ(handler.lanJoinState, -1);
    EXPECT_EQ(handler.client.state, NetworkGameClient::Browsing);
    EXPECT_EQ(mode->listener(), nullptr);
    EXPECT_EQ(currentFrame(), MenuFrameRegistry::wifiMenu());
    EXPECT_EQ(frameHistoryCount(), 2);

    // The host's side keeps its network state but drops the listener; a
    // match leads to the game's result.
    harness.finish();
    mode = harness.start(static_cast<int>(GameType::FreeForAll), harness.firstSkirmishMap());
    ASSERT_NE(mode, nullptr);
    mode->setNetwork(true, true, false);
    clearFrameHistory();  // leaving the LAN list would end the network game itself
    goToFrame(&notice);
    handler.lanJoinState = 3;
    notice.onOk();
    EXPECT_EQ(handler.lanJoinState, 3);
    EXPECT_EQ(mode->listener(), nullptr);
    EXPECT_EQ(currentFrame(), &result);
    EXPECT_EQ(frameHistoryCount(), 0);
    handler.disconnect();
}
