#include "modes/GameMode.h"

#include "entities/aircraft/Airplane.h"
#include "effects/screen/ScreenSplats.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Random.h"
#include "sound/SoundSource.h"
#include "sound/SoundTable.h"

#include <algorithm>

namespace {
constexpr float kStallMargin = 30.0f;
constexpr float kStallFadeSpan = 40.0f;
constexpr float kNearestMissileBound = 25000000.0f;
// A missile this near the camera (squared) throws splats on the view.
constexpr float kMissileSplatDistanceSq = 5000.0f;

void setPlaying(SoundSource* source, bool on)
{
    if (!source || source->isPlaying() == on)
        return;
    if (on)
        source->play();
    else
        source->stop();
}
}  // namespace

void GameMode::updateFlightSounds()
{
    const GlobalSources& sources = globalSources();
    Airplane* player = m_playerAirplane;
    bool alarm = false;
    float factor = 1.0f;
    if (player && player->isActive() && !player->isLanded() && player->isAlive()) {
        const float stall = player->record().pStallSpeed;
        if (player->speed() < stall + kStallMargin) {
            alarm = true;
            factor = std::clamp(1.0f - (player->speed() - stall) / kStallFadeSpan, 0.0f, 1.0f) * 0.5f + 0.25f;
        }
    }
    setPlaying(sources.alarm, alarm && !playStopped);
    if (player && sources.alarm)
        sources.alarm->setVolume(factor * 0.5f);
    if (playStopped && sources.rain)
        sources.rain->stop();
    setPlaying(sources.jet, player && player->isActive() && !playStopped);
    const bool far = !playStopped && m_nearestAirplane;
    if (far && sources.jetFar)
        sources.jetFar->set3DAttributes(m_nearestAirplane->position(), m_nearestAirplane->velocity());
    setPlaying(sources.jetFar, far);
}

void GameMode::updateMissileSounds()
{
    const GlobalSources& sources = globalSources();
    Airplane* player = m_playerAirplane;
    const Missile* incoming = player && player->isActive() && !playStopped
                                  ? static_cast<const Missile*>(player->incomingMissile)
                                  : nullptr;
    setPlaying(sources.warning, incoming != nullptr);
    if (incoming && sources.warning) {
        const float d = vec3Length(incoming->position() - player->position());
        sources.warning->setPitch(1.0f + (0.1f - std::min(d / 20000.0f, 0.1f)));
        sources.warning->applyPitch();
    }

    Missile* nearest = nullptr;
    Vec3 camera;
    if (!playStopped && m_hooks.cameraOrNone().position(camera)) {
        float best = kNearestMissileBound;
        for (int i = 0; i < m_missiles.count(); ++i) {
            Missile* m = m_missiles.at(i);
            const float d = vec3DistanceSq(m->position(), camera);
            if (!m->record().silent && d < best) {
                best = d;
                nearest = m;
            }
        }
    }
    if (nearest)
        nearest->updateSound();
    else
        setPlaying(sources.missileCruise, false);
    if (nearest && vec3DistanceSq(nearest->position(), camera) < kMissileSplatDistanceSq)
        splatPassingMissile(*nearest);
}

void GameMode::splatPassingMissile(const Missile& missile)
{
    const IModeCamera& camera = m_hooks.cameraOrNone();
    const Target* watched = cameraAirplane();
    if (camera.mode() == IModeCamera::kSubjectView && camera.subject() == &missile && !camera.blending()) {
        // Riding the missile: now and then a spark of its exhaust.
        if (randU32() % 41u == 13u)
            ScreenSplats::spawn(1, ScreenSplats::kSparks, 0.0f);
    } else if (missile.owner() != watched) {
        ScreenSplats::spawn(1, ScreenSplats::kOil, 0.0f);
    }
}

void GameMode::updateRainSound(bool raining, float dt)
{
    const GlobalSources& sources = globalSources();
    const Airplane* player = m_playerAirplane;
    // Under cover (a tunnel's bore) the rain is not heard.
    const bool covered = player && player->containingTarget();
    setPlaying(sources.rain, raining && !playStopped && !covered);
    if (raining && sources.rain && player) {
        const float speed = player->speed();
        sources.rain->setPitch(1.0f + std::clamp((speed - 125.0f) / 250.0f, 0.0f, 1.0f));
        sources.rain->applyPitch();
    }
    if (!raining || playStopped)
        return;
    m_thunderTimer -= dt;
    if (m_thunderTimer < 0.0f) {
        m_thunderTimer = 17.0f + 15.0f * rand01();
        if (sources.thunder)
            sources.thunder->play();
    }
}
