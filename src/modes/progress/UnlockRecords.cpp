#include "modes/progress/UnlockRecords.h"

namespace {
constexpr SerEnumValue kEventTypes[] = {
    {0, "ET_NONE"},          {1, "ET_START"},        {2, "ET_RANK"},        {3, "ET_CAMPAIGN_MISSION_WIN"},
    {4, "ET_SURVIVAL_WAVE"}, {5, "ET_DOGFIGHT"},     {7, "ET_FREE_UPDATE"}, {8, "ET_HAS_ZUB_GAME"},
    {9, "ET_ACE_POINTS"},    {10, "ET_ACHIEVEMENT"}, {11, "ET_FACEBOOK"},   {12, "ET_RATE"},
};

constexpr SerEnumValue kItemTypes[] = {
    {0, "IT_NONE"},
    {1, "IT_PLANE"},
    {2, "IT_CAMPAIGN_ACCESS"},
    {3, "IT_MULTIPLAYER_ONLINE"},
    {4, "IT_FFA"},
    {5, "IT_DTB"},
    {6, "IT_SURVIVAL_COOP"},
    {7, "IT_FREEFLIGHT"},
    {8, "IT_AIRPLANE_CUSTOMIZE"},
    {9, "IT_WEAPON_CUSTOMIZE"},
    {10, "IT_WEAPON_PACK1"},
    {11, "IT_ACROBATIC_SMOKE"},
};
}  // namespace

std::span<const SerEnumValue> unlockEventTypeNames() { return kEventTypes; }
std::span<const SerEnumValue> unlockItemTypeNames() { return kItemTypes; }

void UnlockItem::describe(SerMembers& members)
{
    members.add("parameterString", parameterString);
    members.add("parameterInt1", parameterInt1);
    members.add("parameterInt2", parameterInt2);
    members.add("silent", silent);
    members.add("itemType", itemType, kItemTypes);
}

void UnlockEvent::describe(SerMembers& members)
{
    members.add("parameterInt1", parameterInt1);
    members.add("parameterInt2", parameterInt2);
    members.add("parameterInt3", parameterInt3);
    members.add("unlockMessageStringID", unlockMessageStringID);
    members.add("silent", silent);
    members.add("eventType", eventType, kEventTypes);
    members.add("parameterString", parameterString);
    members.add("items", items);
}
