#include "support/screens/HudMarkerFakes.h"

#include <gtest/gtest.h>

namespace {

constexpr int kEnemy = 1;

struct HudMarkersTest : HudCameraFixture, ::testing::Test {
    HudElementList list;
    FakeHudObjects objects;

    HudMarker& add(std::uintptr_t key, int kind, int team, bool always = false)
    {
        return list.markers.add(keyRef(key), kind, always, team, frame, objects, nullptr);
    }
    HudMarker& update(std::uintptr_t key)
    {
        HudMarker* m = list.markers.find(keyRef(key));
        EXPECT_NE(m, nullptr);
        list.markers.updateTargets(*m, frame, objects);
        return *m;
    }
    std::vector<std::uintptr_t> order() const
    {
        std::vector<std::uintptr_t> keys;
        for (const auto& m : list.markers.list())
            keys.push_back(m->object.other);
        return keys;
    }
};

TEST_F(HudMarkersTest, ListKeepsOneMarkerPerObjectAndThePlayersMissilesLast)
{
    objects.at(1, {0, 0, -1000});
    objects.at(2, {0, 0, -1000});
    objects.at(10, {0, 0, -500});                            // the player's missile
    objects.at(11, {0, 0, -500}).targetsPlayer = true;       // aimed at the player
    add(1, 0, kEnemy);
    add(10, HudMarkers::kMissileKind, 0, true);
    add(2, 3, kEnemy);
    EXPECT_EQ(order(), (std::vector<std::uintptr_t>{1, 2, 10}));
    add(11, HudMarkers::kMissileKind, kEnemy, true);
    EXPECT_EQ(order(), (std::vector<std::uintptr_t>{1, 2, 11, 10}));

    // A re-add changes kind, team and flag in place.
    HudMarker& again = add(1, 1, 0, true);
    EXPECT_EQ(list.markers.list().size(), 4u);
    EXPECT_EQ(order().front(), 1u);
    EXPECT_EQ(again.kind, 1);
    EXPECT_EQ(again.team, 0);
    EXPECT_TRUE(again.always);
    EXPECT_EQ(again.side.color.b, HudInsignia::kOwnTeamColor.b);

    list.markers.setDrawFlagA(keyRef(2), false);
    list.markers.setHighlighted(keyRef(2));
    list.markers.setDrawFlagB(keyRef(99), false);  // absent: nothing
    EXPECT_FALSE(list.markers.find(keyRef(2))->showOnScreen);
    EXPECT_TRUE(list.markers.find(keyRef(2))->highlighted);
    list.markers.remove(keyRef(2));
    list.markers.remove(keyRef(99));
    EXPECT_EQ(order(), (std::vector<std::uintptr_t>{1, 11, 10}));
    list.reset();
    EXPECT_TRUE(list.markers.list().empty());
}

TEST_F(HudMarkersTest, ScreenPlaceByDistanceDepthAndEdge)
{
    objects.at(1, {0, 0, -1000});
    HudMarker& near = (add(1, 0, kEnemy), update(1));
    EXPECT_TRUE(near.visible);
    EXPECT_FALSE(near.offScreen);
    EXPECT_NEAR(near.screen.x, 640.0f, 0.5f);
    EXPECT_NEAR(near.screen.y, 360.0f, 0.5f);
    EXPECT_FLOAT_EQ(near.scale, 0.7f);

    objects.at(1, {0, 0, -9500});
    EXPECT_NEAR(update(1).scale, 0.575f, 1e-4f);
    objects.at(1, {0, 0, -20000});
    EXPECT_FLOAT_EQ(update(1).scale, 0.45f);

    // Beyond 100000 units only always-markers stay.
    objects.at(1, {0, 0, -100001});
    EXPECT_FALSE(update(1).visible);
    list.markers.setAddFlag(keyRef(1), true);
    EXPECT_TRUE(update(1).visible);
    list.markers.setAddFlag(keyRef(1), false);

    // Behind the camera: an arrow on the screen edge at 1.2.
    objects.at(1, {300, 100, 1000});
    HudMarker& behind = update(1);
    EXPECT_TRUE(behind.visible);
    EXPECT_TRUE(behind.offScreen);
    EXPECT_TRUE(behind.arrowShown);
    EXPECT_FLOAT_EQ(behind.scale, 1.2f);
    const bool onEdge = std::fabs(behind.screen.x) < 0.5f || std::fabs(behind.screen.x - 1280.0f) < 0.5f ||
                        std::fabs(behind.screen.y) < 0.5f || std::fabs(behind.screen.y - 720.0f) < 0.5f;
    EXPECT_TRUE(onEdge) << behind.screen.x << "," << behind.screen.y;
    // To the right and behind points right.
    EXPECT_GT(behind.screen.x, 640.0f);

    // Far off to the side in front: the arrow scale grows with the distance from the edge.
    objects.at(1, {5000, 0, -1000});
    HudMarker& side = update(1);
    EXPECT_TRUE(side.offScreen);
    EXPECT_FLOAT_EQ(side.screen.x, 1280.0f);
    EXPECT_FLOAT_EQ(HudMarkers::edgeScale(0.05f), 0.7f);
    EXPECT_NEAR(HudMarkers::edgeScale(0.55f), 1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(HudMarkers::edgeScale(2.0f), 1.2f);

    // Own-team objects that are not aircraft show no arrow.
    objects.at(3, {0, 0, 1000});
    add(3, 3, 0);
    EXPECT_FALSE(update(3).arrowShown);
}

TEST_F(HudMarkersTest, LeadWindowAndOnTargetLightTheGunsight)
{
    EXPECT_FLOAT_EQ(HudMarkers::leadWindow(400.0f), 0.7f);
    EXPECT_NEAR(HudMarkers::leadWindow(600.0f), 0.47f, 1e-5f);
    EXPECT_FLOAT_EQ(HudMarkers::leadWindow(2000.0f), 0.3f);

    list.gunsight = {640.0f, 360.0f};
    objects.at(1, {0, 0, -800});
    add(1, 0, kEnemy);
    list.updateTargets(frame, objects);
    const HudMarker& m = *list.markers.find(keyRef(1));
    EXPECT_TRUE(m.leadVisible);
    EXPECT_TRUE(m.onTarget);
    EXPECT_NEAR(m.leadQuality, 1.0f, 1e-3f);
    EXPECT_TRUE(list.gunsightHighlight);

    // Off to the side: the lead shows but is not on target.
    objects.at(1, {300, 0, -800});
    list.updateTargets(frame, objects);
    EXPECT_TRUE(m.leadVisible);
    EXPECT_FALSE(m.onTarget);
    EXPECT_FALSE(list.gunsightHighlight);

    // Beyond 1732 units, without a gun, or of the own team: no lead.
    objects.at(1, {0, 0, -1800});
    list.updateTargets(frame, objects);
    EXPECT_FALSE(m.leadVisible);
    objects.at(1, {0, 0, -800});
    frame.playerHasGun = false;
    list.updateTargets(frame, objects);
    EXPECT_FALSE(m.leadVisible);
}

TEST_F(HudMarkersTest, LockReticlesTakeTheWeaponsInSlotOrderAndSwapBySpeed)
{
    objects.at(1, {0, 0, -800});
    add(1, 0, kEnemy);
    auto lockWith = [&](int slot, float delay, int kind) {
        HudLockWeapon& w = frame.weapons[static_cast<std::size_t>(slot)];
        w.present = w.locking = true;
        w.delay = delay;
        w.lockKind = kind;
        w.targets[0] = keyRef(1);
        w.targetCount = 1;
    };
    HudMarker& m = update(1);
    EXPECT_EQ(m.lockA, -1);
    lockWith(2, 0.0f, 1);
    update(1);
    EXPECT_EQ(m.lockA, 2);
    EXPECT_EQ(m.lockB, -1);
    EXPECT_GT(m.lockTimeA, 0.0f);
    // The locked time colours the reticle by the weapon's lock kind (orange).
    update(1);
    EXPECT_GT(m.lockColorA.r, m.lockColorA.g);
    EXPECT_GT(m.lockColorA.g, 0);
    EXPECT_EQ(m.lockColorA.b, 0);

    // Two weapons still locking: the one closer to its lock goes first.
    lockWith(2, 0.8f, 0);
    lockWith(5, 0.3f, 0);
    update(1);
    EXPECT_EQ(m.lockA, 5);
    EXPECT_EQ(m.lockB, 2);
    EXPECT_FLOAT_EQ(m.lockTimeA, 0.0f);
    // The second weapon alone keeps its place as the second reticle.
    frame.weapons[2] = HudLockWeapon{};
    update(1);
    EXPECT_EQ(m.lockA, 5);
    frame.weapons[2] = frame.weapons[5];
    frame.weapons[5] = HudLockWeapon{};
    m.lockA = 7;
    m.lockB = 2;
    update(1);
    EXPECT_EQ(m.lockA, -1);
    EXPECT_EQ(m.lockB, 2);
    // A weapon that went away leaves no reticle behind.
    frame.weapons[2] = HudLockWeapon{};
    update(1);
    EXPECT_EQ(m.lockA, -1);
    EXPECT_EQ(m.lockB, -1);
    // Spectating clears both.
    lockWith(1, 0.0f, 0);
    frame.spectating = true;
    update(1);
    EXPECT_EQ(m.lockA, -1);
}

TEST_F(HudMarkersTest, ArrowFramesAndLabels)
{
    HudMarker m;
    m.kind = 0;
    m.team = 0;
    EXPECT_EQ(HudMarkers::arrowFrame(m, frame), 93);
    m.team = kEnemy;
    EXPECT_EQ(HudMarkers::arrowFrame(m, frame), 95);
    m.playerColor = 2;
    EXPECT_EQ(HudMarkers::arrowFrame(m, frame), 173);
    m.playerColor = -1;
    m.kind = 3;
    m.team = 0;
    EXPECT_EQ(HudMarkers::arrowFrame(m, frame), -1);
    m.team = 255;
    EXPECT_EQ(HudMarkers::arrowFrame(m, frame), -1);
    m.kind = 6;
    EXPECT_EQ(HudMarkers::arrowFrame(m, frame), 97);
    m.kind = 19;
    EXPECT_EQ(HudMarkers::arrowFrame(m, frame), 96);
    m.kind = 20;
    m.always = true;
    EXPECT_EQ(HudMarkers::arrowFrame(m, frame), 111);
    m.team = 0;
    EXPECT_EQ(HudMarkers::arrowFrame(m, frame), 112);
    m.team = kEnemy;
    EXPECT_EQ(HudMarkers::arrowFrame(m, frame), 113);

    HudMarker plane;
    plane.kind = 0;
    plane.team = kEnemy;
    plane.info.health = 0.001f;
    plane.info.maxHealth = 1.0f;
    EXPECT_EQ(HudMarkers::labelText(plane, frame, u"Rex"), u"Rex \x08;1%\x01;");
    plane.team = 0;
    plane.info.health = 0.5f;
    EXPECT_EQ(HudMarkers::labelText(plane, frame, u"Rex"), u"Rex \x07;50%\x01;");
    plane.playerColor = 1;
    EXPECT_EQ(HudMarkers::labelText(plane, frame, u"Ann"), u"Ann 50%");
    // A maximum health of 0 reads as 1 %, never a division by zero.
    plane.info.maxHealth = 0.0f;
    EXPECT_EQ(HudMarkers::labelText(plane, frame, u"Ann"), u"Ann 1%");
    frame.showNames = false;
    EXPECT_EQ(HudMarkers::labelText(plane, frame, u"Ann"), u"Ann");
    frame.showNames = true;
    frame.matchType = false;
    EXPECT_EQ(HudMarkers::labelText(plane, frame, u"Ann"), u"");
    frame.matchType = true;
    plane.kind = 3;
    EXPECT_EQ(HudMarkers::labelText(plane, frame, u"Ann"), u"");
    EXPECT_EQ(HudMarkers::healthPercent(2.0f, 1.0f), 100);
}

TEST_F(HudMarkersTest, AGoneObjectReadsAsDeadAndIsNotDrawn)
{
    objects.at(1, {0, 0, -800});
    add(1, 0, kEnemy);
    objects.objects.erase(1);
    HudMarker& m = update(1);
    EXPECT_FALSE(m.info.alive);
    EXPECT_FALSE(m.visible);
    list.update(frame, objects);
    EXPECT_FALSE(m.radarVisible);
}

}  // namespace
