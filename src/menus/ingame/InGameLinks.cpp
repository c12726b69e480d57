#include "menus/ingame/InGameLinks.h"

#include "menus/frontend/PlayMenuFrame.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/GameType.h"
#include "modes/MatchReport.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CFont.h"
#include "render/2d/SpriteSets.h"
#include "screens/GameScreen.h"
#include "screens/GameStart.h"
#include "screens/Screens.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

namespace {
constexpr int kTutorialType = static_cast<int>(GameType::Tutorial);
// The tutorials' content lies on the tutorial map, whichever road starts them.
constexpr int kTutorialMap = 1;
constexpr int kBannerFrame = 95;
constexpr int kButtonLeft = 158, kButtonMiddle = 156, kButtonRight = 157;
constexpr int kButtonFont = 2;
constexpr float kButtonMargin = 2.0f;

void startCurrentMission()
{
    const GameChoices& choices = gameChoices();
    int campaign = choices.currentCampaign, mission = choices.selectedMission, difficulty = choices.nextDifficulty;
    // The mission being flown, whatever road started it.
    if (const GameMode* flown = currentGameMode()) {
        const MatchReport match = flown->report();
        if (match.campaign && match.campaign->campaign >= 0) {
            campaign = match.campaign->campaign;
            mission = match.campaign->mission;
            difficulty = match.difficulty;
        }
    }
    const GameStartResult result = startCampaignMission(campaign, mission, gameScreen(), difficulty, choices.resume);
    logInfo("menus", "mission %d of campaign %d again (checkpoint %d): result %d", mission, campaign, choices.resume,
            static_cast<int>(result));
}

void startTutorialOnItsMap(int index)
{
    settings().skirmishType = kTutorialType;
    mapChoice().selectedMap = kTutorialMap;
    const GameStartResult result = createGame(kTutorialType, false, kTutorialMap, gameScreen(), index);
    logInfo("menus", "tutorial %d start: result %d", index, static_cast<int>(result));
}
}  // namespace

InGameLinks& inGameLinks()
{
    static InGameLinks links = [] {
        InGameLinks made;
        made.startCampaignMission = startCurrentMission;
        made.startTutorial = startTutorialOnItsMap;
        return made;
    }();
    return links;
}

void resetInGameLinks()
{
    InGameLinks& links = inGameLinks();
    links.startCampaignMission = startCurrentMission;
    links.startTutorial = startTutorialOnItsMap;
}

void resumeGame()
{
    closeOverlayScreen();
    setGamePaused(false);
}

void showMenuScreen()
{
    setCurrentScreen(menuScreenToLoad());
}

void useOwnTextColor(SpriteLabel& label)
{
    label.useTextColor = true;
    label.textColor = kDefaultTextColor;
}

int pauseLineHeight()
{
    const CFont* font = getFont(1);
    const float line = font ? font->lineHeight() : 20.0f * screenMetrics().uiScale;
    return std::max(1, static_cast<int>(line));
}

MenuPanel* buildPauseTopBar(int titleStringId, SpriteLabel** titleOut, ResizableLabel** bannerOut)
{
    const ScreenMetrics& m = screenMetrics();
    const int W = m.screenWidth, L = pauseLineHeight();
    auto* bar = new MenuPanel(MenuContainer::kLayoutStacked, W, 3 * L + L / 2, nullptr);
    bar->anchorMode = MenuItem::kAnchorAbsolute;
    bar->fixedSize = true;
    bar->touchMode = MenuContainer::kTouchInside;
    bar->clipMarginX = static_cast<float>(W);   // the banner runs past both edges

    auto* banner = new ResizableLabel(u"");
    banner->sprite = getSprite(kSpriteSetMenus);
    banner->fontId = 2;
    banner->ninePart = true;
    banner->singleFrame = kBannerFrame;
    banner->anchorMode = MenuItem::kAnchorParent;
    banner->alignment = MenuItem::kAlignLeft | MenuItem::kAlignTop;
    banner->x = -(W / 2) / 2;
    banner->y = 5 * L / 2 - 3 * L / 4;
    banner->width = W + W / 2;
    banner->height = 3 * L / 2;
    bar->addItem(banner);

    auto* title = new SpriteLabel(1, titleStringId);
    title->anchorMode = MenuItem::kAnchorParent;
    title->alignment = MenuItem::kAlignCentreX | MenuItem::kAlignCentreY;
    title->x = W / 2;
    title->y = L;
    useOwnTextColor(*title);
    bar->addItem(title);
    if (titleOut)
        *titleOut = title;
    if (bannerOut)
        *bannerOut = banner;
    return bar;
}

ResizableButton* makePauseButton(int stringId)
{
    auto* button = new ResizableButton(stringId);
    button->setup(kButtonLeft, kButtonMiddle, kButtonRight, kButtonFont);
    button->alignment = MenuItem::kAlignLeft | MenuItem::kAlignTop;
    button->focusable = true;
    return button;
}

MenuPanel* buildPauseButtonRow()
{
    const ScreenMetrics& m = screenMetrics();
    auto* row = new MenuPanel(MenuContainer::kLayoutRow, m.screenWidth, 0, nullptr);
    row->anchorMode = MenuItem::kAnchorAbsolute;
    row->alignment = MenuItem::kAlignLeft | MenuItem::kAlignBottom;
    row->fixedSize = true;
    row->touchMode = MenuContainer::kTouchInside;
    row->x = 0;
    row->y = m.screenHeight;
    return row;
}

void spreadPauseButtons(MenuPanel& row)
{
    const float s = screenMetrics().uiScale;
    int buttons = 0, tallest = 0;
    for (const MenuItem* item : row.drawList())
        if (item && item->visible) {
            ++buttons;
            tallest = std::max(tallest, item->height);
        }
    const int margin = static_cast<int>(kButtonMargin * s);
    row.height = tallest + 2 * margin;
    row.paddingY = margin;
    row.spacing = 0;
    row.paddingX = 0;
    row.layout(0, 0);
    // The gap rounded to the nearest pixel and what is left split between
    // both ends: no end gap is more than two pixels off the others.
    const int room = std::max(0, row.width - row.contentWidth);
    const int gap = (room + (buttons + 1) / 2) / (buttons + 1);
    row.spacing = gap;
    row.paddingX = std::max(0, (room - (buttons - 1) * gap) / 2);
    row.layout(0, 0);
}

void coverScreenAsOverlay(FilledMenuFrame& page)
{
    const ScreenMetrics& m = screenMetrics();
    page.backButton()->visible = false;
    page.backButton()->enabled = false;
    page.titleLabel->visible = false;
    page.titleLabel->enabled = false;
    page.titleLabel->stringId = -1;
    page.titleLabel->text.clear();
    page.content()->visible = false;
    page.content()->enabled = false;
    page.anchorMode = MenuItem::kAnchorAbsolute;
    page.x = page.y = 0;
    page.width = m.screenWidth;
    page.height = m.screenHeight;
}

void fillPauseButtonRow(FilledMenuFrame& page, MenuPanel& row, std::initializer_list<ResizableButton*> buttons,
                        ResizableButton* focus)
{
    for (ResizableButton* button : buttons)
        row.placeItem(button);
    page.focusedItem = focus;
    spreadPauseButtons(row);
}

void refreshPausePage(MenuFrame& page, MenuPanel& row, MenuItem* focus)
{
    spreadPauseButtons(row);
    page.layout(0, 0);
    page.layout(0, 0);
    page.focusedItem = focus;
    page.rebuildFocusLinks();
}
