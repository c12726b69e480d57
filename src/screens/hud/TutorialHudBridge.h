#pragma once
#include "modes/ITutorialHud.h"

// The tutorials' reach into the flight HUD, its message queue, the game
// camera and the music: the one PlaneHud, the one queue, the one game camera.
class TutorialHudBridge : public ITutorialHud {
public:
    void pushTutorialLine(int stringId, float seconds) override;
    void pushNotice(std::u16string_view text, float seconds) override;
    void clearNotices() override;
    int noticeCount() const override;
    void popOldestNotice() override;

    void hideAllButtons() override;
    void setButtonVisible(int id, bool on) override;
    bool buttonVisible(int id) const override;
    void setButtonHighlighted(int id, bool on) override;
    void setWeaponButtonsEnabled(bool on) override;
    void showButtonGroup(int showId, int hideId) override;
    void showSquadButtons(int index) override;

    void setWeaponGauges(bool shown, bool fading) override;
    void setDialShown(Dial dial, bool on) override;
    void setDialHighlighted(Dial dial, bool on) override;
    void setDirectionPad(bool on) override;
    void setDirectionPadPulse(bool on) override;
    void setCameraDrag(bool on) override;
    float cameraDragAmount() const override;
    void setHudActive(bool on) override;
    void clearFastForward() override;
    bool elementRect(int element, Rect& out) const override;

    int cameraMode() const override;
    void setCameraMode(int mode) override;
    void lookAtPoint(const Vec3& point, float distance) override;

    void stopMusicStream() override;
};

TutorialHudBridge& tutorialHudBridge();
