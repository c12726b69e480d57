#pragma once
#include "platform/Math.h"

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
    // The map's light color and fog, each frame of a campaign mission.
    virtual void setLightAndFog(const Color4& /*light*/, float /*fogStart*/, float /*fogDensity*/) {}
    // Whether the point lies within radius of a prop's collision shape.
    virtual bool hitsProp(const Vec3& /*point*/, float /*radius*/) const { return false; }
    // The same for an airplane's body: only props it cannot touch unharmed.
    virtual bool crashesIntoProp(const Vec3& /*point*/, float /*radius*/) const { return false; }
    // The squares of the two far draw distances that part the far draw
    // classes; without a scene nothing is beyond them.
    virtual float farDistanceSq(int /*which*/) const { return 1e37f; }
};

// The HUD message queue's text lists.
class IModeMessages {
public:
    virtual ~IModeMessages() = default;
    virtual void pushLong(std::u16string_view /*text*/) {}
    // A centre notice; a negative duration keeps it by its length.
    virtual void pushNotice(std::u16string_view /*text*/, float /*duration*/, int /*colour*/, int /*flags*/) {}
    virtual bool hasNotice() const { return false; }
    virtual void clearNotices() {}
};

// Which pause menu a kind of game shows.
// Match is the free-for-all end table, TeamMatch the team end table,
// ServerLost the notice that the host has gone, TutorialWin the page of a
// finished tutorial. MissionEnd has no page of its own: the end of a mission
// has set its failure, comic or result page already, and the pause screen
// keeps it.
enum class PauseMenu : int {
    Campaign = 0, Match = 1, Tutorial = 2, TeamMatch = 3, ServerLost = 4, FreeFlight = 5, TutorialWin = 6,
    MissionEnd = 7
};

// The overlay screens: pause and comics.
class IModeOverlays {
public:
    virtual ~IModeOverlays() = default;
    // A screen stops pausing for now (a dialog being shown, a loading step).
    virtual bool pauseBlocked() const { return false; }
    // An overlay screen is open or waiting in the overlay queue.
    virtual bool overlayOpenOrQueued() const { return false; }
    virtual void openPauseScreen(PauseMenu /*menu*/) {}
    // An open overlay screen leaves and the screen below takes input again.
    virtual void closeOverlay() {}
    // The single player game stops its clocks while the pause screen shows.
    virtual void setPaused(bool /*paused*/) {}
    // Loads the comic record at the path; false (nothing shown) when it does not load.
    virtual bool openComic(const std::string& /*path*/) { return false; }
};

// The pages a finished campaign mission leads to. Filled by the menus library;
// until then nothing shows and no comic loads.
class IModeEndPages {
public:
    virtual ~IModeEndPages() = default;
    // The failure page with the reason's text; it becomes the pause screen's page.
    virtual void showCampaignFailure(int /*textId*/) {}
    // The comics page at the end of a won mission; false (nothing shown) when
    // the comic record at the path does not load.
    virtual bool showEndComic(const std::string& /*path*/) { return false; }
    // The result page of a won mission.
    virtual void showMissionResult() {}
};

struct ModeServices {
    IModeScene* scene = nullptr;
    IModeMessages* messages = nullptr;
    IModeOverlays* overlays = nullptr;
    IModeEndPages* endPages = nullptr;

    IModeScene& sceneOrNone() const;
    IModeMessages& messagesOrNone() const;
    IModeOverlays& overlaysOrNone() const;
    IModeEndPages& endPagesOrNone() const;
};
