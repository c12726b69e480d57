#pragma once
#include "modes/kinds/GameModeCustom.h"

#include <array>
#include <cstdint>

// One of the twenty numbered dogfights: the player against a fixed number of
// enemies. Destroying every enemy wins; losing the own airplane loses.
class GameModeDF : public GameModeCustom {
public:
    static constexpr int kCount = 20;
    static constexpr int kRewardCap = 50000;
    static constexpr int kWonMedal = 3;
    // Dogfights from this index pay the gap to the next rank the first time.
    static constexpr int kRankGapFrom = 12;
    static constexpr std::array<int, kCount> kRewards = {50,  100, 175,  75,   175,  300,  400,  150,  400,  800,
                                                          1200, 1500, 3000, 3000, 3000, 3000, 3000, 3000, 3000, 3000};
    static constexpr std::array<int, 10> kFormations = {0, 1, 0, 2, 1, 1, 2, 2, 2, 2};

    // The saved index held to 0..19.
    static int clampIndex(int index);
    // What a win of the dogfight pays: its table entry, or for the last eight
    // won the first time the points still missing to the next rank (at most
    // kRewardCap, never negative).
    static int rewardFor(int index, bool done, int rank, std::int64_t points);

    GameModeDF();

    void resetRound() override;
    void onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause) override;
    void deleteAirplane(Target& entity) override;
    PauseMenu getPauseMenu() const override { return PauseMenu::TeamMatch; }
    void fillReport(MatchReport& out) const override;
    void finishMatch() override;
    int matchBonusPercent() const override;

    bool won() const { return m_won; }
    int dogfightIndex() const { return m_index; }
    int reward() const { return m_reward; }
    void placeAirplanes();

protected:
    void buildPlayers() override;

private:
    // Nobody comes back: won when the last enemy has left play, lost when
    // the player has.
    void decideOutcome(Target& gone);

    bool m_won = false;
    int m_index = 0;
    int m_reward = 0;
    Squadron* m_enemies = nullptr;
};
