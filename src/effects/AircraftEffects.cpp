#include "effects/AircraftEffects.h"

#include "effects/particles/AircraftParticles.h"
#include "effects/particles/EffectTextures.h"
#include "effects/particles/ParticleSystem.h"
#include "effects/trails/AirplaneContrail.h"
#include "effects/trails/MissileTrail.h"
#include "effects/trails/Tracers.h"

namespace AircraftEffects {
int load()
{
    const int failed = Effects::loadTextures();
    ParticleSystem::initParticleBuffers();
    Flares::buildIndices();
    MissileTrail::buildIndices();
    AirplaneContrail::loadResources();
    (void)MachinegunSmoke::flashModel();
    return failed;
}

void update(float dt)
{
    MissileTrail::updateAll(dt);
    AirplaneContrail::updateAll(dt);
    ParticleSystem::updateAll(dt);
    Tracers::updateBeams(dt);
}

void draw(const Mat4& farProjection, const Mat4& nearProjection)
{
    AirplaneContrail::renderAll(farProjection, nearProjection);
    MissileTrail::renderAll(Mat4{});
    Tracers::renderAll();
    ParticleSystem::drawAll(farProjection, nearProjection);
}

void release()
{
    ParticleSystem::deleteAll();
    MissileTrail::deleteAll();
    Tracers::clearAll();
    Effects::releaseTextures();
}
}  // namespace AircraftEffects
