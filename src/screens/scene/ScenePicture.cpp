// The top detail's picture passes: the world, drawn into the scene target, is
// put on the final target through the sun shafts and the final combine; the
// player's own contrail and exhaust core are then drawn over the result.
#include "screens/scene/SceneWorld.h"

#include "effects/trails/AirplaneContrail.h"
#include "effects/world/AircraftLooks.h"
#include "entities/aircraft/Airplane.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "modes/Match.h"
#include "platform/FrameProfile.h"
#include "render/Graphics.h"
#include "render/fx/PostProcess.h"

RenderBuffer* GameSceneDraw::chooseDrawTarget(RenderBuffer* finalTarget) const
{
    const Graphics* device = graphics();
    // Below the top detail nothing would carry the scene target's picture
    // to the final target.
    if (!device || !device->highDetail())
        return finalTarget;
    for (RenderBuffer* target : device->sceneTargets)
        if (target && target != finalTarget)
            return target;
    return finalTarget;
}

void GameSceneDraw::drawPicturePasses()
{
    Graphics* device = graphics();
    if (m_drawTarget != m_target) {
        {
            ProfileScope timed(FrameLib::PostProcess, "light shafts");
            blitToScreen();
            device->setProjectionMatrix(m_scene.ortho2D);
            device->setViewMatrix(Mat4{});
            device->setWorldMatrix(Mat4{});
            PostProcess::render();
        }
        ProfileScope timed(FrameLib::PostProcess, "final combine");
        device->setRenderTarget(m_target);
        device->clear();
        PostProcess::finalCombine();
    }
    ProfileScope timed(FrameLib::Effects, "over picture");
    drawPlayerOverPicture();
}

void GameSceneDraw::drawPlayerOverPicture()
{
    GameMode* mode = modeOf(currentMatch());
    const Airplane* player = mode ? mode->playerAirplane() : nullptr;
    if (!player || !player->contrail || !player->exhaust)
        return;
    Graphics* device = graphics();
    setWorldMatrices(m_scene.mainProjection);
    player->contrail->drawStrips();
    // The core bends the picture behind the nozzles; without a picture to
    // bend, the shimmer alone.
    if (device->hazeTarget)
        player->exhaust->renderCore(m_scene.sceneTime);
    else
        player->exhaust->renderHaze(m_scene.sceneTime);
    device->setWorldMatrix(Mat4{});
}
