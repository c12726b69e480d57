#pragma once
#include "modes/kinds/GameModeCustom.h"

#include <array>
#include <cstdint>
#include <span>

class Flag;

// Capture the flag: two teams, a flag at each home; an enemy flag carried to
// the own flag while that one is home scores.
class GameModeCTF : public GameModeCustom {
public:
    static constexpr float kSpawnDistance = 2000.0f;
    static constexpr float kSpawnSpread = 1.5707964f;
    static constexpr float kArenaMargin = 10000.0f;
    static constexpr float kCeiling = 11000.0f;
    static constexpr float kBoundsReset = 10.0f;
    static constexpr int kCarrierWarningText = 88;
    // Network flag events.
    enum class FlagEvent : int { Taken = 0, Captured = 1, Returned = 2, Dropped = 3 };
    // The four squadrons: team 0 attack and defence, team 1 attack and defence.
    enum Squad : int { Attack0 = 0, Defend0 = 1, Attack1 = 2, Defend1 = 3 };

    GameModeCTF();

    void update(float dt) override;
    void updateRules(float dt) override;
    void resetRound() override;
    void clearLevel() override;
    std::unique_ptr<Target> removePlayerAirplane(Target& entity) override;
    void onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause) override;
    void removeAirplaneForGood(Target& entity, int team) override;
    void changeTeam(Target& entity, int team) override;
    void onAirplaneEvent(Target& victim, Target* killer, CrashCause cause, std::uint8_t flags, float respawnTime,
                         const Vec3& position, const Quat& orientation) override;
    void getSpawnPoint(const Target& entity, Vec3& position, Quat& orientation) const override;
    PauseMenu getPauseMenu() const override { return PauseMenu::TeamMatch; }
    void fillReport(MatchReport& out) const override;
    Target* addNetworkPlayer(const PlayerRecord& record, bool ownRecord) override;

    Flag* flagOfTeam(int team) const { return team == 0 ? m_flag0 : (team == 1 ? m_flag1 : nullptr); }
    Squadron* squad(Squad s) const { return m_squads[s]; }

    // The state machine; every transition is relayed, none runs once play stopped.
    void onFlagTaken(Flag& flag, Target& airplane);
    void onFlagCaptured(Target& carrier);
    void onFlagReturned(Flag& flag, Target* airplane);
    void onFlagDropped(Flag& flag, Target& carrier);
    // A flag event from the host.
    void applyFlagEvent(int event, Flag& flag, Target* player);
    void applyFlagEvent(int event, Target& flag, Target* player) override;
    void dropFlagsOf(Target& airplane);
    // The same without telling peers.
    void releaseFlag(Flag& flag, Target& carrier);
    void releaseFlagsOf(Target& airplane);
    void applyFlagColors();

    void checkFlagTouches();
    void checkCaptures();
    void checkFlagBounds(float dt);
    void updateAttackSquad(Squadron*& attack, Squadron*& defend, Flag& own, Flag& enemy);
    void updateDefendSquad(Squadron& defend, Flag& own);

    // Both flags home and a new match.
    void restartMatch() override;
    void startNextMatch() override;
    // The carrier warning is due (the player carries the enemy flag out of bounds).
    bool carrierWarning() const;

    // Server data: match time, both carriers' ids, home bits.
    ServerData::Layout serverDataLayout() const override { return ServerData::Layout::Flags; }
    void fillServerData(ServerData& out) const override;
    void applyServerData(const ServerData& data) override;
    // The flag's player record: the entity's record and the flag's position.
    void fillFlagRecord(const Flag& flag, PlayerRecord& out) const;
    void fillPlayerRecord(const Target& entity, PlayerRecord& out) const override;

protected:
    void buildPlayers() override;
    Target* applyPeerFlag(const peerevent::Flag& event) override;

private:
    void createFlags();
    Flag* flagByMapIndex(int index) const;

    Flag* m_flag0 = nullptr;
    Flag* m_flag1 = nullptr;
    std::array<Squadron*, 4> m_squads{};
};
