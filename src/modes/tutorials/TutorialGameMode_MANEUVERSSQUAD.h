#pragma once
#include "modes/tutorials/TutorialGameMode.h"

#include <array>

// Tutorial 5: the squadron orders. Four wingmen fly with the player, who
// sends them away with the attack order and calls them back with the defend
// order.
class TutorialGameMode_MANEUVERSSQUAD : public TutorialGameMode {
public:
    static constexpr int kIndex = 5;
    static constexpr int kAttackOrder = 1, kDefendOrder = 3;
    static constexpr int kLastStep = 6;

    TutorialGameMode_MANEUVERSSQUAD();
    void setSquadronOrder(Target& entity, int command) override;

    const std::array<Airplane*, 4>& wingmen() const { return m_wingmen; }
    float endCounter = 0.0f;
    bool orderGiven = false;

protected:
    void buildPlayers() override;
    void startMatch() override;
    void setUpHud() override;
    void runStep(float dt) override;
    std::uint64_t extraMask() const override;
    void putBackPlayer(Airplane& airplane, CrashCause cause) override;

private:
    bool playerLeads() const;
    std::array<Airplane*, 4> m_wingmen{};
};
