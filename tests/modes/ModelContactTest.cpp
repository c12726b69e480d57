// Contacts, blasts and the tunnel search against the staged models'
// collision triangles: what lies inside a model's box but off the model is
// not hit.
#include "entities/aircraft/Airplane.h"
#include "entities/ground/GroundTarget.h"
#include "entities/ground/Tunnel.h"
#include "entities/weapons/AreaDamage.h"
#include "gamedata/AirplaneModel.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/map/MapEntities.h"
#include "gamedata/map/MapLoader.h"
#include "modes/GameMode.h"
#include "modes/GameType.h"
#include "effects/EffectList.h"
#include "effects/IEffect.h"
#include "effects/particles/PSystem.h"
#include "gamedata/map/GameWorld.h"
#include "gamedata/records/WeaponCfg.h"
#include "gamedata/records/WeaponList.h"
#include "render/assets/CollisionMesh.h"
#include "render/assets/Model.h"
#include "render/world/Terrain.h"
#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {

// High over the map, clear of its terrain, props and units.
const Vec3 kSite{0.0f, 1500.0f, 0.0f};

bool insideBox(const Model& model, const Vec3& local)
{
    const Vec3 lo = model.boundsMin(), hi = model.boundsMax();
    return local.x > lo.x && local.x < hi.x && local.y > lo.y && local.y < hi.y && local.z > lo.z && local.z < hi.z;
}

struct ModelContact : testing::Test {
    ModeHarness harness;
    GameMode* mode = nullptr;
    std::vector<std::unique_ptr<MapObject>> objects;

    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
        mode = harness.start(static_cast<int>(GameType::FreeFlight), harness.firstSkirmishMap());
        ASSERT_NE(mode, nullptr);
        ASSERT_NE(mode->playerAirplane(), nullptr);
    }
    void TearDown() override { harness.finish(); }

    // A unit of the other side facing -z, its model as staged.
    GroundTarget* unit(const char* name, const Vec3& at)
    {
        auto& object = objects.emplace_back(std::make_unique<MapObject>(name));
        object->pos = at;
        object->team = 1;
        auto made = Target::create<GroundTarget>(*mode, *object);
        if (!made || !object->modelData)
            return nullptr;
        return static_cast<GroundTarget*>(mode->addPlayerAirplane(std::move(made), false));
    }
    // The player's airplane at a point of a unit's model space, flying along
    // the model's -z, or along its -x when across.
    Airplane& flyAt(const GroundTarget& u, const Vec3& local, bool across)
    {
        Airplane& me = *mode->playerAirplane();
        const Vec3 ahead = rotateVector3x3(u.matrix(), across ? Vec3{-1.0f, 0.0f, 0.0f} : Vec3{0.0f, 0.0f, -1.0f});
        me.setOrientation(quatFromAngleY(std::atan2(-ahead.x, -ahead.z)));
        me.setPositionAndStop(mat4TransformPoint(u.matrix(), local));
        me.setSpeed(300.0f);
        me.setThrottleForSpeed(300.0f);
        return me;
    }
};

TEST_F(ModelContact, DeckAndBridgeGapsAreOffTheModelsTheirStructuresAreOn)
{
    GroundTarget* ship = unit("navalunit", kSite);
    GroundTarget* bridge = unit("bridge", kSite + Vec3{600.0f, 0.0f, 0.0f});
    ASSERT_NE(ship, nullptr);
    ASSERT_NE(bridge, nullptr);
    const Model& hull = *ship->mapObject().modelData;
    const Model& span = *bridge->mapObject().modelData;
    ASSERT_FALSE(hull.collisionTriangles().empty());
    ASSERT_FALSE(span.collisionTriangles().empty());
    const auto at = [](const GroundTarget& u, const Vec3& local) { return mat4TransformPoint(u.matrix(), local); };

    struct Case {
        const GroundTarget* unit;
        Vec3 local;
        float radius;
        bool touches;
        const char* what;
    };
    const Case cases[] = {
        {ship, {0.0f, 13.0f, 45.0f}, 4.0f, false, "over the after deck, under the mast's height"},
        {ship, {5.25f, 7.0f, -15.0f}, 0.5f, false, "between the bridge house and the deck edge"},
        {ship, {5.25f, 7.0f, -15.0f}, 1.0f, true, "the same, reaching the bridge house"},
        {ship, {0.0f, 7.0f, -15.0f}, 0.0f, true, "inside the bridge house"},
        {bridge, {0.0f, 4.5f, 0.0f}, 4.0f, false, "under the deck between the piers"},
        {bridge, {0.0f, 7.0f, 0.0f}, 4.0f, true, "touching the deck's underside"},
        {bridge, {12.0f, 0.0f, 0.0f}, 0.0f, true, "inside a pier"},
    };
    for (const Case& c : cases) {
        const Model& model = *c.unit->mapObject().modelData;
        if (!c.touches) {
            EXPECT_TRUE(insideBox(model, c.local)) << c.what << ": a box test would call it a hit";
        }
        EXPECT_EQ(c.unit->modelContact(at(*c.unit, c.local), c.radius), c.touches) << c.what;
    }

    // A blast under the bridge's deck is off the bridge; one on the deck hits it.
    const float health = bridge->health();
    EXPECT_EQ(applyAreaDamage(*mode, nullptr, kTeamNone, at(*bridge, {0.0f, 4.5f, 0.0f}), 3.0f, 5.0f, nullptr, nullptr),
              0);
    EXPECT_EQ(bridge->health(), health);
    mode->applyAreaDamage(nullptr, at(*bridge, {0.0f, 12.0f, 0.0f}), 3.0f, 5.0f, nullptr);
    EXPECT_LT(bridge->health(), health);
    const float shipHealth = ship->health();
    mode->applyAreaDamage(nullptr, at(*ship, {0.0f, 13.0f, 45.0f}), 3.0f, 5.0f, nullptr);
    EXPECT_EQ(ship->health(), shipHealth) << "a burst over the after deck";
}

// The frame's contact test: an airplane passing under a bridge or low over a
// ship's deck flies on; into the bridge house or a pier it crashes.
TEST_F(ModelContact, AnAirplaneCrashesOnlyWhereTheModelIs)
{
    GroundTarget* ship = unit("navalunit", kSite);
    GroundTarget* bridge = unit("bridge", kSite + Vec3{600.0f, 0.0f, 0.0f});
    ASSERT_NE(ship, nullptr);
    ASSERT_NE(bridge, nullptr);
    struct Pass {
        const GroundTarget* unit;
        Vec3 local;
        bool across;
        bool crashes;
        const char* what;
    };
    // The misses first: a ship rammed goes down with the airplane.
    const Pass passes[] = {
        {bridge, {0.0f, 4.5f, 30.0f}, false, false, "under the bridge's deck"},
        {ship, {40.0f, 12.0f, 45.0f}, true, false, "low across the after deck, behind the superstructure"},
        {bridge, {12.0f, 4.5f, 30.0f}, false, true, "into a pier"},
        {ship, {0.0f, 9.0f, 60.0f}, false, true, "along the deck into the after gun and superstructure"},
    };
    for (const Pass& p : passes) {
        Airplane& me = flyAt(*p.unit, p.local, p.across);
        bool crashed = false;
        // Across the model and well beyond: 1.5 s at 300 units a second.
        for (int frame = 0; frame < 90 && !crashed; ++frame) {
            harness.run(ModeHarness::kFrame);
            crashed = !me.isAlive() || me.deathCause == CrashCause::Collision ||
                      me.deathCause == CrashCause::CollisionPair;
            if (!crashed)
                me.setPositionAndStop({me.position().x, mat4TransformPoint(p.unit->matrix(), p.local).y,
                                       me.position().z});  // level, as a pilot would hold it
        }
        EXPECT_EQ(crashed, p.crashes) << p.what;
        if (!p.crashes) {
            EXPECT_TRUE(ship->isAlive() && bridge->isAlive()) << p.what << ": nothing is wrecked by a pass";
        }
        mode->respawnAirplane(me, 0.0f, nullptr);
    }
}

// A burst beside a turned Il-2 within its sphere, off its model, leaves it
// whole; on its fuselage it does not.
TEST_F(ModelContact, ABurstBesideAnAirplaneMissesWhereItsModelIsNot)
{
    Airplane* foe = mode->createAirplane(nullptr, PlaneList::instance().findByName("il2")->plane_id, 1, 0.5f, nullptr, true);
    ASSERT_TRUE(foe && foe->model());
    mode->respawnAirplane(*foe, 0.0f, &kSite);
    foe->setOrientation(quatFromEuler(2.1f, 0.4f, 0.3f));
    Vec3 off{4.0f, 0.0f, -6.5f};  // inside the box and the blast's reach, off the model
    while (off.z < 6.5f && (!insideBox(foe->model()->model(), off) || modelTouches(foe->model()->model(), off, 2.0f)))
        off.z += 0.25f;
    const float health = foe->health();
    mode->applyAreaDamage(nullptr, mat4TransformPoint(foe->matrix(), off), 2.0f, 0.2f, nullptr);
    EXPECT_EQ(foe->health(), health) << "beside the model at " << off.z;
    mode->applyAreaDamage(nullptr, mat4TransformPoint(foe->matrix(), {}), 2.0f, 0.2f, nullptr);
    EXPECT_LT(foe->health(), health) << "on the fuselage";
}

// The tunnel search asks the model too: under its roof counts, a corner of
// its box beside the roof does not.
TEST_F(ModelContact, ATunnelShieldsOnlyUnderItsModel)
{
    const Model* arch = MapLoader::findModel("airbase.glm_0");
    ASSERT_NE(arch, nullptr);
    ASSERT_FALSE(arch->collisionTriangles().empty());
    Mat4 placement;
    placement.m[12] = kSite.x;
    placement.m[13] = kSite.y;
    placement.m[14] = kSite.z;
    // A bore as high as the whole model above and below its base.
    const Vec3 bore{arch->boundsMax().x, arch->boundsMax().y, arch->boundsMax().z};
    auto made = Target::create<Tunnel>(*mode, placement, bore, arch->radius(), -1, arch);
    ASSERT_NE(made, nullptr);
    Target* tunnel = mode->addPlayerAirplane(std::move(made), false);
    ASSERT_NE(tunnel, nullptr);
    EXPECT_EQ(mode->findGroundTargetAt(kSite + Vec3{0.0f, 4.0f, 0.0f}, 0.0f), tunnel) << "under the roof";
    const Vec3 corner = kSite + Vec3{arch->boundsMax().x - 1.5f, arch->boundsMax().y - 1.5f, 0.0f};
    ASSERT_TRUE(tunnel->ownHitCheck(corner, 0.0f)) << "the corner is inside the bore box";
    EXPECT_EQ(mode->findGroundTargetAt(corner, 0.0f), nullptr) << "beside the arch, in the open";
}

// A bomb on a hillside: its ground burst is thrown off along the slope's
// normal, which the mode gives from the terrain; over the sea it is upright.
TEST_F(ModelContact, AGroundBurstStandsOnTheSlope)
{
    const Terrain* terrain = mode->world() ? mode->world()->terrain() : nullptr;
    ASSERT_NE(terrain, nullptr);
    Vec3 slope, normal, sea;
    bool found = false, foundSea = false;
    for (float x = -8000.0f; x <= 8000.0f && !(found && foundSea); x += 97.0f)
        for (float z = -8000.0f; z <= 8000.0f && !(found && foundSea); z += 89.0f) {
            Vec3 n;
            const float h = terrain->heightAndNormalAt(x, z, n);
            if (!found && h > 30.0f && n.y < 0.9f) {
                slope = {x, h, z}, normal = n, found = true;
            } else if (!foundSea && h < -5.0f) {
                sea = {x, h, z}, foundSea = true;
            }
        }
    ASSERT_TRUE(found) << "no hillside on the map";
    const Vec3 given = mode->clampPointToTerrain(slope.x, slope.z);
    EXPECT_NEAR(given.x, normal.x, 1e-4f);
    EXPECT_NEAR(given.y, normal.y, 1e-4f);
    EXPECT_NEAR(given.z, normal.z, 1e-4f);
    if (foundSea) {
        EXPECT_EQ(mode->clampPointToTerrain(sea.x, sea.z).y, 1.0f) << "over the sea the burst stands upright";
    }

    const WeaponCfg* bomb = WeaponList::instance().findByName("bomb_1");
    ASSERT_NE(bomb, nullptr);
    Airplane& me = *mode->playerAirplane();
    me.setOrientation(Quat{});
    me.setPositionAndStop(slope + Vec3{0.0f, 60.0f, 0.0f});
    me.setSpeed(0.0f);
    ASSERT_TRUE(me.mountWeapon(*bomb, 0));
    clearEffects();
    me.controlInput(0, 1.0f);
    const PSystem* burst = nullptr;
    for (int frame = 0; frame < 300 && !burst; ++frame) {
        me.setPositionAndStop(slope + Vec3{0.0f, 60.0f, 0.0f});  // held clear of its own bomb's fall
        harness.run(ModeHarness::kFrame);
        me.controlInput(0, 0.0f);
        for (IEffect* e = firstEffect(); e && !burst; e = nextEffect(e))
            if (e->kind() == 1 && static_cast<const PSystem*>(e)->direction.y < 0.999f)
                burst = static_cast<const PSystem*>(e);
    }
    ASSERT_NE(burst, nullptr) << "no burst leaning with the slope";
    const Vec3 lean = mode->clampPointToTerrain(burst->position.x, burst->position.z);
    EXPECT_NEAR(vec3Dot(vec3NormalizeOr(burst->direction, Vec3{}), lean), 1.0f, 1e-3f);
}
}  // namespace
