#include "entities/weapons/WeaponHooks.h"

WeaponFxHooks& weaponFx()
{
    static WeaponFxHooks hooks;
    return hooks;
}
