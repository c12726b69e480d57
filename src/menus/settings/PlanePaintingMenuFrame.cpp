#include "menus/settings/PlanePaintingMenuFrame.h"

#include "gamedata/AirplaneModel.h"
#include "gamedata/records/PlaneList.h"
#include "menus/GameShowcase.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/MenuPages.h"
#include "modes/progress/Achievements.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "render/Graphics.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteBatch.h"
#include "render/2d/SpriteSets.h"
#include "ui/IMenuShowcase.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"
#include "ui/widgets/SpriteHComboBox.h"
#include "ui/widgets/SpriteSlider.h"
#include "ui/widgets/StatePanel.h"

#include <algorithm>
#include <cmath>

PlanePaintingMenuFrame* MenuFrameRegistry::planePaintingMenu()
{
    return slot<PlanePaintingMenuFrame>(Page::PlanePainting);
}

namespace {
float unit(float v) { return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f; }

bool differs(const PlanePaintingMenuFrame::Colour& a, const PlanePaintingMenuFrame::Colour& b)
{
    for (std::size_t i = 0; i < 3; ++i)
        if (!(std::fabs(a[i] - b[i]) <= PlanePaintingMenuFrame::kChangeThreshold))
            return true;
    return false;
}
}  // namespace

PlanePaintingMenuFrame::Colour paintColour(const PlanePaint& paint, int slot)
{
    return slot == 0 ? PlanePaintingMenuFrame::Colour{paint.hue0, paint.saturation0, paint.value0}
                     : PlanePaintingMenuFrame::Colour{paint.hue1, paint.saturation1, paint.value1};
}

void setPaintColour(PlanePaint& paint, int slot, const PlanePaintingMenuFrame::Colour& colour)
{
    (slot == 0 ? paint.hue0 : paint.hue1) = colour[0];
    (slot == 0 ? paint.saturation0 : paint.saturation1) = colour[1];
    (slot == 0 ? paint.value0 : paint.value1) = colour[2];
}

PlanePaintingMenuFrame::PlanePaintingMenuFrame() : SceneMenuFrame(false, false, false, false)
{
    swipeMovesCamera = false;
    m_plane = settings().localPlaneId;
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const int W = m.screenWidth;
    sideRow->x -= sideRow->width;
    backButton()->labelStringId = kBackString;
    backButton()->visible = true;
    backButton()->enabled = true;
    backButton()->updateLabel();
    titleLabel->stringId = kTitleString;
    titleLabel->updateSize();
    // The bar's buttons first: the sliders stand clear of the bar they make.
    resetButton = addBarButton(*bottomPanel, kResetFrame, kResetString, [this] { resetToDefaults(); });
    revertButton = addBarButton(*bottomPanel, kRevertFrame, kRevertString, [this] { revertColours(); });
    slotButton = addBarButton(*bottomPanel, kSlotFrame, kFirstColourString, [this] { toggleColourSlot(); });
    fitBarToButtons(*bottomPanel);
    const int barY = bottomPanel->y;

    hueSlider = new SpriteSlider(true);
    hueSlider->anchorMode = kAnchorAbsolute;
    hueSlider->x = (W - hueSlider->width) / 2;
    int thumbW = 0, thumbH = 0;
    getSprite(kSpriteSetMenus)->frameBounds(hueSlider->thumbFrame, thumbW, thumbH);
    hueSlider->y = barY - 5 * thumbH;
    hueSlider->setValue(0.5f);
    addItem(hueSlider);
    giveInputPriority(hueSlider);

    valueSlider = new VerticalSlider(kValueTrackFrame, kValueThumbFrame);
    saturationSlider = new VerticalSlider(kSaturationTrackFrame, kSaturationThumbFrame);
    for (VerticalSlider* slider : {valueSlider, saturationSlider}) {
        int thumbW = 0, thumbH = 0;
        getSprite(kSpriteSetMenus)->frameBounds(slider->thumbFrame, thumbW, thumbH);
        slider->anchorMode = kAnchorAbsolute;
        slider->x = slider == valueSlider ? static_cast<int>(1.5f * thumbW)
                                          : W - static_cast<int>(1.5f * thumbW) - slider->width;
        const float top = 167.0f * s, bottom = static_cast<float>(barY) - 30.0f * s;
        slider->y = static_cast<int>(top + (bottom - top - static_cast<float>(slider->height)) / 2.0f);
        slider->setValue(0.5f);
        addItem(slider);
        giveInputPriority(slider);
    }


    infoBalloon->visible = false;
    infoBalloon->enabled = false;
    hideBrowsing();
    bottomPanel->spacing = static_cast<int>(20.0f * s);
    const int content = resetButton->width + revertButton->width + slotButton->width + 2 * bottomPanel->spacing;
    // Nudged right of the middle, but never past the screen's right edge.
    bottomPanel->paddingX = barPaddingWithinScreen((W - content) / 2 + static_cast<int>(30.0f * s), content,
                                                   static_cast<int>(15.0f * s));
    giveInputPriority(backButton());
    bringToFront(backButton());
    layout(0, 0);

    // The plane's photo becomes the picture of the photo set.
    const PlaneCfg* record = PlaneList::instance().findById(plane());
    if (record && graphics()) {
        Texture2D* photo = AirplaneModel::loadPhoto(*record);
        CSprite* photoSet = getSprite(kPhotoSet);
        if (photo && photoSet->texture() != photo)
            photoSet->setTexture(photo);
    }
}

void PlanePaintingMenuFrame::hideBrowsing()
{
    // One plane is painted: no browsing, and the tracks keep the page's sides.
    showSinglePlane();
    for (MenuItem* item : {static_cast<MenuItem*>(statePanel), static_cast<MenuItem*>(infoButton)})
        if (item) {
            item->visible = false;
            item->enabled = false;
        }
}

void PlanePaintingMenuFrame::loadColours(const PlanePaint& paint)
{
    colours[0] = paintColour(paint, 0);
    colours[1] = paintColour(paint, 1);
}

PlanePaint PlanePaintingMenuFrame::storedPaint() const
{
    PlanePaint paint;
    setPaintColour(paint, 0, colours[0]);
    setPaintColour(paint, 1, colours[1]);
    return paint;
}

void PlanePaintingMenuFrame::placeSliders()
{
    const Colour& c = colours[static_cast<std::size_t>(colourSlot)];
    // A stored hue past 360 (or a broken one) puts the thumb at an end, never off the track.
    hueSlider->setValue(std::isfinite(c[0]) ? std::clamp(c[0] / 360.0f, 0.0f, 1.0f) : 0.0f);
    saturationSlider->setValue(unit(1.0f - c[1]));
    valueSlider->setValue(unit(1.0f - c[2]));
}

void PlanePaintingMenuFrame::updateSliders()
{
    placeSliders();
    sliderCache = {hueSlider->value, valueSlider->computeValue(), saturationSlider->computeValue()};
}

void PlanePaintingMenuFrame::onShow()
{
    for (MenuItem* slider : {static_cast<MenuItem*>(hueSlider), static_cast<MenuItem*>(valueSlider),
                             static_cast<MenuItem*>(saturationSlider)}) {
        slider->visible = true;
        slider->enabled = true;
    }
    colourSlot = 0;
    slotButton->frame = kSlotFrame;
    slotButton->labelStringId = kFirstColourString;
    slotButton->updateLabel();
    // The plane the base's show settles on, so the colours read are the ones stored back.
    restorePlayerPlane();
    m_plane = settings().localPlaneId;
    loadColours(settings().paintAt(plane()));
    updateSliders();
    changedMask = 0;
    cameraDrag = false;
    layout(0, 0);
    SceneMenuFrame::onShow();
    hideBrowsing();
    rebuildFocusLinks();
    GameShowcase::instance().setCameraMode(kPaintCameraMode);
}

void PlanePaintingMenuFrame::update()
{
    const std::array<float, 3> now = {hueSlider->value, valueSlider->computeValue(), saturationSlider->computeValue()};
    for (std::size_t i = 0; i < 3; ++i)
        if (std::fabs(now[i] - sliderCache[i]) >= kChangeThreshold)
            changedMask |= static_cast<std::uint8_t>(1u << colourSlot);
    Colour& c = colours[static_cast<std::size_t>(colourSlot)];
    c[0] = std::clamp(now[0] * 360.0f, 0.0f, 360.0f);
    c[1] = unit(1.0f - now[2]);
    c[2] = unit(1.0f - now[1]);
    copyToPreview();
    SceneMenuFrame::update();
}

void PlanePaintingMenuFrame::copyToPreview() const
{
    SkinPreviewPaint& preview = skinPreviewPaint();
    if (!preview.model)
        return;
    for (std::size_t slot = 0; slot < 2; ++slot)
        for (std::size_t i = 0; i < 3; ++i)
            preview.colors[slot * 3 + i] = colours[slot][i];
}

void PlanePaintingMenuFrame::toggleColourSlot()
{
    settings().save();
    colourSlot = (colourSlot + 1) % 2;
    slotButton->frame = kSlotFrame + 2 * colourSlot;
    slotButton->labelStringId = colourSlot == 0 ? kFirstColourString : kSecondColourString;
    slotButton->updateLabel();
    bottomPanel->layout(0, 0);
    updateSliders();
}

void PlanePaintingMenuFrame::revertColours()
{
    loadColours(settings().paintAt(plane()));
    changedMask = 0;
    updateSliders();
}

void PlanePaintingMenuFrame::resetToDefaults()
{
    const int id = plane();
    const PlanePaint factory =
        id >= 0 && id < Settings::kPlaneIdCount ? settings().defaultPaintTable[static_cast<std::size_t>(id)] : PlanePaint{};
    for (int slot = 0; slot < 2; ++slot)
        if (differs(colours[static_cast<std::size_t>(slot)], paintColour(factory, slot)))
            changedMask |= static_cast<std::uint8_t>(1u << slot);
    loadColours(factory);
    // The cache stays: the next update sees the move and marks it only when the sliders moved.
    placeSliders();
}

void PlanePaintingMenuFrame::onHide()
{
    if (changedMask != 0) {
        settings().setPaint(plane(), storedPaint());
        settings().save();
        logInfo("menus", "paint of plane %d stored: %.0f %.2f %.2f / %.0f %.2f %.2f", plane(),
                static_cast<double>(colours[0][0]), static_cast<double>(colours[0][1]),
                static_cast<double>(colours[0][2]), static_cast<double>(colours[1][0]),
                static_cast<double>(colours[1][1]), static_cast<double>(colours[1][2]));
        achievements().notifyEvent(kNewColoursEvent);
    }
    if (skinPreviewPaint().model) {
        loadColours(settings().paintAt(plane()));
        copyToPreview();
    }
    if (IMenuShowcase* scene = menuShowcase())
        scene->setSceneShown();
}

bool PlanePaintingMenuFrame::sliderDragged() const
{
    return hueSlider->dragging() || valueSlider->dragging() || saturationSlider->dragging();
}

bool PlanePaintingMenuFrame::onTouchDown(int x, int y)
{
    const bool handled = MenuContainer::onTouchDown(x, y);
    if (sliderDragged())
        return false;
    cameraDrag = true;
    lastTouchX = static_cast<float>(x);
    lastTouchY = static_cast<float>(y);
    return handled;
}

bool PlanePaintingMenuFrame::onTouchMove(int x, int y)
{
    // The items see every move (a dragged slider follows it); the page
    // reports the move as its own only while it turns the camera.
    (void)MenuContainer::onTouchMove(x, y);
    if (!cameraDrag)
        return false;
    GameShowcase::instance().rotateCamera(static_cast<float>(x) - lastTouchX, static_cast<float>(y) - lastTouchY);
    lastTouchX = static_cast<float>(x);
    lastTouchY = static_cast<float>(y);
    return true;
}

bool PlanePaintingMenuFrame::onTouchUp(int x, int y)
{
    const bool handled = MenuContainer::onTouchUp(x, y);
    cameraDrag = false;
    return handled;
}

bool PlanePaintingMenuFrame::onScroll(float dx, float dy)
{
    GameShowcase::instance().rotateCamera(dx, dy);
    return true;
}

void PlanePaintingMenuFrame::drawGradient(const VerticalSlider& slider, int trackFrame, const Colour& top,
                                          const Colour& bottom) const
{
    Graphics* device = graphics();
    int w = 0, h = 0;
    getSprite(kSpriteSetMenus)->frameBounds(trackFrame, w, h);
    if (!device || w <= 0 || h <= 0)
        return;
    const float x0 = static_cast<float>(slider.absX) + static_cast<float>(slider.width - w) / 2.0f;
    const float y0 = static_cast<float>(slider.absY + slider.halfThumb);
    Color4 a, b;
    packColor3(a, hsvToRgb(top[0], top[1], top[2]));
    packColor3(b, hsvToRgb(bottom[0], bottom[1], bottom[2]));
    a.a = b.a = 255;
    const float x1 = x0 + static_cast<float>(w), y1 = y0 + static_cast<float>(h);
    const std::array<SpriteVertex, 4> quad = {SpriteVertex{x0, y0, 0.0f, a, 0.0f, 0.0f},
                                              SpriteVertex{x1, y0, 0.0f, a, 1.0f, 0.0f},
                                              SpriteVertex{x0, y1, 0.0f, b, 0.0f, 1.0f},
                                              SpriteVertex{x1, y1, 0.0f, b, 1.0f, 1.0f}};
    spriteBatch().addQuad(quad, device->whiteTexture());
}

void PlanePaintingMenuFrame::draw()
{
    const ScreenMetrics& m = screenMetrics();
    if (IMenuShowcase* scene = menuShowcase(); scene && scene->isLocked(m_showcase.planeId))
{
        const CSprite* hud = getSprite(kSpriteSetHud);
        hud->drawModule(kLockedModule, (static_cast<float>(m.screenWidth) - hud->moduleWidth(kLockedModule)) / 2.0f,
                        (static_cast<float>(m.screenHeight) - hud->moduleHeight(kLockedModule)) / 2.0f);
    }
    const Colour& c = colours[static_cast<std::size_t>(colourSlot)];
    // The end at slider position 0 stands for a component of 1.
    drawGradient(*valueSlider, kValueTrackFrame, {c[0], c[1], 1.0f}, {c[0], c[1], 0.0f});
    drawGradient(*saturationSlider, kSaturationTrackFrame, {c[0], 1.0f, c[2]}, {c[0], 0.0f, c[2]});
    drawPhoto();
    SceneMenuFrame::draw();
}

PlanePaintingMenuFrame::PhotoPlace PlanePaintingMenuFrame::photoPlace() const
{
    // In the top right corner, under the title's line and above the
    // saturation track, at most 100 high.
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const float top = static_cast<float>(titleLabel->absY + titleLabel->height) + 10.0f * s;
    const float room = static_cast<float>(saturationSlider->absY) - 10.0f * s - top;
    PhotoPlace place;
    place.h = std::min(100.0f * s, room);
    if (place.h < 20.0f * s)
        return PhotoPlace{};
    place.w = place.h * 1.6f;
    place.x = static_cast<float>(m.screenWidth) - place.w - 20.0f * s;
    place.y = top;
    return place;
}

void PlanePaintingMenuFrame::drawPhoto()
{
    // The plane as it left the factory, beside the one being painted.
    const PhotoPlace place = photoPlace();
    CSprite* photo = getSprite(kPhotoSet);
    if (place.h <= 0.0f || !photo || photo->frameCount() < 1)
        return;
    int w = 0, h = 0;
    photo->frameBounds(0, w, h);
    if (w <= 0 || h <= 0)
        return;
    const float border = std::max(1.0f, 2.0f * screenMetrics().uiScale);
    drawFilledRect(place.x - border, place.y - border, place.w + 2.0f * border, place.h + 2.0f * border, 0xBB, 0xDA,
                   0xF3, 0xFF);
    photo->setScale(place.w / static_cast<float>(w), place.h / static_cast<float>(h));
    const CSprite::Rect r = photo->frameRect(0);
    photo->drawFrame(0, place.x - r.x, place.y - r.y);
    photo->setScale(1.0f, 1.0f);
}
