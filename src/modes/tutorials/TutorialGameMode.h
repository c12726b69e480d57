#pragma once
#include "modes/kinds/GameModeCustom.h"
#include "modes/PlayerControls.h"

#include <cstdint>

class DummyWP;
class ITutorialHud;

// The frame the six tutorials share: a step machine run each frame that shows
// hint lines, lets through only the control actions the step teaches and moves
// on when the player has done what it asks. It forces the control type while
// it runs (saves keep writing the player's own), puts the player back instead
// of letting them die, and at the end marks the tutorial done and opens the
// completion page.
class TutorialGameMode : public GameModeCustom {
public:
    // Menu and the six menu actions; each step ORs in what it teaches.
    static constexpr std::uint64_t kBaseMask = 0x7E1000000ull;
    static constexpr std::uint64_t kFlightMask = 0xFFull;  // Roll_Left .. Brake
    static constexpr float kReminderRepeat = 10.0f;
    static constexpr float kEndWait = 5.0f;
    static constexpr float kInputGrace = 10.0f;
    // Seconds the stick rests before the autopilot takes the airplane back.
    static constexpr float kStickRest = 5.0f;
    static constexpr float kStartX = 12679.454f, kStartZ = 4755.814f, kStartHeight = 2000.0f;
    static constexpr float kWaypointReachSq = 40000.0f;
    static constexpr float kLookAtAngle = 0.5235988f;
    static constexpr int kCompletionEvent = 58;
    static constexpr int kRedPanelText = 388;
    // The camera mode of the flight under the autopilot.
    static constexpr int kAutopilotCamera = 5;

    static constexpr std::uint64_t bitOf(ControlAction a) { return std::uint64_t{1} << static_cast<int>(a); }

    TutorialGameMode(int index, int forcedControlType);
    ~TutorialGameMode() override;

    int index() const { return m_index; }

    bool startLevel() override;
    // The tutorial's part of a frame, then the world's.
    void update(float dt) override;
    // The tutorial's part alone: forced settings, reminder, mask and the step.
    void stepFrame(float dt);
    void resetRound() override;
    void clearLevel() override;
    PauseMenu getPauseMenu() const override { return PauseMenu::Tutorial; }
    void tutorialHudHook() override;
    void onHudBuilt() override;
    void setAirplaneVector(Airplane& airplane, const Vec3& stick) override;
    void setAirplaneVectorXYZ(Airplane& airplane, float noseUp, float turn, float roll) override;
    // The flight keys a step lets through act under the autopilot too: a moved
    // stick takes the airplane while the autopilot watches, until the stick
    // has rested kStickRest seconds.
    bool playerStickFlies(Airplane& airplane, bool moved) override;
    // The player's keys fly the airplane the autopilot is on.
    bool stickTakenFromAutopilot() const { return m_stickTaken != nullptr; }
    void onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause) override;

    // The control actions this frame's step lets through.
    std::uint64_t stepMask() const { return kBaseMask | extraMask(); }
    // Set once the completion page was asked for.
    int winMenusOpened() const { return m_winMenus; }

    int step = 0;
    float reminderTimer = -1.0f;
    int reminderTextId = 0;
    float stepTimer = 0.0f;
    float phase = 0.0f;
    float counter = 0.0f;
    bool inputLock = false;
    int savedControlType = 0;
    float inputGrace = 0.0f;

protected:
    // Step 0 and its timers.
    virtual void startMatch() = 0;
    // The HUD parts the tutorial reveals later hidden; again once the HUD is built.
    virtual void setUpHud() {}
    // The step's case.
    virtual void runStep(float dt) = 0;
    virtual std::uint64_t extraMask() const = 0;
    // False in the steps that leave the action mask as it is.
    virtual bool writesMask() const { return true; }
    // The action a reminder's binding hint names; -1 shows it as a plain line.
    virtual int reminderAction(int /*textId*/) const { return -1; }
    virtual void showReminder(int textId);
    virtual float reminderRepeat() const { return kReminderRepeat; }
    // The player's airplane was lost: the tutorial puts it back.
    virtual void putBackPlayer(Airplane& airplane, CrashCause cause) = 0;
    // ARCADE and CONTROLS drop the stick while the autopilot manoeuvres.
    virtual bool usesInputLock() const { return false; }

    ITutorialHud& hud() const;
    void line(int textId, float seconds);
    void hint(int textId, ControlAction action, float seconds);
    // A notice from a text with the binding texts of two (or three) actions.
    void notice(int textId, float seconds, ControlAction a, ControlAction b, int c = -1);
    void clearNotices();
    // Counts stepTimer down; true once it ran out or no notice is pending.
    bool hintsDone(float dt);
    void setReminder(int textId, float delay);
    void reminderOff();
    int pitchAction(bool up) const;

    // The common start: a new player squadron, the player's airplane 2000
    // above the ground at the start point, flown by the autopilot.
    void startInAir();
    // A new player squadron led by the player's airplane of the chosen plane;
    // null when no plane could be made.
    Airplane* addPlayerInSquadron();
    Airplane* makeWingman(float x, float z);
    // The terrain height there, 0 without terrain or below zero.
    float groundAt(float x, float z) const;
    // Every frame of the last step: the completion flag and the end count.
    void runLastStep(float dt, float& endCount, float distance, bool timerOnly);
    void finishTutorial(float distance);
    void notifyCompletion();
    bool completionNotified() const { return m_notified; }

    void showWaypoint(DummyWP& waypoint, const Vec3& at);
    void hideWaypoint(DummyWP& waypoint);
    void hideWaypointMarkers();
    bool reached(const DummyWP& waypoint) const;
    void resetPlayerControls();
    bool autopilotManoeuvring(const Airplane& airplane) const;

    int m_index;
    int m_forcedControlType;
    int m_winMenus = 0;
    float m_frameDt = 0.0f;
    bool m_notified = false;
    bool m_markerShown = false;
    DummyWP* m_shownWaypoint = nullptr;

private:
    // The autopilot the stick took the airplane from; null while it flies.
    const void* m_stickTaken = nullptr;
    float m_stickRest = 0.0f;
    void giveStickBack(float dt);
};

// The tutorial of the index (0..5); null for any other.
std::unique_ptr<GameMode> createTutorialMode(int index);
