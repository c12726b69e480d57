#include "menus/ingame/CampaignFailMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/CampaignMenuFrame.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/ingame/InGameLinks.h"
#include "menus/ingame/PauseCampaignMenuFrame.h"
#include "modes/GameModeGlobals.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/SpriteSets.h"
#include "screens/GameScreen.h"
#include "screens/PauseScreen.h"
#include "screens/Screens.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

CampaignFailMenuFrame* MenuFrameRegistry::campaignFailMenu()
{
    return slot<CampaignFailMenuFrame>(Page::CampaignFail);
}

CampaignFailMenuFrame::CampaignFailMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const int W = m.screenWidth, u = pauseLineHeight();
    coverScreenAsOverlay(*this);

    // The banner runs half a margin past both edges; its middle carries the reason.
    const int margin = static_cast<int>(10 * m.uiScale);
    topPanel = new MenuPanel(kLayoutStacked, W, 7 * u / 2, nullptr);
    topPanel->anchorMode = kAnchorAbsolute;
    topPanel->fixedSize = true;
    topPanel->touchMode = kTouchInside;
    topPanel->clipMarginX = static_cast<float>(margin);
    banner = new ResizableLabel(u"");
    banner->sprite = getSprite(kSpriteSetMenus);
    banner->fontId = 2;
    banner->ninePart = true;
    banner->singleFrame = PauseCampaignMenuFrame::kListFrame;
    banner->anchorMode = kAnchorParent;
    banner->x = -margin / 2;
    banner->y = 7 * u / 4;
    banner->width = W + margin;
    banner->height = 3 * u / 2;
    topPanel->addItem(banner);
    headline = new SpriteLabel(1, kHeadlineString);
    headline->anchorMode = kAnchorParent;
    headline->alignment = kAlignCentreX | kAlignCentreY;
    headline->x = W / 2;
    headline->y = u;
    useOwnTextColor(*headline);
    topPanel->addItem(headline);
    reason = new SpriteLabel(0, kDefaultReasonString);
    reason->anchorMode = kAnchorParent;
    reason->alignment = kAlignCentreX | kAlignCentreY;
    reason->x = W / 2;
    reason->y = 5 * u / 2;
    useOwnTextColor(*reason);
    topPanel->addItem(reason);

    buttonRow = buildPauseButtonRow();
    backToCampaignButton = makePauseButton(kBackString);
    backToCampaignButton->onClick = [this] { onBackToCampaign(); };
    retryButton = makePauseButton(kRetryString);
    retryButton->onClick = [this] { onRetryCheckpoint(); };
    restartButton = makePauseButton(kRestartString);
    restartButton->onClick = [this] { onRestart(); };
    fillPauseButtonRow(*this, *buttonRow, {backToCampaignButton, retryButton, restartButton}, retryButton);
    addItem(topPanel);
    addItem(buttonRow);
    layout(0, 0);
}

void CampaignFailMenuFrame::setReason(int textId)
{
    reason->stringId = textId >= 1 ? textId : kDefaultReasonString;
    reason->text.clear();
    reason->updateSize();
    topPanel->layout(0, 0);
}

void CampaignFailMenuFrame::showOverGame(int textId)
{
    CampaignFailMenuFrame* page = MenuFrameRegistry::campaignFailMenu();
    if (!page)
        return;
    page->setReason(textId);
    page->onShow();
    pauseScreen().frame = page;
}

void CampaignFailMenuFrame::onShow()
{
    spreadPauseButtons(*buttonRow);
    layout(0, 0);
    focusedItem = retryButton;
    rebuildFocusLinks();
}

void CampaignFailMenuFrame::onBackToCampaign()
{
    closeOverlayScreen();
    showMenuScreen();
    clearFrameHistory();
    goToFrame(MenuFrameRegistry::mainMenu());
    goToFrame(MenuFrameRegistry::playMenu());
    goToFrame(MenuFrameRegistry::campaignMenu());
}

void CampaignFailMenuFrame::onRetryCheckpoint()
{
    closeOverlayScreen();
    setGamePaused(false);
    gameChoices().resume = 1;
    if (inGameLinks().startCampaignMission)
        inGameLinks().startCampaignMission();
}

void CampaignFailMenuFrame::onRestart()
{
    if (PauseCampaignMenuFrame* pause = MenuFrameRegistry::pauseCampaignMenu())
        pause->onRestart();
}
