#include "screens/GameScreen.h"

#include "effects/EffectList.h"
#include "gamedata/map/GameWorld.h"
#include "modes/GameMode.h"
#include "modes/GameModeGlobals.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "render/Graphics.h"
#include "render/world/AtmosScatter.h"
#include "render/world/SkyDome.h"
#include "screens/PauseScreen.h"
#include "screens/Screens.h"
#include "screens/scene/Camera.h"

// The scene draws its world passes; the renderer's own passes join as they land.
namespace {
SkyDome& sceneSky()
{
    static SkyDome sky;
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        sky.load();
    }
    return sky;
}
}  // namespace

void GameSceneDraw::runPass(ScenePass pass)
{
    Graphics* device = graphics();
    if (!device)
        return;
    switch (pass) {
    case ScenePass::Clear:
        device->setProjectionMatrix(m_scene.mainProjection);
        device->setViewMatrix(m_scene.camera ? m_scene.camera->viewMatrix : Mat4{});
        device->setWorldMatrix(Mat4{});
        device->clear();
        break;
    case ScenePass::Sky: {
        const Vec3 eye = m_scene.camera ? m_scene.camera->position : Vec3{};
        sceneSky().draw(atmosScatter(), eye);
        break;
    }
    case ScenePass::Particles:
        drawEffects(2);
        drawEffects(1);
        drawEffects(0);
        break;
    default:
        break;
    }
}

void GameSceneFrame::updateGameMode()
{
    if (GameMode* mode = currentGameMode())
        mode->update(frameDelta());
}

void GameSceneFrame::updateCamera(float dt)
{
    if (Camera* camera = activeCamera())
        camera->updateMatrices(dt);
}

bool GameSceneFrame::playStopped()
{
    const GameMode* mode = currentGameMode();
    return mode && mode->playStopped;
}

void GameSceneFrame::updateEffectList(float dt) { updateEffects(dt); }

GameScreen& gameScreen()
{
    static GameScreen screen;
    return screen;
}

void GameScreen::init()
{
    ++m_initCalls;
    if (m_initCalls >= 6)
        m_initDone = true;
}

float GameScreen::loadStep()
{
    if (m_counter < kLoadSteps - 1) {
        runStep(m_counter);
        ++m_counter;
        return static_cast<float>(m_counter) / kLoadSteps;
    }
    m_loaded = true;
    m_counter = 0;
    update();
    return 1.0f;
}

void GameScreen::runStep(int step)
{
    GameMode* mode = currentGameMode();
    switch (step) {
    case 0:
        clearEffects();
        break;
    case 2:
    case 3:
    case 4:
    case 5:
        if (!m_initDone)
            init();
        break;
    case 6:
        if (mode && !mode->startLevel())
            logWarning("game", "the level did not load; flying an empty world");
        break;
    case 7:
        m_scene = std::make_unique<Scene>();
        m_scene->camera = activeCamera();
        if (mode && mode->world())
            m_scene->terrain = mode->world()->terrain();
        if (const Graphics* device = graphics())
            if (device->screenHeight() > 0)
                m_scene->aspect = static_cast<float>(device->screenWidth()) / device->screenHeight();
        break;
    default:
        break;
    }
}

void GameScreen::update()
{
    if (!m_scene)
        return;
    GameSceneFrame frame;
    m_scene->update(frame);
}

void GameScreen::draw()
{
    if (!m_scene)
        return;
    GameSceneDraw passes(*m_scene);
    m_scene->draw(passes);
}

void GameScreen::onBack() { openPauseScreen(); }

void GameScreen::onLeave()
{
    // The level goes before its mode, the mode before the scene that views it.
    if (GameMode* mode = currentGameMode())
        mode->clearLevel();
    deleteCurrentGameMode();
    clearEffects();
    m_scene.reset();
    m_loaded = false;
    m_counter = 0;
}
