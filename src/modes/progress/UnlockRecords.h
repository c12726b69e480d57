#pragma once
#include "platform/CSerializable.h"

#include <span>
#include <string>

// The deed a rule waits for, as stored in "eventType" (by name or number).
enum class UnlockEventType : int {
    None = 0,
    Start = 1,
    Rank = 2,
    CampaignMissionWin = 3,
    SurvivalWave = 4,
    Dogfight = 5,
    FreeUpdate = 7,
    HasZubGame = 8,
    AcePoints = 9,
    Achievement = 10,
    Facebook = 11,
    Rate = 12,
};

// What an item unlocks, as stored in "itemType".
enum class UnlockItemType : int {
    None = 0,
    Plane = 1,
    CampaignAccess = 2,
    MultiplayerOnline = 3,
    FreeForAll = 4,
    DestroyTheBase = 5,
    SurvivalCoop = 6,
    FreeFlight = 7,
    AirplaneCustomize = 8,
    WeaponCustomize = 9,
    WeaponPack1 = 10,
    AcrobaticSmoke = 11,
};

std::span<const SerEnumValue> unlockEventTypeNames();
std::span<const SerEnumValue> unlockItemTypeNames();

// One thing a rule unlocks.
struct UnlockItem final : CSerializable {
    std::string parameterString;   // plane name of a plane item
    int parameterInt1 = -1;        // campaign index of a campaign item
    int parameterInt2 = -1;
    bool silent = false;
    int itemType = 0;              // UnlockItemType; any number reads

    const char* typeName() const override { return "UnlockItem"; }
    void describe(SerMembers& members) override;
    UnlockItemType type() const { return static_cast<UnlockItemType>(itemType); }
};

// One rule: a deed with its parameters and what it unlocks.
struct UnlockEvent final : CSerializable {
    int parameterInt1 = -1;   // threshold, index or campaign
    int parameterInt2 = -1;   // mission
    int parameterInt3 = -1;
    std::string unlockMessageStringID;
    bool silent = false;
    int eventType = 0;        // UnlockEventType; any number reads
    std::string parameterString;
    CSerArray<UnlockItem> items;

    const char* typeName() const override { return "UnlockEvent"; }
    void describe(SerMembers& members) override;
    UnlockEventType type() const { return static_cast<UnlockEventType>(eventType); }
};
