#include "entities/EntityIds.h"

IdTable<256>& targetIds()
{
    static IdTable<256> table;
    return table;
}

IdTable<128>& squadronIds()
{
    static IdTable<128> table;
    return table;
}

IdTable<256>& missileIds()
{
    static IdTable<256> table;
    return table;
}

IdTable<256>& weaponIds()
{
    static IdTable<256> table;
    return table;
}

void clearEntityIds()
{
    targetIds().clear();
    squadronIds().clear();
    missileIds().clear();
    weaponIds().clear();
}
