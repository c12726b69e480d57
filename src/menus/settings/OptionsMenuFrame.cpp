#include "menus/settings/OptionsMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/CreditsMenuFrame.h"
#include "menus/frontend/FrontendLinks.h"
#include "menus/frontend/HowToPlayMenuFrame.h"
#include "menus/settings/AudioMenuFrame.h"
#include "menus/settings/ControlsMenuFrame.h"
#include "menus/settings/GraphicsSettingsMenuFrame.h"
#include "menus/settings/LanguageMenuFrame.h"
#include "menus/settings/OtherGameSettingsMenuFrame.h"
#include "menus/MenuPages.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>

namespace {
constexpr int kLanguageFrame = 46, kControlsFrame = 47, kOtherFrame = 266, kAudioFrame = 52;
constexpr int kCreditsFrame = 53, kHowToPlayFrame = 45, kCustomChatFrame = 49, kGraphicsFrame = 48;
constexpr int kLanguageString = 80, kControlsString = 19, kOtherString = 401, kAudioString = 8;
constexpr int kCreditsString = 20, kHowToPlayString = 30, kCustomChatString = 876, kGraphicsString = 43;
constexpr int kRowFrame = 95;
}  // namespace

OptionsMenuFrame* MenuFrameRegistry::optionsMenu()
{
    return slot<OptionsMenuFrame>(Page::Options);
}

OptionsMenuFrame::OptionsMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const int gap = static_cast<int>(35.0f * m.uiScale), edge = static_cast<int>(25.0f * m.uiScale);
    content()->visible = false;
    content()->enabled = false;
    CSprite* art = getSprite(kSpriteSetMenus);
    auto row = [&] {
        auto* panel = new MenuPanel(art, kRowFrame, kLayoutRow);
        panel->ninePatch = true;
        panel->fixedSize = true;
        panel->anchorMode = kAnchorAbsolute;
        panel->alignment = 0x0A;
        panel->touchMode = kTouchInside;
        panel->spacing = gap;
        panel->paddingX = gap;
        panel->paddingY = edge;
        return panel;
    };
    topRow = row();
    lowerLeftRow = row();
    lowerRightRow = row();
    languageButton = makeButton(*topRow, kLanguageFrame, kLanguageString, true);
    controlsButton = makeButton(*topRow, kControlsFrame, kControlsString, true);
    otherButton = makeButton(*topRow, kOtherFrame, kOtherString, true);
    audioButton = makeButton(*topRow, kAudioFrame, kAudioString, true);
    creditsButton = makeButton(*lowerLeftRow, kCreditsFrame, kCreditsString, true);
    howToPlayButton = makeButton(*lowerLeftRow, kHowToPlayFrame, kHowToPlayString, true);
    customChatButton = makeButton(*lowerRightRow, kCustomChatFrame, kCustomChatString, false);
    graphicsButton = makeButton(*lowerRightRow, kGraphicsFrame, kGraphicsString, false);

    languageButton->onClick = [this] { openLanguage(); };
    controlsButton->onClick = [this] { openControls(); };
    otherButton->onClick = [this] { openOtherSettings(); };
    audioButton->onClick = [this] { openAudio(); };
    customChatButton->onClick = [this] { openCustomChat(); };
    creditsButton->targetFrame = MenuFrameRegistry::creditsMenu();
    howToPlayButton->targetFrame = MenuFrameRegistry::howToPlayMenu();
    graphicsButton->targetFrame = MenuFrameRegistry::graphicsSettingsMenu();

    titleLabel->stringId = kTitleString;
    titleLabel->updateSize();
    backButton()->labelStringId = kBackString;
    backButton()->updateLabel();

    const int bw = audioButton->width, bh = audioButton->height;
    auto size = [&](MenuPanel& panel, int buttons) {
        panel.width = (buttons + 1) * gap + buttons * bw;
        panel.height = bh + 2 * edge;
    };
    size(*topRow, 4);
    size(*lowerLeftRow, 2);
    size(*lowerRightRow, 2);
    topRow->x = m.screenWidth / 2 - topRow->width / 2;
    lowerLeftRow->x = m.screenWidth / 2 - lowerLeftRow->width - bw / 4;
    lowerRightRow->x = m.screenWidth / 2 + bw / 4;
    titleLabel->layout(0, 0);
    const int titleBottom = titleLabel->absY + titleLabel->height;
    const int q = (m.screenHeight - lowerLeftRow->height - topRow->height - titleLabel->absY - titleLabel->height) / 3;
    topRow->y = titleBottom + q;
    lowerLeftRow->y = topRow->y + topRow->height + q;
    lowerRightRow->y = lowerLeftRow->y;
    addItem(topRow);
    addItem(lowerLeftRow);
    addItem(lowerRightRow);
    giveInputPriority(backButton());
    bringToFront(backButton());
    layout(0, 0);
    focusedItem = languageButton;
}

SpriteButton* OptionsMenuFrame::makeButton(MenuPanel& row, int frame, int stringId, bool focusable)
{
    auto* button = new SpriteButton(kSpriteSetMenus, frame, kButtonFont, stringId);
    button->labelAlignment = kLabelAlignment;
    button->focusable = focusable;
    // The name sits in the dark band at the foot of the 130-square art (8 to
    // 122 across, 92 to 122 down) and shrinks to fit it.
    button->labelBox = {8.0f / 130.0f, 92.0f / 130.0f, 122.0f / 130.0f, 122.0f / 130.0f};
    button->updateLabel();
    row.placeItem(button);
    return button;
}

void OptionsMenuFrame::onShow()
{
    titleLabel->updateSize();
    SceneMenuFrame::onShow();
    setButtonAvailable(*customChatButton, static_cast<bool>(frontendLinks().customChat));
    rebuildConnectorLines();
    focusedItem = languageButton;
    rebuildFocusLinks();
}

void OptionsMenuFrame::rebuildConnectorLines()
{
    SceneMenuFrame::rebuildConnectorLines();
    const int titleMid = titleLabel->absY + titleLabel->height / 2;
    const int raise = titleLabel->height / 2;
    const int topY = topRow->absY;
    const int leftX = titleLabel->absX, centreX = titleLabel->absX + titleLabel->width / 2;
    const int quarter = topRow->absX + topRow->width / 4, threeQuarters = topRow->absX + 3 * topRow->width / 4;
    const int gap = static_cast<int>(10.0f * screenMetrics().uiScale);
    const int topLeft = topRow->absX, topRight = topRow->absX + topRow->width;
    connectorLines.push_back({leftX, titleMid, quarter, topY, true, 0});
    connectorLines.push_back({centreX, titleMid, threeQuarters, topY, true, 0});
    // Each branch to a lower row leaves its line above the top row and goes
    // round the row's end, straight down to the lower row: a slant from the
    // line to the lower row would cross the top row and its buttons.
    const int branchY = topY - raise;
    const int leftDown = std::min((topLeft + lowerLeftRow->absX) / 2, topLeft - gap);
    const int leftFrom = connectorPointAtY(leftX, titleMid, quarter, topY, branchY);
    connectorLines.push_back({leftFrom, branchY, leftDown, branchY, true, 0});
    connectorLines.push_back({leftDown, branchY, leftDown, lowerLeftRow->absY, true, 0});
    const int shift = (topRow->absX - lowerLeftRow->absX) / 2;
    const int rightDown = std::max(lowerRightRow->absX + lowerRightRow->width - shift, topRight + gap);
    const int rightFrom = connectorPointAtY(centreX, titleMid, threeQuarters, topY, branchY);
    connectorLines.push_back({rightFrom, branchY, rightDown, branchY, true, 0});
    connectorLines.push_back({rightDown, branchY, rightDown, lowerRightRow->absY, true, 0});
}

void OptionsMenuFrame::openLanguage()
{
    goToFrame(MenuFrameRegistry::languageMenu());
}

void OptionsMenuFrame::openControls()
{
    ControlsMenuFrame::openFrom(ControlsMenuFrame::kBackString);
}

void OptionsMenuFrame::openOtherSettings()
{
    goToFrame(MenuFrameRegistry::otherGameSettingsMenu());
}

void OptionsMenuFrame::openAudio()
{
    goToFrame(MenuFrameRegistry::audioMenu());
}

void OptionsMenuFrame::openCustomChat()
{
    if (frontendLinks().customChat)
        goToFrame(frontendLinks().customChat());
}
