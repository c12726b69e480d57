#pragma once
#include "platform/Math.h"

#include <string_view>

// What the tutorials reach of the HUD, the game camera and the music above
// the modes library. Filled by the screens library; every call does nothing
// (and every question answers "no") until then, so a tutorial runs headless.
class ITutorialHud {
public:
    // HUD button ids the tutorials show, hide and highlight.
    static constexpr int kAutopilotButton = 1, kPauseButton = 3, kCameraButton = 4;
    static constexpr int kSquadOrderA = 9, kSquadOrderF = 10, kSquadOrderD = 11;
    static constexpr int kRadarGroup = 12, kBoostButton = 25;
    static constexpr int kLinkFirst = 19, kLinkLast = 24;
    // The dials with a show flag and a highlight flag.
    enum class Dial : int { Radar = 0, Altimeter = 1, SpeedDial = 2 };
    // An element's place on screen, in pixels.
    struct Rect {
        float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
    };

    virtual ~ITutorialHud() = default;

    // The message queue's notices and tutorial lines.
    virtual void pushTutorialLine(int /*stringId*/, float /*seconds*/) {}
    virtual void pushNotice(std::u16string_view /*text*/, float /*seconds*/) {}
    virtual void clearNotices() {}
    virtual int noticeCount() const { return 0; }
    virtual void popOldestNotice() {}

    // Buttons. hideAllButtons keeps pause and camera and also switches off the
    // direction pad and the camera drag.
    virtual void hideAllButtons() {}
    virtual void setButtonVisible(int /*id*/, bool /*on*/) {}
    virtual bool buttonVisible(int /*id*/) const { return false; }
    // The tutorial pulse of a button, restarted at phase 0.
    virtual void setButtonHighlighted(int /*id*/, bool /*on*/) {}
    // The three weapon-slot buttons and the six link buttons: greyed (0.6,
    // disabled) or enabled (1.0).
    virtual void setWeaponButtonsEnabled(bool /*on*/) {}
    virtual void showButtonGroup(int /*showId*/, int /*hideId*/) {}
    virtual void showSquadButtons(int /*index*/) {}

    // Gauges, dials, the direction pad and the camera drag.
    virtual void setWeaponGauges(bool /*shown*/, bool /*fading*/) {}
    virtual void setDialShown(Dial /*dial*/, bool /*on*/) {}
    virtual void setDialHighlighted(Dial /*dial*/, bool /*on*/) {}
    virtual void setDirectionPad(bool /*on*/) {}
    virtual void setDirectionPadPulse(bool /*on*/) {}
    virtual void setCameraDrag(bool /*on*/) {}
    // abs(first) + abs(second) of the camera drag's two values.
    virtual float cameraDragAmount() const { return 0.0f; }
    // Off: the HUD is neither updated nor drawn.
    virtual void setHudActive(bool /*on*/) {}
    virtual void clearFastForward() {}
    // The screen rectangle of a HUD sheet element; false when there is no HUD.
    virtual bool elementRect(int /*element*/, Rect& /*out*/) const { return false; }

    // The game camera.
    virtual int cameraMode() const { return 0; }
    virtual void setCameraMode(int /*mode*/) {}
    // The camera turns to look at the point from the distance (the end of a tutorial).
    virtual void lookAtPoint(const Vec3& /*point*/, float /*distance*/) {}

    // The game's music stream that does not loop.
    virtual void stopMusicStream() {}
};
