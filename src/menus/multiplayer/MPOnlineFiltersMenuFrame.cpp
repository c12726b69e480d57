#include "menus/multiplayer/MPOnlineFiltersMenuFrame.h"

#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/PlaneList.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/MenuPages.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/SpriteSets.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>

MPOnlineFiltersMenuFrame* MenuFrameRegistry::mpOnlineFiltersMenu()
{
    return slot<MPOnlineFiltersMenuFrame>(Page::MPOnlineFilters);
}

namespace {
constexpr int kLabels[MPOnlineFiltersMenuFrame::BoxCount] = {393, 394, 395, 397, 398, 399, 400};
constexpr bool kCheckedAtFirst[MPOnlineFiltersMenuFrame::BoxCount] = {false, false, true, false,
                                                                      false, false, true};

MenuPanel* addBar(MenuContainer& page, int y, int height)
{
    auto* bar = new MenuPanel(MenuContainer::kLayoutRow);
    bar->anchorMode = MenuItem::kAnchorAbsolute;
    bar->fixedSize = true;
    bar->x = 0;
    bar->y = y;
    bar->width = screenMetrics().screenWidth;
    bar->height = height;
    bar->enabled = false;
    page.addItem(bar);
    return bar;
}

bool inModeGroup(int box)
{
    return box <= MPOnlineFiltersMenuFrame::AllWeapons;
}
}  // namespace

MPOnlineFiltersMenuFrame::MPOnlineFiltersMenuFrame()
{
    const ScreenMetrics& m = screenMetrics();
    const float a = m.uiScale;
    useOwnLayout(*this, kTitleString, kBackString);

    int widest = 0;
    for (int i = 0; i < BoxCount; ++i) {
        auto* box = new SpriteCheckbox(kLabels[i], kFrameOn, kFrameOff, false);
        box->focusable = true;
        box->checked = kCheckedAtFirst[i];
        box->onChange = [this, i] { choose(i); };
        box->updateLayout();
        widest = std::max(widest, box->width);
        boxes[static_cast<std::size_t>(i)] = box;
    }
    for (SpriteCheckbox* box : boxes) {
        box->minimumWidth = widest;
        box->updateLayout();
    }

    panel = new MenuPanel(getSprite(kSpriteSetMenus), 95, kLayoutList);
    panel->ninePatch = true;
    panel->anchorMode = kAnchorAbsolute;
    panel->alignment = kAlignCentreX | kAlignTop;
    panel->touchMode = kTouchInside;
    panel->childAlignment = kChildCentre;
    panel->width = m.screenWidth * 3 / 4;
    panel->x = m.screenWidth / 2;
    const int gap = static_cast<int>(22.0f * a);
    int height = 0;
    const auto put = [&](MenuItem* item) {
        panel->placeItem(item);
        height += item->height;
    };
    put(new MenuSpacer(panel->width / 2, gap));
    put(new SpriteLabel(2, kWeaponsCaption, nullptr));
    put(new MenuSpacer(panel->width / 2, gap / 2));
    for (int i = MissilesOnly; i <= AllWeapons; ++i)
        put(boxes[static_cast<std::size_t>(i)]);
    put(new MenuSpacer(panel->width / 2, gap));
    put(new SpriteLabel(2, kAircraftCaption, nullptr));
    put(new MenuSpacer(panel->width / 2, gap / 2));
    for (int i = MyPlane; i <= AnyPlane; ++i)
        put(boxes[static_cast<std::size_t>(i)]);
    put(new MenuSpacer(panel->width / 2, gap));
    panel->fixedSize = true;
    panel->height = height + panel->spacing * (panel->itemCount() - 1);
    titleLabel->layout(0, 0);
    // Empty bars across the screen, under the title and as tall at the foot;
    // the panel stands a quarter of the free height between them below the
    // top one.
    const int barHeight = 2 * titleLabel->height;
    topBar = addBar(*this, 0, barHeight);
    bottomBar = addBar(*this, m.screenHeight - barHeight, barHeight);
    const int freeHeight = bottomBar->y - topBar->height - panel->height;
    panel->y = topBar->height + std::max(0, freeHeight / 4);
    addItem(panel);
    giveInputPriority(backButton());
    bringToFront(backButton());
    layout(0, 0);
    focusedItem = boxes[AllWeapons];
    readFilters();
}

void MPOnlineFiltersMenuFrame::onShow()
{
    FilledMenuFrame::onShow();
    layout(0, 0);
    layout(0, 0);
    rebuildFocusLinks();
}

void MPOnlineFiltersMenuFrame::choose(int box)
{
    if (box < 0 || box >= BoxCount)
        return;
    const bool modeGroup = inModeGroup(box);
    for (int i = 0; i < BoxCount; ++i)
        if (inModeGroup(i) == modeGroup)
            boxes[static_cast<std::size_t>(i)]->checked = false;
    boxes[static_cast<std::size_t>(box)]->checked = true;
    readFilters();
}

void MPOnlineFiltersMenuFrame::readFilters()
{
    const int planeId = settings().localPlaneId;
    if (boxes[AnyPlane]->checked) {
        planeFilterKind = 0;
        planeFilterValue = 0;
    }
    if (boxes[MyPlane]->checked) {
        planeFilterKind = 1;
        planeFilterValue = planeId;
    }
    if (boxes[MyTier]->checked) {
        // An id the list lacks flies as its first plane.
        const PlaneCfg* plane = PlaneList::instance().findById(planeId);
        planeFilterKind = 2;
        planeFilterValue = plane ? plane->plane_tier : 0;
    }
    if (boxes[NoTier3]->checked) {
        planeFilterKind = 3;
        planeFilterValue = 3;
    }
    if (boxes[AllWeapons]->checked)
        modeFilter = 0;
    if (boxes[MissilesOnly]->checked)
        modeFilter = 1;
    if (boxes[GunsOnly]->checked)
        modeFilter = 2;
}
