#pragma once
#include "modes/ITutorialHud.h"

// The pointers the tutorials draw over the HUD: the red autopilot panel, the
// pulsing arrow beside a HUD element, the camera-drag gesture and the dark
// screen of a move. The places are plain functions so they can be checked
// without a window; the draw calls run inside a 2-D pass the caller opens.
class TutorialOverlay {
public:
    static constexpr int kSpriteSet = 13;
    static constexpr int kTouchFrame = 9, kRingFrame = 10, kArrowFrame = 11;
    static constexpr int kPanelSpriteSet = 7, kPanelFrame = 95;
    static constexpr float kPanelWidth = 300.0f, kPanelHeight = 50.0f;  // times the interface scale
    static constexpr float kGestureReach = 200.0f;                     // times the interface scale
    static constexpr float kGestureSpeed = 20.0f;
    static constexpr float kPulseSpeed = 5.0f;
    static constexpr float kSideGap = 40.0f;  // the weapons arrow, times the interface scale
    static constexpr int kRedPanelText = 388;

    // Where the arrow's tip goes and how it is turned (clockwise on screen;
    // at 0 it points right).
    struct ArrowPlace {
        float x = 0.0f, y = 0.0f, rotation = 0.0f;
    };

    // Pulse: phase += 5 x dt; the opacity |sin(phase)| x 255.
    static float pulse(float& phase, float dt);
    // The tip outside the rectangle on the side the arrow comes from, `gap`
    // pixels off its edge, pointing at its middle. Given the arrow's length and
    // the screen's size, an arrow whose tail would leave the screen comes from
    // the other side instead.
    static ArrowPlace arrowAt(const ITutorialHud::Rect& r, float rotation, float gap, float length = 0.0f,
                              float screenWidth = 0.0f, float screenHeight = 0.0f);
    // The arrow frame's length on screen.
    static float arrowLength();
    // Left of the rectangle at its middle pointing right; under the mirrored
    // HUD right of the mirrored rectangle, pointing left.
    static ArrowPlace arrowBeside(const ITutorialHud::Rect& r, float gap, bool mirrored, float screenWidth);

    // The turn of an arrow level with the rectangle that comes from the
    // screen's nearer side edge: 0 (from the left) for a rectangle left of
    // the centre, else pi.
    static float fromNearerSide(const ITutorialHud::Rect& r, float screenWidth);

    static void drawArrow(const ArrowPlace& place, float opacity);
    // arrowAt on the present screen with the arrow's own length.
    static ArrowPlace arrowOnScreen(const ITutorialHud::Rect& r, float rotation, float gap);
    // The red panel with text 388 about the screen centre.
    static void drawRedPanel();
    // The camera-drag gesture; `travel` is how far the arrow has slid (0 ..
    // 200 x interface scale).
    static void drawGesture(float travel);
    // Where the gesture's touch sits: in the middle column of the screen, just
    // under the red panel, so the drag is shown where it works and leaves the
    // panel's text readable. `ringHeight` is the ring frame's height.
    static float gestureY(float screenHeight, float uiScale, float ringHeight);
    // The dark quad over the whole screen.
    static void drawDarkScreen();
    // Opens and closes the pass.
    static void begin();
    static void end();
};
