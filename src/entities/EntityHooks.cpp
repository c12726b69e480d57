#include "entities/EntityHooks.h"

EntityFxHooks& entityFx()
{
    static EntityFxHooks hooks;
    return hooks;
}
