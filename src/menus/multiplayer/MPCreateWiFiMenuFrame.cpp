#include "menus/multiplayer/MPCreateWiFiMenuFrame.h"

#include "gamedata/records/MapLists.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/MenuPages.h"
#include "menus/frontend/GameSetupMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrameWIFI.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "modes/GameType.h"
#include "net/match/NetworkGameHandler.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CFont.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuAlert.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteEditBox.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <mutex>

MPCreateWiFiMenuFrame* MenuFrameRegistry::mpCreateWiFiMenu()
{
    return slot<MPCreateWiFiMenuFrame>(Page::MPCreateWiFi);
}

namespace {
constexpr int kDuelType = 12;
constexpr std::uint32_t kMarker1 = 456, kMarker2 = 789456;

int scaled(float v) { return static_cast<int>(v * screenMetrics().uiScale); }

// Free-for-all kinds carry no teams.
bool withoutTeams(int type)
{
    return type == 2 || type == 6 || type == 10 || type == 13;
}
}  // namespace

int& MPCreateWiFiMenuFrame::lanRotation()
{
    static int rotation = 0;
    return rotation;
}

MPCreateWiFiMenuFrame::MPCreateWiFiMenuFrame()
{
    mapCount = [] { return MapLists::instance().countNonCampaign(); };
    startServer = [](int maxClients) {
        NetworkGameHandler* handler = NetworkGameHandler::instance();
        return handler && handler->server.start(maxClients);
    };
    launch = [](int type, int map) {
        NetworkGameHandler* handler = NetworkGameHandler::instance();
        const GameStartResult result =
            createNetworkGame(type, map, true, false, handler ? &handler->server : nullptr, gameScreen());
        logInfo("menus", "LAN host start: type %d map %d result %d", type, map, static_cast<int>(result));
    };

    useOwnLayout(*this, kTitleString, kBackString);

    nameBox = new SpriteEditBox(settings().defaultRoomName, nullptr);
    nameBox->anchorMode = kAnchorAbsolute;
    nameBox->focusable = true;
    nameBox->ownerFrame = this;
    addItem(nameBox);

    leftPanel = PlayMenuFrame::makeSidePanel();
    rightPanel = PlayMenuFrame::makeSidePanel();
    lowerPanel = PlayMenuFrame::makeSidePanel();
    survivalButton = PlayMenuFrame::makeButton(37, 881, kButtonScale, [this] { onSurvival(); });
    ffaButton = PlayMenuFrame::makeButton(36, 26, kButtonScale, [this] { onMode2(); });
    freeFlightButton = PlayMenuFrame::makeButton(44, 888, kButtonScale, [] { openFreeFlightSetup(); });
    tdButton = PlayMenuFrame::makeButton(33, 48, kButtonScale, [this] { onMode3(); });
    ctfButton = PlayMenuFrame::makeButton(29, 17, kButtonScale, [this] { onMode4(); });
    dtbButton = PlayMenuFrame::makeButton(35, 21, kButtonScale, [this] { onMode5(); });
    lmsButton = PlayMenuFrame::makeButton(55, 25, kButtonScale, [this] { onMode13(); });
    for (SpriteButton* b : {survivalButton, ffaButton, freeFlightButton})
        leftPanel->placeItem(b);
    for (SpriteButton* b : {tdButton, ctfButton, dtbButton})
        rightPanel->placeItem(b);
    lowerPanel->placeItem(lmsButton);
    addItem(leftPanel);
    addItem(rightPanel);
    addItem(lowerPanel);
    placeItems();
    focusedItem = ffaButton;
}

void MPCreateWiFiMenuFrame::placeItems()
{
    const ScreenMetrics& m = screenMetrics();
    const int margin = scaled(14.0f);
    titleLabel->layout(0, 0);
    const int titleBottom = titleLabel->absY + titleLabel->height;
    nameBox->updateLayout();
    nameBox->x = (m.screenWidth - nameBox->width) / 2;
    // Low enough that the title's connectors bend above it.
    nameBox->y = titleBottom + 4 * margin;

    int buttonW = 0;
    for (SpriteButton* b : {survivalButton, ffaButton, freeFlightButton, tdButton, ctfButton, dtbButton, lmsButton})
        buttonW = std::max({buttonW, b->width, static_cast<int>(measureText(b->font, b->labelText()).width)});
    const int buttonH = ffaButton->height;
    const int sideWidth = buttonW + 2 * margin;
    const int sideHeight = 3 * buttonH + 4 * margin;
    for (MenuPanel* panel : {leftPanel, rightPanel}) {
        panel->width = sideWidth;
        panel->height = sideHeight;
        panel->paddingY = margin;
        panel->spacing = margin;
    }
    const int top = nameBox->y + nameBox->height + 2 * margin;
    const int gap = std::max(margin, (m.screenWidth - 3 * sideWidth) / 4);
    leftPanel->x = gap;
    rightPanel->x = m.screenWidth - gap - sideWidth;
    leftPanel->y = rightPanel->y = std::max(top, (m.screenHeight - sideHeight) / 2 + margin);
    lowerPanel->width = sideWidth;
    lowerPanel->height = buttonH + 2 * margin;
    lowerPanel->paddingY = margin;
    lowerPanel->x = (m.screenWidth - sideWidth) / 2;
    lowerPanel->y = leftPanel->y + sideHeight - lowerPanel->height;
    giveInputPriority(backButton());
    bringToFront(backButton());
    layout(0, 0);
}

void MPCreateWiFiMenuFrame::rebuildConnectorLines()
{
    FilledMenuFrame::rebuildConnectorLines();
    addTitleElbows(*this, *leftPanel, *rightPanel, nameBox);
}

void MPCreateWiFiMenuFrame::onShow()
{
    titleLabel->updateSize();
    SceneMenuFrame::onShow();
    GameSetupMenuFrame* setup = MenuFrameRegistry::gameSetupMenu();
    setup->backButton()->labelStringId = kSetupBackString;
    setup->backButton()->updateLabel();
    // Through the virtual slot, so that the online page hosts its own way.
    setup->startHandler = [this] { hostGame(); };
    setup->showModeChoice(false);
    nameBox->setText(settings().defaultRoomName);
    placeItems();
    rebuildConnectorLines();
    rebuildFocusLinks();
}

void MPCreateWiFiMenuFrame::onHide()
{
    settings().defaultRoomName = nameBox->text().substr(0, kMaxRoomNameUnits);
    settings().save();
}

void MPCreateWiFiMenuFrame::goToSetup()
{
    goToFrame(MenuFrameRegistry::gameSetupMenu());
}

void MPCreateWiFiMenuFrame::onMode2() { settings().skirmishType = 2; goToSetup(); }
void MPCreateWiFiMenuFrame::onMode3() { settings().skirmishType = 3; goToSetup(); }
void MPCreateWiFiMenuFrame::onMode4() { settings().skirmishType = 4; goToSetup(); }
void MPCreateWiFiMenuFrame::onMode5() { settings().skirmishType = 5; goToSetup(); }

void MPCreateWiFiMenuFrame::onMode13()
{
    settings().skirmishType = 13;
    MenuFrameRegistry::gameSetupMenu()->showOptionRows(false);
    goToSetup();
}

void MPCreateWiFiMenuFrame::onSurvival()
{
    MenuFrameRegistry::gameSetupMenu()->startSurvival();
}

int MPCreateWiFiMenuFrame::describeGame(ServerInfo& info)
{
    Settings& s = settings();
    info.bytes.fill(0);
    int map = s.skirmishMap;
    if (map < 0) {
        const int count = std::max(1, mapCount ? mapCount() : 1);
        lanRotation() = (lanRotation() + 1) % count;
        map = lanRotation();
    }
    mapChoice().selectedMap = map;

    int type = s.skirmishType;
    const auto host = Settings::kEntryHost;
    s.setSkirmishWord(host, 0, static_cast<std::uint32_t>(s.skirmishOption));
    s.setSkirmishWord(host, 1, 0);
    const std::uint32_t teams = withoutTeams(type) ? 0u : 1u;
    s.setSkirmishWord(host, 5, teams);
    s.skirmishConfig[Settings::kWeaponRuleWord] = 0;
    int maxPlayers = type == static_cast<int>(GameType::Survival) ? 4 : 8;
    if (type == kDuelType) {
        // A duel is hosted as a team match of two.
        type = static_cast<int>(GameType::TeamDeathmatch);
        s.skirmishType = type;
        maxPlayers = 2;
        s.setSkirmishWord(host, 1, 3);
    }
    s.setSkirmishWord(host, 2, static_cast<std::uint32_t>(maxPlayers));

    const std::u16string& name = nameBox->text();
    info.setName(name);
    info.bytes[ServerInfo::GameType] = static_cast<std::uint8_t>(type);
    info.bytes[ServerInfo::MapIndex] = static_cast<std::uint8_t>(map & 0xFF);
    info.bytes[ServerInfo::MaxPlayers] = static_cast<std::uint8_t>(maxPlayers);
    info.bytes[ServerInfo::ScoreLimit] = static_cast<std::uint8_t>(s.skirmishWord(host, 1));
    info.bytes[ServerInfo::PlayerCount] = 1;
    info.bytes[ServerInfo::MatchMinutes] = static_cast<std::uint8_t>(s.skirmishOption & 0xFF);
    info.bytes[ServerInfo::RespawnDelay] = static_cast<std::uint8_t>(s.skirmishWord(host, 3) & 0xFF);
    info.bytes[ServerInfo::TeamFlag] = static_cast<std::uint8_t>(teams);
    info.setU32(ServerInfo::Marker1, kMarker1);
    info.setU32(ServerInfo::Marker2, kMarker2);
    s.defaultRoomName = name.substr(0, kMaxRoomNameUnits);
    s.setModeOptionPair(type);
    return map;
}

void MPCreateWiFiMenuFrame::hostGame()
{
    ServerInfo info;
    const int map = describeGame(info);
    {
        // The network thread of a running game answers discovery from it.
        const std::lock_guard<std::mutex> lock(netGlobals().eventLock);
        netGlobals().serverInfo = info;
    }
    const int type = info.bytes[ServerInfo::GameType];
    const int maxPlayers = info.bytes[ServerInfo::MaxPlayers];
    // A host nobody can reach would wait for players for nothing.
    if (!startServer || !startServer(maxPlayers - 1)) {
        logWarning("menus", "the LAN game cannot be hosted: no network socket");
        showMessageById(kHostFailedString);
        return;
    }
    if (launch)
        launch(type, map);
}

void autohostLanGame(int type, int map)
{
    Settings& s = settings();
    s.skirmishType = type;
    s.skirmishMap = map;
    goToFrame(MenuFrameRegistry::multiPlayerMenu());
    goToFrame(MenuFrameRegistry::wifiMenu());
    MPCreateWiFiMenuFrame* page = MenuFrameRegistry::mpCreateWiFiMenu();
    goToFrame(page);
    logInfo("menus", "hosting a LAN game of type %d on map %d", type, map);
    page->hostGame();
}
