#include "menus/multiplayer/MultiPlayerMenuFrameWIFI.h"

#include "gamedata/records/MapInfoCfg.h"
#include "gamedata/records/MapLists.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/MenuPages.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/multiplayer/JoinRefusal.h"
#include "menus/multiplayer/MPCreateWiFiMenuFrame.h"
#include "menus/multiplayer/ModeTile.h"
#include "net/match/NetworkGameHandler.h"
#include "platform/Clock.h"
#include "platform/Language.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuAlert.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <string>

MultiPlayerMenuFrameWIFI* MenuFrameRegistry::wifiMenu()
{
    return slot<MultiPlayerMenuFrameWIFI>(Page::MultiPlayerWIFI);
}

namespace {
constexpr int kRowFont = 1, kPageFont = 2;
constexpr int kBusyBackFrame = 2, kBusyWindowFrame = 96;
constexpr int kTextLeft = 158, kTextMiddle = 156, kTextRight = 157;

float uiScale() { return screenMetrics().uiScale; }

std::u16string widened(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

NetworkGameClient* lanClient()
{
    NetworkGameHandler* handler = NetworkGameHandler::instance();
    return handler ? &handler->client : nullptr;
}

ResizableButton* textButton(int stringId, MenuAction action)
{
    auto* button = new ResizableButton(stringId);
    button->setup(kTextLeft, kTextMiddle, kTextRight, kPageFont);
    button->anchorMode = MenuItem::kAnchorAbsolute;
    button->focusable = true;
    button->onClick = std::move(action);
    return button;
}
}  // namespace

// ---- one row ----

MultiPlayerMenuFrameWIFI::MPServerMenuEntry::MPServerMenuEntry(MultiPlayerMenuFrameWIFI& page, int rowIndex)
    : index(rowIndex), m_page(page)
{
    focusable = true;
    interactive = true;
    anchorMode = kAnchorPlaced;
    CSprite* art = getSprite(kSpriteSetMenus);
    const CSprite::Rect r = art ? art->frameRect(kRowFrame) : CSprite::Rect{};
    width = std::max(1, static_cast<int>(r.w));
    height = std::max(1, static_cast<int>(r.h));
    // The icon ends a little above the game's name: smaller when its art is
    // taller than the room between the row's top and that line.
    const CSprite::Rect icon = art ? art->frameRect(kDefaultIconFrame) : CSprite::Rect{};
    const CFont* font = getFont(kRowFont);
    const float s = uiScale();
    const float room = (kNameLine - kIconTop - kIconGap) * s - (font ? font->lineHeight() : 0.0f) / 2.0f;
    if (icon.h > room && room > 0.0f)
        iconScale = room / icon.h;
    iconOffset = (static_cast<float>(width) - icon.w * iconScale) / 2.0f;
}

bool MultiPlayerMenuFrameWIFI::MPServerMenuEntry::fill(std::span<const std::uint8_t> description)
{
    const int maps = m_page.mapCount ? m_page.mapCount() : 0;
    if (!game.read(description, maps))
        return false;
    const float room = kMapNameRoom * static_cast<float>(width);
    mapName = fitWithEllipsis(mapTitle(game.mapIndex), room, m_page.measure);
    return true;
}

int MultiPlayerMenuFrameWIFI::MPServerMenuEntry::iconFrame(int gameType)
{
    return mode_tile::iconFrame(gameType);
}

void MultiPlayerMenuFrameWIFI::MPServerMenuEntry::draw()
{
    if (!visible)
        return;
    CSprite* art = getSprite(kSpriteSetMenus);
    if (!art)
        return;
    const float s = uiScale();
    const float x = static_cast<float>(absX) + scrollX, y = static_cast<float>(absY) + scrollY;
    const bool lit = pressed || menuFocusedItem() == this;
    if (lit) {
        const std::uint8_t level = focusPulseLevel();
        art->setColorBytes(255, 255, level, 255);
    }
    art->drawFrame(kRowFrame, x, y);
    art->setColorBytes(255, 255, 255, 255);
    mode_tile::draw(game.gameType, x + iconOffset, y + kIconTop * s, iconScale);
    CFont* font = getFont(kRowFont);
    const float middle = x + static_cast<float>(width) / 2.0f;
    drawText(font, game.name, middle, y + kNameLine * s, CFont::kCentreX | CFont::kCentreY);
    drawText(font, mapName, middle, y + 220.0f * s, CFont::kCentreX | CFont::kCentreY);
    const std::string count = std::to_string(game.players) + "/" + std::to_string(game.maxPlayers);
    drawText(font, widened(count), middle, y + 265.0f * s, CFont::kCentreX | CFont::kCentreY);
}

bool MultiPlayerMenuFrameWIFI::MPServerMenuEntry::onTouchDown(int x, int y)
{
    if (!enabled || !contains(x, y, kPickMargin * uiScale()))
        return false;
    pressed = true;
    return true;
}

bool MultiPlayerMenuFrameWIFI::MPServerMenuEntry::onTouchUp(int x, int y)
{
    const bool was = pressed;
    pressed = false;
    if (!was || !enabled || !contains(x, y, kPickMargin * uiScale()))
        return false;
    playMenuSound(MenuSound::Click);
    activate();
    return true;
}

void MultiPlayerMenuFrameWIFI::MPServerMenuEntry::activate()
{
    if (enabled)
        m_page.joinRow(index);
}

// ---- the page ----

MultiPlayerMenuFrameWIFI::MultiPlayerMenuFrameWIFI()
{
    mapCount = [] { return MapLists::instance().countNonCampaign(); };
    launch = [](int type, int map) {
        mapChoice().selectedMap = map;
        NetworkGameHandler* handler = NetworkGameHandler::instance();
        const GameStartResult result =
            createNetworkGame(type, map, false, false, handler ? &handler->client : nullptr, gameScreen());
        logInfo("menus", "LAN join start: type %d map %d result %d", type, map, static_cast<int>(result));
    };
    measure = [](std::u16string_view text) { return measureText(getFont(kRowFont), text).width; };

    useOwnLayout(*this, kTitleString, kBackString);

    list = new MenuPanel(kLayoutRow);
    list->anchorMode = kAnchorAbsolute;
    list->fixedSize = true;
    list->touchMode = kTouchList;
    list->kinetic = true;
    addItem(list);

    statusLabel = new SpriteLabel(kPageFont, std::u16string_view());
    statusLabel->anchorMode = kAnchorAbsolute;
    // The text is centred on the label's own point.
    statusLabel->textFlags = CFont::kCentreX;
    addItem(statusLabel);

    searchingFlag = new MenuSpacer(0, 0);
    searchingFlag->anchorMode = kAnchorAbsolute;
    searchingFlag->visible = false;
    addItem(searchingFlag);

    refreshButton = textButton(kRefreshString, [this] { refresh(); });
    addItem(refreshButton);
    createButton = textButton(kCreateString, [] { goToFrame(MenuFrameRegistry::mpCreateWiFiMenu()); });
    addItem(createButton);

    CSprite* art = getSprite(kSpriteSetMenus);
    busyOverlay = new MenuPanel(art, kBusyBackFrame, kLayoutStacked);
    busyOverlay->ninePatch = true;
    busyOverlay->anchorMode = kAnchorAbsolute;
    busyOverlay->fixedSize = true;
    busyOverlay->touchMode = kTouchInside;
    busyWindow = new MenuPanel(art, kBusyWindowFrame, kLayoutStacked);
    busyWindow->ninePatch = true;
    busyWindow->fixedSize = true;
    busyWindow->touchMode = kTouchInside;
    busyLabel = new SpriteLabel(kPageFont, kJoiningString);
    busyLabel->textFlags = CFont::kCentreX;
    busyButton = new ResizableButton(kCancelString);
    busyButton->setup(kTextLeft, kTextMiddle, kTextRight, kPageFont);
    busyButton->focusable = true;
    busyButton->onClick = [this] { onBack(); };
    busyWindow->addItem(busyLabel);
    busyWindow->addItem(busyButton);
    busyOverlay->addItem(busyWindow);
    addItem(busyOverlay);
    showBusy(false);

    layoutPage();
    focusedItem = refreshButton;
}

MultiPlayerMenuFrameWIFI::~MultiPlayerMenuFrameWIFI() = default;

void MultiPlayerMenuFrameWIFI::layoutPage()
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    const int margin = static_cast<int>(20.0f * a);
    titleLabel->layout(0, 0);
    const int top = titleLabel->absY + titleLabel->height + margin;
    refreshButton->updateLabel();
    createButton->updateLabel();
    const int buttonsY = m.screenHeight - refreshButton->height - margin;
    refreshButton->x = margin;
    refreshButton->y = buttonsY;
    createButton->x = m.screenWidth - createButton->width - margin;
    createButton->y = buttonsY;

    list->x = 0;
    list->y = top;
    list->width = m.screenWidth;
    list->height = std::max(1, buttonsY - margin - top);
    list->spacing = margin;
    list->paddingX = margin;
    int rowHeight = 0;
    for (int i = 0; i < list->itemCount(); ++i)
        rowHeight = std::max(rowHeight, list->itemAt(i)->height);
    list->paddingY = std::max(0, (list->height - rowHeight) / 2);

    statusLabel->x = m.screenWidth / 2;
    statusLabel->y = top + list->height / 2;

    busyOverlay->x = 0;
    busyOverlay->y = 0;
    busyOverlay->width = m.screenWidth;
    busyOverlay->height = m.screenHeight;
    busyWindow->anchorMode = kAnchorParent;
    busyWindow->width = m.screenWidth / 2;
    busyWindow->height = m.screenHeight / 2;
    busyWindow->x = m.screenWidth / 4;
    busyWindow->y = m.screenHeight / 4;
    busyLabel->updateSize();
    busyLabel->x = busyWindow->width / 2;
    busyLabel->y = busyWindow->height / 3;
    busyButton->updateLabel();
    busyButton->x = (busyWindow->width - busyButton->width) / 2;
    busyButton->y = busyWindow->height - busyButton->height - margin;

    giveInputPriority(busyOverlay);
    bringToFront(busyOverlay);
    giveInputPriority(backButton());
    bringToFront(backButton());
    layout(0, 0);
}

void MultiPlayerMenuFrameWIFI::showBusy(bool shown)
{
    busyOverlay->visible = shown;
    busyOverlay->enabled = shown;
}

int MultiPlayerMenuFrameWIFI::rowCount() const { return list->itemCount(); }

MultiPlayerMenuFrameWIFI::MPServerMenuEntry* MultiPlayerMenuFrameWIFI::row(int i) const
{
    return static_cast<MPServerMenuEntry*>(list->itemAt(i));
}

std::u16string MultiPlayerMenuFrameWIFI::mapTitle(int mapIndex)
{
    const MapInfoCfg* map = MapLists::instance().skirmishMap(mapIndex);
    if (!map)
        return u"DUMMY";
    return getStringByIndex(findStringTable().findId(map->title));
}

std::u16string MultiPlayerMenuFrameWIFI::fitWithEllipsis(std::u16string text, float room,
                                                         const std::function<float(std::u16string_view)>& measure)
{
    if (!measure || measure(text) <= room)
        return text;
    while (!text.empty() && measure(text + u"...") > room)
        text.pop_back();
    return text + u"...";
}

bool MultiPlayerMenuFrameWIFI::addRow(std::span<const std::uint8_t> description, int index)
{
    for (int i = 0; i < rowCount(); ++i) {
        if (row(i)->index == index) {
            rebuildFocusLinks();
            return false;
        }
    }
    auto* entry = new MPServerMenuEntry(*this, index);
    if (!entry->fill(description)) {
        delete entry;
        return false;
    }
    list->placeItem(entry);
    listState = Listing;
    searchingFlag->visible = false;
    statusLabel->visible = false;
    layoutPage();
    rebuildFocusLinks();
    return true;
}

void MultiPlayerMenuFrameWIFI::refresh()
{
    if (listState == Searching)
        return;
    statusLabel->visible = true;
    list->clear();
    list->scrollX = list->scrollY = 0.0f;
    if (NetworkGameClient* client = lanClient(); client && NetworkGame::running())
        client->clearServerList();
    stateTimer = kSearchSeconds;
    listState = Searching;
    searchingFlag->visible = true;
    layoutPage();
    rebuildFocusLinks();
    focusedItem = refreshButton;
}

void MultiPlayerMenuFrameWIFI::joinRow(int index)
{
    if (NetworkGameHandler* handler = NetworkGameHandler::instance())
        handler->joinListedServer(index);
    beginJoinWait();
}

void MultiPlayerMenuFrameWIFI::beginJoinWait()
{
    stateTimer = kJoinSeconds;
    listState = Joining;
    searchingFlag->visible = false;
    showBusy(true);
    busyLabel->stringId = kJoiningString;
    busyLabel->updateSize();
    layoutPage();
}

void MultiPlayerMenuFrameWIFI::offerDiscovered()
{
    NetworkGameClient* client = lanClient();
    if (!client)
        return;
    for (std::size_t i = 0; i < client->discoveredGames.size(); ++i)
        (void)addRow(client->discoveredGames[i].info, static_cast<int>(i));
}

void MultiPlayerMenuFrameWIFI::update()
{
    SceneMenuFrame::update();
    NetworkGameClient* client = lanClient();
    if (client)
        client->processMessages();
    const float dt = frameDelta();
    switch (listState) {
    case Listing:
        offerDiscovered();
        break;
    case Searching:
        stateTimer -= dt;
        if (stateTimer <= 0.0f) {
            searchingFlag->visible = false;
            listState = Listing;
            statusLabel->setText(getStringByIndex(kNothingFoundString));
        }
        offerDiscovered();
        break;
    case Joining: {
        stateTimer -= dt;
        const MatchTransport* transport = netGlobals().transport.get();
        if (client && transport && transport->connected() && client->state == NetworkGameClient::Loading) {
            const netmsg::JoinCompleteMsg& join = client->joinSetup();
            if (launch)
                launch(join.gameType, join.mapIndex);
            return;
        }
        const LanTransport::Refusal refusal = client ? client->refusal() : LanTransport::Refusal::None;
        if (stateTimer <= 0.0f || refusal != LanTransport::Refusal::None) {
            // No half-open connection is left for the next JOIN to ride.
            if (client)
                client->abandonJoin();
            listState = Listing;
            showBusy(false);
            showMessageById(joinRefusalString(refusal, kJoinFailedString));
        }
        break;
    }
    default:
        break;
    }
    if (searchingFlag->visible) {
        const int whole = static_cast<int>(stateTimer);
        const int dots = ((static_cast<int>(kSearchSeconds) - whole) % 3 + 3) % 3 + 1;
        statusLabel->setText(getStringByIndex(kSearchingString) + u"\n" + std::u16string(static_cast<std::size_t>(dots), u'.'));
    }
}

void MultiPlayerMenuFrameWIFI::onShow()
{
    titleLabel->updateSize();
    SceneMenuFrame::onShow();
    list->clear();
    showBusy(false);
    if (NetworkGameHandler* handler = NetworkGameHandler::instance()) {
        handler->startLanBrowse();
    }
    listState = Listing;
    createButton->updateLabel();
    layoutPage();
    refresh();
    rebuildFocusLinks();
}

void MultiPlayerMenuFrameWIFI::onHide()
{
    settings().save();
    if (NetworkGameHandler* handler = NetworkGameHandler::instance()) {
        // The handler's reset leaves the room server without telling itself.
        handler->disconnect();
        handler->autoJoin = false;
    }
    showBusy(false);
    listState = Listing;
}
