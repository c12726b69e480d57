#include "screens/hud/TutorialHudBridge.h"

#include "screens/hud/HudMessageQueue.h"
#include "screens/hud/PlaneHud.h"
#include "screens/scene/GameCamera.h"
#include "screens/scene/SceneCameras.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

#include <cmath>

namespace {
constexpr float kLookAtAngle = 0.5235988f;

// Every button of the id, shown or not.
template <typename F>
void forButtons(int id, F f)
{
    for (HudPanel& panel : planeHud().panels())
        for (const std::unique_ptr<HudButton>& b : panel.buttons)
            if (b->id == id)
                f(*b);
}

bool isWeaponButton(int id) { return (id >= 5 && id <= 7) || (id >= 19 && id <= 24); }
}  // namespace

void TutorialHudBridge::pushTutorialLine(int stringId, float seconds)
{
    HudMessageQueue::instance().pushTutorialLine(stringId, seconds);
}

void TutorialHudBridge::pushNotice(std::u16string_view text, float seconds)
{
    HudMessageQueue::instance().pushNotice(text, seconds, true, false);
}

void TutorialHudBridge::clearNotices() { HudMessageQueue::instance().clearNotices(); }

int TutorialHudBridge::noticeCount() const { return HudMessageQueue::instance().noticeCount(); }

void TutorialHudBridge::popOldestNotice() { HudMessageQueue::instance().popOldestNotice(); }

void TutorialHudBridge::hideAllButtons() { planeHud().hideAllButtons(); }

void TutorialHudBridge::setButtonVisible(int id, bool on)
{
    forButtons(id, [on](HudButton& b) { b.visible = on; });
}

bool TutorialHudBridge::buttonVisible(int id) const
{
    bool shown = false;
    forButtons(id, [&shown](HudButton& b) { shown = shown || b.visible; });
    return shown;
}

void TutorialHudBridge::setButtonHighlighted(int id, bool on)
{
    forButtons(id, [on](HudButton& b) {
        b.highlighted = on;
        b.pulsePhase = 0.0f;
    });
}

void TutorialHudBridge::setWeaponButtonsEnabled(bool on)
{
    for (HudPanel& panel : planeHud().panels())
        for (const std::unique_ptr<HudButton>& b : panel.buttons)
            if (isWeaponButton(b->id)) {
                b->opacity = on ? 1.0f : 0.6f;
                b->enabled = on;
            }
}

void TutorialHudBridge::showButtonGroup(int showId, int hideId) { planeHud().showButtonGroup(showId, hideId); }

void TutorialHudBridge::showSquadButtons(int index) { planeHud().showSquadButtons(index); }

void TutorialHudBridge::setWeaponGauges(bool shown, bool fading)
{
    for (PlaneHud::HealthIndicator& h : planeHud().health) {
        h.visible = shown;
        h.fading = fading;
        h.phase = 0.0f;
    }
}

void TutorialHudBridge::setDialShown(Dial dial, bool on)
{
    PlaneHud& hud = planeHud();
    switch (dial) {
    case Dial::Radar: hud.radarOn = on; break;
    case Dial::Altimeter: hud.altimeterShown = on; break;
    case Dial::SpeedDial: hud.speedDialShown = on; break;
    }
}

void TutorialHudBridge::setDialHighlighted(Dial dial, bool on)
{
    PlaneHud& hud = planeHud();
    const std::size_t index = dial == Dial::SpeedDial   ? PlaneHud::kSpeedHighlight
                              : dial == Dial::Altimeter ? PlaneHud::kAltimeterHighlight
                                                        : PlaneHud::kRadarHighlight;
    hud.dialHighlight[index] = on;
    hud.dialPulse = 0.0f;
}

void TutorialHudBridge::setDirectionPad(bool on) { planeHud().dpad().enabled = on; }

void TutorialHudBridge::setDirectionPadPulse(bool on)
{
    ControlsDpad& pad = planeHud().dpad();
    pad.highlighted = on;
    pad.pulse = 0.0f;
}

void TutorialHudBridge::setCameraDrag(bool on) { planeHud().camRotate().enabled = on; }

float TutorialHudBridge::cameraDragAmount() const
{
    const CamRotateControl& drag = planeHud().camRotate();
    return std::fabs(drag.lookX) + std::fabs(drag.lookY);
}

void TutorialHudBridge::setHudActive(bool on) { planeHud().active = on; }

void TutorialHudBridge::clearFastForward() { planeHud().fastForwardHeld = false; }

bool TutorialHudBridge::elementRect(int element, Rect& out) const
{
    PlaneHud& hud = planeHud();
    if (!hud.built())
        return false;
    const CSprite::Rect r = hud.elementRect(nullptr, element);
    out = {r.x, r.y, r.w, r.h};
    return r.w > 0.0f && r.h > 0.0f;
}

int TutorialHudBridge::cameraMode() const { return gameCamera().mode; }

void TutorialHudBridge::setCameraMode(int mode) { gameCamera().setMode(mode); }

void TutorialHudBridge::lookAtPoint(const Vec3& point, float distance)
{
    GameCamera& camera = gameCamera();
    camera.updateLookAt();
    // No zoom: a zoom of 1 would pull the orbit into the airplane itself.
    camera.lookAtPoint(&point, distance, kLookAtAngle, -1.0f, true, 0.0f);
}

void TutorialHudBridge::stopMusicStream()
{
    if (SoundSourceStreamed* stream = globalSources().stream2)
        stream->stop();
}

TutorialHudBridge& tutorialHudBridge()
{
    static TutorialHudBridge bridge;
    return bridge;
}
