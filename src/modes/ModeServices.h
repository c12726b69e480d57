#pragma once
#include <string>
#include <string_view>

// What the frame, the level life cycle and the overlays reach above the modes
// library: the scene's weather and sun, the HUD's message lists and the pause
// and comics overlays. Filled by the screens library; every call does nothing
// (and every question answers "no") until then.

// The scene's weather and sun.
class IModeScene {
public:
    virtual ~IModeScene() = default;
    // 0 clear, 1 rain, others the scene's further modes.
    virtual int weatherMode() const { return 0; }
    virtual void setWeather(int /*mode*/, float /*intensity*/, float /*secondIntensity*/) {}
    virtual void setSunValue(float /*value*/) {}
};

// The HUD message queue's text lists.
class IModeMessages {
public:
    virtual ~IModeMessages() = default;
    virtual void pushLong(std::u16string_view /*text*/) {}
    // A centre notice; a negative duration keeps it by its length.
    virtual void pushNotice(std::u16string_view /*text*/, float /*duration*/, int /*colour*/, int /*flags*/) {}
};

// Which pause menu a kind of game shows.
enum class PauseMenu : int { Campaign = 0, Match = 1, Tutorial = 2 };

// The overlay screens: pause and comics.
class IModeOverlays {
public:
    virtual ~IModeOverlays() = default;
    // A screen stops pausing for now (a dialog being shown, a loading step).
    virtual bool pauseBlocked() const { return false; }
    // An overlay screen is open or waiting in the overlay queue.
    virtual bool overlayOpenOrQueued() const { return false; }
    virtual void openPauseScreen(PauseMenu /*menu*/) {}
    // The single player game stops its clocks while the pause screen shows.
    virtual void setPaused(bool /*paused*/) {}
    // Loads the comic record at the path; false (nothing shown) when it does not load.
    virtual bool openComic(const std::string& /*path*/) { return false; }
};

struct ModeServices {
    IModeScene* scene = nullptr;
    IModeMessages* messages = nullptr;
    IModeOverlays* overlays = nullptr;

    IModeScene& sceneOrNone() const;
    IModeMessages& messagesOrNone() const;
    IModeOverlays& overlaysOrNone() const;
};
