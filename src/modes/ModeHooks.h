#pragma once
#include "modes/ITutorialHud.h"
#include "platform/Math.h"

#include <string_view>

class IGameEntity;
class Missile;
class Target;

// The HUD of the match (message queue, markers, buttons), filled by the
// screens library. Every call does nothing until then.
class IModeHud {
public:
    static constexpr int kIncomingMissileMessage = 248;
    // The arcade steering's hint against a climb steep enough to stall.
    static constexpr int kSteepClimbMessage = 353;

    virtual ~IModeHud() = default;
    // A marker of the entity's kind and team; hidden markers keep their two draw flags clear.
    virtual void addMarker(const IGameEntity& /*entity*/, int /*kind*/, int /*team*/, bool /*drawn*/) {}
    virtual void removeMarker(const IGameEntity& /*entity*/) {}
    // The objective an entity's marker shows: a capture-the-flag flag or a team's base.
    static constexpr int kMarkerFlag = 1, kMarkerBase = 2;
    virtual void setMarkerFlag(const IGameEntity& /*entity*/, int /*flag*/) {}
    virtual void postMessage(int /*messageId*/) {}
    virtual void removeMessage(int /*messageId*/) {}
    // The player's airplane was hit.
    virtual void raiseHitIndicator() {}
    // The player's airplane left play: every held button lets go.
    virtual void releaseAllButtons() {}
    virtual void clearLockDisplay() {}
    virtual void refreshInsignia() {}
    // The entity's marker shows it as a mission goal.
    virtual void markObjective(const IGameEntity& /*entity*/) {}
    // A score message with its sound; stringId names the text it was made from.
    virtual void pushWithSound(int /*kind*/, int /*stringId*/, std::u16string_view /*text*/) {}
    // A long message about another player (colour byte, name, text).
    virtual void pushLong(int /*stringId*/, std::u16string_view /*text*/) {}
    // Whether the player has muted the airplane's pilot (no chat lines of it are shown).
    virtual bool isMuted(const Target& /*airplane*/) const { return false; }
    // Of the entities whose markers show, the one with the best lead sight
    // that is alive and not hidden; null when none.
    virtual Target* aimAssistCandidate() const { return nullptr; }
};

// The game camera, filled by the screens library.
class IModeCamera {
public:
    virtual ~IModeCamera() = default;
    // The camera stops following or looking at the entity (it is about to go).
    virtual void forget(const Target& /*entity*/) {}
    virtual void forgetMissile(const Missile& /*missile*/) {}
    // The airplane is back in play: a kill cam kept on it or for it ends.
    virtual void onRespawned(const Target& /*airplane*/) {}
    // False when there is no camera yet.
    virtual bool position(Vec3& /*out*/) const { return false; }
    // The camera circles the entity (the end of a match).
    virtual void orbit(const Target& /*entity*/, float /*distance*/, float /*pitch*/) {}
    // An airplane was shot down by the attacker (the kill view may follow it).
    virtual void onKill(const Target& /*victim*/, const Target& /*attacker*/) {}
    // An orbit or the kill cam: the view already watches something.
    virtual bool watchingOther() const { return false; }
    // The kill cam follows the airplane (a player who is out watches on).
    virtual void startKillCam(const Target& /*airplane*/) {}
    // The view mode in use; -1 without a camera.
    static constexpr int kAutopilotView = 5, kSubjectView = 7, kPathView = 8;
    virtual int mode() const { return -1; }
    virtual void setMode(int /*mode*/) {}
    // Back to the view the player chose.
    virtual void setChosenView() {}
    // The object the subject view (mode 7) follows; value is the view's blend time.
    virtual const IGameEntity* subject() const { return nullptr; }
    // A change of view is still blending in.
    virtual bool blending() const { return false; }
    // The airplane the kill cam or cinematic view follows; null in the player's own views.
    virtual const Target* watchedAirplane() const { return nullptr; }
    virtual void setSubject(const IGameEntity* /*subject*/, float /*value*/) {}
    // A point views 0 and 1 turn toward (null: none), copied when asked.
    virtual void setTarget(const Vec3* /*point*/, bool /*copy*/, float /*duration*/) {}
    // The path view (mode 8) through the points at the speed.
    virtual void createView(const Vec3* /*points*/, int /*count*/, float /*speed*/) {}
};

// Achievements and mission statistics of the local player.
class IModeProgress {
public:
    virtual ~IModeProgress() = default;
    virtual void countEvent(int /*eventId*/) {}
    virtual void onPlayerShots(int /*fired*/, int /*hits*/) {}
    virtual void onPlayerMissileLaunched() {}
    virtual void onPlayerMissileHit() {}
    // What the statistics service sends with its next mission, medal or
    // checkpoint event: the player's plane id (and the medal won).
    virtual void setMissionEventParams(int /*planeId*/) {}
    virtual void setMedalEventParams(int /*planeId*/, int /*medal*/) {}
    virtual void setCheckpointEventParams(int /*planeId*/) {}
};

// The score keeper's groups of the match.
class IModeScores {
public:
    virtual ~IModeScores() = default;
    // The entity leaves the world: it leaves every group and the winners.
    virtual void forget(const Target& /*entity*/) {}
};

// What the mode reaches above its own library. Null members do nothing, so
// a mode runs (and is tested) headless.
struct ModeHooks {
    IModeHud* hud = nullptr;
    IModeCamera* camera = nullptr;
    IModeProgress* progress = nullptr;
    IModeScores* scores = nullptr;
    ITutorialHud* tutorial = nullptr;

    IModeHud& hudOrNone() const;
    IModeCamera& cameraOrNone() const;
    IModeProgress& progressOrNone() const;
    IModeScores& scoresOrNone() const;
    ITutorialHud& tutorialOrNone() const;
};
