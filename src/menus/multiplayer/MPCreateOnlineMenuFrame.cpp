#include "menus/multiplayer/MPCreateOnlineMenuFrame.h"

#include "gamedata/records/MapLists.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/MenuPages.h"
#include "menus/frontend/GameSetupMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/multiplayer/MPOnlineFiltersMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrameOnline.h"
#include "modes/GameModeGlobals.h"
#include "net/match/NetworkGame.h"
#include "net/match/NetworkGameHandler.h"
#include "platform/Clock.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "platform/Text.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteEditBox.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <mutex>

MPCreateOnlineMenuFrame* MenuFrameRegistry::mpCreateOnlineMenu()
{
    return slot<MPCreateOnlineMenuFrame>(Page::MPCreateOnline);
}

namespace {
struct ModeButton {
    int frame, stringId, type;
};
// Left: survival, free-for-all, free flight; right: the team games; below: last man standing.
constexpr ModeButton kModes[7] = {{37, 881, 6}, {36, 26, 2}, {44, 888, 10}, {33, 48, 3},
                                  {29, 17, 4},  {35, 21, 5}, {55, 25, 13}};
constexpr float kModeScale = 0.75f;

SpriteCheckbox* optionBox(int stringId, bool checked)
{
    auto* box = new SpriteCheckbox(stringId, SpriteCheckbox::kFrameOn, SpriteCheckbox::kFrameOff, false);
    box->checked = checked;
    box->focusable = true;
    box->updateLayout();
    return box;
}
}  // namespace

MPCreateOnlineMenuFrame::MPCreateOnlineMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    const auto s = [a](float v) { return static_cast<int>(v * a); };
    useOwnLayout(*this, kTitleString, kBackString);
    titleLabel->layout(0, 0);
    const int top = titleLabel->absY + titleLabel->height;

    nameBox = new SpriteEditBox(settings().defaultRoomName, nullptr);
    nameBox->anchorMode = kAnchorAbsolute;
    nameBox->alignment = kAlignCentreX | kAlignTop;
    nameBox->x = m.screenWidth / 2;
    nameBox->y = top + s(20.0f);
    nameBox->focusable = true;
    nameBox->ownerFrame = this;
    nameBox->updateLayout();
    addItem(nameBox);

    optionsRow = new MenuPanel(kLayoutRow);
    optionsRow->anchorMode = kAnchorAbsolute;
    optionsRow->alignment = kAlignCentreX | kAlignTop;
    optionsRow->touchMode = kTouchInside;
    optionsRow->spacing = s(40.0f);
    privateBox = optionBox(kPrivateString, false);
    teamBox = optionBox(kTeamString, true);
    auto* filters = new ResizableButton(kFiltersString);
    filters->setup(158, 156, 157, 2);
    filters->updateLabel();
    filtersButton = filters;
    filtersButton->focusable = true;
    filtersButton->onClick = [] { goToFrame(MenuFrameRegistry::mpOnlineFiltersMenu()); };
    int rowWidth = 0, rowHeight = 0;
    for (MenuItem* item : std::initializer_list<MenuItem*>{privateBox, teamBox, filtersButton}) {
        optionsRow->placeItem(item);
        rowWidth += item->width + optionsRow->spacing;
        rowHeight = std::max(rowHeight, item->height);
    }
    optionsRow->fixedSize = true;
    optionsRow->width = rowWidth - optionsRow->spacing;
    optionsRow->height = rowHeight;
    optionsRow->x = m.screenWidth / 2;
    optionsRow->y = nameBox->y + nameBox->height + s(24.0f);
    addItem(optionsRow);

    // The game types: three a side and last man standing under the middle,
    // the three rows fitted between the options and the screen's foot.
    const int columnTop = optionsRow->y + optionsRow->height + s(24.0f);
    const int room = m.screenHeight - columnTop - s(10.0f);
    int buttonH = 0;
    for (int i = 0; i < 7; ++i) {
        const ModeButton& mode = kModes[i];
        SpriteButton* button = PlayMenuFrame::makeButton(mode.frame, mode.stringId, kModeScale, nullptr);
        button->anchorMode = kAnchorAbsolute;
        button->alignment = kAlignCentreX | kAlignTop;
        const int type = mode.type;
        if (type == 6)
            button->onClick = [this] { onSurvival(); };
        else if (type == 10)
            button->onClick = [] { openFreeFlightSetup(); };
        else if (type == 13)
            button->onClick = [this] { onMode13(); };
        else
            button->onClick = [this, type] { onMode(type); };
        modeButtons[static_cast<std::size_t>(i)] = button;
        buttonH = std::max(buttonH, button->height);
    }
    int rowGap = s(30.0f);
    const int minGap = s(8.0f);
    if (3 * buttonH + 2 * rowGap > room) {
        rowGap = std::max(minGap, (room - 3 * buttonH) / 2);
        if (3 * buttonH + 2 * rowGap > room && buttonH > 0) {
            // Still too tall: the buttons shrink, their names with them.
            const float shrink = static_cast<float>(room - 2 * rowGap) / static_cast<float>(3 * buttonH);
            for (SpriteButton* button : modeButtons) {
                button->scale *= shrink;
                button->updateLabel();
            }
            buttonH = static_cast<int>(static_cast<float>(buttonH) * shrink);
        }
    }
    for (int i = 0; i < 7; ++i) {
        SpriteButton* button = modeButtons[static_cast<std::size_t>(i)];
        const int column = i < 3 ? 0 : (i < 6 ? 2 : 1);
        const int row = i < 6 ? i % 3 : 1;
        button->x = m.screenWidth * (1 + 2 * column) / 6;
        button->y = columnTop + row * (buttonH + rowGap);
        addItem(button);
    }

    busyOverlay = buildBusyOverlay(kCreatingString, &busyLabel);
    addItem(busyOverlay);

    giveInputPriority(backButton());
    bringToFront(backButton());
    layout(0, 0);
    focusedItem = modeButtons[1];
}

void MPCreateOnlineMenuFrame::showBusy(int stringId)
{
    showBusyOverlay(*this, *busyOverlay, *busyLabel, stringId);
}

void MPCreateOnlineMenuFrame::onShow()
{
    FilledMenuFrame::onShow();
    busyOverlay->visible = false;
    busyOverlay->enabled = false;
    GameSetupMenuFrame* setup = MenuFrameRegistry::gameSetupMenu();
    setup->backButton()->labelStringId = kSetupBackString;
    setup->backButton()->updateLabel();
    setup->startHandler = [this] { hostGame(); };
    setup->showModeChoice(true);
    nameBox->setText(settings().defaultRoomName);
    teamBox->labelStringId = kTeamString;
    teamBox->updateLayout();
    optionsRow->x = screenMetrics().screenWidth / 2;
    layout(0, 0);
    layout(0, 0);
    rebuildFocusLinks();
}

void MPCreateOnlineMenuFrame::onHide()
{
    // The saved name holds 63 units; the box takes more.
    settings().defaultRoomName = nameBox->text().substr(0, kMaxStoredName);
    settings().save();
    FilledMenuFrame::onHide();
}

void MPCreateOnlineMenuFrame::onMode(int type)
{
    settings().skirmishType = type;
    goToFrame(MenuFrameRegistry::gameSetupMenu());
}

void MPCreateOnlineMenuFrame::onMode13()
{
    settings().skirmishType = 13;
    GameSetupMenuFrame* setup = MenuFrameRegistry::gameSetupMenu();
    setup->showOptionRows(false);
    goToFrame(setup);
}

void MPCreateOnlineMenuFrame::onSurvival()
{
    MenuFrameRegistry::gameSetupMenu()->startSurvival();
}

void MPCreateOnlineMenuFrame::hostGame()
{
    GameSetupMenuFrame* setup = MenuFrameRegistry::gameSetupMenu();
    if (currentFrame() == setup)
        goBack();
    showBusy(kCreatingString);
    Settings& s = settings();
    info.bytes.fill(0);

    int map = s.skirmishMap;
    if (map < 0) {
        onlineRotation = (onlineRotation + 1) % std::max(1, MapLists::instance().countNonCampaign());
        map = onlineRotation;
    }
    mapChoice().selectedMap = map;

    int type = s.skirmishType;
    const bool teamless = type == 2 || type == 6 || type == 10;
    const int team = teamless ? 0 : (teamBox->visible && teamBox->checked ? 1 : 0);
    int most = type == 6 ? 4 : 8;
    int scoreValue = 0;
    gameChoices().duelMatch = type == 12 ? 1 : 0;
    if (type == 12) {
        type = 3;
        most = 2;
        scoreValue = 3;
    }

    MPOnlineFiltersMenuFrame* filters = MenuFrameRegistry::mpOnlineFiltersMenu();
    std::uint32_t filterWord = 0;
    int planeKind = 0, planeValue = 0;
    if (filters) {
        filters->readFilters();
        filterWord = static_cast<std::uint32_t>(filters->modeFilter) & 0xFFu;
        planeKind = filters->planeFilterKind;
        planeValue = filters->planeFilterValue;
    }
    if (type == 13 && setup->onlineOption && setup->onlineOption->checked)
        filterWord |= 0x100u;

    // The host entry that the match set-up copies into the type's entry.
    const std::size_t host = Settings::kEntryHost * Settings::kEntryWords;
    s.skirmishConfig[host + 0] = static_cast<std::uint32_t>(s.skirmishOption);
    s.skirmishConfig[host + 1] = static_cast<std::uint32_t>(scoreValue);
    s.skirmishConfig[host + 2] = static_cast<std::uint32_t>(most);
    s.skirmishConfig[host + 5] = static_cast<std::uint32_t>(team);
    // The network match's option word, as the room describes it.
    s.skirmishConfig[Settings::kWeaponRuleWord] = filterWord;
    const std::uint32_t respawn = s.skirmishConfig[host + 3];

    roomName = nameBox->text();
    info.setName(roomName);
    info.bytes[ServerInfo::GameType] = static_cast<std::uint8_t>(type);
    info.bytes[ServerInfo::MapIndex] = static_cast<std::uint8_t>(map);
    info.bytes[ServerInfo::MaxPlayers] = static_cast<std::uint8_t>(most);
    info.bytes[ServerInfo::ScoreLimit] = static_cast<std::uint8_t>(scoreValue);
    info.bytes[ServerInfo::PlayerCount] = 1;
    info.bytes[ServerInfo::MatchMinutes] = static_cast<std::uint8_t>(s.skirmishOption);
    info.bytes[ServerInfo::RespawnDelay] = static_cast<std::uint8_t>(respawn);
    info.setU32(ServerInfo::FilterKind, static_cast<std::uint32_t>(planeKind));
    info.setU32(ServerInfo::FilterValue, static_cast<std::uint32_t>(planeValue));
    info.bytes[ServerInfo::TeamFlag] = static_cast<std::uint8_t>(team);
    info.setU32(ServerInfo::OptionFlags, filterWord);
    info.setU32(ServerInfo::FourthValue, respawn);
    info.setU32(ServerInfo::Marker1, kMarker1);
    info.setU32(ServerInfo::Marker2, kMarker2);
    {
        NetworkGlobals& g = netGlobals();
        std::lock_guard lock(g.eventLock);
        g.serverInfo = info;
    }
    s.defaultRoomName = roomName.substr(0, kMaxStoredName);
    s.setModeOptionPair(type);
    createDelay = 3;
}

void MPCreateOnlineMenuFrame::update()
{
    NetworkGameHandler* h = NetworkGameHandler::instance();
    if (createDelay > 1 && --createDelay == 1) {
        if (h) {
            h->roomJoinTimer = 0.0f;
            h->roomJoinState = 2;
            h->joinArmed = true;
            // A refusal is not told here: the handler's time limit ends the wait.
            (void)h->room.createRoom(info.bytes.data(), info.bytes[ServerInfo::MaxPlayers],
                                     privateBox->checked ? 1 : 0, toNarrowTemp(info.name().c_str()));
        }
        showBusy(kCreatingString);
        createDelay = 0;
    }
    FilledMenuFrame::update();
    if (!h)
        return;
    h->update(frameDelta());
    if (h->roomJoinState == 0) {
        h->roomJoinState = -1;
        busyOverlay->visible = false;
        busyOverlay->enabled = false;
        MultiPlayerMenuFrameOnline::returnToMultiplayer(kLostString);
        return;
    }
    MultiPlayerMenuFrameOnline::startJoinedGame(*h);
}
