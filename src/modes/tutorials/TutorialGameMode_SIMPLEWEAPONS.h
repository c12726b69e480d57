#pragma once
#include "modes/tutorials/TutorialGameMode.h"

#include <memory>
#include <vector>

class GroundTarget;
class MapObject;

// Tutorial 4: the weapons - light and heavy guns, two linked groups and a
// guided missile against a target drone, then a torpedo and a bomb against a
// ship. Each lesson explains a weapon, then ends when a target is destroyed.
class TutorialGameMode_SIMPLEWEAPONS : public TutorialGameMode {
public:
    static constexpr int kIndex = 4;
    static constexpr float kReminderEvery = 20.0f;
    static constexpr float kPlayerDamageFactor = 5.0f;
    static constexpr float kTargetAbove = 80.0f;
    static constexpr int kLinkReminder = 639;
    // The first weapon-slot button and the link buttons 19, 21 and 23.
    static constexpr int kWeaponSlotElement = 29, kLinkElement19 = 145, kLinkElement21 = 147, kLinkElement23 = 149;
    static constexpr Vec3 kShipPoint{10035.3f, 1155.68f, -4490.8f};

    TutorialGameMode_SIMPLEWEAPONS();
    ~TutorialGameMode_SIMPLEWEAPONS() override;
    void clearLevel() override;
    void drawHud() override;

    void damageAirplane(Target& victim, Target* attacker, float damage, const Vec3& hitPoint,
                        const WeaponCfg* weapon, bool force) override;
    void onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause) override;
    void onAirplaneDestroyedNoKiller(Target& victim, Target* other, CrashCause cause) override;

    static bool isFiringStep(int step);
    int kills = 0;
    Airplane* drone() const { return m_drone; }
    GroundTarget* ship() const { return m_ship; }
    // What the current lesson shoots at: the ship in its two lessons, else the drone; null between.
    const Target* lessonTarget() const override;
    // The ship's map objects the world did not take.
    int ownedShipObjects() const { return static_cast<int>(m_ownedObjects.size()); }
    // Makes the ship at its point in the tarn.
    void spawnNavalTarget();

protected:
    void buildPlayers() override { startInAir(); }
    void startMatch() override;
    void setUpHud() override;
    void runStep(float dt) override;
    std::uint64_t extraMask() const override;
    int reminderAction(int textId) const override;
    float reminderRepeat() const override { return kReminderEvery; }
    void putBackPlayer(Airplane& airplane, CrashCause cause) override;

private:
    void giveWeapon(const char* name, int tag);
    void makeDrone();
    void steerDrone();
    // The end of a firing step once a target went down; true when it ended.
    bool firingDone(float dt);
    void releaseWeapons();
    // Every round of the lesson's weapon is gone.
    bool lessonWeaponSpent() const;
    // The last hit came from a weapon of an earlier lesson, not the one in hand.
    bool leftOverHit() const;
    int arrowElement() const;

    Airplane* m_drone = nullptr;
    GroundTarget* m_ship = nullptr;
    std::vector<std::unique_ptr<MapObject>> m_ownedObjects;
    const WeaponCfg* m_lastHitBy = nullptr;   // the weapon of the last hit
    float m_drawPhase = 0.0f;
    const char* m_lessonWeapon = nullptr;
};
