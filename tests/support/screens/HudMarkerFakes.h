#pragma once
#include "screens/hud/HudMarkers.h"

#include <cmath>
#include <map>

// Objects by key for the marker tests, with a camera at the origin looking
// down -z on a 1280 x 720 screen.
class FakeHudObjects : public IHudObjects {
public:
    std::map<std::uintptr_t, HudObjectInfo> objects;
    std::map<std::uintptr_t, std::u16string> names;

    bool read(const HudMarkerRef& ref, HudObjectInfo& out) const override
    {
        auto it = objects.find(ref.other);
        if (it == objects.end())
            return false;
        out = it->second;
        return true;
    }
    Vec3 leadPoint(const HudMarkerRef& ref, const Vec3&, float) const override
    {
        auto it = objects.find(ref.other);
        return it == objects.end() ? Vec3{} : it->second.position;
    }
    std::u16string displayName(const HudMarkerRef& ref) const override
    {
        auto it = names.find(ref.other);
        return it == names.end() ? std::u16string{} : it->second;
    }
    HudObjectInfo& at(std::uintptr_t key, Vec3 position)
    {
        HudObjectInfo& info = objects[key];
        info.position = position;
        return info;
    }
};

inline HudMarkerRef keyRef(std::uintptr_t key)
{
    HudMarkerRef r;
    r.other = key;
    return r;
}

struct HudCameraFixture {
    CameraMatrices camera;
    HudMarkerFrame frame;

    HudCameraFixture()
    {
        Mat4 projection, view;
        mat4Perspective(projection, 1.0471976f, 1280.0f / 720.0f, 2.0f, 62500.0f);
        setCameraMatrices(camera, projection, view);
        frame.camera = &camera;
        frame.screenWidth = 1280;
        frame.screenHeight = 720;
        frame.dt = 1.0f / 30.0f;
        frame.hasPlayer = true;
        frame.playerTeam = 0;
        frame.viewedTeam = 0;
        frame.playerHasGun = true;
        frame.gunSpeed = 800.0f;
    }
};
