#include "modes/GameMode.h"

#include "entities/EntityIds.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/WeaponCfg.h"
#include "gamedata/records/WeaponList.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/PlayerRecord.h"

#include <algorithm>

void GameMode::fillPlayerRecord(const Target& e, PlayerRecord& rec) const
{
    rec = PlayerRecord{};
    rec.state = e.isActive()                ? PlayerRecord::State::InPlay
                : e.respawnTimer == -1.0f   ? PlayerRecord::State::OutForGood
                                            : PlayerRecord::State::Waiting;
    rec.team = e.team();
    rec.role = static_cast<int>(e.networkRole);
    rec.kind = static_cast<int>(e.kind());
    rec.entityId = e.id();
    rec.mapItem = e.networkItem();
    if (e.hasId())
        rec.playerValues = m_playerInfo[static_cast<std::size_t>(e.id())].values;
    if (e.kind() == TargetKind::Airplane) {
        const auto& a = static_cast<const Airplane&>(e);
        std::copy(a.scores.begin(), a.scores.end(), rec.stats.begin());
        rec.spawnCounter = a.spawnCounter;
        rec.hasStateBlock = a.netState(rec.stateBlock);
        rec.planeId = a.record().plane_id;
        rec.paint = paintOf(e);
        for (int slot = 0; slot < 3; ++slot) {
            const Weapon* w = e.weapon(slot);
            rec.weaponIds[static_cast<std::size_t>(slot)] = w ? w->record().weapon_id : -1;
        }
        rec.name = a.pilotName.substr(0, PlayerRecord::kNameUnits - 1);
    }
}

PlayerRecordLimits GameMode::recordLimits() const
{
    PlayerRecordLimits limits;
    limits.itemCount = m_world ? m_world->itemCount() : 0;
    limits.objectCount = m_world ? m_world->objectCount() : 0;
    limits.isKnownWeapon = [](int id) { return WeaponList::instance().findById(id) != nullptr; };
    return limits;
}

Target* GameMode::addNetworkPlayer(const PlayerRecord& rec, bool ownRecord)
{
    if (rec.isAirplane())
        return applyAirplaneRecord(rec, ownRecord);
    if (!isMapEntityKind(rec.kind))
        return nullptr;
    for (const auto& e : m_entities) {
        if (static_cast<int>(e->kind()) != rec.kind || e->networkItem() != rec.mapItem || !e->acceptsNetworkRecord())
            continue;
        // What the host has down is down here: for good, or until its own
        // wait ends (not sent: a unit comes back within its whole delay).
        if (rec.state == PlayerRecord::State::OutForGood)
            eliminateAirplane(*e);
        else if (rec.state == PlayerRecord::State::Waiting && e->isGroundTarget())
            respawnQuietly(*e, GroundTarget::kRespawnDelay, nullptr);
        else if (rec.state == PlayerRecord::State::Waiting)
            takeOutAirplane(*e);
        return e.get();
    }
    return nullptr;
}

Target* GameMode::applyAirplaneRecord(const PlayerRecord& rec, bool ownRecord)
{
    Airplane* a = nullptr;
    if (ownRecord) {
        a = m_playerAirplane;
        if (!a)
            return nullptr;
        a->networkRole = NetworkRole::Local;
    } else {
        const PlaneCfg* record = PlaneList::instance().findById(rec.planeId);
        if (!record)
            return nullptr;
        auto made = Target::create<Airplane>(*this, *record, rec.team, rec.name);
        if (!made)
            return nullptr;
        a = made.get();
        // The record's weapons are the host's word, its match's weapon rule already in them.
        fitWeapons(*a, rec.weaponIds);
        if (!addPlayerAirplane(std::move(made), false))
            return nullptr;
        // Only the player's own record makes an airplane local on this side.
        a->networkRole = rec.role == static_cast<int>(NetworkRole::Remote) ? NetworkRole::Remote
                                                                            : NetworkRole::RemoteClient;
    }
    changeTeam(*a, rec.team);
    a->spawnCounter = rec.spawnCounter;
    // The host's numbering wins: whatever holds the id on this side moves to a free one.
    if (Target* holder = findPlayerAirplane(rec.entityId); holder && holder != a) {
        for (int id = PlayerRecord::kMaxEntityId; id >= 0; --id)
            if (!targetIds().isUsed(id) && holder->takeOverId(id))
                break;
    }
    (void)a->takeOverId(rec.entityId);
    m_playerInfo[static_cast<std::size_t>(a->id())] = PlayerInfo{rec.paint, rec.playerValues};
    if (rec.hasStateBlock)
        (void)a->applyNetState(rec.stateBlock);
    std::copy(rec.stats.begin(), rec.stats.end(), a->scores.begin());
    if (rec.state == PlayerRecord::State::OutForGood)
        eliminateAirplane(*a);
    else if (rec.state == PlayerRecord::State::Waiting)
        takeOutAirplane(*a);
    m_hooks.hudOrNone().refreshInsignia();
    return a;
}

void GameMode::fitWeapons(Target& entity, const std::array<int, 3>& weaponIds)
{
    for (int slot = 0; slot < 3; ++slot) {
        const int id = weaponIds[static_cast<std::size_t>(slot)];
        if (id < 0)
            continue;
        const WeaponCfg* record = WeaponList::instance().findById(id);
        if (!record)
            continue;
        entity.removeWeaponsWithTag(slot);
        (void)entity.mountWeapon(*record, slot);
    }
}

Airplane* GameMode::addServerPlayer(const JoinRequest& join, int team)
{
    const PlaneCfg* record = PlaneList::instance().findById(join.planeId);
    if (!record)
        return nullptr;
    if (team < 0)
        team = teamCounters().team1 <= teamCounters().team0 ? 1 : 0;
    auto made = Target::create<Airplane>(*this, *record, team, join.name.empty() ? u"Pilot" : join.name);
    if (!made)
        return nullptr;
    Airplane* a = made.get();
    // The plane's own weapons in every slot the joiner did not choose (the
    // gun is never chosen): without them its shots would hurt nothing here.
    const std::string* own[3] = {&record->pGunWeapon, &record->sp_weapon0, &record->sp_weapon1};
    for (int slot = 0; slot < 3; ++slot)
        if (const WeaponCfg* w = WeaponList::instance().findByName(*own[slot])) {
            a->removeWeaponsWithTag(slot);
            (void)a->mountWeapon(*w, slot);
        }
    fitWeapons(*a, {-1, join.loadout[0], join.loadout[1]});
    applyWeaponRule(*a);
    if (!addPlayerAirplane(std::move(made), false))
        return nullptr;
    m_playerInfo[static_cast<std::size_t>(a->id())] = PlayerInfo{join.paint, join.playerWords};
    // The host sends the joiner's records itself once the join is through.
    respawnQuietly(*a, 0.0f, nullptr);
    a->controllable = true;
    a->networkRole = NetworkRole::RemoteClient;
    a->setRank(join.rank);
    m_hooks.hudOrNone().refreshInsignia();
    return a;
}

void GameMode::applyWeaponRule(Target& e) const
{
    const int rule = weaponRule & 0xFF;
    if (rule != 1 && rule != 2)
        return;
    const char* replacement = rule == 1 ? "simple_missile_1" : "machinegun_light_1";
    const WeaponCfg* with = WeaponList::instance().findByName(replacement);
    if (!with)
        return;
    for (int slot = 0; slot < 3; ++slot) {
        const Weapon* w = e.weapon(slot);
        if (!w || w->isGun() != (rule == 1))
            continue;
        const int group = w->group();
        e.removeWeaponsWithTag(group);
        (void)e.mountWeapon(*with, group);
    }
}
