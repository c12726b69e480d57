#include "entities/ground/Flag.h"
#include "modes/PlayerRecord.h"
#include "modes/kinds/GameModeCTF.h"

void GameModeCTF::fillServerData(ServerData& out) const
{
    out.layout = ServerData::Layout::Flags;
    out.elapsed = ScoreMgr::instance().elapsed();
    out.flagsHome = 0;
    for (int team = 0; team < 2; ++team) {
        Flag* f = flagOfTeam(team);
        const Target* c = f ? f->carrier() : nullptr;
        out.carriers[static_cast<std::size_t>(team)] = c ? c->id() : ServerData::kNoCarrier;
        if (f && f->state() == Flag::State::Home)
            out.flagsHome |= static_cast<std::uint8_t>(1 << team);
    }
}

void GameModeCTF::applyServerData(const ServerData& data)
{
    if (data.elapsed >= 0.0f)
        ScoreMgr::instance().setElapsed(data.elapsed);
    for (int team = 0; team < 2; ++team) {
        Flag* f = flagOfTeam(team);
        if (!f)
            continue;
        const int id = data.carriers[static_cast<std::size_t>(team)];
        Target* carrier = id == ServerData::kNoCarrier ? nullptr : findPlayerAirplane(id);
        // A carrier this side does not know changes nothing.
        if (id == ServerData::kNoCarrier)
            f->drop();
        else if (carrier)
            f->pickUp(*carrier, carrier->team() == f->team());
        if (data.flagsHome & (1 << team))
            f->returnHome();
    }
}

void GameModeCTF::fillFlagRecord(const Flag& flag, PlayerRecord& out) const
{
    GameModeCustom::fillPlayerRecord(flag, out);
    out.kind = static_cast<int>(TargetKind::Flag);
    out.entityId = flag.id();
    out.mapItem = flag.mapObjectIndex;
    out.extra = PlayerRecord::Extra::FlagPosition;
    out.flagPosition = flag.position();
}

void GameModeCTF::fillPlayerRecord(const Target& entity, PlayerRecord& out) const
{
    for (const Flag* f : {m_flag0, m_flag1})
        if (f && &entity == f) {
            fillFlagRecord(*f, out);
            return;
        }
    GameModeCustom::fillPlayerRecord(entity, out);
}

Flag* GameModeCTF::flagByMapIndex(int index) const
{
    for (Flag* f : {m_flag0, m_flag1})
        if (f && f->mapObjectIndex == index)
            return f;
    return nullptr;
}

Target* GameModeCTF::addNetworkPlayer(const PlayerRecord& record, bool ownRecord)
{
    if (record.kind != static_cast<int>(TargetKind::Flag))
        return GameModeCustom::addNetworkPlayer(record, ownRecord);
    Flag* f = record.extra == PlayerRecord::Extra::FlagPosition ? flagByMapIndex(record.mapItem) : nullptr;
    if (!f)
        return nullptr;
    f->setPosition(record.flagPosition);
    f->setDroppedPosition(record.flagPosition);
    const int id = record.entityId;
    if (id != f->id() && id < kMaxTargetIds)
        (void)f->takeOverId(id);
    applyFlagColors();
    return f;
}
