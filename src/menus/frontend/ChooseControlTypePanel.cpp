#include "menus/frontend/ChooseControlTypePanel.h"

#include "menus/MenuFrameRegistry.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"
#include "screens/LoadingScreen.h"
#include "screens/PauseScreen.h"
#include "screens/Screens.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>

ChooseControlTypePanel* MenuFrameRegistry::chooseControlTypePanel()
{
    return slot<ChooseControlTypePanel>(Page::ChooseControlType);
}

namespace {
constexpr int kBoxFont = 2;

SpriteCheckbox* makeBox(int stringId)
{
    auto* box = new SpriteCheckbox(stringId, ChooseControlTypePanel::kBoxOn, ChooseControlTypePanel::kBoxOff, false);
    box->font = getFont(kBoxFont);
    box->focusable = true;
    box->updateLayout();
    return box;
}
}  // namespace

ChooseControlTypePanel::ChooseControlTypePanel()
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    width = static_cast<int>(800.0f * a);
    height = m.screenHeight;
    x = (m.screenWidth - width) / 2;
    y = 0;
    anchorMode = kAnchorAbsolute;
    backButton()->visible = false;
    backButton()->enabled = false;

    title = new SpriteLabel(2, kTitleString);
    optionsPanel = new MenuPanel(kLayoutRow);
    optionsPanel->spacing = static_cast<int>(60.0f * a);
    optionsPanel->touchMode = kTouchInside;
    for (int i = 0; i < 2; ++i) {
        options[i] = makeBox(i == 0 ? kOption0String : kOption1String);
        options[i]->onChange = [this, i] { onOptionClicked(i); };
        optionsPanel->placeItem(options[i]);
    }
    descriptionPanel = new MenuPanel(getSprite(kSpriteSetMenus), kPanelFrame, kLayoutStacked);
    descriptionPanel->ninePatch = true;
    descriptionPanel->fixedSize = true;
    descriptionPanel->width = width;
    descriptionPanel->height = static_cast<int>(150.0f * a);
    description = new SpriteLabel(1, u"");
    descriptionPanel->addItem(description);
    aimAssistPanel = new MenuPanel(kLayoutRow);
    aimAssistPanel->touchMode = kTouchInside;
    aimAssistBox = makeBox(kAimAssistString);
    aimAssistBox->onChange = [this] { onAimAssistClicked(); };
    aimAssistPanel->placeItem(aimAssistBox);
    hint = new SpriteLabel(1, kHintString);
    okButton = new ResizableButton(kOkString);
    okButton->setup(158, 156, 157, 1);
    okButton->focusable = true;
    okButton->onClick = [this] { onOk(); };
    for (MenuItem* item : std::initializer_list<MenuItem*>{title, optionsPanel, descriptionPanel, aimAssistPanel, hint, okButton}) {
        item->anchorMode = kAnchorAbsolute;
        addItem(item);
    }

    const Settings& s = settings();
    options[0]->checked = s.controlType == 0;
    options[1]->checked = s.controlType == 1;
    aimAssistBox->checked = s.aimAssist != 0;
    descriptionString = kDescription1String;
    description->setWrappedText(descriptionString, static_cast<int>(0.9f * static_cast<float>(width)));
    focusedItem = options[0];
    relayout();
}

void ChooseControlTypePanel::relayout()
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    const int cx = m.screenWidth / 2;
    title->updateSize();
    hint->updateSize();
    optionsPanel->layout(0, 0);
    aimAssistPanel->layout(0, 0);
    optionsPanel->width = optionsPanel->contentWidth;
    optionsPanel->height = std::max(options[0]->height, options[1]->height);
    aimAssistPanel->width = aimAssistBox->width;
    aimAssistPanel->height = aimAssistBox->height;
    description->x = (descriptionPanel->width - description->width) / 2;
    description->y = (descriptionPanel->height - description->height) / 2;

    const int gap = static_cast<int>(30.0f * a);
    const int total = title->height + optionsPanel->height + descriptionPanel->height + aimAssistPanel->height +
                      hint->height + okButton->height + 5 * gap;
    int top = std::max(gap, (m.screenHeight - total) / 2);
    auto place = [&](MenuItem& item) {
        item.x = cx - item.width / 2;
        item.y = top;
        if (item.visible)
            top += item.height + gap;
    };
    place(*title);
    place(*optionsPanel);
    place(*descriptionPanel);
    place(*aimAssistPanel);
    place(*hint);
    place(*okButton);
    layout(0, 0);
}

void ChooseControlTypePanel::draw()
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    drawFilledRect(0.0f, 0.0f, static_cast<float>(m.screenWidth), static_cast<float>(m.screenHeight), 0, 0, 0, 255);
    getSprite(kSpriteSetMenus)
        ->drawNinePatch(kPanelFrame, -50.0f * a, -50.0f * a, static_cast<float>(m.screenWidth) + 100.0f * a,
                        static_cast<float>(m.screenHeight) + 100.0f * a);
    MenuFrame::draw();
}

void ChooseControlTypePanel::onShow()
{
    const GameMode* mode = modeOf(currentMatch());
    const bool single = mode && mode->isSinglePlayer();
    aimAssistPanel->visible = single;
    aimAssistPanel->enabled = single;
    relayout();
    rebuildFocusLinks();
}

void ChooseControlTypePanel::onOptionClicked(int option)
{
    options[option]->checked = true;
    options[1 - option]->checked = false;
    descriptionString = option == 0 ? kDescription0String : kDescription1String;
    description->setWrappedText(descriptionString, static_cast<int>(0.9f * static_cast<float>(width)));
    settings().aimAssist = option == 0 ? 0 : 1;
    aimAssistBox->checked = settings().aimAssist != 0;
    relayout();
    rebuildFocusLinks();
}

void ChooseControlTypePanel::onAimAssistClicked()
{
    settings().aimAssist = aimAssistBox->checked ? 1 : 0;
}

void ChooseControlTypePanel::onOk()
{
    Settings& s = settings();
    if (options[0]->checked)
        s.controlType = 0;
    else if (options[1]->checked)
        s.controlType = 1;
    s.save();
    logInfo("menus", "control type %d chosen", s.controlType);
    // Straight back to the load, which goes on where it stopped.
    swapCurrentScreen(&gameLoadingScreen());
    // Nothing of the menus stays behind for the game's own pause pages.
    pauseScreen().frame = nullptr;
    clearFrameHistory();
}

void showControlTypeChoice()
{
    ChooseControlTypePanel* panel = MenuFrameRegistry::chooseControlTypePanel();
    if (!panel)
        return;
    pauseScreen().frame = panel;
    swapCurrentScreen(&pauseScreen());
    if (currentFrame() != panel) {
        clearFrameHistory();
        goToFrame(panel);
    } else {
        panel->onShow();
    }
    logInfo("menus", "page shown: ChooseControlTypePanel");
}
