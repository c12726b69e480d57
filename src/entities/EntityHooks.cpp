#include "entities/EntityHooks.h"

EntityFxHooks& entityFx()
{
    static EntityFxHooks hooks;
    return hooks;
}

EntitySoundHooks& entitySound()
{
    static EntitySoundHooks hooks;
    return hooks;
}

void fxSpawn(const char* psc, const Vec3& at)
{
    if (entityFx().spawnEffect)
        entityFx().spawnEffect(psc, at);
}

void soundPlay(const char* name, const Vec3& at)
{
    if (entitySound().play)
        entitySound().play(name, at);
}
