#pragma once

// A piece of the flight HUD that draws itself each frame and may take
// touches: the camera drag, the direction pad, the value texts and the
// voice-chat indicator. PlaneHud offers touches to its controls before its
// buttons; a control that takes one keeps it until it ends.
class HudControl {
public:
    virtual ~HudControl() = default;
    virtual void draw() {}
    virtual void update() {}
    // True when the control takes the touch.
    virtual bool touchBegan(int id, float x, float y) { (void)id, (void)x, (void)y; return false; }
    virtual void touchEnded(int id, float x, float y) { (void)id, (void)x, (void)y; }
    virtual void touchMoved(int id, float x, float y) { (void)id, (void)x, (void)y; }
    virtual bool containsPoint(float x, float y) const { (void)x, (void)y; return false; }
    // The touch the control holds, -1 when none.
    virtual int touchId() const { return -1; }
    // Drops any held touch and motion.
    virtual void reset() {}
    // The tutorial pulse on or off; it restarts at phase 0.
    virtual void setHighlighted(bool on) { (void)on; }
};
