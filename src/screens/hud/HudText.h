#pragma once
#include "platform/Math.h"
#include "screens/hud/HudControl.h"

#include <string>

class CFont;
class CSprite;

// A number shown as text whose colour runs from the low colour at the range
// minimum to the high colour at its maximum, blinking below a tenth of the
// range. Takes no touches.
class HudText : public HudControl {
public:
    static constexpr Color4 kShadowColor{0, 0, 0, 255};
    static constexpr Color4 kHighlightColor{255, 140, 0, 255};

    HudText();

    void draw() override;
    void update() override;
    void setHighlighted(bool on) override;

    // The colour follows the value; a range with no width takes the low colour.
    void setValue(float v);
    // Slides from (position + d) to the present position over `duration` seconds.
    void slideFrom(float dx, float dy, float duration);
    // Where the value lies in the range, 0..1 unclamped; 0 for an empty range.
    float fraction() const;

    std::u16string text = u"123456";
    Vec2 position;
    float value = 0.0f;
    CSprite* iconSheet = nullptr;
    int iconFrame = -1;
    CFont* font = nullptr;       // null: font 0
    Color4 lowColor{255, 0, 0, 255};
    Color4 highColor{0, 128, 0, 255};
    Color4 color{255, 0, 0, 255};
    float rangeMin = 0.0f, rangeMax = 2.0f * kPi;
    float blinkFactor = 1.0f, blinkPhase = 0.0f;
    bool blinking = false;
    int alignment = 4;
    struct Slide {
        bool active = false;
        float elapsed = 0.0f, duration = 0.0f;
        Vec2 start, end;
    } slide;
    bool hidden = false;
    bool highlighted = false;
    float pulsePhase = 0.0f;

private:
    void drawPass(Color4 textColor, Color4 iconColor, float dx, float dy);
};

// The voice-chat indicator at the top centre. States: 0 nothing, 1 talking
// (pulsing), 2 idle, 3 muted, 4 and 5 connecting (running dots, back to 2
// when the state timer ends). The voice side sets state, timer and dots.
class VoiceChatFeedback : public HudControl {
public:
    // Modules of the HUD sheet each state draws.
    static constexpr int kTalkModule = 200, kTalkPulseModule = 201, kIdleModule = 202, kMuteModule = 203;
    static constexpr int kDotModule = 204, kDotOffModule = 205;

    void draw() override;
    void update() override;

    int touch = -1;
    float stateTimer = 0.0f;
    float pulse = 0.0f;
    signed char pulseDirection = 1;
    int state = 0;
    int litDots = 0;
    float dotTimer = 0.0f;
};
