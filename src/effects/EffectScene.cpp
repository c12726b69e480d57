#include "effects/EffectScene.h"

#include "render/Graphics.h"

namespace {
int s_tierOverride = -1;
bool s_highDetailOverride = false;
}  // namespace

EffectScene& effectScene()
{
    static EffectScene scene;
    return scene;
}

void setEffectCamera(const Vec3& eye, const Mat4& view, const Mat4& projection)
{
    EffectScene& scene = effectScene();
    scene.cameraPosition = eye;
    // The rows of the view rotation are the camera's axes in the world.
    scene.cameraRight = {view.m[0], view.m[4], view.m[8]};
    scene.cameraUp = {view.m[1], view.m[5], view.m[9]};
    scene.cameraForward = {-view.m[2], -view.m[6], -view.m[10]};
    setCameraMatrices(scene.camera, projection, view);
    scene.hasFrustum = true;
}

int effectQualityTier()
{
    if (s_tierOverride >= 0)
        return s_tierOverride;
    return graphics() ? graphics()->qualityTier() : 2;
}

bool effectHighDetail()
{
    if (s_tierOverride >= 0)
        return s_highDetailOverride;
    return graphics() && graphics()->highDetail() != 0;
}

void setEffectQualityOverride(int tier, bool highDetail)
{
    s_tierOverride = tier;
    s_highDetailOverride = highDetail;
}
