// The plane showcase of the scene pages: browsing tiers, planes and variants
// with the camera slide, the gestures that start the moves, and the
// statistics of the shown plane.
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CFont.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "ui/IMenuShowcase.h"
#include "ui/MenuHooks.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SceneMenuFrame.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteLabel.h"
#include "ui/widgets/StatePanel.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kSlidePerPixel = 1.1f / 220.0f;
constexpr float kMoveEnd = 1.5f;
constexpr float kFlickSeconds = 0.8f;
constexpr int kMaxTierSteps = 100;
constexpr int kNoWeaponFrame = 204, kWeaponFrameBase = 205, kMaxIconIndex = 4096;

int indexOf(const std::vector<int>& list, int value)
{
    const auto at = std::find(list.begin(), list.end(), value);
    return at == list.end() ? -1 : static_cast<int>(at - list.begin());
}

float toward(float v, float target, float dt, float rate)
{
    return v + (target - v) * dt * rate;
}
}  // namespace

// ---- Lists of the showcase record ----

std::vector<int> SceneMenuFrame::tierPlanes() const
{
    std::vector<int> out;
    IMenuShowcase* scene = menuShowcase();
    if (!scene)
        return out;
    // One entry per family: a list that holds several variants of one plane
    // would otherwise step from a plane to its own family again.
    std::vector<int> families;
    for (int id : scene->planeList(m_showcase.selector)) {
        if (m_showcase.tier != -1 && scene->planeTier(id) != m_showcase.tier)
            continue;
        const int family = scene->variantId(0, id);
        if (std::find(families.begin(), families.end(), family) != families.end())
            continue;
        families.push_back(family);
        out.push_back(id);
    }
    return out;
}

std::vector<int> SceneMenuFrame::variantList() const
{
    IMenuShowcase* scene = menuShowcase();
    if (!scene)
        return {};
    const int which = m_showcase.selector == 1 ? 1 : m_showcase.selector == 2 ? 2 : 0;
    return scene->variants(m_showcase.planeId, which);
}

namespace {
// The entry that stands for the plane's family in a tier list.
int familyEntry(const IMenuShowcase& scene, int selector, int planeId)
{
    const int first = scene.variantId(0, planeId);
    if (selector == 2 && !scene.isLocked(first) && !scene.isLocked(scene.variantId(1, planeId)))
        return scene.variantId(2, planeId);
    return first;
}

// The index of the plane's family in a tier list, -1 when it is not there.
int familyIndex(const IMenuShowcase& scene, const std::vector<int>& list, int, int planeId)
{
    const int family = scene.variantId(0, planeId);
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (scene.variantId(0, list[i]) == family)
            return static_cast<int>(i);
    }
    return -1;
}
}  // namespace

int SceneMenuFrame::tierIndexOfShown() const
{
    IMenuShowcase* scene = menuShowcase();
    return scene ? familyIndex(*scene, tierPlanes(), m_showcase.selector, m_showcase.planeId) : -1;
}

// ---- Showing planes ----

void SceneMenuFrame::setPlaneIndicator()
{
    IMenuShowcase* scene = menuShowcase();
    if (!planeIndicator || !scene)
        return;
    const std::vector<int> planes = tierPlanes();
    planeIndicator->setPageCount(std::max(1, static_cast<int>(planes.size())),
                                 static_cast<int>(16.0f * screenMetrics().uiScale));
    for (int i = 0; i < static_cast<int>(planes.size()); ++i) {
        int mark = scene->anyVariantUnlocked(planes[static_cast<std::size_t>(i)]) ? 1 : 2;
        if (m_showcase.selector == 2)
            mark = scene->planeList(1).empty() ? 1 : 2;
        planeIndicator->setMark(i, mark);
    }
    const int index = tierIndexOfShown();
    if (index >= 0 && index < planeIndicator->pageCount)
        planeIndicator->currentPage = index;
}

void SceneMenuFrame::setVariantIndicator()
{
    IMenuShowcase* scene = menuShowcase();
    if (!variantIndicator || !scene)
        return;
    const std::vector<int> list = variantList();
    variantIndicator->setPageCount(std::max(1, static_cast<int>(list.size())),
                                   static_cast<int>(16.0f * screenMetrics().uiScale));
    for (int i = 0; i < static_cast<int>(list.size()); ++i)
        variantIndicator->setMark(i, scene->isLocked(list[static_cast<std::size_t>(i)]) ? 2 : 1);
    variantIndicator->currentPage = std::max(0, indexOf(list, m_showcase.planeId));
}

void SceneMenuFrame::planeShown(int planeId)
{
    IMenuShowcase* scene = menuShowcase();
    if (scene)
        scene->createShowcasePlane(planeId);
    logInfo("menus", "showcase plane %d", planeId);
}

void SceneMenuFrame::selectPlane(int planeId)
{
    IMenuShowcase* scene = menuShowcase();
    if (planeId == -1 || planeId == -2) {
        if (scene && !scene->cameraBlendComplete())
            scene->snapCameraToMode1();
        cameraMove = planeId == -1 ? 5 : 6;
        return;
    }
    if (scene)
        scene->returnCameraToDefault();
    cameraMove = 0;
    if (planeId < 0 || !scene)
        return;
    if (!scene->isLocked(planeId)) {
        settings().currentPlaneId = static_cast<std::uint8_t>(planeId);
        settings().localPlaneId = static_cast<std::uint8_t>(planeId);
    }
    m_showcase.planeId = planeId;
    setPlaneIndicator();
    setVariantIndicator();
    planeShown(planeId);
    layout(0, 0);
    refreshStats(false);
}

void SceneMenuFrame::selectNextPlaneInTier()
{
    IMenuShowcase* scene = menuShowcase();
    const std::vector<int> planes = tierPlanes();
    const int at = scene ? familyIndex(*scene, planes, m_showcase.selector, m_showcase.planeId) : -1;
    if (at < 0 || at + 1 >= static_cast<int>(planes.size())) {
        selectPlane(-1);
        return;
    }
    selectPlane(familyEntry(*scene, m_showcase.selector, planes[static_cast<std::size_t>(at + 1)]));
}

void SceneMenuFrame::selectPreviousPlaneInTier()
{
    IMenuShowcase* scene = menuShowcase();
    const std::vector<int> planes = tierPlanes();
    const int at = scene ? familyIndex(*scene, planes, m_showcase.selector, m_showcase.planeId) : -1;
    if (at <= 0) {
        selectPlane(-2);
        return;
    }
    selectPlane(familyEntry(*scene, m_showcase.selector, planes[static_cast<std::size_t>(at - 1)]));
}

void SceneMenuFrame::showVariant(int planeId)
{
    IMenuShowcase* scene = menuShowcase();
    if (scene)
        scene->returnCameraToDefault();
    cameraMove = 0;
    if (planeId < 0 || !scene)
        return;
    if (!scene->isLocked(planeId)) {
        settings().currentPlaneId = static_cast<std::uint8_t>(planeId);
        settings().localPlaneId = static_cast<std::uint8_t>(planeId);
    }
    m_showcase.planeId = planeId;
    planeShown(planeId);
    if (!showcaseHidden) {
        variantIndicator->currentPage = std::max(0, indexOf(variantList(), planeId));
        refreshStats(false);
    }
}

void SceneMenuFrame::showPreviousVariant()
{
    const std::vector<int> list = variantList();
    const int n = static_cast<int>(list.size());
    int id = -1;
    if (n > 0) {
        const int at = std::max(0, indexOf(list, m_showcase.planeId));
        id = list[static_cast<std::size_t>((n - 1 + at) % n)];
    }
    showVariant(id == m_showcase.planeId ? -1 : id);
}

void SceneMenuFrame::showNextVariant()
{
    const std::vector<int> list = variantList();
    const int n = static_cast<int>(list.size());
    int id = -1;
    if (n > 0) {
        const int at = std::max(0, indexOf(list, m_showcase.planeId));
        id = list[static_cast<std::size_t>((at + 1) % n)];
    }
    showVariant(id == m_showcase.planeId ? -1 : id);
}

void SceneMenuFrame::setupShowcase(bool fromEnd)
{
    IMenuShowcase* scene = menuShowcase();
    if (!scene)
        return;
    m_showcase.tier = currentTier;
    std::vector<int> planes = tierPlanes();
    if (planes.empty()) {
        currentTier = 0;
        m_showcase.tier = 0;
        m_showcase.planeId = std::max(0, scene->planeByName("p51"));
    } else if (scene->planeTier(m_showcase.planeId) != currentTier) {
        m_showcase.planeId = fromEnd ? planes.back() : planes.front();
    }
    if (tierButton) {
        tierButton->labelStringId = 1222 + currentTier;
        tierButton->textScale = -1.0f;
        tierButton->updateLabel();
        fitTierTitle();
    }
    scene->returnCameraToDefault();
    cameraMove = 0;
    const int id = m_showcase.planeId;
    if (!scene->isPlane(id))
        return;
    if (!scene->isLocked(id)) {
        settings().currentPlaneId = static_cast<std::uint8_t>(id);
        settings().localPlaneId = static_cast<std::uint8_t>(id);
    }
    setPlaneIndicator();
    setVariantIndicator();
    planeShown(id);
    layout(0, 0);
    refreshStats(false);
}

void SceneMenuFrame::fitTierTitle()
{
    // A long tier name is drawn smaller so that it stays on its plate.
    int plateW = 0, plateH = 0;
    if (tierButton->sprite)
        tierButton->sprite->frameBounds(tierButton->frame, plateW, plateH);
    const float room = static_cast<float>(plateW) * 0.88f;
    const float textW = measureText(getFont(2), tierButton->labelText()).width;
    if (textW > room && textW > 0.0f)
        tierButton->textScale = room / textW;
}

void SceneMenuFrame::nextPlaneGroup()
{
    IMenuShowcase* scene = menuShowcase();
    const int tiers = scene ? scene->tierCount() : 0;
    if (tiers <= 0) {
        cameraMove = 0;
        return;
    }
    currentTier = (currentTier + 1) % tiers;
    for (int step = 0; step < kMaxTierSteps; ++step) {
        m_showcase.tier = currentTier;
        if (!tierPlanes().empty())
            break;
        currentTier = (currentTier + 1) % tiers;
    }
    setupShowcase(false);
}

void SceneMenuFrame::previousPlaneGroup()
{
    IMenuShowcase* scene = menuShowcase();
    const int tiers = scene ? scene->tierCount() : 0;
    if (tiers <= 0) {
        cameraMove = 0;
        return;
    }
    auto back = [tiers](int tier) { return ((tier == 0 ? tiers : tier) - 1) % tiers; };
    currentTier = back(currentTier);
    for (int step = 0; step < kMaxTierSteps; ++step) {
        m_showcase.tier = currentTier;
        if (!tierPlanes().empty())
            break;
        currentTier = back(currentTier);
    }
    setupShowcase(true);
}

void SceneMenuFrame::refreshShowcase(int planeId)
{
    IMenuShowcase* scene = menuShowcase();
    if (!scene)
        return;
    m_showcase.planeId = planeId;
    currentTier = std::max(0, scene->planeTier(planeId));
    setupShowcase(false);
    settings().save();
}

// ---- Camera moves ----

namespace {
void startMove(SceneMenuFrame& frame, int move)
{
    // Without a showcase no move would ever end and the gestures would stay
    // blocked; a page of the single selected plane never moves to another.
    if (!frame.hasShowcase() || frame.singlePlane)
        return;
    if (IMenuShowcase* scene = menuShowcase(); scene && !scene->cameraBlendComplete())
        scene->snapCameraToMode1();
    frame.cameraMove = move;
    logInfo("menus", "showcase move %d", move);
}
}  // namespace

void SceneMenuFrame::startCameraMove1()
{
    startMove(*this, 1);
}
void SceneMenuFrame::startCameraMove2()
{
    startMove(*this, 2);
}
void SceneMenuFrame::startCameraMove3()
{
    startMove(*this, 3);
}
void SceneMenuFrame::startCameraMove4()
{
    startMove(*this, 4);
}

void SceneMenuFrame::openWeapons()
{
    if (openWeaponChoice)
        openWeaponChoice();
    else if (weaponChoiceHook())
        weaponChoiceHook()(m_showcase.planeId);
}

void SceneMenuFrame::showPlaneDescription()
{
    IMenuShowcase* scene = menuShowcase();
    if (cameraMove != 0 || !scene)
        return;
    std::u16string text = scene->planeDescription(m_showcase.planeId);
    if (scene->isLocked(m_showcase.planeId))
        text += u"\n\n" + scene->unlockDescription(m_showcase.planeId);
    showInfo(text.c_str());
}

void SceneMenuFrame::advanceCameraMove(float dt)
{
    if (singlePlane)
        cameraMove = 0;
    if (showcaseHidden) {
        slideX = toward(slideX, 0.0f, dt, 10.0f);
        slideY = toward(slideY, 0.0f, dt, 10.0f);
    } else {
        switch (cameraMove) {
        case 1:
        case 5:
            slideX = toward(slideX, 2.0f, dt, 3.0f);
            slideY = toward(slideY, 0.0f, dt, 10.0f);
            if (slideX >= kMoveEnd)
                cameraMove == 1 ? selectNextPlaneInTier() : nextPlaneGroup();
            break;
        case 2:
        case 6:
            slideX = toward(slideX, -2.0f, dt, 3.0f);
            slideY = toward(slideY, 0.0f, dt, 10.0f);
            if (slideX <= -kMoveEnd)
                cameraMove == 2 ? selectPreviousPlaneInTier() : previousPlaneGroup();
            break;
        case 3:
            slideX = toward(slideX, 0.0f, dt, 10.0f);
            slideY = toward(slideY, -2.0f, dt, 6.0f);
            if (slideY <= -kMoveEnd)
                showPreviousVariant();
            break;
        case 4:
            slideX = toward(slideX, 0.0f, dt, 10.0f);
            slideY = toward(slideY, 2.0f, dt, 6.0f);
            if (slideY >= kMoveEnd)
                showNextVariant();
            break;
        default:
            if (!touchOnShowcase || gestureConsumed) {
                slideX = toward(slideX, 0.0f, dt, 10.0f);
                slideY = toward(slideY, 0.0f, dt, 10.0f);
            }
            break;
        }
    }
    if (IMenuShowcase* scene = menuShowcase())
        scene->setCameraSlide(slideX, slideY);
}

void SceneMenuFrame::startMoveFromSlide(bool horizontal)
{
    slideX = dragX * kSlidePerPixel;
    slideY = dragY * kSlidePerPixel;
    int move = 0;
    if (horizontal && slideX <= -1.0f)
        move = 2;
    else if (horizontal && slideX >= 1.0f)
        move = 1;
    else if (slideY <= -1.0f)
        move = 3;
    else if (slideY >= 1.0f)
        move = 4;
    if (move != 0) {
        cameraMove = move;
        dragX = dragY = 0.0f;
        gestureConsumed = true;
    }
}

// ---- Gestures ----

bool SceneMenuFrame::onTouchDown(int x, int y)
{
    const ScreenMetrics& m = screenMetrics();
    IMenuShowcase* scene = menuShowcase();
    touchOnShowcase = true;
    lastTouchX = static_cast<float>(x);
    lastTouchY = static_cast<float>(y);
    dragX = dragY = 0.0f;
    touchStartTime = menuClockNow();
    if (planeIndicator && planeIndicator->visible && planeIndicator->contains(x, y, 10.0f))
        return true;
    if (cameraMove == 0) {
        const int bottomHeight = bottomPanel && bottomPanel->parent == this ? bottomPanel->height : 0;
        if (scene && static_cast<float>(y) > 122.0f * m.uiScale && y < m.screenHeight - bottomHeight &&
            !scene->cameraBlendComplete())
            scene->snapCameraToMode1();
        gestureConsumed = static_cast<float>(y) <= 0.2f * static_cast<float>(m.screenHeight) ||
                          static_cast<float>(y) >= 0.8f * static_cast<float>(m.screenHeight);
        slideX = 0.0f;
    }
    return MenuContainer::onTouchDown(x, y);
}

bool SceneMenuFrame::onTouchMove(int x, int y)
{
    if (planeIndicator && planeIndicator->visible && planeIndicator->contains(x, y, 10.0f))
        return true;
    if (infoBalloon->visible && infoBalloon->contains(x, y, 0.0f)) {
        balloonTouched = true;
        return infoBalloon->onTouchMove(x, y);
    }
    if (balloonTouched)
        return true;
    if (swipeMovesCamera && !gestureConsumed && cameraMove == 0) {
        if (!showcaseHidden)
            dragX += lastTouchX - static_cast<float>(x);
        dragY += lastTouchY - static_cast<float>(y);
        startMoveFromSlide(!showcaseHidden);
    }
    lastTouchX = static_cast<float>(x);
    lastTouchY = static_cast<float>(y);
    return MenuContainer::onTouchMove(x, y);
}

bool SceneMenuFrame::onTouchUp(int x, int y)
{
    IMenuShowcase* scene = menuShowcase();
    if (planeIndicator && planeIndicator->visible && planeIndicator->contains(x, y, 10.0f)) {
        const int page = planeIndicator->pageAt(x, y);
        const std::vector<int> planes = tierPlanes();
        if (page >= 0 && page < static_cast<int>(planes.size()))
            selectPlane(planes[static_cast<std::size_t>(page)]);
        dragX = dragY = 0.0f;
        touchOnShowcase = false;
        if (scene && scene->cameraMode() != 0 && cameraMove == 0)
            scene->snapCameraToMode0();
        return true;
    }
    if (swipeMovesCamera && !gestureConsumed) {
        const float t = menuClockNow() - touchStartTime;
        if (t <= 0.0f || t >= kFlickSeconds || (dragX == 0.0f && dragY == 0.0f)) {
            cameraMove = 0;
        } else {
            const float vx = dragX / t, vy = dragY / t;
            if (std::fabs(vx) <= std::fabs(vy))
                cameraMove = vy > 0.0f ? 4 : 3;
            else if (!showcaseHidden)
                cameraMove = vx > 0.0f ? 1 : 2;
        }
    }
    dragX = dragY = 0.0f;
    touchOnShowcase = false;
    if (scene && scene->cameraMode() != 0 && cameraMove == 0)
        scene->snapCameraToMode0();
    const bool handled = MenuContainer::onTouchUp(x, y);
    if (balloonTouched)
        infoBalloon->onTouchUp(x, y);
    else if (!showcaseHidden && infoBalloon->visible && balloonAlpha >= 1.0f)
        showInfo(nullptr);
    balloonTouched = false;
    return handled;
}

bool SceneMenuFrame::onTouchCancel()
{
    if (!showcaseHidden)
        gestureConsumed = false;
    return MenuContainer::onTouchCancel();
}

bool SceneMenuFrame::onScroll(float dx, float dy)
{
    if (!showcaseHidden && !gestureConsumed && cameraMove == 0) {
        dragX -= dx;
        dragY += dy;
        startMoveFromSlide(true);
        IMenuShowcase* scene = menuShowcase();
        if (cameraMove == 0 && scene && scene->cameraMode() != 0)
            scene->snapCameraToMode0();
    }
    return MenuContainer::onScroll(dx, dy);
}

bool SceneMenuFrame::onSwipe(float vx, float vy)
{
    if (!showcaseHidden && swipeMovesCamera && !gestureConsumed && cameraMove == 0) {
        dragX -= vx;
        dragY += vy;
        startMoveFromSlide(true);
    }
    return MenuContainer::onSwipe(vx, vy);
}

// ---- Statistics ----

void SceneMenuFrame::refreshStats(bool snap)
{
    IMenuShowcase* scene = menuShowcase();
    if (!statePanel || !scene)
        return;
    const int id = m_showcase.planeId;
    const IMenuShowcase::Stats base = scene->planeStats(scene->variantId(0, id));
    const IMenuShowcase::Stats shown = scene->planeStats(id);
    for (int i = 0; i < 4; ++i)
        bars[i]->setTargets(base.values[i], shown.values[i], snap);
    StateIcon* icons[2] = {weaponIcon1, weaponIcon2};
    for (int slot = 0; slot < 2; ++slot) {
        const int index = scene->weaponIcon(id, slot);
        // A record's number far outside the sheet names no frame at all.
        const int frame = index < 0 ? kNoWeaponFrame : index > kMaxIconIndex ? -1 : kWeaponFrameBase + index;
        StateIcon& icon = *icons[slot];
        icon.setFrame(frame);
        icon.visible = true;
        icon.enabled = true;
    }
    weaponsButton->enabled = canOpenWeapons();
    logInfo("menus", "statistics of plane %d: %.2f %.2f %.2f %.2f", id, static_cast<double>(bars[0]->targetVariant),
            static_cast<double>(bars[1]->targetVariant), static_cast<double>(bars[2]->targetVariant),
            static_cast<double>(bars[3]->targetVariant));
    statePanel->layout(0, 0);
}
