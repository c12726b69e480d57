#include "modes/tutorials/TutorialGameMode_SIMPLEWEAPONS.h"

#include "entities/ai/AirplaneAI.h"
#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/map/MapEntities.h"
#include "gamedata/map/MapLoader.h"
#include "gamedata/records/UnitList.h"
#include "gamedata/records/WeaponList.h"
#include "modes/ITutorialHud.h"
#include "modes/tutorials/TutorialOverlay.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"

namespace {
bool isCrash(CrashCause c)
{
    return c == CrashCause::Ground || c == CrashCause::Water || c == CrashCause::Collision ||
           c == CrashCause::CollisionPair;
}
constexpr int kFirstRemovedStep = 10;
}  // namespace

TutorialGameMode_SIMPLEWEAPONS::TutorialGameMode_SIMPLEWEAPONS() : TutorialGameMode(kIndex, 0) {}

TutorialGameMode_SIMPLEWEAPONS::~TutorialGameMode_SIMPLEWEAPONS()
{
    // A ship lets go of its map object when it goes: the entities first.
    m_drone = nullptr;
    m_ship = nullptr;
    clearEntities();
}

void TutorialGameMode_SIMPLEWEAPONS::clearLevel()
{
    m_drone = nullptr;
    m_ship = nullptr;
    TutorialGameMode::clearLevel();
    // The entities that pointed at them are gone with the level.
    m_ownedObjects.clear();
}

bool TutorialGameMode_SIMPLEWEAPONS::isFiringStep(int step)
{
    return step == 2 || step == 4 || step == 8 || step == 10 || step == 12 || step == 14;
}

void TutorialGameMode_SIMPLEWEAPONS::startMatch()
{
    stepTimer = 20.0f;
    counter = 0.0f;
    step = 0;
    kills = 0;
    m_ship = nullptr;
}

void TutorialGameMode_SIMPLEWEAPONS::setUpHud()
{
    ITutorialHud& h = hud();
    h.hideAllButtons();
    h.setDirectionPad(true);
}

std::uint64_t TutorialGameMode_SIMPLEWEAPONS::extraMask() const
{
    std::uint64_t m = kFlightMask;
    if (isFiringStep(step))
        m |= bitOf(ControlAction::Weapon_1);
    if (step == 7)
        m |= bitOf(ControlAction::Link_Weapons);
    return m;
}

int TutorialGameMode_SIMPLEWEAPONS::reminderAction(int textId) const
{
    return textId == kLinkReminder ? static_cast<int>(ControlAction::Link_Weapons) : -1;
}

void TutorialGameMode_SIMPLEWEAPONS::giveWeapon(const char* name, int tag)
{
    if (tag == 0)
        m_lessonWeapon = name;
    if (!m_playerAirplane)
        return;
    const WeaponCfg* record = WeaponList::instance().findByName(name);
    if (!record)
        return;
    m_playerAirplane->removeWeaponsWithTag(tag);
    (void)m_playerAirplane->mountWeapon(*record, tag);
}

void TutorialGameMode_SIMPLEWEAPONS::makeDrone()
{
    if (!m_playerAirplane)
        return;
    Airplane* d = createAirplane(nullptr, 0, 1, 1.0f, nullptr, true);
    if (!d)
        return;
    d->pilotName = std::u16string(1, u' ');
    const Vec3 at = m_playerAirplane->position() + Vec3{0.0f, kTargetAbove, 0.0f};
    respawnAirplane(*d, 0.0f, &at);
    d->removeAllWeapons();
    if (auto* ai = dynamic_cast<AirplaneAI*>(d->aiController())) {
        ai->aggression = 0.1f;
        ai->caution = 0.9f;
        ai->mayFire = false;
        ai->mayEvade = false;
    }
    m_drone = d;
}

const Target* TutorialGameMode_SIMPLEWEAPONS::lessonTarget() const
{
    if (step == 12 || step == 14)
        return m_ship;
    return isFiringStep(step) ? m_drone : nullptr;
}

void TutorialGameMode_SIMPLEWEAPONS::steerDrone()
{
    if (!m_drone || !m_playerAirplane)
        return;
    auto* ai = dynamic_cast<AirplaneAI*>(m_drone->aiController());
    if (!ai || ai->state() == Manoeuvre::Navigate)
        return;
    const Vec3 ahead = m_playerAirplane->position() + m_playerAirplane->forward() * 500.0f;
    ai->setState(Manoeuvre::BreakAway);
    ai->runManoeuvre();
    ai->goalPoint = ahead + Vec3{0.0f, 10.0f, 0.0f};
}

void TutorialGameMode_SIMPLEWEAPONS::spawnNavalTarget()
{
    auto object = std::make_unique<MapObject>("navalunit");
    object->name = "tutorial_ship";
    object->modelData = MapLoader::findModel("destroyer_ally");
    object->kind = 9;
    object->team = 1;
    object->active = true;
    object->pos = kShipPoint;
    object->setPosition(kShipPoint);
    object->health = 1.0f;
    MapObject& placed = *object;
    int index = -1;
    if (m_world && m_world->hasWorldspawn() && m_world->objectCount() < GameWorld::kMaxItems) {
        m_world->addObject(std::move(object));
        index = m_world->objectCount() - 1;
    } else {
        // The world did not take it: the mode keeps it for the ship's life.
        m_ownedObjects.push_back(std::move(object));
    }
    std::unique_ptr<GroundTarget> target =
        Target::create<GroundTarget>(*this, placed, UnitList::instance().findByName(placed.unit));
    if (!target)
        return;
    target->mapObjectIndex = index;
    target->setHealth(target->maxHealth());
    target->setActive(true);
    m_ship = static_cast<GroundTarget*>(addPlayerAirplane(std::move(target), true));
}

void TutorialGameMode_SIMPLEWEAPONS::releaseWeapons()
{
    if (!m_playerAirplane)
        return;
    for (int slot = 0; slot < kWeaponSlots; ++slot)
        if (Weapon* w = m_playerAirplane->weapon(slot))
            w->releaseTrigger();
}

bool TutorialGameMode_SIMPLEWEAPONS::leftOverHit() const
{
    return isFiringStep(step) && m_lastHitBy && m_lessonWeapon && m_lastHitBy->name != m_lessonWeapon;
}

bool TutorialGameMode_SIMPLEWEAPONS::lessonWeaponSpent() const
{
    if (!m_playerAirplane || !m_lessonWeapon)
        return false;
    for (int slot = 0; slot < kWeaponSlots; ++slot)
        if (const Weapon* w = m_playerAirplane->weapon(slot); w && w->group() == 0 && w->hasAmmo())
            return false;
    return true;
}

bool TutorialGameMode_SIMPLEWEAPONS::firingDone(float dt)
{
    steerDrone();
    if (!hintsDone(dt))
        return false;
    hud().setWeaponButtonsEnabled(true);
    // A lesson must not end in empty racks: the weapon is handed out again.
    if (kills < 1 && lessonWeaponSpent())
        giveWeapon(m_lessonWeapon, 0);
    if (kills < 1)
        return false;
    counter = 0.0f;
    kills = 0;
    if (m_playerAirplane)
        applyAirplaneInput(*m_playerAirplane, 0, 0.0f);
    hud().setWeaponButtonsEnabled(false);
    return true;
}

void TutorialGameMode_SIMPLEWEAPONS::runStep(float dt)
{
    ITutorialHud& h = hud();
    switch (step) {
    case 0:
        clearNotices();
        step = 1;
        stepTimer = 8.0f;
        counter = 0.0f;
        line(627, 8.0f);
        break;
    case 1:
        if (!hintsDone(dt))
            break;
        clearNotices();
        step = 2;
        counter = 0.0f;
        kills = 0;
        line(628, 4.0f);
        hint(630, ControlAction::Weapon_1, 4.0f);
        line(632, 4.0f);
        stepTimer = 12.0f;
        makeDrone();
        h.setWeaponButtonsEnabled(false);
        giveWeapon("machinegun_light_1", 0);
        break;
    case 2:
        if (!firingDone(dt))
            break;
        clearNotices();
        step = 3;
        line(633, 3.0f);
        stepTimer = 3.0f;
        break;
    case 3:
        if (!hintsDone(dt))
            break;
        clearNotices();
        step = 4;
        kills = 0;
        line(634, 4.0f);
        line(635, 4.0f);
        stepTimer = 8.0f;
        giveWeapon("machinegun_heavy_1", 0);
        break;
    case 4:
        if (!firingDone(dt))
            break;
        clearNotices();
        step = 5;
        line(636, 3.0f);
        stepTimer = 8.0f;
        break;
    case 5:
        if (!hintsDone(dt))
            break;
        clearNotices();
        step = 6;
        counter = 0.0f;
        kills = 0;
        hint(638, ControlAction::Weapon_2, 7.0f);
        stepTimer = 7.0f;
        giveWeapon("machinegun_light_1", 0);
        giveWeapon("machinegun_heavy_1", 1);
        h.setButtonVisible(20, true);
        for (int id : {19, 21, 22, 23, 24})
            h.setButtonVisible(id, false);
        break;
    case 6:
        if (!hintsDone(dt))
            break;
        clearNotices();
        step = 7;
        counter = 0.0f;
        kills = 0;
        setReminder(kLinkReminder, 4.0f);
        break;
    case 7:
        if (!h.buttonVisible(19) && !h.buttonVisible(21) && !h.buttonVisible(23))
            break;
        clearNotices();
        step = 8;
        counter = 0.0f;
        kills = 0;
        line(642, 4.0f);
        stepTimer = 4.0f;
        reminderTextId = 0;
        h.setWeaponButtonsEnabled(false);
        break;
    case 8:
        if (!firingDone(dt))
            break;
        clearNotices();
        step = 9;
        line(643, 5.0f);
        stepTimer = 5.0f;
        releaseWeapons();
        if (m_playerAirplane) {
            applyAirplaneInput(*m_playerAirplane, 0, 0.0f);
            applyAirplaneInput(*m_playerAirplane, 1, 0.0f);
        }
        break;
    case 9:
        if (!hintsDone(dt))
            break;
        clearNotices();
        step = 10;
        counter = 0.0f;
        kills = 0;
        line(644, 4.0f);
        line(645, 4.0f);
        line(646, 4.0f);
        stepTimer = 12.0f;
        giveWeapon("simple_missile_1", 0);
        if (m_playerAirplane)
            m_playerAirplane->removeWeaponsWithTag(1);
        break;
    case 10:
        if (!firingDone(dt))
            break;
        clearNotices();
        step = 11;
        line(647, 3.0f);
        stepTimer = 3.0f;
        break;
    case 11:
        if (!hintsDone(dt))
            break;
        clearNotices();
        step = 12;
        kills = 0;
        line(650, 5.0f);
        stepTimer = 5.0f;
        giveWeapon("torpedo_1", 0);
        spawnNavalTarget();
        break;
    case 12:
        if (!firingDone(dt))
            break;
        clearNotices();
        step = 13;
        line(651, 3.0f);
        stepTimer = 3.0f;
        break;
    case 13:
        if (!hintsDone(dt))
            break;
        clearNotices();
        step = 14;
        kills = 0;
        line(652, 4.0f);
        stepTimer = 4.0f;
        giveWeapon("bomb_1", 0);
        spawnNavalTarget();
        break;
    case 14:
        if (!firingDone(dt))
            break;
        clearNotices();
        step = 15;
        line(653, 3.0f);
        stepTimer = 3.0f;
        phase = 0.0f;
        break;
    case 15:
        if (!hintsDone(dt))
            break;
        clearNotices();
        step = 16;
        counter = 0.0f;
        kills = 0;
        line(654, 8.0f);
        stepTimer = 8.0f;
        phase = 0.0f;
        releaseWeapons();
        notifyCompletion();
        break;
    case 16:
        runLastStep(dt, phase, 500.0f, false);
        break;
    default:
        break;
    }
}

void TutorialGameMode_SIMPLEWEAPONS::damageAirplane(Target& victim, Target* attacker, float damage,
                                                    const Vec3& hitPoint, const WeaponCfg* weapon, bool force)
{
    if (&victim == m_playerAirplane)
        return;
    if (attacker && attacker == m_playerAirplane)
        damage *= kPlayerDamageFactor;
    if (weapon)
        m_lastHitBy = weapon;
    TutorialGameMode::damageAirplane(victim, attacker, damage, hitPoint, weapon, force);
}

void TutorialGameMode_SIMPLEWEAPONS::onAirplaneDestroyedNoKiller(Target& victim, Target* other, CrashCause cause)
{
    // A collision with the player's aircraft hurts neither side; the player's
    // own fall to the ground or the sea still puts it back up.
    const bool playerInvolved = m_playerAirplane && (&victim == m_playerAirplane || other == m_playerAirplane);
    const bool collision = cause == CrashCause::Collision || cause == CrashCause::CollisionPair;
    if (playerInvolved && (other || collision))
        return;
    onAirplaneDestroyed(victim, nullptr, cause);
}

void TutorialGameMode_SIMPLEWEAPONS::onAirplaneDestroyed(Target& victim, Target* attacker, CrashCause cause)
{
    if (&victim == m_playerAirplane) {
        putBackPlayer(*m_playerAirplane, cause);
        return;
    }
    Vec3 above = m_playerAirplane ? m_playerAirplane->position() : victim.position();
    above.y += kTargetAbove;
    if (isCrash(cause)) {
        // Lost without a shot: it comes back and counts for nothing.
        victim.onDestroyed(cause);
        respawnAirplane(victim, 0.0f, &above);
        return;
    }
    (void)attacker;
    if (&victim == m_ship && leftOverHit()) {
        // A torpedo still running from the lesson before sank the bomb
        // lesson's ship: that teaches nothing, so another ship takes its place.
        logInfo("tutorial", "tutorial %d: the ship sunk in step %d by %s is made again", kIndex, step,
                m_lastHitBy->name.c_str());
        victim.onDestroyed(cause);
        m_ship = nullptr;
        removeEntity(victim);
        spawnNavalTarget();
        return;
    }
    if (isFiringStep(step)) {
        ++kills;
        clearNotices();
        logInfo("tutorial", "tutorial %d: target down in step %d by %s", kIndex, step,
                m_lastHitBy ? m_lastHitBy->name.c_str() : "nothing");
    }
    victim.onDestroyed(cause);
    if (step >= kFirstRemovedStep) {
        // Gone for good: forget it first, then let the mode delete it after the frame.
        if (&victim == m_drone)
            m_drone = nullptr;
        if (&victim == m_ship)
            m_ship = nullptr;
        removeEntity(victim);
        return;
    }
    respawnAirplane(victim, 0.0f, &above);
    if (victim.kind() == TargetKind::Airplane && m_playerAirplane)
        static_cast<Airplane&>(victim).setThrottleForSpeed(m_playerAirplane->speed() * 2.0f);
}

void TutorialGameMode_SIMPLEWEAPONS::putBackPlayer(Airplane& airplane, CrashCause)
{
    clearNotices();
    line(655, 5.0f);
    Vec3 p = airplane.position();
    p.y += 1500.0f + groundAt(p.x, p.z);
    airplane.setPosition(p);
    airplane.setPositionAndStop(p);
}

int TutorialGameMode_SIMPLEWEAPONS::arrowElement() const
{
    if ((step >= 2 && step <= 5) || (step >= 10 && step <= 14))
        return kWeaponSlotElement;
    if (step == 6 || step == 7) {
        ITutorialHud& h = hud();
        if (h.buttonVisible(21) || h.buttonVisible(22))
            return kLinkElement21;
        if (h.buttonVisible(23) || h.buttonVisible(24))
            return kLinkElement23;
        return kLinkElement19;
    }
    return -1;
}

void TutorialGameMode_SIMPLEWEAPONS::drawHud()
{
    if (playStopped || m_services.overlaysOrNone().overlayOpenOrQueued())
        return;
    const int element = arrowElement();
    ITutorialHud::Rect r;
    if (element < 0 || !hud().elementRect(element, r))
        return;
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const float opacity = TutorialOverlay::pulse(m_drawPhase, frameDelta());
    const float gap = TutorialOverlay::kSideGap * s + opacity / 50.0f * s;
    TutorialOverlay::begin();
    TutorialOverlay::drawArrow(
        TutorialOverlay::arrowBeside(r, gap, settings().flipControls != 0, static_cast<float>(m.screenWidth)),
        opacity);
    TutorialOverlay::end();
}
