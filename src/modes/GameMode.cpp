#include "modes/GameMode.h"

#include "effects/screen/ScreenDamage.h"
#include "gamedata/AirplaneModel.h"

#include "effects/EffectList.h"
#include "entities/EntityRemoval.h"
#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Squadron.h"
#include "entities/ground/Road.h"
#include "entities/ground/Runway.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapLoader.h"
#include "modes/AchievementEvents.h"
#include "modes/BotNames.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/IGameListener.h"
#include "modes/MatchConnections.h"
#include "modes/PlayerControls.h"
#include "modes/progress/MissionStats.h"
#include "platform/Settings.h"
#include "render/world/Terrain.h"
#include "sound/Sound.h"

#include <algorithm>

namespace {
template <typename T>
void eraseKeepingOrder(std::vector<T*>& list, const T* item)
{
    std::erase(list, item);
}
}  // namespace

GameMode::GameMode(GameType type) : m_type(type)
{
    m_active.reserve(64);
    m_entities.reserve(64);
    m_respawnQueue.reserve(64);
    m_weapons.reserve(128);
    BotNames::clear();
    m_missiles.onEnd = [this](const MissileSet::Ending& ending) { onMissileEnded(ending); };
}

GameMode::~GameMode()
{
    // Kinds have cleared their own level in their destructors by now; this
    // catches what the base holds.
    GameMode::clearLevel();
}

void GameMode::connect(const MatchConnections& connections)
{
    m_hooks = connections.hooks;
    m_services = connections.services;
    m_listener = connections.network;
}

void GameMode::setNetwork(bool networkGame, bool hosting, bool online)
{
    m_networkGame = networkGame;
    m_hosting = networkGame && hosting;
    m_online = networkGame && online;
}

bool GameMode::startLevel()
{
    // The menu's background flight is no level the player plays.
    if (m_type != GameType::MenuBackground)
        countLevelStartEvents(opensFirstMission());
    Sound::stopAll();
    inputEnabled = true;
    autopilot = false;
    playStopped = false;
    auto world = std::make_unique<GameWorld>();
    world->init();
    if (!m_mapRecord || !MapLoader::loadEdt(*world, m_mapRecord)) {
        m_world.reset();
        return false;
    }
    // Kinds with a host of their own (the campaign) set theirs after this.
    MapHooks hooks = world->hooks();
    hooks.host = &m_mapHost;
    world->setHooks(hooks);
    m_world = std::move(world);
    return true;
}

void GameMode::setWorld(std::unique_ptr<GameWorld> world) { m_world = std::move(world); }

void GameMode::clearLevel()
{
    // Missiles point at entities, entities remove their weapons through this
    // mode: end the missiles first.
    removeAllMissiles();
    while (!m_waypoints.empty())
        hideWaypointMarker(*m_waypoints.back());
    clearEntities();
    m_squadrons.clear();
    m_roads.clear();
    m_selection.clear();
    if (m_world) {
        m_world->release();
        m_world.reset();
    }
    // The level's explosions and smoke go with it.
    clearEffects();
    // A tutorial may have left only its lesson's actions enabled.
    enableAllActions();
}

void GameMode::removeAllMissiles()
{
    // Each is unregistered first: the HUD, the camera and the player's own
    // missile pointer must not keep it.
    for (int i = 0; i < m_missiles.count(); ++i)
        onMissileEnded(MissileSet::Ending{m_missiles.at(i), MissileSet::End::Expired, m_missiles.at(i)->position()});
    m_missiles.clear();
}

void GameMode::clearEntities()
{
    m_parachutes.clear();
    m_playerAirplane = nullptr;
    m_playerMissile = m_cameraSubject = nullptr;
    m_playerLockTarget = m_nearestAirplane = m_aimAssistTarget = nullptr;
    while (!m_entities.empty()) {
        Target& last = *m_entities.back();
        std::unique_ptr<Target> owned = removePlayerAirplane(last);
        if (!owned)  // a kind's override kept it: let go of it here
            owned = std::move(m_entities.back()), m_entities.pop_back();
        if (owned->kind() == TargetKind::Airplane)
            BotNames::release(owned->pilotName);
        owned.reset();
    }
    deletePending();
    m_active.clear();
    m_respawnQueue.clear();
    m_runways.clear();
    m_tunnels.clear();
}

void GameMode::deletePending()
{
    // Each deletion may reach the mode again (weapons leave its list).
    while (!m_doomed.empty()) {
        std::unique_ptr<Target> t = std::move(m_doomed.back());
        m_doomed.pop_back();
        forgetTarget(*t);
        if (t->kind() == TargetKind::Airplane)
            BotNames::release(t->pilotName);
        t.reset();
    }
}

Target* GameMode::addPlayerAirplane(std::unique_ptr<Target> entity, bool relay)
{
    if (!entity || !entity->hasId())
        return nullptr;
    Target& e = *entity;
    teamCounters().add(e.team(), 1);
    countAirplaneOfTeam(e, e.team(), 1);
    m_hooks.hudOrNone().addMarker(e, static_cast<int>(e.kind()), e.team(), e.isTargetable());
    m_entities.push_back(std::move(entity));
    bringIntoPlay(e);
    if (e.kind() == TargetKind::Runway)
        m_runways.push_back(&e);
    else if (e.kind() == TargetKind::Tunnel)
        m_tunnels.push_back(&e);
    if (relay)
        postAdded(e);
    return &e;
}

void GameMode::countAirplaneOfTeam(const Target& entity, int team, int delta)
{
    if (entity.kind() != TargetKind::Airplane)
        return;
    MissionStats& stats = missionStats();
    // A match's reset zeroes the counts under airplanes already in it: a
    // later move never takes them below 0.
    std::int32_t* count = team == 1 ? &stats.enemyAirplanes : (team == 0 ? &stats.friendlyAirplanes : nullptr);
    if (count)
        *count = std::max(*count + delta, 0);
}

void GameMode::bringIntoPlay(Target& entity)
{
    entity.setActive(true);
    if (&entity == m_playerAirplane && entity.squadron && entity.storedSquadronOrder >= 0) {
        entity.squadron->setLeader(static_cast<Airplane*>(&entity));
        entity.squadron->setOrder(static_cast<SquadronOrder>(std::min(entity.storedSquadronOrder, 2)));
    }
    if (std::find(m_active.begin(), m_active.end(), &entity) == m_active.end())
        m_active.push_back(&entity);
}

void GameMode::forgetEverywhere(Target& entity)
{
    // Nobody may keep pointing at an entity that leaves the world: not other
    // entities, weapons or missiles, not the player's lock, not the score groups.
    forgetTarget(entity);
    if (m_playerLockTarget == &entity) {
        m_playerLockTarget = nullptr;
        m_hooks.hudOrNone().clearLockDisplay();
    }
    if (m_nearestAirplane == &entity)
        m_nearestAirplane = nullptr;
    if (m_aimAssistTarget == &entity)
        m_aimAssistTarget = nullptr;
    m_hooks.scoresOrNone().forget(entity);
}

void GameMode::showWaypointMarker(const IGameEntity& waypoint)
{
    if (std::find(m_waypoints.begin(), m_waypoints.end(), &waypoint) == m_waypoints.end())
        m_waypoints.push_back(&waypoint);
    // Waypoints belong to no side: the marker always shows, team none.
    m_hooks.hudOrNone().addMarker(waypoint, kWaypointMarkerKind, kNoTeam, true);
}

void GameMode::hideWaypointMarker(const IGameEntity& waypoint)
{
    const auto it = std::find(m_waypoints.begin(), m_waypoints.end(), &waypoint);
    if (it == m_waypoints.end())
        return;
    m_waypoints.erase(it);
    m_hooks.hudOrNone().removeMarker(waypoint);
}

std::unique_ptr<Target> GameMode::removePlayerAirplane(Target& entity)
{
    auto it = std::find_if(m_entities.begin(), m_entities.end(), [&](const auto& e) { return e.get() == &entity; });
    if (it == m_entities.end())
        return nullptr;
    m_hooks.hudOrNone().removeMarker(entity);
    for (int slot = 0; slot < kWeaponSlots; ++slot)
        if (Weapon* w = entity.weapon(slot))
            std::erase(m_weapons, w);
    // Nothing it launched hits on in its name once it is gone.
    m_missiles.removeLaunchedBy(&entity);
    if (&entity == m_playerAirplane)
        m_hooks.hudOrNone().removeMessage(IModeHud::kIncomingMissileMessage);
    withdrawFromPlay(entity);
    eraseKeepingOrder(m_respawnQueue, &entity);
    entity.respawnTimer = 0.0f;
    teamCounters().add(entity.team(), -1);
    std::unique_ptr<Target> owned = std::move(*it);
    m_entities.erase(it);
    eraseKeepingOrder(m_active, &entity);
    eraseKeepingOrder(m_runways, &entity);
    eraseKeepingOrder(m_tunnels, &entity);
    eraseKeepingOrder(m_selection, &entity);
    forgetEverywhere(entity);
    m_hooks.cameraOrNone().forget(entity);
    // Peers drop it too, without a line: nobody left.
    if (owned->kind() == TargetKind::Airplane && owned->hasId())
        post(matchevent::AirplaneRemoved{EntityHandle(owned.get())});
    return owned;
}

void GameMode::removeEntity(Target& entity)
{
    if (std::unique_ptr<Target> owned = removePlayerAirplane(entity)) {
        owned->markForRemoval();
        m_doomed.push_back(std::move(owned));
    }
}

void GameMode::deleteAirplane(Target& entity)
{
    if (&entity == m_playerAirplane)
        m_playerAirplane = nullptr;
    removeEntity(entity);
}

void GameMode::setPlayerAirplane(Airplane* airplane)
{
    // The pilot's rank is the profile's: kill points, the tables' glyphs and
    // what joiners are sent all read it from here on.
    playerRank = std::clamp<int>(settings().playerRank, 0, Settings::kMaxRank);
    if (airplane) {
        airplane->networkRole = NetworkRole::Local;
        airplane->setRank(playerRank);
        if (airplane->hasId() && airplane->id() < 256) {
            const std::array<std::uint32_t, 4>& words = settings().playerAccount;
            std::array<std::int32_t, 4>& values = m_playerInfo[static_cast<std::size_t>(airplane->id())].values;
            for (std::size_t i = 0; i < values.size(); ++i)
                values[i] = static_cast<std::int32_t>(words[i]);
        }
    }
    // Another airplane: its canopy glass starts clean.
    if (airplane != m_playerAirplane)
        ScreenDamage::clean(AirplaneModel::canopyTexture());
    m_playerAirplane = airplane;
    m_hooks.hudOrNone().refreshInsignia();
}

const PlanePaint& GameMode::paintOf(const Target& entity) const
{
    static const PlanePaint none{};
    return entity.hasId() && entity.id() < 256 ? m_playerInfo[static_cast<std::size_t>(entity.id())].paint : none;
}

int GameMode::playerColorCode(int team) const
{
    if (team == kTeamNone)
        return 2;
    return m_playerAirplane && m_playerAirplane->team() == team ? 0 : 1;
}

float GameMode::groundHeightAt(float x, float z) const
{
    if (!m_world)
        return 0.0f;
    return std::max(m_world->groundHeightAt(x, z), 0.0f);
}

Vec3 GameMode::clampPointToTerrain(float x, float z) const
{
    const Terrain* terrain = m_world ? m_world->terrain() : nullptr;
    Vec3 normal;
    if (terrain && terrain->heightAndNormalAt(x, z, normal) > 0.0f)
        return normal;
    return {0.0f, 1.0f, 0.0f};
}

float GameMode::waterLevelAt(float x, float z) const
{
    return m_world ? m_world->waterLevelAt(x, z) : 0.0f;
}

Runway* GameMode::findRunwayAt(const Vec3& point, float margin)
{
    for (Target* t : m_runways)
        if (t->isActive() && static_cast<Runway*>(t)->contains(point, margin))
            return static_cast<Runway*>(t);
    return nullptr;
}

Target* GameMode::findGroundTargetAt(const Vec3& point, float margin)
{
    for (Target* t : m_tunnels) {
        const float reach = t->radius() + margin;
        if (vec3DistanceSq(point, t->position()) <= reach * reach && entityCollisionTest(*t, point, margin) &&
            t->ownHitCheck(point, margin))
            return t;
    }
    return nullptr;
}

void GameMode::addWeapon(Weapon& weapon) { m_weapons.push_back(&weapon); }

void GameMode::removeWeapon(Weapon& weapon)
{
    std::erase(m_weapons, &weapon);
    if (m_playerAirplane && &weapon.owner() == m_playerAirplane)
        weapon.reset();
}

void GameMode::countEvent(const Airplane& airplane, int eventId)
{
    if (&airplane == m_playerAirplane)
        m_hooks.progressOrNone().countEvent(eventId);
}

void GameMode::onFlightState(Airplane& airplane, int state, float time)
{
    if (posting())
        post(matchevent::FlightState{EntityHandle(&airplane), state, time});
}

void GameMode::launchFlaresFor(Airplane& airplane) { relayFlares(airplane); }

void GameMode::relayFlares(Airplane& airplane)
{
    if (airplane.launchFlares())
        post(matchevent::FlaresLaunched{EntityHandle(&airplane), airplane.networkRole});
}

// The damage rule has raised the HUD's hit indicator already.
void GameMode::onPlayerDamaged(Airplane&, float, int) {}

void GameMode::onGunShots(const Target& shooter, int fired, int hits)
{
    if (&shooter != m_playerAirplane)
        return;
    // The match's accuracy bonus reads these counts.
    missionStats().shotsFired += fired;
    missionStats().shotsHit += hits;
    IModeProgress& progress = m_hooks.progressOrNone();
    for (int i = 0; i < hits; ++i)
        progress.countEvent(modeevent::kGunHit);
    progress.onPlayerShots(fired, hits);
}

void GameMode::onWeaponHit(Target& victim, Target* attacker, int weaponId)
{
    if (posting())
        post(matchevent::WeaponHit{EntityHandle(&victim), EntityHandle(attacker), weaponId});
}
