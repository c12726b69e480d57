#include "TestPlanes.h"

#include "entities/EntityIds.h"
#include "entities/TimedPoints.h"
#include "entities/ai/AirplaneAI.h"
#include "entities/ai/SimpleAirplaneAI.h"
#include "entities/aircraft/Airplane.h"
#include "entities/aircraft/Squadron.h"
#include "entities/aircraft/Steering.h"
#include "entities/weapons/MissileKinds.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/records/WeaponCfg.h"
#include "platform/Random.h"
#include "support/entities/SimHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {
constexpr float kFrame = 1.0f / 60.0f;

Quat facing(const Vec3& direction)
{
    Quat q;
    Vec3 d = direction;
    quatFromDirectionTo(q, vec3Normalize(d));
    return q;
}

struct AI : testing::Test {
    PlaneCfg cfg = testFighter();
    SimHost host;

    void SetUp() override
    {
        clearEntityIds();
        seedRandom(3, 5);
    }

    Airplane* plane(int team, const Vec3& at, const Vec3& direction, float speed = 180.0f)
    {
        Airplane* a = host.add(Target::create<Airplane>(host, cfg, team, std::u16string(u"AI")));
        a->setPositionAndStop(at);
        a->resetForRespawn();
        a->setOrientation(facing(direction));
        a->setSpeed(speed);
        a->setThrottleForSpeed(speed);
        return a;
    }
    // A pair of light machine guns that bring a weakened airplane down in a few bursts.
    static WeaponCfg lightGun()
    {
        WeaponCfg gun;
        gun.name = "gun";
        gun.weapon_id = 2;
        gun.type = kWeaponMachinegun;
        gun.damage = 40.0f;
        gun.dmgAir = 0.05f;
        gun.speed = 900.0f;
        gun.life = 1.5f;
        gun.reloadTime = 0.08f;
        gun.numSlots = 2;
        return gun;
    }
    AirplaneAI& pilot(Airplane& a, float skill)
    {
        a.setAIController(std::make_unique<AirplaneAI>(a, skill));
        a.aiPilot = true;
        return static_cast<AirplaneAI&>(*a.aiController());
    }
    void run(float seconds)
    {
        for (int i = 0; i < static_cast<int>(seconds / kFrame); ++i)
            host.step(kFrame);
    }
};

TEST_F(AI, FormationHoldsItsSlotsBehindATurningLeader)
{
    Squadron squadron;
    Airplane* leader = plane(0, {0, 2000, 0}, {0, 0, -1}, 170.0f);
    squadron.add(*leader, true);
    std::vector<Airplane*> wingmen;
    for (int i = 0; i < 3; ++i) {
        Airplane* w = plane(0, {-300.0f + 300.0f * static_cast<float>(i), 1900.0f, 700.0f}, {0, 0, -1}, 170.0f);
        squadron.add(*w);
        pilot(*w, 0.5f).setState(Manoeuvre::Formation);
        wingmen.push_back(w);
    }
    float heading = 0.0f, worst = 0.0f;
    for (int i = 0; i < static_cast<int>(30.0f / kFrame); ++i) {
        // The leader turns one way, a full circle in 25 s, then the other.
        const float t = static_cast<float>(i) * kFrame;
        heading += (t < 15.0f ? 0.25f : -0.25f) * kFrame;
        steerAirplaneAlong(*leader, {-std::sin(heading), 0.0f, -std::cos(heading)}, 170.0f);
        squadron.update();
        host.step(kFrame);
        if (t >= 20.0f)
            for (Airplane* w : wingmen)
                worst = std::max(worst, vec3DistanceExact(w->position(), squadron.slotPosition(squadron.slotOf(*w))));
    }
    EXPECT_LT(worst, 150.0f);
    EXPECT_TRUE(host.crashes.empty());
}

// A pilot stepped twice in a frame sees the world where it was at the second
// step: the wingman must not take its slot for halted and fall behind.
TEST_F(AI, AWingmanKeepsPaceWithAFastLeaderHoweverOftenItsPilotIsStepped)
{
    cfg = testJet();
    for (const int steps : {1, 2, 3}) {
        // The wingman moves before its leader in the frame, so its extra
        // steps come while the leader stands where it stood.
        Squadron squadron;
        Airplane* w = plane(0, {120, 3000, 120}, {0, 0, -1}, 330.0f);
        Airplane* leader = plane(0, {0, 3000, 0}, {0, 0, -1}, 330.0f);
        squadron.add(*leader, true);
        squadron.add(*w);
        AirplaneAI& ai = pilot(*w, 0.5f);
        ai.setState(Manoeuvre::Formation);
        float worst = 0.0f;
        for (int i = 0; i < static_cast<int>(20.0f / kFrame); ++i) {
            steerAirplaneAlong(*leader, {0, 0, -1}, 330.0f);
            squadron.update();
            for (int extra = 1; extra < steps; ++extra)
                ai.update(kFrame);
            host.step(kFrame);
            if (i * kFrame >= 10.0f)
                worst = std::max(worst, vec3DistanceExact(w->position(), squadron.slotPosition(1)));
        }
        EXPECT_EQ(ai.state(), Manoeuvre::Formation) << steps << " steps a frame";
        EXPECT_LT(worst, 150.0f) << steps << " steps a frame";
        EXPECT_NEAR(w->speed(), leader->speed(), 30.0f) << steps << " steps a frame";
        host.remove(leader);
        host.remove(w);
    }
}

TEST_F(AI, GuardEngagesNearItsBaseAndReturnsWhenTheEnemyLeaves)
{
    const Vec3 base{0, 800, 0};
    Airplane* guard = plane(0, base + Vec3{0, 0, 500}, {0, 0, -1});
    AirplaneAI& ai = pilot(*guard, 0.8f);
    ai.setGuard(base, 3000.0f, 5000.0f);
    Airplane* enemy = plane(1, base + Vec3{2500, 400, 0}, {0, 0, -1}, 150.0f);
    enemy->setThrottleForSpeed(150.0f);
    run(4.0f);
    EXPECT_EQ(ai.state(), Manoeuvre::Attack);
    EXPECT_EQ(ai.engaged(), enemy);

    // The enemy runs far away: the guard lets it go and flies home.
    enemy->setPositionAndStop(base + Vec3{9000, 1500, 0});
    enemy->resetForRespawn();
    enemy->setSpeed(150.0f);
    run(3.0f);
    EXPECT_EQ(ai.engaged(), nullptr);
    run(40.0f);
    const Vec3 g = guard->position();
    EXPECT_LT(std::hypot(g.x - base.x, g.z - base.z), 3000.0f);
    EXPECT_TRUE(host.crashes.empty());
}

// A guard ordered at an enemy beyond its leash neither attacks nor hangs
// between attacking and patrolling: it keeps guarding until the enemy comes near.
TEST_F(AI, AGuardOrderedAtAFarEnemyKeepsGuarding)
{
    const Vec3 base{0, 800, 0};
    Airplane* guard = plane(0, base + Vec3{0, 0, 500}, {0, 0, -1});
    AirplaneAI& ai = pilot(*guard, 0.8f);
    ai.setGuard(base, 3000.0f, 5000.0f);
    Airplane* enemy = plane(1, base + Vec3{9000, 400, 0}, {0, 0, -1}, 150.0f);
    ai.target = enemy;
    run(2.0f);
    EXPECT_EQ(ai.state(), Manoeuvre::Patrol);
    EXPECT_EQ(ai.engaged(), nullptr);
    enemy->setPositionAndStop(base + Vec3{1500, 400, 0});
    enemy->setSpeed(150.0f);
    run(1.0f);
    EXPECT_EQ(ai.state(), Manoeuvre::Attack);
    EXPECT_EQ(ai.engaged(), enemy);
}

// A wingman told to hold formation whose leader is shot down: patrol hands it
// the enemy it was ordered at, the formation order drops the attack again. It
// keeps to its order, and every frame ends.
TEST_F(AI, AWingmanOfADeadLeaderHoldsItsOrderWithoutHanging)
{
    Squadron squadron;
    Airplane* leader = plane(0, {0, 1500, 0}, {0, 0, -1});
    squadron.add(*leader, true);
    Airplane* w = plane(0, {150, 1500, 200}, {0, 0, -1});
    squadron.add(*w);
    squadron.setOrder(SquadronOrder::Formation);
    AirplaneAI& ai = pilot(*w, 0.5f);
    Airplane* enemy = plane(1, {0, 1500, -2500}, {0, 0, 1});
    ai.target = enemy;
    leader->setLifeState(LifeState::Destroyed);
    run(1.0f);
    EXPECT_EQ(ai.state(), Manoeuvre::Patrol);
    EXPECT_EQ(ai.engaged(), nullptr);
    // Free to hunt, it takes the enemy.
    squadron.setOrder(SquadronOrder::Attack);
    run(1.0f);
    EXPECT_EQ(ai.state(), Manoeuvre::Attack);
    EXPECT_EQ(ai.engaged(), enemy);
}

TEST_F(AI, BreakAwayReturnsToPatrolAfterEightSeconds)
{
    Squadron squadron;
    Airplane* leader = plane(0, {0, 1500, 0}, {0, 0, -1});
    squadron.add(*leader, true);
    Airplane* w = plane(0, {150, 1500, 200}, {0, 0, -1});
    squadron.add(*w);
    squadron.setOrder(SquadronOrder::Attack);  // free hunt: no slot to go back to
    AirplaneAI& ai = pilot(*w, 0.5f);
    ai.setState(Manoeuvre::BreakAway);
    EXPECT_TRUE(w->isEvadingManoeuvre());
    run(4.0f);
    EXPECT_EQ(ai.state(), Manoeuvre::BreakAway);
    EXPECT_GT(vec3DistanceExact(w->position(), leader->position()), 400.0f);
    run(5.0f);
    EXPECT_EQ(ai.state(), Manoeuvre::Patrol);
}

// Told to break away towards a point that keeps ahead of another airplane, it
// stays near that point instead of flying off at full speed.
TEST_F(AI, BreakAwayWithAGoalPointStaysWithIt)
{
    Airplane* hunter = plane(0, {0, 1500, 0}, {0, 0, -1}, 150.0f);
    Airplane* drone = plane(1, {0, 1580, -100}, {0, 0, -1}, 150.0f);
    AirplaneAI& ai = pilot(*drone, 0.5f);
    float farthest = 0.0f;
    for (int i = 0; i < static_cast<int>(40.0f / kFrame); ++i) {
        // The hunter flies straight on; the point stays 500 ahead of it, as the lesson sets it every frame.
        ai.setState(Manoeuvre::BreakAway);
        ai.goalPoint = hunter->position() + hunter->forward() * 500.0f + Vec3{0.0f, 10.0f, 0.0f};
        host.step(kFrame);
        hunter->setThrottleForSpeed(150.0f);
        farthest = std::max(farthest, vec3DistanceExact(drone->position(), hunter->position()));
    }
    EXPECT_LT(farthest, 1200.0f) << "the drone stays within reach of its hunter";
    // Without a point it breaks away from where it flies.
    ai.goalPoint.reset();
    ai.setState(Manoeuvre::Patrol);
    ai.setState(Manoeuvre::BreakAway);
    const float before = vec3DistanceExact(drone->position(), hunter->position());
    run(7.0f);
    EXPECT_GT(vec3DistanceExact(drone->position(), hunter->position()), before + 300.0f);
}

TEST_F(AI, PilotUnderAMissileEvadesAndTheFlaresCome)
{
    WeaponCfg seeker;
    seeker.name = "seeker";
    seeker.weapon_id = 41;
    seeker.type = kWeaponAllAspect;
    seeker.numSlots = 1;
    seeker.reloadTime = 5.0f;
    seeker.damage = 75.0f;
    seeker.dmgAir = 0.02f;
    seeker.speed = 420.0f;
    seeker.life = 9.0f;
    seeker.turnRate = 2.0f;
    seeker.lockTime = 0.5f;
    seeker.lockRange = 4000.0f;
    Airplane* prey = plane(1, {0, 2000, 0}, {0, 0, -1});
    AirplaneAI& ai = pilot(*prey, 1.0f);
    ai.mayFire = false;
    Airplane* hunter = plane(0, {0, 2000, 1800}, {0, 0, -1});
    ASSERT_TRUE(hunter->mountWeapon(seeker, 1));
    bool evaded = false;
    for (int i = 0; i < static_cast<int>(12.0f / kFrame); ++i) {
        steerAirplaneTo(*hunter, prey->position(), 200.0f);
        hunter->controlInput(1, hunter->weapon(0)->isLocked() ? 1.0f : 0.0f);
        host.step(kFrame);
        evaded = evaded || (ai.state() == Manoeuvre::Evade && prey->isEvadingManoeuvre());
    }
    EXPECT_GE(host.missilesLaunched, 1);
    EXPECT_TRUE(evaded);
    EXPECT_GE(host.flareSalvos, 1);
}

// A missile that went wide and fell far behind no longer holds the pilot in
// its break: it goes back to what it was doing, and breaks again when one comes near.
TEST_F(AI, APilotLeavesItsBreakOnceTheMissileIsFarBehind)
{
    Airplane* prey = plane(1, {0, 2000, 0}, {0, 0, -1});
    AirplaneAI& ai = pilot(*prey, 1.0f);
    ai.mayFire = false;
    // Something that stands for the chasing missile, where the test puts it.
    auto chaser = Target::create<Target>(host, TargetKind::Other, kTeamNone);
    ASSERT_NE(chaser, nullptr);
    ai.setState(Manoeuvre::Evade);
    for (int i = 0; i < 30; ++i) {
        chaser->setPosition(prey->position() + Vec3{0, 0, 1500});
        prey->incomingMissile = chaser.get();
        host.step(kFrame);
    }
    EXPECT_EQ(ai.state(), Manoeuvre::Evade) << "a missile this near keeps the break going";
    for (int i = 0; i < 30; ++i) {
        chaser->setPosition(prey->position() + Vec3{0, 0, 7000});
        prey->incomingMissile = chaser.get();
        host.step(kFrame);
    }
    EXPECT_NE(ai.state(), Manoeuvre::Evade) << "the pilot still runs from a missile far behind";
}

// A pilot breaks from a rocket coming at it and is back at its work once the
// rocket is far past, while it still flies; and a hunter locked on an
// airplane lets no bomb go at it.
TEST_F(AI, ARocketFarPastEndsTheBreakAndNoBombIsLetGoAtAnAirplane)
{
    WeaponCfg rocket;
    rocket.name = "rocket";
    rocket.weapon_id = 42;
    rocket.type = kWeaponSimple;
    rocket.subtype = SimpleMissile::Rocket;
    rocket.numSlots = 1;
    rocket.damage = 1.0f;
    rocket.speed = 900.0f;
    rocket.life = 20.0f;
    Airplane* prey = plane(1, {0, 2000, 0}, {0, 0, -1});
    AirplaneAI& ai = pilot(*prey, 1.0f);
    ai.mayFire = false;
    // From behind and off to one side, along the prey's course: it passes by.
    MissileLaunch l;
    l.record = &rocket;
    l.host = &host;
    l.target = prey;
    l.position = prey->position() + Vec3{80.0f, 0.0f, 900.0f};
    l.direction = {0.0f, 0.0f, -1.0f};
    l.platformVelocity = prey->velocity();
    host.addMissile(makeMissile(l));
    bool broke = false;
    for (int i = 0; i < static_cast<int>(14.0f / kFrame); ++i) {
        host.step(kFrame);
        broke = broke || ai.state() == Manoeuvre::Evade;
    }
    EXPECT_TRUE(broke) << "no break from the rocket coming at the pilot";
    ASSERT_NE(prey->incomingMissile, nullptr) << "the rocket is still in flight";
    EXPECT_GT(vec3DistanceExact(prey->incomingMissile->position(), prey->position()), 7000.0f);
    EXPECT_NE(ai.state(), Manoeuvre::Evade) << "the pilot still runs from a rocket gone by";

    WeaponCfg bomb = rocket;
    bomb.name = "bomb";
    bomb.weapon_id = 43;
    bomb.subtype = SimpleMissile::Bomb;
    bomb.speed = 0.0f;
    bomb.ammo = 4;
    bomb.lockTime = 0.1f;
    bomb.lockRange = 2500.0f;
    Airplane* hunter = plane(0, prey->position() - prey->forward() * 500.0f, prey->forward());
    ASSERT_TRUE(hunter->mountWeapon(bomb, 1));
    AirplaneAI& bomber = pilot(*hunter, 1.0f);
    bomber.target = prey;
    bool locked = false;
    for (int i = 0; i < static_cast<int>(5.0f / kFrame); ++i) {
        host.step(kFrame);
        locked = locked || hunter->weapon(0)->isLocked();
    }
    EXPECT_TRUE(locked);
    EXPECT_EQ(hunter->weapon(0)->ammo(), 4) << "a bomb was let go at an airplane";
}

TEST_F(AI, AutopilotInStateZeroPassesThePlayersInput)
{
    Airplane* player = plane(0, {0, 2000, 0}, {0, 0, -1});
    host.setPlayer(player);
    player->setAIController(TargetAI::create(*player, 1.0f));
    auto& autopilot = static_cast<AirplaneAI&>(*player->aiController());
    autopilot.setState(Manoeuvre::Navigate);
    player->setControlVector({0.4f, 0.0f, -0.3f});
    host.step(kFrame);
    EXPECT_FLOAT_EQ(player->controlVector().x, 0.4f);
    EXPECT_FLOAT_EQ(player->controlVector().z, -0.3f);

    // Given a goal, it flies there itself.
    autopilot.goalPoint = Vec3{3000, 2500, 0};
    player->setControlVector({0.4f, 0.0f, -0.3f});
    host.step(kFrame);
    EXPECT_NE(player->controlVector().z, -0.3f);
}

TEST_F(AI, NoSkillFliesIntoHillsOrSea)
{
    // Steep hills on land, sea to the south; targets over both.
    host.heightFunction = [](float x, float z) {
        if (z > 6000.0f)
            return -50.0f;
        return 900.0f + 800.0f * std::sin(x * 0.0012f) * std::cos(z * 0.0011f);
    };
    for (float skill : {0.0f, 1.0f}) {
        SimHost local;
        local.heightFunction = host.heightFunction;
        for (int i = 0; i < 4; ++i) {
            const int team = i % 2;
            Airplane* a = local.add(Target::create<Airplane>(local, cfg, team, std::u16string(u"AI")));
            a->setPositionAndStop({static_cast<float>(i) * 900.0f, 2200.0f, 3000.0f * static_cast<float>(i % 3)});
            a->resetForRespawn();
            a->setOrientation(facing({team ? 1.0f : -1.0f, -0.3f, 0.2f}));
            a->setAIController(std::make_unique<AirplaneAI>(*a, skill));
        }
        for (int i = 0; i < static_cast<int>(180.0f / kFrame); ++i)
            local.step(kFrame);
        EXPECT_TRUE(local.crashes.empty()) << "skill " << skill;
    }
}

TEST_F(AI, RemovedTargetsLeaveControllersAndSquadrons)
{
    Squadron squadron;
    Airplane* leader = plane(1, {0, 2000, 0}, {0, 0, -1});
    squadron.add(*leader, true);
    Airplane* hunter = plane(0, {0, 2000, 1500}, {0, 0, -1});
    AirplaneAI& ai = pilot(*hunter, 0.5f);
    ai.target = leader;
    ai.guardList.push_back(leader);
    run(0.5f);
    ASSERT_EQ(ai.engaged(), leader);
    host.remove(leader);
    EXPECT_EQ(ai.target, nullptr);
    EXPECT_EQ(ai.engaged(), nullptr);
    EXPECT_TRUE(ai.guardList.empty());
    EXPECT_EQ(squadron.leader(), nullptr);
    EXPECT_TRUE(squadron.members().empty());
    run(1.0f);  // nothing reads the removed plane
    EXPECT_NE(ai.state(), Manoeuvre::Attack);
}

TEST_F(AI, SimplePilotFollowsItsWaypoints)
{
    Airplane* a = plane(0, {0, 1500, 0}, {0, 0, -1});
    a->setAIController(TargetAI::create(*a, 0.5f, AIKind::Simple));
    auto& simple = static_cast<SimpleAirplaneAI&>(*a->aiController());
    simple.waypoints = {{0, 1500, -3000}, {3000, 1500, -3000}};
    simple.loop = false;
    run(40.0f);
    EXPECT_EQ(simple.nextWaypoint(), 2u);
    EXPECT_TRUE(host.crashes.empty());
}

// A pilot on a route flies its waypoints in their order: each one is passed
// before the next is the point it steers for.
TEST_F(AI, APilotFliesItsRouteInOrder)
{
    Airplane* a = plane(0, {0, 1500, 0}, {0, 0, -1}, 150.0f);
    AirplaneAI& ai = pilot(*a, 0.5f);
    ai.waypoints = {{0, 1500, -3000}, {3000, 1500, -3000}, {3000, 1500, 0}};
    ai.setState(Manoeuvre::Navigate);
    std::vector<std::size_t> passed, steered;
    for (int i = 0; i < static_cast<int>(90.0f / kFrame) && passed.size() < 3; ++i) {
        const Vec3* point = ai.navigationPoint();
        ASSERT_NE(point, nullptr);
        const std::size_t at = static_cast<std::size_t>(point - ai.waypoints.data());
        if (steered.empty() || steered.back() != at)
            steered.push_back(at);
        host.step(kFrame);
        for (std::size_t w = 0; w < ai.waypoints.size(); ++w) {
            const Vec3 d = ai.waypoints[w] - a->position();
            if (d.x * d.x + d.z * d.z < 450.0f * 450.0f && std::find(passed.begin(), passed.end(), w) == passed.end())
                passed.push_back(w);
        }
    }
    EXPECT_EQ(passed, (std::vector<std::size_t>{0, 1, 2}));
    ASSERT_GE(steered.size(), 3u);
    EXPECT_EQ(std::vector<std::size_t>(steered.begin(), steered.begin() + 3), (std::vector<std::size_t>{0, 1, 2}));
}

// Two pilots that circle each other without a shot: after the stalemate time
// each breaks off, lets go of the fight (no enemy, no target shown) and, its
// enemy being the only one there is, takes it on again before the shun is
// over; the next break-off waits a whole stalemate time again.
TEST_F(AI, AStalemateBreaksOffAndTheOnlyEnemyIsTakenAgain)
{
    Airplane* bot = plane(0, {0, 2500, 0}, {0, 0, -1}, 170.0f);
    Airplane* enemy = plane(1, {600, 2500, -600}, {1, 0, 0}, 170.0f);
    AirplaneAI& ai = pilot(*bot, 0.5f);
    AirplaneAI& other = pilot(*enemy, 0.5f);
    ai.mayFire = other.mayFire = false;   // never a shot: a fight without end
    float engagedAt = -1.0f, brokeAt = -1.0f, retakenAt = -1.0f, secondBreak = -1.0f;
    float t = 0.0f;
    for (; t < 150.0f && secondBreak < 0.0f; t += kFrame) {
        host.step(kFrame);
        const bool breaking = ai.state() == Manoeuvre::BreakAway;
        if (engagedAt < 0.0f && ai.engaged() == enemy)
            engagedAt = t;
        if (breaking) {
            ASSERT_EQ(ai.engaged(), nullptr) << "the break-off kept its fight at " << t;
            ASSERT_EQ(bot->currentTarget, nullptr) << t;
        }
        if (brokeAt < 0.0f && breaking)
            brokeAt = t;
        else if (brokeAt >= 0.0f && retakenAt < 0.0f && ai.engaged() == enemy)
            retakenAt = t;
        else if (retakenAt >= 0.0f && breaking)
            secondBreak = t;
    }
    ASSERT_GE(engagedAt, 0.0f);
    ASSERT_GE(brokeAt, 0.0f) << "no break-off in a fight without a shot";
    EXPECT_GE(brokeAt - engagedAt, AirplaneAI::kStalemateTime - 1.0f);
    ASSERT_GE(retakenAt, 0.0f) << "the only enemy was never taken again";
    EXPECT_LT(retakenAt - brokeAt, AirplaneAI::kStalemateShun) << "taken only once the shun was over";
    if (secondBreak >= 0.0f) {
        EXPECT_GE(secondBreak - retakenAt, AirplaneAI::kStalemateTime - 1.0f) << "the old fight's time carried over";
    }
}

TEST(Squadrons, OrdersSlotsAndTheIdTable)
{
    clearEntityIds();
    Squadron s;
    s.applyCommand(1);
    EXPECT_EQ(s.order(), SquadronOrder::Attack);
    s.applyCommand(4);
    EXPECT_EQ(s.order(), SquadronOrder::Defend);
    for (int i = 0; i < 3; ++i)
        s.applyCommand(2);
    EXPECT_EQ(s.order(), SquadronOrder::Defend);  // three turns of the cycle come back
    s.applyCommand(0);
    EXPECT_EQ(s.order(), SquadronOrder::Formation);

    std::vector<std::unique_ptr<Squadron>> more;
    while (more.size() < Squadron::kMaxSquadrons)
        more.push_back(std::make_unique<Squadron>());
    EXPECT_EQ(more.back()->id(), -1);  // the table was full: s holds one id
    SimHost host;
    PlaneCfg cfg = testFighter();
    Airplane* a = host.add(Target::create<Airplane>(host, cfg, 0, std::u16string(u"A")));
    more.back()->add(*a);
    EXPECT_EQ(a->squadron, nullptr);
    EXPECT_TRUE(more.back()->members().empty());
}
}  // namespace

namespace {
TEST_F(AI, SquadronOrdersDecideWhatTheWingmenDo)
{
    Squadron squadron;
    Airplane* leader = plane(0, {0, 2000, 0}, {0, 0, -1});
    squadron.add(*leader, true);
    Airplane* w = plane(0, {150, 2000, 200}, {0, 0, -1});
    squadron.add(*w);
    AirplaneAI& ai = pilot(*w, 0.7f);
    Airplane* far = plane(1, {6000, 2000, 0}, {0, 0, -1}, 150.0f);
    auto fly = [&](float seconds) {
        for (int i = 0; i < static_cast<int>(seconds / kFrame); ++i) {
            steerAirplaneAlong(*leader, {0, 0, -1}, 170.0f);
            far->setPositionAndStop(leader->position() + Vec3{6000, 0, 0});
            far->resetForRespawn();
            squadron.update();
            host.step(kFrame);
        }
    };
    fly(4.0f);
    EXPECT_EQ(ai.state(), Manoeuvre::Formation);  // formation: the far enemy is left alone
    squadron.applyCommand(3);
    fly(4.0f);
    EXPECT_EQ(ai.state(), Manoeuvre::Formation);  // defend: only threats near the leader
    squadron.applyCommand(1);
    fly(4.0f);
    EXPECT_EQ(ai.state(), Manoeuvre::Attack);  // attack: a free hunt
    EXPECT_EQ(ai.engaged(), far);
    squadron.applyCommand(0);
    fly(2.0f);
    EXPECT_NE(ai.state(), Manoeuvre::Attack);
}

TEST_F(AI, AGoalPointComesBeforeAFightAndAnEscortGuardsItsFriend)
{
    Airplane* runner = plane(0, {0, 2000, 0}, {0, 0, -1});
    AirplaneAI& ai = pilot(*runner, 0.7f);
    ai.goalPoint = Vec3{0, 2000, -8000};
    plane(1, {1500, 2000, 0}, {0, 0, -1}, 150.0f);
    run(5.0f);
    EXPECT_EQ(ai.engaged(), nullptr);
    EXPECT_LT(runner->position().z, -500.0f);

    Airplane* escort = plane(0, {300, 2000, 300}, {0, 0, -1});
    AirplaneAI& guard = pilot(*escort, 0.7f);
    guard.target = runner;
    run(5.0f);
    EXPECT_NE(guard.engaged(), nullptr);  // the enemy chasing the runner is near it
    EXPECT_EQ(guard.engaged()->team(), 1);
}
}  // namespace

#include "gamedata/map/MapEntities.h"

namespace {
TEST_F(AI, ThePlayersAutopilotCountsTheManoeuvresItCompletes)
{
    Airplane* player = plane(0, {0, 2000, 0}, {0, 0, -1});
    host.setPlayer(player);
    player->setAIController(TargetAI::create(*player, 1.0f));
    auto& autopilot = static_cast<AirplaneAI&>(*player->aiController());
    autopilot.setState(Manoeuvre::BreakAway);
    run(AirplaneAI::kBreakAwayTime + 1.0f);
    EXPECT_EQ(autopilot.state(), Manoeuvre::Patrol);
    EXPECT_EQ(std::count(host.events.begin(), host.events.end(), int(Airplane::kEventManoeuvre)), 1);
}

TEST_F(AI, AGuardOfAMapObjectCirclesWhereItStands)
{
    MapObject base("hq");
    base.pos = {4000, 300, 0};
    Airplane* guard = plane(0, {0, 1500, 0}, {0, 0, -1});
    AirplaneAI& ai = pilot(*guard, 0.5f);
    ai.setGuard(base, 3000.0f, 5000.0f);
    EXPECT_EQ(ai.guardObject, &base);
    run(60.0f);
    EXPECT_LT(std::hypot(guard->position().x - 4000.0f, guard->position().z), 2500.0f);
    ai.clearGuard();
    EXPECT_FALSE(ai.isGuarding());
    EXPECT_EQ(ai.guardObject, nullptr);
}
}  // namespace

namespace {
TEST_F(AI, APlaneShotDownAndRemovedInTheFrameIsDroppedByItsHunter)
{
    host.removeKilled = true;
    const WeaponCfg gun = lightGun();
    Airplane* prey = plane(1, {0, 2000, -400}, {0, 0, -1}, 150.0f);
    prey->setHealth(0.2f);
    Airplane* hunter = plane(0, {0, 2000, 0}, {0, 0, -1}, 170.0f);
    ASSERT_TRUE(hunter->mountWeapon(gun, 0));
    AirplaneAI& ai = pilot(*hunter, 1.0f);
    ai.target = prey;
    for (int i = 0; i < 60 * 20 && host.airplanes().size() > 1; ++i)
        host.step(kFrame);
    ASSERT_EQ(host.airplanes().size(), 1u) << "the prey was never shot down";
    EXPECT_EQ(ai.target, nullptr);
    EXPECT_EQ(ai.engaged(), nullptr);
    EXPECT_EQ(hunter->currentTarget, nullptr);
    run(2.0f);
    EXPECT_NE(ai.state(), Manoeuvre::Attack);
}
// A bot picks its fights from the airplanes in play: one that has just
// respawned (a joiner at its spawn point) is left alone until it has flown
// the grace time, even when it is the nearest enemy, and is fair game after.
TEST_F(AI, ABotLeavesAJustSpawnedAirplaneAloneForAMoment)
{
    const WeaponCfg gun = lightGun();
    Airplane* bot = plane(0, {0, 2000, 0}, {0, 0, -1}, 170.0f);
    ASSERT_TRUE(bot->mountWeapon(gun, 0));
    AirplaneAI& ai = pilot(*bot, 1.0f);
    // Straight ahead within gun range, flying away at the bot's own speed.
    Airplane* joiner = plane(1, {0, 2000, -600}, {0, 0, -1}, 170.0f);
    joiner->onRespawn();
    const float grace = AirplaneAI::kSpawnGrace;
    for (int i = 0; i < static_cast<int>((grace - 0.2f) / kFrame); ++i) {
        host.step(kFrame);
        ASSERT_NE(ai.engaged(), joiner) << "picked " << static_cast<float>(i) * kFrame << " s after the spawn";
    }
    EXPECT_FLOAT_EQ(joiner->health(), 1.0f);

    // Past the grace the next search (every 2 to 3 s) finds it.
    bool engaged = false;
    for (int i = 0; i < static_cast<int>(3.5f / kFrame) && !engaged; ++i) {
        host.step(kFrame);
        engaged = ai.engaged() == joiner;
    }
    EXPECT_TRUE(engaged);
}

// With an enemy in play farther off, the bot takes that one rather than wait.
TEST_F(AI, ABotTakesAnEnemyLongInPlayOverAJustSpawnedNearerOne)
{
    Airplane* bot = plane(0, {0, 2000, 0}, {0, 0, -1}, 170.0f);
    AirplaneAI& ai = pilot(*bot, 1.0f);
    ai.mayFire = false;
    Airplane* veteran = plane(1, {0, 2300, -5000}, {1, 0, 0}, 150.0f);
    Airplane* joiner = plane(1, {0, 2000, -800}, {0, 0, -1}, 170.0f);
    joiner->onRespawn();
    run(0.5f);
    EXPECT_EQ(ai.engaged(), veteran);
}
}  // namespace
