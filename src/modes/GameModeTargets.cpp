#include "modes/GameMode.h"
#include "platform/Log.h"

#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/PlaneList.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "modes/IGameListener.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kFarBound = 1e37f;
constexpr float kLeadAheadTime = 30.0f;
constexpr float kWingmanScatter = 10.0f;
constexpr float kOtherScatter = 2000.0f;

bool contains(std::span<Target* const> list, const Target* t)
{
    return std::find(list.begin(), list.end(), t) != list.end();
}

bool contains(std::span<const int> list, int value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

Vec3 leadPoint(const Vec3& shooter, const Target& target, float speed, int iterations)
{
    Vec3 p = target.position();
    if (!(speed > 0.0f))
        return p;
    const Vec3 v = target.velocity();
    const float targetSpeed = vec3Length(v);
    const Vec3 direction = vec3NormalizeOr(v, {});
    for (int i = 0; i < iterations; ++i) {
        const float d = vec3Length(p - shooter);
        p = target.position() + direction * (d / speed * targetSpeed);
    }
    return p;
}
}  // namespace

void GameMode::getSpawnPoint(const Target& e, Vec3& position, Quat& orientation) const
{
    if (e.kind() != TargetKind::Airplane) {
        const EditorItem* item = m_world ? m_world->item(e.mapItem) : nullptr;
        if (!item)
            return;
        position = item->pos;
        quatFromEulerTo(orientation, item->angles.y * kDegreesToRadians, item->angles.x * kDegreesToRadians,
                        item->angles.z * kDegreesToRadians);
        return;
    }
    if (!m_playerAirplane) {
        const float a = randAngle();
        position = {kSpawnCircle * std::cos(a), 0.0f, kSpawnCircle * std::sin(a)};
    } else {
        const float r = rand01();
        const float scatter = e.team() == m_playerAirplane->team() ? kWingmanScatter : kOtherScatter;
        const Vec3 ahead = m_playerAirplane->position() + m_playerAirplane->velocity() * kLeadAheadTime;
        position = ahead + Vec3{r * scatter, r * scatter, r * scatter};
    }
    position.y = groundHeightAt(position.x, position.z) + kSpawnHeight;
}

Airplane* GameMode::createAirplane(const PlanePaint* paint, int planeId, int team, float aiSkill, Squadron* squadron,
                                   bool local)
{
    Airplane* airplane = buildAirplane(paint, planeId, team, aiSkill, squadron, local);
    if (airplane)
        postAdded(*airplane);
    return airplane;
}

Airplane* GameMode::buildAirplane(const PlanePaint* paint, int planeId, int team, float aiSkill, Squadron* squadron,
                                  bool local)
{
    const PlaneCfg* record = PlaneList::instance().findById(planeId);
    if (!record)
        return nullptr;
    auto made = Target::create<Airplane>(*this, *record, team, std::u16string{});
    if (!made)
        return nullptr;
    Airplane* airplane = made.get();
    const int id = record->plane_id;
    const bool known = id >= 0 && id < Settings::kPlaneIdCount;
    m_playerInfo[static_cast<std::size_t>(airplane->id())] =
        PlayerInfo{paint ? *paint : known ? settings().defaultPaintTable[static_cast<std::size_t>(id)] : PlanePaint{},
                   {}};
    if (paint)
        airplane->setOwnPaint(*paint);
    if (local)
        airplane->networkRole = NetworkRole::Local;
    if (!addPlayerAirplane(std::move(made), false))
        return nullptr;
    if (aiSkill > 0.0f) {
        airplane->aiPilot = true;
        airplane->setAIController(TargetAI::create(*airplane, aiSkill));
    }
    if (squadron)
        squadron->add(*airplane);
    return airplane;
}

Target* GameMode::findTarget(const Target* searcher, const SearchOptions& options)
{
    if (!searcher)
        return nullptr;
    Target* best = nullptr;
    float bestDistance = kFarBound;
    const float rangeSq = options.range * options.range;
    for (Target* e : m_active) {
        if (contains(options.exclude, e) || !e->isAlive() || !e->inPlay)
            continue;
        if (options.skipHidden && e->isHiddenFromHud())
            continue;
        if (!options.mapItems.empty() && e->mapItem >= 0 && !contains(options.mapItems, e->mapItem))
            continue;
        if (!e->matchesClass(options.targetClass) || !e->isTargetable())
            continue;
        if (e->team() == searcher->team() || e->team() == kTeamNone)
            continue;
        const float d = distanceTable().at(searcher->id(), e->id());
        if (options.range > 0.0f && d > rangeSq)
            continue;
        if (options.collect) {
            options.collect->push_back(e);
            continue;
        }
        if (d < bestDistance) {
            bestDistance = d;
            best = e;
        }
    }
    return options.collect ? nullptr : best;
}

Target* GameMode::findTargetDefault(const Target* searcher, float range, TargetClass targetClass)
{
    SearchOptions options;
    options.range = range;
    options.targetClass = targetClass;
    return findTarget(searcher, options);
}

Target* GameMode::findNextTarget(const Target* searcher, std::span<Target* const> exclude, int kind, TeamRule rule,
                                 float range)
{
    const int n = static_cast<int>(m_active.size());
    if (n == 0)
        return nullptr;
    const int start = ((m_findCursor % n) + n) % n;
    const float rangeSq = range * range;
    for (int step = 1; step <= n; ++step) {
        const int i = (start + step) % n;
        Target* e = m_active[static_cast<std::size_t>(i)];
        if (e == searcher || contains(exclude, e))
            continue;
        if (kind != -1 && static_cast<int>(e->kind()) != kind)
            continue;
        if (searcher && range > 0.0f && distanceTable().at(searcher->id(), e->id()) > rangeSq)
            continue;
        const int own = searcher ? searcher->team() : kTeamNone;
        if (rule == TeamRule::Enemy && (e->team() == kTeamNone || e->team() == own))
            continue;
        if (rule == TeamRule::Own && e->team() != own)
            continue;
        m_findCursor = i;
        return e;
    }
    return nullptr;
}

void GameMode::lockPlayerTarget()
{
    m_playerLockTarget =
        m_playerAirplane ? findTargetDefault(m_playerAirplane, kPlayerLockRange, TargetClass::Air) : nullptr;
    if (!m_playerLockTarget) {
        m_hooks.hudOrNone().clearLockDisplay();
        logInfo("modes", "the player's lock finds no target");
        return;
    }
    logInfo("modes", "the player locks on a target %.0f away",
            vec3Length(m_playerLockTarget->position() - m_playerAirplane->position()));
}

const std::vector<Target*>& GameMode::buildSelection(bool airplanes, std::span<const int> excludeKinds,
                                                     bool liveOnly)
{
    m_selection.clear();
    for (const auto& e : m_entities) {
        if ((e->kind() == TargetKind::Airplane) != airplanes)
            continue;
        if (contains(excludeKinds, static_cast<int>(e->kind())))
            continue;
        if (liveOnly && !e->isActive() && e->respawnTimer == -1.0f)
            continue;
        m_selection.push_back(e.get());
    }
    return m_selection;
}

Target* GameMode::findPlayerAirplane(int entityId) const
{
    for (const auto& e : m_entities)
        if (e->id() == entityId)
            return e.get();
    return nullptr;
}

Vec3 GameMode::leadPointPrecise(const Vec3& shooter, const Target& target, float projectileSpeed)
{
    return leadPoint(shooter, target, projectileSpeed, 5);
}

Vec3 GameMode::leadPointFast(const Vec3& shooter, const Target& target, float projectileSpeed)
{
    return leadPoint(shooter, target, projectileSpeed, 2);
}

void GameMode::applyAirplaneInput(Airplane& airplane, int input, float value)
{
    if (!inputEnabled)
        return;
    if (&airplane == m_playerAirplane && (!airplane.controllable || !airplane.controlsEnabled))
        return;
    airplane.controlInput(input, value);
}

void GameMode::setAirplaneVector(Airplane& airplane, const Vec3& stick) { airplane.setControlVector(stick); }

void GameMode::setAirplaneVectorXYZ(Airplane& airplane, float noseUp, float turn, float roll)
{
    airplane.setControlVector({noseUp, turn, roll});
}

bool GameMode::playerStickFlies(Airplane& airplane, bool) { return !airplane.aiController(); }

void GameMode::changeTeam(Target& e, int team)
{
    teamCounters().add(e.team(), -1);
    teamCounters().add(team, 1);
    countAirplaneOfTeam(e, e.team(), -1);
    countAirplaneOfTeam(e, team, 1);
    e.setTeam(team);
    if (auto* ship = dynamic_cast<GroundTarget*>(&e); ship && !ship->carried().empty()) {
        // A carrier changes sides with the airplanes on its deck.
        const auto carried = ship->carried();
        const std::vector<Airplane*> aboard(carried.begin(), carried.end());
        for (Airplane* a : aboard)
            if (a->isAlive()) {
                changeTeam(*a, team);
                setTargetable(*a, true);
            }
        e.setTargetable(true);
    }
    if (e.kind() == TargetKind::Airplane)
        static_cast<Airplane&>(e).setControlVector({});
    m_hooks.hudOrNone().removeMarker(e);
    m_hooks.hudOrNone().addMarker(e, static_cast<int>(e.kind()), team, e.isTargetable());
}

void GameMode::takeDownForTeamSwitch(Target& e)
{
    // A switch is no crash: no death, collision or achievement counts.
    if (auto* a = dynamic_cast<Airplane*>(&e))
        a->leaveForOtherTeam();
    else
        e.onDestroyed(CrashCause::Collision);
}

void GameMode::removeAirplaneForGood(Target& e, int team)
{
    // A last-man-standing client in play keeps its one life for the round.
    if (isNetworkClient() && m_type == GameType::LastManStanding && &e == m_playerAirplane && e.isActive())
        return;
    Quat orientation;
    if (e.kind() == TargetKind::Airplane)
        orientation = static_cast<const Airplane&>(e).orientation();
    // A joiner only asks: its airplane flies on as it is until the host's
    // switch takes it out, so a refusal leaves it untouched.
    if (isNetworkClient()) {
        post(matchevent::TeamRequest{EntityHandle(&e), team, e.respawnTimer, e.position(), orientation});
        return;
    }
    // Peers learn of all this from the one switch posted below.
    if (e.isActive() && e.isAlive())
        takeDownForTeamSwitch(e);
    withdrawFromPlay(e);
    std::erase(m_respawnQueue, &e);
    e.respawnTimer = -1.0f;
    e.timeSinceRespawnExpiry = 0.0f;
    changeTeam(e, team);
    if (m_type != GameType::LastManStanding)
        respawnQuietly(e, 5.0f, nullptr);
    e.onTeamChanged(true);
    postEventText(EventKind::TeamChange, e, nullptr);
    if (&e == m_playerAirplane)
        m_hooks.hudOrNone().refreshInsignia();
    m_hooks.cameraOrNone().forget(e);
    post(matchevent::TeamRequest{EntityHandle(&e), team, e.respawnTimer, e.position(), orientation});
}

void GameMode::setTargetable(Target& e, bool on)
{
    // A carrier with airplanes on its landing deck is never a target itself.
    if (auto* ship = dynamic_cast<GroundTarget*>(&e);
        ship && ship->isCarrier() && ship->deck() && !ship->carried().empty())
        on = false;
    e.setTargetable(on);
    m_hooks.hudOrNone().removeMarker(e);
    m_hooks.hudOrNone().addMarker(e, static_cast<int>(e.kind()), e.team(), on);
}

void GameMode::repairAirplane(Target& e, float amount)
{
    if (!std::isfinite(amount))
        return;
    e.setHealth(std::min(e.health() + amount, e.maxHealth()));
    if (e.kind() == TargetKind::Airplane)
        static_cast<Airplane&>(e).updateDamageLevels();
}

void GameMode::setAirplaneFlares(Airplane& airplane, int count)
{
    airplane.setFlares(count < 0 ? airplane.record().pFlares : count);
}

Squadron* GameMode::addSquadron(std::unique_ptr<Squadron> squadron)
{
    if (!squadron)
        return nullptr;
    m_squadrons.push_back(std::move(squadron));
    return m_squadrons.back().get();
}

void GameMode::removeSquadron(Squadron& squadron)
{
    auto it = std::find_if(m_squadrons.begin(), m_squadrons.end(), [&](const auto& s) { return s.get() == &squadron; });
    if (it == m_squadrons.end())
        return;
    // Its destructor clears every member's link to it.
    std::unique_ptr<Squadron> owned = std::move(*it);
    m_squadrons.erase(it);
}

void GameMode::setEntitySquadron(Target* entity, Squadron* squadron)
{
    if (!entity)
        return;
    if (entity->kind() == TargetKind::Airplane && squadron)
        squadron->add(static_cast<Airplane&>(*entity));
    else
        entity->squadron = squadron;
}

void GameMode::setSquadronLeader(Target* entity, Squadron* squadron)
{
    if (!entity || !squadron || entity->kind() != TargetKind::Airplane)
        return;
    squadron->add(static_cast<Airplane&>(*entity), true);
}

void GameMode::setSquadronOrder(Target& entity, int command)
{
    if (entity.kind() == TargetKind::Airplane && entity.networkRole != NetworkRole::Local)
        return;
    if (entity.squadron)
        entity.squadron->applyCommand(command);
}

int GameMode::playerGroupIndex() const
{
    if (!isSinglePlayer() || !m_playerAirplane || !m_playerAirplane->squadron ||
        m_playerAirplane->squadron->leader() != m_playerAirplane)
        return -1;
    return static_cast<int>(m_playerAirplane->squadron->order());
}

void GameMode::attachAI(Airplane& airplane, float skill, bool replace, AIKind kind)
{
    if (&airplane == m_playerAirplane)
        autopilot = true;
    if (airplane.aiController() && !replace)
        return;
    airplane.setAIController(TargetAI::create(airplane, skill, kind));
}

void GameMode::detachAI(Airplane& airplane)
{
    if (&airplane == m_playerAirplane)
        autopilot = false;
    airplane.setAIController(nullptr);
}

void GameMode::reapplyPlayerAutopilot()
{
    if (!m_playerAirplane)
        return;
    // A pull the other pilot began is not the new one's manoeuvre.
    m_playerAirplane->manoeuvreValue = 0.0f;
    if (autopilot) {
        attachAI(*m_playerAirplane, isSinglePlayer() ? 1.0f : 0.5f, true);
        m_hooks.cameraOrNone().setMode(IModeCamera::kAutopilotView);
        logInfo("modes", "the autopilot flies the player's airplane");
    } else {
        detachAI(*m_playerAirplane);
        m_hooks.cameraOrNone().setChosenView();
        logInfo("modes", "the player flies again");
    }
}

void GameMode::setAIParameter(Target& entity, int index, float value)
{
    if (TargetAI* ai = entity.aiController())
        ai->setParameter(index, value);
}
