#include "menus/ingame/MPServerDisconnectMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/FrontendLinks.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/ingame/GameResultMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrameWIFI.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/GameType.h"
#include "net/match/NetworkGameHandler.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/SpriteSets.h"
#include "screens/MenuScreen.h"
#include "screens/PauseScreen.h"
#include "screens/Screens.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteKeyboard.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>

MPServerDisconnectMenuFrame* MenuFrameRegistry::mpServerDisconnectMenu()
{
    return slot<MPServerDisconnectMenuFrame>(Page::MPServerDisconnect);
}

namespace {
constexpr int kPanelFrame = 96;
}

MPServerDisconnectMenuFrame::MPServerDisconnectMenuFrame()
{
    showMenuScreen = [] {
        if (currentScreen() != &menuScreen())
            setCurrentScreen(&menuScreen());
    };
    onlineRooms = [] { return frontendLinks().onlineRooms ? frontendLinks().onlineRooms() : nullptr; };
    gameResult = [] { return static_cast<MenuFrame*>(MenuFrameRegistry::gameResultMenu()); };
    content()->visible = false;
    content()->enabled = false;
    titleLabel->visible = false;
    backButton()->visible = false;
    backButton()->enabled = false;

    panel = new MenuPanel(getSprite(kSpriteSetMenus), kPanelFrame, kLayoutStacked);
    panel->ninePatch = true;
    panel->fixedSize = true;
    panel->anchorMode = kAnchorAbsolute;
    panel->touchMode = kTouchInside;
    noticeTitle = new SpriteLabel(2, kTitleString);
    noticeTitle->alignment = kAlignCentreX | kAlignTop;
    text = new SpriteLabel(1, kTextString);
    text->alignment = kAlignCentreX | kAlignCentreY;
    okButton = new ResizableButton(kOkString);
    okButton->setup(158, 156, 157, 2);
    okButton->focusable = true;
    okButton->onClick = [this] { onOk(); };
    panel->addItem(noticeTitle);
    panel->addItem(text);
    panel->addItem(okButton);
    addItem(panel);
    focusedItem = okButton;
}

void MPServerDisconnectMenuFrame::onShow()
{
    SpriteKeyboard::instance().hide();
    const ScreenMetrics& m = screenMetrics();
    const int margin = static_cast<int>(24.0f * m.uiScale);
    noticeTitle->updateSize();
    text->updateSize();
    okButton->updateLabel();
    panel->width = std::max({m.screenWidth / 2, text->width + 2 * margin, noticeTitle->width + 2 * margin});
    panel->height = noticeTitle->height + text->height + okButton->height + 4 * margin;
    panel->x = (m.screenWidth - panel->width) / 2;
    panel->y = (m.screenHeight - panel->height) / 2;
    noticeTitle->x = panel->width / 2;
    noticeTitle->y = margin;
    text->x = panel->width / 2;
    text->y = noticeTitle->y + noticeTitle->height + margin + text->height / 2;
    okButton->x = (panel->width - okButton->width) / 2;
    okButton->y = panel->height - okButton->height - margin;
    layout(0, 0);
    focusedItem = okButton;
    rebuildFocusLinks();
}

void MPServerDisconnectMenuFrame::onOk()
{
    GameMode* mode = modeOf(currentMatch());
    const bool network = mode && (mode->isNetworkClient() || mode->isNetworkServer());
    const bool online = mode && mode->isOnline();
    NetworkGameHandler* handler = NetworkGameHandler::instance();
    if (mode && mode->isNetworkClient() && handler)
        handler->disconnect();
    if (mode)
        mode->leaveNetworkGame();
    const bool freeFlight = mode && mode->gameType() == GameType::FreeFlight;
    // The result page leads back into the menus its own way; free flight
    // goes straight to the list it came from.
    MenuFrame* result = !freeFlight && gameResult ? gameResult() : nullptr;
    if (result) {
        clearFrameHistory();
        goToFrame(result);
        return;
    }
    dropOverlayScreens();
    if (showMenuScreen)
        showMenuScreen();
    clearFrameHistory();
    goToFrame(MenuFrameRegistry::mainMenu());
    if (network) {
        goToFrame(MenuFrameRegistry::multiPlayerMenu());
        MenuFrame* list = online ? (onlineRooms ? onlineRooms() : nullptr) : MenuFrameRegistry::wifiMenu();
        if (list)
            goToFrame(list);
    } else {
        goToFrame(MenuFrameRegistry::playMenu());
    }
    pauseScreen().frame = nullptr;
}
