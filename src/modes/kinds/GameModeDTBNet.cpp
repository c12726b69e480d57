#include "entities/ground/GroundTarget.h"
#include "modes/kinds/GameModeDTB.h"
#include "modes/kinds/MatchRules.h"

#include <algorithm>
#include <cmath>

using namespace matchrules;

int GameModeDTB::writeServerData(std::span<std::uint8_t> out) const
{
    if (out.size() < static_cast<std::size_t>(kServerDataSize))
        return 0;
    putF32(out, 0, ScoreMgr::instance().elapsed());
    putF32(out, 4, m_roundTimer);
    return kServerDataSize;
}

int GameModeDTB::readServerData(std::span<const std::uint8_t> in)
{
    if (in.size() < static_cast<std::size_t>(kServerDataSize))
        return 0;
    const float elapsed = getF32(in, 0);
    if (elapsed >= 0.0f)
        ScoreMgr::instance().setElapsed(elapsed);
    const float t = getF32(in, 4);
    if (t <= 0.0f) {
        m_roundTimer = t;
        m_roundTick = true;
    } else {
        startRoundCountdown(std::min(t, 3600.0f));
    }
    return kServerDataSize;
}

int GameModeDTB::writeBaseRecord(const GroundTarget& base, std::span<std::uint8_t> out) const
{
    if (out.size() < static_cast<std::size_t>(kBaseRecordSize))
        return 0;
    if (writePlayerRecord(base, out) <= 0)
        return 0;
    out[5] = static_cast<std::uint8_t>(TargetKind::Base);
    putI16(out, 6, base.id());
    putI16(out, 8, base.mapObjectIndex);
    const float h = std::clamp(base.health(), -1.0f, 1.0f) * 125.0f;
    out[30] = static_cast<std::uint8_t>(static_cast<std::int8_t>(h));
    return kBaseRecordSize;
}

Target* GameModeDTB::addNetworkPlayer(std::span<const std::uint8_t> record, bool ownRecord)
{
    if (record.size() < 6 || record[5] != static_cast<std::uint8_t>(TargetKind::Base))
        return GameModeCustom::addNetworkPlayer(record, ownRecord);
    if (record.size() < static_cast<std::size_t>(kBaseRecordSize))
        return nullptr;
    const int index = getU16(record, 8);
    GroundTarget* base = nullptr;
    for (int team = 0; team < 2 && !base; ++team)
        for (GroundTarget* b : bases(team))
            if (b->mapObjectIndex == index)
                base = b;
    if (!base)
        return nullptr;
    const int id = getU16(record, 6);
    if (id < kMaxTargetIds)
        (void)base->takeOverId(id);
    base->setHealth(static_cast<float>(static_cast<std::int8_t>(record[30])) * 0.008f);
    if (record[1] & 2) {
        eliminateAirplane(*base);
    } else if (record[1] & 4) {
        takeOutAirplane(*base);
    }
    m_hooks.hudOrNone().refreshInsignia();
    return base;
}
