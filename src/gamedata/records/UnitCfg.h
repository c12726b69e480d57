#pragma once
#include "platform/CSerializable.h"

#include <string>

// A weapon a unit carries and where it sits on the model.
struct UnitWeaponCfg : CSerializable {
    std::string name;  // a weapon record
    Vec3 offset;
    const char* typeName() const override { return "UnitWeapon"; }
    void describe(SerMembers& members) override;
};

// One ground or naval unit, building or special target: "data/units/<name>.cfg".
struct UnitCfg : CSerializable {
    // Map objects keep the unit name in 10 bytes.
    static constexpr std::size_t kMaxNameBytes = 9;
    static constexpr int kMaxWeapons = 8;
    static constexpr float kMaxHealth = 1.0e7f;
    static constexpr float kMaxSpeed = 1000.0f;       // m/s
    static constexpr float kMaxRadarFactor = 100.0f;
    static constexpr float kMaxExtent = 10000.0f;     // m: wreck size, weapon offsets

    std::string name;
    int kind = 3;      // target kind: 2 building, 3 land unit, 4/5 vehicles, 6 base, 8 submarine, 9/10 ships, 11 carrier
    int variant = 0;   // picks icons among units of one kind
    std::string model;  // model name in the model table ("destroyer.glm", "airbase.glm_1")
    float health = 100.0f;
    float radarFactor = -1.0f;  // radar range factor; -1 = no limit
    bool targetable = true;     // false: the HUD never offers it as a target
    CSerArray<UnitWeaponCfg> weapons;
    int gibs = 0;       // wreckage kind: 0 building, 3 vehicle, 4 ship
    Vec3 size{1.0f, 1.0f, 1.0f};  // wreck size; x scales a ship's wreck
    float speed = 0.0f;  // m/s along its path; 0 stands still
    std::string display;  // text key of its name on the HUD

    int displayId = -1;  // resolved by the list

    const char* typeName() const override { return "UnitCfg"; }
    void describe(SerMembers& members) override;
    bool validate(std::string& error);
    bool isNaval() const { return kind >= 8 && kind <= 11; }
    bool isBridge() const { return name.find("bridge") != std::string::npos; }
};
