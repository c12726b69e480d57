#include "menus/ingame/TutorialWinMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/CampaignMenuFrame.h"
#include "menus/frontend/MainMenuFrame.h"
#include "menus/frontend/PlayMenuFrame.h"
#include "menus/frontend/TutorialListMenuFrame.h"
#include "menus/ingame/InGameLinks.h"
#include "modes/GameModeGlobals.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/SpriteSets.h"
#include "screens/GameScreen.h"
#include "screens/Screens.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

TutorialWinMenuFrame* MenuFrameRegistry::tutorialWinMenu()
{
    return slot<TutorialWinMenuFrame>(Page::TutorialWin);
}

namespace {
MenuPanel* newBand(int w, int h)
{
    auto* band = new MenuPanel(getSprite(kSpriteSetMenus), TutorialWinMenuFrame::kPanelFrame, MenuContainer::kLayoutStacked);
    band->ninePatch = true;
    band->fixedSize = true;
    band->anchorMode = MenuItem::kAnchorAbsolute;
    band->touchMode = MenuContainer::kTouchInside;
    band->width = w;
    band->height = h;
    return band;
}
}  // namespace

TutorialWinMenuFrame::TutorialWinMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const int W = m.screenWidth, H = m.screenHeight;
    anchorMode = kAnchorAbsolute;
    x = y = 0;
    width = W;
    height = H;
    if (backButton()) {
        backButton()->visible = false;
        backButton()->enabled = false;
    }

    topPanel = newBand(W, static_cast<int>(100 * s));
    topPanel->x = 0;
    topPanel->y = 0;
    bottomPanel = newBand(W, static_cast<int>(70 * s));
    bottomPanel->alignment = kAlignLeft | kAlignBottom;
    bottomPanel->x = 0;
    bottomPanel->y = H;

    nextButton = new SpriteButton(-1, -1, 1, kNextStringBase);
    nextButton->anchorMode = kAnchorParent;
    nextButton->alignment = kAlignRight | kAlignCentreY;
    nextButton->x = W - static_cast<int>(40 * s);
    nextButton->y = bottomPanel->height / 2;
    nextButton->focusable = true;
    nextButton->onClick = [this] { nextTutorial(); };
    backToMenusButton = new SpriteButton(-1, -1, 1, kBackString);
    backToMenusButton->anchorMode = kAnchorParent;
    backToMenusButton->alignment = kAlignLeft | kAlignCentreY;
    backToMenusButton->x = static_cast<int>(40 * s);
    backToMenusButton->y = bottomPanel->height / 2;
    backToMenusButton->focusable = true;
    backToMenusButton->onClick = [this] { backToMenus(); };
    bottomPanel->addItem(nextButton);
    bottomPanel->addItem(backToMenusButton);

    titleText = new SpriteLabel(1, kTitleString);
    titleText->anchorMode = kAnchorParent;
    titleText->alignment = kAlignCentreX | kAlignTop;
    titleText->x = W / 2;
    titleText->y = static_cast<int>(20 * s);
    doneText = new SpriteLabel(1, kDoneString);
    doneText->anchorMode = kAnchorParent;
    doneText->alignment = kAlignCentreX | kAlignTop;
    doneText->x = W / 2;
    doneText->y = static_cast<int>(60 * s);
    useOwnTextColor(*titleText);
    useOwnTextColor(*doneText);
    topPanel->addItem(titleText);
    topPanel->addItem(doneText);

    bottomPanel->giveInputPriority(nextButton);
    addItem(topPanel);
    addItem(bottomPanel);
    focusedItem = nextButton;
    layout(0, 0);
}

void TutorialWinMenuFrame::onShow()
{
    const int index = tutorialIndex();
    nextButton->visible = index < kTutorialCount;
    nextButton->enabled = nextButton->visible;
    if (nextButton->visible) {
        // Past the lessons with a text of their own the button only says OK.
        nextButton->labelStringId = index >= 0 && index < kLastTutorial ? kNextStringBase + index : kNextFallbackString;
        nextButton->updateLabel();
    }
    layout(0, 0);
    focusedItem = nextButton->visible ? nextButton : backToMenusButton;
    rebuildFocusLinks();
}

void TutorialWinMenuFrame::update()
{
    // The page waits for the player: moving on by itself at the first update
    // would start the next lesson before the finished one was ever seen.
    MenuContainer::update();
}

int TutorialWinMenuFrame::followingTutorial(int index)
{
    if (index < 0 || index >= kLastTutorial)
        return -1;
    // The arcade lesson is never entered by the chain.
    const int next = index + 1;
    return next == 1 ? 2 : next;
}

void TutorialWinMenuFrame::nextTutorial()
{
    const int next = followingTutorial(tutorialIndex());
    if (next < 0) {
        backToMenus();
        return;
    }
    closeOverlayScreen();
    tutorialIndex() = next;
    if (inGameLinks().startTutorial)
        inGameLinks().startTutorial(next);
}

void TutorialWinMenuFrame::backToMenus()
{
    const bool toList = tutorialIndex() < kLastTutorial;
    closeOverlayScreen();
    clearFrameHistory();
    MainMenuFrame* main = MenuFrameRegistry::mainMenu();
    goToFrame(main);
    if (main)
        main->onShow();
    goToFrame(MenuFrameRegistry::playMenu());
    if (toList)
        goToFrame(MenuFrameRegistry::tutorialListMenu());
    else
        goToFrame(MenuFrameRegistry::campaignMenu());
    showMenuScreen();
}
