#include "menus/ingame/CustomChatMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/MenuPages.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/SpriteSets.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteEditBox.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>

CustomChatMenuFrame* MenuFrameRegistry::customChatMenu()
{
    return slot<CustomChatMenuFrame>(Page::CustomChat);
}

CustomChatMenuFrame::CustomChatMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    useOwnLayout(*this, kTitleString, kBackString);

    panel = new MenuPanel(getSprite(kSpriteSetMenus), 95, kLayoutStacked);
    panel->ninePatch = true;
    panel->anchorMode = kAnchorAbsolute;
    panel->touchMode = kTouchInside;
    panel->fixedSize = true;
    addItem(panel);
    const Settings& s = settings();
    for (std::size_t i = 0; i < editors.size(); ++i) {
        auto* box = new SpriteEditBox(s.chatPresets[i], nullptr);
        box->ownerFrame = this;
        box->maxLength = static_cast<int>(Settings::kMaxChatPresetUnits);
        // The slot's own default is replaced by what is typed, not added to.
        box->placeholder = Settings::defaultChatPreset(static_cast<int>(i));
        panel->addItem(box);
        editors[i] = box;
    }
    // Two columns of three.
    const int gap = static_cast<int>(24.0f * a);
    const int w = editors[0]->width, h = editors[0]->height;
    panel->width = 2 * w + 3 * gap;
    panel->height = 3 * h + 4 * gap;
    for (std::size_t i = 0; i < editors.size(); ++i) {
        editors[i]->x = gap + static_cast<int>(i / 3) * (w + gap);
        editors[i]->y = gap + static_cast<int>(i % 3) * (h + gap);
    }
    titleLabel->layout(0, 0);
    const int top = titleLabel->absY + 2 * titleLabel->height;
    panel->x = (m.screenWidth - panel->width) / 2;
    panel->y = std::max(top, (m.screenHeight - panel->height) / 2);
    giveInputPriority(backButton());
    bringToFront(backButton());
    layout(0, 0);
    focusedItem = editors[0];
}

void CustomChatMenuFrame::onShow()
{
    titleLabel->updateSize();
    SceneMenuFrame::onShow();
    const Settings& s = settings();
    for (std::size_t i = 0; i < editors.size(); ++i)
        editors[i]->setText(s.chatPresets[i]);
    layout(0, 0);
    rebuildConnectorLines();
    rebuildFocusLinks();
}

void CustomChatMenuFrame::onHide()
{
    Settings& s = settings();
    for (std::size_t i = 0; i < editors.size(); ++i)
        s.chatPresets[i] = editors[i]->text().substr(0, Settings::kMaxChatPresetUnits);
    s.save();
}

void CustomChatMenuFrame::rebuildConnectorLines()
{
    FilledMenuFrame::rebuildConnectorLines();
    const int midY = titleLabel->absY + titleLabel->height / 2;
    const int top = panel->absY;
    connectorLines.push_back({titleLabel->absX, midY, panel->absX + panel->width / 4, top, true, 0});
    connectorLines.push_back({titleLabel->absX + titleLabel->width, midY, panel->absX + 3 * panel->width / 4, top,
                              true, 0});
}
