#include "entities/ground/GroundTarget.h"
#include "modes/PlayerRecord.h"
#include "modes/kinds/GameModeDTB.h"

#include <algorithm>
#include <cmath>

void GameModeDTB::fillServerData(ServerData& out) const
{
    out.layout = ServerData::Layout::Rounds;
    out.elapsed = ScoreMgr::instance().elapsed();
    out.timer = m_roundTimer;
}

void GameModeDTB::applyServerData(const ServerData& data)
{
    if (data.elapsed >= 0.0f)
        ScoreMgr::instance().setElapsed(data.elapsed);
    const float t = data.timer;
    if (t <= 0.0f) {
        m_roundTimer = t;
        m_roundTick = true;
    } else {
        startRoundCountdown(std::min(t, 3600.0f));
    }
}

void GameModeDTB::fillBaseRecord(const GroundTarget& base, PlayerRecord& out) const
{
    GameModeCustom::fillPlayerRecord(base, out);
    out.kind = static_cast<int>(TargetKind::Base);
    out.entityId = base.id();
    out.mapItem = base.mapObjectIndex;
    out.extra = PlayerRecord::Extra::BaseHealth;
    out.baseHealth = base.health();
}

void GameModeDTB::fillPlayerRecord(const Target& entity, PlayerRecord& out) const
{
    for (int team = 0; team < 2; ++team)
        for (const GroundTarget* b : bases(team))
            if (&entity == b) {
                fillBaseRecord(*b, out);
                return;
            }
    GameModeCustom::fillPlayerRecord(entity, out);
}

Target* GameModeDTB::addNetworkPlayer(const PlayerRecord& record, bool ownRecord)
{
    if (record.kind != static_cast<int>(TargetKind::Base))
        return GameModeCustom::addNetworkPlayer(record, ownRecord);
    if (record.extra != PlayerRecord::Extra::BaseHealth)
        return nullptr;
    GroundTarget* base = nullptr;
    for (int team = 0; team < 2 && !base; ++team)
        for (GroundTarget* b : bases(team))
            if (b->mapObjectIndex == record.mapItem)
                base = b;
    if (!base)
        return nullptr;
    const int id = record.entityId;
    if (id < kMaxTargetIds)
        (void)base->takeOverId(id);
    base->setHealth(record.baseHealth);
    if (record.state == PlayerRecord::State::OutForGood) {
        // Destroyed before this machine joined: down, and out of the targets,
        // until the next round.
        if (base->isAlive())
            base->onDestroyed(CrashCause::KilledByDamage);
        eliminateAirplane(*base);
        setTargetable(*base, false);
    } else if (record.state == PlayerRecord::State::Waiting) {
        takeOutAirplane(*base);
    }
    m_hooks.hudOrNone().refreshInsignia();
    return base;
}
