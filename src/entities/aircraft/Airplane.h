#pragma once
#include "entities/Target.h"
#include "entities/aircraft/FlightModel.h"
#include "effects/AircraftFx.h"
#include "effects/IEffect.h"
#include "gamedata/map/MapHooks.h"
#include "platform/Settings.h"
#include "render/assets/ModelBuffers.h"

#include <array>
#include <cstdint>
#include <memory>

class AirplaneContrail;
class AirplaneModel;
class CarrierDeck;
class JetExhaust;
class MapObject;
class SonicBoom;
class VapourCone;
class Parachute;
class Runway;

// The model measures the cameras and the effects read, in metres. Without a
// model the airplane reports a plain fighter's size.
struct AirplaneDimensions {
    float length = 10.0f, width = 10.0f, height = 3.0f, span = 10.0f;
    float radius = 6.0f;
    float groundOffset = 1.5f;
    Vec3 eyePoint{0.0f, 1.0f, -1.0f};  // the pilot's eye in the airplane's frame
};

// Flight states: what a hit or the pilot's body did to the airplane.
enum class FlightState : int {
    Normal = 0,
    Damaged = 1,      // smoke only
    Avionics = 2,     // radar blank, markers in lock mode
    Controls = 3,     // control authority x 0.6
    EngineDead = 4,
    Fire = 5,         // health burns away
    Critical = 9,     // avionics and engine
    Blackout = 10,    // stick ignored
    Redout = 11,      // stick ignored
};

// An aircraft: a target flown by a player, the autopilot or an AI pilot
// through the same three stick inputs and throttle command. One made for a
// map's object is that object's entity, so the map's objectives see it.
class Airplane : public Target, public PSystemParent, public IAirplaneFx, public IMapEntity {
public:
    static constexpr float kSpawnSpeed = 300.0f;
    static constexpr float kEjectCooldown = 5.0f;
    static constexpr float kFlareLife = 2.85f;
    static constexpr float kFlareInterval = 2.0f;
    static constexpr float kFlareThreatRange = 1200.0f;
    static constexpr float kSoundBarrier = 343.0f;
    static constexpr float kLampRange = 5000.0f;
    static constexpr float kLampCeiling = 1500.0f;
    static constexpr int kScoreValues = 9;
    // Score block order.
    enum ScoreSlot : int {
        kScoreRank = 0,
        kScoreOutOrder = 1,
        kScorePoints = 2,
        kScoreDeaths = 3,
        kScoreBases = 4,
        kScoreFlagsCaptured = 5,
        kScoreFlagsReturned = 6,
        kScoreStreak = 7,
        kScoreSpare = 8,
    };
    // Achievement events the airplane counts.
    enum Event : int {
        kEventTookOff = 7,
        kEventLanded = 10,
        kEventCrashed = 13,
        kEventManoeuvre = 42,
        kEventSoundBarrier = 44,
        kEventCollisionDeath = 45,
        kEventTunnel = 47,
    };

    Airplane(IEntityHost& host, const PlaneCfg& record, int team, std::u16string pilotName);
    ~Airplane() override;

    const PlaneCfg& record() const { return *m_record; }
    const FlightParams& flightParams() const { return m_params; }
    void setGroundOffset(float offset) { m_params.groundOffset = offset; }

    // Per frame: the flight model runs in fixed steps inside dt.
    void update(float dt) override;
    // The engine loop's pitch and volume.
    void updateEngineSound();

    // Controls. The control vector is nose up, turn (left > 0), roll (left
    // wing down > 0), each -1..1.
    void setControlVector(const Vec3& v) { m_controls = v; }
    const Vec3& controlVector() const { return m_controls; }
    void setControlType(ControlType type) { m_controlType = type; }
    ControlType controlType() const { return m_controlType; }
    // Goal direction for mouse steering.
    void setAimDirection(const Vec3& direction) { m_aim = direction; }
    void setThrottleCommand(float command);
    float throttleCommand() const { return m_throttleCommand; }
    float throttleSetting() const { return m_body.throttle; }
    void setThrottleSetting(float setting);
    // Throttle command = (speed - minimum speed) / speed span, clamped to -1..1.
    void setThrottleForSpeed(float speed);
    // Inputs 0, 1, 2 pull or release the trigger of that weapon group.
    void controlInput(int input, float value);
    // The boost command; false ends it.
    void setCommandValue(bool on) { m_boostCommand = on; }
    bool isBoosting() const { return m_body.boosting; }
    float boostReserve() const { return m_body.boostReserve; }
    float boostCapacity() const { return m_params.boostCapacity; }

    // Motion.
    float speed() const { return m_body.speed; }
    void setSpeed(float speed);
    const Quat& orientation() const { return m_body.orientation; }
    void setOrientation(const Quat& q);
    Vec3 forward() const { return forwardOf(m_body.orientation); }
    Vec3 up() const { return upOf(m_body.orientation); }
    Vec3 side() const { return sideOf(m_body.orientation); }
    const Vec3& velocityDirection() const { return m_body.direction; }
    float bankValue() const { return bankOf(m_body.orientation); }
    float pitchAngle() const { return m_pitchAngle; }
    float headingAngle() const { return m_headingAngle; }
    // Recomputes the pitch and heading angles from the orientation.
    void updateAttitudeAngles();
    const Mat4& matrix() const { return m_matrix; }
    const Mat4& previousMatrix() const { return m_previousMatrix; }
    void setPositionAndStop(const Vec3& p);
    Vec3 headingVector() const override { return m_body.rates; }

    // What effects and cameras read.
    // x: the pull in g-like units, -1..1 (the faint meter and vapour cone).
    Vec3 loadVector() const;
    Vec3 widthVector() const { return side(); }
    float speedFactor() const;
    float contrailFactor() const;
    float hazeFactor() const { return std::max(m_body.throttle, 0.0f); }
    float previousSpeed() const { return m_previousSpeed; }
    const Target* containingTarget() const { return m_containing; }

    // Ground.
    bool isLanded() const { return m_landed; }
    // Puts the airplane on a runway (null: back in the air).
    void setLanded(Runway* runway);
    Runway* runway() { return m_runway; }
    const Runway* runway() const { return m_runway; }
    bool onRunway() const { return m_runway != nullptr; }
    // The runway is going away: the airplane no longer stands on it.
    void forgetRunway();
    // The carrier deck the airplane stands on; null in the air or ashore.
    CarrierDeck* carrier() { return m_carrier; }
    const CarrierDeck* carrier() const { return m_carrier; }
    bool isLandedOnCarrier() const { return m_carrier != nullptr; }
    // Kept by the deck: standing on it, and off it again.
    void standOnCarrier(CarrierDeck& deck);
    void leaveCarrier();

    // Approach lamp of the player's airplane: a is nearness, b the glide slope.
    bool approachLamp() const { return m_lampOn; }
    float approachLampA() const { return m_lampA; }
    float approachLampB() const { return m_lampB; }

    // Damage and death.
    void onHit(const Vec3& hitPoint, int weaponType, Target* attacker, float damage) override;
    void dropReferencesTo(const Target& gone) override;
    void updateDamageLevels();
    int damageLevel() const { return m_damageLevel; }
    void setFlightState(FlightState state, float time);
    FlightState flightState() const { return m_flightState; }
    float timeInFlightState() const { return m_timeInState; }
    float flightStateDuration() const { return m_stateDuration; }
    bool isStateTenOrEleven() const;
    void setLifeState(LifeState state) override;
    void onDestroyed(CrashCause cause) override;
    // Goes down as in a collision, counting nothing: the pilot left for the other team.
    void leaveForOtherTeam();
    bool acceptsCrashCause(CrashCause cause) const override;
    bool isSubjectToGroundCrashes() const override { return true; }
    bool isSubjectToPropCrashes() const override { return true; }
    // The airplane's model as it flies: a sphere that only grazes its box,
    // past the wing tips or over the tail, is no contact.
    bool modelContact(const Vec3& point, float radius) const override;

    // Ejection.
    bool canEject() const;
    // The new parachute, or null; the eject flag is clear afterwards.
    std::unique_ptr<Parachute> ejectPilot(bool force);
    bool ejectFlag() const { return m_ejectFlag; }
    void setEjectFlag(bool on) { m_ejectFlag = on; }
    float ejectCooldown() const { return m_ejectCooldown; }
    void setEjectCooldown(float s) { m_ejectCooldown = s; }
    Parachute* parachute = nullptr;   // not owned: the game mode's list holds it

    // Flares: true when a salvo was launched (one flare used).
    bool launchFlares();
    int flareCount() const { return m_flares; }
    void setFlares(int count);

    // Score block and pilot.
    std::array<std::int32_t, kScoreValues> scores{};
    void resetScores();
    int rank() const override { return scores[kScoreRank]; }
    void setRank(int rank);

    // The respawn reset: full health, identity orientation, spawn speed.
    void resetForRespawn();
    void onRespawn() override;
    // Seconds since the airplane's last respawn, counted by its flight updates;
    // one that never respawned counts as long in play.
    float timeInPlay() const { return m_timeInPlay; }
    void onTeamChanged(bool resetScores) override;
    void onTakenOut() override;
    bool isOutOfMatch() const { return !isActive() && respawnTimer < 0.0f; }
    bool isEvadingManoeuvre() const { return manoeuvreCode == 4 || manoeuvreCode == 5; }
    bool matchesClass(TargetClass c) const override;

    bool netState(AirplaneNetState& out) const override;
    bool applyNetState(const AirplaneNetState& state) override;

    // Looks: the family's model, made with the airplane and kept across
    // respawns (null when its file does not load: nothing is drawn), and the
    // paint row of the model's rows the airplane is painted with.
    const AirplaneModel* model() const { return m_model; }
    // The model's reach, grown by the far-away enlargement of the markers' details.
    float drawRadius() const override;
    int paintRow() const { return m_paintRow; }
    // A row the model lacks falls back to the factory paint, row 0. Choosing
    // a row drops a paint of the airplane's own.
    void setPaintRow(int row);
    // The player's own colours (the settings' paint row of the plane), drawn
    // through the model's paint mask instead of a row.
    void setOwnPaint(const PlanePaint& paint);
    // What the model program paints with: the menu scene's preview while this
    // airplane's model is the one previewed, else the own paint, else the row.
    ModelPaint currentPaint() const;
    AirplaneDimensions dimensions() const;
    // A named node's middle in world space (effects and weapons mount
    // there); false when the model has no such node.
    bool nodeWorldPoint(const char* name, Vec3& out) const;
    // The parts seen from the cockpit (wings, tail, propeller), drawn last
    // in the cockpit view.
    void drawParts(const DrawView& view);
    // Whether the player's setting asks for the far-airplane marker details.
    static bool markerDetails();
    // Whether one of the airplane's lock weapons could lock the target now.
    bool canLock(const Target& target) const;
    float propellerAngle() const { return m_propellerAngle; }
    void updateVisual(float dt) override;

    // Effects following the airplane: nine slots (smoke, fire, exhaust...)
    // and two more pointers; a system going away clears every link to it.
    static constexpr int kEffectSlots = 9;
    std::array<PSystem*, kEffectSlots> effectSlots{};
    PSystem* boostSystem = nullptr;
    PSystem* wreckSystem = nullptr;
    Mat4* getTransform(Mat4* out) override;
    void systemGone(PSystem* system) override;

    // The effects that follow the airplane: made with it (the exhaust only
    // for a jet model, the vapour and contrail for every model), reset on
    // respawn and dropped with it. The boom lives in the pooled systems.
    std::unique_ptr<JetExhaust> exhaust;
    std::unique_ptr<VapourCone> vapour;
    std::unique_ptr<AirplaneContrail> contrail;
    SonicBoom* sonicBoom = nullptr;
    // Smoke (level 1) or fire (level 2) trailing a damaged airplane; 0 stops both.
    void showDamageEffects(int level);
    // The acrobatic smoke weapon's white trail.
    void showSmokeTrail(bool on);

    // IAirplaneFx
    const Mat4& fxMatrix() const override { return m_matrix; }
    Vec3 fxVelocity() const override { return m_body.velocity; }
    Vec3 fxFlightDirection() const override { return m_body.direction; }
    float fxSpeed() const override { return m_body.speed; }
    Vec3 fxRates() const override { return m_body.rates; }
    Vec3 fxWidthVector() const override;
    float fxContrailFactor() const override { return contrailFactor(); }
    float fxLoad() const override { return loadVector().x; }
    float fxThrottle() const override { return std::max(m_body.throttle, 0.0f); }
    int fxDrawClass() const override { return drawClass; }
    bool fxIsPlayer() const override { return isPlayer(); }
    const AirplaneModel* fxModel() const override { return m_model; }
    void fxParachuteGone(const Parachute* p) override
    {
        if (parachute == p)
            parachute = nullptr;
    }

    bool controllable = true;
    bool controlsEnabled = true;
    int removalState = 0;
    int spawnCounter = 0;
    float manoeuvreValue = 0.0f;
    int manoeuvreCode = 0;
    float minimumHeight = 100.0f;
    float extraZoom = 0.0f;
    int aiLevel = 0;
    bool aiPilot = false;
    Target* currentTarget = nullptr;
    float threatTimer = 0.0f;

    // The map object it was made for: the object's entity from now until
    // the airplane goes.
    void linkMapObject(MapObject& object);
    // IMapEntity
    bool isGone() const override { return lifeState() == LifeState::Destroyed; }
    int targetKind() const override { return static_cast<int>(kind()); }
    int team() const override { return Target::team(); }

protected:
    void draw(const DrawView& view, DrawPass pass) override;
    void drawHeatDistortion(const DrawView& view) override;

private:
    // Every change of the runway link goes through here, so the runway's
    // list of airplanes on it stays true.
    void linkRunway(Runway* runway);
    void subStep(float h);
    void flyStep(float h);
    void rollStep(float h);
    bool tryTouchDown();
    void dyingStep(float h);
    void updateTimers(float h);
    void updateManoeuvreValue(float dt);
    void updateApproachLamp();
    void updateOutputs();
    void finishDeath(bool onGround);
    void makeEffects();
    void updateEffects(float dt);
    void dropEffects();
    void drawEffects() const;
    FlightInput currentInput() const;
    bool isPlayer() const;

    const PlaneCfg* m_record;
    FlightParams m_params;
    FlightBody m_body;
    Mat4 m_matrix;
    Mat4 m_previousMatrix;
    float m_accumulator = 0.0f;
    float m_timeInPlay = 1e9f;
    float m_previousSpeed = 0.0f;
    float m_pitchAngle = 0.0f;
    float m_headingAngle = 0.0f;

    Vec3 m_controls;
    Vec3 m_aim{0.0f, 0.0f, -1.0f};
    ControlType m_controlType = ControlType::Full;
    float m_throttleCommand = 0.0f;
    bool m_boostCommand = false;
    std::array<bool, 3> m_fireInputs{};

    bool m_landed = false;
    Runway* m_runway = nullptr;
    const Target* m_containing = nullptr;
    bool m_lampOn = false;
    float m_lampA = 0.0f, m_lampB = 0.0f;

    FlightState m_flightState = FlightState::Normal;
    MapObject* m_mapObject = nullptr;
    float m_timeInState = 0.0f;
    float m_stateDuration = 0.0f;
    int m_damageLevel = 0;
    float m_deathTimer = 0.0f;

    bool m_ejectFlag = true;
    float m_ejectCooldown = kEjectCooldown;
    int m_flares = 0;
    float m_sinceFlares = 1000.0f;
    float m_sinceFlareRequest = 1000.0f;

    CarrierDeck* m_carrier = nullptr;
    const AirplaneModel* m_model = nullptr;
    int m_paintRow = 0;
    PlanePaint m_ownPaint;
    bool m_hasOwnPaint = false;
    float m_propellerAngle = 0.0f;
};
