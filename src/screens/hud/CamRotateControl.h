#pragma once
#include "screens/hud/HudControl.h"

#include <functional>

// The camera drag: a touch in the middle and lower right of the screen that,
// once held for a third of a second, turns the look towards the finger (its
// place relative to the screen centre, not its travel). With gestures off a
// touch that has plainly moved turns it at once, so a quick drag turns the
// view too. With gestures on, taps and swipes are reported by code.
class CamRotateControl : public HudControl {
public:
    static constexpr float kLookDelay = 0.333f;
    // Travel (times the interface scale) that makes a touch a drag.
    static constexpr float kDragSlop = 12.0f;
    static constexpr float kDoubleTapTime = 0.15f;
    // Gesture codes: 1 swipe down, 2 up, 3 left, 4 right, 7 double tap.
    using GestureSink = std::function<void(int code)>;

    bool touchBegan(int id, float x, float y) override;
    void touchEnded(int id, float x, float y) override;
    void touchMoved(int id, float x, float y) override;
    bool containsPoint(float x, float y) const override;
    int touchId() const override { return m_touchId; }
    void reset() override;

    // The keyboard's and stick's look, each frame: both 0 snaps the look back;
    // else a negative axis raises the look by the frame delta, a positive one lowers it.
    void updateInertia(float ax, float ay);

    // Whether gestures count (the player's plane in play is checked by the sink's owner).
    bool gesturesOn = false;
    // The program clock; tests put their own.
    float (*clock)() = nullptr;
    GestureSink gestures;
    bool enabled = true;  // cleared while the tutorial hides the buttons
    // The camera turns to its locked target: a new touch keeps the look it has.
    bool keepsLook = false;
    float lookX = 0.0f, lookY = 0.0f;
    float touchStartTime = 0.0f, touchStartX = 0.0f, touchStartY = 0.0f;
    float lastEndTime = -1.0f;

private:
    float timeNow() const;
    int gestureCode(float x, float y, float now) const;
    int m_touchId = -1;
    bool m_dragging = false;
};

// The floating stick: the ring is placed where a finger lands inside its
// area, and the axes follow the finger's travel from there. A held touch
// stays with the pad anywhere on its half of the screen.
class ControlsDpad : public HudControl {
public:
    static constexpr int kRingModule = 16, kKnobModule = 17, kAreaFirstModule = 36, kAreaLastModule = 37;

    // Sizes and the touch area: from the knob and ring modules and the area
    // corners' places (element rectangles); mirrored when flipped.
    void layout(float knobW, float knobH, float ringW, float ringH, float x36, float y36, float x37, float y37,
                bool flipped);

    void draw() override;
    bool touchBegan(int id, float x, float y) override;
    void touchEnded(int id, float x, float y) override;
    void touchMoved(int id, float x, float y) override;
    bool containsPoint(float x, float y) const override;
    int touchId() const override { return m_touchId; }
    void reset() override;
    void setHighlighted(bool on) override { setVisible(on); }
    void setVisible(bool on);
    void resetState();
    // Offset over half the ring size per axis: the stick's deflection.
    void axes(float& x, float& y) const;

    struct Box {
        float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
    };
    float knobW = 0.0f, knobH = 0.0f, ringW = 0.0f, ringH = 0.0f;
    Box ring;           // where the ring is drawn
    Box area;           // where a touch may start
    float centreX = 0.0f, centreY = 0.0f;
    float offsetX = 0.0f, offsetY = 0.0f;
    float lastX = 0.0f, lastY = 0.0f, deltaX = 0.0f, deltaY = 0.0f, startX = 0.0f, startY = 0.0f;
    bool active = false;
    float radius = 0.0f;
    float axisX = 0.0f, axisY = 0.0f;
    bool enabled = true;
    bool highlighted = false;
    float pulse = 0.0f;
    bool flipped = false;
    bool planeInPlay = true;  // set by the HUD each frame; the pad draws only then

private:
    void clampToArea(float& x, float& y) const;
    void updateAxes();
    int m_touchId = -1;
};
