#pragma once
#include "platform/CSerializable.h"

#include <span>
#include <string>

// The weapon kinds of "type".
enum WeaponType : int {
    kWeaponMachinegun = 0,
    kWeaponAllAspect = 1,
    kWeaponJointStrike = 2,
    kWeaponMultiAir = 3,
    kWeaponMultiGround = 4,
    kWeaponRadarGuided = 5,
    kWeaponNone = 6,  // makes nothing when fired
    kWeaponAlienQuick = 7,
    kWeaponAlienLaser = 8,
    kWeaponSimple = 9,  // unguided rocket, bomb or torpedo (see subtype)
    kWeaponFlak = 10,
    kWeaponSmoke = 11,
};
std::span<const SerEnumValue> weaponTypeNames();

// One weapon: "data/weapons/<name>.cfg".
struct WeaponCfg : CSerializable {
    static constexpr int kMaxWeaponId = 255;
    static constexpr int kMaxSlots = 16;
    // Every number of a record lies in 0..kMaxValue (damage, m/s, m, s).
    static constexpr float kMaxValue = 1.0e6f;

    std::string name;
    int weapon_id = 0;
    int type = kWeaponMachinegun;
    float damage = 1.0f;
    std::string description;  // text key of the card text
    float damage_stat = 0.0f;
    float speed = 0.0f;         // projectile speed, m/s
    float reloadTime = 1.0f;    // s; a gun's fire interval
    int numSlots = 1;           // launchers
    float spread = 0.0f;
    float splash_range = 0.0f;
    int usableFlags = 1;  // 0 = not offered in the loadout
    int slotUsed = -1;    // loadout slot 0 or 1; negative = either
    int frameUsed = 0;    // menu icon

    // What the damage rule, the HUD and the missiles need.
    float playerDamage = 0.333f;  // scales damage the player takes in campaign missions
    // Per target class. Damage is in ground hit points (a tank has 220); the
    // air multiplier also scales it to an airplane's health of 1.
    float dmgNaval = 1.0f, dmgLand = 1.0f, dmgAir = 1.0f;
    float blastRadius = 0.0f;  // area damage on impact when above 0
    float blastDamage = 0.0f;
    bool silent = false;  // no cruise sound
    int subtype = 0;      // simple weapons: 0 rocket, 1 bomb, 2 torpedo
    float life = 5.0f;    // s before a projectile is removed
    float turnRate = 0.0f;  // homing, rad/s
    float lockTime = 0.0f;  // s to lock on
    int lockKind = 0;       // reticle color: 0 red, 1 orange
    float lockRange = 0.0f;  // m
    int ammo = 0;            // rounds or missiles per life; 0 = unlimited
    int iconIndex = -1;      // HUD icon; -1 = frameUsed

    int descriptionId = -1;  // resolved from description by the list

    const char* typeName() const override { return "WeaponCfg"; }
    void describe(SerMembers& members) override;
    bool validate(std::string& error);
    bool isGun() const { return type == kWeaponMachinegun || type == kWeaponAlienLaser; }
};
