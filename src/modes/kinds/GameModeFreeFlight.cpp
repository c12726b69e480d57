#include "modes/kinds/GameModeFreeFlight.h"

#include "entities/aircraft/Airplane.h"
#include "gamedata/AirplaneModel.h"
#include "gamedata/records/PlaneList.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cmath>

namespace {

bool isSurfaceContact(CrashCause cause) { return cause == CrashCause::Ground || cause == CrashCause::Water; }

int selectedPlaneId()
{
    const PlaneList& planes = PlaneList::instance();
    const int id = settings().localPlaneId;
    return planes.findById(id) ? id : (planes.count() > 0 ? planes.at(0)->plane_id : -1);
}

}  // namespace

GameModeFreeFlight::GameModeFreeFlight() : GameModeCustom(GameType::FreeFlight, false) {}

void GameModeFreeFlight::resetRound()
{
    GameModeCustom::resetRound();
    ScoreMgr& sm = ScoreMgr::instance();
    sm.reset(false);
    sm.timeLimit = 0.0f;
    sm.scoreLimit = 0;
}

void GameModeFreeFlight::update(float dt)
{
    lastStep = dt;
    GameModeCustom::update(dt);
}

void GameModeFreeFlight::onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause)
{
    if (&victim != m_playerAirplane) {
        GameModeCustom::onAirplaneDestroyed(victim, attacker, cause);
        return;
    }
    if (isSurfaceContact(cause)) {
        // Touching down: rest on the surface, turning along the velocity.
        Airplane& a = *m_playerAirplane;
        Vec3 p = a.position();
        p.y = std::max(groundHeightAt(p.x, p.z), 0.0f);
        a.setPositionAndStop(p);
        const Vec3 v = a.velocity();
        if (v.x * v.x + v.z * v.z > 1e-6f) {
            const Quat along = quatFromAngleY(std::atan2(v.x, v.z));
            a.setOrientation(quatSlerp(a.orientation(), along, std::clamp(4.0f * lastStep, 0.0f, 1.0f)));
        }
        return;
    }
    if (cause == CrashCause::Collision || cause == CrashCause::Prop)
        GameModeCustom::onAirplaneDestroyed(victim, attacker, cause);
}

float GameModeFreeFlight::respawnDelayFor(const Target& entity) const
{
    if (&entity == m_playerAirplane)
        return kPlayerRespawn;
    return GameModeCustom::respawnDelayFor(entity);
}

Airplane* GameModeFreeFlight::addServerPlayer(const JoinRequest& joinRequest, int)
{
    return GameModeCustom::addServerPlayer(joinRequest, 0);
}

void GameModeFreeFlight::buildPlayers()
{
    createMapEntities();
    (void)createPlayerAirplane(0, 0.0f, nullptr, mapCentre());
}

GameModeMenu::GameModeMenu() : GameMode(GameType::MenuBackground) {}

bool GameModeMenu::startLevel()
{
    if (!GameMode::startLevel())
        return false;
    resetRound();
    buildMenuFlight();
    return true;
}

void GameModeMenu::resetRound()
{
    squadronA = squadronB = nullptr;
}

void GameModeMenu::update(float dt)
{
    GameMode::update(dt);
    setSunValue(kSun);
}

void GameModeMenu::deleteAirplane(Target& entity)
{
    // The flight behind the menus never runs out of airplanes.
    respawnAirplane(entity, 0.0f, nullptr);
}

void GameModeMenu::onAirplaneDestroyed(Target& victim, Target*, CrashCause cause)
{
    victim.onDestroyed(cause);
    respawnAirplane(victim, 0.0f, nullptr);
}

void GameModeMenu::buildMenuFlight()
{
    squadronA = addSquadron(std::make_unique<Squadron>());
    Airplane* a = makeShowcase(selectedPlaneId());
    squadronB = addSquadron(std::make_unique<Squadron>());
    if (!a)
        return;
    respawnAirplane(*a, 0.0f, nullptr);
    const Vec3 point{12679.454f, 1608.3379f, 4755.814f};
    a->setPosition(point - a->forward() * 10000.0f);
    setPlayerAirplane(a);
}

Airplane* GameModeMenu::makeShowcase(int planeId)
{
    // The player's own paint of the plane, as in a match.
    const PlanePaint paint = settings().paintAt(planeId);
    Airplane* a = createAirplane(&paint, planeId, 0, 0.0f, squadronA, true);
    if (!a)
        return nullptr;
    a->pilotName = u"Pilot";
    setSquadronLeader(a, squadronA);
    return a;
}

void GameModeMenu::previewShownPaint()
{
    SkinPreviewPaint& preview = skinPreviewPaint();
    const Airplane* shown = playerAirplane();
    preview.model = shown ? shown->model() : nullptr;
    if (!shown)
        return;
    const PlanePaint& paint = settings().paintAt(shown->record().plane_id);
    const float colours[6] = {paint.hue0, paint.saturation0, paint.value0, paint.hue1, paint.saturation1, paint.value1};
    std::copy(std::begin(colours), std::end(colours), std::begin(preview.colors));
}

Airplane* GameModeMenu::showPlane(int planeId)
{
    Airplane* old = playerAirplane();
    // An id no plane has shows the first plane, as the airplane list builds it.
    const PlaneCfg* record = PlaneList::instance().findById(planeId);
    if (!record || !squadronA)
        return old;
    if (old && &old->record() == record)
        return old;
    Airplane* a = makeShowcase(record->plane_id);
    if (!a)
        return old;
    respawnAirplane(*a, 0.0f, nullptr);
    if (old) {
        a->setPosition(old->position());
        a->setOrientation(old->orientation());
        a->setSpeed(old->speed());
        removeEntity(*old);
    }
    setPlayerAirplane(a);
    return a;
}
