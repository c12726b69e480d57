// Ground units, the carrier and a flag drawn into build/entities/.
#include "EntityPictures.h"

#include "entities/ground/CarrierDeck.h"
#include "entities/ground/Flag.h"
#include "entities/ground/GroundTarget.h"
#include "gamedata/map/MapEntities.h"
#include "render/assets/ModelBuffers.h"

namespace {

using UnitPictures = EntityPictures;

const Rgba kSky{150, 180, 210, 255};

int differing(const std::vector<Rgba>& pixels)
{
    int n = 0;
    for (const Rgba& p : pixels)
        n += (std::abs(p.r - kSky.r) + std::abs(p.g - kSky.g) + std::abs(p.b - kSky.b)) > 30 ? 1 : 0;
    return n;
}

TEST_F(UnitPictures, ATankAShipTheCarrierAndASubmarine)
{
    gfx().setQualityTier(1);
    struct Unit {
        const char* model;
        TargetKind kind;
        float distance;
    };
    const Unit units[] = {{"tank.glm", TargetKind::LandUnit, 11.0f},
                          {"destroyer.glm", TargetKind::Ship, 100.0f},
                          {"carrier.glm", TargetKind::Carrier, 210.0f},
                          {"submarine.glm", TargetKind::Submarine, 60.0f}};
    for (const Unit& unit : units) {
        Model* model = loadModel(unit.model);
        ASSERT_NE(model, nullptr) << unit.model;
        MapObject object;
        object.kind = static_cast<int>(unit.kind);
        object.setModel(model);
        GroundTarget target(m_host, object);
        target.setActive(true);
        target.drawClass = 1;
        lookAt({unit.distance * 0.8f, unit.distance * 0.45f, unit.distance * 0.6f}, {0.0f, 0.0f, 0.0f});
        clearTo(kSky);
        target.drawIn(view(), DrawPass::Opaque);
        const std::string name = std::string(unit.model).substr(0, std::string(unit.model).find('.'));
        ASSERT_TRUE(savePicture("unit-" + name));
        EXPECT_GT(differing(rect(0, 0, kWidth, kHeight)), kWidth * kHeight / 20) << unit.model;
        if (unit.kind == TargetKind::Carrier) {
            // The deck is read from the model: a long flat top some way above the water.
            ASSERT_NE(target.deck(), nullptr);
            EXPECT_GT(target.deck()->deckHeight(), 5.0f);
            EXPECT_TRUE(target.deck()->isOverDeck({0.0f, 0.0f, 110.0f}, 0.0f));
            EXPECT_FALSE(target.deck()->isOverDeck({0.0f, 0.0f, 140.0f}, 0.0f));
        }
        // Out of its distance class, or behind the eye: nothing.
        clearTo(kSky);
        target.drawClass = 4;
        target.drawIn(view(), DrawPass::Opaque);
        EXPECT_EQ(differing(rect(0, 0, kWidth, kHeight)), 0) << unit.model;
    }
}

// The landmarks' buildings, each object of "landmarks.glm" seen from above
// at a distance by its size: every one draws and fills a fair part of the view.
TEST_F(UnitPictures, TheLandmarksBuildings)
{
    gfx().setQualityTier(1);
    for (int k = 0; k < 15; ++k) {
        const std::string name = "landmarks.glm_" + std::to_string(k);
        Model* model = loadModel(name.c_str());
        ASSERT_NE(model, nullptr) << name;
        MapObject object;
        object.kind = static_cast<int>(TargetKind::LandUnit);
        object.setModel(model);
        GroundTarget target(m_host, object);
        target.setActive(true);
        target.drawClass = 1;
        const float d = std::max(model->radius(), 5.0f) * 1.6f;
        const Vec3 middle = (model->boundsMin() + model->boundsMax()) * 0.5f;
        lookAt(middle + Vec3{d * 0.8f, d * 0.5f, d * 0.6f}, middle);
        clearTo(kSky);
        target.drawIn(view(), DrawPass::Opaque);
        ASSERT_TRUE(savePicture("landmark-" + std::to_string(k)));
        EXPECT_GT(differing(rect(0, 0, kWidth, kHeight)), kWidth * kHeight / 80) << name;
    }
}

TEST_F(UnitPictures, AFlagStreamsFromItsPole)
{
    Flag::buildClothMesh();
    Flag flag(m_host, 1);
    flag.setHome({0.0f, 0.0f, 0.0f});
    flag.setActive(true);
    flag.drawClass = 1;
    flag.updateVisual(0.3f);
    lookAt({-20.0f, 50.0f, 90.0f}, {12.0f, 42.0f, 0.0f});
    clearTo(kSky);
    flag.drawIn(view(), DrawPass::Opaque);
    ASSERT_TRUE(savePicture("flag"));
    // The enemy cloth is red: plenty of it in view, and the pole below it.
    int red = 0;
    for (const Rgba& p : rect(0, 0, kWidth, kHeight))
        red += p.r > 70 && p.r > 2 * p.g && p.r > 2 * p.b ? 1 : 0;
    EXPECT_GT(red, 2000);
    Flag::releaseClothMesh();
}

}  // namespace

#include "entities/weapons/MissileKinds.h"
#include "entities/weapons/Weapon.h"
#include "gamedata/records/WeaponCfg.h"

namespace {
TEST_F(UnitPictures, TheBombSightMarksWhereTheBombWillLand)
{
    PlaneCfg& cfg = fighterRecord("data/planes/il2/il2_ful.glm");
    Airplane* a = spawn(cfg, 0, {0.0f, 300.0f, 0.0f});
    a->setSpeed(100.0f);
    WeaponCfg bomb;
    bomb.name = "bomb";
    bomb.weapon_id = 41;
    bomb.type = kWeaponSimple;
    bomb.subtype = SimpleMissile::Bomb;
    bomb.numSlots = 2;
    bomb.life = 30.0f;
    ASSERT_TRUE(a->mountWeapon(bomb, 1));
    Vec3 impact;
    ASSERT_TRUE(a->weapon(0)->predictedImpact(impact));
    lookAt(impact + Vec3{0.0f, 70.0f, 50.0f}, impact);
    clearTo(kSky);
    EXPECT_TRUE(a->weapon(0)->drawBombMarker(view()));
    ASSERT_TRUE(savePicture("bomb-marker"));
    int orange = 0;
    for (const Rgba& p : rect(0, 0, kWidth, kHeight))
        orange += p.r > 150 && p.g > 60 && p.g < 180 && p.b < 80 ? 1 : 0;
    EXPECT_GT(orange, 300);

    // A gun has no landing point: nothing is drawn.
    WeaponCfg gun = bomb;
    gun.type = kWeaponMachinegun;
    gun.weapon_id = 42;
    ASSERT_TRUE(a->mountWeapon(gun, 0));
    EXPECT_FALSE(a->weapon(1)->drawBombMarker(view()));
    clearPlanes();
}
}  // namespace
