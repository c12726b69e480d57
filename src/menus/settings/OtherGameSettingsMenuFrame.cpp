#include "menus/settings/OtherGameSettingsMenuFrame.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/MenuPages.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/SpriteSets.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteLabel.h"

OtherGameSettingsMenuFrame* MenuFrameRegistry::otherGameSettingsMenu()
{
    return slot<OtherGameSettingsMenuFrame>(Page::OtherGameSettings);
}

OtherGameSettingsMenuFrame::OtherGameSettingsMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    useOwnLayout(*this, kTitleString, kBackString);

    panel = new MenuPanel(getSprite(kSpriteSetMenus), 95, kLayoutList);
    panel->ninePatch = true;
    panel->anchorMode = kAnchorAbsolute;
    panel->alignment = 0x48;
    panel->touchMode = kTouchInside;
    panel->width = static_cast<int>(900.0f * a);
    panel->x = m.screenWidth / 2;
    panel->childAlignment = kChildCentre;
    const int spacerHeight = static_cast<int>(50.0f * a);
    panel->placeItem(new MenuSpacer(m.screenWidth, spacerHeight));
    markerDetailsBox = new SpriteCheckbox(kMarkerDetailsString, kFrameOn, kFrameOff, false);
    markerDetailsBox->focusable = true;
    markerDetailsBox->updateLayout();
    panel->placeItem(markerDetailsBox);
    panel->placeItem(new MenuSpacer(m.screenWidth, spacerHeight));
    panel->placeItem(new MenuSpacer(m.screenWidth, spacerHeight));
    // The spacers are as wide as the screen only to take room in the list;
    // the panel keeps its own width.
    panel->fixedSize = true;
    panel->height = 3 * spacerHeight + markerDetailsBox->height;
    titleLabel->layout(0, 0);
    const int titles = 3 * titleLabel->height;
    panel->y = titles + (m.screenHeight - titles - panel->height) / 2;
    addItem(panel);
    giveInputPriority(backButton());
    bringToFront(backButton());
    layout(0, 0);
    focusedItem = markerDetailsBox;
}

void OtherGameSettingsMenuFrame::onShow()
{
    titleLabel->updateSize();
    SceneMenuFrame::onShow();
    markerDetailsBox->checked = settings().markerDetails != 0;
    layout(0, 0);
    layout(0, 0);
    rebuildConnectorLines();
    focusedItem = markerDetailsBox;
    rebuildFocusLinks();
}

void OtherGameSettingsMenuFrame::onHide()
{
    settings().markerDetails = markerDetailsBox->checked ? 1 : 0;
    SceneMenuFrame::onHide();
}
