#pragma once
#include "ui/MenuHooks.h"
#include "ui/MenuItem.h"

class CSprite;

// A horizontal slider: a thumb on a track gives a value from 0 at the track
// start to 1 at its end, reported to the owner on every change. The thumb
// eases toward the last touch point; activation steps it and wraps at the end.
// The owner's onChange reads `value`.
class SpriteSlider : public MenuItem {
public:
    static constexpr int kTrackFrame = 99, kFillFrame = 100, kThumbFrame = 98, kDisabledFrame = 152;
    static constexpr int kThumbOnlyTrackFrame = 188, kThumbOnlyThumbFrame = 189;
    static constexpr int kStep = 30;   // pixels per activation

    SpriteSlider();
    // The thumb-only look: a groove and a pointer, no fill.
    explicit SpriteSlider(bool thumbOnly);

    // MenuItem
    void draw() override;
    void update() override;
    bool onTouchDown(int x, int y) override;
    bool onTouchMove(int x, int y) override;
    bool onTouchUp(int x, int y) override;
    bool contains(int x, int y, float margin) const override;
    void activate() override;

    // Places the thumb without calling back; the touch point moves with it,
    // so the easing leaves it there.
    void setThumbPosition(int position);
    // The thumb where the value puts it (clamped to 0..1), no callback.
    void setValue(float v);
    int trackEnd() const { return trackStart + trackLength; }
    int thumbPosition() const { return m_thumbPosition; }
    // Another sheet for the frames; sizes measured again, thumb at the start.
    void setSprite(CSprite* sheet);
    // The touch point the thumb eases to, relative to the slider's left edge.
    int touchPoint() const { return m_touchX; }
    bool dragging() const { return m_dragging; }

    MenuAction onChange;
    CSprite* sprite = nullptr;
    int trackFrame = kTrackFrame, fillFrame = kFillFrame, thumbFrame = kThumbFrame, disabledFrame = kDisabledFrame;
    float value = 0.0f;
    int halfThumb = 0;
    int trackStart = 5;
    int trackLength = 0;
    int verticalTouchMargin = 0;
    bool sliderEnabled = true;   // false: drawn greyed, takes no input, never calls back
    bool stretchedTrack = false;

private:
    void init(int track, int fill, int thumb);
    void measure();
    // Clamps the thumb to the track; true when it had to.
    bool clampThumb();
    void updateValue();
    float row() const;

    int m_thumbPosition = 5;
    int m_touchX = 0;   // relative to the slider, so a scrolled list does not pull the thumb
    bool m_dragging = false;
};

// A vertical slider with the owner's track and thumb frames; the thumb eases
// toward the touch point and the value follows it.
class VerticalSlider : public MenuItem {
public:
    VerticalSlider(int trackFrame, int thumbFrame);

    // MenuItem
    void draw() override;
    void update() override;
    bool onTouchDown(int x, int y) override;
    bool onTouchMove(int x, int y) override;
    bool onTouchUp(int x, int y) override;
    bool contains(int x, int y, float margin) const override;
    void activate() override;

    // The value over the whole 0..1 range of the thumb's travel.
    float computeValue();
    void setThumbPosition(int position);
    // The thumb where the position 0..1 of its travel puts it (clamped), no
    // callback; the touch point moves with it, so the easing leaves it there.
    void setValue(float position);
    bool dragging() const { return m_dragging; }
    int thumbPosition() const { return m_thumbPosition; }
    int thumbEnd() const { return trackStart + trackLength - 2 * halfThumb; }
    void setSprite(CSprite* sheet);

    MenuAction onChange;
    CSprite* sprite = nullptr;
    int trackFrame = -1, fillFrame = -1, thumbFrame = -1;
    float value = 0.0f;
    int halfThumb = 0;
    int trackStart = 0;
    int trackLength = 0;
    int horizontalTouchMargin = 0;
    bool stretchedTrack = false;

private:
    void clampAndUpdate();
    void measure();

    int m_thumbPosition = 0;
    int m_touchY = 0;   // relative to the slider's top
    bool m_dragging = false;
};
