#pragma once
#include "modes/kinds/GameModeCustom.h"

// Free-for-all: every airplane on its own team, scored alone.
class GameModeFFA : public GameModeCustom {
public:
    static constexpr float kSpawnRadius = 2500.0f;

    GameModeFFA();
    void resetRound() override;
    void getSpawnPoint(const Target& entity, Vec3& position, Quat& orientation) const override;
    Airplane* addServerPlayer(const JoinRequest& request, int team) override;
    int nextTeam() const { return m_nextTeam; }

protected:
    void buildPlayers() override;

private:
    int m_nextTeam = 1;
};

// Team deathmatch: two teams scored by their kills.
class GameModeTD : public GameModeCustom {
public:
    static constexpr float kSpawnRadius = 5000.0f;
    // Where the player's airplane starts (the height comes from the terrain).
    static constexpr Vec3 kPlayerStart{12679.454f, 0.0f, 4755.814f};

    GameModeTD();
    void resetRound() override;
    PauseMenu getPauseMenu() const override { return PauseMenu::TeamMatch; }
    void getSpawnPoint(const Target& entity, Vec3& position, Quat& orientation) const override;

protected:
    void buildPlayers() override;
};

// Sets the score keeper's limits from a match settings entry.
void applyMatchLimits(int entry);
