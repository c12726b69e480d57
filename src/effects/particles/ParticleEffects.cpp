#include "effects/particles/ParticleEffects.h"

#include "effects/EffectList.h"
#include "effects/particles/PConfig.h"
#include "effects/particles/PSystem.h"

PSystem* spawnParticleEffect(std::string_view psc, const Vec3& at, const Vec3& direction)
{
    const PConfig* config = getParticleConfig(psc);
    if (!config || !config->loaded)
        return nullptr;
    auto* system = new PSystem(config, direction);
    system->setPosition(at.x, at.y, at.z);
    addEffect(system);
    return system;
}
