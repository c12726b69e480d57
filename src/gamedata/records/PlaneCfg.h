#pragma once
#include "platform/CSerializable.h"

#include <string>

struct PlanePaint;

// One paint row: two colors of {hue in degrees, saturation, value}.
struct PaintRowCfg : CSerializable {
    Vec3 color0{0.0f, 0.0f, 0.6f};
    Vec3 color1{0.0f, 0.0f, 0.8f};

    const char* typeName() const override { return "PaintRow"; }
    void describe(SerMembers& members) override;
    PlanePaint toPaint() const;
};

// One aircraft: "data/planes/<name>.cfg".
struct PlaneCfg : CSerializable {
    static constexpr int kMaxPlaneId = 255;
    static constexpr int kMaxTier = 15;
    static constexpr float kMinArmour = 0.75f;
    static constexpr int kMaxFlares = 99;
    static constexpr int kMaxPaintRows = 16;
    // Bounds of what the flight model and the damage rules are fed.
    static constexpr float kMaxFactor = 100.0f;      // armour, damage, bonus, radar range
    static constexpr float kMaxMinSpeed = 500.0f;    // m/s
    static constexpr float kMaxSpeedSpan = 500.0f;   // m/s; the top speed stays under 1000
    static constexpr float kMinAccel = 0.01f, kMaxAccel = 20.0f;  // 1/s
    static constexpr float kMaxTurnRate = 20.0f;     // rad/s
    static constexpr float kMaxFaint = 30.0f;        // g

    std::string name;  // the record's list name; checked against the list
    int plane_id = 0;
    int plane_tier = 0;
    std::string shortname;
    std::string fullname;
    std::string file;  // model; planes that share it are variants of one family
    float ap_bonus = 1.0f;
    std::string sp_weapon0, sp_weapon1;
    float pDamage = 1.0f;
    float pArmour = 1.0f;       // divides damage taken
    float pStallSpeed = 40.0f;  // m/s
    int pFlares = 3;
    float pFaintStart = 4.5f, pFaintEnd = 8.5f;
    std::string pStrInfo;  // text key of the description
    float pWeaponry = 0.5f, pStructure = 0.5f, pAerodynamics = 0.5f, pLuck = 0.5f;

    // What the flight model and the camera need.
    // Throttle command c in -1..1 aims at pMinSpeed + c x pSpeedSpan (m/s), so
    // the top speed is their sum and a span above pMinSpeed lets it stop.
    float pMinSpeed = 100.0f;
    float pSpeedSpan = 100.0f;
    float pCruiseSpeed = 100.0f;  // the chase camera zooms out above it
    float pAccel = 0.5f;          // approach rate to the target speed (1/s)
    float pPitchRate = 1.5f, pRollRate = 3.0f, pYawRate = 0.5f;  // rad/s at full stick
    float pRadarRange = -1.0f;  // radar range factor; -1 = no limit
    int pEngine = 0;            // 0 propeller, 1 jet: engine sound and exhaust
    std::string pGunWeapon;     // the gun fired by the first trigger
    bool pStartUnlocked = false;  // flyable on a new profile
    bool pHidden = false;         // AI-only: never offered in the menus
    CSerArray<PaintRowCfg> paints;  // row 0 = factory colors

    // Filled by validate() and the list, not read from the file.
    int strInfoId = -1;

    const char* typeName() const override { return "PlaneCfg"; }
    void describe(SerMembers& members) override;

    // Holds every value it feeds to the flight model, the damage rules and the
    // arrays to its bounds (one log line names those it moved). False (with
    // the reason) for a record that cannot be used at all.
    bool validate(std::string& error);
    float topSpeed() const { return pMinSpeed + pSpeedSpan; }
};
