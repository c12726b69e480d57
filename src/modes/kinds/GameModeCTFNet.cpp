#include "entities/ground/Flag.h"
#include "modes/kinds/GameModeCTF.h"
#include "modes/kinds/MatchRules.h"

using namespace matchrules;

int GameModeCTF::writeServerData(std::span<std::uint8_t> out) const
{
    if (out.size() < static_cast<std::size_t>(kServerDataSize))
        return 0;
    putF32(out, 0, ScoreMgr::instance().elapsed());
    std::uint8_t home = 0;
    for (int team = 0; team < 2; ++team) {
        Flag* f = flagOfTeam(team);
        const Target* c = f ? f->carrier() : nullptr;
        putI16(out, 4 + static_cast<std::size_t>(team) * 2, c ? c->id() : 0xFFFF);
        if (f && f->state() == Flag::State::Home)
            home |= static_cast<std::uint8_t>(1 << team);
    }
    out[8] = home;
    return kServerDataSize;
}

int GameModeCTF::readServerData(std::span<const std::uint8_t> in)
{
    if (in.size() < static_cast<std::size_t>(kServerDataSize))
        return 0;
    const float elapsed = getF32(in, 0);
    if (elapsed >= 0.0f)
        ScoreMgr::instance().setElapsed(elapsed);
    for (int team = 0; team < 2; ++team) {
        Flag* f = flagOfTeam(team);
        if (!f)
            continue;
        const int id = getU16(in, 4 + static_cast<std::size_t>(team) * 2);
        Target* carrier = id == 0xFFFF ? nullptr : findPlayerAirplane(id);
        // A carrier this side does not know changes nothing.
        if (id == 0xFFFF)
            f->drop();
        else if (carrier)
            f->pickUp(*carrier, carrier->team() == f->team());
        if (in[8] & (1 << team))
            f->returnHome();
    }
    return kServerDataSize;
}

int GameModeCTF::writeFlagRecord(const Flag& flag, std::span<std::uint8_t> out) const
{
    if (out.size() < static_cast<std::size_t>(kFlagRecordSize))
        return 0;
    const int n = writePlayerRecord(flag, out);
    if (n <= 0)
        return 0;
    out[5] = static_cast<std::uint8_t>(TargetKind::Flag);
    putI16(out, 6, flag.id());
    putI16(out, 8, flag.mapObjectIndex);
    const Vec3 p = flag.position();
    putF32(out, 30, p.x);
    putF32(out, 34, p.y);
    putF32(out, 38, p.z);
    return kFlagRecordSize;
}

Flag* GameModeCTF::flagByMapIndex(int index) const
{
    for (Flag* f : {m_flag0, m_flag1})
        if (f && f->mapObjectIndex == index)
            return f;
    return nullptr;
}

Target* GameModeCTF::addNetworkPlayer(std::span<const std::uint8_t> record, bool ownRecord)
{
    if (record.size() >= 6 && record[5] == static_cast<std::uint8_t>(TargetKind::Flag)) {
        if (record.size() < static_cast<std::size_t>(kFlagRecordSize))
            return nullptr;
        Flag* f = flagByMapIndex(getU16(record, 8));
        if (!f)
            return nullptr;
        const Vec3 p{getF32(record, 30), getF32(record, 34), getF32(record, 38)};
        f->setPosition(p);
        f->setDroppedPosition(p);
        const int id = getU16(record, 6);
        if (id != f->id() && id < kMaxTargetIds)
            (void)f->takeOverId(id);
        applyFlagColors();
        return f;
    }
    return GameModeCustom::addNetworkPlayer(record, ownRecord);
}
