#include "ui/widgets/SpriteSlider.h"

#include "platform/Clock.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CSprite.h"
#include "render/2d/Render2D.h"
#include "render/2d/SpriteSets.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kGrabReach = 60.0f;     // x the art scale, from the thumb centre
constexpr float kSideMargin = 40.0f;    // x the art scale
constexpr float kRowMargin = 10.0f;     // x the art scale, above the thumb
constexpr float kEaseRate = 10.0f;      // of the distance, per second
constexpr float kVerticalEnds = 20.0f;  // x the art scale
constexpr float kVerticalMargin = 4.0f; // x the horizontal UI scale
constexpr int kTrackInset = 10;

int frameWidth(CSprite* sprite, int frame)
{
    int w = 0, h = 0;
    if (sprite && frame >= 0)
        sprite->frameBounds(frame, w, h);
    return w;
}

int frameHeight(CSprite* sprite, int frame)
{
    int w = 0, h = 0;
    if (sprite && frame >= 0)
        sprite->frameBounds(frame, w, h);
    return h;
}
}  // namespace

SpriteSlider::SpriteSlider()
{
    init(kTrackFrame, kFillFrame, kThumbFrame);
}

SpriteSlider::SpriteSlider(bool thumbOnly)
{
    if (thumbOnly)
        init(kThumbOnlyTrackFrame, -1, kThumbOnlyThumbFrame);
    else
        init(kTrackFrame, kFillFrame, kThumbFrame);
}

void SpriteSlider::init(int track, int fill, int thumb)
{
    focusable = true;
    interactive = true;
    sprite = getSprite(kSpriteSetMenus);
    trackFrame = track;
    fillFrame = fill;
    thumbFrame = thumb;
    measure();
}

void SpriteSlider::setSprite(CSprite* sheet)
{
    sprite = sheet;
    measure();
}

void SpriteSlider::measure()
{
    const int track = trackFrame, fill = fillFrame, thumb = thumbFrame;
    const int thumbWidth = frameWidth(sprite, thumb);
    halfThumb = thumbWidth / 2;
    trackLength = frameWidth(sprite, fill >= 0 ? fill : track) - kTrackInset;
    width = frameWidth(sprite, track) + thumbWidth;
    height = frameHeight(sprite, thumb) + static_cast<int>(2.0f * kRowMargin * screenMetrics().uiScale);
    setThumbPosition(trackStart);
}

void SpriteSlider::setThumbPosition(int position)
{
    m_thumbPosition = position;
    clampThumb();
    m_touchX = m_thumbPosition + halfThumb;
    value = trackLength > 0 ? static_cast<float>(m_thumbPosition - trackStart) / static_cast<float>(trackLength) : 0.0f;
}

void SpriteSlider::setValue(float v)
{
    setThumbPosition(trackStart + static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * static_cast<float>(std::max(trackLength, 0)))));
}

bool SpriteSlider::clampThumb()
{
    const int clamped = std::clamp(m_thumbPosition, trackStart, std::max(trackStart, trackEnd()));
    const bool changed = clamped != m_thumbPosition;
    m_thumbPosition = clamped;
    return changed;
}

void SpriteSlider::updateValue()
{
    // A track too short to move on gives the start value rather than a division by zero.
    if (trackLength <= 0 || m_thumbPosition == 0)
        value = 0.0f;
    else
        value = std::clamp(static_cast<float>(m_thumbPosition - trackStart) / static_cast<float>(trackLength), 0.0f, 1.0f);
    if (onChange)
        onChange();
}

bool SpriteSlider::onTouchDown(int px, int)
{
    if (!sliderEnabled)
        return false;
    const int centre = absX + halfThumb + m_thumbPosition;
    if (static_cast<float>(std::abs(px - centre)) > kGrabReach * screenMetrics().uiScale)
        return false;
    m_dragging = true;
    m_touchX = px - absX;
    return true;
}

bool SpriteSlider::onTouchMove(int px, int)
{
    if (!sliderEnabled || !m_dragging)
        return false;
    m_thumbPosition += px - absX - m_touchX;
    m_touchX = px - absX;
    clampThumb();
    updateValue();
    return true;
}

bool SpriteSlider::onTouchUp(int, int)
{
    if (!sliderEnabled || !m_dragging)
        return false;
    updateValue();
    m_dragging = false;
    return false;
}

bool SpriteSlider::contains(int px, int py, float margin) const
{
    const float side = kSideMargin * screenMetrics().uiScale;
    const float fx = static_cast<float>(px), fy = static_cast<float>(py);
    const float top = static_cast<float>(absY - verticalTouchMargin) - margin;
    const float bottom = static_cast<float>(absY + height + verticalTouchMargin) + margin;
    return fx >= static_cast<float>(absX) - side && fx <= static_cast<float>(absX + width) + side && fy >= top &&
           fy <= bottom;
}

void SpriteSlider::activate()
{
    if (!sliderEnabled)
        return;
    if (m_thumbPosition < trackEnd()) {
        m_thumbPosition += kStep;
        m_touchX += kStep;
    } else {
        m_thumbPosition = trackStart;
        m_touchX = trackStart + halfThumb;
    }
    clampThumb();
    m_touchX = std::min(m_touchX, m_thumbPosition + halfThumb);
    updateValue();
}

void SpriteSlider::update()
{
    if (!sliderEnabled)
        return;
    const float dt = frameDelta();
    const int step = static_cast<int>(static_cast<float>(m_touchX - halfThumb - m_thumbPosition) * kEaseRate * dt);
    if (step == 0)
        return;
    m_thumbPosition += step;
    if (!clampThumb())
        updateValue();
}

float SpriteSlider::row() const
{
    return static_cast<float>(absY) + scrollY + kRowMargin * screenMetrics().uiScale;
}

void SpriteSlider::draw()
{
    if (!sprite)
        return;
    const float x = static_cast<float>(absX) + scrollX, top = row();
    const int thumbHeight = frameHeight(sprite, thumbFrame);
    const int trackHeight = frameHeight(sprite, trackFrame);
    const float trackY = top + static_cast<float>(thumbHeight - trackHeight) / 2.0f;
    if (!sliderEnabled) {
        sprite->drawFrame(disabledFrame, x + static_cast<float>(halfThumb), trackY);
        return;
    }
    const float trackX = x + static_cast<float>(halfThumb);
    if (stretchedTrack) {
        const int trackWidth = std::max(1, frameWidth(sprite, trackFrame));
        sprite->setScale(static_cast<float>(width - 2 * halfThumb) / static_cast<float>(trackWidth), 1.0f);
        sprite->drawFrame(trackFrame, trackX, trackY);
        sprite->setScale(1.0f, 1.0f);
    } else {
        sprite->drawFrame(trackFrame, trackX, trackY);
    }
    if (fillFrame >= 0) {
        pushCropRect(trackX, static_cast<float>(absY) + scrollY, static_cast<float>(halfThumb + m_thumbPosition),
                     static_cast<float>(height));
        sprite->drawFrame(fillFrame, trackX, trackY);
        popCropRect();
    }
    if (enabled)
        sprite->drawFrame(thumbFrame, x + static_cast<float>(m_thumbPosition), top);
}

// ---- VerticalSlider ----

VerticalSlider::VerticalSlider(int track, int thumb)
{
    focusable = true;
    interactive = true;
    sprite = getSprite(kSpriteSetMenus);
    trackFrame = track;
    thumbFrame = thumb;
    measure();
}

void VerticalSlider::setSprite(CSprite* sheet)
{
    sprite = sheet;
    measure();
}

void VerticalSlider::measure()
{
    const int track = trackFrame, thumb = thumbFrame;
    halfThumb = frameHeight(sprite, thumb) / 2;
    width = frameWidth(sprite, track) + 20;
    height = frameHeight(sprite, track) + frameHeight(sprite, thumb);
    const float ends = kVerticalEnds * screenMetrics().uiScale;
    trackStart = static_cast<int>(ends);
    trackLength = static_cast<int>(static_cast<float>(height) - 2.0f * ends);
    setThumbPosition(trackStart);
}

void VerticalSlider::setThumbPosition(int position)
{
    m_thumbPosition = std::clamp(position, trackStart, std::max(trackStart, thumbEnd()));
    m_touchY = m_thumbPosition + halfThumb;
    value = trackLength > 0 ? static_cast<float>(m_thumbPosition - trackStart) / static_cast<float>(trackLength) : 0.0f;
}

void VerticalSlider::setValue(float position)
{
    const int travel = std::max(trackLength - 2 * halfThumb, 0);
    const float p = std::isfinite(position) ? std::clamp(position, 0.0f, 1.0f) : 0.0f;
    setThumbPosition(trackStart + static_cast<int>(std::lround(p * static_cast<float>(travel))));
    computeValue();
}

float VerticalSlider::computeValue()
{
    const int travel = trackLength - 2 * halfThumb;
    if (m_thumbPosition == 0 || travel <= 0)
        value = 0.0f;
    else
        value = std::clamp(static_cast<float>(m_thumbPosition - trackStart) / static_cast<float>(travel), 0.0f, 1.0f);
    return value;
}

void VerticalSlider::clampAndUpdate()
{
    m_thumbPosition = std::clamp(m_thumbPosition, trackStart, std::max(trackStart, thumbEnd()));
    const float before = value;
    if (trackLength <= 0 || m_thumbPosition == 0)
        value = 0.0f;
    else
        value = static_cast<float>(m_thumbPosition - trackStart) / static_cast<float>(trackLength);
    if (onChange && (value != before || m_dragging))
        onChange();
}

bool VerticalSlider::onTouchDown(int, int py)
{
    if (!enabled)
        return false;
    m_dragging = true;
    m_touchY = py - absY;
    return true;
}

bool VerticalSlider::onTouchMove(int, int py)
{
    if (!enabled || !m_dragging)
        return false;
    m_touchY = py - absY;
    return true;
}

bool VerticalSlider::onTouchUp(int, int)
{
    if (!enabled || !m_dragging)
        return false;
    clampAndUpdate();
    m_dragging = false;
    return false;
}

bool VerticalSlider::contains(int px, int py, float margin) const
{
    const float m = kVerticalMargin * screenMetrics().screenScaleX;
    const float fx = static_cast<float>(px), fy = static_cast<float>(py);
    return fx >= static_cast<float>(absX - horizontalTouchMargin) - margin &&
           fx <= static_cast<float>(absX + width + horizontalTouchMargin) + margin &&
           fy >= static_cast<float>(absY) - m && fy <= static_cast<float>(absY + height) + m;
}

void VerticalSlider::activate()
{
    if (!enabled)
        return;
    const int stepPixels = static_cast<int>(static_cast<float>(SpriteSlider::kStep) * screenMetrics().uiScale);
    if (m_thumbPosition < thumbEnd()) {
        m_thumbPosition += stepPixels;
        m_touchY += stepPixels;
    } else {
        m_thumbPosition = trackStart;
    }
    clampAndUpdate();
    m_touchY = m_thumbPosition + halfThumb;
}

void VerticalSlider::update()
{
    if (!enabled)
        return;
    const int step =
        static_cast<int>(static_cast<float>(m_touchY - halfThumb - m_thumbPosition) * kEaseRate * frameDelta());
    if (step != 0) {
        m_thumbPosition += step;
        clampAndUpdate();
    }
}

void VerticalSlider::draw()
{
    if (!sprite)
        return;
    const float x = static_cast<float>(absX) + scrollX, y = static_cast<float>(absY) + scrollY;
    const float trackX = x + static_cast<float>(width - frameWidth(sprite, trackFrame)) / 2.0f;
    const float trackY = y + static_cast<float>(halfThumb);
    if (stretchedTrack) {
        const int trackHeight = std::max(1, frameHeight(sprite, trackFrame));
        sprite->setScale(1.0f, static_cast<float>(height - 2 * halfThumb) / static_cast<float>(trackHeight));
        sprite->drawFrame(trackFrame, trackX, trackY);
        sprite->setScale(1.0f, 1.0f);
    } else {
        sprite->drawFrame(trackFrame, trackX, trackY);
    }
    if (fillFrame >= 0) {
        pushCropRect(x, y, static_cast<float>(width), static_cast<float>(m_thumbPosition + halfThumb));
        sprite->drawFrame(fillFrame, trackX, trackY);
        popCropRect();
    }
    if (enabled)
        sprite->drawFrame(thumbFrame, x + static_cast<float>(width - frameWidth(sprite, thumbFrame)) / 2.0f,
                          y + static_cast<float>(m_thumbPosition));
}
