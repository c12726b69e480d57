#include "menus/multiplayer/MultiPlayerMenuFrameOnline.h"

#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/PlaneList.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/FrontendLinks.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/multiplayer/JoinRefusal.h"
#include "menus/multiplayer/MPCreateOnlineMenuFrame.h"
#include "menus/multiplayer/ModeTile.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
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
#include "ui/widgets/SpriteKeyboard.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <array>

MultiPlayerMenuFrameOnline* MenuFrameRegistry::onlineMenu()
{
    return slot<MultiPlayerMenuFrameOnline>(Page::MultiPlayerOnline);
}

namespace {
// A flood of announcements must not grow the list (and its sort) without end.
constexpr std::size_t kMaxRows = 256;
constexpr int kPlaneLineString = 1204, kOnlyTierString = 1218, kNoTierString = 1809, kLastTeamString = 1810;
constexpr int kWrongTierString = 1220, kUnknownPlaneString = 1206, kLockedPlaneString = 1205;
constexpr int kMissilesString = 393, kGunsString = 394;
constexpr int kNamedSets = 46;

float ui()
{
    return screenMetrics().uiScale;
}

int bracketFrame(int bracket)
{
    return bracket >= 0 && bracket <= 2 ? MultiPlayerMenuFrameOnline::kBracketFrame + bracket
                                        : MultiPlayerMenuFrameOnline::kBracketFrame;
}

// The plane of that id, only when the list has one.
const PlaneCfg* planeWithId(int id)
{
    const PlaneList& planes = PlaneList::instance();
    for (int i = 0; i < planes.count(); ++i)
        if (const PlaneCfg* plane = planes.at(i); plane && plane->plane_id == id)
            return plane;
    return nullptr;
}

bool tierInRange(int tier)
{
    return tier >= 0 && tier < PlaneList::instance().tierCount();
}

template <typename... Args>
std::u16string format(const char* pattern, const Args&... args)
{
    std::array<char16_t, 64> out{};
    wideFormat(out.data(), out.size(), pattern, args...);
    return out.data();
}

template <typename... Args>
std::u16string formatString(int stringId, const Args&... args)
{
    std::array<char16_t, 512> out{};
    wideFormatW(out.data(), out.size(), getStringByIndex(stringId).c_str(), args...);
    return out.data();
}

SpriteLabel* makeLabel(int font, std::u16string_view text, MenuContainer& parent, int x, int y,
                       std::uint32_t alignment = MenuItem::kAlignLeft | MenuItem::kAlignTop)
{
    auto* label = new SpriteLabel(font, text);
    label->anchorMode = MenuItem::kAnchorParent;
    label->alignment = alignment;
    label->x = x;
    label->y = y;
    parent.addItem(label);
    return label;
}

SpriteButton* makeIcon(int frame, MenuContainer& parent, int x, int y)
{
    auto* icon = new SpriteButton(kSpriteSetMenus, frame, 1, u"");
    icon->anchorMode = MenuItem::kAnchorParent;
    icon->alignment = MenuItem::kAlignCentreX | MenuItem::kAlignCentreY;
    icon->x = x;
    icon->y = y;
    icon->enabled = false;
    icon->focusable = false;
    icon->interactive = false;
    parent.addItem(icon);
    return icon;
}

// The room-server events forwarded to the page, made when the first one comes.
struct PageRoomEvents : IRoomEvents {
    static MultiPlayerMenuFrameOnline* page() { return MenuFrameRegistry::onlineMenu(); }
    void onRoomEntry(const std::uint8_t* entry) override
    {
        if (auto* p = page())
            p->onRoomEntry(entry);
    }
    void onRoomLeft() override
    {
        if (auto* p = page())
            p->onRoomLeft();
    }
    void onRoomError(const char* text) override
    {
        if (auto* p = page())
            p->onRoomError(text);
    }
    void onRoomInfo(const std::uint8_t* message, std::size_t length) override
    {
        if (auto* p = page())
            p->onRoomInfo(message, length);
    }
    void onConnectFailed() override
    {
        if (auto* p = page())
            p->onConnectFailed();
    }
    void onConnected() override
    {
        if (auto* p = page())
            p->onConnected();
    }
    void onRoomMessage(const char* text) override
    {
        if (auto* p = page())
            p->onRoomMessage(text);
    }
};
}  // namespace

std::u16string tierName(int tier)
{
    return tierInRange(tier) ? getStringByIndex(MultiPlayerMenuFrameOnline::kTierNames + tier) : std::u16string();
}

std::u16string fitText(int fontId, std::u16string text, float maxWidth)
{
    const CFont* font = getFont(fontId);
    if (measureText(font, text).width <= maxWidth)
        return text;
    while (!text.empty() && measureText(font, text).width > maxWidth)
        text.pop_back();
    return text + u"...";
}

MenuPanel* buildBusyOverlay(int stringId, SpriteLabel** labelOut)
{
    const ScreenMetrics& m = screenMetrics();
    auto* overlay = new MenuPanel(getSprite(kSpriteSetMenus), MultiPlayerMenuFrameOnline::kDimFrame,
                                  MenuContainer::kLayoutList);
    overlay->ninePatch = true;
    overlay->fixedSize = true;
    overlay->anchorMode = MenuItem::kAnchorAbsolute;
    overlay->x = 0;
    overlay->y = 0;
    overlay->width = m.screenWidth;
    overlay->height = m.screenHeight;
    overlay->touchMode = MenuContainer::kTouchInside;
    overlay->swallowTouches = true;
    auto* window = new MenuPanel(getSprite(kSpriteSetMenus), MultiPlayerMenuFrameOnline::kWindowFrame,
                                 MenuContainer::kLayoutList);
    window->ninePatch = true;
    window->fixedSize = true;
    window->anchorMode = MenuItem::kAnchorParent;
    window->alignment = MenuItem::kAlignCentreX | MenuItem::kAlignCentreY;
    window->width = m.screenWidth / 2;
    window->height = m.screenHeight / 2;
    window->x = m.screenWidth / 2;
    window->y = m.screenHeight / 2;
    SpriteLabel* label = makeLabel(2, getStringByIndex(stringId), *window, window->width / 2, window->height / 2,
                                   MenuItem::kAlignCentreX | MenuItem::kAlignCentreY);
    overlay->addItem(window);
    overlay->visible = false;
    overlay->enabled = false;
    if (labelOut)
        *labelOut = label;
    return overlay;
}

void showBusyOverlay(MenuContainer& page, MenuPanel& overlay, SpriteLabel& label, int stringId)
{
    label.setText(getStringByIndex(stringId));
    label.updateSize();
    overlay.visible = true;
    overlay.enabled = true;
    page.bringToFront(&overlay);
    page.giveInputPriority(&overlay);
    overlay.layout(0, 0);
}

// ---- MPServerMenuEntry ----

MultiPlayerMenuFrameOnline::MPServerMenuEntry::MPServerMenuEntry(MultiPlayerMenuFrameOnline& owner,
                                                                 const std::uint8_t* message, int w, int h)
    : page(owner), room(message)
{
    width = w;
    height = h;
    interactive = true;
    const float limit = 0.9f * static_cast<float>(width);
    if (const MapInfoCfg* map = MapLists::instance().skirmishMap(room.mapIndex()))
        mapText = fitText(1, getStringById(map->title), limit);
    roomText = fitText(1, toWideTemp(room.name().c_str()), limit);
    const int kind = room.planeKind(), value = room.planeValue();
    if (kind == 1 && value >= 0 && value < PlaneList::instance().count()) {
        if (const PlaneCfg* plane = planeWithId(value))
            planeText = toWideTemp(plane->shortname.c_str());
    } else if ((kind == 2 || kind == 3) && tierInRange(value)) {
        // The excluded tier in the player's language, as the details say it.
        planeText = kind == 2 ? tierName(value) : formatString(kNoTierString, tierName(value));
    }
    planeText = fitText(1, planeText, limit);
    bracket = bracketDistance(settings().playerRank, room.hostRank());
    const float icon = getSprite(kSpriteSetMenus)->frameRect(mode_tile::iconFrame(room.mode())).w;
    iconOffset = (static_cast<float>(width) - icon) / 2.0f;
    focusable = true;
}

void MultiPlayerMenuFrameOnline::MPServerMenuEntry::refreshFrom(const std::uint8_t* message)
{
    room.assign(message);
    bracket = bracketDistance(settings().playerRank, room.hostRank());
}

void MultiPlayerMenuFrameOnline::MPServerMenuEntry::draw()
{
    if (!visible)
        return;
    const float a = ui();
    const float x = static_cast<float>(absX) + scrollX, y = static_cast<float>(absY) + scrollY;
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    // Most of a long list lies outside the screen.
    if (x + w < 0.0f || x > static_cast<float>(screenMetrics().screenWidth))
        return;
    CSprite* menus = getSprite(kSpriteSetMenus);
    if (menuFocusedItem() == this || m_pressed) {
        const std::uint8_t level = focusPulseLevel();
        menus->setColorBytes(255, 255, level, 255);
    }
    menus->drawNinePatch(kPanelFrame, x, y, w, h);
    menus->setColorBytes(255, 255, 255, 255);
    const CSprite::Rect icon = menus->frameRect(mode_tile::iconFrame(room.mode()));
    mode_tile::draw(room.mode(), x + iconOffset, y + 14.0f * a);
    const float cx = x + w / 2.0f;
    // The room's name first, then its map, its players and its plane rule.
    float line = y + 14.0f * a + icon.h + 24.0f * a;
    const float step = 36.0f * a;
    drawText(getFont(1), roomText, cx, line, CFont::kCentreX | CFont::kCentreY);
    line += step;
    drawText(getFont(1), mapText, cx, line, CFont::kCentreX | CFont::kCentreY);
    line += step;
    drawText(getFont(1), format("%d/%d", room.players(), room.maxPlayers()), cx, line,
             CFont::kCentreX | CFont::kCentreY);
    line += step;
    if (room.planeKind() != 0 && !planeText.empty())
        drawText(getFont(1), planeText, cx, line, CFont::kCentreX | CFont::kCentreY);
    const int frame = bracketFrame(bracket);
    const CSprite::Rect mark = menus->frameRect(frame);
    menus->drawFrame(frame, cx - mark.w / 2.0f, y + h - mark.h - 12.0f * a);
}

bool MultiPlayerMenuFrameOnline::MPServerMenuEntry::onTouchDown(int, int)
{
    // A drag of the list moves the card: its release then opens nothing.
    m_pressed = true;
    m_pressX = absX;
    m_pressY = absY;
    return true;
}

bool MultiPlayerMenuFrameOnline::MPServerMenuEntry::onTouchUp(int px, int py)
{
    const bool tap = m_pressed && absX == m_pressX && absY == m_pressY && contains(px, py, 0.0f);
    m_pressed = false;
    if (!tap)
        return false;
    playMenuSound(MenuSound::Click);
    activate();
    return true;
}

void MultiPlayerMenuFrameOnline::MPServerMenuEntry::activate()
{
    page.openDetails(*this);
}

// ---- RoomPlayer ----

MultiPlayerMenuFrameOnline::RoomPlayer::RoomPlayer(int w, int h)
{
    width = w;
    height = h;
}

void MultiPlayerMenuFrameOnline::RoomPlayer::draw()
{
    if (!visible)
        return;
    const float a = ui();
    const float x = static_cast<float>(absX) + scrollX, y = static_cast<float>(absY) + scrollY;
    const float mid = y + static_cast<float>(height) / 2.0f;
    if (rank >= 0 && rank <= RoomEntry::kMaxRank) {
        std::array<char16_t, 4> glyph{};
        wideFormat(glyph.data(), glyph.size(), "%c", static_cast<int>(0x2460 + rank));
        drawText(getFont(0), glyph.data(), x + 20.0f * a, mid, CFont::kCentreY);
    }
    drawText(getFont(2), name, x + 70.0f * a, mid, CFont::kCentreY);
}

// ---- the page ----

MultiPlayerMenuFrameOnline::MultiPlayerMenuFrameOnline()
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    titleLabel->stringId = kTitleString;
    titleLabel->updateSize();
    backButton()->labelStringId = kBackString;
    backButton()->updateLabel();
    mapCount = [] { return MapLists::instance().countNonCampaign(); };

    // The room cards stand in one scrolling row between the title and the buttons.
    const int buttonsY = m.screenHeight - static_cast<int>(70.0f * a);
    MenuPanel* list = content();
    titleLabel->layout(0, 0);
    list->y = titleLabel->absY + titleLabel->height + static_cast<int>(16.0f * a);
    list->height = buttonsY - static_cast<int>(46.0f * a) - list->y;
    list->paddingY = static_cast<int>(10.0f * a);
    list->spacing = static_cast<int>(30.0f * a);
    refreshButton = new SpriteButton(kSpriteSetMenus, SpriteButton::kPushButtonFrame, 2, kRefreshString);
    refreshButton->anchorMode = kAnchorAbsolute;
    refreshButton->alignment = kAlignLeft | kAlignCentreY;
    refreshButton->x = static_cast<int>(60.0f * a);
    refreshButton->y = buttonsY;
    refreshButton->focusable = true;
    refreshButton->onClick = [this] { refresh(); };
    addItem(refreshButton);

    createButton = new SpriteButton(kSpriteSetMenus, SpriteButton::kPushButtonFrame, 2, kCreateString);
    createButton->anchorMode = kAnchorAbsolute;
    createButton->alignment = kAlignRight | kAlignCentreY;
    createButton->x = m.screenWidth - static_cast<int>(60.0f * a);
    createButton->y = buttonsY;
    createButton->focusable = true;
    createButton->onClick = [] { goToFrame(MenuFrameRegistry::mpCreateOnlineMenu()); };
    addItem(createButton);

    joinByNameButton = new SpriteButton(kSpriteSetMenus, SpriteButton::kPushButtonFrame, 2, kJoinByNameString);
    joinByNameButton->anchorMode = kAnchorAbsolute;
    joinByNameButton->alignment = kAlignCentreX | kAlignCentreY;
    joinByNameButton->x = m.screenWidth / 2;
    joinByNameButton->y = buttonsY;
    joinByNameButton->focusable = true;
    joinByNameButton->onClick = [this] { openNameKeyboard(); };
    addItem(joinByNameButton);

    const int listMiddle = list->y + (buttonsY - list->y) / 2 - static_cast<int>(30.0f * a);
    searchingLabel = new SpriteLabel(2, kRefreshString);
    searchingLabel->anchorMode = kAnchorAbsolute;
    searchingLabel->alignment = kAlignCentreX | kAlignCentreY;
    searchingLabel->x = m.screenWidth / 2;
    searchingLabel->y = listMiddle - static_cast<int>(60.0f * a);
    searchingLabel->visible = false;
    searchingLabel->setText(getStringByIndex(kRefreshString) + u"...");
    addItem(searchingLabel);

    emptyNotice = new SpriteButton(kSpriteSetMenus, -1, 2, kEmptyString);
    emptyNotice->anchorMode = kAnchorAbsolute;
    emptyNotice->alignment = kAlignCentreX | kAlignCentreY;
    emptyNotice->x = m.screenWidth / 2;
    emptyNotice->y = listMiddle;
    emptyNotice->enabled = false;
    emptyNotice->focusable = false;
    addItem(emptyNotice);

    buildDetails();

    busyOverlay = buildBusyOverlay(kConnectingString, &busyLabel);
    addItem(busyOverlay);

    giveInputPriority(backButton());
    bringToFront(backButton());
    layout(0, 0);
    focusedItem = refreshButton;
}

MultiPlayerMenuFrameOnline::~MultiPlayerMenuFrameOnline()
{
    if (SpriteKeyboard* keyboard = SpriteKeyboard::existing(); keyboard && keyboard->listener == this)
        keyboard->listener = nullptr;
}

void MultiPlayerMenuFrameOnline::buildDetails()
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    titleLabel->layout(0, 0);
    const int top = titleLabel->absY + titleLabel->height + static_cast<int>(20.0f * a);
    const int bottom = m.screenHeight - static_cast<int>(20.0f * a);
    const auto s = [a](float v) { return static_cast<int>(v * a); };

    detailsWindow = new MenuPanel(getSprite(kSpriteSetMenus), kPanelFrame, kLayoutList);
    detailsWindow->ninePatch = true;
    detailsWindow->fixedSize = true;
    detailsWindow->touchMode = kTouchInside;
    detailsWindow->anchorMode = kAnchorAbsolute;
    detailsWindow->alignment = kAlignCentreX | kAlignCentreY;
    detailsWindow->width = std::min(m.screenWidth - s(80.0f), s(1500.0f));
    detailsWindow->height = bottom - top;
    detailsWindow->x = m.screenWidth / 2;
    detailsWindow->y = top + (bottom - top) / 2;
    MenuPanel& w = *detailsWindow;

    roomTitle = makeLabel(2, getStringByIndex(885), w, s(60.0f), s(50.0f), kAlignLeft | kAlignCentreY);

    // The map's picture with its name under it; the join area covers both.
    const CSprite::Rect thumb = getSprite(kMapSet)->frameRect(1);
    const int mapX = s(50.0f), mapY = s(110.0f);
    auto* mapPanel = new MenuPanel(kLayoutList);
    mapPanel->anchorMode = kAnchorParent;
    mapPanel->x = mapX;
    mapPanel->y = mapY;
    mapPanel->fixedSize = true;
    mapPanel->width = static_cast<int>(thumb.w * 1.5f);
    mapPanel->height = static_cast<int>(thumb.h * 1.5f) + s(110.0f);
    mapPicture = new SpriteButton(kMapSet, 1, 1, u"");
    mapPicture->anchorMode = kAnchorParent;
    mapPicture->scale = 1.5f;
    mapPicture->enabled = false;
    mapPicture->focusable = false;
    mapPicture->updateLabel();
    mapPanel->addItem(mapPicture);
    mapName = makeLabel(1, getStringByIndex(886), *mapPanel, mapPanel->width / 2,
                        static_cast<int>(thumb.h * 1.5f) + s(14.0f), kAlignCentreX | kAlignTop);
    w.addItem(mapPanel);
    // The tap area draws its focus box inset by 50 and 30: grown by as much, the box frames the picture.
    joinArea = new SpriteButton2();
    joinArea->anchorMode = kAnchorParent;
    joinArea->x = mapX - 50;
    joinArea->y = mapY - 30;
    joinArea->width = mapPanel->width + 100;
    joinArea->height = static_cast<int>(thumb.h * 1.5f) + 60;
    joinArea->focusable = true;
    joinArea->onClick = [this] { joinShownRoom(); };
    w.addItem(joinArea);

    // The facts of the room beside the picture.
    const int factsX = mapX + mapPanel->width + s(60.0f);
    const int valueX = factsX + s(260.0f);
    int line = mapY + s(30.0f);
    const int step = s(70.0f);
    for (int i = 0; i < 3; ++i)
        bullets[static_cast<std::size_t>(i)] = makeIcon(136, w, factsX - s(28.0f), line + i * step);
    makeLabel(1, getStringByIndex(kPlayersString), w, factsX, line, kAlignLeft | kAlignCentreY);
    playersValue = makeLabel(1, u"7/8", w, valueX, line, kAlignLeft | kAlignCentreY);
    line += step;
    timeCaption = makeLabel(1, getStringByIndex(kTimeString), w, factsX, line, kAlignLeft | kAlignCentreY);
    timeValue = makeLabel(1, u"~12 min", w, valueX, line, kAlignLeft | kAlignCentreY);
    line += step;
    filterCaption = makeLabel(1, getStringByIndex(kFilterString), w, factsX, line, kAlignLeft | kAlignCentreY);
    filterValue = makeLabel(1, u"All", w, valueX, line, kAlignLeft | kAlignCentreY);
    line += step;
    planeLine = makeLabel(1, u" ", w, factsX, line, kAlignLeft | kAlignCentreY);
    planeLine->visible = false;
    line += step;
    bracketIcon = makeIcon(110, w, factsX + s(26.0f), line + s(20.0f));

    // The players in the room, filled when their list comes.
    const int listW = std::max(s(300.0f), w.width - valueX - s(200.0f));
    auto* playersPanel = new MenuPanel(kLayoutList);
    playersPanel->anchorMode = kAnchorParent;
    playersPanel->fixedSize = true;
    playersPanel->width = listW;
    playersPanel->height = w.height - s(140.0f);
    playersPanel->x = w.width - listW - s(40.0f);
    playersPanel->y = s(100.0f);
    makeIcon(134, *playersPanel, listW / 2, s(28.0f));
    makeLabel(1, getStringByIndex(kPlayersString), *playersPanel, listW / 2, s(28.0f), kAlignCentreX | kAlignCentreY);
    playersList = new MenuPanel(kLayoutList);
    playersList->anchorMode = kAnchorParent;
    playersList->fixedSize = true;
    playersList->touchMode = kTouchList;
    playersList->childAlignment = kChildLeft;
    playersList->width = listW;
    playersList->height = playersPanel->height - s(50.0f);
    playersList->y = s(50.0f);
    playersList->setScrollBar(MenuContainer::kDefaultThumbFrame, 4.0f * a, 0.0f);
    for (RoomPlayer*& row : playerRows) {
        row = new RoomPlayer(listW - s(20.0f), s(48.0f));
        row->name = u"-------";
        row->visible = false;
        playersList->placeItem(row);
    }
    playersPanel->addItem(playersList);
    w.addItem(playersPanel);
    waitingLabel = makeLabel(2, getStringByIndex(kWaitingString), w, playersPanel->x + listW / 2,
                             playersPanel->y + s(120.0f), kAlignCentreX | kAlignCentreY);
    detailsWindow->visible = false;
    detailsWindow->enabled = false;
    addItem(detailsWindow);
}

int MultiPlayerMenuFrameOnline::loadedMapCount() const
{
    return mapCount ? mapCount() : 0;
}

std::vector<MultiPlayerMenuFrameOnline::MPServerMenuEntry*> MultiPlayerMenuFrameOnline::rows() const
{
    std::vector<MPServerMenuEntry*> out;
    const MenuPanel* list = content();
    for (int i = 0; i < list->itemCount(); ++i)
        if (auto* row = dynamic_cast<MPServerMenuEntry*>(list->itemAt(i)))
            out.push_back(row);
    return out;
}

MultiPlayerMenuFrameOnline::MPServerMenuEntry* MultiPlayerMenuFrameOnline::findRow(std::uint16_t number) const
{
    for (MPServerMenuEntry* row : rows())
        if (row->room.number() == number)
            return row;
    return nullptr;
}

bool MultiPlayerMenuFrameOnline::detailsOpen() const
{
    return detailsWindow->visible;
}

void MultiPlayerMenuFrameOnline::showBusy(int stringId)
{
    showBusyOverlay(*this, *busyOverlay, *busyLabel, stringId);
}

void MultiPlayerMenuFrameOnline::hideBusy()
{
    busyOverlay->visible = false;
    busyOverlay->enabled = false;
}

void MultiPlayerMenuFrameOnline::showListView()
{
    detailsWindow->visible = false;
    detailsWindow->enabled = false;
    content()->visible = true;
    content()->enabled = true;
    for (SpriteButton* button : {refreshButton, createButton, joinByNameButton}) {
        button->visible = true;
        button->enabled = true;
    }
}

void MultiPlayerMenuFrameOnline::closeDetailsToList()
{
    hideBusy();
    showListView();
    rebuildFocusLinks();
    focusedItem = refreshButton;
}

void MultiPlayerMenuFrameOnline::removeRow(MPServerMenuEntry* row)
{
    if (!row)
        return;
    if (selectedRoom == &row->room) {
        selectedRoom = nullptr;
        selectedInfo = nullptr;
        if (detailsOpen())
            closeDetailsToList();
    }
    if (focusedItem == row)
        focusedItem = refreshButton;
    if (menuFocusedItem() == row)
        setMenuFocusedItem(refreshButton);
    content()->removeItem(row);
    delete row;
    if (rows().empty())
        emptyNotice->visible = true;
}

void MultiPlayerMenuFrameOnline::refresh()
{
    if (NetworkGameHandler* h = handler())
        h->sendRoomQueries();
    selectedInfo = nullptr;
    selectedRoom = nullptr;
    for (MPServerMenuEntry* row : rows()) {
        if (focusedItem == row)
            focusedItem = refreshButton;
        content()->removeItem(row);
        delete row;
    }
    content()->scrollX = 0.0f;
    content()->scrollY = 0.0f;
    searchingLabel->visible = true;
    layout(0, 0);
    rebuildFocusLinks();
    focusedItem = refreshButton;
}

void MultiPlayerMenuFrameOnline::onShow()
{
    titleLabel->updateSize();
    FilledMenuFrame::onShow();
    detailsWindow->visible = false;
    detailsWindow->enabled = false;
    refreshButton->visible = true;
    refreshButton->enabled = true;
    createButton->visible = true;
    createButton->enabled = true;
    connectDelay = 2;
    showBusy(kConnectingString);
    refresh();
    rebuildFocusLinks();
    focusedItem = refreshButton;
    layout(0, 0);
}

void MultiPlayerMenuFrameOnline::onHide()
{
    hideBusy();
    content()->visible = true;
    content()->enabled = true;
    joinByNameButton->visible = true;
    joinByNameButton->enabled = true;
    fullDraw = true;
    FilledMenuFrame::onHide();
}

void MultiPlayerMenuFrameOnline::onBack()
{
    requestedRoom = -1;
    requestedPassword.clear();
    if (!content()->visible || detailsOpen()) {
        closeDetailsToList();
        return;
    }
    FilledMenuFrame::onBack();
}

bool MultiPlayerMenuFrameOnline::onEscape()
{
    onBack();
    return true;
}

bool MultiPlayerMenuFrameOnline::onTouchUp(int px, int py)
{
    MenuContainer::onTouchUp(px, py);
    return true;
}

void MultiPlayerMenuFrameOnline::rebuildFocusLinks()
{
    FilledMenuFrame::rebuildFocusLinks();
    std::vector<MenuItem*> items;
    collectFocusableItems(*this, items);
    for (MenuItem* item : items) {
        if (item == backButton() || item == refreshButton || item == joinByNameButton || item == createButton)
            continue;
        item->setNeighbour(kUp, backButton());
        item->setNeighbour(kDown, refreshButton);
    }
}

void MultiPlayerMenuFrameOnline::sortRows()
{
    std::vector<MPServerMenuEntry*> list = rows();
    const auto follows = [](const MPServerMenuEntry* a, const MPServerMenuEntry* b) {
        return roomFollows(bracketSortKey(a->bracket), a->room.hostRank(), bracketSortKey(b->bracket),
                           b->room.hostRank());
    };
    // Each pass ends where the previous one last swapped.
    bool moved = false;
    std::size_t end = list.size();
    while (end > 1) {
        std::size_t lastSwap = 0;
        for (std::size_t i = 1; i < end; ++i) {
            if (follows(list[i - 1], list[i])) {
                std::swap(list[i - 1], list[i]);
                lastSwap = i;
                moved = true;
            }
        }
        end = lastSwap;
    }
    if (moved) {
        MenuPanel* panel = content();
        for (MPServerMenuEntry* row : list)
            panel->removeItem(row);
        for (MPServerMenuEntry* row : list)
            panel->placeItem(row);
    }
    content()->layout(0, 0);
    layout(0, 0);
    rebuildFocusLinks();
}

void MultiPlayerMenuFrameOnline::update()
{
    if (listDirty) {
        listDirty = false;
        sortRows();
    }
    FilledMenuFrame::update();
    NetworkGameHandler* h = handler();
    if (connectDelay > 0) {
        if (--connectDelay == 0 && h) {
            h->connectRoomServer(quickMatch, false);
            if (h->roomJoinState == 0) {
                showListView();
                gameChoices().duelMatch = 0;
                returnToMultiplayer(kLostString);
            }
        }
        return;
    }
    if (h)
        updateJoin();
}

void MultiPlayerMenuFrameOnline::sendJoin()
{
    NetworkGameHandler* h = handler();
    joinDelay = 0;
    if (!h)
        return;
    h->roomJoinTimer = 0.0f;
    h->roomJoinState = 2;
    h->joinArmed = true;
    int result = -1;
    const int requested = requestedRoom;
    requestedRoom = -1;
    if (requested >= 0)
        result = h->room.joinRoomById(static_cast<std::uint16_t>(requested), requestedPassword);
    else if (!joinName.empty())
        result = h->room.joinRoomByName(joinName);
    else if (selectedRoom)
        result = h->room.joinRoomById(selectedRoom->number());
    requestedPassword.clear();
    if (result != 0) {
        // Refused: the list stays, and no join is left running into the time limit.
        logInfo("menus", "room join refused: error %d", result);
        h->roomJoinState = -1;
        h->joinArmed = false;
        hideBusy();
        // A join picked from the list says only that it failed; a room asked for by
        // number at start-up says why, since the player never saw the room.
        showMessageById(requested >= 0 ? joinRefusedString(result) : kRefusedString);
        gameChoices().duelMatch = 0;
    }
}

void MultiPlayerMenuFrameOnline::updateJoin()
{
    NetworkGameHandler& h = *handler();
    if (joinDelay == 1)
        sendJoin();
    else if (joinDelay > 1)
        --joinDelay;
    h.update(frameDelta());
    if (h.roomJoinState == 0) {
        showListView();
        h.roomJoinState = -1;
        hideBusy();
        gameChoices().duelMatch = 0;
        returnToMultiplayer(joinRefusalString(h.client.refusal(), kLostString));
        return;
    }
    startJoinedGame(h);
}

void MultiPlayerMenuFrameOnline::onRoomEntry(const std::uint8_t* entry)
{
    if (!entry)
        return;
    const RoomEntry incoming(entry);
    MPServerMenuEntry* row = findRow(incoming.number());
    const bool acceptable = RoomEntry::acceptable(entry, loadedMapCount());
    if (row) {
        // A room that turned bad leaves the list rather than show what the game lacks.
        if (acceptable)
            row->refreshFrom(entry);
        else
            removeRow(row);
        rebuildFocusLinks();
        return;
    }
    if (!acceptable || rows().size() >= kMaxRows)
        return;
    const float a = ui();
    MenuPanel* list = content();
    const int h = std::max(static_cast<int>(200.0f * a), list->height - 2 * list->paddingY);
    auto* added = new MPServerMenuEntry(*this, entry, static_cast<int>(330.0f * a), std::min(h, static_cast<int>(470.0f * a)));
    logInfo("menus", "room listed: %s", incoming.name().c_str());
    list->placeItem(added);
    searchingLabel->visible = false;
    emptyNotice->visible = false;
    layout(0, 0);
    listDirty = true;
    rebuildFocusLinks();
}

void MultiPlayerMenuFrameOnline::onRoomLeft()
{
    onBack();
    showNoticeAlert();
}

void MultiPlayerMenuFrameOnline::onRoomError(const char* text)
{
    showMessage(toWideTemp(text ? text : ""));
}

void MultiPlayerMenuFrameOnline::onRoomInfo(const std::uint8_t* message, std::size_t length)
{
    waitingLabel->visible = false;
    std::array<RoomPlayerLine, kPlayerRows> lines;
    const int n = readRoomPlayers(message, length, lines);
    for (int i = 0; i < n; ++i) {
        RoomPlayer* row = playerRows[static_cast<std::size_t>(i)];
        const RoomPlayerLine& line = lines[static_cast<std::size_t>(i)];
        std::u16string wide = toWideTemp(line.name.c_str());
        row->name = std::u16string(truncateWide(wide.c_str(), 10)).substr(0, 63);
        row->rank = line.rank;
        row->visible = true;
    }
    playersList->scrollX = 0.0f;
    playersList->scrollY = 0.0f;
    playersList->layout(0, 0);
    const int most = selectedRoom ? selectedRoom->maxPlayers() : n;
    playersValue->setText(format("%d/%d", n, most));
    if (selectedRoom)
        selectedRoom->setPlayers(n);
    layout(0, 0);
}

void MultiPlayerMenuFrameOnline::onConnectFailed()
{
    if (NetworkGameHandler* h = handler())
        h->roomJoinState = -1;
    requestedRoom = -1;
    requestedPassword.clear();
    showListView();
    gameChoices().duelMatch = 0;
    returnToMultiplayer(kLostString);
}

void MultiPlayerMenuFrameOnline::onConnected()
{
    hideBusy();
    lastConnectQuick = quickMatch;
    if (requestedRoom >= 0) {
        // The room asked for from outside the game: joined without the list.
        logInfo("menus", "joining the requested room %d", requestedRoom);
        showListView();
        joinName.clear();
        selectedRoom = nullptr;
        showBusy(kJoiningString);
        joinDelay = 2;
    } else if (!quickMatch) {
        if (NetworkGameHandler* h = handler())
            h->sendRoomQueries();
    } else {
        showListView();
        joinName.clear();
        showBusy(kJoiningString);
    }
    quickMatch = false;
    rebuildFocusLinks();
    focusedItem = refreshButton;
}

void MultiPlayerMenuFrameOnline::openDetails(MPServerMenuEntry& row)
{
    selectedRoom = &row.room;
    selectedInfo = row.room.info();
    const RoomEntry& room = row.room;
    NetworkGameHandler* h = handler();
    if (h && h->roomJoinState != 0 && h->room.connected())
        h->room.requestRoomDetails(room.number());
    bracketIcon->frame = bracketFrame(row.bracket);

    const std::string name = room.name();
    std::array<char16_t, 256> title{};
    if (room.mode() == 13 && room.lastManOption())
        wideFormat(title.data(), title.size(), "%s - %w (%w)", name.c_str(), getStringByIndex(25),
                   getStringByIndex(kLastTeamString));
    else
        wideFormat(title.data(), title.size(), "%s - %w", name.c_str(),
                   getStringByIndex(mode_tile::nameString(room.mode())));
    roomTitle->setText(title.data());

    const int kind = room.planeKind(), value = room.planeValue();
    if (kind == 1) {
        const PlaneCfg* plane = planeWithId(value);
        if (!plane)
            plane = PlaneList::instance().at(0);
        planeLine->setText(formatString(kPlaneLineString, plane ? plane->shortname.c_str() : ""));
        planeLine->visible = true;
    } else if ((kind == 2 || kind == 3) && tierInRange(value)) {
        planeLine->setText(formatString(kind == 2 ? kOnlyTierString : kNoTierString, tierName(value)));
        planeLine->visible = true;
    } else {
        // No rule, or one this game cannot name: never the rule of the room looked at before.
        planeLine->visible = false;
    }

    if (room.minutesLeft() > 0)
        timeValue->setText(format("%d min", room.minutesLeft()));
    else if (room.timeLimit() != 0)
        timeValue->setText(format("%d min", room.timeLimit()));
    else
        timeValue->setText(u" ");
    const bool timed = room.mode() != 6 && room.mode() != 10 && room.mode() != 13;
    timeCaption->visible = timed;
    timeValue->visible = timed;
    bullets[1]->visible = timed;

    const int filter = room.modeFilter();
    const bool filtered = filter == 1 || filter == 2;
    if (filtered)
        filterValue->setText(getStringByIndex(filter == 1 ? kMissilesString : kGunsString) + u" ");
    filterCaption->visible = filtered;
    filterValue->visible = filtered;
    bullets[2]->visible = filtered;

    playersValue->setText(format("%d/%d", room.players(), room.maxPlayers()));
    for (RoomPlayer* player : playerRows)
        player->visible = false;

    if (const MapInfoCfg* map = MapLists::instance().skirmishMap(room.mapIndex())) {
        int set = map->menuSprite.empty() ? -1 : spriteSetByName(map->menuSprite);
        if (set < 0 || set >= kNamedSets)
            set = kMapSet;
        mapPicture->sprite = getSprite(set);
        mapPicture->frame = map->menuFrame;
        mapPicture->updateLabel();
        // The long name, in lines as wide as the picture.
        const std::u16string description = std::u16string(getStringById(map->description)).substr(0, SpriteLabel::kMaxText);
        std::array<char16_t, 1024> lines{};
        drawTextWrapped(getFont(1), description, static_cast<float>(mapPicture->width), lines);
        mapName->setText(lines.data());
        mapName->updateSize();
    }
    detailsWindow->layout(0, 0);
    waitingLabel->visible = true;
    detailsWindow->visible = true;
    detailsWindow->enabled = true;
    giveInputPriority(detailsWindow);
    content()->visible = false;
    content()->enabled = false;
    for (SpriteButton* button : {refreshButton, createButton, joinByNameButton}) {
        button->visible = false;
        button->enabled = false;
    }
    layout(0, 0);
    rebuildFocusLinks();
    focusedItem = joinArea;
    setMenuFocusedItem(joinArea);
}

void MultiPlayerMenuFrameOnline::joinShownRoom()
{
    showListView();
    focusedItem = nullptr;
    if (!selectedRoom)
        return;
    const RoomEntry& room = *selectedRoom;
    const Settings& s = settings();
    const PlaneList& planes = PlaneList::instance();
    const PlaneCfg* local = planes.findById(s.localPlaneId);
    const int kind = room.planeKind(), value = room.planeValue();
    // The room's plane filter says no: the reason is shown and the player stays.
    const auto refuse = [&](std::u16string_view reason) {
        logInfo("menus", "joining room %s refused by its plane filter %d:%d", room.name().c_str(), kind, value);
        showMessage(reason);
        rebuildFocusLinks();
    };
    if ((kind == 2 || kind == 3) && tierInRange(value) && local) {
        const bool sameTier = local->plane_tier == value;
        if (sameTier != (kind == 2)) {
            refuse(formatString(kWrongTierString, tierName(value)));
            return;
        }
    }
    if (kind == 1) {
        // A plane id no plane has would otherwise be checked as the first plane.
        const PlaneCfg* required = value < 0 || value > planes.count() ? nullptr : planeWithId(value);
        if (!required) {
            refuse(getStringByIndex(kUnknownPlaneString));
            return;
        }
        const char* shortName = required->shortname.c_str();
        if (!s.planeUnlockedAt(value)) {
            refuse(formatString(kLockedPlaneString, shortName));
            return;
        }
        if (!local || required->file != local->file) {
            refuse(formatString(kPlaneLineString, shortName));
            return;
        }
    }
    joinName.clear();
    showBusy(kJoiningString);
    joinDelay = 2;
    gameChoices().duelMatch = room.infoMaxPlayers() == 2 ? 1 : 0;
    rebuildFocusLinks();
}

void MultiPlayerMenuFrameOnline::openNameKeyboard()
{
    SpriteKeyboard::instance().openOver(this, *this, u"", static_cast<int>(kMaxJoinName));
}

void MultiPlayerMenuFrameOnline::onTextAccepted(std::u16string_view text)
{
    fullDraw = true;
    if (!text.empty()) {
        selectedInfo = nullptr;
        showListView();
        const std::u16string typed(text);
        joinName = std::string(toNarrowTemp(typed.c_str())).substr(0, kMaxJoinName);
        showBusy(kJoiningString);
        joinDelay = 2;
    }
    rebuildFocusLinks();
    focusedItem = refreshButton;
}

void MultiPlayerMenuFrameOnline::onTextCancelled(std::u16string_view)
{
    fullDraw = true;
    joinName.clear();
    rebuildFocusLinks();
    focusedItem = refreshButton;
}

IRoomEvents& MultiPlayerMenuFrameOnline::roomEvents()
{
    static PageRoomEvents events;
    return events;
}

std::function<void(int, int)>& MultiPlayerMenuFrameOnline::gameStarter()
{
    static std::function<void(int, int)> starter;
    return starter;
}

bool MultiPlayerMenuFrameOnline::startJoinedGame(NetworkGameHandler& h)
{
    const MatchTransport* transport = netGlobals().transport.get();
    if (!transport || !transport->connected() || h.client.state != NetworkGameClient::Loading)
        return false;
    const netmsg::JoinCompleteMsg& join = h.client.joinSetup();
    if (!playableJoin(join.gameType, join.mapIndex)) {
        // A host naming a map or a game this game lacks is left at once.
        h.disconnect();
        returnToMultiplayer(kLostString);
        return false;
    }
    h.roomJoinState = -1;
    if (gameStarter()) {
        gameStarter()(join.gameType, join.mapIndex);
        return true;
    }
    if (createNetworkGame(join.gameType, join.mapIndex, false, true, &h.client, gameScreen()) !=
        GameStartResult::Started) {
        h.disconnect();
        returnToMultiplayer(kLostString);
        return false;
    }
    return true;
}

bool MultiPlayerMenuFrameOnline::playableJoin(int gameType, int mapIndex)
{
    return RoomEntry::listedMode(gameType) && mapIndex >= 0 && mapIndex < MapLists::instance().countNonCampaign() &&
           MapLists::instance().skirmishMap(mapIndex) != nullptr;
}

int MultiPlayerMenuFrameOnline::roomNumberOf(const std::string& id)
{
    if (id.empty() || id.size() > 5 || id.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    const int number = std::stoi(id);
    return number <= 0xFFFF ? number : -1;
}

int MultiPlayerMenuFrameOnline::joinRefusedString(int errorCode)
{
    switch (errorCode) {
    case RoomClient::kNoSuchRoom: return kNoSuchRoomString;
    case RoomClient::kRoomFull: return kRoomFullString;
    case RoomClient::kWrongPassword: return kWrongPasswordString;
    default: return kRefusedString;
    }
}

void MultiPlayerMenuFrameOnline::joinRequestedRoom(const std::string& id, const std::string& password)
{
    clearFrameHistory();
    goToFrame(MenuFrameRegistry::mainMenu());
    const int number = roomNumberOf(id);
    if (number < 0) {
        logInfo("menus", "the requested room \"%s\" is no room number", id.c_str());
        showMessageById(kNoSuchRoomString);
        return;
    }
    if (frontendLinks().multiPlayer)
        goToFrame(frontendLinks().multiPlayer());
    MultiPlayerMenuFrameOnline* page = MenuFrameRegistry::onlineMenu();
    page->requestedRoom = number;
    page->requestedPassword = password;
    page->quickMatch = false;
    goToFrame(page);
}

void MultiPlayerMenuFrameOnline::returnToMultiplayer(int stringId)
{
    clearFrameHistory();
    goToFrame(MenuFrameRegistry::mainMenu());
    if (frontendLinks().multiPlayer)
        goToFrame(frontendLinks().multiPlayer());
    showMessageById(stringId);
}
