// The effects that follow an airplane: exhaust, vapour, contrail, sonic
// boom, flares and the smoke and fire of damage. The airplane makes and
// drops them by direct calls into the effects library.
#include "entities/aircraft/Airplane.h"

#include "effects/EffectList.h"
#include "effects/particles/AircraftParticles.h"
#include "effects/particles/PConfig.h"
#include "effects/particles/PSystem.h"
#include "effects/trails/AirplaneContrail.h"
#include "effects/world/AircraftLooks.h"
#include "gamedata/AirplaneModel.h"

namespace {
constexpr int kSmokeSlot = 0, kFireSlot = 1, kSmokeTrailSlot = 2;
constexpr float kContrailWidth = 0.5f, kContrailPeriod = 0.07f;
}  // namespace

Vec3 Airplane::fxWidthVector() const
{
    // The ribbon is as wide on every axis as the airplane's side axis is long.
    return {1.0f, 1.0f, 1.0f};
}

void Airplane::makeEffects()
{
    if (!m_model)
        return;
    if (m_model->hasNode("jet")) {
        exhaust = std::make_unique<JetExhaust>(*this);
        if (!exhaust->valid())
            exhaust.reset();
    }
    vapour = std::make_unique<VapourCone>(*this);
    contrail = std::make_unique<AirplaneContrail>(*this, m_model->contrailPoint(), kContrailWidth, kContrailPeriod);
}

void Airplane::updateEffects(float dt)
{
    if (exhaust)
        exhaust->update(std::max(m_body.throttle, 0.0f), dt);
    if (vapour) {
        // Flight direction against the up axis: how far the wings slice the air sideways.
        const float alignment = -vec3Dot(up(), m_body.direction);
        vapour->update(dt, alignment);
    }
}

void Airplane::dropEffects()
{
    // Flares and the boom read the airplane: they let go and finish now.
    ParticleSystem::forgetOwner(this);
    sonicBoom = nullptr;
    if (vapour)
        vapour->stopRush();
    showDamageEffects(0);
    showSmokeTrail(false);
}

void Airplane::drawEffects() const
{
    if (exhaust && m_flightState != FlightState::EngineDead && m_flightState != FlightState::Critical)
        exhaust->render();
    if (vapour)
        vapour->render();
}

namespace {
// Stops an attached system and lets it fade where it is.
void stopSlot(PSystem*& slot)
{
    if (!slot)
        return;
    slot->stop();
    slot->parent = nullptr;
    slot = nullptr;
}

PSystem* attach(PSystemParent& owner, const Vec3& at, const char* psc)
{
    const PConfig* config = getParticleConfig(psc);
    if (!config || !config->loaded)
        return nullptr;
    auto* s = new PSystem(config, {0.0f, 1.0f, 0.0f});
    s->parent = &owner;
    s->localDirection = {0.0f, 0.0f, 1.0f};
    s->setPosition(at.x, at.y, at.z);
    addEffect(s);
    return s;
}
}  // namespace

void Airplane::showSmokeTrail(bool on)
{
    PSystem*& slot = effectSlots[kSmokeTrailSlot];
    if (!on)
        stopSlot(slot);
    else if (!slot)
        slot = attach(*this, m_position, "smoke_trail.psc");
}

void Airplane::showDamageEffects(int level)
{
    auto stop = [this](int slot) { stopSlot(effectSlots[static_cast<std::size_t>(slot)]); };
    auto start = [this](int slot, const char* psc) {
        PSystem*& s = effectSlots[static_cast<std::size_t>(slot)];
        if (!s)
            s = attach(*this, m_position, psc);
    };
    if (level <= 0) {
        stop(kSmokeSlot);
        stop(kFireSlot);
        return;
    }
    start(kSmokeSlot, "plane_damage_smoke.psc");
    if (level >= 2)
        start(kFireSlot, "plane_damage_fire.psc");
}
