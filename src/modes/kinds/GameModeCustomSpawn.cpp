#include "entities/aircraft/Airplane.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/PlaneCfg.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/WeaponList.h"
#include "modes/BotNames.h"
#include "modes/kinds/GameModeCustom.h"
#include "platform/Random.h"
#include "platform/Settings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

Quat facing(const Vec3& from, const Vec3& to)
{
    return quatFromAngleY(std::atan2(to.x - from.x, to.z - from.z));
}

}  // namespace

float GameModeCustom::spawnHeightAt(float x, float z) const
{
    return std::max(groundHeightAt(x, z), 0.0f) + kSpawnHeight;
}

Vec3 GameModeCustom::mapCentre() const
{
    const float h = spawnHeightAt(0.0f, 0.0f);
    return {0.0f, h, 0.0f};
}

Vec3 GameModeCustom::mapSpawnPoint() const
{
    return m_world ? m_world->worldspawn().spawn : mapCentre();
}

Quat GameModeCustom::mapSpawnOrientation() const
{
    if (!m_world)
        return {};
    constexpr float kDegrees = 0.017453292f;
    const Vec3& a = m_world->worldspawn().spawnAngles;
    return quatFromEuler(a.y * kDegrees, a.x * kDegrees, a.z * kDegrees);
}

std::vector<Vec3> GameModeCustom::spawnBlockers(const Target* ignore) const
{
    // Airplanes waiting out their respawn already hold their spawn points:
    // two shot down in one frame must not be given the same one.
    std::vector<Vec3> out;
    for (const std::vector<Target*>* list : {&m_active, &m_respawnQueue})
        for (const Target* e : *list)
            if (e != ignore && e->kind() == TargetKind::Airplane)
                out.push_back(e->position());
    return out;
}

bool GameModeCustom::isSpawnOccupied(const Vec3& point, float radius, const Target* ignore) const
{
    const float r2 = radius * radius;
    for (const Vec3& p : spawnBlockers(ignore))
        if (vec3DistanceSq(p, point) < r2)
            return true;
    return false;
}

Vec3 GameModeCustom::spawnOnCircle(const Vec3& centre, float radius, bool faceCentre, Quat* orientation) const
{
    // A crowded circle must not hang the spawn: after a bounded number of
    // tries the candidate with the most room wins.
    const std::vector<Vec3> blockers = spawnBlockers(nullptr);
    Vec3 best = centre;
    float bestRoom = -1.0f;
    for (int i = 0; i < kSpawnAttempts; ++i) {
        const float a = randAngle();
        Vec3 p{centre.x + std::sin(a) * radius, 0.0f, centre.z + std::cos(a) * radius};
        p.y = spawnHeightAt(p.x, p.z);
        float room = std::numeric_limits<float>::max();
        for (const Vec3& b : blockers)
            room = std::min(room, vec3DistanceSq(b, p));
        if (room > bestRoom) {
            bestRoom = room;
            best = p;
        }
        if (room >= kSpawnClearance * kSpawnClearance)
            break;
    }
    if (orientation && faceCentre)
        *orientation = facing(best, centre);
    return best;
}

Vec3 GameModeCustom::spawnInSector(const Vec3& base, float directionAngle, float spread, float distance) const
{
    const float a = directionAngle + randRange(-spread * 0.5f, spread * 0.5f);
    Vec3 p{base.x + std::sin(a) * distance, 0.0f, base.z + std::cos(a) * distance};
    p.y = spawnHeightAt(p.x, p.z);
    for (int i = 0; i < kSpawnAttempts && isSpawnOccupied(p, kSpawnClearance, nullptr); ++i)
        p.y += kSpawnClearance;
    return p;
}

Vec3 GameModeCustom::spawnAwayFromOthers(const Target& entity, float radius, bool facingBack, Quat* orientation) const
{
    std::vector<const Target*> others;
    for (const Target* e : m_active)
        if (e != &entity && e->kind() == TargetKind::Airplane)
            others.push_back(e);
    // The map centre weighs as half the others, so spawns stay near the action but inside the map.
    const Vec3 centre = mapCentre();
    const float centreWeight = static_cast<float>((others.size() + 1) / 2);
    Vec3 sum = centre * std::max(centreWeight, 1.0f);
    float n = std::max(centreWeight, 1.0f);
    for (const Target* e : others) {
        sum = sum + e->position();
        n += 1.0f;
    }
    const Vec3 c = sum * (1.0f / n);

    constexpr int kSectors = 6;
    constexpr float kSector = 6.2831853f / kSectors;
    std::array<int, kSectors> count{};
    std::array<float, kSectors> nearest, farthest{};
    nearest.fill(std::numeric_limits<float>::max());
    for (const Target* e : others) {
        const Vec3 d = e->position() - c;
        float a = std::atan2(d.x, d.z);
        if (a < 0.0f)
            a += 6.2831853f;
        const int s = std::clamp(static_cast<int>(a / kSector), 0, kSectors - 1);
        const float dist = std::sqrt(d.x * d.x + d.z * d.z);
        ++count[s];
        nearest[s] = std::min(nearest[s], dist);
        farthest[s] = std::max(farthest[s], dist);
    }
    // The middle of the longest run of empty sectors (the run may wrap).
    int bestStart = -1, bestLen = 0;
    for (int start = 0; start < kSectors; ++start) {
        int len = 0;
        while (len < kSectors && count[(start + len) % kSectors] == 0)
            ++len;
        if (len > bestLen) {
            bestLen = len;
            bestStart = start;
        }
    }
    int sector = 0;
    float distance = radius;
    if (bestStart >= 0) {
        sector = (bestStart + bestLen / 2) % kSectors;
        float minNear = std::numeric_limits<float>::max();
        for (int s = 0; s < kSectors; ++s)
            if (count[s] > 0)
                minNear = std::min(minNear, nearest[s]);
        if (minNear < std::numeric_limits<float>::max())
            distance = std::max(radius - minNear, 0.0f);
    } else {
        float least = std::numeric_limits<float>::max();
        for (int s = 0; s < kSectors; ++s)
            if (farthest[s] < least) {
                least = farthest[s];
                sector = s;
            }
        if (nearest[sector] < 2.0f * radius)
            distance = radius + farthest[sector];
    }
    const float a = (static_cast<float>(sector) + 0.5f) * kSector;
    Vec3 p{c.x + std::sin(a) * distance, 0.0f, c.z + std::cos(a) * distance};
    p.y = spawnHeightAt(p.x, p.z);
    for (int i = 0; i < kSpawnAttempts && isSpawnOccupied(p, kSpawnClearance, &entity); ++i)
        p.y += kSpawnClearance;
    if (orientation && facingBack)
        *orientation = facing(p, c);
    return p;
}

int GameModeCustom::paintRowFor(const PlaneCfg& plane)
{
    const int paints = plane.paints.count();
    return paints > 0 ? randModulo(paints) : 0;
}

std::u16string GameModeCustom::localPilotName()
{
    return settings().playerName.empty() ? std::u16string(u"Pilot") : settings().playerName;
}

Airplane* GameModeCustom::createPlayerAirplane(int team, float skill, Squadron* squadron, const Vec3& at)
{
    const PlaneList& planes = PlaneList::instance();
    const PlaneCfg* cfg = planes.findById(settings().localPlaneId);
    if (!cfg)
        return nullptr;
    // The player's own paint of that plane (the factory paint until painted).
    const PlanePaint paint = settings().paintAt(cfg->plane_id);
    Airplane* a = createAirplane(&paint, cfg->plane_id, team, skill, squadron, true);
    if (!a)
        return nullptr;
    // The profile's name, which the score tables show to every player.
    a->pilotName = localPilotName();
    applyPlayerLoadout(*a);
    // A room's weapon filter holds for every player of its match, the host's too.
    if (!isSinglePlayer() && (weaponRule & 0xFF) != 0)
        applyWeaponRule(*a);
    respawnAirplane(*a, 0.0f, &at);
    setPlayerAirplane(a);
    return a;
}

Airplane* GameModeCustom::createPlayerAtSpawn(int team, Squadron* squadron)
{
    Airplane* player = createPlayerAirplane(team, -1.0f, squadron, mapCentre());
    if (player)
        GameMode::respawnQuietly(*player, 0.0f, nullptr);
    return player;
}

void GameModeCustom::applyPlayerLoadout(Airplane& airplane) const
{
    const PlaneCfg* cfg = airplane.planeRecord;
    const WeaponList& weapons = WeaponList::instance();
    const std::array<const WeaponCfg*, 3> own = {
        cfg ? weapons.findByName(cfg->pGunWeapon) : nullptr,
        cfg ? weapons.findByName(cfg->sp_weapon0) : nullptr,
        cfg ? weapons.findByName(cfg->sp_weapon1) : nullptr,
    };
    for (int slot = 0; slot < 3; ++slot) {
        const int chosen = settings().weaponLoadout[static_cast<std::size_t>(slot)];
        // A chosen id nobody has leaves the plane's own weapon in the slot.
        const WeaponCfg* w = chosen >= 0 ? weapons.findById(chosen) : nullptr;
        if (!w)
            w = own[static_cast<std::size_t>(slot)];
        if (!w)
            continue;
        airplane.removeWeaponsWithTag(slot);
        (void)airplane.mountWeapon(*w, slot);
    }
}

Airplane* GameModeCustom::spawnBot(int team, float skill, Squadron* squadron, bool keepInGame, int planeId)
{
    Airplane* bot = buildBot(team, skill, squadron, keepInGame, planeId);
    if (!bot || !posting())
        return bot;
    post(matchevent::AirplaneRespawned{EntityHandle(bot), std::max(bot->respawnTimer, 0.0f), bot->position(),
                                       bot->orientation()});
    if (!keepInGame)
        post(matchevent::AirplaneTakenOut{EntityHandle(bot)});
    // Told last: the record carries the bot's name and weapons.
    postAdded(*bot);
    return bot;
}

Airplane* GameModeCustom::buildBot(int team, float skill, Squadron* squadron, bool keepInGame, int planeId)
{
    const PlaneList& planes = PlaneList::instance();
    if (planes.count() == 0)
        return nullptr;
    const PlaneCfg* cfg = planeId >= 0 ? planes.findById(planeId) : planes.at(randModulo(planes.count()));
    if (!cfg)
        cfg = planes.at(0);
    // A plane without paints flies in row 0, its factory colours.
    const int row = paintRowFor(*cfg);
    const PaintRowCfg* paintRow = cfg->paints.count() > 0 ? cfg->paints.at(row) : nullptr;
    const PlanePaint paint = paintRow ? paintRow->toPaint() : PlanePaint{};
    const float aiSkill = skill > 0.0f ? skill : 0.5f;
    Airplane* bot = buildAirplane(paintRow ? &paint : nullptr, cfg->plane_id, team, aiSkill, squadron, true);
    if (!bot)
        return nullptr;
    bot->setPaintRow(row);
    bot->pilotName = BotNames::pick();
    // The plane's own gun and first special weapon.
    if (const WeaponCfg* gun = WeaponList::instance().findByName(cfg->pGunWeapon))
        (void)bot->mountWeapon(*gun, 0);
    if (const WeaponCfg* special = WeaponList::instance().findByName(cfg->sp_weapon0))
        (void)bot->mountWeapon(*special, 1);
    if (skill > 0.0f) {
        const int level = randModulo(3) - 1 - static_cast<int>((skill - 0.2f) * -10.0f / 0.8f);
        bot->aiLevel = std::clamp(level, 0, 10);
    }
    if (team != 0 && squadron)
        setSquadronLeader(bot, squadron);
    respawnQuietly(*bot, 0.0f, nullptr);
    if (!keepInGame)
        withdrawFromPlay(*bot);
    return bot;
}

void GameModeCustom::ensureLocalPlayer()
{
    if (!isSinglePlayer() || m_playerAirplane)
        return;
    const PlaneList& planes = PlaneList::instance();
    const int id = settings().localPlaneId;
    const int planeId = planes.findById(id) ? id : (planes.count() > 0 ? planes.at(0)->plane_id : -1);
    if (planeId < 0)
        return;
    Airplane* player = spawnBot(0, 0.0f, nullptr, true, planeId);
    if (!player)
        return;
    detachAI(*player);
    player->pilotName = u"Pilot";
    setPlayerAirplane(player);
}
