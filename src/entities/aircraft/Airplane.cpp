#include "entities/aircraft/Airplane.h"

#include "effects/screen/FaintMeter.h"
#include "effects/screen/ScreenDamage.h"
#include "effects/world/Parachute.h"
#include "gamedata/AirplaneModel.h"
#include "gamedata/map/MapEntities.h"
#include "entities/EntitySounds.h"
#include "entities/IEntityHost.h"
#include "entities/aircraft/AirplaneState.h"
#include "effects/trails/AirplaneContrail.h"
#include "effects/world/AircraftLooks.h"
#include "entities/ground/CarrierDeck.h"
#include "entities/ground/Runway.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/AirplaneModel.h"
#include "gamedata/map/MapEntities.h"
#include "gamedata/records/PlaneCfg.h"
#include "render/assets/CollisionMesh.h"
#include "sound/SoundTable.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
constexpr float kAirplaneRadius = 8.0f;
constexpr int kMaxRank = 17;
}  // namespace

Airplane::Airplane(IEntityHost& host, const PlaneCfg& record, int team, std::u16string name)
    : Target(host, TargetKind::Airplane, team), m_record(&record), m_params(FlightParams::fromRecord(record))
{
    pilotName = std::move(name);
    planeRecord = &record;
    m_radius = kAirplaneRadius;
    m_flares = record.pFlares;
    m_body.boostReserve = m_params.boostCapacity;
    m_body.throttle = 1.0f;
    m_throttleCommand = 1.0f;
    m_body.speed = kSpawnSpeed;
    updateOutputs();
    m_previousMatrix = m_matrix;
    drawGroup = DrawGroup::Aircraft;
    m_model = AirplaneModel::forPlane(record);
    makeEffects();
}

Airplane::~Airplane()
{
    if (m_mapObject && m_mapObject->entity == this)
        m_mapObject->entity = nullptr;
    dropEffects();
    if (parachute)
        parachute->ownerGone();
    if (m_carrier)
        m_carrier->release(*this);
    linkRunway(nullptr);
}

void Airplane::linkMapObject(MapObject& object)
{
    m_mapObject = &object;
    object.entity = this;
}

void Airplane::linkRunway(Runway* runway)
{
    if (runway == m_runway)
        return;
    if (m_runway)
        m_runway->airplaneLeft(*this);
    m_runway = runway;
    if (m_runway)
        m_runway->airplaneArrived(*this);
}

void Airplane::standOnCarrier(CarrierDeck& deck)
{
    linkRunway(nullptr);
    m_carrier = &deck;
    m_landed = true;
    setSpeed(0.0f);
    // Engine at idle on the deck: full throttle is what fires the catapult.
    m_throttleCommand = 0.0f;
    m_body.throttle = 0.0f;
    playSource(globalSources().land);
    if (isPlayer())
        host().countEvent(*this, kEventLanded);
}

void Airplane::leaveCarrier()
{
    m_carrier = nullptr;
    m_landed = false;
}

// A landed airplane rolls on as if it had left the runway's box.
void Airplane::forgetRunway()
{
    m_runway = nullptr;
}

void Airplane::dropReferencesTo(const Target& gone)
{
    Target::dropReferencesTo(gone);
    if (currentTarget == &gone)
        currentTarget = nullptr;
    if (m_containing == &gone)
        m_containing = nullptr;
    if (m_runway == &gone)
        linkRunway(nullptr);
}

bool Airplane::isPlayer() const { return host().playerAirplane() == this; }

void Airplane::setThrottleCommand(float command)
{
    m_throttleCommand = std::isfinite(command) ? std::clamp(command, -1.0f, 1.0f) : 0.0f;
}

void Airplane::setThrottleSetting(float setting)
{
    m_body.throttle = std::isfinite(setting) ? std::clamp(setting, -1.0f, 1.0f) : 0.0f;
}

void Airplane::setThrottleForSpeed(float speed)
{
    setThrottleCommand((speed - m_record->pMinSpeed) / std::max(m_record->pSpeedSpan, 1.0f));
}

void Airplane::controlInput(int input, float value)
{
    if (input < 0 || input > 2)
        return;
    const bool on = value != 0.0f;
    m_fireInputs[static_cast<std::size_t>(input)] = on;
    for (int slot = 0; slot < kWeaponSlots; ++slot)
        if (Weapon* w = weapon(slot); w && w->group() == input && w->isEnabled())
            w->setFiring(on);
}

void Airplane::setSpeed(float speed)
{
    m_body.speed = std::isfinite(speed) ? std::max(speed, 0.0f) : 0.0f;
    m_speed = m_body.speed;
    m_body.velocity = m_body.direction * m_body.speed;
    m_velocity = m_body.velocity;
}

void Airplane::setOrientation(const Quat& q)
{
    m_body.orientation = quatNormalize(q);
    m_body.direction = forwardOf(m_body.orientation);
    updateOutputs();
}

void Airplane::setPositionAndStop(const Vec3& p)
{
    m_body.position = p;
    m_position = p;
    m_accumulator = 0.0f;
    updateOutputs();
}

void Airplane::updateAttitudeAngles()
{
    const Vec3 f = forward();
    m_pitchAngle = std::asin(std::clamp(f.y, -1.0f, 1.0f));
    m_headingAngle = std::atan2(-f.x, -f.z);
}

Vec3 Airplane::loadVector() const
{
    const float load = std::clamp(m_body.rates.x * m_body.speed / m_params.cruiseSpeed, -1.0f, 1.0f);
    return {load, 0.0f, 0.0f};
}

float Airplane::speedFactor() const
{
    return std::clamp((m_body.speed - m_params.cruiseSpeed) / m_params.cruiseSpeed, -1.0f, 1.0f);
}

float Airplane::contrailFactor() const { return std::clamp((m_body.position.y - 6000.0f) / 3000.0f, 0.0f, 1.0f); }

void Airplane::setLanded(Runway* runway)
{
    linkRunway(runway);
    m_landed = runway != nullptr;
    if (m_landed) {
        m_body.orientation = quatFromEuler(std::atan2(-forward().x, -forward().z), 0.0f, 0.0f);
        m_body.direction = forward();
    }
}

void Airplane::setFlares(int count) { m_flares = std::max(count, 0); }

void Airplane::resetScores()
{
    // The rank is the pilot's, not the match's: a new match keeps it.
    const int rank = scores[kScoreRank];
    scores.fill(0);
    scores[kScoreRank] = rank;
}

void Airplane::setRank(int rank) { scores[kScoreRank] = std::clamp(rank, 0, kMaxRank); }

void Airplane::resetForRespawn()
{
    if (m_carrier)
        m_carrier->release(*this);
    ++spawnCounter;
    setHealth(1.0f);
    Target::setLifeState(LifeState::Alive);
    m_body.orientation = Quat{};
    m_body.direction = {0.0f, 0.0f, -1.0f};
    manoeuvreValue = 0.0f;
    m_body.throttle = 1.0f;
    m_throttleCommand = 1.0f;
    m_body.boostReserve = m_params.boostCapacity;
    m_boostCommand = false;
    m_flares = m_record->pFlares;
    m_ejectCooldown = kEjectCooldown;
    m_ejectFlag = true;
    // The pilot still in the air drifts on without the airplane.
    if (parachute)
        parachute->ownerGone();
    parachute = nullptr;
    if (isPlayer()) {
        // A new airplane: a clean canopy and a pilot who has not fainted.
        ScreenDamage::clean(AirplaneModel::canopyTexture());
        Effects::resetFaint();
    }
    controllable = true;
    m_controls = {};
    m_landed = false;
    linkRunway(nullptr);
    m_flightState = FlightState::Normal;
    m_timeInState = m_stateDuration = 0.0f;
    m_accumulator = 0.0f;
    m_body.position = m_position;
    setSpeed(kSpawnSpeed);
    updateDamageLevels();
    updateOutputs();
    m_previousMatrix = m_matrix;
    if (exhaust)
        exhaust->active = true;
    if (contrail)
        contrail->reset();
}

void Airplane::onRespawn() { m_timeInPlay = 0.0f; }

void Airplane::onTeamChanged(bool reset)
{
    if (reset)
        resetScores();
}

bool Airplane::modelContact(const Vec3& point, float radius) const
{
    if (!m_model)
        return true;
    // The matrix is a turn and a shift: its transpose turns back.
    const float* m = m_matrix.m;
    const Vec3 d{point.x - m[12], point.y - m[13], point.z - m[14]};
    const Vec3 local{m[0] * d.x + m[1] * d.y + m[2] * d.z, m[4] * d.x + m[5] * d.y + m[6] * d.z,
                     m[8] * d.x + m[9] * d.y + m[10] * d.z};
    return modelTouches(m_model->model(), local, radius);
}

void Airplane::onTakenOut()
{
    // A match takes a shot-down airplane out at once to wait for its respawn:
    // its death ends here, so the wreck still falls where it was hit.
    if (lifeState() == LifeState::Dying)
        finishDeath(false);
    Target::onTakenOut();
    m_fireInputs.fill(false);
    m_boostCommand = false;
}

bool Airplane::matchesClass(TargetClass c) const { return c == TargetClass::Any || c == TargetClass::Air; }

bool Airplane::netState(AirplaneNetState& s) const
{
    s.position = m_body.position;
    s.orientation = m_body.orientation;
    s.speed = m_body.speed;
    s.health = health();
    s.throttle = m_body.throttle;
    s.inputs = m_controls;
    s.flightState = static_cast<int>(m_flightState);
    s.flags = static_cast<std::uint8_t>((m_fireInputs[0] ? AirplaneNetState::kFireGroup0 : 0) |
                                        (m_fireInputs[1] ? AirplaneNetState::kFireGroup1 : 0) |
                                        (m_fireInputs[2] ? AirplaneNetState::kFireGroup2 : 0) |
                                        (m_body.boosting ? AirplaneNetState::kBoost : 0) |
                                        (m_landed ? AirplaneNetState::kLanded : 0) |
                                        (m_ejectFlag ? AirplaneNetState::kEjectFlag : 0));
    return true;
}

bool Airplane::applyNetState(const AirplaneNetState& s)
{
    m_body.position = s.position;
    m_position = s.position;
    m_body.orientation = s.orientation;
    m_body.direction = forwardOf(s.orientation);
    setSpeed(s.speed);
    setHealth(s.health);
    m_body.throttle = s.throttle;
    m_controls = s.inputs;
    const int state = s.flightState;
    const bool known = state <= 5 || state >= 9;
    const FlightState now = known ? static_cast<FlightState>(state) : FlightState::Normal;
    // A state the peer's airplane just took is new here too: its label's line counts from now.
    if (now != m_flightState)
        m_timeInState = 0.0f;
    m_flightState = now;
    for (int g = 0; g < 3; ++g)
        controlInput(g, (s.flags & (1 << g)) ? 1.0f : 0.0f);
    m_boostCommand = (s.flags & AirplaneNetState::kBoost) != 0;
    m_landed = (s.flags & AirplaneNetState::kLanded) != 0;
    if (!m_landed)
        linkRunway(nullptr);
    m_ejectFlag = (s.flags & AirplaneNetState::kEjectFlag) != 0;
    m_accumulator = 0.0f;
    updateOutputs();
    updateDamageLevels();
    return true;
}
