#pragma once
#include "modes/IMenuFlight.h"
#include "modes/kinds/GameModeCustom.h"
#include "platform/Math.h"

#include <vector>

// Free flight: the player flies alone (or with network guests) without
// scoring; the player's airplane survives touching ground and water.
class GameModeFreeFlight : public GameModeCustom {
public:
    static constexpr float kPlayerRespawn = 1.0f;

    GameModeFreeFlight();
    bool startLevel() override;
    void resetRound() override;
    void onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause) override;
    float respawnDelayFor(const Target& entity) const override;
    Airplane* addServerPlayer(const JoinRequest& request, int team) override;
    PauseMenu getPauseMenu() const override { return PauseMenu::FreeFlight; }

    // Frame step used for easing the airplane along the surface.
    float lastStep = 1.0f / 60.0f;
    void update(float dt) override;

protected:
    void buildPlayers() override;
};

// The flight behind the menus: one airplane, a fixed sun, no weather, never ends.
class GameModeMenu : public GameMode, public IMenuFlight {
public:
    // The shown airplane's pilot flies the map's loop at the top level.
    static constexpr float kShowcaseSkill = 1.0f;
    static constexpr const char* kLoopPath = "menu";
    // How far before the map's start point the flight begins.
    static constexpr float kApproach = 10000.0f;

    GameModeMenu();
    bool startLevel() override;
    void update(float dt) override;
    void resetRound() override;
    void deleteAirplane(Target& entity) override;
    void onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause) override;
    // The menu's airplane and its two squadrons.
    void buildMenuFlight();
    IMenuFlight* menuFlight() override { return this; }
    // IMenuFlight
    Airplane* showPlane(int planeId) override;
    void previewShownPaint() override;

    Squadron* squadronA = nullptr;
    Squadron* squadronB = nullptr;

    // The loop's points in the order to fly them from the position along the
    // heading: round the way the nose turns about the loop's middle, starting
    // with the point most nearly straight ahead.
    static std::vector<Vec3> loopAhead(std::vector<Vec3> points, const Vec3& position, const Vec3& forward);

private:
    Airplane* makeShowcase(int planeId);
    // Hands the airplane's pilot the map's loop, from the point ahead of it.
    void flyTheLoop(Airplane& a);
};
