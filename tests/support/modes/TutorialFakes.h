#pragma once
#include "modes/ITutorialHud.h"
#include "modes/ModeHooks.h"
#include "modes/ModeServices.h"

#include <array>
#include <deque>
#include <map>
#include <string>
#include <vector>

// The HUD, camera and music as a tutorial drives them, written down. Notices
// and lines wait in one queue and leave when their time is up (tick), as the
// HUD's notice list does; a test sets the camera mode and the drag values.
class RecordingTutorialHud : public ITutorialHud {
public:
    struct Entry {
        int lineId = 0;  // 0 for a notice
        std::u16string text;
        float seconds = 0.0f;
    };
    std::vector<Entry> pushed;  // everything ever pushed, in order
    std::deque<Entry> queue;    // what is still pending
    int clears = 0, pops = 0;
    std::map<int, bool> visible, highlighted;
    bool weaponButtonsEnabled = true;
    bool gaugesShown = true, gaugesFading = false;
    std::array<bool, 3> dialShown{true, true, true}, dialHighlight{};
    bool padOn = true, padPulse = false, dragOn = true, hudActive = true;
    float drag = 0.0f;
    int camera = 2;
    int lookAts = 0, musicStops = 0, fastForwardClears = 0;
    float lookAtDistance = 0.0f;

    // Time passes for the pending notices.
    void tick(float dt);
    bool pushedLine(int id) const;
    int pushedCount(int id) const;

    void pushTutorialLine(int stringId, float seconds) override;
    void pushNotice(std::u16string_view text, float seconds) override;
    void clearNotices() override;
    int noticeCount() const override { return static_cast<int>(queue.size()); }
    void popOldestNotice() override;
    void hideAllButtons() override;
    void setButtonVisible(int id, bool on) override { visible[id] = on; }
    bool buttonVisible(int id) const override;
    void setButtonHighlighted(int id, bool on) override { highlighted[id] = on; }
    void setWeaponButtonsEnabled(bool on) override { weaponButtonsEnabled = on; }
    void showButtonGroup(int showId, int hideId) override;
    void showSquadButtons(int index) override;
    void setWeaponGauges(bool shown, bool fading) override;
    void setDialShown(Dial dial, bool on) override { dialShown[static_cast<std::size_t>(dial)] = on; }
    void setDialHighlighted(Dial dial, bool on) override { dialHighlight[static_cast<std::size_t>(dial)] = on; }
    void setDirectionPad(bool on) override { padOn = on; }
    void setDirectionPadPulse(bool on) override { padPulse = on; }
    void setCameraDrag(bool on) override { dragOn = on; }
    float cameraDragAmount() const override { return drag; }
    void setHudActive(bool on) override { hudActive = on; }
    void clearFastForward() override { ++fastForwardClears; }
    bool elementRect(int element, Rect& out) const override;
    int cameraMode() const override { return camera; }
    void setCameraMode(int mode) override { camera = mode; }
    void lookAtPoint(const Vec3&, float distance) override;
    void stopMusicStream() override { ++musicStops; }
    // The link key as the flight HUD takes it: each pair of link buttons
    // (19/20, 21/22, 23/24) with one shown swaps which one is.
    void linkWeapons();
};

// The pause screens the mode asks for.
class RecordingOverlays : public IModeOverlays {
public:
    std::vector<PauseMenu> opened;
    int closes = 0;
    void openPauseScreen(PauseMenu menu) override { opened.push_back(menu); }
    void closeOverlay() override { ++closes; }
    int count(PauseMenu menu) const;
};

// Achievement events of the local player.
class RecordingProgress : public IModeProgress {
public:
    std::vector<int> events;
    void countEvent(int id) override { events.push_back(id); }
    int count(int id) const;
};
