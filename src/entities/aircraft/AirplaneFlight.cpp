#include "entities/aircraft/Airplane.h"
#include "entities/ground/CarrierDeck.h"

#include "entities/EntitySounds.h"
#include "entities/IEntityHost.h"
#include "entities/aircraft/Steering.h"
#include "effects/particles/AircraftParticles.h"
#include "entities/ground/Runway.h"
#include "gamedata/AirplaneModel.h"
#include "gamedata/records/PlaneCfg.h"
#include "sound/SoundData.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

#include <algorithm>
#include <cmath>

namespace {
// At most this many steps in one frame; a longer stall of the program drops
// the rest rather than spiralling.
constexpr int kMaxStepsPerFrame = 60;
constexpr float kRunwayMargin = 5.0f;
// The throttle command that fires the catapult of a carrier deck.
constexpr float kCatapultThrottle = 0.95f;
// A touch-down counts as a landing only inside these limits.
constexpr float kMaxSinkRate = 8.0f;
constexpr float kMaxBankAtTouchDown = 0.26f;
constexpr float kMinPitchAtTouchDown = -0.1f;
constexpr float kMaxPitchAtTouchDown = 0.35f;
constexpr float kTouchDownSpeedOverStall = 80.0f;
constexpr float kAuthorityControlsHit = 0.6f;
constexpr float kGlideSlope = 3.0f * kPi / 180.0f;
constexpr float kHardPull = 0.8f;
}  // namespace

void Airplane::update(float dt)
{
    if (!isActive() || lifeState() == LifeState::Destroyed || !std::isfinite(dt) || dt <= 0.0f)
        return;
    m_timeInPlay += dt;
    m_previousMatrix = m_matrix;
    m_previousSpeed = m_body.speed;
    if (m_carrier) {
        // On the deck the ship carries the airplane; full throttle fires the catapult.
        if (controllable && m_throttleCommand >= kCatapultThrottle) {
            m_carrier->launch(*this);
            playSource(globalSources().takeoff);
            if (isPlayer())
                host().countEvent(*this, kEventTookOff);
        }
        updateOutputs();
        return;
    }
    m_accumulator += dt;
    int steps = 0;
    // The small allowance keeps rounding from moving a step into the next
    // frame when the frame is a whole number of steps.
    while (m_accumulator >= kFlightStep - 1e-5f && steps < kMaxStepsPerFrame) {
        subStep(kFlightStep);
        m_accumulator -= kFlightStep;
        ++steps;
    }
    if (steps == kMaxStepsPerFrame)
        m_accumulator = 0.0f;
    updateOutputs();
    updateManoeuvreValue(dt);
    updateApproachLamp();
    updateEffects(dt);
    if (isPlayer())
        updateEngineSound();
}

void Airplane::updateEngineSound()
{
    SoundSourceBuffered* engine = globalSources().jet;
    if (!engine)
        return;
    // The one engine loop follows the player's airplane; a propeller plane
    // puts its own sound on it.
    SoundData* own = soundTable()[m_record->pEngine ? SoundName::Jet : SoundName::PropellerPlane];
    if (own && engine->sound() != own)
        engine->setSound(own);
    // The engine runs up with the throttle and the airflow with the speed:
    // both raise the pitch and the volume.
    const float top = std::max(m_params.topSpeed(), 1.0f);
    const float speed = std::clamp(m_body.speed / top, 0.0f, 1.5f);
    const float throttle = std::clamp((m_body.throttle + 1.0f) * 0.5f, 0.0f, 1.0f);
    engine->set3DAttributes(m_body.position, m_body.velocity);
    engine->setPitch(0.55f + 0.5f * speed + 0.35f * throttle);
    engine->applyPitch();
    engine->setVolume(std::min(0.35f + 0.45f * throttle + 0.2f * speed, 1.0f));
    if (!engine->isPlaying())
        engine->play();
}

// A hard pull on the stick, whoever holds it, builds the value up; it wears
// off at half the rate once the stick eases.
void Airplane::updateManoeuvreValue(float dt)
{
    const float pull = std::fabs(currentInput().pitch);
    manoeuvreValue = std::clamp(manoeuvreValue + (pull > kHardPull ? dt : -0.5f * dt), 0.0f, 10.0f);
}

FlightInput Airplane::currentInput() const
{
    FlightInput in;
    Vec3 stick = m_controls;
    if (m_controlType == ControlType::Mouse)
        stick = steerInputs(m_body.orientation, m_aim);
    if (isStateTenOrEleven() || !controllable)
        stick = {};
    in.pitch = stick.x;
    in.turn = stick.y;
    in.roll = stick.z;
    in.controlType = m_controlType == ControlType::Arcade ? ControlType::Arcade : ControlType::Full;
    in.throttleCommand = m_throttleCommand;
    in.boost = m_boostCommand;
    in.engineDead = m_flightState == FlightState::EngineDead || m_flightState == FlightState::Critical;
    in.authorityScale = m_flightState == FlightState::Controls ? kAuthorityControlsHit : 1.0f;
    return in;
}

void Airplane::subStep(float h)
{
    updateTimers(h);
    if (lifeState() == LifeState::Dying)
        dyingStep(h);
    else if (m_landed)
        rollStep(h);
    else
        flyStep(h);
    m_position = m_body.position;
}

void Airplane::flyStep(float h)
{
    const float before = m_body.speed;
    flightStep(m_body, m_params, currentInput(), h);
    if (before <= kSoundBarrier && m_body.speed > kSoundBarrier) {
        if (!sonicBoom && m_model && m_model->hasNode("sonic"))
            (void)spawnPooled<SonicBoom>(static_cast<const IAirplaneFx*>(this), &sonicBoom);
        if (isPlayer())
            host().countEvent(*this, kEventSoundBarrier);
    }
    const float ground = host().groundHeightAt(m_body.position.x, m_body.position.z);
    if (m_body.position.y <= ground + m_params.groundOffset) {
        tryTouchDown();
    } else if (m_body.speed < CarrierDeck::kRecoverySpeed && m_body.velocity.y <= 0.0f) {
        // Low and slow over a carrier's deck: the wires catch the airplane.
        CarrierDeck* deck = host().findCarrierDeckAt(m_body.position);
        if (deck && deck->recover(*this))
            return;
    }

    const Target* inside = host().findGroundTargetAt(m_body.position, m_radius);
    if (inside && inside != m_containing && isPlayer())
        host().countEvent(*this, kEventTunnel);
    m_containing = inside;
}

bool Airplane::tryTouchDown()
{
    const float sink = -m_body.velocity.y;
    const float bank = bankOf(m_body.orientation);
    const float pitch = pitchOf(m_body.orientation);
    if (sink >= kMaxSinkRate || std::fabs(bank) >= kMaxBankAtTouchDown || pitch < kMinPitchAtTouchDown ||
        pitch > kMaxPitchAtTouchDown || m_body.speed >= m_params.stallSpeed + kTouchDownSpeedOverStall)
        return false;
    Runway* runway = host().findRunwayAt(m_body.position, kRunwayMargin);
    if (!runway)
        return false;
    setLanded(runway);
    const float ground = host().groundHeightAt(m_body.position.x, m_body.position.z);
    m_body.position.y = ground + m_params.groundOffset;
    m_body.velocity = m_body.direction * m_body.speed;
    playSource(globalSources().land);
    if (isPlayer())
        host().countEvent(*this, kEventLanded);
    return true;
}

void Airplane::rollStep(float h)
{
    const FlightInput in = currentInput();
    const float ground = host().groundHeightAt(m_body.position.x, m_body.position.z);
    if (readyToLiftOff(m_body, m_params, in)) {
        m_landed = false;
        linkRunway(nullptr);
        playSource(globalSources().takeoff);
        if (isPlayer())
            host().countEvent(*this, kEventTookOff);
        flightStep(m_body, m_params, in, h);
        m_body.position.y = std::max(m_body.position.y, ground + m_params.groundOffset);
        return;
    }
    groundStep(m_body, m_params, in, ground, h);
    // Rolling off the end of the runway leaves the plane on open ground.
    if (m_runway && !m_runway->contains(m_body.position, kRunwayMargin))
        linkRunway(nullptr);
}

void Airplane::updateTimers(float h)
{
    if (m_ejectCooldown > 0.0f)
        m_ejectCooldown -= h;
    m_sinceFlares += h;
    m_sinceFlareRequest += h;
    if (m_flightState != FlightState::Normal) {
        m_timeInState += h;
        if (m_flightState == FlightState::Fire && lifeState() == LifeState::Alive)
            setHealth(health() - 0.02f * h);
        if (m_stateDuration > 0.0f && m_timeInState >= m_stateDuration) {
            m_flightState = FlightState::Normal;
            m_timeInState = m_stateDuration = 0.0f;
        }
    }
    if (incomingMissile && lifeState() == LifeState::Alive && m_sinceFlareRequest >= kFlareInterval && m_flares > 0 &&
        vec3DistanceSq(incomingMissile->worldPosition(), m_body.position) < kFlareThreatRange * kFlareThreatRange) {
        m_sinceFlareRequest = 0.0f;
        host().launchFlaresFor(*this);
    }
}

void Airplane::updateApproachLamp()
{
    m_lampOn = false;
    m_lampA = m_lampB = 0.0f;
    if (!isPlayer() || m_landed)
        return;
    const Runway* runway = host().findRunwayAt(m_body.position, kLampRange);
    if (!runway)
        return;
    const Vec3 d = m_body.position - runway->position();
    const float height = d.y;
    const float distance = std::sqrt(d.x * d.x + d.z * d.z);
    Vec3 flat{forward().x, 0.0f, forward().z};
    if (vec3Length(flat) < 1e-4f || height > kLampCeiling || distance > kLampRange)
        return;
    flat = vec3Normalize(flat);
    if (std::fabs(vec3Dot(flat, runway->direction())) <= 0.8f)
        return;
    m_lampOn = true;
    m_lampA = std::clamp(1.0f - distance / kLampRange, 0.0f, 1.0f);
    const float slope = std::atan2(std::max(height, 0.0f), std::max(distance, 1.0f));
    m_lampB = std::clamp(1.0f - std::fabs(slope - kGlideSlope) / kGlideSlope, 0.0f, 1.0f);
}

void Airplane::updateOutputs()
{
    m_position = m_body.position;
    m_speed = m_body.speed;
    m_velocity = m_body.velocity;
    m_matrix = mat4FromQuatPosition(m_body.orientation, m_body.position);
    updateAttitudeAngles();
}
