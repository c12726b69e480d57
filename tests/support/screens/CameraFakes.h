#pragma once
#include "screens/scene/CameraWorld.h"

#include <functional>
#include <vector>

// A plane the test moves by hand, with known model dimensions.
struct FakePlane : CameraPlane {
    Vec3 pos;
    Quat orient;
    Vec3 vel{0.0f, 0.0f, -100.0f};
    Size dims;
    bool evade = false, ground = false, hasDeck = false;
    float deck = 0.0f, roll = 0.0f, speedFactorValue = 0.0f;
    int code = 0;
    const Vec3* target = nullptr;
    const Vec3* goal = nullptr;

    const Vec3& position() const override { return pos; }
    Quat orientation() const override { return orient; }
    Vec3 velocity() const override { return vel; }
    Size size() const override { return dims; }
    bool evading() const override { return evade; }
    int manoeuvreCode() const override { return code; }
    float speedFactor() const override { return speedFactorValue; }
    float rollInput() const override { return roll; }
    bool groundState() const override { return ground; }
    bool deckHeight(float& h) const override
    {
        h = deck;
        return hasDeck;
    }
    const Vec3* currentTarget() const override { return target; }
    const Vec3* mapTarget() const override { return goal; }
};

// The game mode as the camera sees it.
struct FakeGameMode : CameraGameMode {
    int chosen = 0;
    bool stopped = false;
    const CameraPlane* player = nullptr;
    std::function<float(float, float)> terrain;
    const Vec3* nearTarget = nullptr;  // found within the default range
    const Vec3* anyTarget = nullptr;   // found by the wide search
    std::vector<Vec3> specials;
    int findCalls = 0, resumed = 0;
    float delay = 1.0f;

    int chosenViewMode() const override { return chosen; }
    bool playStopped() const override { return stopped; }
    const CameraPlane* playerPlane() const override { return player; }
    float terrainHeightAt(float x, float z) const override { return terrain ? terrain(x, z) : 0.0f; }
    const Vec3* findTarget(const CameraPlane&, float, float, bool) override
    {
        ++findCalls;
        return anyTarget;
    }
    const Vec3* findTargetDefault(const CameraPlane&, float) override { return nearTarget; }
    int specialObjectCount() const override { return static_cast<int>(specials.size()); }
    const Vec3* specialObjectPoint(int i) const override { return &specials[static_cast<std::size_t>(i)]; }
    void resumeAfterRoundOver() override { ++resumed; }
    float focusSwitchDelay() const override { return delay; }
    const Vec3* aimPoint = nullptr;  // the point views 0 and 1 turn toward
    const Vec3* cameraTarget() const override { return aimPoint; }
};
