#include "modes/GameMode.h"

#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "entities/ground/GroundTargets.h"
#include "entities/ground/Road.h"
#include "entities/ground/Runway.h"
#include "entities/ground/Tunnel.h"
#include "effects/particles/ParticleEffects.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapTrigger.h"
#include "gamedata/records/WeaponList.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/PlayerControls.h"
#include "modes/progress/UnlocksMgr.h"
#include "render/assets/Model.h"
#include "platform/Log.h"
#include "platform/Settings.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
constexpr float kDegToRad = 3.14159265f / 180.0f;
}  // namespace

void GameMode::resetRound()
{
    playerHitCooldown = 0.0f;
    m_weatherElapsed = m_weatherDuration = 0.0f;
    m_weatherTarget = -1;
    controlsFrozen = false;
    setGameClock(0.0f);
    teamCounters() = TeamCounters{};
    respawnStalled = false;
    teamChangeAllowed = false;
    playerLossAllowed = false;
    m_selection.clear();
    // The result page lists only what this round unlocked.
    UnlocksMgr::instance().clearRecent();
}

void GameMode::createRunways()
{
    if (!m_world)
        return;
    for (int i = 0; i < m_world->itemCount(); ++i) {
        const EditorItem& item = *m_world->item(i);
        if (!item.enabled || item.kind != EditorItem::kRunway)
            continue;
        // The runway's box in its own frame: the model's bounds, or the placed box when it has no model.
        Vec3 half = (item.boxMax - item.boxMin) * 0.5f;
        Vec3 centre = (item.boxMax + item.boxMin) * 0.5f;
        if (item.modelData) {
            half = (item.modelData->boundsMax() - item.modelData->boundsMin()) * 0.5f;
            centre = mat4TransformPoint(item.matrix, (item.modelData->boundsMax() + item.modelData->boundsMin()) * 0.5f);
        }
        auto runway = Target::create<Runway>(*this, centre, item.angles.y * kDegToRad, half, i);
        if (!runway || !runway->hasId())
            continue;  // out of ids: the map still plays without this runway
        runway->mapItem = i;
        Target* added = addPlayerAirplane(std::move(runway), true);
        if (added)
            m_hooks.hudOrNone().addMarker(*added, static_cast<int>(TargetKind::Runway), added->team(), true);
    }
}

void GameMode::createRoads()
{
    m_roads.clear();
    if (!m_world)
        return;
    for (int i = 0; i < m_world->itemCount(); ++i) {
        const EditorItem& item = *m_world->item(i);
        if (item.enabled && (item.isRoad() || item.kind == EditorItem::kRoad))
            m_roads.push_back(std::make_unique<Road>(i, std::vector<Vec3>{item.boxMin, item.boxMax}));
    }
}

void GameMode::createTunnels()
{
    if (!m_world)
        return;
    for (int i = 0; i < m_world->itemCount(); ++i) {
        const EditorItem& item = *m_world->item(i);
        if (item.kind != EditorItem::kTunnel)
            continue;
        const Vec3 bore = item.modelData ? (item.modelData->boundsMax() - item.modelData->boundsMin()) * 0.5f
                                         : (item.boxMax - item.boxMin) * 0.5f;
        const float radius = item.modelData ? item.modelData->radius() : vec3Length(bore);
        auto tunnel = Target::create<Tunnel>(*this, item.matrix, bore, radius, i, item.modelData);
        if (!tunnel || !tunnel->hasId())
            continue;
        tunnel->mapItem = i;
        tunnel->setTeam(kTeamNone);
        addPlayerAirplane(std::move(tunnel), true);
    }
}

void GameMode::createEffectDummies()
{
    if (!m_world)
        return;
    for (int i = 0; i < m_world->triggerCount(); ++i) {
        MapTrigger& t = *m_world->trigger(i);
        if (t.enabled && t.isEffectPoint())
            t.spawnEffect(*m_world);
    }
}

void GameMode::spawnMapEffect(const std::string& effect, const Vec3& position)
{
    if (spawnParticleEffect(effect, position))
        logInfo("modes", "map effect \"%s\" at %.0f %.0f %.0f", effect.c_str(), position.x, position.y, position.z);
    else
        logWarning("modes", "map effect \"%s\" has no description", effect.c_str());
}

bool GameMode::MatchMapHost::playerPosition(Vec3& position, float& radius) const
{
    const Airplane* player = m_mode.m_playerAirplane;
    if (!player || !player->isActive() || !player->isAlive())
        return false;
    position = player->position();
    radius = player->radius();
    return true;
}

void GameMode::runMapScript(float dt)
{
    // The campaign runs its missions' triggers with its own world tick.
    if (m_world && isMatchType() && m_type != GameType::MenuBackground)
        m_world->tickTriggers(dt);
}

void GameMode::createMapEntities()
{
    createTunnels();
    createRunways();
    createRoads();
    createEffectDummies();
    if (!m_world)
        return;
    // Every peer makes them from its own copy of the map.
    int units = 0;
    for (auto& unit : createGroundTargets(*this, *m_world, WeaponList::instance()))
        units += addPlayerAirplane(std::move(unit), false) != nullptr;
    logInfo("modes", "map entities: %zu runways, %zu tunnels, %zu roads, %d ground units", m_runways.size(),
            m_tunnels.size(), m_roads.size(), units);
}

void GameMode::refillPlayerWeapons()
{
    if (!m_playerAirplane)
        return;
    for (int slot = 0; slot < kWeaponSlots; ++slot)
        if (Weapon* w = m_playerAirplane->weapon(slot); w && w->isGun())
            w->refill(true);
}

bool GameMode::pause()
{
    IModeOverlays& overlays = m_services.overlaysOrNone();
    if (playStopped || scorePeek() || overlays.pauseBlocked() || overlays.overlayOpenOrQueued())
        return false;
    if (isSinglePlayer())
        overlays.setPaused(true);
    overlays.openPauseScreen(getPauseMenu());
    return true;
}

bool GameMode::showComic(std::string_view name)
{
    char path[160];
    const int n = std::snprintf(path, sizeof path, "data/comics/%.*s.cfg", static_cast<int>(name.size()), name.data());
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof path)
        return false;  // a name that long names no comic
    return m_services.overlaysOrNone().openComic(path);
}

void GameMode::playEndMusic()
{
    Sound::stopAll();
    startEndMusic(settings());
    enableAllActions();
}

void GameMode::checkTriggers()
{
    if (!m_world || !m_playerAirplane || !m_playerAirplane->isAlive())
        return;
    if (m_type == GameType::Campaign || m_type == GameType::CampaignLike || m_type == GameType::Tutorial)
        return;
    m_world->checkLandmarks(m_playerAirplane->position(), m_playerAirplane->radius(), [this](MapTrigger& t) {
        if (!t.notice.empty())
            m_services.messagesOrNone().pushNotice(mapText(t.notice), -1.0f, 1, 0);
        const int event = MapTrigger::kLandmarkEventBase + std::max(t.landmark, 0);
        if (event <= MapTrigger::kLandmarkEventLast)
            m_hooks.progressOrNone().countEvent(event);
    });
}
