#include "menus/multiplayer/MultiPlayerMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/FrontendLinks.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrameWIFI.h"
#include "menus/multiplayer/MultiPlayerServersMenuFrame.h"
#include "net/room/RoomClient.h"
#include "platform/FileHashList.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuAlert.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>

MultiPlayerMenuFrame* MenuFrameRegistry::multiPlayerMenu()
{
    return slot<MultiPlayerMenuFrame>(Page::MultiPlayer);
}

namespace {
constexpr int kPanelFrame = 95;
constexpr int kTextLeft = 158, kTextMiddle = 156, kTextRight = 157;

// The hash check reads every listed file: once a run is enough.
bool filesDifferFromList()
{
    static const bool modified = !verifyFileHashes();
    return modified;
}
}  // namespace

MultiPlayerMenuFrame::MultiPlayerMenuFrame(int titleString, int backString)
{
    dataFilesModified = filesDifferFromList;
    content()->visible = false;
    content()->enabled = false;
    titleLabel->stringId = titleString;
    titleLabel->updateSize();
    backButton()->labelStringId = backString;
    backButton()->updateLabel();

    buttonPanel = new MenuPanel(getSprite(kSpriteSetMenus), kPanelFrame, kLayoutList);
    buttonPanel->ninePatch = true;
    buttonPanel->anchorMode = kAnchorAbsolute;
    buttonPanel->touchMode = kTouchInside;
    buttonPanel->childAlignment = kChildCentre;
    addItem(buttonPanel);
}

MultiPlayerMenuFrame::MultiPlayerMenuFrame() : MultiPlayerMenuFrame(kTitleString, kBackString)
{
    lanButton = addPanelButton(kLanFrame, kLanString, [this] { onLan(); });
    onlineButton = addPanelButton(kOnlineFrame, kOnlineString, [this] { onOnline(); });

    serversButton = new ResizableButton(kServersString);
    serversButton->setup(kTextLeft, kTextMiddle, kTextRight, kButtonFont);
    serversButton->anchorMode = kAnchorAbsolute;
    serversButton->focusable = true;
    serversButton->onClick = [this] { onServers(); };
    addItem(serversButton);
    placePanel();
    focusedItem = lanButton;
}

SpriteButton* MultiPlayerMenuFrame::addPanelButton(int frame, int stringId, MenuAction action)
{
    return placePanelButton(new SpriteButton(kSpriteSetMenus, frame, kButtonFont, stringId), std::move(action));
}

SpriteButton* MultiPlayerMenuFrame::placePanelButton(SpriteButton* button, MenuAction action)
{
    button->labelAlignment = MenuItem::kAlignCentreX | MenuItem::kAlignBottom;
    button->focusable = true;
    button->onClick = std::move(action);
    button->updateLabel();
    buttonPanel->placeItem(button);
    return button;
}

void MultiPlayerMenuFrame::placePanel()
{
    const ScreenMetrics& m = screenMetrics();
    const int pad = static_cast<int>(16.0f * m.uiScale);
    int width = 0, height = pad;
    for (int i = 0; i < buttonPanel->itemCount(); ++i) {
        const MenuItem* item = buttonPanel->itemAt(i);
        width = std::max(width, item->width);
        height += item->height + pad;
    }
    buttonPanel->fixedSize = true;
    buttonPanel->paddingY = pad;
    buttonPanel->spacing = pad;
    buttonPanel->width = width + 2 * pad;
    buttonPanel->height = height;
    buttonPanel->x = (m.screenWidth - buttonPanel->width) / 2;
    titleLabel->layout(0, 0);
    const int top = titleLabel->absY + 2 * titleLabel->height;
    buttonPanel->y = std::max(top, (m.screenHeight - buttonPanel->height) / 2);
    if (serversButton) {
        serversButton->updateLabel();
        serversButton->x = (m.screenWidth - serversButton->width) / 2;
        serversButton->y = buttonPanel->y + buttonPanel->height + pad;
    }
    giveInputPriority(backButton());
    bringToFront(backButton());
    layout(0, 0);
}

void MultiPlayerMenuFrame::onShow()
{
    titleLabel->updateSize();
    SceneMenuFrame::onShow();
    // Everything online waits for the room browser's link.
    const bool online = static_cast<bool>(frontendLinks().onlineRooms);
    for (int i = 0; i < buttonPanel->itemCount(); ++i)
        if (auto* button = dynamic_cast<SpriteButton*>(buttonPanel->itemAt(i)); button && button != lanButton)
            setButtonAvailable(*button, online);
    if (serversButton) {
        // The text button has no greyed look: it is left out instead.
        setButtonAvailable(*serversButton, online);
        serversButton->visible = online;
    }
    placePanel();
    rebuildConnectorLines();
    rebuildFocusLinks();
}

void MultiPlayerMenuFrame::onBack()
{
    goToFrame(MenuFrameRegistry::mainMenu());
}

bool MultiPlayerMenuFrame::onEscape()
{
    onBack();
    return true;
}

void MultiPlayerMenuFrame::rebuildConnectorLines()
{
    FilledMenuFrame::rebuildConnectorLines();
    const int midY = titleLabel->absY + titleLabel->height / 2;
    const int left = titleLabel->absX, right = titleLabel->absX + titleLabel->width;
    const int panelLeft = buttonPanel->absX, panelRight = buttonPanel->absX + buttonPanel->width;
    const int top = buttonPanel->absY;
    connectorLines.push_back({left, midY, panelLeft + (left - panelLeft) / 2, top, true, 0});
    connectorLines.push_back({right, midY, panelRight - (panelRight - right) / 2, top, true, 0});
}

void MultiPlayerMenuFrame::onLan()
{
    goToFrame(MenuFrameRegistry::wifiMenu());
}

void MultiPlayerMenuFrame::onOnline()
{
    if (dataFilesModified && dataFilesModified()) {
        showAlert(getStringByIndex(kModifiedDataString), {});
        return;
    }
    RoomClient::fixedServer = -1;
    if (frontendLinks().onlineRooms)
        goToFrame(frontendLinks().onlineRooms());
}

void MultiPlayerMenuFrame::onServers()
{
    goToFrame(MenuFrameRegistry::multiPlayerServersMenu());
}
