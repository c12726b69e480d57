#include "modes/kinds/GameModeFreeFlight.h"

#include "entities/ai/AirplaneAI.h"
#include "entities/aircraft/Airplane.h"
#include "gamedata/AirplaneModel.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/PlaneList.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cmath>

namespace {

// The menu map keeps its start heading and pitch in degrees.
constexpr float kDegreesToRadians = 0.017453292f;

bool isSurfaceContact(CrashCause cause) { return cause == CrashCause::Ground || cause == CrashCause::Water; }

int selectedPlaneId()
{
    const PlaneList& planes = PlaneList::instance();
    const int id = settings().localPlaneId;
    return planes.findById(id) ? id : (planes.count() > 0 ? planes.at(0)->plane_id : -1);
}

// Twice the signed area of the loop on the ground: positive when it turns from +x toward +z.
float loopTurn(const std::vector<Vec3>& points)
{
    float area = 0.0f;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Vec3& a = points[i];
        const Vec3& b = points[(i + 1) % points.size()];
        area += a.x * b.z - b.x * a.z;
    }
    return area;
}

}  // namespace

std::vector<Vec3> GameModeMenu::loopAhead(std::vector<Vec3> points, const Vec3& position, const Vec3& forward)
{
    if (points.size() < 2)
        return points;
    Vec3 centre;
    for (const Vec3& p : points)
        centre = centre + p;
    centre = centre * (1.0f / static_cast<float>(points.size()));
    // Round the loop the way the nose already turns about its middle, so the
    // first turn is a gentle one and not a reversal.
    const Vec3 out = position - centre;
    const float noseTurn = out.x * forward.z - out.z * forward.x;
    if ((noseTurn < 0.0f) != (loopTurn(points) < 0.0f))
        std::reverse(points.begin(), points.end());
    // The point the nose points at most nearly comes first: the camera, which
    // turns with the airplane, keeps its view while the pilot flies to it.
    const Vec3 nose = vec3NormalizeOr(Vec3{forward.x, 0.0f, forward.z}, Vec3{0.0f, 0.0f, -1.0f});
    std::size_t first = 0;
    float best = -2.0f;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Vec3 to = vec3NormalizeOr(Vec3{points[i].x - position.x, 0.0f, points[i].z - position.z}, Vec3{});
        const float along = vec3Dot(to, nose);
        if (along > best) {
            best = along;
            first = i;
        }
    }
    std::rotate(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(first), points.end());
    return points;
}

GameModeFreeFlight::GameModeFreeFlight() : GameModeCustom(GameType::FreeFlight, false) {}

bool GameModeFreeFlight::startLevel()
{
    if (!GameModeCustom::startLevel())
        return false;
    // The match's reset starts the score keeper; nothing scores in free flight.
    ScoreMgr::instance().setScoring(false);
    return true;
}

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
    if (m_world) {
        const Worldspawn& start = m_world->worldspawn();
        a->setOrientation(quatFromEuler(start.startHeading * kDegreesToRadians, start.startPitch * kDegreesToRadians, 0.0f));
        // The flight body, not only the drawn position: the next step would
        // put the airplane back where it respawned. It comes in from afar on
        // the start heading, so the menu opens on a steady view.
        a->setPositionAndStop(start.spawn - a->forward() * kApproach);
    }
    setPlayerAirplane(a);
    flyTheLoop(*a);
}

void GameModeMenu::flyTheLoop(Airplane& a)
{
    auto* pilot = dynamic_cast<AirplaneAI*>(a.aiController());
    if (!pilot || !m_world)
        return;
    pilot->waypoints = loopAhead(m_world->pathPoints(kLoopPath), a.position(), a.forward());
    pilot->reset();
    // Flying the loop with no one to fight: the menu camera keeps close to a
    // pilot on his way and pulls back only for a fight or an escape.
    pilot->setState(Manoeuvre::Navigate);
}

Airplane* GameModeMenu::makeShowcase(int planeId)
{
    // The player's own paint of the plane, as in a match.
    const PlanePaint paint = settings().paintAt(planeId);
    Airplane* a = createAirplane(&paint, planeId, 0, kShowcaseSkill, squadronA, true);
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
        a->setOrientation(old->orientation());
        a->setPositionAndStop(old->position());
        a->setSpeed(old->speed());
        removeEntity(*old);
    }
    setPlayerAirplane(a);
    flyTheLoop(*a);
    return a;
}
