// What the entities ask the mode about the world around them: a carrier's
// deck under a point and the props a missile may strike.
#include "ModeTestKit.h"

#include "entities/ground/CarrierDeck.h"
#include "entities/ground/GroundTarget.h"
#include "gamedata/map/MapEntities.h"

namespace {

// A scene whose only prop is a sphere of 50 around (1000, 0, 1000).
class OnePropScene : public IModeScene {
public:
    bool hitsProp(const Vec3& point, float radius) const override
    {
        return vec3Length(point - Vec3{1000.0f, 0.0f, 1000.0f}) < 50.0f + radius;
    }
};

using WorldHits = ModeKit;

TEST_F(WorldHits, TheDeckUnderAPointIsTheCarriersOnlyWhileItFloats)
{
    ship(TargetKind::Ship, {0.0f, 0.0f, 0.0f});
    GroundTarget* carrier = ship(TargetKind::Carrier, {5000.0f, 0.0f, 0.0f});
    ASSERT_NE(carrier->deck(), nullptr);
    EXPECT_EQ(mode->findCarrierDeckAt({5000.0f, 30.0f, 20.0f}), carrier->deck());
    EXPECT_EQ(mode->findCarrierDeckAt({0.0f, 30.0f, 0.0f}), nullptr) << "a ship without a deck";
    EXPECT_EQ(mode->findCarrierDeckAt({5300.0f, 30.0f, 0.0f}), nullptr) << "beside the deck";
    carrier->onDestroyed(CrashCause::None);
    EXPECT_EQ(mode->findCarrierDeckAt({5000.0f, 30.0f, 20.0f}), nullptr) << "a sunk carrier lands nobody";
}

TEST_F(WorldHits, PropsAreTheScenesAndNoneWithoutOne)
{
    EXPECT_FALSE(mode->hitsProp({1000.0f, 0.0f, 1000.0f}, 1.0f));
    OnePropScene scene;
    ModeServices services;
    services.scene = &scene;
    connectServices(services);
    EXPECT_TRUE(mode->hitsProp({1000.0f, 40.0f, 1000.0f}, 1.0f));
    EXPECT_FALSE(mode->hitsProp({1200.0f, 0.0f, 1000.0f}, 1.0f));
}

}  // namespace
