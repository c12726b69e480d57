#pragma once
// The game screen over GL on the staged data: the effect models loaded, 60
// frames a second, a target of the fixture's size; the screens reset after.
#include "GlTestContext.h"

#include "modes/MatchConnections.h"
#include "render/fx/PostProcess.h"
#include "render/gl/GraphicsES20Extensions.h"
#include "platform/Clock.h"
#include "screens/GameStart.h"
#include "screens/Screens.h"
#include "screens/scene/Scene.h"
#include "support/modes/ModeHarness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

class GameScreenGl : public GlTest {
protected:
    GameScreenGl(int width, int height) : m_width(width), m_height(height) {}

    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped())
            return;
        setenv("SKYFRONT_HEADLESS", "1", 1);
        std::string error;
        ASSERT_TRUE(harness.mountData(error)) << error;
        // The game's own screens connections; achievements, scores and end pages do nothing.
        MatchConnections connections = MatchConnections::none();
        fillScreenConnections(connections);
        setGameConnections(connections);
        useTarget(m_width, m_height);
        resetScreens();
        Scene::loadEffectModels();
        setFrameDelta(1.0f / 60.0f);
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            setCurrentScreen(nullptr);
            resetScreens();
            gfx().setRenderTarget(nullptr);
        }
        GlTest::TearDown();
    }

    ModeHarness harness;

private:
    int m_width, m_height;
};

// The same with the screen of the fixture's size and the effect programs
// loaded, as the top detail needs them; the picture targets, the tier and the
// screen size are put back after.
class GameScreenEffectsGl : public GameScreenGl {
protected:
    GameScreenEffectsGl(int width, int height) : GameScreenGl(width, height), m_size{width, height} {}

    void SetUp() override
    {
        GameScreenGl::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_saved[0] = gfx().screenWidth();
        m_saved[1] = gfx().screenHeight();
        gfx().setScreenSize(m_size[0], m_size[1]);
        extensions = std::make_unique<GraphicsES20Extensions>(gfx());
        ASSERT_TRUE(extensions->load()) << extensions->error();
        setGraphicsExtensions(extensions.get());
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            setCurrentScreen(nullptr);
            resetScreens();
            PostProcess::destroyTargets();
            gfx().setQualityTier(0);
            gfx().setScreenSize(m_saved[0], m_saved[1]);
            setGraphicsExtensions(nullptr);
            if (extensions)
                extensions->unload();
        }
        GameScreenGl::TearDown();
    }

    std::unique_ptr<GraphicsES20Extensions> extensions;

private:
    int m_size[2];
    int m_saved[2] = {0, 0};
};
